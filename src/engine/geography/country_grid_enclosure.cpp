// Run-length union-find over the gaps of the country grid, filling those enclosed by one country.
#include "geography/country_grid_enclosure.hpp"

#include <algorithm>
#include <numeric>

namespace korvan {

namespace {

struct Run {
    int row;
    int start;
    int end; // exclusive
};

// Component owner while scanning: a country index, "nothing seen yet" or "open".
constexpr std::int32_t unseen = CountryGrid::noOwner;
constexpr std::int32_t open = -1;

class RunForest {
public:
    explicit RunForest(std::size_t size) : parent_(size) { std::iota(parent_.begin(), parent_.end(), 0u); }

    std::uint32_t find(std::uint32_t x) {
        while (parent_[x] != x) {
            parent_[x] = parent_[parent_[x]]; // path halving
            x = parent_[x];
        }
        return x;
    }

    // The smaller index becomes the root, so a component's root is its first run in row order.
    void join(std::uint32_t a, std::uint32_t b) {
        a = find(a);
        b = find(b);
        if (a != b) {
            parent_[std::max(a, b)] = std::min(a, b);
        }
    }

private:
    std::vector<std::uint32_t> parent_;
};

struct Runs {
    std::vector<Run> runs;
    std::vector<std::size_t> rowBegin; // runs of row r are [rowBegin[r], rowBegin[r + 1])
};

Runs collectRuns(const std::vector<std::uint16_t>& cells, int width, int height) {
    Runs result;
    result.rowBegin.reserve(static_cast<std::size_t>(height) + 1);
    for (int r = 0; r < height; ++r) {
        result.rowBegin.push_back(result.runs.size());
        const std::uint16_t* row = cells.data() + std::size_t(r) * std::size_t(width);
        int c = 0;
        while (c < width) {
            while (c < width && CountryGrid::inTerritory(row[c])) {
                ++c;
            }
            const int start = c;
            while (c < width && !CountryGrid::inTerritory(row[c])) {
                ++c;
            }
            if (c > start) {
                result.runs.push_back({r, start, c});
            }
        }
    }
    result.rowBegin.push_back(result.runs.size());
    return result;
}

void joinRuns(const Runs& all, int width, int height, bool wraps, RunForest& forest) {
    const auto& runs = all.runs;
    for (int r = 0; r < height; ++r) {
        const std::size_t begin = all.rowBegin[std::size_t(r)];
        const std::size_t end = all.rowBegin[std::size_t(r) + 1];
        if (wraps && end - begin >= 2 && runs[begin].start == 0 && runs[end - 1].end == width) {
            forest.join(std::uint32_t(begin), std::uint32_t(end - 1));
        }
        if (r + 1 >= height) {
            continue;
        }
        const auto below = runs.begin() + std::ptrdiff_t(all.rowBegin[std::size_t(r) + 1]);
        const auto belowEnd = runs.begin() + std::ptrdiff_t(all.rowBegin[std::size_t(r) + 2]);
        for (std::size_t k = begin; k < end; ++k) {
            // The two lower neighbours of column c are c - 1 and c on even rows, c and c + 1 on odd rows.
            const int f0 = r % 2 == 0 ? runs[k].start - 1 : runs[k].start;
            const int e0 = r % 2 == 0 ? runs[k].end : runs[k].end + 1;
            for (const int shift : {0, -width, width}) {
                if (shift != 0 && !wraps) {
                    break;
                }
                const int f = f0 + shift;
                const int e = e0 + shift;
                if (e <= 0 || f >= width) {
                    continue;
                }
                auto it = std::partition_point(below, belowEnd, [f](const Run& run) { return run.end <= f; });
                for (; it != belowEnd && it->start < e; ++it) {
                    forest.join(std::uint32_t(k), std::uint32_t(it - runs.begin()));
                }
            }
        }
    }
}

// Looks at every cell bordering a run and merges what it finds into the component's owner.
class OwnerScan {
public:
    OwnerScan(const std::vector<std::uint16_t>& cells, int width, int height, bool wraps)
        : cells_(cells), width_(width), height_(height), wraps_(wraps) {}

    void scan(const Run& run, std::int32_t& owner) const {
        look(run.row, run.start - 1, owner);
        look(run.row, run.end, owner);
        const int first = run.row % 2 == 0 ? run.start - 1 : run.start;
        const int last = run.row % 2 == 0 ? run.end : run.end + 1; // exclusive
        for (const int r : {run.row - 1, run.row + 1}) {
            for (int c = first; c < last && owner != open; ++c) {
                look(r, c, owner);
            }
        }
    }

private:
    void look(int row, int column, std::int32_t& owner) const {
        if (row < 0 || row >= height_) {
            owner = open;
            return;
        }
        if (column < 0 || column >= width_) {
            if (!wraps_) {
                owner = open;
                return;
            }
            column = (column % width_ + width_) % width_;
        }
        const std::uint16_t cell = cells_[std::size_t(row) * std::size_t(width_) + std::size_t(column)];
        if (!CountryGrid::inTerritory(cell)) {
            return; // part of the gap itself
        }
        if (owner == unseen) {
            owner = cell;
        } else if (owner != cell) {
            owner = open;
        }
    }

    const std::vector<std::uint16_t>& cells_;
    int width_;
    int height_;
    bool wraps_;
};

} // namespace

void fillEnclosedGaps(std::vector<std::uint16_t>& cells, int width, int height, bool wraps,
                      CountryGrid::Statistics& statistics) {
    const Runs all = collectRuns(cells, width, height);
    const auto& runs = all.runs;
    RunForest forest(runs.size());
    joinRuns(all, width, height, wraps, forest);

    std::vector<std::uint32_t> root(runs.size());
    for (std::size_t k = 0; k < runs.size(); ++k) {
        root[k] = forest.find(std::uint32_t(k));
    }
    // Indexed by root; runs of an open component need no further look.
    std::vector<std::int32_t> owner(runs.size(), unseen);
    const OwnerScan scan(cells, width, height, wraps);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        std::int32_t& o = owner[root[k]];
        if (o != open) {
            scan.scan(runs[k], o);
        }
    }
    std::vector<std::size_t> size(runs.size(), 0);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        size[root[k]] += std::size_t(runs[k].end - runs[k].start);
    }
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (root[k] != k) {
            continue;
        }
        if (owner[k] >= 0 && owner[k] != unseen) {
            ++statistics.enclosedComponents;
            statistics.enclosedFields += size[k];
        } else {
            ++statistics.openComponents;
            statistics.openFields += size[k];
        }
    }
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const std::int32_t o = owner[root[k]];
        if (o >= 0 && o != unseen) {
            std::uint16_t* row = cells.data() + std::size_t(runs[k].row) * std::size_t(width);
            std::fill(row + runs[k].start, row + runs[k].end, static_cast<std::uint16_t>(o));
        }
    }
}

} // namespace korvan
