// Rounding pixel coordinates to whole pixels in rasterisers' inner loops.
#pragma once

namespace korvan {

// std::floor and std::ceil for values well within int, without the library call or the long
// instruction sequence that the baseline instruction set needs for them.
inline int floorToInt(double v) {
    const int i = static_cast<int>(v);
    return i - (i > v);
}
inline int ceilToInt(double v) {
    const int i = static_cast<int>(v);
    return i + (i < v);
}

} // namespace korvan
