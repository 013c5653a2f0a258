// Bucketing river sides by the place of their middles.
#include "water/river_segments.hpp"
#include "cpu/river_raster.hpp"

namespace korvan {

int RiverIndex::column(double x) const {
    const double width = period_ / columns_;
    if (wraps_) {
        double wrapped = std::fmod(x, period_);
        if (wrapped < 0) {
            wrapped += period_;
        }
        return std::min(int(wrapped / width), columns_ - 1);
    }
    return int(std::clamp(std::floor(x / width), 0.0, double(columns_ - 1)));
}

int RiverIndex::band(double y) const {
    return int(std::clamp(std::floor(y / bandHeight_), 0.0, double(bands_ - 1)));
}

void RiverIndex::build(const Map& map, unsigned generation) {
    generation_ = generation;
    map_ = &map;
    sides_ = map.rivers().data();
    count_ = map.rivers().size();
    wraps_ = map.wraps();
    period_ = map.period();
    bands_ = std::max(1, int(std::ceil((map.height() * 1.5 + 1) / bandHeight_)));
    std::vector<std::uint32_t> bucket(count_);
    starts_.assign(std::size_t(bands_) * columns_ + 1, 0);
    packed_.resize(count_);
    leftmost_ = 0;
    rightmost_ = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        const RiverEdge& edge = map.rivers()[i];
        const RiverSegment s = riverBoundary(map, edge);
        bucket[i] = std::uint32_t(band((s.a.y + s.b.y) * 0.5) * columns_ + column((s.a.x + s.b.x) * 0.5));
        // The step's q follows from the x distance riverBoundary took, across the seam too.
        const Point a = hexCenter(edge.a);
        const double middleX = (s.a.x + s.b.x) * 0.5;
        const int stepR = edge.b.r - edge.a.r;
        const int stepQ = int(std::lround(2 * (middleX - a.x) / sqrt3 - stepR * 0.5));
        packed_[i] = {edge.a.q, edge.a.r, std::int8_t(stepQ), std::int8_t(stepR), edge.widthClass, edge.bridge};
        const double middle = packed_[i].middle().x;
        leftmost_ = i == 0 ? middle : std::min(leftmost_, middle);
        rightmost_ = i == 0 ? middle : std::max(rightmost_, middle);
        ++starts_[bucket[i] + 1];
    }
    for (std::size_t b = 1; b < starts_.size(); ++b) {
        starts_[b] += starts_[b - 1];
    }
    order_.resize(count_);
    std::vector<std::uint32_t> next(starts_.begin(), starts_.end() - 1);
    for (std::size_t i = 0; i < count_; ++i) {
        order_[next[bucket[i]]++] = std::uint32_t(i);
    }
    marked_.assign(count_, 0);
}

void RiverIndex::mark(Point lo, Point hi) {
    if (!(lo.x <= hi.x && lo.y <= hi.y)) {
        return;
    }
    const int firstBand = band(lo.y);
    const int lastBand = band(hi.y);
    const double width = period_ / columns_;
    int firstColumn = 0;
    int lastColumn = columns_ - 1;
    if (!wraps_ || hi.x - lo.x < period_ - 2 * width) {
        firstColumn = column(lo.x);
        lastColumn = column(hi.x);
        if (wraps_ && lastColumn < firstColumn) {
            lastColumn += columns_; // across the seam
        }
    }
    for (int b = firstBand; b <= lastBand; ++b) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const std::size_t bucket = std::size_t(b) * columns_ + std::size_t(c % columns_);
            for (std::uint32_t k = starts_[bucket]; k < starts_[bucket + 1]; ++k) {
                marked_[order_[k]] = 1;
            }
        }
    }
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
            if (x >= 0 && x < width && y >= 0 && y < height && !keep.holds(x, y)) {
                pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = colour;
            }
        }
    }
}

} // namespace korvan
