// The shipped geography files load with the engine's loaders and agree with each other.
#include "places/cities.hpp"
#include "places/city_anchors.hpp"
#include "geography/countries.hpp"
#include "geography/country_grid.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "geography/water_territories.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace korvan;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

bool shipped(const char* name) { return std::filesystem::exists(dataDirectory / name); }

} // namespace

TEST(ShippedGeography, EveryFileLoadsAndTheCountryGridIsComplete) {
    // The data set is committed: a missing file is a failure, not a reason to skip.
    for (const char* name : {"world.json", "countries.json", "water-territories.json", "seas.json", "lakes.json"}) {
        ASSERT_TRUE(shipped(name)) << name << " is missing from data/";
    }
    const Map map = Map::load(dataDirectory / "world.json");
    const Countries countries = Countries::load(dataDirectory / "countries.json");
    const WaterTerritories water = WaterTerritories::load(map, countries, dataDirectory / "water-territories.json");
    const Seas seas = Seas::load(dataDirectory / "seas.json");
    const Seas lakes = Seas::load(dataDirectory / "lakes.json");
    const BridgeNames bridges = BridgeNames::load(map, dataDirectory / "world.json");
    if (shipped("river-names.json")) {
        const RiverNames rivers = RiverNames::load(map, dataDirectory / "river-names.json");
        EXPECT_FALSE(rivers.names().empty());
    }
    std::vector<City> cities;
    if (shipped("cities.json")) {
        cities = loadCities(dataDirectory / "cities.json");
    }
    if (shipped("urban.json")) {
        const UrbanAreas urban = UrbanAreas::load(dataDirectory / "urban.json");
        const auto anchors = cityTileAnchors(map, urban);
        EXPECT_EQ(anchors.size(), urban.cities().size());
        mergeUrbanCenters(cities, urban);
    }
    if (shipped("city-parameters.json")) {
        applyCityParameters(cities, dataDirectory / "city-parameters.json");
    }

    const CountryGrid grid = CountryGrid::build(map, countries, &water, cities);
    EXPECT_TRUE(grid.holes(map).empty());
    // Wien lies in Austria by both the polygons and the grid.
    const Point wien{16.37, 48.21};
    const auto austria = countries.at(wien);
    ASSERT_TRUE(austria.has_value());
    EXPECT_EQ(countries.entries[*austria].id, "AUT");
    EXPECT_EQ(grid.territory(map, map.hexAtGeography(wien)), austria);
    EXPECT_FALSE(grid.outlineLines(map, *austria, 512).empty());
    EXPECT_FALSE(seas.areas().empty());
    EXPECT_FALSE(lakes.areas().empty());
    (void)bridges;
}
