// Selects in place of worldToHex's branches, and every step in whole or exactly rounded numbers, so
// the loop vectorises without changing a result.
#include "map/sampled_rows.hpp"

#include "core/hex.hpp"
#include "core/vector_clones.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

KORVAN_VECTOR_CLONES
void sampledSourceIndices(const SourceSampling& sampling, int row, int from, int count, std::int32_t* out) {
    const double width = sampling.width;
    const double perWidth = 1 / width;
    const double lastRow = sampling.height - 1;
    // hexCenter of the grid's hex at (column, row), scaled, as worldToHex takes it.
    const double rowShift = double(row / 2);
    const double halfRow = row / 2.0;
    const double y = 1.5 * row * sampling.scaleY;
    const double third = y / 3.0;
    const double fr = y * 2.0 / 3.0;
    const double r = roundHalfAwayFlat(fr);
    const double dr = std::abs(r - fr);
    for (int i = 0; i < count; ++i) {
        const double x = sqrt3 * (double(from + i) - rowShift + halfRow) * sampling.scaleX;
        const double fq = x * 0.5773502691896257 - third;
        const FlatHex h = roundHexFlat(fq, -fq - fr, r, dr);
        const double hr = std::min(std::max(h.r, 0.0), lastRow);
        const double column = wrappedColumnFlat(h.q + std::floor(hr * 0.5), width, perWidth);
        out[i] = static_cast<std::int32_t>(hr * width + column);
    }
}

} // namespace korvan
