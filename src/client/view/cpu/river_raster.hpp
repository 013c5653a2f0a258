// River sides drawn as lines into an ARGB pixel raster (overview and minimap): one pixel wide, two for
// the great rivers.
#pragma once

#include "cpu/pixel_ring.hpp"
#include "kit/palette.hpp"
#include "water/river_segments.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace korvan {


inline constexpr std::uint32_t riverPixelWide = packArgb(104, 180, 213);
inline constexpr std::uint32_t riverPixelMedium = packArgb(93, 165, 198);
inline constexpr std::uint32_t riverPixelNarrow = packArgb(78, 145, 181);
inline constexpr std::uint32_t bridgePixel = packArgb(212, 198, 158);

inline constexpr std::uint32_t riverPixel(int widthClass) {
    return widthClass >= 3 ? riverPixelWide : widthClass == 2 ? riverPixelMedium : riverPixelNarrow;
}

// The part of a raster a river pass leaves alone, in raster pixels; empty by default.
struct PixelKeep {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Bresenham between two pixel positions, both ends included; pixels outside the picture or
// inside keep are skipped.
inline void rasterLine(int x0, int y0, int x1, int y1, std::uint32_t colour, const PixelRing& pixels,
                       PixelKeep keep = {}) {
    const auto put = [&](int x, int y) {
        if (x >= 0 && x < pixels.width && y >= 0 && y < pixels.height && !keep.holds(x, y)) {
            pixels.at(x, y) = colour;
        }
    };
    // Far out a side is a pixel or two: both ends are the whole line.
    if (std::abs(x1 - x0) <= 1 && std::abs(y1 - y0) <= 1) {
        put(x0, y0);
        put(x1, y1);
        return;
    }
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        put(x0, y0);
        if (x0 == x1 && y0 == y1) {
            return;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

// The sides of index (all, or the marked ones, clearing their marks) whose middles lie within lo..hi
// widened by one unit, each as the pixel of its middle: zero + x * unitX + y * unitY in raster pixels.
// A side's copies differ by whole periods, so each costs a comparison and two additions.
void rasterRiverDots(RiverIndex& index, Point lo, Point hi, Point zero, Point unitX, Point unitY,
                     const PixelRing& pixels, PixelKeep keep, bool onlyMarked);

// Draws every river side of the map within the world rectangle lo..hi into pixels, a raster the size
// of target whose origin is target's corner; project maps world points to window pixels. Bridged
// sides get one bridge pixel at their middle. Pixels inside keep stay as they are, so a raster moved
// by whole pixels needs only its uncovered border redrawn. An index built for the map spares working
// out each side's corners; with onlyMarked just the sides marked in it are drawn (the marks are
// cleared), those that may reach the border outside keep. A raster kept as a ring gives its origin.
template <typename Projection>
void rasterRivers(const Map& map, Point lo, Point hi, Projection&& project, SDL_Rect target,
                  std::span<std::uint32_t> pixels, PixelKeep keep = {}, RiverIndex* index = nullptr,
                  bool onlyMarked = false, RingOrigin stored = {}) {
    const PixelRing ring{pixels, target.w, target.h, stored};
    const Point origin{double(target.x), double(target.y)};
    // Far off-screen sides of a misplaced view must not overflow the integer line stepping.
    // roundHalfAway without branches: the halves fall at random, a branch would guess wrong.
    const auto pixel = [](double v) {
        if (!(std::abs(v) < 1.0e6)) {
            return v < 0 ? -1000000 : 1000000;
        }
        const int whole = static_cast<int>(v);
        const double rest = v - whole;
        return whole + int(rest >= 0.5) - int(rest <= -0.5);
    };
    const auto draw = [&](Point a, Point b, int widthClass, bool bridge) {
        const Point pa = project(a) - origin;
        const Point pb = project(b) - origin;
        const int ax = pixel(pa.x);
        const int ay = pixel(pa.y);
        const int bx = pixel(pb.x);
        const int by = pixel(pb.y);
        // The line, its middle and a great river's second pixel row lie within the box of its ends
        // widened by a pixel.
        if (keep.holds(std::min(ax, bx), std::min(ay, by)) && keep.holds(std::max(ax, bx) + 1, std::max(ay, by) + 1)) {
            return;
        }
        rasterLine(ax, ay, bx, by, riverPixel(widthClass), ring, keep);
        // The great rivers (width class 3) are two pixels wide, so they stand out from the rest.
        if (widthClass >= 3) {
            const bool flat = std::abs(bx - ax) >= std::abs(by - ay);
            rasterLine(ax + !flat, ay + flat, bx + !flat, by + flat, riverPixel(widthClass), ring, keep);
        }
        // Map::bridgeBetween of the edge's own fields is this edge's flag, so the flag alone decides.
        if (bridge) {
            const Point m = (pa + pb) * 0.5;
            const int mx = pixel(m.x);
            const int my = pixel(m.y);
            if (mx >= 0 && mx < target.w && my >= 0 && my < target.h && !keep.holds(mx, my)) {
                ring.at(mx, my) = bridgePixel;
            }
        }
    };
    const double reciprocal = 1 / map.period();
    if (!index || !index->covers(map)) {
        riverSegments(map, lo, hi, [&](Point a, Point b, const RiverEdge& edge, std::size_t) {
            draw(a, b, edge.widthClass, edge.bridge);
        });
        return;
    }
    // Where every side (one unit long) is shorter than a pixel, it shows as the one pixel of its
    // middle, a bridge over it as that pixel. The projection is affine, so its three points give it.
    const Point zero = project(Point{0, 0}) - origin;
    const Point unitX = project(Point{1, 0}) - origin - zero;
    const Point unitY = project(Point{0, 1}) - origin - zero;
    if (std::hypot(unitX.x, unitX.y) < 1 && std::hypot(unitY.x, unitY.y) < 1) {
        rasterRiverDots(*index, lo, hi, zero, unitX, unitY, ring, keep, onlyMarked);
        return;
    }
    const auto drawSide = [&](std::size_t i) {
        const PackedSide& side = index->sides()[i];
        const RiverSegment s = side.corners();
        sideCopies(s.a, s.b, side.top(), side.bottom(), lo, hi, index->copyPeriod(), reciprocal,
                   [&](Point a, Point b) { draw(a, b, side.widthClass, side.bridge); });
    };
    if (onlyMarked) {
        index->takeMarked(drawSide);
    } else {
        for (std::size_t i = 0; i < index->sides().size(); ++i) {
            drawSide(i);
        }
    }
}

} // namespace korvan
