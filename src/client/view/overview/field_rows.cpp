// A row's fields with the same arithmetic for every pixel and selects in place of branches, so the
// compiler works on several pixels at once.
#include "overview/field_rows.hpp"
#include "core/vector_clones.hpp"

#include <cmath>

namespace korvan {

RowFrame::RowFrame(const Camera& camera, double rowY)
    : cameraX(camera.x), perPixel(0.5773502691896257 / (camera.scale * camera.horizontalScale)) {
    const double y = (rowY - camera.y) / (camera.scale * camera.verticalScale);
    third = y / 3.0;
    fr = y * 2.0 / 3.0;
    r = roundHalfAwayFlat(fr);
    dr = std::abs(r - fr);
}

KORVAN_VECTOR_CLONES
void fieldIndices(const RowFrame& row, const FieldLayout& layout, int from, int count, std::int32_t* out) {
    const double width = layout.width;
    const double height = layout.height;
    const double perWidth = 1 / width;
    const double wrapWidth = layout.wraps ? width : 0.0;
    const double offset = layout.offsetRows ? 0.5 : 0.0;
    const double r = row.r;
    const double dr = row.dr;
    for (int i = 0; i < count; ++i) {
        const double fq = (double(from + i) + 0.5 - row.cameraX) * row.perPixel - row.third;
        const FlatHex h = roundHexFlat(fq, -fq - row.fr, r, dr);
        const double column = wrappedColumnFlat(h.q + std::floor(h.r * offset), wrapWidth, perWidth);
        const bool inside = (h.r >= 0) & (h.r < height) & (column >= 0) & (column < width);
        const double index = h.r * width + column;
        out[i] = static_cast<std::int32_t>(inside ? index : -1.0);
    }
}

} // namespace korvan
