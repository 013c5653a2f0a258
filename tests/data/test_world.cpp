// The shipped world as start-up loads it, without SDL.
#include "world/world.hpp"

#include <SDL.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace korvan;

namespace {

const std::filesystem::path shippedData = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

TEST(ShippedWorld, LoadsWithoutSdlWithItsGridCitiesAndScenario) {
    const LoadedWorld loaded = World::load({shippedData, {}, false});
    EXPECT_EQ(SDL_WasInit(0), 0u);
    const World& world = loaded.world;
    ASSERT_TRUE(world.map.isWorld());
    ASSERT_TRUE(world.playGrid);
    EXPECT_EQ(world.generation, 1u); // the play grid handed over, nothing built yet
    EXPECT_FALSE(world.countryGrid.empty());
    ASSERT_EQ(world.cityAnchors.size(), world.cities.size());
    // Every anchored city stands on a play-grid field of its own; every other one has a place.
    std::size_t anchored = 0;
    for (std::size_t k = 0; k < world.cities.size(); ++k) {
        if (world.cityAnchors[k]) {
            ++anchored;
            const auto field = world.gameAt(world.cityWorld(k));
            ASSERT_TRUE(field) << world.cities[k].name;
            const Map& grid = world.gameMap();
            EXPECT_EQ(world.cityFields.at(field->r * grid.width() + grid.column(*field)), k) << world.cities[k].name;
        }
    }
    EXPECT_EQ(world.cityFields.size(), anchored);
    ASSERT_TRUE(loaded.scenario.battle);
    EXPECT_FALSE(loaded.scenario.army.units().empty());
}

TEST(ShippedWorld, ACustomMapPlaysNoScenario) {
    const LoadedWorld loaded = World::load({shippedData, shippedData / "donau-wien.json", true});
    EXPECT_FALSE(loaded.world.map.isWorld());
    EXPECT_FALSE(loaded.world.playGrid);
    EXPECT_FALSE(loaded.scenario.battle);
    EXPECT_TRUE(loaded.scenario.army.units().empty());
}

} // namespace
