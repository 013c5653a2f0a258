// Country outlines from the grid: border edges, polylines joined at hex corners, and leftover holes.
#include "geography/country_grid.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace korvan {

namespace {

// Corners of the hex lattice lie at multiples of sqrt(3)/2 in x and 1/2 in y: scaled and
// rounded they give distinct integer keys.
std::uint64_t cornerKey(Point p) {
    const auto x = static_cast<std::uint64_t>(std::llround(2.0 * p.x / sqrt3));
    const auto y = static_cast<std::uint32_t>(std::llround(2.0 * p.y));
    return (x << 32) ^ y;
}

using Edge = std::pair<Point, Point>;

// The first column from `from` on whose cell holds the value, or width. Most of a country's rows are
// other cells: blocks of them are passed over in one vector compare.
int nextCellOf(const std::uint16_t* row, int from, int width, std::uint16_t value) {
    constexpr int block = 32;
    int c = from;
    for (; c + block <= width; c += block) {
        unsigned hits = 0;
        for (int k = 0; k < block; ++k) {
            hits |= unsigned(row[c + k] == value);
        }
        if (hits != 0) {
            break;
        }
    }
    while (c < width && row[c] != value) {
        ++c;
    }
    return c;
}

// Joins edges that meet end to start into polylines; open chains first, then closed rings.
class ChainWalk {
public:
    ChainWalk(const std::vector<Edge>& edges, std::size_t maximumPoints)
        : edges_(edges), maximumPoints_(std::max<std::size_t>(maximumPoints, 2)), used_(edges.size(), false) {
        byStart_.reserve(edges.size());
        ends_.reserve(edges.size());
        for (std::size_t k = 0; k < edges.size(); ++k) {
            byStart_.push_back({cornerKey(edges[k].first), k});
            ends_.push_back(cornerKey(edges[k].second));
        }
        std::sort(byStart_.begin(), byStart_.end());
        std::sort(ends_.begin(), ends_.end());
    }

    std::vector<std::vector<Point>> run() {
        for (std::size_t k = 0; k < edges_.size(); ++k) {
            if (!used_[k] && !std::binary_search(ends_.begin(), ends_.end(), startKey(k))) {
                walk(k);
            }
        }
        for (std::size_t k = 0; k < edges_.size(); ++k) {
            if (!used_[k]) {
                walk(k);
            }
        }
        return std::move(lines_);
    }

private:
    std::uint64_t startKey(std::size_t edge) const { return cornerKey(edges_[edge].first); }

    // An unused edge starting at the key; edges sharing a start are taken in list order.
    std::optional<std::size_t> next(std::uint64_t key) {
        auto it = std::lower_bound(byStart_.begin(), byStart_.end(), std::pair<std::uint64_t, std::size_t>{key, 0});
        for (; it != byStart_.end() && it->first == key; ++it) {
            if (!used_[it->second]) {
                return it->second;
            }
        }
        return std::nullopt;
    }

    void walk(std::size_t edge) {
        std::vector<Point> line{edges_[edge].first};
        for (std::optional<std::size_t> e = edge; e;) {
            used_[*e] = true;
            const Point end = edges_[*e].second;
            line.push_back(end);
            if (line.size() >= maximumPoints_) {
                lines_.push_back(std::move(line));
                line = {end};
            }
            e = next(cornerKey(end));
        }
        if (line.size() > 1) {
            lines_.push_back(std::move(line));
        }
    }

    const std::vector<Edge>& edges_;
    std::size_t maximumPoints_;
    std::vector<bool> used_;
    std::vector<std::pair<std::uint64_t, std::size_t>> byStart_;
    std::vector<std::uint64_t> ends_;
    std::vector<std::vector<Point>> lines_;
};

} // namespace

std::vector<std::pair<Point, Point>> CountryGrid::outline(const Map& map, std::size_t country) const {
    std::vector<Edge> edges;
    const auto span = rows(country);
    if (!span || !matches(map)) {
        return edges;
    }
    const auto own = static_cast<std::uint16_t>(country);
    for (int r = span->first; r <= span->second; ++r) {
        const std::uint16_t* const row = cells_.data() + std::size_t(r) * std::size_t(width_);
        // Rows above and below hold a field's neighbours at columns c - shift and c - shift + 1.
        const bool innerRow = r > 0 && r + 1 < height_;
        const std::uint16_t* const above = innerRow ? row - width_ : nullptr;
        const std::uint16_t* const below = innerRow ? row + width_ : nullptr;
        const int shift = r % 2 == 0 ? 1 : 0;
        for (int c = nextCellOf(row, 0, width_, own); c < width_; c = nextCellOf(row, c + 1, width_, own)) {
            // Most of a country's fields lie inside it, with no side on its border.
            if (innerRow && c > 0 && c + 1 < width_ && row[c - 1] == own && row[c + 1] == own &&
                above[c - shift] == own && above[c - shift + 1] == own && below[c - shift] == own &&
                below[c - shift + 1] == own) {
                continue;
            }
            const auto neighbours = adjacentCells(map, c, r);
            std::optional<std::array<Point, 6>> points;
            for (std::size_t i = 0; i < 6; ++i) {
                const int n = neighbours[i];
                // A neighbour off the map, on marine water or of another owner borders the country.
                if (n >= 0 && cells_[std::size_t(n)] == own) {
                    continue;
                }
                if (!points) {
                    points = corners(map.hexAt(c, r));
                }
                edges.push_back({(*points)[(7 - i) % 6], (*points)[(8 - i) % 6]});
            }
        }
    }
    return edges;
}

std::vector<std::vector<Point>> CountryGrid::outlineLines(const Map& map, std::size_t country,
                                                          std::size_t maximumPoints) const {
    const auto edges = outline(map, country);
    if (edges.empty()) {
        return {};
    }
    return ChainWalk(edges, maximumPoints).run();
}

std::vector<CountryGrid::Hole> CountryGrid::holes(const Map& map) const {
    std::vector<Hole> result;
    if (!matches(map)) {
        return result;
    }
    std::vector<bool> seen(cells_.size(), false);
    std::vector<int> stack;
    for (std::size_t start = 0; start < cells_.size(); ++start) {
        if (seen[start] || inTerritory(cells_[start])) {
            continue;
        }
        seen[start] = true;
        stack.assign(1, int(start));
        std::size_t fields = 0;
        bool open = false;
        std::int32_t owner = noOwner;
        while (!stack.empty()) {
            const int index = stack.back();
            stack.pop_back();
            ++fields;
            for (const int n : adjacentCells(map, index % width_, index / width_)) {
                if (n < 0) {
                    open = true;
                } else if (inTerritory(cells_[std::size_t(n)])) {
                    if (owner == noOwner) {
                        owner = cells_[std::size_t(n)];
                    } else if (owner != cells_[std::size_t(n)]) {
                        open = true;
                    }
                } else if (!seen[std::size_t(n)]) {
                    seen[std::size_t(n)] = true;
                    stack.push_back(n);
                }
            }
        }
        if (!open && owner != noOwner) {
            const int index = int(start);
            result.push_back({std::size_t(owner), map.hexAt(index % width_, index / width_), fields});
        }
    }
    return result;
}

} // namespace korvan
