// Saved games: continuing a loaded game plays exactly as playing on, broken saves change nothing,
// and the files are replaced atomically beside a backup.
#include "forces_fixtures.hpp"
#include "game/game.hpp"
#include "game/save_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

using namespace korvan;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> fieldRows = {"pppppppppp", "ppfpppphpp", "pppppppppp", "pphppfpppp", "pppppppppp"};

World fieldWorld() { return World(forces::makeMap(fieldRows, {{{4, 1}, {5, 1}}, {{4, 2}, {5, 2}}})); }

Game fieldGame(World& world) {
    Army army = forces::makeArmy(world.map, {{1, 0, "tank", {0, 1}}, {2, 0, "inf", {0, 3}}, {3, 0, "tank", {1, 2}},
                                             {4, 1, "tank", {8, 1}}, {5, 1, "inf", {7, 3}}, {6, 1, "inf", {9, 2}}});
    Battle battle = forces::makeBattle(world.map, army, {{6, 2}, {8, 4}}, 12, 77);
    return Game(world, {std::move(army), std::move(battle)});
}

// Blue's scripted turn: each unit fires at the first enemy it may hit, else steps east as far as
// its reach allows and fires from there; then Red plays its turn.
void playRound(Game& game) {
    std::vector<int> ids;
    for (const Unit& unit : game.army.units()) {
        if (unit.side == blueSide) {
            ids.push_back(unit.id);
        }
    }
    const auto fire = [&](int id) {
        for (const Unit& enemy : game.army.units()) {
            if (game.army.find(id) != nullptr && game.selectUnit(id) && game.canAttack(enemy.id) &&
                game.battle->preview(game.world.gameMap(), game.army, id, enemy.id).legal) {
                game.attackUnit(enemy.id);
                return true;
            }
        }
        return false;
    };
    for (const int id : ids) {
        if (game.decided() || game.army.find(id) == nullptr || fire(id)) {
            continue;
        }
        game.selectUnit(id);
        std::optional<Hex> east;
        for (const auto& [field, node] : game.range) {
            if (node.cost > 0 && game.army.at(field) == nullptr && (!east || field.q > east->q)) {
                east = field;
            }
        }
        if (east) {
            game.moveTo(*east);
            fire(id);
        }
    }
    if (!game.decided()) {
        game.endTurn();
    }
}

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("korvan_saves_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(SavedGames, LoadingAndPlayingOnEqualsPlayingOn) {
    World world = fieldWorld();
    Game game = fieldGame(world);
    playRound(game);
    playRound(game);
    // Mid-turn, with a bridge built and a unit moved: the save must carry all of it.
    game.buildBridge(0, true);
    ASSERT_EQ(game.builtBridges.size(), 1u);
    const Unit& mover = *std::find_if(game.army.units().begin(), game.army.units().end(),
                                      [&](const Unit& unit) { return game.mayStillAct(unit) && !unit.moved; });
    const int moverId = mover.id;
    ASSERT_TRUE(game.selectUnit(moverId));
    const auto step = std::find_if(game.range.begin(), game.range.end(), [](const auto& e) { return e.second.cost > 0; });
    ASSERT_NE(step, game.range.end());
    game.moveTo(step->first);
    ASSERT_TRUE(game.army.find(moverId)->moved);
    const std::string saved = saveText(game.save());
    const std::string savedLog = game.battle->log().back();

    World otherWorld = fieldWorld();
    Game other = fieldGame(otherWorld);
    playRound(other); // whatever this game did is replaced
    other.load(readSave(saved, {std::nullopt, otherWorld.map.rivers().size()}));
    EXPECT_EQ(saveText(other.save()), saved);
    EXPECT_TRUE(otherWorld.map.bridgeBetween({4, 1}, {5, 1}));
    EXPECT_EQ(other.battle->log().back(), savedLog);

    int redTurns = 0;
    for (int round = 0; round < 5 && !game.decided(); ++round) {
        const int before = game.battle->round();
        playRound(game);
        playRound(other);
        redTurns += game.battle->round() > before;
        ASSERT_EQ(saveText(other.save()), saveText(game.save())) << "round " << game.battle->round();
    }
    EXPECT_GE(redTurns, 3);
    EXPECT_NE(saveText(game.save()), saved);
}

TEST(SavedGames, ABrokenSaveIsToldAndChangesNothing) {
    const fs::path dir = scratch("broken");
    World world = fieldWorld();
    Game game = fieldGame(world);
    playRound(game);
    ASSERT_TRUE(game.saveTo(dir / "good.json"));
    EXPECT_EQ(game.movementMessage, "Gespeichert: good.json");
    const std::string good = saveText(game.save());
    game.buildBridge(1, true);
    ASSERT_TRUE(game.selectUnit(1));
    const std::string playing = saveText(game.save());
    const unsigned generation = world.generation;

    World foreignWorld(forces::makeMap({"pppppppppp", "pppppppppp", "pppppppppp", "pppppppppp", "pppppppppp"},
                                       {{{4, 1}, {5, 1}}, {{4, 2}, {5, 2}}}));
    Game foreign = fieldGame(foreignWorld);
    const Unit first = game.army.units()[0];
    const Unit second = game.army.units()[1];
    const auto position = [](const Unit& unit) {
        return "\"q\": " + std::to_string(unit.position.q) + ", \"r\": " + std::to_string(unit.position.r);
    };
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"", "Spielstand beschaedigt"},
        {good.substr(0, good.size() / 2), "Spielstand beschaedigt: Ungueltiges JSON"},
        {"{\"format\": \"korvan-spielstand\", \"version\": 1}", "Spielstand beschaedigt: JSON-Schluessel fehlt"},
        {replaced(good, "\"version\": 1", "\"version\": 2"), "Spielstand einer neueren Programmversion"},
        {saveText(foreign.save()), "gehoert zu einer anderen Karte oder einem anderen Szenario"},
        {replaced(good, "\"strength\": " + std::to_string(first.strength), "\"strength\": 11"),
         "Ungueltiger Wert: strength"},
        {replaced(good, "\"bridges\": []", "\"bridges\": [1, 1]"), "Ungueltiger Wert: bridges"},
        {replaced(good, position(first), position(second)), "Ungueltige Einheit 2"}, // two units on one field
        {replaced(good, "\"round\": 2", "\"round\": 13"), "Ungueltiger Partiestand"}, // past the round limit
        {good + std::string(SavedGame::maxBytes, ' '), "Datei zu gross"},
    };
    for (const auto& [text, told] : broken) {
        std::ofstream(dir / "broken.json", std::ios::binary) << text;
        EXPECT_FALSE(game.loadFrom(dir / "broken.json")) << told;
        EXPECT_EQ(game.movementMessage.rfind("Laden fehlgeschlagen: ", 0), 0u) << game.movementMessage;
        EXPECT_NE(game.movementMessage.find(told), std::string::npos) << game.movementMessage;
        EXPECT_EQ(saveText(game.save()), playing) << told;
        EXPECT_EQ(world.generation, generation);
        EXPECT_EQ(game.selectedUnit, 1);
    }
    EXPECT_FALSE(game.loadFrom(dir / "missing.json"));
    EXPECT_NE(game.movementMessage.find("Spielstand nicht gefunden: "), std::string::npos);

    // The good one loads over the bridge built since: it is taken down again.
    ASSERT_TRUE(game.loadFrom(dir / "good.json")) << game.movementMessage;
    EXPECT_EQ(saveText(game.save()), good);
    EXPECT_FALSE(world.map.bridgeBetween({4, 2}, {5, 2}));
    EXPECT_FALSE(game.selectedUnit);
    fs::remove_all(dir);
}

TEST(SavedGames, EveryCutOfASaveIsRefused) {
    World world = fieldWorld();
    Game game = fieldGame(world);
    playRound(game);
    const std::string text = saveText(game.save());
    const SaveChecks checks{std::nullopt, world.map.rivers().size()};
    // The text ends in "]}\n": cutting the newline still leaves a whole document.
    for (std::size_t length = 0; length + 1 < text.size(); ++length) {
        EXPECT_THROW(readSave(text.substr(0, length), checks), std::runtime_error) << length;
    }
    EXPECT_EQ(saveText(readSave(text.substr(0, text.size() - 1), checks)), text);
}

TEST(SaveFiles, ReplacedAtomicallyKeepingThePreviousAsBackup) {
    const fs::path dir = scratch("files");
    const fs::path file = dir / "deeper" / "save.json";
    writeSaveFile(file, "first");
    writeSaveFile(file, "second");
    EXPECT_EQ(readSaveFile(file, 100), "second");
    EXPECT_EQ(readSaveFile(fs::path(file) += ".bak", 100), "first");
    EXPECT_FALSE(fs::exists(fs::path(file) += ".tmp"));
    EXPECT_THROW(readSaveFile(file, 5), std::runtime_error); // one byte over the bound

    // A file where the folder should be: the write fails with its name and leaves nothing behind.
    std::ofstream(dir / "blocked") << "x";
    try {
        writeSaveFile(dir / "blocked" / "save.json", "x");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("blocked"), std::string::npos) << error.what();
    }
    fs::remove_all(dir);
}

TEST(SaveFiles, TheFolderFollowsXdgDataHomeWhenItIsAbsolute) {
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string kept = oldData != nullptr ? oldData : "";
    ::setenv("XDG_DATA_HOME", "/tmp/korvan-data", 1);
    EXPECT_EQ(saveDirectory(), fs::path("/tmp/korvan-data/korvan"));
    ::setenv("XDG_DATA_HOME", "relative/data", 1); // not absolute: ignored
    ::setenv("HOME", std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(saveDirectory(), fs::path(std::getenv("HOME")) / ".local/share/korvan");
    if (oldData != nullptr) {
        ::setenv("XDG_DATA_HOME", kept.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}
