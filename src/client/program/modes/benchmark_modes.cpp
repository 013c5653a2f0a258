// Pan and zoom timing over the loaded world, frame by frame with the border layer timed apart.
#include "modes/benchmark_modes.hpp"

#include <array>

namespace korvan {

namespace {

constexpr Point wien{16.3738, 48.2082};
constexpr std::array<double, 3> scales{0.1, 4, 18};
constexpr int frames = 25;
constexpr int warmUpFrames = 5; // caches and textures settle before the measured frames
constexpr double zoomIn = 1.15;
constexpr double zoomOut = 0.8695652173913044; // 1 / 1.15, so that every second frame is back
constexpr Point panStep{8, 3};

double millisecondsSince(Uint64 start) {
    return double(SDL_GetPerformanceCounter() - start) / double(SDL_GetPerformanceFrequency()) * 1000;
}

} // namespace

void runBenchmark(Client& client, SDL_Renderer* renderer, BenchmarkKind kind, const std::string& cityFocus,
                  std::ostream& out) {
    SDL_RenderSetVSync(renderer, 0);
    client.mapView.borderTiming.measured = true;
    for (const double scale : scales) {
        client.focusGeography(wien, scale);
        if (!cityFocus.empty()) {
            client.focusCity(cityFocus);
            const std::size_t city = *client.view.selectedCity;
            client.view.centerOn(client.world.cityWorld(city), scale);
            client.view.selectedCountry = client.world.countries.at(client.world.cities[city].geography);
        }
        client.view.mouse = client.view.mapAreaCentre();
        double frameSum = 0;
        double borderSum = 0;
        double drawSum = 0;
        for (int frame = 0; frame < frames; ++frame) {
            const Uint64 start = SDL_GetPerformanceCounter();
            if (kind == BenchmarkKind::Zoom) {
                client.view.zoom(frame % 2 == 0 ? zoomIn : zoomOut, client.view.mouse);
            } else {
                client.view.camera.x += panStep.x;
                client.view.camera.y += panStep.y;
            }
            client.updateHover();
            client.render(renderer);
            SDL_RenderPresent(renderer);
            if (frame >= warmUpFrames) {
                frameSum += millisecondsSince(start);
                borderSum += client.mapView.borderTiming.milliseconds;
                drawSum += double(client.mapView.borderTiming.drawCalls);
            }
        }
        const double measured = frames - warmUpFrames;
        out << (kind == BenchmarkKind::Zoom ? "ZOOM at " : "PAN zoom ") << scale << ": " << frameSum / measured
            << " ms/frame; border " << borderSum / measured << " ms; " << drawSum / measured << " border draws/frame\n";
    }
    out.flush();
}

} // namespace korvan
