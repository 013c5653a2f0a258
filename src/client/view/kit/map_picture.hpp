// A layer's pixels of the map area, kept between frames so a whole-pixel pan moves them and the
// layer repaints only the strips that came into view (the rivers, the software renderer's terrain).
#pragma once

#include "kit/layer_cache.hpp"

#include <SDL.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace korvan {

// The rectangles of area a pan brings into view: the columns and the rows along the edges it moves
// away from, an empty one where it does not move that way.
std::array<SDL_Rect, 2> uncoveredByPan(SDL_Rect area, PixelPan pan);

struct MapPicture {
    std::vector<std::uint32_t> pixels; // area.w * area.h, row by row
    SDL_Rect area{};

    // Makes the picture cover `to` (contents undefined when the area changed).
    void resize(SDL_Rect to);
    // The first pixel of the window rectangle r, which lies within area.
    std::uint32_t* at(SDL_Rect r) {
        return pixels.data() + std::ptrdiff_t(r.y - area.y) * area.w + (r.x - area.x);
    }
    // Moves the pixels with the map by pan and returns the window rectangles that came into view,
    // with an empty one where the pan has no such part.
    std::array<SDL_Rect, 2> scroll(PixelPan pan);
    // scroll for a picture clear outside its part painted, which is all that moves: the part moved
    // within the area becomes painted, and what it left is cleared. A country's outline covers a
    // small part of the area.
    std::array<SDL_Rect, 2> scrollPainted(PixelPan pan, SDL_Rect& painted);

private:
    // Moves the window rectangle `to` (within the area) from where it lay before the pan.
    void moveInto(SDL_Rect to, PixelPan pan);
};

// One picture of the map area that several layers paint on the CPU in one frame, each over the ones
// before it, instead of a blended texture apiece (the software renderer): fresh holds the window
// rectangles to paint this frame, which every layer on the canvas paints (empty ones and an
// unchanged picture need nothing).
struct MapCanvas {
    MapPicture* picture = nullptr;
    std::array<SDL_Rect, 2> fresh{};
    // The pan the picture was scrolled by, when fresh holds the strips it brought into view.
    std::optional<PixelPan> pan;
    // Work of a later layer that needs no pixels of the canvas (the rivers' shapes for a whole new
    // view): the first layer that rasters on two threads may run it on the helper meanwhile.
    std::function<void()> alongside;
};

} // namespace korvan
