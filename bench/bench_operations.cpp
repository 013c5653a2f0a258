// Operations generated around cities drawn at random (fixed seed) from every continent, each played
// to its end by the tests' scripted Blue against the computer's Red: Blue's share of wins, how long
// games last and what generation costs. Prints one line per operation and the summary.
#include "operations/operation.hpp"
#include "scripted_blue.hpp"
#include "world/world.hpp"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

using namespace korvan;

namespace {

const LoadedWorld& shippedWorld() {
    static const auto loaded =
        std::make_unique<LoadedWorld>(World::load({std::filesystem::path(KORVAN_SOURCE_DIR) / "data", {}, false}));
    return *loaded;
}

struct Continent {
    const char* name;
    double west, east, south, north;
    int draws;
};

// Rough boxes: a city counts for the first box that holds it.
constexpr std::array<Continent, 6> continents{{
    {"Europa", -25, 45, 35, 72, 9},
    {"Afrika", -20, 52, -36, 35, 9},
    {"Asien", 45, 180, -10, 78, 8},
    {"Nordamerika", -170, -50, 12, 75, 8},
    {"Suedamerika", -82, -34, -56, 12, 8},
    {"Ozeanien", 110, 180, -50, -10, 8},
}};

void OperationFairness(benchmark::State& state) {
    const LoadedWorld& loaded = shippedWorld();
    const World& world = loaded.world;
    const auto& types = loaded.scenario.army.types();
    int games = 0, blueWins = 0, refused = 0, early = 0, roundsPlayed = 0;
    double slowest = 0, generating = 0;
    for (auto _ : state) {
        std::mt19937 random(20261209);
        for (const Continent& continent : continents) {
            std::vector<std::size_t> pool;
            for (std::size_t k = 0; k < world.cities.size(); ++k) {
                const Point g = world.cities[k].geography;
                const auto first = std::find_if(continents.begin(), continents.end(), [&](const Continent& c) {
                    return g.x >= c.west && g.x < c.east && g.y >= c.south && g.y < c.north;
                });
                if (first != continents.end() && first->name == continent.name) {
                    pool.push_back(k);
                }
            }
            for (int drawn = 0; drawn < continent.draws && !pool.empty();) {
                const std::size_t pick = random() % pool.size();
                const std::size_t city = pool[pick];
                pool.erase(pool.begin() + std::ptrdiff_t(pick));
                const auto start = std::chrono::steady_clock::now();
                GeneratedOperation operation;
                try {
                    operation = generateOperation(world, types, city);
                } catch (const OperationRefused& refusal) {
                    ++refused;
                    std::printf("  %-12s %-28s abgelehnt: %s\n", continent.name, world.cities[city].name.c_str(),
                                refusal.what());
                    continue;
                }
                Scenario scenario = loadOperation(world, operation);
                const double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                generating += ms;
                slowest = std::max(slowest, ms);
                scripted::playToEnd(*scenario.battle, world.gameMap(), scenario.army);
                const Battle& battle = *scenario.battle;
                ++drawn;
                ++games;
                blueWins += battle.outcome() == Outcome::BlueVictory;
                early += battle.round() <= 2;
                roundsPlayed += battle.round();
                int held = 0;
                for (const Objective& objective : battle.objectives()) {
                    held += objective.owner == blueSide;
                }
                std::printf("  %-12s %-28s %-26s %s in Runde %2d/%2d, Ziele %d/%zu, %5.1f ms\n", continent.name,
                            world.cities[city].name.c_str(), operation.name.c_str(),
                            battle.outcome() == Outcome::BlueVictory ? "Blau" : "Rot ", battle.round(),
                            battle.roundLimit(), held, battle.objectives().size(), ms);
            }
        }
    }
    std::printf("Operationen %d, Blau gewinnt %d (%.0f %%), in Runde 1-2 entschieden %d, abgelehnt %d, "
                "Runden im Mittel %.1f, Erzeugung im Mittel %.1f ms, hoechstens %.1f ms\n",
                games, blueWins, 100.0 * blueWins / std::max(1, games), early, refused,
                double(roundsPlayed) / std::max(1, games), generating / std::max(1, games), slowest);
    state.counters["blue_win_share"] = double(blueWins) / std::max(1, games);
    state.counters["decided_early"] = early;
    state.counters["generation_ms_max"] = slowest;
}
BENCHMARK(OperationFairness)->Iterations(1)->Unit(benchmark::kSecond);

// One operation's generation and loading, Nairobi.
void GenerateOperation(benchmark::State& state) {
    const LoadedWorld& loaded = shippedWorld();
    const std::size_t city = *findCityByName(loaded.world, "Nairobi");
    for (auto _ : state) {
        benchmark::DoNotOptimize(loadOperation(loaded.world, generateOperation(loaded.world, loaded.scenario.army.types(), city)));
    }
}
BENCHMARK(GenerateOperation)->Unit(benchmark::kMillisecond);

} // namespace
