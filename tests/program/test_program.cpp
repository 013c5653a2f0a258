// korvan.bin as a whole: usage text, exit codes, start-up errors, screenshot and log file.
#include "program_runner.hpp"
#include "shell/command_line.hpp"

#include "korvan_version.hpp"

#include <gtest/gtest.h>

#include <regex>

using namespace korvan::testing;

namespace {

// The last log line's message, without time stamp and priority.
bool logged(const std::string& err, const std::string& line) { return err.find(line + "\n") != std::string::npos; }

} // namespace

TEST(Program, HelpPrintsTheUsageAndStopsReadingArguments) {
    const auto run = runProgram("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string(korvan::usageText));
    // Later arguments are not looked at, earlier ones are.
    const auto later = runProgram("--help --nonsense");
    EXPECT_EQ(later.exitCode, 0);
    EXPECT_EQ(later.out, std::string(korvan::usageText));
    const auto earlier = runProgram("--nonsense --help");
    EXPECT_EQ(earlier.exitCode, 2);
    EXPECT_EQ(earlier.out, "");
}

// --version prints the version CMake's project() sets, not the fixed one of the log, and starts nothing.
TEST(Program, VersionPrintsTheBuildsVersion) {
    const auto run = runProgram("--version --nonsense");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string("korvan ") + KORVAN_VERSION + "\n");
    EXPECT_TRUE(std::regex_match(run.out, std::regex(R"(korvan \d+\.\d+\.\d+\n)"))) << run.out;
    EXPECT_EQ(run.err, "");
    const auto help = runProgram("--help --version");
    EXPECT_EQ(help.out, std::string(korvan::usageText));
    const auto earlier = runProgram("--nonsense --version");
    EXPECT_EQ(earlier.exitCode, 2);
    EXPECT_EQ(earlier.out, "");
}

TEST(Program, BadInvocationsEndWithTwo) {
    const auto unknown = runProgram("--fullscreen");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(logged(unknown.err, "ERROR: korvan: Unbekannte oder unvollstaendige Option: --fullscreen"))
        << unknown.err;
    const auto incomplete = runProgram("--log");
    EXPECT_EQ(incomplete.exitCode, 2);
    EXPECT_TRUE(logged(incomplete.err, "korvan: Unbekannte oder unvollstaendige Option: --log"));
    for (const char* value : {"0", "-1", "2x"}) {
        const auto speed = runProgram(std::string("--testmode --demo-speed ") + value);
        EXPECT_EQ(speed.exitCode, 2) << value;
        EXPECT_TRUE(logged(speed.err, std::string("korvan: Ungueltiger Wert fuer --demo-speed: ") + value));
    }
    const auto noLog = runProgram("--log /nonexistent-dir/korvan.log");
    EXPECT_EQ(noLog.exitCode, 2);
    EXPECT_TRUE(logged(noLog.err, "korvan: Log-Datei kann nicht angelegt werden: /nonexistent-dir/korvan.log"));
}

TEST(Program, BadUnitIdsEndWithOne) {
    for (const char* value : {"0", "3a", "-4"}) {
        const auto run = runProgram(std::string("--unit ") + value);
        EXPECT_EQ(run.exitCode, 1) << value;
        EXPECT_TRUE(logged(run.err, "korvan: Ungueltige Einheiten-ID")) << run.err;
    }
    EXPECT_EQ(runProgram("--unit abc").exitCode, 1);
}

TEST(Program, MapErrorsNameTheFile) {
    const ScratchDirectory dir("maps");
    const auto missing = dir / "missing.json";
    const auto run = runProgram("--map " + quoted(missing));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(logged(run.err, "ERROR: korvan: Karte kann nicht geoeffnet werden: " + missing.string())) << run.err;

    const auto broken = dir / "broken.json";
    std::ofstream(broken) << R"({"schema_version": 3, "width": 4, "height": 1, "name": "Kaputt", "layout": "odd-r",
        "wrap_horizontal": true, "kind": "world", "terrain_rows": ["p3"], "river_edges": []})";
    const auto brokenRun = runProgram("--map " + quoted(broken));
    EXPECT_EQ(brokenRun.exitCode, 1);
    EXPECT_TRUE(logged(brokenRun.err, "korvan: " + broken.string() +
                                          ": Ungueltige Kartendaten: RLE-Reihe muss genau width Felder abdecken"))
        << brokenRun.err;
}

TEST(Program, ScreenshotSavesTheStartViewAndLogsMatchTheFile) {
    const ScratchDirectory dir("shot");
    const auto image = dir / "start.bmp";
    const auto log = dir / "korvan.log";
    const auto run = runProgram("--screenshot " + quoted(image) + " --log " + quoted(log));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string bmp = readFile(image);
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    // Width and height in the BMP header: the window's 1280 x 850.
    const auto le32 = [&](std::size_t at) {
        return int(std::uint8_t(bmp[at])) | int(std::uint8_t(bmp[at + 1])) << 8 | int(std::uint8_t(bmp[at + 2])) << 16 |
               int(std::uint8_t(bmp[at + 3])) << 24;
    };
    EXPECT_EQ(le32(18), 1280);
    EXPECT_EQ(std::abs(le32(22)), 850);

    const std::string lines = readFile(log);
    EXPECT_EQ(lines, run.err);
    const std::regex format(R"((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (INFO|WARN|ERROR|DEBUG|VERBOSE|CRITICAL): .*\n)+)");
    EXPECT_TRUE(std::regex_match(lines, format)) << lines;
    EXPECT_NE(lines.find(" INFO: Korvan 0.0.0-53-g1826b7c\n"), std::string::npos);
    EXPECT_NE(lines.find(" INFO: Renderer: "), std::string::npos);
}

TEST(Program, ScreenshotThatCannotBeWrittenFails) {
    const auto run = runProgram("--screenshot /nonexistent-dir/start.bmp");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("ERROR: korvan: "), std::string::npos);
}
