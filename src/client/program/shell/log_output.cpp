// Formatting and writing of log lines.
#include "shell/log_output.hpp"

#include <chrono>
#include <cstdio>

namespace korvan {

std::ofstream logFile;
std::string logFilePath;

namespace {

const char* priorityName(SDL_LogPriority priority) {
    switch (priority) {
    case SDL_LOG_PRIORITY_VERBOSE: return "VERBOSE";
    case SDL_LOG_PRIORITY_DEBUG: return "DEBUG";
    case SDL_LOG_PRIORITY_INFO: return "INFO";
    case SDL_LOG_PRIORITY_WARN: return "WARN";
    case SDL_LOG_PRIORITY_ERROR: return "ERROR";
    case SDL_LOG_PRIORITY_CRITICAL: return "CRITICAL";
    default: return "";
    }
}

} // namespace

std::string formatLogLine(const std::tm& localTime, int milliseconds, SDL_LogPriority priority, const char* message) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &localTime);
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03d ", milliseconds);
    return std::string(stamp) + millis + priorityName(priority) + ": " + (message ? message : "") + "\n";
}

void logOutput(void*, int, SDL_LogPriority priority, const char* message) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    // Built in one piece so that a line is never interleaved with other output.
    const std::string line = formatLogLine(local, static_cast<int>(millis), priority, message);
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (logFile.is_open()) {
        // A failed write to the log file is not worth stopping the game for, but worth one warning.
        logFile << line;
        logFile.flush();
        if (!logFile) {
            const std::string warning = formatLogLine(local, static_cast<int>(millis), SDL_LOG_PRIORITY_WARN,
                                                      ("Log-Datei nimmt keine Zeilen mehr an: " + logFilePath).c_str());
            std::fwrite(warning.data(), 1, warning.size(), stderr);
            logFile.close();
        }
    }
}

} // namespace korvan
