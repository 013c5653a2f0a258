// The far overview's river sides as dots: placed several sides at a time, then set in list order.
#include "cpu/river_raster.hpp"

#include "core/row_split.hpp"
#include "core/vector_clones.hpp"

#include <array>
#include <climits>
#include <cmath>

namespace korvan {

namespace {

// What placing the dots of one copy of the world needs.
struct DotFrame {
    Point lo;
    Point hi;
    Point zero;
    Point unitX;
    Point unitY;
    double period; // 0 where the map does not wrap
};

constexpr std::int32_t noDot = INT_MIN;

// The pixels of the copy of each side's middle (x, y, style as RiverIndex::sideStyles gives it)
// that is the step-th to the east of the first one that may lie within lo..hi widened by a unit,
// into xs and ys; ys is noDot where the copy lies outside, the side's rows miss lo..hi or the dot
// cannot touch the width x height raster. Selects in place of branches, so the compiler takes
// several sides at once.
KORVAN_VECTOR_CLONES
void placeDots(const DotFrame& f, int step, const double* middleX, const double* middleY, const std::uint8_t* style,
               int count, int width, int height, std::int32_t* xs, std::int32_t* ys) {
    // The first copy is taken a hair early, so a rounding cannot skip one; without wrapping there is
    // only the one copy.
    const double wraps = f.period > 0 ? 1.0 : 0.0;
    const double perPeriod = f.period > 0 ? 1 / f.period : 0.0;
    const double periodX = f.period * f.unitX.x;
    const double periodY = f.period * f.unitX.y;
    for (int n = 0; n < count; ++n) {
        const double mx = middleX[n];
        const double my = middleY[n];
        const double k = std::floor((f.lo.x - 1 - mx) * perPeriod - 1e-6) * wraps + step;
        const double shift = k * f.period;
        const double stepX = k * periodX;
        const double stepY = k * periodY;
        // top() and bottom(): a side between two rows reaches three quarters of a unit further.
        const double rows = 1 + 0.75 * double((style[n] >> 3) & 1);
        const double px = f.zero.x + mx * f.unitX.x + my * f.unitY.x;
        const double py = f.zero.y + mx * f.unitX.y + my * f.unitY.y;
        const double copy = mx + shift;
        const double cx = px + stepX;
        const double cy = py + stepY;
        const bool shown = !(f.lo.y > my + rows) & !(f.hi.y < my - rows) & !(f.lo.x > copy + 1) &
                           !(f.hi.x < copy - 1) & (std::abs(cx) < 1e6) & (std::abs(cy) < 1e6);
        // Truncation of a positive value rounds down, cheaper than std::floor.
        const std::int32_t x = static_cast<std::int32_t>(shown ? cx + 1000000.5 : 0.0) - 1000000;
        const std::int32_t y = static_cast<std::int32_t>(shown ? cy + 1000000.5 : 0.0) - 1000000;
        // A great river's dot reaches a pixel right and down.
        const bool touches = shown & (x >= -1) & (x < width) & (y >= -1) & (y < height);
        xs[n] = x;
        ys[n] = touches ? y : noDot;
    }
}

// ys of placeDots, with noDot also where the side before (in the same copy) put the same dot. Far
// out many sides in a row fall on one pixel, and setting it again changes nothing as long as no
// dot in between falls on it: the caller makes sure the other copies lie far enough away.
KORVAN_VECTOR_CLONES
void dropRepeats(const std::int32_t* xs, const std::int32_t* ys, const std::uint8_t* style, int count,
                 std::int32_t* out) {
    if (count > 0) {
        out[0] = ys[0];
    }
    for (int n = 1; n < count; ++n) {
        const bool same = (xs[n] == xs[n - 1]) & (ys[n] == ys[n - 1]) & ((style[n] & 7) == (style[n - 1] & 7));
        out[n] = same ? noDot : ys[n];
    }
}

} // namespace

void rasterRiverDots(RiverIndex& index, Point lo, Point hi, Point zero, Point unitX, Point unitY,
                     const PixelRing& pixels, PixelKeep keep, bool onlyMarked) {
    const int width = pixels.width;
    const int height = pixels.height;
    index.spreadMiddles();
    const std::vector<PackedSide>& sides = index.sides();
    std::vector<std::uint32_t> chosen;
    if (onlyMarked) {
        index.takeMarked([&](std::size_t i) { chosen.push_back(std::uint32_t(i)); });
    }
    const std::size_t count = onlyMarked ? chosen.size() : sides.size();
    const double period = index.copyPeriod();
    // How many copies of one side may lie within lo..hi widened by a unit, with one to spare for the
    // early first one.
    const int copies = period > 0 ? int(std::min(std::floor((hi.x - lo.x + 2) / period + 1e-3), 4096.0)) + 2 : 1;
    const DotFrame frame{lo, hi, zero, unitX, unitY, period};
    // Dots of two copies lie a period apart: with a few pixels between them, no dot of another copy
    // can fall between two equal dots of one.
    const bool dropping = std::max(std::abs(period * unitX.x), std::abs(period * unitX.y)) >= 4 || period == 0;
    const std::array<std::uint32_t, 5> colours{riverPixel(0), riverPixel(1), riverPixel(2), riverPixel(3), bridgePixel};
    // First the dots to set, in list order: each thread places a part of the list, a block of sides
    // at a time, into lists of its own for the upper and the lower half of the rows (a dot across
    // the middle into both).
    auto& lists = index.dots();
    for (std::vector<RiverDot>& dots : lists) {
        dots.clear();
    }
    const int middle = height / 2;
    fillRowsInParallel(int(count), count * std::size_t(copies), [&](int begin, int end) {
        std::vector<RiverDot>& upper = lists[begin == 0 ? 0 : 1];
        std::vector<RiverDot>& lower = lists[begin == 0 ? 2 : 3];
        constexpr int block = 512;
        std::array<double, block> gatheredX;
        std::array<double, block> gatheredY;
        std::array<std::uint8_t, block> gatheredStyle;
        std::array<std::int32_t, block> placed;
        std::vector<std::int32_t> xs(std::size_t(copies) * block);
        std::vector<std::int32_t> ys(std::size_t(copies) * block);
        for (int at = begin; at < end; at += block) {
            const int n = std::min(block, end - at);
            const double* middleX = index.middlesX().data() + at;
            const double* middleY = index.middlesY().data() + at;
            const std::uint8_t* style = index.sideStyles().data() + at;
            if (onlyMarked) {
                for (int i = 0; i < n; ++i) {
                    const std::uint32_t side = chosen[std::size_t(at + i)];
                    gatheredX[std::size_t(i)] = index.middlesX()[side];
                    gatheredY[std::size_t(i)] = index.middlesY()[side];
                    gatheredStyle[std::size_t(i)] = index.sideStyles()[side];
                }
                middleX = gatheredX.data();
                middleY = gatheredY.data();
                style = gatheredStyle.data();
            }
            for (int c = 0; c < copies; ++c) {
                std::int32_t* copyXs = xs.data() + std::size_t(c) * block;
                std::int32_t* copyYs = ys.data() + std::size_t(c) * block;
                if (dropping) {
                    placeDots(frame, c, middleX, middleY, style, n, width, height, copyXs, placed.data());
                    dropRepeats(copyXs, placed.data(), style, n, copyYs);
                } else {
                    placeDots(frame, c, middleX, middleY, style, n, width, height, copyXs, copyYs);
                }
            }
            for (int i = 0; i < n; ++i) {
                for (int c = 0; c < copies; ++c) {
                    const std::size_t slot = std::size_t(c) * block + std::size_t(i);
                    if (ys[slot] == noDot) {
                        continue;
                    }
                    const RiverDot dot{xs[slot], ys[slot], colours[style[i] & 7]};
                    // A marked side's other copies mostly fall into the kept part, where nothing is set.
                    const int reach = dot.colour == riverPixelWide ? 1 : 0;
                    if (keep.holds(dot.x, dot.y) && keep.holds(dot.x + reach, dot.y + reach)) {
                        continue;
                    }
                    if (dot.y < middle) {
                        upper.push_back(dot);
                    }
                    if (dot.y + 1 >= middle) {
                        lower.push_back(dot);
                    }
                }
            }
        }
    });
    // Then each thread sets the dots' pixels in its own rows, in list order: where dots meet, the
    // later side shows as before.
    // A list sets only the rows of its half, so a dot across the middle is set once.
    const std::size_t dots = lists[0].size() + lists[1].size() + lists[2].size() + lists[3].size();
    fillRowsInParallel(height, dots, [&](int firstRow, int endRow) {
        for (std::size_t part = 0; part < lists.size(); ++part) {
            const int top = std::max(firstRow, part < 2 ? 0 : middle);
            const int bottom = std::min(endRow, part < 2 ? middle : height);
            if (top >= bottom) {
                continue;
            }
            for (const RiverDot& dot : lists[part]) {
                // The great rivers (width class 3) are two pixels wide, so they stand out from the rest.
                const int size = dot.colour == riverPixelWide ? 2 : 1;
                for (int dy = 0; dy < size; ++dy) {
                    const int y = dot.y + dy;
                    if (y < top || y >= bottom) {
                        continue;
                    }
                    for (int dx = 0; dx < size; ++dx) {
                        const int x = dot.x + dx;
                        if (x >= 0 && x < width && !keep.holds(x, y)) {
                            pixels.at(x, y) = dot.colour;
                        }
                    }
                }
            }
        }
    });
}

} // namespace korvan
