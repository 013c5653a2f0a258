// Bucketing river sides by the place of their middles.
#include "water/river_segments.hpp"
#include "cpu/river_raster.hpp"

namespace korvan {

void RiverIndex::build(const Map& map, unsigned generation) {
    const auto& rivers = map.rivers();
    generation_ = generation;
    map_ = &map;
    sides_ = rivers.data();
    count_ = rivers.size();
    wraps_ = map.wraps();
    period_ = map.period();
    rowStart_.clear();
    entries_.clear();
    packed_.resize(count_);
    marked_.assign(count_, 0);
    leftmost_ = 0;
    rightmost_ = 0;
    if (rivers.empty()) {
        return;
    }
    // A counting sort by lower row, then each row sorted by middle.
    const auto lower = [](const RiverEdge& e) { return std::min(e.a.r, e.b.r); };
    int lowest = lower(rivers.front());
    int highest = lowest;
    for (const RiverEdge& e : rivers) {
        lowest = std::min(lowest, lower(e));
        highest = std::max(highest, lower(e));
    }
    firstRow_ = lowest;
    rowStart_.assign(std::size_t(highest - lowest) + 2, 0);
    for (const RiverEdge& e : rivers) {
        ++rowStart_[std::size_t(lower(e) - lowest) + 1];
    }
    for (std::size_t r = 1; r < rowStart_.size(); ++r) {
        rowStart_[r] += rowStart_[r - 1];
    }
    entries_.resize(count_);
    std::vector<std::uint32_t> next(rowStart_.begin(), rowStart_.end() - 1);
    for (std::size_t i = 0; i < count_; ++i) {
        const RiverEdge& edge = rivers[i];
        const RiverSegment s = riverBoundary(map, edge);
        const double middle = (s.a.x + s.b.x) * 0.5;
        // The step's q follows from the x distance riverBoundary took, across the seam too.
        const Point a = hexCenter(edge.a);
        const int stepR = edge.b.r - edge.a.r;
        const int stepQ = int(std::lround(2 * (middle - a.x) / sqrt3 - stepR * 0.5));
        packed_[i] = {edge.a.q, edge.a.r, std::int8_t(stepQ), std::int8_t(stepR), edge.widthClass, edge.bridge};
        leftmost_ = i == 0 ? middle : std::min(leftmost_, middle);
        rightmost_ = i == 0 ? middle : std::max(rightmost_, middle);
        entries_[next[std::size_t(lower(edge) - lowest)]++] = {middle, static_cast<std::uint32_t>(i)};
    }
    for (std::size_t r = 0; r + 1 < rowStart_.size(); ++r) {
        std::sort(entries_.begin() + rowStart_[r], entries_.begin() + rowStart_[r + 1],
                  [](const Entry& a, const Entry& b) { return a.middle < b.middle; });
    }
}

void RiverIndex::mark(Point lo, Point hi) {
    if (!(lo.x <= hi.x && lo.y <= hi.y)) {
        return;
    }
    forMiddles(lo, hi, [&](const Entry& e, double) { marked_[e.index] = 1; });
}

void rasterRiverDots(RiverIndex& index, Point lo, Point hi, Point zero, Point unitX, Point unitY, int width,
                     int height, std::span<std::uint32_t> pixels, PixelKeep keep, bool onlyMarked) {
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
    const std::uint32_t colours[2][4] = {{riverPixel(0), riverPixel(1), riverPixel(2), riverPixel(3)},
                                         {bridgePixel, bridgePixel, bridgePixel, bridgePixel}};
    const double stepX = period * unitX.x;
    const double stepY = period * unitX.y;
    for (std::size_t n = 0; n < count; ++n) {
        const PackedSide& side = sides[onlyMarked ? chosen[n] : n];
        if (lo.y > side.bottom() || hi.y < side.top()) {
            continue;
        }
        const auto [mx, my] = side.middle();
        const double px = zero.x + mx * unitX.x + my * unitY.x;
        const double py = zero.y + mx * unitX.y + my * unitY.y;
        const std::uint32_t colour = colours[side.bridge][std::min<int>(side.widthClass, 3)];
        for (int k = first; k <= last; ++k) {
            const double copy = mx + k * period;
            if (lo.x > copy + 1 || hi.x < copy - 1) {
                continue;
            }
            const double cx = px + k * stepX;
            const double cy = py + k * stepY;
            if (!(std::abs(cx) < 1e6 && std::abs(cy) < 1e6)) {
                continue;
            }
            // Truncation of a positive value rounds down, cheaper than std::floor.
            const int x = int(cx + 1000000.5) - 1000000;
            const int y = int(cy + 1000000.5) - 1000000;
            // The great rivers (width class 3) are two pixels wide, so they stand out from the rest.
            const int size = side.widthClass >= 3 && !side.bridge ? 2 : 1;
            for (int dy = 0; dy < size; ++dy) {
                for (int dx = 0; dx < size; ++dx) {
                    const int dotX = x + dx;
                    const int dotY = y + dy;
                    if (dotX >= 0 && dotX < width && dotY >= 0 && dotY < height && !keep.holds(dotX, dotY)) {
                        pixels[std::size_t(dotY) * std::size_t(width) + std::size_t(dotX)] = colour;
                    }
                }
            }
        }
    }
}

} // namespace korvan
