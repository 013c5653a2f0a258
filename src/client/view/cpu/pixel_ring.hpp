// A raster that stays in place while its picture moves by whole pixels: only the origin moves.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace korvan {

// Where the picture's pixel (0, 0) is stored.
struct RingOrigin {
    int x = 0;
    int y = 0;

    bool operator==(const RingOrigin&) const = default;
};

// A width x height raster whose picture pixel (x, y) is stored in column (x + origin.x) mod width
// of row (y + origin.y) mod height. A pan moves the origin instead of every pixel; with origin 0
// it is a plain raster, row by row.
struct PixelRing {
    std::span<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    RingOrigin origin;

    // The storage index of picture pixel (x, y), which must lie in the picture.
    std::size_t index(int x, int y) const {
        const int column = x + origin.x;
        const int row = y + origin.y;
        return std::size_t(row >= height ? row - height : row) * std::size_t(width) +
               std::size_t(column >= width ? column - width : column);
    }
    std::uint32_t& at(int x, int y) const { return pixels[index(x, y)]; }

    // The origin after the picture moved by (dx, dy): the pixel at (x, y) shows what (x - dx, y - dy) showed.
    RingOrigin movedBy(int dx, int dy) const {
        const auto wrap = [](int v, int size) { return ((v % size) + size) % size; };
        return {wrap(origin.x - dx, width), wrap(origin.y - dy, height)};
    }
};

// Calls visit(stored, picture) for the up to four stored rectangles that together hold the
// picture's rectangle rect (which must lie in the picture), each with the part of rect it holds.
template <typename Visit>
void forStoredParts(const PixelRing& ring, SDL_Rect rect, Visit&& visit) {
    if (rect.w <= 0 || rect.h <= 0) {
        return;
    }
    // Picture columns from seamX on, and rows from seamY on, are stored from the start again.
    const int seamX = ring.width - ring.origin.x;
    const int seamY = ring.height - ring.origin.y;
    const int xCuts[3] = {rect.x, std::clamp(seamX, rect.x, rect.x + rect.w), rect.x + rect.w};
    const int yCuts[3] = {rect.y, std::clamp(seamY, rect.y, rect.y + rect.h), rect.y + rect.h};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            const SDL_Rect picture{xCuts[i], yCuts[j], xCuts[i + 1] - xCuts[i], yCuts[j + 1] - yCuts[j]};
            if (picture.w > 0 && picture.h > 0) {
                const std::size_t first = ring.index(picture.x, picture.y);
                const SDL_Rect stored{int(first % std::size_t(ring.width)), int(first / std::size_t(ring.width)),
                                      picture.w, picture.h};
                visit(stored, picture);
            }
        }
    }
}

// Copies picture pixels begin..end - 1 of row y, given in picture order (source[x] for x), into the ring.
inline void storeRow(const PixelRing& ring, int y, int begin, int end, const std::uint32_t* source) {
    while (begin < end) {
        const std::size_t target = ring.index(begin, y);
        const int run = std::min(end - begin, ring.width - int(target % std::size_t(ring.width)));
        std::memcpy(ring.pixels.data() + target, source + begin, std::size_t(run) * 4);
        begin += run;
    }
}

// Copies picture pixels begin..end - 1 of row y from one ring to another of the same size.
inline void copyRingRow(const PixelRing& from, const PixelRing& to, int y, int begin, int end) {
    while (begin < end) {
        const std::size_t source = from.index(begin, y);
        const std::size_t target = to.index(begin, y);
        // Up to the nearer seam of the two.
        const int run = std::min({end - begin, from.width - int(source % std::size_t(from.width)),
                                  to.width - int(target % std::size_t(to.width))});
        std::memcpy(to.pixels.data() + target, from.pixels.data() + source, std::size_t(run) * 4);
        begin += run;
    }
}

} // namespace korvan
