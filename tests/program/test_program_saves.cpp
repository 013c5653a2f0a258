// korvan.bin --load on a save the game wrote, and on broken ones.
#include "program_runner.hpp"
#include "game/game.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace korvan;
using namespace korvan::testing;

TEST(SavedGameProgram, ContinuesASaveTheGameWroteAndRefusesBrokenOnes) {
    const ScratchDirectory dir("saves");
    ::setenv("XDG_DATA_HOME", (dir / "data-home").c_str(), 1);
    const std::filesystem::path shipped = std::filesystem::path(KORVAN_BINARY).parent_path() / "data";
    LoadedWorld loaded = World::load({shipped, {}, false});
    Game game(loaded.world, std::move(loaded.scenario));
    ASSERT_TRUE(game.selectUnit(1));
    const auto step = std::find_if(game.range.begin(), game.range.end(), [](const auto& e) { return e.second.cost > 0; });
    ASSERT_NE(step, game.range.end());
    game.moveTo(step->first);
    game.endTurn();
    ASSERT_TRUE(game.saveTo(dir / "partie.json")) << game.movementMessage;

    const auto shot = dir / "shot.bmp";
    const ProgramRun run = runProgram("--load " + quoted(dir / "partie.json") + " --screenshot " + quoted(shot));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE((run.out + run.err).find("Spielstand geladen: " + (dir / "partie.json").string() + " (RUNDE 2/14 - BLAU)"),
              std::string::npos)
        << run.out << run.err;
    EXPECT_TRUE(std::filesystem::exists(shot));
    // A screenshot run saves nothing of its own.
    EXPECT_FALSE(std::filesystem::exists(dir / "data-home"));

    const std::string text = readFile(dir / "partie.json");
    std::ofstream(dir / "kaputt.json") << text.substr(0, text.size() / 3);
    const ProgramRun broken = runProgram("--load " + quoted(dir / "kaputt.json") + " --screenshot " + quoted(shot));
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("korvan: " + (dir / "kaputt.json").string() + ": Spielstand beschaedigt"),
              std::string::npos)
        << broken.err;
    const ProgramRun missing = runProgram("--load " + quoted(dir / "fehlt.json"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("korvan: Spielstand nicht gefunden: "), std::string::npos) << missing.err;
}
