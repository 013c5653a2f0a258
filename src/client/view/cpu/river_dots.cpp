// The far overview's river sides as dots: placed several sides at a time, then set in list order.
#include "cpu/river_raster.hpp"

#include "core/row_split.hpp"

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
    double period;
};

constexpr std::int32_t noDot = INT_MIN;

// The pixels of copy k of sides' middles (x, y, row reach) into xs and ys; ys is noDot where the
// copy lies outside lo..hi widened by a unit or its rows miss them, or it lies far off the raster.
// Selects in place of branches, so the compiler takes several sides at once.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void placeDots(const DotFrame& f, int k, const double* middleX, const double* middleY, const float* reach, int count,
               std::int32_t* xs, std::int32_t* ys) {
    const double shift = k * f.period;
    const double stepX = k * (f.period * f.unitX.x);
    const double stepY = k * (f.period * f.unitX.y);
    for (int n = 0; n < count; ++n) {
        const double mx = middleX[n];
        const double my = middleY[n];
        const double rows = 1 + double(reach[n]);
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
        xs[n] = x;
        ys[n] = shown ? y : noDot;
    }
}

} // namespace

void rasterRiverDots(RiverIndex& index, Point lo, Point hi, Point zero, Point unitX, Point unitY, int width,
                     int height, std::span<std::uint32_t> pixels, PixelKeep keep, bool onlyMarked) {
    index.spreadMiddles();
    const std::vector<PackedSide>& sides = index.sides();
    std::vector<std::uint32_t> chosen;
    if (onlyMarked) {
        index.takeMarked([&](std::size_t i) { chosen.push_back(std::uint32_t(i)); });
    }
    const std::size_t count = onlyMarked ? chosen.size() : sides.size();
    const double period = index.copyPeriod();
    // The copies some side's middle may bring within lo..hi widened by a unit.
    int first = 0;
    int last = 0;
    if (period > 0 && count > 0) {
        first = int(std::floor((lo.x - 1 - index.rightmostMiddle()) / period));
        last = int(std::ceil((hi.x + 1 - index.leftmostMiddle()) / period));
    }
    const DotFrame frame{lo, hi, zero, unitX, unitY, period};
    const std::uint32_t colours[2][4] = {{riverPixel(0), riverPixel(1), riverPixel(2), riverPixel(3)},
                                         {bridgePixel, bridgePixel, bridgePixel, bridgePixel}};
    // First the dots that may touch the raster, in list order: each thread places a part of the
    // list, a block of sides at a time, into lists of its own for the upper and the lower half of
    // the rows (a dot across the middle into both).
    auto& lists = index.dots();
    for (std::vector<RiverDot>& dots : lists) {
        dots.clear();
    }
    const int middle = height / 2;
    const int copies = last - first + 1;
    fillRowsInParallel(int(count), count * std::size_t(copies), [&](int begin, int end) {
        std::vector<RiverDot>& upper = lists[begin == 0 ? 0 : 1];
        std::vector<RiverDot>& lower = lists[begin == 0 ? 2 : 3];
        constexpr int block = 512;
        std::array<double, block> gatheredX;
        std::array<double, block> gatheredY;
        std::array<float, block> gatheredReach;
        std::vector<std::int32_t> xs(std::size_t(copies) * block);
        std::vector<std::int32_t> ys(std::size_t(copies) * block);
        for (int at = begin; at < end; at += block) {
            const int n = std::min(block, end - at);
            const double* middleX = index.middlesX().data() + at;
            const double* middleY = index.middlesY().data() + at;
            const float* reach = index.rowReach().data() + at;
            if (onlyMarked) {
                for (int i = 0; i < n; ++i) {
                    const std::uint32_t side = chosen[std::size_t(at + i)];
                    gatheredX[std::size_t(i)] = index.middlesX()[side];
                    gatheredY[std::size_t(i)] = index.middlesY()[side];
                    gatheredReach[std::size_t(i)] = index.rowReach()[side];
                }
                middleX = gatheredX.data();
                middleY = gatheredY.data();
                reach = gatheredReach.data();
            }
            for (int c = 0; c < copies; ++c) {
                placeDots(frame, first + c, middleX, middleY, reach, n, xs.data() + std::size_t(c) * block,
                          ys.data() + std::size_t(c) * block);
            }
            for (int i = 0; i < n; ++i) {
                const PackedSide& side = sides[onlyMarked ? chosen[std::size_t(at + i)] : std::size_t(at + i)];
                const std::uint32_t colour = colours[side.bridge][std::min<int>(side.widthClass, 3)];
                for (int c = 0; c < copies; ++c) {
                    const std::size_t slot = std::size_t(c) * block + std::size_t(i);
                    const std::int32_t x = xs[slot];
                    const std::int32_t y = ys[slot];
                    if (y >= -1 && y < height && x >= -1 && x < width) {
                        if (y < middle) {
                            upper.push_back({x, y, colour});
                        }
                        if (y + 1 >= middle) {
                            lower.push_back({x, y, colour});
                        }
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
                            pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = dot.colour;
                        }
                    }
                }
            }
        }
    });
}

} // namespace korvan
