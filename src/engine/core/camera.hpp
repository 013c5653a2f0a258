// The world-to-screen transform and the latitude stretch of the world map.
#pragma once

#include "core/hex.hpp"

#include <algorithm>

namespace korvan {

struct Camera {
    static constexpr double minScale = 0.01;
    static constexpr double maxScale = 85;

    double x = 0;     // screen x of world x = 0
    double y = 0;     // screen y of world y = 0
    double scale = 25; // pixels per world unit
    double horizontalScale = 1;
    double verticalScale = 1;

    Point toScreen(Point world) const {
        return {world.x * scale * horizontalScale + x, world.y * scale * verticalScale + y};
    }

    Point toWorld(Point screen) const {
        return {(screen.x - x) / (scale * horizontalScale), (screen.y - y) / (scale * verticalScale)};
    }

    // Changes the scale (clamped) so that the world point under the anchor stays under it.
    void zoom(double factor, Point anchor) {
        const Point before = toWorld(anchor);
        scale = clampScale(scale * factor);
        x = anchor.x - before.x * scale * horizontalScale;
        y = anchor.y - before.y * scale * verticalScale;
    }

    static double clampScale(double s) { return std::clamp(s, minScale, maxScale); }

    friend bool operator==(const Camera&, const Camera&) = default;
};

// Latitude of Wien, where the detail view shows shapes true.
inline constexpr double viennaLatitude = 48.2082;

// Horizontal factor of a world map that makes a degree of longitude as wide as a degree of latitude is tall.
inline double worldHorizontalScale(int mapWidth, int mapHeight) { return mapHeight * sqrt3 / mapWidth; }

// The ratio the play grid is derived with: the full-detail vertical stretch over the horizontal scale.
double playGridRatio(int mapWidth, int mapHeight);

// Vertical stretch of a world map of mapHeight rows at a zoom: 1 far out, 1/cos(48.2082 deg) close in.
double worldVerticalScale(int mapHeight, double zoom);

} // namespace korvan
