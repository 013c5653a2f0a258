// Log lines with local time stamps and priority names, on standard error and in the optional log file.
#pragma once

#include <SDL.h>

#include <ctime>
#include <fstream>
#include <string>

namespace korvan {

// The process-wide log file; closed unless --log is given.
extern std::ofstream logFile;
// Its path, named in the one warning on standard error when it stops taking lines.
extern std::string logFilePath;

// "2026-01-31 23:59:58.007 WARN: Hallo\n"
std::string formatLogLine(const std::tm& localTime, int milliseconds, SDL_LogPriority priority, const char* message);

// Installed with SDL_LogSetOutputFunction; the category is not shown.
void logOutput(void* userData, int category, SDL_LogPriority priority, const char* message);

} // namespace korvan
