// Option parsing, unit ids and the log line format.
#include "shell/command_line.hpp"
#include "shell/log_output.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace korvan;

namespace {

std::string usageError(const std::vector<std::string>& arguments) {
    try {
        parseOptions(arguments);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(CommandLine, ValuesAreTakenWhateverTheyLookLike) {
    const Options options = parseOptions({"--map", "--city", "--city", "Wien", "--city", "Linz", "--unit", "7"});
    EXPECT_EQ(options.mapPath, "--city");
    EXPECT_EQ(options.cityFocus, "Linz"); // a repeated option overwrites
    EXPECT_EQ(options.unitText, "7");
    EXPECT_FALSE(options.smoke);
}

TEST(CommandLine, ModesAndFlags) {
    const Options options = parseOptions({"--testmode", "--benchmark-pan", "--log", "k.log", "--country", "AUT"});
    EXPECT_TRUE(options.smoke);
    EXPECT_TRUE(options.testMode);
    EXPECT_TRUE(options.benchmarkPan);
    EXPECT_FALSE(options.benchmarkZoom);
    EXPECT_EQ(options.logPath, "k.log");
    EXPECT_EQ(options.countryFocus, "AUT");
    const Options operation = parseOptions({"--export-operation", "ops", "--operation", "Lyon"});
    EXPECT_EQ(operation.operationCity, "Lyon");
    EXPECT_EQ(operation.exportOperationPath, "ops");
    EXPECT_EQ(usageError({"--export-operation", "ops"}), "--export-operation braucht --operation STADT");
    EXPECT_TRUE(parseOptions({"--smoke-test"}).smoke);
    EXPECT_FALSE(parseOptions({"--smoke-test"}).testMode);
}

TEST(CommandLine, HelpAndVersionStopReading) {
    EXPECT_TRUE(parseOptions({"--map", "a.json", "--help", "--broken"}).help);
    EXPECT_EQ(usageError({"--broken", "--help"}), "Unbekannte oder unvollstaendige Option: --broken");
    const Options version = parseOptions({"--version", "--help", "--broken"});
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.help);
    EXPECT_EQ(usageError({"--broken", "--version"}), "Unbekannte oder unvollstaendige Option: --broken");
    EXPECT_EQ(usageError({"-version"}), "Unbekannte oder unvollstaendige Option: -version");
}

TEST(CommandLine, IncompleteOptionsNameTheArgument) {
    for (const char* option : {"--log", "--demo-speed", "--country", "--map", "--screenshot", "--city", "--unit"}) {
        EXPECT_EQ(usageError({option}), std::string("Unbekannte oder unvollstaendige Option: ") + option);
    }
    EXPECT_EQ(usageError({"-h"}), "Unbekannte oder unvollstaendige Option: -h");
    EXPECT_EQ(usageError({""}), "Unbekannte oder unvollstaendige Option: ");
}

TEST(CommandLine, DemoSpeed) {
    EXPECT_DOUBLE_EQ(parseOptions({"--demo-speed", "0.5"}).tourSpeed, 0.5);
    EXPECT_DOUBLE_EQ(parseOptions({"--demo-speed", "2", "--demo-speed", ""}).tourSpeed, 2.0);
    for (const char* bad : {"0", "-1", "2x", "x", "nan"}) {
        EXPECT_EQ(usageError({"--demo-speed", bad}), std::string("Ungueltiger Wert fuer --demo-speed: ") + bad);
    }
}

TEST(CommandLine, UnitIds) {
    EXPECT_EQ(parseUnitId("12"), 12);
    EXPECT_EQ(parseUnitId(" +3"), 3);
    for (const char* bad : {"0", "-2", "3a", "4 ", "abc", "", "99999999999", "-99999999999"}) {
        try {
            parseUnitId(bad);
            ADD_FAILURE() << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Ungueltige Einheiten-ID") << bad;
        }
    }
}

namespace {

// Whether the text names the option as a whole word on a line that starts with `mark` and, if
// `previous` is given, comes right after a line that is exactly that.
bool namedOnLine(const std::string& text, const std::string& mark, const std::string& option,
                 const std::string& previous = "") {
    std::istringstream lines(text);
    std::string before;
    for (std::string line; std::getline(lines, line); before = line) {
        if (line.rfind(mark, 0) != 0 || (!previous.empty() && before != previous)) {
            continue;
        }
        for (auto at = line.find(option); at != std::string::npos; at = line.find(option, at + 1)) {
            const std::size_t end = at + option.size();
            if (end == line.size() || !(std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '\\' ||
                                        line[end] == '-')) {
                return true;
            }
        }
    }
    return false;
}

std::string sourceFile(const char* file) {
    std::ifstream input(std::string(KORVAN_SOURCE_DIR) + "/" + file);
    std::ostringstream text;
    text << input.rdbuf();
    return text.str();
}

} // namespace

// Every option of the usage text, and --help and --version, which it leaves out, heads an entry of
// the manual page (in bold after .TP; roff writes a minus "\-") and has its row in README's table.
TEST(CommandLine, EveryOptionIsDocumented) {
    std::set<std::string> options{"--help", "--version"};
    const std::string usage = usageText;
    const std::regex option("--[a-z]+(-[a-z]+)*");
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it) {
        options.insert(it->str());
    }
    EXPECT_GE(options.size(), 13u); // the eleven of the usage text were found
    const std::string manual = sourceFile("packaging/korvan.6");
    const std::string readme = sourceFile("README.md");
    ASSERT_FALSE(manual.empty());
    ASSERT_FALSE(readme.empty());
    for (const std::string& name : options) {
        const std::string roff = std::regex_replace(name, std::regex("-"), "\\-");
        EXPECT_TRUE(namedOnLine(manual, ".B", roff, ".TP")) << name << " in packaging/korvan.6";
        EXPECT_TRUE(namedOnLine(readme, "| `", name)) << name << " in README.md";
    }
}

TEST(LogLine, FormatWithMillisecondsAndPriority) {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = 58;
    EXPECT_EQ(formatLogLine(time, 7, SDL_LOG_PRIORITY_WARN, "Hallo"), "2026-01-31 23:59:58.007 WARN: Hallo\n");
    EXPECT_EQ(formatLogLine(time, 999, SDL_LOG_PRIORITY_CRITICAL, "x"), "2026-01-31 23:59:58.999 CRITICAL: x\n");
    EXPECT_EQ(formatLogLine(time, 0, SDL_LOG_PRIORITY_VERBOSE, ""), "2026-01-31 23:59:58.000 VERBOSE: \n");
    EXPECT_EQ(formatLogLine(time, 0, static_cast<SDL_LogPriority>(0), "m"), "2026-01-31 23:59:58.000 : m\n");
    EXPECT_EQ(formatLogLine(time, 0, static_cast<SDL_LogPriority>(9), "m"), "2026-01-31 23:59:58.000 : m\n");
}
