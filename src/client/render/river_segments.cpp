// Bucketing river sides by the place of their middles.
#include "render/river_segments.hpp"

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

void RiverIndex::build(const Map& map) {
    map_ = &map;
    sides_ = map.rivers().data();
    count_ = map.rivers().size();
    wraps_ = map.wraps();
    period_ = map.period();
    bands_ = std::max(1, int(std::ceil((map.height() * 1.5 + 1) / bandHeight_)));
    std::vector<std::uint32_t> bucket(count_);
    starts_.assign(std::size_t(bands_) * columns_ + 1, 0);
    for (std::size_t i = 0; i < count_; ++i) {
        const RiverSegment s = riverBoundary(map, map.rivers()[i]);
        bucket[i] = std::uint32_t(band((s.a.y + s.b.y) * 0.5) * columns_ + column((s.a.x + s.b.x) * 0.5));
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

} // namespace korvan
