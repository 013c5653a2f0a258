// Copying a picture into the software renderer's window surface.
#include "sdl/window_pixels.hpp"

#include "sdl/output_format.hpp"

#include <algorithm>
#include <cstring>

namespace korvan {

namespace {

// Whether the renderer is SDL's software renderer drawing into its window, with nothing moving or
// scaling what it draws there.
bool drawsIntoWindow(SDL_Renderer* renderer) {
    if (!SDL_RenderGetWindow(renderer) || !softwareRenderer(renderer) || SDL_GetRenderTarget(renderer) != nullptr) {
        return false;
    }
    float scaleX = 0;
    float scaleY = 0;
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    SDL_Rect viewport{};
    SDL_RenderGetViewport(renderer, &viewport);
    return scaleX == 1 && scaleY == 1 && viewport.x == 0 && viewport.y == 0;
}

} // namespace

bool copyIntoWindow(SDL_Renderer* renderer, const PixelRing& picture, SDL_Rect area) {
    const std::size_t size = std::size_t(std::max(area.w, 0)) * std::size_t(std::max(area.h, 0));
    if (picture.width != area.w || picture.height != area.h || picture.pixels.size() < size) {
        return false;
    }
    // What is queued (the clear, layers drawn before) lands first, and what comes later over it.
    if (!drawsIntoWindow(renderer) || SDL_RenderFlush(renderer) != 0) {
        return false;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(SDL_RenderGetWindow(renderer));
    if (!surface || (surface->format->format != SDL_PIXELFORMAT_RGB888 &&
                     surface->format->format != SDL_PIXELFORMAT_ARGB8888)) {
        return false;
    }
    const SDL_Rect bounds{0, 0, surface->w, surface->h};
    SDL_Rect shown{};
    if (!SDL_IntersectRect(&area, &bounds, &shown) || (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)) {
        return false;
    }
    const SDL_Rect part{shown.x - area.x, shown.y - area.y, shown.w, shown.h};
    forStoredParts(picture, part, [&](const SDL_Rect& stored, const SDL_Rect& at) {
        auto* window = static_cast<std::uint8_t*>(surface->pixels);
        for (int row = 0; row < stored.h; ++row) {
            const std::ptrdiff_t y = area.y + at.y + row;
            std::memcpy(window + y * surface->pitch + std::ptrdiff_t(area.x + at.x) * 4, &picture.at(at.x, at.y + row),
                        std::size_t(stored.w) * 4);
        }
    });
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    return true;
}

} // namespace korvan
