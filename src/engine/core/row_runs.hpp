// Raster cells given as runs of columns per row, stored as runs: a list of spans across whole rows
// costs a few bytes per span, not one entry per cell.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

namespace korvan {

// The run of a row (sorted by start, disjoint, each with start and one-past-the-end columns) that
// holds the column, if any: a binary search.
template <typename Run>
const Run* findRun(const std::vector<Run>& row, int column) {
    const auto after =
        std::upper_bound(row.begin(), row.end(), column, [](int c, const Run& run) { return c < run.start; });
    if (after == row.begin()) {
        return nullptr;
    }
    const Run& run = *std::prev(after);
    return column < run.end ? &run : nullptr;
}

class RowRuns {
public:
    // Columns [start, end) of a row, carrying a value.
    struct Span {
        int row = 0;
        int start = 0;
        int end = 0;
        std::uint32_t value = 0;
    };
    struct Run {
        int start = 0;
        int end = 0;
        std::uint32_t value = 0;

        friend bool operator==(const Run&, const Run&) = default;
    };

    RowRuns() = default;
    // Spans must lie inside the rows [0, height). Where spans overlap, a cell keeps the value of the
    // first span in the list that covers it; neighbouring runs of one value are joined.
    RowRuns(int height, const std::vector<Span>& spans);

    std::optional<std::uint32_t> at(int row, int column) const;
    const std::vector<Run>& runs(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int height() const { return static_cast<int>(rows_.size()); }

private:
    std::vector<std::vector<Run>> rows_;
};

} // namespace korvan
