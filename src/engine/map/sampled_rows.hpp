// The source fields under a play grid's field centres, a run of a row at a time.
#pragma once

#include <cstdint>

namespace korvan {

// How a play grid's field centres fall onto its source: the grid's scale in source units and the
// source's size. The source wraps east-west and its rows are offset.
struct SourceSampling {
    double scaleX;
    double scaleY;
    int width;
    int height;
};

// The source's storage index under the centre of each of fields from..from + count - 1 of a play-grid
// row: worldToHex of the scaled centre, its row clamped to the source, its column wrapped. One
// arithmetic for every field, so the compiler works on several at once, bit for bit the scalar result.
void sampledSourceIndices(const SourceSampling& sampling, int row, int from, int count, std::int32_t* out);

} // namespace korvan
