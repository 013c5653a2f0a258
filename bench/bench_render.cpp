// Frame times on the shipped world: panning and zooming around Wien at three scales, drawn by the
// software renderer (or SDL_RENDER_DRIVER's choice) into a 1280 x 850 window, as the player sees it.
#include "bench_armies.hpp"
#include "shell/client.hpp"
#include "cpu/terrain_raster.hpp"
#include "shell/startup.hpp"
#include "terrain/terrain_geometry.hpp"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <stdexcept>

// Every C++ allocation of the program is counted, so a still frame can show it allocates nothing.
// (GCC takes the replaced operators for a mismatch when it inlines them into each other.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<std::size_t> allocations{0};
}
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace korvan;

constexpr Point wien{16.3738, 48.2082};
constexpr int warmupFrames = 5;
constexpr int measuredFrames = 20;

// One window, renderer and client for the whole program: loading the world takes about a second.
struct Scene {
    Scene() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
        // Headless, SDL would emulate the window surface with a GL texture on every present; a plain
        // framebuffer keeps presenting free, so what is timed is the frame's own drawing.
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            throw std::runtime_error(SDL_GetError());
        }
        window.reset(SDL_CreateWindow("bench", 0, 0, 1280, 850, SDL_WINDOW_HIDDEN));
        renderer.reset(SDL_CreateRenderer(window.get(), -1, 0));
        if (!window || !renderer) {
            throw std::runtime_error(SDL_GetError());
        }
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer.get(), &info);
        rendererName = info.name;
        const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
        client = createClient(renderer.get(), WorldSources{data, {}, false});
    }

    void frame() {
        client->render(renderer.get());
        SDL_RenderPresent(renderer.get());
    }

    WindowHandle window;
    RendererHandle renderer;
    std::unique_ptr<Client> client;
    std::string rendererName;
};

Scene& scene() {
    static Scene instance;
    return instance;
}

SDL_Event mouseEvent(Uint32 type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

// Wien in the middle of the map area at the given scale, the pointer resting there.
void focusWien(Client& client, double scale) {
    client.focusGeography(wien, scale);
    SDL_Event motion = mouseEvent(SDL_MOUSEMOTION);
    const Point centre = client.view.mapAreaCentre();
    motion.motion.x = static_cast<int>(centre.x);
    motion.motion.y = static_cast<int>(centre.y);
    client.event(motion);
}

// A right-button drag of (8, 3) pixels per frame.
void pan(benchmark::State& state) {
    Scene& s = scene();
    focusWien(*s.client, state.range(0) / 10.0);
    state.SetLabel(s.rendererName);
    SDL_Event press = mouseEvent(SDL_MOUSEBUTTONDOWN);
    press.button.button = SDL_BUTTON_RIGHT;
    press.button.x = static_cast<int>(s.client->view.mouse.x);
    press.button.y = static_cast<int>(s.client->view.mouse.y);
    s.client->event(press);
    SDL_Event drag = mouseEvent(SDL_MOUSEMOTION);
    drag.motion.x = press.button.x;
    drag.motion.y = press.button.y;
    drag.motion.xrel = 8;
    drag.motion.yrel = 3;
    for (int k = 0; k < warmupFrames; ++k) {
        s.frame();
    }
    for (auto _ : state) {
        s.client->event(drag);
        s.frame();
    }
    SDL_Event release = mouseEvent(SDL_MOUSEBUTTONUP);
    release.button.button = SDL_BUTTON_RIGHT;
    s.client->event(release);
}
BENCHMARK(pan)->Arg(1)->Arg(40)->Arg(180)->Iterations(measuredFrames)->Unit(benchmark::kMillisecond);

// The wheel in and out by one step (1.15 and 1 / 1.15) on alternate frames, anchored at Wien.
void zoom(benchmark::State& state) {
    Scene& s = scene();
    focusWien(*s.client, state.range(0) / 10.0);
    state.SetLabel(s.rendererName);
    for (int k = 0; k < warmupFrames; ++k) {
        s.frame();
    }
    int step = 1;
    for (auto _ : state) {
        SDL_Event wheel = mouseEvent(SDL_MOUSEWHEEL);
        wheel.wheel.y = step;
        s.client->event(wheel);
        step = -step;
        s.frame();
    }
}
BENCHMARK(zoom)->Arg(1)->Arg(40)->Arg(180)->Iterations(measuredFrames)->Unit(benchmark::kMillisecond);

// An unchanged view: every cached layer is a texture copy.
void still(benchmark::State& state) {
    Scene& s = scene();
    focusWien(*s.client, state.range(0) / 10.0);
    state.SetLabel(s.rendererName);
    for (int k = 0; k < warmupFrames; ++k) {
        s.frame();
    }
    const std::size_t before = allocations.load();
    for (auto _ : state) {
        s.frame();
    }
    state.counters["allocations_per_frame"] = double(allocations.load() - before) / double(state.iterations());
}
BENCHMARK(still)->Arg(1)->Arg(40)->Arg(180)->Iterations(measuredFrames)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// Where a panned or zoomed frame's time goes: each map layer timed on its own, in frame order.
void layers(benchmark::State& state) {
    Scene& s = scene();
    Client& client = *s.client;
    SDL_Renderer* renderer = s.renderer.get();
    focusWien(client, state.range(0) / 10.0);
    const bool zooming = state.range(1) != 0;
    double terrain = 0, lakes = 0, rivers = 0, cities = 0, panels = 0;
    const auto timed = [renderer](double& total, auto&& draw) {
        const Uint64 start = SDL_GetPerformanceCounter();
        draw();
        SDL_RenderFlush(renderer); // SDL queues draw calls; count their work to the layer that made them
        total += double(SDL_GetPerformanceCounter() - start) * 1000.0 / double(SDL_GetPerformanceFrequency());
    };
    int step = 1;
    for (auto _ : state) {
        if (zooming) {
            client.view.zoom(step > 0 ? 1.15 : 1 / 1.15, client.view.mouse);
            step = -step;
        } else {
            client.view.camera.x += 8;
            client.view.camera.y += 3;
        }
        const SDL_Rect clip = toSdl(client.view.mapClip());
        SDL_RenderSetClipRect(renderer, &clip);
        timed(terrain, [&] { client.mapView.terrain().draw(client.mapView.frame(renderer)); });
        timed(lakes, [&] { client.mapView.lakes().draw(client.mapView.frame(renderer)); });
        timed(rivers, [&] { client.mapView.rivers().draw(client.mapView.frame(renderer)); });
        timed(cities, [&] { client.mapView.cities().draw(client.mapView.frame(renderer)); });
        SDL_RenderSetClipRect(renderer, nullptr);
        timed(panels, [&] { client.mapView.hud().draw(client.mapView.frame(renderer)); });
        SDL_RenderPresent(renderer);
    }
    const double frames = double(state.iterations());
    state.counters["terrain_ms"] = terrain / frames;
    state.counters["lakes_ms"] = lakes / frames;
    state.counters["rivers_ms"] = rivers / frames;
    state.counters["cities_ms"] = cities / frames;
    state.counters["panels_ms"] = panels / frames;
}
BENCHMARK(layers)->ArgsProduct({{1, 40, 180}, {0, 1}})->Iterations(measuredFrames)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// Which cities show and where their labels go, over all shipped cities: Europe at scale 1.2 (the
// most markers), the Wien region at 4 (tier 2 cities, large labels) and Wien at 18 (sprites).
void cityLabels(benchmark::State& state) {
    Scene& s = scene();
    focusWien(*s.client, state.range(0) / 10.0);
    std::size_t placed = 0;
    std::size_t labelled = 0;
    double step = 1;
    for (auto _ : state) {
        // A pixel of pan each time: the placements are kept for an unchanged view.
        s.client->view.camera.x += step;
        step = -step;
        const auto placements = s.client->mapView.cities().placements(s.client->mapView.scene());
        placed = placements.size();
        labelled = std::size_t(
            std::count_if(placements.begin(), placements.end(), [](const auto& p) { return p.label.has_value(); }));
    }
    state.counters["cities"] = double(s.client->world.cities.size());
    state.counters["placed"] = double(placed);
    state.counters["labelled"] = double(labelled);
}
BENCHMARK(cityLabels)->Arg(12)->Arg(40)->Arg(180)->Unit(benchmark::kMillisecond);

// The border layer alone with one of the largest countries selected and fitted: an unchanged view
// copies the kept picture, a pan by (8, 3) pixels per frame moves it and paints the strips that
// came into view, and a wheel step in and out on alternate frames paints it all anew.
void borders(benchmark::State& state) {
    Scene& s = scene();
    Client& client = *s.client;
    SDL_Renderer* renderer = s.renderer.get();
    static const std::array<std::string, 3> largest{"RUS", "CAN", "USA"};
    const std::string& id = largest[std::size_t(state.range(0))];
    static const std::array<std::string, 3> modes{"still", "pan", "zoom"};
    const auto mode = state.range(1);
    client.focusCountry(id);
    state.SetLabel(id + " " + modes[std::size_t(mode)] + " " + s.rendererName);
    const SDL_Rect clip = toSdl(client.view.mapClip());
    SDL_RenderSetClipRect(renderer, &clip);
    client.mapView.borders().draw(client.mapView.frame(renderer)); // the outline and the first picture
    double total = 0;
    std::size_t draws = 0;
    double zoomStep = 1.15;
    for (auto _ : state) {
        if (mode == 1) {
            client.view.camera.x += 8;
            client.view.camera.y += 3;
        } else if (mode == 2) {
            client.view.camera.zoom(zoomStep, client.view.mapAreaCentre());
            zoomStep = 1 / zoomStep;
        }
        const Uint64 start = SDL_GetPerformanceCounter();
        client.mapView.borders().draw(client.mapView.frame(renderer));
        SDL_RenderFlush(renderer); // the copy is queued; count it here
        total += double(SDL_GetPerformanceCounter() - start) * 1000.0 / double(SDL_GetPerformanceFrequency());
        draws += client.mapView.borderTiming.drawCalls;
    }
    SDL_RenderSetClipRect(renderer, nullptr);
    client.view.selectedCountry.reset();
    state.counters["border_ms"] = total / double(state.iterations());
    state.counters["redraws_per_frame"] = double(draws) / double(state.iterations());
}
BENCHMARK(borders)->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Iterations(measuredFrames)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// Start-up on the shipped world: every data file, the play grid, the atlas, up to the first frame
// drawn. SDL and the window exist already (they take a few milliseconds).
void startup(benchmark::State& state) {
    Scene& s = scene();
    const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    for (auto _ : state) {
        auto client = createClient(s.renderer.get(), WorldSources{data, {}, false});
        client->render(s.renderer.get());
        SDL_RenderPresent(s.renderer.get());
    }
}
BENCHMARK(startup)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The CPU terrain rasteriser alone, on the play-grid pieces of the view around Wien at scale 18.
void rasterPieces(benchmark::State& state) {
    Scene& s = scene();
    focusWien(*s.client, 18);
    s.frame();
    const SDL_Rect area = toSdl(s.client->view.mapClip());
    TerrainWork pieces;
    pieces.batch.texture = s.client->mapView.images().terrainArt.get();
    addPlayGridIcons(s.client->mapView.scene(), pieces, &area);
    const TerrainIcons& batch = pieces.batch;
    std::vector<std::uint32_t> pixels(std::size_t(area.w) * std::size_t(area.h));
    const TexelImage& texture = s.client->mapView.images().terrainArt.levels.forCellSize(60);
    for (auto _ : state) {
        rasterTriangles(batch.vertices, batch.indices, texture, {pixels, area, area});
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["triangles"] = double(batch.indices.size() / 3);
}
BENCHMARK(rasterPieces)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// What 256 units and the panels add to a still frame at scale 18 around Wien: the unit layer and the
// whole heads-up display timed apart from the map layers (cached pictures here), with a Blue unit
// selected and the pointer on a Red one, so the panel computes an attack preview.
void unitsAndPanels(benchmark::State& state) {
    Scene& s = scene();
    Client& client = *s.client;
    SDL_Renderer* renderer = s.renderer.get();
    focusWien(client, 18);
    const Army shippedArmy = client.game.army;
    std::vector<bench::Placement> inView;
    client.view.forVisibleGame([&](Hex drawn, Hex stored) {
        if (client.view.onMap(client.view.camera.toScreen(client.world.gameWorld(drawn))) &&
            client.world.gameMap().at(stored).terrain != Terrain::Water) {
            inView.push_back({stored, int(inView.size() % 2)});
        }
    });
    std::shuffle(inView.begin(), inView.end(), std::mt19937(11));
    client.game.army = bench::armyOn(client.world.gameMap(), inView, Army::maxUnits);
    client.selectUnit(client.game.army.units()[0].id, false);
    const Point enemy = client.view.camera.toScreen(client.world.gameWorld(client.game.army.units()[1].position));
    SDL_Event pointer = mouseEvent(SDL_MOUSEMOTION);
    pointer.motion.x = static_cast<int>(enemy.x);
    pointer.motion.y = static_cast<int>(enemy.y);
    client.event(pointer);
    for (int k = 0; k < warmupFrames; ++k) {
        s.frame();
    }
    double map = 0, units = 0, panels = 0;
    const auto timed = [renderer](double& total, auto&& draw) {
        const Uint64 start = SDL_GetPerformanceCounter();
        draw();
        SDL_RenderFlush(renderer);
        total += double(SDL_GetPerformanceCounter() - start) * 1000.0 / double(SDL_GetPerformanceFrequency());
    };
    for (auto _ : state) {
        const SDL_Rect clip = toSdl(client.view.mapClip());
        SDL_RenderSetClipRect(renderer, &clip);
        timed(map, [&] {
            client.mapView.terrain().draw(client.mapView.frame(renderer));
            client.mapView.lakes().draw(client.mapView.frame(renderer));
            if (client.world.map.hasRoads()) {
                RoadLayer{}.draw(client.mapView.frame(renderer));
            }
            client.mapView.rivers().draw(client.mapView.frame(renderer));
        });
        timed(units, [&] { client.mapView.units().draw(client.mapView.frame(renderer)); });
        SDL_RenderSetClipRect(renderer, nullptr);
        timed(panels, [&] { client.mapView.hud().draw(client.mapView.frame(renderer)); });
        SDL_RenderPresent(renderer);
    }
    const double frames = double(state.iterations());
    state.counters["units_in_view"] = double(client.game.army.units().size());
    state.counters["map_ms"] = map / frames;
    state.counters["units_ms"] = units / frames;
    state.counters["panels_ms"] = panels / frames;
    state.counters["added_ms"] = (units + panels) / frames;
    client.game.army = shippedArmy;
    client.game.selectedUnit.reset();
    client.game.range.clear();
}
BENCHMARK(unitsAndPanels)->Iterations(4 * measuredFrames)->Unit(benchmark::kMillisecond);

} // namespace
