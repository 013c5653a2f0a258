#include "operations/operation_area.hpp"

#include <array>

namespace korvan {

namespace {

constexpr std::array<Hex, 6> steps{{{1, 0}, {1, -1}, {0, -1}, {-1, 0}, {-1, 1}, {0, 1}}};

} // namespace

OperationArea::OperationArea(const Map& map, Hex centre, int radius)
    : map_(map), centre_(centre), radius_(radius), side_(2 * radius + 1),
      joined_(std::size_t(side_) * std::size_t(side_), 0) {
    const auto isLand = [&](Hex offset) {
        const auto f = field(offset);
        return f && map_.terrainAt(*f) != Terrain::Water;
    };
    for (const Hex offset : offsets()) {
        fields_ += field(offset).has_value();
    }
    if (!isLand({0, 0})) {
        return;
    }
    std::vector<Hex> queue{{0, 0}};
    joined_[*slot({0, 0})] = 1;
    for (std::size_t next = 0; next < queue.size(); ++next) {
        for (const Hex step : steps) {
            const Hex n = queue[next] + step;
            const auto s = slot(n);
            if (s && !joined_[*s] && isLand(n)) {
                joined_[*s] = 1;
                queue.push_back(n);
            }
        }
    }
    joinedCount_ = static_cast<int>(queue.size());
}

std::optional<std::size_t> OperationArea::slot(Hex offset) const {
    if (hexDistance(offset, {0, 0}) > radius_) {
        return std::nullopt;
    }
    return std::size_t(offset.r + radius_) * std::size_t(side_) + std::size_t(offset.q + radius_);
}

std::optional<Hex> OperationArea::field(Hex offset) const {
    if (!slot(offset)) {
        return std::nullopt;
    }
    return map_.canonical(centre_ + offset);
}

Hex OperationArea::offsetOf(Hex f) const {
    Hex best{f.q - centre_.q, f.r - centre_.r};
    if (map_.wraps()) {
        for (const int shift : {-map_.width(), map_.width()}) {
            const Hex candidate{best.q + shift, best.r};
            if (hexDistance(candidate, {0, 0}) < hexDistance(best, {0, 0})) {
                best = candidate;
            }
        }
    }
    return best;
}

bool OperationArea::joined(Hex offset) const {
    const auto s = slot(offset);
    return s && joined_[*s] != 0;
}

std::vector<Hex> OperationArea::offsets() const {
    std::vector<Hex> result;
    for (int r = -radius_; r <= radius_; ++r) {
        for (int q = -radius_; q <= radius_; ++q) {
            if (hexDistance({q, r}, {0, 0}) <= radius_) {
                result.push_back({q, r});
            }
        }
    }
    return result;
}

} // namespace korvan
