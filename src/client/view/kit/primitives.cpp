// Drawing primitives of the map layers.
#include "kit/primitives.hpp"

#include "sdl/sdl_handles.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

void line(SDL_Renderer* renderer, Point a, Point b, SDL_Color color) {
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    SDL_RenderDrawLine(renderer, static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)),
                       static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y)));
}

void rect(SDL_Renderer* renderer, SDL_Rect area, SDL_Color color) {
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    SDL_RenderFillRect(renderer, &area);
}

std::array<SDL_Vertex, 4> thickSegmentVertices(Point a, Point b, double width, SDL_Color color) {
    const Point d = b - a;
    const double length = std::max(std::hypot(d.x, d.y), 0.001);
    const Point n = Point{-d.y, d.x} * (width / 2 / length);
    return {vertex(a + n, color), vertex(a - n, color), vertex(b + n, color), vertex(b - n, color)};
}

void thickSegment(SDL_Renderer* renderer, Point a, Point b, double width, SDL_Color color) {
    static constexpr std::array<int, 6> indices{0, 1, 2, 2, 1, 3};
    const auto vertices = thickSegmentVertices(a, b, width, color);
    drawGeometry(renderer, nullptr, vertices, indices);
}

void filledTriangle(SDL_Renderer* renderer, Point a, Point b, Point c, SDL_Color color) {
    static constexpr std::array<int, 3> indices{0, 1, 2};
    const std::array<SDL_Vertex, 3> vertices{vertex(a, color), vertex(b, color), vertex(c, color)};
    drawGeometry(renderer, nullptr, vertices, indices);
}

void drawGeometry(SDL_Renderer* renderer, SDL_Texture* texture, std::span<const SDL_Vertex> vertices,
                  std::span<const int> indices) {
    if (vertices.empty() || indices.empty()) {
        return;
    }
    if (SDL_RenderGeometry(renderer, texture, vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                           static_cast<int>(indices.size())) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
