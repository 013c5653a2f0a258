// What a picture of the map depends on, and how far it moved when only the camera panned.
#pragma once

#include "core/camera.hpp"

#include <cmath>
#include <optional>

namespace korvan {

// What a cached picture of the map depends on: the camera (all five fields, compared exactly),
// the window size and the map's content generation.
struct ViewKey {
    Camera camera;
    int width = 0;
    int height = 0;
    unsigned generation = 0;

    friend bool operator==(const ViewKey&, const ViewKey&) = default;
};

// How far the picture moved when only the camera's offset changed, by whole pixels (within 1e-6:
// after a zoom the offsets are fractional, and their differences carry rounding noise), less than
// the picture's size. Anything else (scale, window, map) needs a full redraw: no value.
struct PixelPan {
    int dx = 0;
    int dy = 0;
};
inline std::optional<PixelPan> wholePixelPan(const ViewKey& before, const ViewKey& now, int width, int height) {
    const Camera& a = before.camera;
    const Camera& b = now.camera;
    if (before.width != now.width || before.height != now.height || before.generation != now.generation ||
        a.scale != b.scale || a.horizontalScale != b.horizontalScale || a.verticalScale != b.verticalScale) {
        return std::nullopt;
    }
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double rx = std::round(dx);
    const double ry = std::round(dy);
    if (std::abs(dx - rx) > 1e-6 || std::abs(dy - ry) > 1e-6 || std::abs(rx) >= width || std::abs(ry) >= height) {
        return std::nullopt;
    }
    return PixelPan{static_cast<int>(rx), static_cast<int>(ry)};
}

} // namespace korvan
