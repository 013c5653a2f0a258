// The latitude stretch that blends the far 2:1 picture into a true-shaped detail view.
#include "core/camera.hpp"

#include <cmath>

namespace korvan {

double worldVerticalScale(int mapHeight, double zoom) {
    const double detail = std::clamp((mapHeight * zoom / 3600.0 - 0.15) / 0.85, 0.0, 1.0);
    const double cosine = std::cos(viennaLatitude * 3.141592653589793 / 180.0);
    return 1.0 / (detail * cosine + (1.0 - detail));
}

double playGridRatio(int mapWidth, int mapHeight) {
    return worldVerticalScale(mapHeight, Camera::maxScale) / worldHorizontalScale(mapWidth, mapHeight);
}

} // namespace korvan
