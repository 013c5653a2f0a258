// The panels' large backgrounds on the software renderer, which fills a rectangle several times
// slower than it copies a picture in its own pixel format: each kept as a texture of its size and
// colour and copied.
#pragma once

#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cstddef>
#include <vector>

namespace korvan {

class PanelBackdrop {
public:
    // Fills area with color: through a kept texture when software, else as a rectangle.
    void fill(SDL_Renderer* renderer, bool software, SDL_Rect area, SDL_Color color);
    void forgetRenderer() { kept_.clear(); }

private:
    struct Kept {
        int width;
        int height;
        SDL_Color color;
        TextureHandle texture;
    };
    std::vector<Kept> kept_; // a few sizes and colours, the oldest let go first
};

} // namespace korvan
