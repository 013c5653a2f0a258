// Triangles in window pixels, indexed, drawn in one geometry call: the terrain icons, river ribbons,
// reach fields and country outlines all collect their geometry in one of these.
#pragma once

#include "kit/primitives.hpp"

#include <SDL.h>

#include <vector>

namespace korvan {

struct TriangleBatch {
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;

    void clear() {
        vertices.clear();
        indices.clear();
    }
    bool empty() const { return indices.empty(); }
    // Draws the triangles, textured when a texture is given; nothing when empty.
    void draw(SDL_Renderer* renderer, SDL_Texture* texture = nullptr) const {
        drawGeometry(renderer, texture, vertices, indices);
    }
};

} // namespace korvan
