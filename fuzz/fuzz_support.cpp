// The fixtures of the fuzz targets, built once per process.
#include "fuzz_support.hpp"

#include "forces_fixtures.hpp"

#include <array>
#include <stdexcept>
#include <vector>

namespace korvan::fuzz {

namespace {

// 12 x 6 fields: water, land of every kind, a city pair with a river between them (a city
// crossing), a bridged river of width class 2, a river to the shore and a named bridge.
constexpr const char* worldText = R"({"schema_version": 3, "name": "Fuzzwelt", "width": 12, "height": 6,
 "layout": "odd-r", "wrap_horizontal": true, "kind": "world", "river_edges": [],
 "terrain_rows": ["w12", "w3p6w3", "w2p3c2f3w2", "w2h3a4m1w2", "w3d3s3w3", "i12"],
 "river_rows": ["a12", "a8b1a3", "a3b1c1b1a6", "a12", "a12", "a12"],
 "river_width_rows": ["A12", "A12", "A3C1A8", "A12", "A12", "A12"],
 "bridge_rows": ["a12", "a12", "a3b1a8", "a12", "a12", "a12"],
 "bridge_names": [[2, 2, 3, 2, ["Steg"]]]})";

const std::vector<std::string> operationRows = {"pppfhp", "pPPPpc", "ppwwpp", "fhpppm", "pppsdp"};
const std::vector<forces::RiverSide> operationRivers = {{{0, 0}, {1, 0}, true}, {{1, 0}, {1, 1}}, {{4, 0}, {4, 1}}};

Map loadText(const std::string& text) {
    std::istringstream input(text);
    return Map::load(input);
}

// Two units on the first two plain fields a longitude and latitude lead back to.
Army worldArmy(const Map& map) {
    std::string units;
    int placed = 0;
    for (int r = 0; r < map.height() && placed < 2; ++r) {
        for (int c = 0; c < map.width() && placed < 2; ++c) {
            const Hex h = map.hexAt(c, r);
            const Point lonLat = map.geography(h);
            if (map.terrainAt(h) != Terrain::Plain || !(map.hexAtGeography(lonLat) == h)) {
                continue;
            }
            units += std::string(placed ? "," : "") + R"({"id": )" + std::to_string(placed + 1) + R"(, "side": )" +
                     std::to_string(placed) + R"(, "name": "Einheit", "type": "inf", "longitude": )" +
                     std::to_string(lonLat.x) + R"(, "latitude": )" + std::to_string(lonLat.y) + "}";
            ++placed;
        }
    }
    std::istringstream input(R"({"schema_version": 1, "types": )" + forces::defaultTypes + R"(, "world_units": [)" +
                             units + "]}");
    return Army::load(map, input);
}

Fixture operational(const char* label, bool offsetRows) {
    std::string text = forces::mapJson(operationRows, operationRivers, offsetRows);
    if (offsetRows) {
        // The fixture writes odd-r maps as wrapping; the shipped operational map does not wrap.
        const std::string wrapping = R"("wrap_horizontal": true)";
        text.replace(text.find(wrapping), wrapping.size(), R"("wrap_horizontal": false)");
    }
    Map map = loadText(text);
    Army army = forces::makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {4, 3}}});
    return {label, std::move(map), std::move(army)};
}

std::array<Fixture, fixtureCount> buildFixtures() {
    Map world = loadText(worldText);
    Map grid = Map::regularWorld(world, 1.0);
    Army worldUnits = worldArmy(world);
    Army gridUnits = worldArmy(grid);
    return {Fixture{"world", std::move(world), std::move(worldUnits)},
            Fixture{"play grid", std::move(grid), std::move(gridUnits)}, operational("odd-r", true),
            operational("axial", false)};
}

} // namespace

const Fixture& fixture(std::size_t index) {
    static const std::array<Fixture, fixtureCount> fixtures = buildFixtures();
    return fixtures.at(index);
}

const Countries& fixtureCountries() {
    static const Countries countries = [] {
        std::istringstream input(R"({"schema_version": 1, "countries": [
            {"id": "AA", "name": "Aland", "polygons": [[[[-10, 40], [0, 40], [0, 50], [-10, 50]]]]},
            {"id": "BB", "name": "Beland", "polygons": [[[[0, 40], [10, 40], [10, 50], [0, 50]]]]}]})");
        return Countries::load(input);
    }();
    return countries;
}

const std::vector<City>& fixtureCities() {
    static const std::vector<City> cities = [] {
        std::istringstream input(R"({"schema_version": 1, "cities": [
            {"id": "wien", "name": "Wien", "longitude": 16.37, "latitude": 48.21, "capital": true, "tier": 0},
            {"id": "graz", "name": "Graz", "longitude": 15.44, "latitude": 47.07, "capital": false, "tier": 1}]})");
        return loadCities(input);
    }();
    return cities;
}

} // namespace korvan::fuzz
