// The CPU terrain rasteriser and the atlas levels it samples.
#include "render/terrain_raster.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr int atlasCell = 256;

std::uint32_t average(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) +
                                  ((d >> shift) & 0xFF);
        result |= ((sum + 2) / 4) << shift;
    }
    return result;
}

TexelImage halve(const TexelImage& image) {
    TexelImage half;
    half.width = image.width / 2;
    half.height = image.height / 2;
    half.pixels.resize(std::size_t(half.width) * std::size_t(half.height));
    for (int y = 0; y < half.height; ++y) {
        const std::uint32_t* top = image.pixels.data() + std::size_t(2 * y) * std::size_t(image.width);
        const std::uint32_t* bottom = top + image.width;
        for (int x = 0; x < half.width; ++x) {
            half.pixels[std::size_t(y) * std::size_t(half.width) + std::size_t(x)] =
                average(top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]);
        }
    }
    return half;
}

struct Corner {
    double x;
    double y;
    double u; // texel units of the level drawn
    double v;
};

// A polygon edge for the row walk: x at y as x + (y - top) * slope, for top <= y <= bottom.
struct RowEdge {
    double top;
    double bottom;
    double x;
    double slope;
    double xEnd; // a horizontal edge covers x..xEnd
};

class FanRasteriser {
public:
    FanRasteriser(const TexelImage& texture, const PixelTarget& target) : texture_(texture), target_(target) {}

    // A convex polygon given as the triangles of a fan, all with one affine texture mapping.
    void draw(std::span<const Corner> corners, std::span<const int> triangles) {
        if (!gradient(corners, triangles)) {
            return;
        }
        edges_.clear();
        double top = 1e300;
        double bottom = -1e300;
        for (std::size_t k = 0; k < triangles.size(); k += 3) {
            for (int e = 0; e < 3; ++e) {
                addEdge(corners[std::size_t(triangles[k + e])], corners[std::size_t(triangles[k + (e + 1) % 3])]);
            }
        }
        for (const RowEdge& edge : edges_) {
            top = std::min(top, edge.top);
            bottom = std::max(bottom, edge.bottom);
        }
        const SDL_Rect& view = target_.area;
        const int firstRow = std::max(static_cast<int>(std::ceil(top - 0.5)), view.y);
        const int lastRow = std::min(static_cast<int>(std::floor(bottom - 0.5)), view.y + view.h - 1);
        for (int row = firstRow; row <= lastRow; ++row) {
            drawRow(row);
        }
    }

private:
    bool gradient(std::span<const Corner> corners, std::span<const int> triangles) {
        for (std::size_t k = 0; k + 2 < triangles.size(); k += 3) {
            const Corner& a = corners[std::size_t(triangles[k])];
            const Corner& b = corners[std::size_t(triangles[k + 1])];
            const Corner& c = corners[std::size_t(triangles[k + 2])];
            const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
            if (std::abs(area) < 1e-9) {
                continue;
            }
            // Texture coordinates are affine in screen space: one gradient for the whole polygon.
            dudx_ = ((b.u - a.u) * (c.y - a.y) - (c.u - a.u) * (b.y - a.y)) / area;
            dvdx_ = ((b.v - a.v) * (c.y - a.y) - (c.v - a.v) * (b.y - a.y)) / area;
            dudy_ = ((c.u - a.u) * (b.x - a.x) - (b.u - a.u) * (c.x - a.x)) / area;
            dvdy_ = ((c.v - a.v) * (b.x - a.x) - (b.v - a.v) * (c.x - a.x)) / area;
            origin_ = a;
            return true;
        }
        return false;
    }

    void addEdge(const Corner& p, const Corner& q) {
        const Corner& upper = p.y <= q.y ? p : q;
        const Corner& lower = p.y <= q.y ? q : p;
        if (upper.y == lower.y) {
            edges_.push_back({upper.y, lower.y, std::min(p.x, q.x), 0, std::max(p.x, q.x)});
        } else {
            edges_.push_back({upper.y, lower.y, upper.x, (lower.x - upper.x) / (lower.y - upper.y), 0});
        }
    }

    void drawRow(int row) {
        const double y = row + 0.5;
        double left = 1e300;
        double right = -1e300;
        // Inner edges of the fan lie between the outer ones, so the extremes are the polygon's.
        for (const RowEdge& edge : edges_) {
            if (y < edge.top || y > edge.bottom) {
                continue;
            }
            if (edge.top == edge.bottom) {
                left = std::min(left, edge.x);
                right = std::max(right, edge.xEnd);
            } else {
                const double x = edge.x + (y - edge.top) * edge.slope;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        const SDL_Rect& view = target_.area;
        const int first = std::max(static_cast<int>(std::ceil(left - 0.5)), view.x);
        const int last = std::min(static_cast<int>(std::floor(right - 0.5)), view.x + view.w - 1);
        if (first > last) {
            return;
        }
        // Texel coordinates in 16.16 fixed point. They are linear along the row, so when both ends
        // lie inside the image every pixel between does, and the loop needs no clamping.
        const double u0 = origin_.u + dudx_ * (first + 0.5 - origin_.x) + dudy_ * (y - origin_.y);
        const double v0 = origin_.v + dvdx_ * (first + 0.5 - origin_.x) + dvdy_ * (y - origin_.y);
        const double u1 = u0 + dudx_ * (last - first);
        const double v1 = v0 + dvdx_ * (last - first);
        const double maxU = texture_.width - 1e-3;
        const double maxV = texture_.height - 1e-3;
        // (Truncating the fixed-point steps keeps every sum between the two checked ends.)
        std::uint32_t* out = target_.pixels.data() + std::size_t(row - view.y) * std::size_t(view.w) +
                             std::size_t(first - view.x);
        const std::uint32_t* texels = texture_.pixels.data();
        const int pitch = texture_.width;
        if (std::min(u0, u1) < 0 || std::max(u0, u1) > maxU || std::min(v0, v1) < 0 || std::max(v0, v1) > maxV) {
            for (int k = 0; k <= last - first; ++k) {
                const int tu = std::clamp(static_cast<int>(u0 + dudx_ * k), 0, texture_.width - 1);
                const int tv = std::clamp(static_cast<int>(v0 + dvdx_ * k), 0, texture_.height - 1);
                out[k] = texels[tv * pitch + tu];
            }
            return;
        }
        constexpr double one = 65536.0;
        std::int32_t u = static_cast<std::int32_t>(u0 * one);
        std::int32_t v = static_cast<std::int32_t>(v0 * one);
        const auto du = static_cast<std::int32_t>(dudx_ * one);
        const auto dv = static_cast<std::int32_t>(dvdx_ * one);
        for (int k = 0; k <= last - first; ++k) {
            out[k] = texels[(v >> 16) * pitch + (u >> 16)];
            u += du;
            v += dv;
        }
    }

    const TexelImage& texture_;
    const PixelTarget& target_;
    std::vector<RowEdge> edges_;
    Corner origin_{};
    double dudx_ = 0;
    double dvdx_ = 0;
    double dudy_ = 0;
    double dvdy_ = 0;
};

} // namespace

const TexelImage& AtlasLevels::forCellSize(double cellPixels) const {
    std::size_t level = 0;
    double cell = atlasCell / 2.0;
    while (level + 1 < levels.size() && cell >= cellPixels) {
        ++level;
        cell /= 2;
    }
    return levels[level];
}

AtlasLevels buildAtlasLevels(TexelImage full) {
    AtlasLevels atlas;
    atlas.levels.push_back(std::move(full));
    for (int level = 1; level < 5; ++level) {
        atlas.levels.push_back(halve(atlas.levels.back()));
    }
    return atlas;
}

void rasterTriangles(std::span<const SDL_Vertex> vertices, std::span<const int> indices, const TexelImage& texture,
                     PixelTarget target) {
    std::vector<Corner> corners(vertices.size());
    for (std::size_t k = 0; k < vertices.size(); ++k) {
        const SDL_Vertex& vertex = vertices[k];
        corners[k] = {vertex.position.x, vertex.position.y, vertex.tex_coord.x * texture.width,
                      vertex.tex_coord.y * texture.height};
    }
    // Every terrain batch builds its shapes as fans: the triangles sharing a first index cover one
    // convex polygon with one texture mapping, and are filled row by row as that polygon.
    FanRasteriser fans(texture, target);
    std::size_t start = 0;
    while (start + 2 < indices.size()) {
        std::size_t end = start + 3;
        while (end + 2 < indices.size() && indices[end] == indices[start]) {
            end += 3;
        }
        fans.draw(corners, indices.subspan(start, end - start));
        start = end;
    }
}

} // namespace korvan
