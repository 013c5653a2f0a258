// Scenario loading and construction checks, turn and round flow, capture, victory, log and dice.
#include "forces/combat.hpp"
#include "forces_fixtures.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

using namespace korvan;
using forces::errorOf;
using forces::makeArmy;
using forces::makeBattle;
using forces::makeMap;
using nlohmann::json;

namespace {

// Axial 5 x 3 with water at (2, 0) and a road bridge at (3, 0).
Map smallMap() { return makeMap({"ppw=p", "ppppp", "ppppp"}); }

json scenarioDocument() {
    return {{"schema_version", 1},
            {"operation",
             {{"round_limit", 12},
              {"seed", 7},
              {"objectives",
               {{{"name", "Furt"}, {"q", 4}, {"r", 1}}, {{"name", "Hof 2"}, {"q", 1}, {"r", 2}}}}}}};
}

Battle loadBattle(const Map& map, const Army& army, const json& document) {
    std::istringstream in(document.dump());
    return Battle::load(map, army, in);
}

std::string loadError(const Map& map, const Army& army, const json& document) {
    return errorOf([&] { loadBattle(map, army, document); });
}

} // namespace

TEST(BattleLoad, ReadsTheScenarioOfTheMapKind) {
    const Map map = smallMap();
    const Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {4, 1}}});
    json document = scenarioDocument();
    document["world"] = "only read on world maps";
    const Battle battle = loadBattle(map, army, document);
    EXPECT_EQ(battle.roundLimit(), 12);
    EXPECT_EQ(battle.round(), 1);
    EXPECT_EQ(battle.activeSide(), blueSide);
    EXPECT_EQ(battle.outcome(), Outcome::Ongoing);
    ASSERT_EQ(battle.objectives().size(), 2u);
    EXPECT_EQ(battle.objectives()[0].name, "Furt");
    EXPECT_EQ(battle.objectives()[0].position, (Hex{4, 1}));
    EXPECT_EQ(battle.objectives()[1].owner, redSide); // every objective starts Red
    EXPECT_EQ(battle.log(), (std::vector<std::string>{"Operation begonnen. Blau am Zug."}));
    EXPECT_EQ(battle.status(), "RUNDE 1/12 - BLAU");

    const Map world = forces::makeWorld(36, 18);
    const Army none = makeArmy(makeMap({"p"}), {});
    const Point spot = world.geography({10, 4});
    const json worldDocument = {
        {"schema_version", 1},
        {"world", {{"round_limit", 1}, {"seed", 0},
                   {"objectives", {{{"name", "Wien"}, {"longitude", spot.x}, {"latitude", spot.y}}}}}}};
    std::istringstream in(R"({"schema_version": 1, "types": )" + forces::defaultTypes + R"(, "world_units": []})");
    const Army worldArmy = Army::load(world, in);
    const Battle worldBattle = loadBattle(world, worldArmy, worldDocument);
    EXPECT_EQ(worldBattle.objectives()[0].position, (Hex{10, 4}));
}

TEST(BattleLoad, RefusesBadFilesWithTheirMessages) {
    const Map map = smallMap();
    const Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {4, 1}}});
    struct Case {
        const char* what;
        void (*edit)(json&);
        std::string message;
    };
    const Case cases[] = {
        {"schema 2", [](json& d) { d["schema_version"] = 2; }, "Unbekanntes Szenarioschema"},
        {"schema 1.0", [](json& d) { d["schema_version"] = 1.0; }, "Unbekanntes Szenarioschema"},
        {"schema text", [](json& d) { d["schema_version"] = "1"; }, "Unbekanntes Szenarioschema"},
        {"limit 0", [](json& d) { d["operation"]["round_limit"] = 0; }, "Ungueltige Szenariowerte"},
        {"limit 1001", [](json& d) { d["operation"]["round_limit"] = 1001; }, "Ungueltige Szenariowerte"},
        {"limit 5.0", [](json& d) { d["operation"]["round_limit"] = 5.0; }, "Ungueltige Szenariowerte"},
        {"seed -5", [](json& d) { d["operation"]["seed"] = -5; }, "Ungueltige Szenariowerte"},
        {"seed 7.0", [](json& d) { d["operation"]["seed"] = 7.0; }, "Ungueltige Szenariowerte"},
        {"seed 2^32", [](json& d) { d["operation"]["seed"] = 4294967296ull; }, "Ungueltige Szenariowerte"},
        {"bad limit before missing seed",
         [](json& d) {
             d["operation"]["round_limit"] = 0;
             d["operation"].erase("seed");
         },
         "Ungueltige Szenariowerte"},
        {"objectives object", [](json& d) { d["operation"]["objectives"] = json::object(); },
         "Ungueltige Szenariowerte"},
        {"nine objectives",
         [](json& d) {
             for (int i = 0; i < 7; ++i) {
                 d["operation"]["objectives"].push_back({{"name", "X"}, {"q", i % 5}, {"r", 2}});
             }
         },
         "Ungueltige Szenariowerte"},
        {"q 1.5", [](json& d) { d["operation"]["objectives"][0]["q"] = 1.5; }, "Ungueltige Zielkoordinaten"},
        {"r text", [](json& d) { d["operation"]["objectives"][0]["r"] = "1"; }, "Ungueltige Zielkoordinaten"},
        // 2^32 + 4 would name (4, 1) if it were cut to 32 bits.
        {"q beyond 32 bits", [](json& d) { d["operation"]["objectives"][0]["q"] = 4294967300ll; },
         "Ungueltige Zielkoordinaten"},
        {"no objectives", [](json& d) { d["operation"]["objectives"] = json::array(); }, "Ungueltiges Szenario"},
        {"objective off the map", [](json& d) { d["operation"]["objectives"][0]["q"] = 5; },
         "Ungueltiges Szenarioziel"},
        {"objective on water",
         [](json& d) {
             d["operation"]["objectives"][0] = {{"name", "See"}, {"q", 2}, {"r", 0}};
         },
         "Ungueltiges Szenarioziel"},
        {"objective on road bridge",
         [](json& d) {
             d["operation"]["objectives"][0]["q"] = 3;
             d["operation"]["objectives"][0]["r"] = 0;
         },
         "Ungueltiges Szenarioziel"},
        {"objective on a Blue unit",
         [](json& d) {
             d["operation"]["objectives"][1]["q"] = 0;
             d["operation"]["objectives"][1]["r"] = 0;
         },
         "Startbelegung widerspricht Zielbesitzer"},
    };
    for (const Case& c : cases) {
        json document = scenarioDocument();
        c.edit(document);
        EXPECT_EQ(loadError(map, army, document), c.message) << c.what;
    }

    // Library errors pass unchanged; there is no prefix.
    json document = scenarioDocument();
    document["operation"]["objectives"][0].erase("name");
    const std::string missing = loadError(map, army, document);
    EXPECT_NE(missing.find("name"), std::string::npos) << missing;
    EXPECT_EQ(missing.find("Szenario"), std::string::npos) << missing;

    const auto dir = std::filesystem::temp_directory_path() / "korvan_battle_load";
    std::filesystem::create_directories(dir);
    EXPECT_EQ(errorOf([&] { Battle::load(map, army, dir / "fehlt.json"); }), "Szenariodaten fehlen: " + (dir / "fehlt.json").string());
    std::ofstream(dir / "battles.json") << scenarioDocument().dump();
    EXPECT_EQ(Battle::load(map, army, dir / "battles.json").roundLimit(), 12);
    std::filesystem::remove_all(dir);
}

TEST(BattleConstruction, ChecksObjectivesInOrder) {
    const Map map = smallMap();
    const Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {4, 1}}});
    const auto build = [&](std::vector<Objective> objectives, int limit = 5) {
        return errorOf([&] { Battle(map, army, std::move(objectives), limit, 1); });
    };
    const Objective good{"Ziel", {1, 1}, redSide};
    EXPECT_EQ(build({good}), "");
    EXPECT_EQ(build({good}, 0), "Ungueltiges Szenario");
    EXPECT_EQ(build({good}, 1001), "Ungueltiges Szenario");
    EXPECT_EQ(build({good}, 1000), "");
    EXPECT_EQ(build({}), "Ungueltiges Szenario");
    std::vector<Objective> nine;
    for (int i = 0; i < 9; ++i) {
        nine.push_back({std::string(1, char('A' + i)), {i % 5, 1 + i / 5}, redSide});
    }
    EXPECT_EQ(build(nine), "Ungueltiges Szenario");
    nine.pop_back();
    // Eight pass; one of them lies under the Red unit at (4, 1), which holds its own objective.
    EXPECT_EQ(build(nine), "");

    EXPECT_EQ(build({{std::string(28, 'a'), {1, 1}, redSide}}), "");
    EXPECT_EQ(build({{std::string(29, 'a'), {1, 1}, redSide}}), "Ungueltiges Szenarioziel");
    EXPECT_EQ(build({{"", {1, 1}, redSide}}), "Ungueltiges Szenarioziel");
    EXPECT_EQ(build({{"Br\xc3\xbc""cke", {1, 1}, redSide}}), "Ungueltiges Szenarioziel");
    EXPECT_EQ(build({{"Ziel", {1, 1}, 2}}), "Ungueltiges Szenarioziel");
    EXPECT_EQ(build({{"Ziel", {-1, 1}, redSide}}), "Ungueltiges Szenarioziel");
    EXPECT_EQ(build({good, {"Noch", {1, 1}, blueSide}}), "Ungueltiges Szenarioziel");
    // A Red unit may hold a Red objective, a Blue one may not; a Blue-owned one is the mirror case.
    EXPECT_EQ(build({{"Ziel", {4, 1}, redSide}}), "");
    EXPECT_EQ(build({{"Ziel", {0, 0}, redSide}}), "Startbelegung widerspricht Zielbesitzer");
    EXPECT_EQ(build({{"Ziel", {0, 0}, blueSide}}), "");
    EXPECT_EQ(build({{"Ziel", {4, 1}, blueSide}}), "Startbelegung widerspricht Zielbesitzer");
    // Objectives are checked one after another: the occupied first one fails before the bad second.
    EXPECT_EQ(build({{"Ziel", {0, 0}, redSide}, {"", {1, 1}, redSide}}), "Startbelegung widerspricht Zielbesitzer");
}

TEST(BattleFlow, TurnsAlternateAndRefreshOnlyTheNewSide) {
    const Map map = smallMap();
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {4, 2}}});
    Battle battle = makeBattle(map, army, {{2, 2}}, 3);

    EXPECT_FALSE(battle.endTurn(army, redSide));
    EXPECT_EQ(battle.log().size(), 1u);
    EXPECT_EQ(battle.move(map, army, 2, {3, 2}).message, "Andere Seite am Zug");
    EXPECT_EQ(battle.move(map, army, 42, {3, 2}).message, "Andere Seite am Zug"); // not "not found"

    ASSERT_TRUE(battle.move(map, army, 1, {1, 1}).success);
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    EXPECT_EQ(battle.activeSide(), redSide);
    EXPECT_EQ(battle.round(), 1);
    EXPECT_EQ(battle.log().back(), "RUNDE 1/3 - ROT");
    EXPECT_TRUE(army.find(1)->moved); // Blue keeps its flags while Red plays
    EXPECT_EQ(battle.move(map, army, 1, {0, 1}).message, "Andere Seite am Zug");

    ASSERT_TRUE(battle.move(map, army, 2, {3, 2}).success);
    ASSERT_TRUE(battle.endTurn(army, redSide));
    EXPECT_EQ(battle.round(), 2);
    EXPECT_EQ(battle.status(), "RUNDE 2/3 - BLAU");
    EXPECT_FALSE(army.find(1)->moved);
    EXPECT_EQ(army.find(1)->remaining, 4);
    EXPECT_TRUE(army.find(2)->moved);
    EXPECT_EQ(army.find(2)->remaining, 2);
}

TEST(BattleFlow, TheRoundLimitGivesRedTheVictory) {
    const Map map = smallMap();
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {4, 2}}});
    Battle battle = makeBattle(map, army, {{2, 2}}, 1);
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    ASSERT_TRUE(battle.endTurn(army, redSide));
    EXPECT_EQ(battle.outcome(), Outcome::RedVictory);
    EXPECT_TRUE(battle.finished());
    EXPECT_EQ(battle.round(), 1);
    EXPECT_EQ(battle.log(), (std::vector<std::string>{"Operation begonnen. Blau am Zug.", "RUNDE 1/1 - ROT",
                                                      "Zeitlimit: Rot haelt mindestens ein Ziel."}));
    EXPECT_EQ(battle.status(), "SIEG ROT");
    // Decided: everything refuses and nothing is logged.
    EXPECT_FALSE(battle.endTurn(army, redSide));
    EXPECT_FALSE(battle.endTurn(army, blueSide));
    EXPECT_EQ(battle.move(map, army, 1, {1, 1}).message, "Partie beendet");
    EXPECT_EQ(battle.log().size(), 3u);
}

TEST(BattleFlow, DecidedAtOnceWithoutOpponents) {
    const Map map = smallMap();
    const Army blueOnly = makeArmy(map, {{1, 0, "tank", {0, 1}}});
    const Battle blue = makeBattle(map, blueOnly, {{2, 2}});
    EXPECT_EQ(blue.outcome(), Outcome::BlueVictory);
    EXPECT_EQ(blue.log(), (std::vector<std::string>{"Operation begonnen. Blau am Zug.", "SIEG BLAU"}));

    const Army redOnly = makeArmy(map, {{2, 1, "tank", {0, 1}}});
    EXPECT_EQ(makeBattle(map, redOnly, {{2, 2}}).outcome(), Outcome::RedVictory);

    const Army empty = makeArmy(map, {});
    const Battle draw = makeBattle(map, empty, {{2, 2}});
    EXPECT_EQ(draw.outcome(), Outcome::Draw);
    EXPECT_EQ(draw.log().back(), "UNENTSCHIEDEN");
    EXPECT_EQ(draw.status(), "UNENTSCHIEDEN");

    // Every objective Blue from the start, both sides present.
    const Army both = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {4, 2}}});
    EXPECT_EQ(Battle(map, both, {{"Ziel", {2, 2}, blueSide}}, 5, 1).outcome(), Outcome::BlueVictory);
}

TEST(BattleFlow, MovingOntoAnObjectiveCapturesIt) {
    const Map map = makeMap({"ppppp", "ppppp", "ppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {4, 2}}, {3, 0, "inf", {0, 0}}});
    Battle battle = makeBattle(map, army, {{1, 1}, {3, 1}}, 5);

    // Passing over (1, 1) on the way to (2, 1) captures nothing.
    const MoveResult through = battle.move(map, army, 1, {2, 1});
    ASSERT_TRUE(through.success);
    ASSERT_EQ(through.path, (std::vector<Hex>{{0, 1}, {1, 1}, {2, 1}}));
    EXPECT_EQ(battle.objectives()[0].owner, redSide);
    EXPECT_EQ(battle.log().size(), 1u);

    ASSERT_TRUE(battle.move(map, army, 3, {1, 1}).success);
    EXPECT_EQ(battle.objectives()[0].owner, blueSide);
    EXPECT_EQ(battle.log().back(), "Ziel 1: Blau erobert");
    EXPECT_EQ(battle.outcome(), Outcome::Ongoing);

    // Red takes one back on its turn.
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    ASSERT_TRUE(battle.move(map, army, 2, {3, 1}).success); // Red already owns it: only the move is told
    EXPECT_EQ(battle.log().back(), "U2 zieht nach 3/1");
    EXPECT_EQ(battle.log()[battle.log().size() - 2], "RUNDE 1/5 - ROT");
    ASSERT_TRUE(battle.endTurn(army, redSide));

    // Blue takes the last Red objective: capture line, then the victory.
    ASSERT_TRUE(battle.move(map, army, 1, {3, 2}).success);
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    ASSERT_TRUE(battle.move(map, army, 2, {4, 0}).success);
    ASSERT_TRUE(battle.endTurn(army, redSide));
    ASSERT_TRUE(battle.move(map, army, 1, {3, 1}).success);
    EXPECT_EQ(battle.outcome(), Outcome::BlueVictory);
    const auto& log = battle.log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "Ziel 2: Blau erobert");
    EXPECT_EQ(log.back(), "SIEG BLAU");
}

TEST(BattleFlow, RedCapturesBlueObjectives) {
    const Map map = makeMap({"ppppp", "ppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {4, 1}}});
    Battle battle(map, army, {{"Dorf", {3, 1}, blueSide}, {"Stadt", {0, 1}, redSide}}, 5, 1);
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    ASSERT_TRUE(battle.move(map, army, 2, {3, 1}).success);
    EXPECT_EQ(battle.objectives()[0].owner, redSide);
    EXPECT_EQ(battle.log().back(), "Dorf: Rot erobert");
}

TEST(BattleLog, KeepsTheNewest200Lines) {
    const Map map = smallMap();
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {4, 2}}});
    Battle battle = makeBattle(map, army, {{2, 2}}, 1000);
    for (int i = 0; i < 199; ++i) {
        ASSERT_TRUE(battle.endTurn(army, battle.activeSide()));
    }
    ASSERT_EQ(battle.log().size(), 200u);
    EXPECT_EQ(battle.log().front(), "Operation begonnen. Blau am Zug.");
    ASSERT_TRUE(battle.endTurn(army, battle.activeSide())); // the 201st line
    ASSERT_EQ(battle.log().size(), 200u);
    EXPECT_EQ(battle.log().front(), "RUNDE 1/1000 - ROT");
    EXPECT_EQ(battle.log().back(), "RUNDE 101/1000 - BLAU");
}

TEST(BattleDice, XorshiftSequenceFromStateOne) {
    std::uint32_t state = 1;
    std::vector<std::uint32_t> states;
    std::vector<int> rolls;
    for (int i = 0; i < 3; ++i) {
        state = xorshift32(state);
        states.push_back(state);
        rolls.push_back(static_cast<int>(state % 5));
    }
    EXPECT_EQ(states, (std::vector<std::uint32_t>{270369u, 67634689u, 2647435461u}));
    EXPECT_EQ(rolls, (std::vector<int>{4, 4, 1}));
    // The high bits must shift out, not wrap: the top bit set stays a valid non-zero state.
    EXPECT_NE(xorshift32(0x80000000u), 0u);
}
