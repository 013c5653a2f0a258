// The CPU terrain rasteriser and the atlas levels it samples.
#include "cpu/terrain_raster.hpp"

#include "kit/whole_pixels.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

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

class FanRasteriser {
public:
    FanRasteriser(const TexelImage& texture, const PixelTarget& target) : texture_(texture), target_(target) {
        if (!SDL_IntersectRect(&target.area, &target.clip, &bounds_)) {
            bounds_ = {0, 0, 0, 0};
        }
    }

    // A convex polygon given as the triangles of a fan, all with one affine texture mapping. Any
    // other group is drawn triangle by triangle, each a fan of its own.
    void draw(std::span<const Corner> corners, std::span<const int> triangles) {
        if (fanRing(triangles)) {
            if (gradient(corners, triangles)) {
                drawRing(corners);
            }
            return;
        }
        for (std::size_t k = 0; k + 2 < triangles.size(); k += 3) {
            const auto triangle = triangles.subspan(k, 3);
            if (fanRing(triangle) && gradient(corners, triangle)) {
                drawRing(corners);
            }
        }
    }

private:
    // The ring of a fan whose triangles follow on (a, b, c), (a, c, d), ...: around its first corner
    // when the last triangle closes on the first, else through it. False for any other shape.
    bool fanRing(std::span<const int> triangles) {
        ring_.clear();
        for (std::size_t k = 0; k < triangles.size(); k += 3) {
            if (k > 0 && triangles[k + 1] != triangles[k - 1]) {
                return false;
            }
            ring_.push_back(triangles[k + 1]);
        }
        const int last = triangles[triangles.size() - 1];
        if (last != ring_.front()) {
            ring_.push_back(last);
            ring_.insert(ring_.begin(), triangles[0]);
        }
        return ring_.size() >= 3;
    }

    // A convex ring walked row by row down its two sides from the top corner to the bottom one.
    void drawRing(std::span<const Corner> corners) {
        const std::size_t n = ring_.size();
        std::size_t top = 0;
        std::size_t bottom = 0;
        for (std::size_t k = 1; k < n; ++k) {
            top = corners[std::size_t(ring_[k])].y < corners[std::size_t(ring_[top])].y ? k : top;
            bottom = corners[std::size_t(ring_[k])].y > corners[std::size_t(ring_[bottom])].y ? k : bottom;
        }
        for (int direction = 0; direction < 2; ++direction) {
            std::vector<SideEdge>& side = sides_[direction];
            side.clear();
            for (std::size_t k = top; k != bottom;) {
                const std::size_t next = direction == 0 ? (k + 1) % n : (k + n - 1) % n;
                const Corner& a = corners[std::size_t(ring_[k])];
                const Corner& b = corners[std::size_t(ring_[next])];
                side.push_back({a.y, b.y, a.x, b.x, a.y == b.y ? 0 : (b.x - a.x) / (b.y - a.y)});
                k = next;
            }
        }
        const SDL_Rect& view = bounds_;
        const double topY = corners[std::size_t(ring_[top])].y;
        const double bottomY = corners[std::size_t(ring_[bottom])].y;
        const int firstRow = std::max(ceilToInt(topY - 0.5), view.y);
        const int lastRow = std::min(floorToInt(bottomY - 0.5), view.y + view.h - 1);
        std::size_t edge[2] = {0, 0};
        for (int row = firstRow; row <= lastRow; ++row) {
            const double y = row + 0.5;
            double left = 1e300;
            double right = -1e300;
            for (int direction = 0; direction < 2; ++direction) {
                const std::vector<SideEdge>& side = sides_[direction];
                std::size_t& k = edge[direction];
                while (k + 1 < side.size() && side[k].bottom < y) {
                    ++k;
                }
                const SideEdge& e = side[k];
                const double from = e.top == e.bottom ? std::min(e.x, e.xEnd) : e.x + (y - e.top) * e.slope;
                const double to = e.top == e.bottom ? std::max(e.x, e.xEnd) : from;
                left = std::min(left, from);
                right = std::max(right, to);
            }
            fillRow(row, y, left, right);
        }
    }

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

    // The pixels of a row whose centres lie between left and right.
    void fillRow(int row, double y, double left, double right) {
        const int first = std::max(ceilToInt(left - 0.5), bounds_.x);
        const int last = std::min(floorToInt(right - 0.5), bounds_.x + bounds_.w - 1);
        const SDL_Rect& view = target_.area;
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
        if (dv == 0) {
            // An upright texture mapping, as every field's: the row reads one texel row.
            const std::uint32_t* line = texels + (v >> 16) * pitch;
            for (int k = 0; k <= last - first; ++k) {
                out[k] = line[u >> 16];
                u += du;
            }
            return;
        }
        for (int k = 0; k <= last - first; ++k) {
            out[k] = texels[(v >> 16) * pitch + (u >> 16)];
            u += du;
            v += dv;
        }
    }

    const TexelImage& texture_;
    const PixelTarget& target_;
    SDL_Rect bounds_{}; // the target's area cut to its clip
    std::vector<int> ring_;
    struct SideEdge {
        double top;
        double bottom;
        double x;
        double xEnd;
        double slope;
    };
    std::vector<SideEdge> sides_[2];
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
