// The shipped world as start-up loads it, on a software renderer drawing into memory (the terrain
// art and the flags want a renderer), for benchmarks that time the client without a window.
#pragma once

#include "shell/client.hpp"
#include "shell/startup.hpp"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace korvan::bench {

struct ShippedClient {
    ShippedClient() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            throw std::runtime_error(SDL_GetError());
        }
        surface.reset(SDL_CreateRGBSurfaceWithFormat(0, 1280, 850, 32, SDL_PIXELFORMAT_ARGB8888));
        renderer.reset(SDL_CreateSoftwareRenderer(surface.get()));
        if (!renderer) {
            throw std::runtime_error(SDL_GetError());
        }
        const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
        client = createClient(renderer.get(), WorldSources{data, {}, false});
    }

    SurfaceHandle surface;
    RendererHandle renderer;
    std::unique_ptr<Client> client;
};

} // namespace korvan::bench
