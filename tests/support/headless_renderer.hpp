// A software renderer drawing into a memory surface, for frames the tests read back pixel by pixel.
#pragma once

#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace korvan::testing {

class HeadlessRenderer {
public:
    HeadlessRenderer(int width, int height) {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            throw std::runtime_error(SDL_GetError());
        }
        surface_.reset(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
        if (!surface_) {
            throw std::runtime_error(SDL_GetError());
        }
        renderer_.reset(SDL_CreateSoftwareRenderer(surface_.get()));
        if (!renderer_) {
            throw std::runtime_error(SDL_GetError());
        }
    }

    SDL_Renderer* get() const { return renderer_.get(); }

    SDL_Color pixel(int x, int y) const {
        const auto* row = static_cast<const Uint8*>(surface_->pixels) + y * surface_->pitch;
        const Uint32 value = reinterpret_cast<const Uint32*>(row)[x];
        SDL_Color c;
        SDL_GetRGBA(value, surface_->format, &c.r, &c.g, &c.b, &c.a);
        return c;
    }

    // For looking at a frame while writing a test.
    void save(const char* path) const { SDL_SaveBMP(surface_.get(), path); }

private:
    SurfaceHandle surface_;
    RendererHandle renderer_;
};

// A BMP of w x h pixels filled with one colour, in the given format.
inline void writeImage(const std::filesystem::path& file, int w, int h, Uint32 format, SDL_Color fill) {
    const SurfaceHandle image(SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format));
    SDL_FillRect(image.get(), nullptr, SDL_MapRGBA(image->format, fill.r, fill.g, fill.b, fill.a));
    ASSERT_EQ(SDL_SaveBMP(image.get(), file.string().c_str()), 0) << SDL_GetError();
}

inline bool sameColor(SDL_Color a, SDL_Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Draws the same scene twice, once straight and once through a cache, on one background; every
// pixel must agree, and the straight drawing must have painted something: two empty pictures agree
// too.
template <typename Draw>
inline void expectCopiesEqualDrawing(int width, int height, Draw&& draw) {
    constexpr SDL_Color background{40, 50, 60, 255};
    HeadlessRenderer drawn(width, height);
    HeadlessRenderer copied(width, height);
    for (HeadlessRenderer* screen : {&drawn, &copied}) {
        SDL_SetRenderDrawColor(screen->get(), background.r, background.g, background.b, background.a);
        SDL_RenderClear(screen->get());
    }
    draw(drawn.get(), copied.get());
    SDL_RenderFlush(drawn.get());
    SDL_RenderFlush(copied.get());
    int painted = 0;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            ASSERT_TRUE(sameColor(drawn.pixel(px, py), copied.pixel(px, py))) << px << ", " << py;
            painted += !sameColor(drawn.pixel(px, py), background);
        }
    }
    EXPECT_GT(painted, 0) << "neither drawing painted anything";
}

} // namespace korvan::testing

// Colours print as (r, g, b) in failed expectations.
inline std::ostream& operator<<(std::ostream& out, SDL_Color c) {
    return out << '(' << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ')';
}
