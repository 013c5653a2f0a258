// The overview's river raster after a pan: moved, with only the border it cannot keep redrawn.
#include "overview/overview_raster.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace korvan {

namespace {

// How far from its middle a river side may draw, in pixels: half a unit, a rounding and a great river's
// second pixel.
double sideReach(const Camera& camera) {
    return std::ceil(0.5 * camera.scale * std::max(camera.horizontalScale, camera.verticalScale)) + 2;
}

} // namespace

PixelKeep moveDrawnRaster(std::span<const std::uint32_t> base, PixelShift shift, const Camera& camera, int width,
                          int height, std::vector<std::uint32_t>& drawn) {
    const auto w = std::size_t(width);
    // Sides whose middle lies inside the area are drawn by either build, so pixels this far inside
    // both areas match.
    const int margin = int(sideReach(camera)) + 2;
    PixelKeep keep{std::max(shift.x, 0) + margin, std::max(shift.y, 0) + margin,
                   std::min(width + shift.x, width) - margin, std::min(height + shift.y, height) - margin};
    if (keep.left >= keep.right || keep.top >= keep.bottom) {
        drawn.assign(base.begin(), base.end());
        return {};
    }
    // Rows move in place, walking against the shift so no row is overwritten before it moved.
    const auto moveRow = [&](int y) {
        std::uint32_t* row = drawn.data() + std::size_t(y) * w;
        const std::uint32_t* from = drawn.data() + std::size_t(y - shift.y) * w;
        std::memmove(row + keep.left, from + (keep.left - shift.x), std::size_t(keep.right - keep.left) * 4);
    };
    if (shift.y > 0) {
        for (int y = keep.bottom - 1; y >= keep.top; --y) {
            moveRow(y);
        }
    } else {
        for (int y = keep.top; y < keep.bottom; ++y) {
            moveRow(y);
        }
    }
    const auto refill = [&](int y, int from, int to) {
        const std::size_t row = std::size_t(y) * w;
        std::copy(base.begin() + std::ptrdiff_t(row) + from, base.begin() + std::ptrdiff_t(row) + to,
                  drawn.begin() + std::ptrdiff_t(row) + from);
    };
    for (int y = 0; y < height; ++y) {
        if (y < keep.top || y >= keep.bottom) {
            refill(y, 0, width);
        } else {
            refill(y, 0, keep.left);
            refill(y, keep.right, width);
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
