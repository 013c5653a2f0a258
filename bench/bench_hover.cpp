// The hover update on the shipped world: it runs on every mouse motion, so its worst case matters
// as much as its mean. 10,000 random pointer positions over the map area at three zooms.
#include "shell/client.hpp"
#include "shipped_client.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>

namespace {

using namespace korvan;

bench::ShippedClient& world() {
    static bench::ShippedClient instance;
    return instance;
}

// Arg: the zoom scale times ten, around Wien. Reports the mean and the slowest update.
void hover(benchmark::State& state) {
    Client& client = *world().client;
    client.focusGeography({16.3738, 48.2082}, state.range(0) / 10.0);
    const SDL_Rect area = toSdl(client.view.mapClip());
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(area.x, area.x + area.w - 1);
    std::uniform_real_distribution<double> y(area.y, area.y + area.h - 1);
    // The river geometry of the view is built by the first frame, not by the hover.
    client.view.mouse = {x(random), y(random)};
    client.updateHover();
    double slowest = 0;
    double total = 0;
    std::int64_t updates = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            client.view.mouse = {x(random), y(random)};
            const auto start = std::chrono::steady_clock::now();
            client.updateHover();
            const double micros =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            slowest = std::max(slowest, micros);
            total += micros;
            ++updates;
        }
    }
    state.counters["mean_us"] = total / double(updates);
    state.counters["max_us"] = slowest;
}
BENCHMARK(hover)->Arg(5)->Arg(40)->Arg(180)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
