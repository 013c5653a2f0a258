// Loading a world of real size and deriving its play grid.
#include "core/camera.hpp"
#include "map/map.hpp"
#include "synthetic_world.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <sstream>

namespace {

constexpr int worldWidth = 4320;
constexpr int worldHeight = 2160;
constexpr int riverSides = 200'000;

const std::string& worldText() {
    static const std::string text = korvan::bench::syntheticWorldJson(worldWidth, worldHeight, riverSides);
    return text;
}

void loadWorld(benchmark::State& state) {
    for (auto _ : state) {
        std::istringstream input(worldText());
        korvan::Map map = korvan::Map::load(input);
        benchmark::DoNotOptimize(map.rivers().size());
    }
    state.counters["bytes"] = double(worldText().size());
}
BENCHMARK(loadWorld)->Unit(benchmark::kMillisecond);

void deriveRegularWorld(benchmark::State& state) {
    std::istringstream input(worldText());
    const korvan::Map world = korvan::Map::load(input);
    const double ratio = korvan::playGridRatio(worldWidth, worldHeight);
    std::size_t edges = 0;
    for (auto _ : state) {
        korvan::Map grid = korvan::Map::regularWorld(world, ratio);
        edges = grid.rivers().size();
        benchmark::DoNotOptimize(edges);
    }
    state.counters["sourceEdges"] = double(world.rivers().size());
    state.counters["gridEdges"] = double(edges);
}
BENCHMARK(deriveRegularWorld)->Unit(benchmark::kMillisecond);

} // namespace
