// Drawing primitives of the map layers: lines, filled rectangles, thick segments, triangles.
#pragma once

#include "core/hex.hpp"

#include <SDL.h>

#include <array>
#include <span>

namespace korvan {

// A one-pixel line between points rounded to the nearest pixel.
void line(SDL_Renderer* renderer, Point a, Point b, SDL_Color color);
void rect(SDL_Renderer* renderer, SDL_Rect area, SDL_Color color);

// The quadrilateral of a segment of the given width: a + n, a - n, b + n, b - n with n the half-width
// normal; drawn as the triangles 0,1,2 and 2,1,3.
std::array<SDL_Vertex, 4> thickSegmentVertices(Point a, Point b, double width, SDL_Color color);
void thickSegment(SDL_Renderer* renderer, Point a, Point b, double width, SDL_Color color);
void filledTriangle(SDL_Renderer* renderer, Point a, Point b, Point c, SDL_Color color);

// One SDL_RenderGeometry call; an empty list draws nothing, a failure throws SDL's message.
void drawGeometry(SDL_Renderer* renderer, SDL_Texture* texture, std::span<const SDL_Vertex> vertices,
                  std::span<const int> indices);

inline SDL_Vertex vertex(Point p, SDL_Color color, Point uv = {}) {
    return {{static_cast<float>(p.x), static_cast<float>(p.y)},
            color,
            {static_cast<float>(uv.x), static_cast<float>(uv.y)}};
}

} // namespace korvan
