// Textured terrain icons from the atlas, batched into one SDL_RenderGeometry call per layer.
#pragma once

#include "core/hex.hpp"
#include "kit/triangle_batch.hpp"

#include <SDL.h>

#include <array>
#include <cstdint>
#include <vector>

namespace korvan {

// The map of one field's polygon into texture space: the polygon covers the middle 78 % of an
// atlas cell along its longer side.
struct TerrainTextureFrame {
    Point center;
    double extent = 1;
};

TerrainTextureFrame terrainTextureFrame(const std::array<Point, 6>& corners);
// Local texture coordinates of a field: its centre (0.5, 0.5) first, then the six corners.
std::array<Point, 7> terrainTextureUV(const std::array<Point, 6>& corners);
// Hills and farmland sample 94 % of the frame, shifted by a third of the variation; farmland may mirror.
Point terrainVariantUV(Point local, std::uint32_t variation, bool mirror);

// A hash of a canonical field that picks icon variants, stable across frames and world copies.
std::uint32_t terrainVariation(Hex h);

// A batch of textured triangles on the terrain atlas, filled with screen-pixel geometry and drawn once.
class TerrainIcons : public TriangleBatch {
public:
    explicit TerrainIcons(SDL_Texture* atlas) : texture(atlas) {}

    // A regular hexagon icon of corner-to-corner size `size` pixels centred at `center`.
    void add(Terrain terrain, Point center, double size, std::uint32_t variation);
    void addTile(Terrain terrain, const std::array<Point, 6>& corners, std::uint32_t variation);
    // A strip of the donor's texture fading into the receiving field along its edge `edge`.
    void addTransition(Terrain donor, const std::array<Point, 6>& receiving, const std::array<Point, 6>& donating,
                       int edge, std::uint32_t variation, bool earlierAtStart, bool earlierAtEnd);
    // A convex polygon textured in the frame of the given field corners.
    void addTerrainArea(Terrain terrain, const std::array<Point, 6>& frameCorners, const std::vector<Point>& polygon,
                        std::uint32_t variation);
    // Draws on the atlas, blended when the batch holds join strips.
    void draw(SDL_Renderer* renderer) const;
    void clear() {
        TriangleBatch::clear();
        translucent = false;
    }

    SDL_Texture* texture; // not owned: the atlas of TerrainArt
    bool translucent = false; // holds fading join strips, so it must be blended
};

} // namespace korvan
