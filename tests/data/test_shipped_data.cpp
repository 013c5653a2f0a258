// Every shipped data file loads with its loader, and the world looks like the world.
#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "core/camera.hpp"
#include "map/map.hpp"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korvan;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

// Loading and deriving the world takes about a second, so the suite does it once.
class ShippedData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world = new Map(Map::load(dataDirectory / "world.json"));
        grid = new Map(Map::regularWorld(*world, playGridRatio(world->width(), world->height())));
    }
    static void TearDownTestSuite() {
        delete grid;
        delete world;
    }
    static Map* world;
    static Map* grid;
};

Map* ShippedData::world = nullptr;
Map* ShippedData::grid = nullptr;

} // namespace

TEST_F(ShippedData, WorldHasTheAgreedShapeAndPlaces) {
    EXPECT_EQ(world->width(), 4320);
    EXPECT_EQ(world->height(), 2160);
    EXPECT_EQ(world->name(), "Erde");
    EXPECT_TRUE(world->isWorld());
    EXPECT_GT(world->rivers().size(), 50'000u);
    EXPECT_EQ(world->at(world->hexAtGeography({16.3738, 48.2082})).terrain, Terrain::City);      // Wien
    EXPECT_EQ(world->at(world->hexAtGeography({0.0, -30.0})).terrain, Terrain::Water);          // South Atlantic
    EXPECT_EQ(world->at(world->hexAtGeography({-40.0, 75.0})).terrain, Terrain::Ice);           // Greenland
    EXPECT_EQ(world->at(world->hexAtGeography({10.0, 23.0})).terrain, Terrain::Desert);         // Sahara
    EXPECT_EQ(world->at(world->hexAtGeography({10.98, 47.42})).terrain, Terrain::Mountain);     // Zugspitze
    EXPECT_EQ(world->at(world->hexAtGeography({84.0, 28.5})).terrain, Terrain::Mountain);       // Himalaya
    EXPECT_EQ(world->at(world->hexAtGeography({-65.0, -10.0})).terrain, Terrain::Forest);       // Amazon
}

TEST_F(ShippedData, PlayGridKeepsRiversAndBridges) {
    EXPECT_EQ(grid->width(), 4321);
    EXPECT_EQ(grid->height(), 3743);
    EXPECT_GT(grid->rivers().size(), world->rivers().size());
    std::size_t carried = 0;
    std::size_t bridgedSources = 0;
    for (std::size_t j = 0; j < world->rivers().size(); ++j) {
        carried += !grid->sourceRiverEdges()[j].empty();
        if (world->rivers()[j].bridge && grid->bridgeEdges()[j] != Map::noEdge) {
            ++bridgedSources;
            EXPECT_TRUE(grid->rivers()[grid->bridgeEdges()[j]].bridge);
        }
    }
    // Nearly every source side survives on the play grid.
    EXPECT_GT(double(carried) / double(world->rivers().size()), 0.97);
    EXPECT_GT(bridgedSources, 100u);
}

TEST_F(ShippedData, ArmyAndScenarioLoadOnThePlayGrid) {
    const Army army = Army::load(*grid, dataDirectory / "units.json");
    ASSERT_FALSE(army.units().empty());
    int blue = 0;
    int red = 0;
    for (const Unit& unit : army.units()) {
        (unit.side == blueSide ? blue : red) += 1;
        EXPECT_NE(grid->at(unit.position).terrain, Terrain::Water) << unit.name;
    }
    EXPECT_GT(blue, 0);
    EXPECT_GT(red, 0);
    const Battle battle = Battle::load(*grid, army, dataDirectory / "battles.json");
    EXPECT_FALSE(battle.finished());
    EXPECT_FALSE(battle.objectives().empty());
}
