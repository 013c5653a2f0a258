// korvan.bin checking and timing itself on the shipped world: --smoke-test, --testmode and the
// two timing runs end to end, and tour stops on data the shipped set lacks.
#include "error_of.hpp"
#include "headless_renderer.hpp"
#include "program_runner.hpp"
#include "shell/run_loop.hpp"
#include "shell/startup.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

using namespace korvan::testing;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream input(text);
    for (std::string line; std::getline(input, line);) {
        result.push_back(line);
    }
    return result;
}

// The messages of the log lines that contain `part`, without time stamp and priority, and their
// milliseconds since midnight.
struct LogLine {
    std::string message;
    long milliseconds = 0;
};

std::vector<LogLine> logLines(const std::string& err, const std::string& part) {
    static const std::regex format(R"(\d{4}-\d\d-\d\d (\d\d):(\d\d):(\d\d)\.(\d{3}) [A-Z]+: (.*))");
    std::vector<LogLine> found;
    for (const std::string& line : lines(err)) {
        std::smatch m;
        if (std::regex_match(line, m, format) && line.find(part) != std::string::npos) {
            const long ms = ((std::stol(m[1]) * 60 + std::stol(m[2])) * 60 + std::stol(m[3])) * 1000 + std::stol(m[4]);
            found.push_back({m[5], ms});
        }
    }
    return found;
}

std::vector<std::string> messages(const std::vector<LogLine>& logged) {
    std::vector<std::string> result;
    for (const LogLine& line : logged) {
        result.push_back(line.message);
    }
    return result;
}

const std::string startViewPass = "PASS SDL: Spielstart zeigt die ganze Welt ohne Einheitenauswahl";
const std::string finalPass = "PASS SDL: Hover, Auswahl, Zoomanker, Drag; Karte 4320x2160";

} // namespace

TEST(ProgramModes, SmokeTestPassesEveryGroupAndSavesItsLastView) {
    const ScratchDirectory dir("smoke");
    const auto image = dir / "after.bmp";
    const auto run = runProgram("--smoke-test --city Wien --screenshot " + quoted(image));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const auto out = lines(run.out);
    ASSERT_GE(out.size(), 8u) << run.out;
    EXPECT_EQ(out.front(), startViewPass);
    EXPECT_EQ(out.back(), finalPass);
    for (const std::string& line : out) {
        EXPECT_EQ(line.rfind("PASS SDL: ", 0), 0u) << line;
    }
    EXPECT_EQ(run.err.find("ERROR"), std::string::npos) << run.err;
    EXPECT_TRUE(logLines(run.err, "Test mode").empty()) << run.err;
    EXPECT_EQ(readFile(image).substr(0, 2), "BM");
}

TEST(ProgramModes, TestModeTourFollowsTheChecksAtItsSpeed) {
    const auto run = runProgram("--testmode --demo-speed 10");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(lines(run.out).back(), finalPass);
    const auto logged = logLines(run.err, "Test mode");
    EXPECT_EQ(messages(logged),
              (std::vector<std::string>{
                  "Test mode: Pruefungen und Tour ueber die Karte",
                  "Test mode: SDL-Pruefungen bestanden (Hover, Auswahl, Zoomanker, Drag), Karte 4320x2160",
                  "Test mode: Tour 1/6: ganze Weltkarte",
                  "Test mode: Tour 2/6: Europa",
                  "Test mode: Tour 3/6: Oesterreich",
                  "Test mode: Tour 4/6: Wien",
                  "Test mode: Tour 5/6: Oberrhein bei Basel, Detailzoom",
                  "Test mode: Tour 6/6: erste Einheit",
                  "Test mode: passed",
              }));
    // Each stop stays 2500 / 10 ms (the tour clock and the log's time stamps truncate to whole
    // milliseconds, which may cost up to two); a tick takes far less than the unscaled 2500 ms.
    for (std::size_t k = 3; k < logged.size(); ++k) {
        constexpr long day = 24L * 3600 * 1000;
        const long shown = (logged[k].milliseconds - logged[k - 1].milliseconds + day) % day;
        EXPECT_GE(shown, 248) << logged[k].message;
        EXPECT_LT(shown, 2000) << logged[k].message;
    }
}

TEST(ProgramModes, FailedChecksEndWithOne) {
    // The start options are applied after the groups; an unknown city fails the self-test there.
    const auto smoke = runProgram("--smoke-test --city Atlantis");
    EXPECT_EQ(smoke.exitCode, 1);
    EXPECT_EQ(lines(smoke.out).front(), startViewPass);
    EXPECT_EQ(smoke.out.find(finalPass), std::string::npos);
    EXPECT_NE(smoke.err.find("ERROR: korvan: Stadt nicht gefunden: ATLANTIS\n"), std::string::npos) << smoke.err;

    const auto tour = runProgram("--testmode --demo-speed 10 --country xyz");
    EXPECT_EQ(tour.exitCode, 1);
    const auto logged = messages(logLines(tour.err, "korvan: Land nicht gefunden: XYZ"));
    EXPECT_EQ(logged.size(), 1u) << tour.err;
    EXPECT_EQ(messages(logLines(tour.err, "Test mode")).back(), "Test mode: failed");
    EXPECT_TRUE(logLines(tour.err, "Tour 1/6").empty());
}

TEST(ProgramModes, TimingRunsWriteThreeLinesAndNeverEnterTheLoop) {
    const ScratchDirectory dir("timing");
    const std::string number = R"(\d+(\.\d+)?(e-?\d+)?)";
    const auto expect = [&](const std::string& arguments, const std::string& head) {
        const auto image = dir / "never.bmp";
        const auto run = runProgram(arguments + " --screenshot " + quoted(image));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::regex format("(" + head + " (0\\.1|4|18): " + number + " ms/frame; border " + number + " ms; " +
                                number + " border draws/frame\n){3}");
        EXPECT_TRUE(std::regex_match(run.out, format)) << run.out;
        const auto out = lines(run.out);
        ASSERT_EQ(out.size(), 3u);
        EXPECT_EQ(out[0].rfind(head + " 0.1: ", 0), 0u);
        EXPECT_EQ(out[1].rfind(head + " 4: ", 0), 0u);
        EXPECT_EQ(out[2].rfind(head + " 18: ", 0), 0u);
        // The run loop, which would save the screenshot, never starts.
        EXPECT_FALSE(std::filesystem::exists(image));
    };
    expect("--benchmark-pan", "PAN zoom");
    expect("--benchmark-zoom --city Wien", "ZOOM at");
}

namespace korvan {
namespace {

void collectLog(void* userData, int, SDL_LogPriority, const char* message) {
    static_cast<std::vector<std::string>*>(userData)->push_back(message);
}

// The tour's stops on the shipped world with data that the shipped set lacks: no units, no Austria.
TEST(Tour, StopsWithoutUnitsOrAustria) {
    const testing::HeadlessRenderer renderer(1280, 850);
    const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    const auto client = createClient(renderer.get(), WorldSources{data, {}, false});
    RunLoop loop(*client, renderer.get(), true, "", "", 0, "");
    std::vector<std::string> logged;
    SDL_LogOutputFunction previous = nullptr;
    void* previousData = nullptr;
    SDL_LogGetOutputFunction(&previous, &previousData);
    SDL_LogSetOutputFunction(collectLog, &logged);

    client->game.army = Army{};
    loop.tourStop = 5;
    loop.tourStep();
    EXPECT_TRUE(showsWholeMap(*client));
    EXPECT_FALSE(client->game.selectedUnit);

    std::erase_if(client->world.countries.entries, [](const Country& c) { return c.id == "AUT"; });
    loop.tourStop = 2;
    EXPECT_EQ(testing::errorOf([&] { loop.tourStep(); }), "Land nicht gefunden: AUT");

    SDL_LogSetOutputFunction(previous, previousData);
    EXPECT_EQ(logged, std::vector<std::string>{"Test mode: Tour 6/6: ganze Weltkarte (keine Einheiten)"});
}

} // namespace
} // namespace korvan
