// Owning handles for SDL objects, each released with its own destroy function.
#pragma once

#include <SDL.h>

#include <memory>
#include <stdexcept>

namespace korvan {

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
struct SdlFreeDeleter {
    void operator()(char* text) const { SDL_free(text); }
};

using WindowHandle = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererHandle = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using TextureHandle = std::unique_ptr<SDL_Texture, TextureDeleter>;
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using SdlText = std::unique_ptr<char, SdlFreeDeleter>;

// SDL's last error as an exception; every failed SDL call ends up here.
[[noreturn]] inline void throwSdlError() { throw std::runtime_error(SDL_GetError()); }

// Shuts SDL down when main returns, on every path after a successful SDL_Init.
class SdlLifetime {
public:
    SdlLifetime() = default;
    SdlLifetime(const SdlLifetime&) = delete;
    SdlLifetime& operator=(const SdlLifetime&) = delete;
    ~SdlLifetime() { SDL_Quit(); }
};

} // namespace korvan
