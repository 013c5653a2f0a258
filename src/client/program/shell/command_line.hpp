// Command-line options of korvan.bin and their parsing.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace korvan {

// A problem with the invocation itself; ends the program with exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string mapPath;
    std::string screenshotPath;
    std::string cityFocus;
    std::string unitText;
    std::string countryFocus;
    std::string logPath;
    std::string loadPath; // --load: a saved game to continue
    std::string operationCity;       // --operation: an operation around this city instead of the files'
    std::string exportOperationPath; // --export-operation: write that operation's files here and stop
    bool smoke = false;
    bool testMode = false;
    double tourSpeed = 1.0;
    bool benchmarkPan = false;
    bool benchmarkZoom = false;
    bool help = false;    // --help seen: print the usage text and stop
    bool version = false; // --version seen: print the version line and stop
};

extern const char* const usageText;
// "korvan <version>\n", the version the build was configured with.
extern const char* const versionLine;

// Reads the arguments after the program name, left to right; stops at --help or --version.
// Throws UsageError for unknown or incomplete options and bad --demo-speed values.
Options parseOptions(const std::vector<std::string>& arguments);

// The --unit text as an id >= 1; throws "Ungueltige Einheiten-ID" (a runtime error, exit code 1).
int parseUnitId(const std::string& text);

} // namespace korvan
