// The fields under the pixel centres of a window row, a whole row at a time.
#pragma once

#include "core/camera.hpp"
#include "map/map.hpp"

#include <cstdint>

namespace korvan {

// How a map stores its fields, for finding a hex's storage index.
struct FieldLayout {
    explicit FieldLayout(const Map& map)
        : width(map.width()), height(map.height()), wraps(map.wraps()), offsetRows(map.offsetRows()) {}

    int width;
    int height;
    bool wraps;
    bool offsetRows;
};

// One window row seen through a camera: worldToHex of camera.toWorld, with the row's share worked
// out once. The pixel's q is multiplied out rather than divided: the two differ only on hex edges.
struct RowFrame {
    RowFrame(const Camera& camera, double rowY);

    double cameraX;
    double perPixel; // q per pixel
    double third;    // the row's share of q
    double fr;       // the row's fractional r
    double r;        // ... rounded
    double dr;       // ... and its distance from the rounded one
};

// Storage indices (-1 off the map) of the fields under pixels from..from + count - 1 of row.
void fieldIndices(const RowFrame& row, const FieldLayout& layout, int from, int count, std::int32_t* out);

} // namespace korvan
