// Operations generated around cities of the shipped world: the same city gives the same files, the
// files go through the ordinary loaders, the ground decides what stands where, and places without
// room for a battle are refused.
#include "forces/battle.hpp"
#include "forces_fixtures.hpp"
#include "operations/operation.hpp"
#include "scripted_blue.hpp"
#include "shell/client.hpp"
#include "world/world.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

using namespace korvan;

namespace {

class Operations : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded = std::make_unique<LoadedWorld>(
            World::load({std::filesystem::path(KORVAN_SOURCE_DIR) / "data", {}, false}));
    }
    static void TearDownTestSuite() { loaded.reset(); }

    static const World& world() { return loaded->world; }
    static GeneratedOperation around(const std::string& name) {
        const auto city = findCityByName(world(), name);
        if (!city) {
            throw std::runtime_error("no city " + name);
        }
        return generateOperation(world(), loaded->scenario.army.types(), *city);
    }

    static std::unique_ptr<LoadedWorld> loaded;
};

std::unique_ptr<LoadedWorld> Operations::loaded;

TEST_F(Operations, SameCityGivesTheSameFiles) {
    const GeneratedOperation first = around("Nairobi");
    const GeneratedOperation second = around("nairobi");
    EXPECT_EQ(first.units, second.units);
    EXPECT_EQ(first.battles, second.battles);
    EXPECT_EQ(first.name, second.name);
    EXPECT_NE(first.units, around("Lyon").units);
}

// Fields a type can walk from a start over land it may enter; rivers do not stop it, as Blue can bridge them.
std::set<Hex, HexLess> walkable(const Map& map, const UnitType& type, Hex start, int radius) {
    std::set<Hex, HexLess> seen{start};
    std::vector<Hex> queue{start};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        for (const Hex n : map.adjacent(queue[next])) {
            if (Army::terrainCost(type, map.at(n)) >= 0 && hexDistance(n, start) <= radius && seen.insert(n).second) {
                queue.push_back(n);
            }
        }
    }
    return seen;
}

TEST_F(Operations, ExportedFilesLoadThroughTheDataLoaders) {
    const GeneratedOperation operation = around("Lyon");
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvan-operation-export";
    std::filesystem::remove_all(folder);
    exportOperation(operation, folder);
    const Map& grid = world().gameMap();
    const Army army = Army::load(grid, folder / "units.json");
    const Battle battle = Battle::load(grid, army, folder / "battles.json");
    const Scenario direct = loadOperation(world(), operation);
    ASSERT_EQ(army.units().size(), direct.army.units().size());
    for (std::size_t k = 0; k < army.units().size(); ++k) {
        EXPECT_EQ(army.units()[k].position, direct.army.units()[k].position);
        EXPECT_EQ(army.units()[k].type, direct.army.units()[k].type);
    }
    ASSERT_EQ(battle.objectives().size(), direct.battle->objectives().size());
    EXPECT_EQ(battle.roundLimit(), direct.battle->roundLimit());
    std::filesystem::remove_all(folder);
}

// Far apart and on different ground: a highland capital, a river plain, a coast, a desert city.
TEST_F(Operations, ObjectivesOnLandWithinBluesReachAndEveryUnitOnGroundItCanEnter) {
    for (const char* name : {"Nairobi", "Kathmandu", "Sao Paulo", "Kairo", "Chicago", "Wien"}) {
        SCOPED_TRACE(name);
        const GeneratedOperation operation = around(name);
        const Scenario scenario = loadOperation(world(), operation);
        const Map& grid = world().gameMap();
        const Battle& battle = *scenario.battle;
        EXPECT_GE(battle.objectives().size(), 3u);
        EXPECT_LE(battle.objectives().size(), 8u);
        EXPECT_EQ(battle.outcome(), Outcome::Ongoing);
        int blue = 0;
        int red = 0;
        for (const Unit& unit : scenario.army.units()) {
            EXPECT_GE(Army::terrainCost(scenario.army.type(unit), grid.at(unit.position)), 0) << unit.name;
            (unit.side == blueSide ? blue : red) += 1;
        }
        EXPECT_GT(blue, red);
        const Unit& firstBlue = *std::find_if(scenario.army.units().begin(), scenario.army.units().end(),
                                              [](const Unit& u) { return u.side == blueSide; });
        const auto reach = walkable(grid, scenario.army.type(firstBlue), firstBlue.position, 40);
        for (const Objective& objective : battle.objectives()) {
            EXPECT_NE(grid.terrainAt(objective.position), Terrain::Water) << objective.name;
            EXPECT_EQ(objective.owner, redSide);
            EXPECT_TRUE(reach.contains(objective.position)) << objective.name;
        }
    }
}

TEST_F(Operations, RefusedOnSmallIslandsAndOffWorldMaps) {
    for (const char* island : {"Male", "Apia", "Praia"}) {
        const auto city = findCityByName(world(), island);
        ASSERT_TRUE(city) << island;
        try {
            generateOperation(world(), loaded->scenario.army.types(), *city);
            ADD_FAILURE() << island << " was not refused";
        } catch (const OperationRefused& refusal) {
            EXPECT_NE(std::string(refusal.what()).find("Zu wenig Land um"), std::string::npos) << refusal.what();
        }
    }
    EXPECT_FALSE(findCityByName(world(), "Atlantis"));

    std::istringstream regional(forces::mapJson({"ppppp", "ppppp", "ppppp"}));
    City city;
    city.name = "Dorf";
    const World small(Map::load(regional), {city});
    EXPECT_THROW(generateOperation(small, loaded->scenario.army.types(), 0), OperationRefused);
}

std::vector<bool> bridges(const Map& map) {
    std::vector<bool> result;
    for (const RiverEdge& edge : map.rivers()) {
        result.push_back(edge.bridge);
    }
    return result;
}

std::vector<Hex> positions(const Army& army) {
    std::vector<Hex> result;
    for (const Unit& unit : army.units()) {
        result.push_back(unit.position);
    }
    return result;
}

// The player's way: a city chosen, O twice, the game played out through the client, bridges built, then N.
TEST(OperationInTheClient, StartedByOTwiceSavedLoadedPlayedOutAndRestartedTheSame) {
    Client client(World::load({std::filesystem::path(KORVAN_SOURCE_DIR) / "data", {}, false}));
    client.focusCity("Lyon");
    client.view.hover.city.reset();
    client.requestOperation();
    EXPECT_FALSE(client.game.operation);
    client.requestOperation();
    ASSERT_TRUE(client.game.operation);
    const std::string name = client.game.operation->name;
    const std::vector<Hex> start = positions(client.game.army);

    client.focusCity("Male");
    client.view.hover.city.reset();
    client.requestOperation();
    client.requestOperation();
    EXPECT_NE(client.game.movementMessage.find("Zu wenig Land um Male"), std::string::npos);
    EXPECT_EQ(client.game.operation->name, name);
    EXPECT_EQ(positions(client.game.army), start);

    // A save names its operation: loaded during another one, it brings its own back.
    scripted::blueTurn(*client.game.battle, client.world.gameMap(), client.game.army);
    client.endTurn();
    const std::filesystem::path save = std::filesystem::temp_directory_path() / "korvan-operation-save.json";
    ASSERT_TRUE(client.game.saveTo(save));
    const std::vector<Hex> saved = positions(client.game.army);
    client.startOperation("Nairobi");
    ASSERT_TRUE(client.game.loadFrom(save)) << client.game.movementMessage;
    EXPECT_EQ(client.game.operation->name, name);
    EXPECT_EQ(positions(client.game.army), saved);
    EXPECT_EQ(client.game.battle->round(), 2);
    std::filesystem::remove(save);
    std::filesystem::remove(std::filesystem::path(save) += ".bak");

    // Bridges built in play are gone after the restart, on the world map and on the play grid.
    const World& world = client.world;
    const std::vector<bool> worldBridges = bridges(world.map);
    const std::vector<bool> gridBridges = bridges(world.gameMap());
    for (std::size_t edge = 0; edge < world.map.rivers().size() && client.game.builtBridges.size() < 3; edge += 997) {
        client.game.buildBridge(edge, true);
    }
    ASSERT_EQ(client.game.builtBridges.size(), 3u);
    EXPECT_NE(bridges(world.gameMap()), gridBridges);

    Battle& battle = *client.game.battle;
    for (int turn = 0; !client.game.decided() && turn < 2 * battle.roundLimit() + 2; ++turn) {
        scripted::blueTurn(battle, client.world.gameMap(), client.game.army);
        client.endTurn();
    }
    EXPECT_TRUE(client.game.decided());

    client.restartBattle();
    EXPECT_EQ(positions(client.game.army), start);
    EXPECT_FALSE(client.game.decided());
    EXPECT_TRUE(client.game.builtBridges.empty());
    EXPECT_EQ(bridges(world.map), worldBridges);
    EXPECT_EQ(bridges(world.gameMap()), gridBridges);
}

} // namespace
