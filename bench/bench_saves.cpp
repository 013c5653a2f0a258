// Saving and loading the shipped scenario after two rounds and a built bridge, as F5 and F9 do it:
// the whole text written atomically beside a backup, and read, checked and put in place again.
#include "game/game.hpp"
#include "game/save_files.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

using namespace korvan;

struct Played {
    LoadedWorld loaded;
    std::unique_ptr<Game> game;
    std::filesystem::path file;
};

Played& played() {
    static Played state = [] {
        Played p{World::load({std::filesystem::path(KORVAN_SOURCE_DIR) / "data", {}, false}), nullptr,
                 std::filesystem::temp_directory_path() / "korvan_bench_saves" / "partie.json"};
        p.game = std::make_unique<Game>(p.loaded.world, std::move(p.loaded.scenario));
        p.game->endTurn();
        p.game->endTurn();
        const auto& rivers = p.loaded.world.map.rivers();
        for (std::size_t edge = 0; edge < rivers.size() && p.game->builtBridges.empty(); edge += 97) {
            p.game->buildBridge(edge, true);
        }
        if (!p.game->saveTo(p.file)) {
            throw std::runtime_error(p.game->movementMessage);
        }
        return p;
    }();
    return state;
}

void saveGame(benchmark::State& state) {
    Played& p = played();
    for (auto _ : state) {
        if (!p.game->saveTo(p.file)) {
            state.SkipWithError(p.game->movementMessage.c_str());
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(p.file));
}

void loadGame(benchmark::State& state) {
    Played& p = played();
    for (auto _ : state) {
        if (!p.game->loadFrom(p.file)) {
            state.SkipWithError(p.game->movementMessage.c_str());
        }
    }
}

// The map's part of the fingerprint, taken once per game at its first save or load.
void fingerprint(benchmark::State& state) {
    Played& p = played();
    for (auto _ : state) {
        benchmark::DoNotOptimize(mapHash(p.loaded.world.map, p.game->builtBridges));
    }
}

} // namespace

BENCHMARK(fingerprint)->Unit(benchmark::kMillisecond);
BENCHMARK(saveGame)->Unit(benchmark::kMillisecond);
BENCHMARK(loadGame)->Unit(benchmark::kMillisecond);
