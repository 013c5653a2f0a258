// The minimap's projection of the whole world into a small window rectangle.
#pragma once

#include "core/hex.hpp"

#include <array>
#include <cmath>
#include <cstddef>

namespace korvan {

struct MiniRect {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
};

// None, one or two rectangles, without touching the heap: the minimap outlines them every frame.
struct MiniRects {
    std::array<MiniRect, 2> rects{};
    std::size_t count = 0;

    void push_back(const MiniRect& r) { rects[count++] = r; }
    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    const MiniRect& operator[](std::size_t k) const { return rects[k]; }
    const MiniRect* begin() const { return rects.data(); }
    const MiniRect* end() const { return rects.data() + count; }
};

struct WorldOverview {
    double period = 1; // world width in world units
    double height = 1; // world height in world units
    MiniRect area;

    Point toMini(Point world) const {
        double x = std::fmod(world.x, period);
        x += x < 0 ? period : 0;
        return {x / period * area.w + area.x, (world.y + 1) / height * area.h + area.y};
    }

    Point toWorld(Point window) const {
        return {(window.x - area.x) / area.w * period, (window.y - area.y) / area.h * height - 1};
    }

    bool contains(Point window) const {
        return area.x <= window.x && window.x < area.x + area.w && area.y <= window.y && window.y < area.y + area.h;
    }

    // The visible world rectangle lo..hi on the minimap: none, one, or two where it wraps the date line.
    MiniRects viewport(Point lo, Point hi) const;
};

} // namespace korvan
