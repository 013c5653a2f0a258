// Resolving overlapping spans into the disjoint runs of each row.
#include "core/row_runs.hpp"

#include <set>
#include <tuple>

namespace korvan {

namespace {

void append(std::vector<RowRuns::Run>& row, int start, int end, std::uint32_t value) {
    if (!row.empty() && row.back().end == start && row.back().value == value) {
        row.back().end = end;
    } else {
        row.push_back({start, end, value});
    }
}

// A sweep over the span ends of one row: between two ends, the earliest open span decides.
void resolveRow(const std::vector<RowRuns::Span>& spans, const std::vector<std::size_t>& order,
                std::vector<RowRuns::Run>& row) {
    struct End {
        int column;
        bool opens;
        std::size_t span;
    };
    std::vector<End> ends;
    ends.reserve(2 * order.size());
    for (const std::size_t k : order) {
        ends.push_back({spans[k].start, true, k});
        ends.push_back({spans[k].end, false, k});
    }
    std::sort(ends.begin(), ends.end(),
              [](const End& a, const End& b) { return std::tie(a.column, a.opens) < std::tie(b.column, b.opens); });
    std::set<std::size_t> open;
    int from = 0;
    for (const End& end : ends) {
        if (!open.empty() && end.column > from) {
            append(row, from, end.column, spans[*open.begin()].value);
        }
        from = end.column;
        if (end.opens) {
            open.insert(end.span);
        } else {
            open.erase(end.span);
        }
    }
}

} // namespace

RowRuns::RowRuns(int height, const std::vector<Span>& spans) : rows_(static_cast<std::size_t>(height)) {
    std::vector<std::vector<std::size_t>> byRow(rows_.size());
    for (std::size_t k = 0; k < spans.size(); ++k) {
        if (spans[k].start < spans[k].end) {
            byRow[static_cast<std::size_t>(spans[k].row)].push_back(k);
        }
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        resolveRow(spans, byRow[r], rows_[r]);
    }
}

std::optional<std::uint32_t> RowRuns::at(int row, int column) const {
    if (row < 0 || row >= height()) {
        return std::nullopt;
    }
    const Run* run = findRun(rows_[static_cast<std::size_t>(row)], column);
    return run != nullptr ? std::optional(run->value) : std::nullopt;
}

} // namespace korvan
