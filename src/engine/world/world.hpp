// Everything the program knows of the world, loaded from data/ and derived from it: the world map
// and its play grid, the cities and where they stand, countries, waters and the names of rivers and
// bridges. Built bridges change the maps; nothing else changes after loading.
#pragma once

#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "places/cities.hpp"
#include "geography/countries.hpp"
#include "geography/country_grid.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "geography/water_territories.hpp"
#include "map/map.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace korvan {

// The regular play grid derived from a world map; none for other maps.
std::optional<Map> playGridFor(const Map& world);

// Where a world is read from. A custom map (--map) plays no scenario: it has no water territories,
// river names, country grid, units or battle.
struct WorldSources {
    std::filesystem::path dataDirectory;
    std::filesystem::path mapPath; // empty: the shipped world map, dataDirectory / "world.json"
    bool customMap = false;
    // The derived-data cache (world/world_cache) and the program identity that keys it; none when
    // the file is empty. A custom map uses no cache.
    std::filesystem::path cacheFile = {};
    std::string programIdentity = {};

    std::filesystem::path map() const { return mapPath.empty() ? dataDirectory / "world.json" : mapPath; }
};

// The operation as the data files set it up.
struct Scenario {
    Army army;
    std::optional<Battle> battle;
};

struct LoadedWorld;

class World {
public:
    // A world of one map and its cities, without the other data files: the play grid is derived at once.
    explicit World(Map world, std::vector<City> cityList = {});

    // Runs the data steps of start-up. The map is read first; the play grid, the longest step, is then
    // derived on a second thread while the files that need only the map are read. Errors still come
    // in the order of the steps, whatever finished first: the grid's, the units' (which need the grid),
    // those of the files read meanwhile, of placing the cities on the grid, of the country grid, and
    // last the battle's.
    static LoadedWorld load(const WorldSources& sources);

    // The map the game is played on: the play grid where there is one, else the map itself.
    const Map& gameMap() const { return playGrid ? *playGrid : map; }
    // The centre of a game-map field in world-map units.
    Point gameWorld(Hex h) const;
    // The game-map field under a world point.
    std::optional<Hex> gameAt(Point world) const;
    // Anchored cities sit on their play-grid field, cities on water on their shore point, the rest at
    // their geographic position.
    Point cityWorld(std::size_t city) const;
    // Longitude and latitude of a world point, the longitude not reduced to one world copy.
    Point geographyAt(Point world) const;
    // The country owning a world-map field; none off the world map or without countries.
    std::optional<std::size_t> countryForField(Hex h) const;
    // The cities whose geographic point falls on a world-map field, in list order.
    std::vector<std::size_t> citiesOnField(Hex h) const;
    // A country's outline polylines in world units, traced once per country and map generation.
    const std::vector<std::vector<Point>>& countryOutline(std::size_t country) const;

    // Replaces the play grid (start-up hands it over from its thread) and counts a new generation.
    void setPlayGrid(std::optional<Map> grid);
    // Builds a bridge over a world-map river edge on both maps. False where the edge has not two land banks.
    bool buildBridge(std::size_t riverEdge);
    // Takes a bridge built with buildBridge away again; false where the edge carries none.
    bool removeBridge(std::size_t riverEdge);
    // The maps as the files hold them again, for a new game: the bridges built in play are taken
    // away (they are all that play changes). Counts one new generation, also where none was built.
    void restoreMaps(std::span<const std::size_t> builtBridges);

    Map map;
    std::optional<Map> playGrid;
    std::filesystem::path dataDirectory;
    std::filesystem::path mapPath; // the file the map was read from
    // Counts every change of the maps' content (a play grid handed over, a bridge, a new game): what
    // was drawn or traced for an older generation is stale.
    unsigned generation = 0;

    std::vector<City> cities;
    UrbanAreas urbanAreas;
    std::vector<std::size_t> urbanCityIndices;         // per urban centre, its index in cities
    std::vector<std::optional<Hex>> cityAnchors;       // per city, its world-map urban field
    std::vector<Point> cityCenters;                    // per anchored city, its play-grid field centre
    std::vector<std::optional<Point>> cityShore;       // per unanchored city on water, a point on land
    std::unordered_map<int, std::size_t> cityFields;   // play-grid field key -> city index

    Countries countries;
    WaterTerritories waterTerritories;
    CountryGrid countryGrid;
    Seas seas;
    Seas lakes;
    RiverNames riverNames;
    BridgeNames bridgeNames;

private:
    struct PlayGridLater {};
    World(Map world, std::vector<City> cityList, PlayGridLater);
    void completeCities();
    bool setBridge(std::size_t riverEdge, bool enabled);
    void placeCitiesOnGrid();
    int fieldKey(Hex h) const { return h.r * map.width() + map.column(h); }

    mutable std::vector<std::pair<int, std::size_t>> cityKeys_; // world-map field key and city index, sorted
    mutable std::unordered_map<std::size_t, std::vector<std::vector<Point>>> outlines_;
    mutable unsigned outlinesGeneration_ = 0;
};

struct LoadedWorld {
    World world;
    Scenario scenario;
    bool fromCache = false; // the derived parts came from the cache file
    // Derived afresh: the cache file's new parts and their key, for the caller to write.
    std::vector<std::string> cacheParts = {};
    std::uint64_t cacheKey = 0;
};

} // namespace korvan
