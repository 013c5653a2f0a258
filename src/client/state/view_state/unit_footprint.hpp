// How large a unit is drawn: a picture that fits its field on screen, so neighbours never cover
// each other. Large fields get the icon with its strength plate, small ones a compact counter.
#pragma once

#include <algorithm>
#include <cmath>

namespace korvan {

struct UnitFootprint {
    int width = 0;
    int height = 0;
    int top = 0;       // pixels from the top edge down to the field centre
    bool icon = false; // the icon with its plate; else the counter
    friend bool operator==(const UnitFootprint&, const UnitFootprint&) = default;
};

// The largest icon: an icon smaller than this reads only as a counter.
inline constexpr int largestUnitIcon = 48;
inline constexpr int smallestUnitIcon = 24;

// The strength plate below an icon: two-scale digits on large icons, one-scale below.
constexpr int unitPlateHeight(int size) { return size >= 40 ? 18 : 11; }
constexpr int unitPlateTop(int size) { return size * 7 / 16; }

// An icon with its plate, `size` (even) pixels wide: from the icon frame's top row to the plate's
// bottom row.
inline UnitFootprint unitIconFootprint(int size) {
    const int above = static_cast<int>(std::lround(15.0 * size / 32));
    return {size, above + unitPlateTop(size) + unitPlateHeight(size), above, true};
}

inline UnitFootprint unitCounterFootprint(int width, int height) { return {width, height, height / 2, false}; }

// The picture for fields fieldWidth pixels wide whose rows lie rowStep pixels apart: the largest
// even icon that leaves a pixel of air to every neighbour, else a counter filling that space.
inline UnitFootprint unitFootprintFor(double fieldWidth, double rowStep) {
    const int width = static_cast<int>(std::floor(fieldWidth)) - 2;
    const int height = static_cast<int>(std::floor(rowStep)) - 2;
    for (int size = std::min(largestUnitIcon, width) / 2 * 2; size >= smallestUnitIcon; size -= 2) {
        const UnitFootprint icon = unitIconFootprint(size);
        if (icon.height <= height) {
            return icon;
        }
    }
    return unitCounterFootprint(std::clamp(width, 7, 40), std::clamp(height, 7, 30));
}

} // namespace korvan
