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

// The first copy of a side whose middle may lie within lo..hi widened by a unit, in whole periods
// east of the side: taken a hair early, so that a rounding cannot skip one.
inline double firstCopy(const DotFrame& f, double middleX, double perPeriod) {
    return std::ceil((f.lo.x - 1 - middleX) * perPeriod - 1e-6);
}

// How many copies from the first one the count sides must be placed in so that each of their copies
// within lo..hi widened by a unit is among them, the last taken a hair late. Far out the view shows
// a period and a bit: most sides one copy, some two.
KORVAN_VECTOR_CLONES
int copiesNeeded(const DotFrame& f, const double* middleX, int count) {
    if (f.period <= 0) {
        return 1; // only the one copy
    }
    const double perPeriod = 1 / f.period;
    double most = 0;
    for (int n = 0; n < count; ++n) {
        const double last = std::floor((f.hi.x + 1 - middleX[n]) * perPeriod + 1e-6);
        most = std::max(most, last - firstCopy(f, middleX[n], perPeriod) + 1);
    }
    return int(std::min(most, 1e9));
}

// The pixels of the copy of each side's middle (x, y, style as RiverIndex::sideStyles gives it)
// that is the step-th to the east of its firstCopy, into xs and ys; ys is noDot where the copy lies
// outside, the side's rows miss lo..hi, the dot cannot touch the width x height raster or lies
// wholly in the kept part (as a marked side's other copies mostly do). Selects in place of
// branches, so the compiler takes several sides at once.
KORVAN_VECTOR_CLONES
void placeDots(const DotFrame& f, int step, const double* middleX, const double* middleY, const std::uint8_t* style,
               int count, int width, int height, PixelKeep keep, std::int32_t* xs, std::int32_t* ys) {
    // Without wrapping there is only the one copy.
    const double wraps = f.period > 0 ? 1.0 : 0.0;
    const double perPeriod = f.period > 0 ? 1 / f.period : 0.0;
    const double periodX = f.period * f.unitX.x;
    const double periodY = f.period * f.unitX.y;
    for (int n = 0; n < count; ++n) {
        const double mx = middleX[n];
        const double my = middleY[n];
        const double k = firstCopy(f, mx, perPeriod) * wraps + step;
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
        // keep.holds of both its corners, without the branches of &&.
        const int reach = (style[n] & 7) == 3 ? 1 : 0;
        const bool kept = (x >= keep.left) & (x + reach < keep.right) & (y >= keep.top) & (y + reach < keep.bottom);
        xs[n] = x;
        ys[n] = touches & !kept ? y : noDot;
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

// Whether any of the count dots is set.
KORVAN_VECTOR_CLONES
bool anyDot(const std::int32_t* ys, int count) {
    bool any = false;
    for (int n = 0; n < count; ++n) {
        any |= ys[n] != noDot;
    }
    return any;
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
    // How many copies of one side may lie within lo..hi widened by a unit, with one to spare for a
    // first one taken early.
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
    for (DotList& dots : lists) {
        dots.clear();
    }
    const int middle = height / 2;
    fillRowsInParallel(int(count), count * std::size_t(copies), [&](int begin, int end) {
        DotList& upper = lists[begin == 0 ? 0 : 1];
        DotList& lower = lists[begin == 0 ? 2 : 3];
        constexpr int block = 512;
        std::array<double, block> gatheredX;
        std::array<double, block> gatheredY;
        std::array<std::uint8_t, block> gatheredStyle;
        std::array<std::int32_t, block> placed;
        std::vector<std::int32_t> xs(std::size_t(copies) * block);
        std::vector<std::int32_t> ys(std::size_t(copies) * block);
        std::vector<std::size_t> withDots(copies); // where each copy with a dot starts in xs and ys
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
            // The copies with a dot in this block: a block holds a stretch of a river, so the copy
            // to the west of the view, and often one to the east, has none.
            int shownCopies = 0;
            const int placedCopies = std::clamp(copiesNeeded(frame, middleX, n), 0, copies);
            for (int c = 0; c < placedCopies; ++c) {
                std::int32_t* copyXs = xs.data() + std::size_t(c) * block;
                std::int32_t* copyYs = ys.data() + std::size_t(c) * block;
                if (dropping) {
                    placeDots(frame, c, middleX, middleY, style, n, width, height, keep, copyXs, placed.data());
                    dropRepeats(copyXs, placed.data(), style, n, copyYs);
                } else {
                    placeDots(frame, c, middleX, middleY, style, n, width, height, keep, copyXs, copyYs);
                }
                if (anyDot(copyYs, n)) {
                    withDots[std::size_t(shownCopies++)] = std::size_t(c) * block;
                }
            }
            // Whether a copy shows is as good as random: each is written at the end of both lists,
            // and an end moves on only for a dot in its half, where a branch would be mispredicted.
            RiverDot* upperEnd = upper.room(std::size_t(n) * std::size_t(shownCopies));
            RiverDot* lowerEnd = lower.room(std::size_t(n) * std::size_t(shownCopies));
            for (int i = 0; i < n; ++i) {
                const std::uint32_t colour = colours[style[i] & 7];
                for (int c = 0; c < shownCopies; ++c) {
                    const std::size_t slot = withDots[std::size_t(c)] + std::size_t(i);
                    const RiverDot dot{xs[slot], ys[slot], colour};
                    *upperEnd = dot;
                    upperEnd += (dot.y != noDot) & (dot.y < middle);
                    *lowerEnd = dot;
                    lowerEnd += dot.y + 1 >= middle;
                }
            }
            upper.endAt(upperEnd);
            lower.endAt(lowerEnd);
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
