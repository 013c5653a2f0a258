// The overview's river raster after a pan: moved, with only the border it cannot keep redrawn.
#include "overview/overview_raster.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

// How far from its middle a river side may draw, in pixels: half a unit, a rounding and a great river's
// second pixel.
double sideReach(const Camera& camera) {
    return std::ceil(0.5 * camera.scale * std::max(camera.horizontalScale, camera.verticalScale)) + 2;
}

} // namespace

PixelKeep moveDrawnRaster(const PixelRing& base, PixelShift shift, const Camera& camera, PixelRing& drawn) {
    const int width = drawn.width;
    const int height = drawn.height;
    drawn.origin = drawn.movedBy(shift.x, shift.y);
    // Sides whose middle lies inside the area are drawn by either build, so pixels this far inside
    // both areas match.
    const int margin = int(sideReach(camera)) + 2;
    PixelKeep keep{std::max(shift.x, 0) + margin, std::max(shift.y, 0) + margin,
                   std::min(width + shift.x, width) - margin, std::min(height + shift.y, height) - margin};
    if (keep.left >= keep.right || keep.top >= keep.bottom) {
        keep = {};
    }
    for (int y = 0; y < height; ++y) {
        if (y < keep.top || y >= keep.bottom) {
            copyRingRow(base, drawn, y, 0, width);
        } else {
            copyRingRow(base, drawn, y, 0, keep.left);
            copyRingRow(base, drawn, y, keep.right, width);
        }
    }
    return keep;
}

void markSidesOutside(RiverIndex& index, const Camera& camera, PixelKeep keep, int width, int height, int top) {
    const double pad = sideReach(camera) + 1;
    const auto mark = [&](int left, int up, int right, int down) {
        if (left < right && up < down) {
            index.mark(camera.toWorld({left - pad, top + up - pad}), camera.toWorld({right + pad, top + down + pad}));
        }
    };
    mark(0, 0, width, keep.top);
    mark(0, keep.bottom, width, height);
    mark(0, keep.top, keep.left, keep.bottom);
    mark(keep.right, keep.top, width, keep.bottom);
}

} // namespace korvan
