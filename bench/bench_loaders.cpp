// Reading the shipped data files, one loader at a time, as start-up does.
#include "forces/army.hpp"
#include "places/cities.hpp"
#include "geography/countries.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "geography/water_territories.hpp"
#include "map/map.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace korvan;

const std::filesystem::path& data() {
    static const std::filesystem::path path = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    return path;
}

const Map& world() {
    static const Map map = Map::load(data() / "world.json");
    return map;
}

const Countries& countries() {
    static const Countries loaded = Countries::load(data() / "countries.json");
    return loaded;
}

// Loads one file per run; the loaded value is dropped inside the timing, as start-up would keep it.
template <typename Load>
void BM_Load(benchmark::State& state, Load load) {
    for (auto _ : state) {
        const auto loaded = load();
        benchmark::DoNotOptimize(&loaded);
    }
}
BENCHMARK_CAPTURE(BM_Load, World, [] { return Map::load(data() / "world.json"); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, Countries, [] { return Countries::load(data() / "countries.json"); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, Lakes, [] { return Seas::load(data() / "lakes.json"); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, Seas, [] { return Seas::load(data() / "seas.json"); })->Unit(benchmark::kMillisecond);

void BM_LoadWaterTerritories(benchmark::State& state) {
    const Map& map = world();
    const Countries& list = countries();
    for (auto _ : state) {
        const WaterTerritories waters = WaterTerritories::load(map, list, data() / "water-territories.json");
        benchmark::DoNotOptimize(waters.codes().data());
    }
}
BENCHMARK(BM_LoadWaterTerritories)->Unit(benchmark::kMillisecond);

void BM_LoadRiverAndBridgeNames(benchmark::State& state) {
    const Map& map = world();
    for (auto _ : state) {
        const RiverNames rivers = RiverNames::load(map, data() / "river-names.json");
        const BridgeNames bridges = BridgeNames::load(map, data() / "world.json");
        benchmark::DoNotOptimize(rivers.names().data());
        benchmark::DoNotOptimize(bridges.size());
    }
}
BENCHMARK(BM_LoadRiverAndBridgeNames)->Unit(benchmark::kMillisecond);

void BM_LoadCities(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<City> cities = loadCities(data() / "cities.json");
        const UrbanAreas urban = UrbanAreas::load(data() / "urban.json");
        mergeUrbanCenters(cities, urban);
        applyCityParameters(cities, data() / "city-parameters.json");
        benchmark::DoNotOptimize(cities.data());
    }
}
BENCHMARK(BM_LoadCities)->Unit(benchmark::kMillisecond);

} // namespace
