// The world from data/: the start-up's data steps in their order, and the look-ups on cities,
// countries and the two maps.
#include "world/world.hpp"

#include "core/camera.hpp"
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "places/city_anchors.hpp"
#include "world/world_cache.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <future>

namespace korvan {

std::optional<Map> playGridFor(const Map& world) {
    if (!world.isWorld()) {
        return std::nullopt;
    }
    return Map::regularWorld(world, playGridRatio(world.width(), world.height()));
}

World::World(Map world, std::vector<City> cityList)
    : map(std::move(world)), playGrid(playGridFor(map)), cities(std::move(cityList)) {}

World::World(Map world, std::vector<City> cityList, PlayGridLater)
    : map(std::move(world)), cities(std::move(cityList)) {}

LoadedWorld World::load(const WorldSources& sources) {
    const std::filesystem::path& data = sources.dataDirectory;
    const bool customMap = sources.customMap;
    // The map file is read once: the bridge names take it from here too, so a map given as a pipe
    // (--map /dev/stdin) serves both.
    const std::filesystem::path mapPath = sources.map();
    std::string mapText = readDataFile(mapPath, fileCaps::map, "Karte kann nicht geoeffnet werden: " + mapPath.string(),
                                       customMap ? FileSource::AlsoPipe : FileSource::RegularOnly);
    // The cache is keyed before anything is parsed. Its parts replace the map's parsing, the play
    // grid, the river names and the country grid; a part that does not decode is derived instead,
    // and the file is written anew.
    std::optional<std::uint64_t> cacheKey;
    std::optional<WorldCache> cache;
    if (!customMap && !sources.cacheFile.empty()) {
        cacheKey = worldCacheKey(sources.programIdentity, mapText, data);
        if (cacheKey) {
            cache = WorldCache::open(sources.cacheFile, *cacheKey);
        }
    }
    std::optional<Map> cachedMap;
    if (cache) {
        try {
            cachedMap = cache->map();
        } catch (const std::exception&) {
            cache.reset();
        }
    }
    std::atomic<bool> partDerived = !cache.has_value();
    const auto fromCache = [&](auto decode, auto derive) {
        if (cache) {
            try {
                return decode();
            } catch (const std::exception&) {
                partDerived = true;
            }
        }
        return derive();
    };
    Map loaded = cachedMap ? std::move(*cachedMap)
                           : loadText(mapPath, mapText, [](std::istream& input) { return Map::load(input); });
    LoadedWorld result{World(std::move(loaded), {}, PlayGridLater{}), Scenario{}};
    result.fromCache = cache.has_value();
    World& world = result.world;
    world.dataDirectory = data;
    world.mapPath = mapPath;

    // The play grid needs the map alone: it is derived while the cities and the other files are read.
    // A fault in those still comes first; the grid's own is only asked for after them.
    const Map& worldMap = world.map;
    std::future<std::optional<Map>> grid = std::async(std::launch::async, [&] {
        return fromCache([&] { return std::optional<Map>(cache->playGrid()); }, [&] { return playGridFor(worldMap); });
    });
    if (world.map.isWorld()) {
        world.cities = loadCities(data / "cities.json");
    }
    std::exception_ptr filesFailure;
    std::exception_ptr countryGridFailure;
    try {
        if (world.map.isWorld()) {
            world.countries = Countries::load(data / "countries.json");
        }
        if (!customMap) {
            world.waterTerritories =
                WaterTerritories::load(world.map, world.countries, data / "water-territories.json");
        }
        world.seas = Seas::load(data / "seas.json");
        world.lakes = Seas::load(data / "lakes.json");
        if (!customMap) {
            world.riverNames = fromCache([&] { return cache->riverNames(world.map); },
                                         [&] { return RiverNames::load(world.map, data / "river-names.json"); });
        }
        world.bridgeNames = loadText(world.mapPath, mapText,
                                     [&world](std::istream& input) { return BridgeNames::load(world.map, input); });
        world.completeCities();
    } catch (...) {
        filesFailure = std::current_exception();
    }
    if (!filesFailure && !customMap && world.map.isWorld()) {
        try {
            world.countryGrid = fromCache(
                [&] { return cache->countryGrid(world.map, world.countries.entries.size()); },
                [&] { return CountryGrid::build(world.map, world.countries, &world.waterTerritories, world.cities); });
        } catch (...) {
            countryGridFailure = std::current_exception();
        }
    }
    // The cache is written anew when anything was derived. Without a cache the parts at hand go into
    // its bytes while the play grid is finished; a part that failed to decode is known only after.
    const bool cacheable = cacheKey && !filesFailure && !countryGridFailure && world.map.isWorld();
    std::optional<WorldCacheParts> cacheParts;
    const auto collectParts = [&] {
        cacheParts.emplace(world.map, world.riverNames, world.countries.entries.size(), world.countryGrid);
    };
    if (cacheable && !cache) {
        collectParts();
    }
    world.setPlayGrid(grid.get());
    if (cacheable && !cacheParts && partDerived) {
        collectParts();
    }
    if (cacheParts && world.playGrid) {
        result.cacheParts = cacheParts->finish(*world.playGrid);
        result.cacheKey = *cacheKey;
    }
    if (!customMap) {
        result.scenario.army = Army::load(world.gameMap(), data / "units.json");
    }
    if (filesFailure) {
        std::rethrow_exception(filesFailure);
    }
    world.placeCitiesOnGrid();
    if (countryGridFailure) {
        std::rethrow_exception(countryGridFailure);
    }
    if (!customMap) {
        result.scenario.battle = Battle::load(world.gameMap(), result.scenario.army, data / "battles.json");
    }
    return result;
}

// The city list complete: urban centres join it, the parameters apply, and urban centres get their
// fields of the loaded map as anchors. Needs only the loaded map.
void World::completeCities() {
    urbanAreas = UrbanAreas::load(dataDirectory / "urban.json");
    urbanCityIndices = mergeUrbanCenters(cities, urbanAreas);
    applyCityParameters(cities, dataDirectory / "city-parameters.json");
    cityAnchors.assign(cities.size(), std::nullopt);
    if (!map.isWorld()) {
        return;
    }
    const auto anchors = cityTileAnchors(map, urbanAreas);
    for (std::size_t j = 0; j < anchors.size(); ++j) {
        cityAnchors[urbanCityIndices[j]] = anchors[j];
    }
}

// Cities on the play grid: anchored cities take their fields (two on one field is an error), cities
// on water get a point on the nearest shore.
void World::placeCitiesOnGrid() {
    if (!map.isWorld()) {
        return;
    }
    CityFieldPlacement placement = placeAnchoredCities(gameMap(), cityAnchors);
    cityCenters = std::move(placement.centers);
    cityFields = std::move(placement.fields);
    cityShore.assign(cities.size(), std::nullopt);
    for (std::size_t k = 0; k < cities.size(); ++k) {
        if (!cityAnchors[k]) {
            cityShore[k] = shorePoint(gameMap(), cityWorld(k));
        }
    }
}

void World::setPlayGrid(std::optional<Map> grid) {
    playGrid = std::move(grid);
    ++generation;
}

bool World::buildBridge(std::size_t riverEdge) { return setBridge(riverEdge, true); }

bool World::removeBridge(std::size_t riverEdge) { return setBridge(riverEdge, false); }

void World::restoreMaps(std::span<const std::size_t> builtBridges) {
    const unsigned restored = generation + 1; // one generation for the whole change, as for one bridge
    for (const std::size_t edge : builtBridges) {
        removeBridge(edge);
    }
    generation = restored;
}

bool World::setBridge(std::size_t riverEdge, bool enabled) {
    const RiverEdge edge = map.rivers().at(riverEdge);
    if (!map.setBridge(edge.a, edge.b, enabled)) {
        return false;
    }
    if (playGrid) {
        playGrid->syncSourceBridge(map, riverEdge);
    }
    ++generation;
    return true;
}

Point World::gameWorld(Hex h) const {
    const Map& g = gameMap();
    return {(h.q + h.r * 0.5) * sqrt3 * g.sourceScaleX(), h.r * 1.5 * g.sourceScaleY()};
}

std::optional<Hex> World::gameAt(Point world) const {
    const Map& g = gameMap();
    return g.canonical(worldToHex(g.gridPoint(world)));
}

Point World::cityWorld(std::size_t city) const {
    if (city < cityAnchors.size() && cityAnchors[city]) {
        return city < cityCenters.size() ? cityCenters[city] : hexCenter(*cityAnchors[city]);
    }
    if (city < cityShore.size() && cityShore[city]) {
        return *cityShore[city];
    }
    const Point geography = cities.at(city).geography;
    return {map.width() * (180 + geography.x) * sqrt3 / 360, (map.height() * (90 - geography.y) / 180 - 0.5) * 1.5};
}

Point World::geographyAt(Point world) const {
    return {world.x / sqrt3 * 360.0 / map.width() - 180.0, 90.0 - (world.y / 1.5 + 0.5) * 180.0 / map.height()};
}

std::optional<std::size_t> World::countryForField(Hex h) const {
    if (!map.isWorld() || countries.entries.empty()) {
        return std::nullopt;
    }
    return countryGrid.owner(map, h);
}

std::vector<std::size_t> World::citiesOnField(Hex h) const {
    // Per city, the key of the world-map field its geographic point falls on, sorted by key and then
    // by city order; built again when the list changed.
    if (cityKeys_.size() != cities.size()) {
        cityKeys_.clear();
        cityKeys_.reserve(cities.size());
        for (std::size_t k = 0; k < cities.size(); ++k) {
            cityKeys_.emplace_back(map.isWorld() ? fieldKey(map.hexAtGeography(cities[k].geography)) : -1, k);
        }
        std::sort(cityKeys_.begin(), cityKeys_.end());
    }
    const int key = fieldKey(h);
    std::vector<std::size_t> found;
    for (auto at = std::lower_bound(cityKeys_.begin(), cityKeys_.end(), std::pair<int, std::size_t>{key, 0});
         at != cityKeys_.end() && at->first == key; ++at) {
        found.push_back(at->second);
    }
    return found;
}

const std::vector<std::vector<Point>>& World::countryOutline(std::size_t country) const {
    // Outlines are joined into polylines of at most this many points, so culling works in pieces.
    constexpr std::size_t outlinePoints = 512;
    if (outlinesGeneration_ != generation) {
        outlines_.clear();
        outlinesGeneration_ = generation;
    }
    auto found = outlines_.find(country);
    if (found == outlines_.end()) {
        found = outlines_.emplace(country, countryGrid.outlineLines(map, country, outlinePoints)).first;
    }
    return found->second;
}

} // namespace korvan
