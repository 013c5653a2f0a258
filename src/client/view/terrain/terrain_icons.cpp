// Terrain icon batches: texture frames, atlas cells, icon variants and the geometry of tiles,
// join strips and cut areas.
#include "terrain/terrain_icons.hpp"

#include "kit/primitives.hpp"
#include "sdl/sdl_handles.hpp"

#include <algorithm>

namespace korvan {

namespace {

constexpr SDL_Color white{255, 255, 255, 255};
constexpr int secondForestCell = 11;

int atlasCell(Terrain terrain, std::uint32_t variation) {
    return terrain == Terrain::Forest && variation % 3 == 1 ? secondForestCell : static_cast<int>(terrain);
}

Point localUV(const TerrainTextureFrame& frame, Point p) {
    return {(p.x - frame.center.x) / frame.extent + 0.5, (p.y - frame.center.y) / frame.extent + 0.5};
}

// Maps screen points of one field's frame to atlas coordinates of one terrain's cell.
class Sampler {
public:
    Sampler(Terrain terrain, const std::array<Point, 6>& frameCorners, std::uint32_t variation)
        : frame_(terrainTextureFrame(frameCorners)), variation_(variation), cell_(atlasCell(terrain, variation)),
          variant_(terrain == Terrain::Hills || terrain == Terrain::Farmland), mirror_(terrain == Terrain::Farmland) {}

    Point atLocal(Point local) const {
        const Point l = variant_ ? terrainVariantUV(local, variation_, mirror_) : local;
        return {(cell_ % 4 + l.x) * 0.25, (cell_ / 4 + l.y) / 3.0};
    }
    Point at(Point screen) const { return atLocal(localUV(frame_, screen)); }

private:
    TerrainTextureFrame frame_;
    std::uint32_t variation_;
    int cell_;
    bool variant_;
    bool mirror_;
};

Point mean(const std::array<Point, 6>& points) {
    Point sum;
    for (const Point p : points) {
        sum = sum + p;
    }
    return sum * (1.0 / 6.0);
}

} // namespace

TerrainTextureFrame terrainTextureFrame(const std::array<Point, 6>& corners) {
    Point low = corners[0];
    Point high = corners[0];
    for (const Point p : corners) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    return {mean(corners), std::max(std::max(high.x - low.x, high.y - low.y) / 0.78, 1e-9)};
}

std::array<Point, 7> terrainTextureUV(const std::array<Point, 6>& corners) {
    const TerrainTextureFrame frame = terrainTextureFrame(corners);
    std::array<Point, 7> uv{Point{0.5, 0.5}};
    for (std::size_t i = 0; i < 6; ++i) {
        uv[i + 1] = localUV(frame, corners[i]);
    }
    return uv;
}

Point terrainVariantUV(Point local, std::uint32_t variation, bool mirror) {
    double du = local.x - 0.5;
    if (mirror && (variation & 0x10) != 0) {
        du = -du;
    }
    const auto shift = [](std::uint32_t bits) { return (static_cast<int>(bits % 3) - 1) * 0.015; };
    return {du * 0.94 + 0.5 + shift(variation >> 8), (local.y - 0.5) * 0.94 + 0.5 + shift(variation >> 12)};
}

std::uint32_t terrainVariation(Hex h) {
    std::uint32_t v = (static_cast<std::uint32_t>(h.q) * 0x9E3779B9u) ^ (static_cast<std::uint32_t>(h.r) * 0x85EBCA6Bu);
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    return v;
}

void TerrainIcons::add(Terrain terrain, Point center, double size, std::uint32_t variation) {
    std::array<Point, 6> points = corners(Hex{0, 0});
    for (Point& p : points) {
        p = center + p * (size / 2);
    }
    addTile(terrain, points, variation);
}

void TerrainIcons::addTile(Terrain terrain, const std::array<Point, 6>& corners, std::uint32_t variation) {
    const Sampler sampler(terrain, corners, variation);
    const int base = static_cast<int>(vertices.size());
    vertices.push_back(vertex(mean(corners), white, sampler.atLocal({0.5, 0.5})));
    for (const Point p : corners) {
        vertices.push_back(vertex(p, white, sampler.at(p)));
    }
    for (int i = 0; i < 6; ++i) {
        indices.insert(indices.end(), {base, base + 1 + i, base + 1 + (i + 1) % 6});
    }
}

void TerrainIcons::addTransition(Terrain donor, const std::array<Point, 6>& receiving,
                                 const std::array<Point, 6>& donating, int edge, std::uint32_t variation,
                                 bool earlierAtStart, bool earlierAtEnd) {
    translucent = true;
    const Sampler sampler(donor, donating, variation);
    const Point z = mean(receiving);
    const Point p0 = receiving[std::size_t(edge)];
    const Point p1 = receiving[std::size_t((edge + 1) % 6)];
    constexpr double bandDepth = 0.12;
    for (int k = 0; k < 4; ++k) {
        const Point a = p0 + (p1 - p0) * (k / 4.0);
        const Point b = p0 + (p1 - p0) * ((k + 1) / 4.0);
        // Where two strips meet at a corner the later one starts fainter, so the overlap does not flare.
        const Uint8 alphaA = earlierAtStart && k == 0 ? 85 : 128;
        const Uint8 alphaB = earlierAtEnd && k == 3 ? 85 : 128;
        const Uint8 alphas[2][4] = {{alphaA, alphaB, Uint8(alphaB / 4), Uint8(alphaA / 4)},
                                    {Uint8(alphaA / 4), Uint8(alphaB / 4), 0, 0}};
        for (int j = 0; j < 2; ++j) {
            const double t0 = bandDepth * j;
            const double t1 = bandDepth * (j + 1);
            const Point band[4] = {a + (z - a) * t0, b + (z - b) * t0, b + (z - b) * t1, a + (z - a) * t1};
            const int base = static_cast<int>(vertices.size());
            for (int v = 0; v < 4; ++v) {
                vertices.push_back(vertex(band[v], {255, 255, 255, alphas[j][v]}, sampler.at(band[v])));
            }
            indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
        }
    }
}

void TerrainIcons::addTerrainArea(Terrain terrain, const std::array<Point, 6>& frameCorners,
                                  const std::vector<Point>& polygon, std::uint32_t variation) {
    if (polygon.size() < 3) {
        return;
    }
    const Sampler sampler(terrain, frameCorners, variation);
    const int base = static_cast<int>(vertices.size());
    for (const Point p : polygon) {
        vertices.push_back(vertex(p, white, sampler.at(p)));
    }
    for (int k = 1; k + 1 < static_cast<int>(polygon.size()); ++k) {
        indices.insert(indices.end(), {base, base + k, base + k + 1});
    }
}

void TerrainIcons::draw(SDL_Renderer* renderer) const {
    if (vertices.empty()) {
        return;
    }
    // The icons are opaque inside their fields: without blending the software renderer copies texels
    // straight (when the target has the atlas's format); only fading join strips need it.
    if (texture && SDL_SetTextureBlendMode(texture, translucent ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE) != 0) {
        throwSdlError();
    }
    TriangleBatch::draw(renderer, texture);
}

} // namespace korvan
