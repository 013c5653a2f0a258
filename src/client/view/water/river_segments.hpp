// River sides as line segments in world units, repeated across the wrap seam.
#pragma once

#include "map/map.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace korvan {

// A river side's two corner points in world units.
struct RiverSegment {
    Point a;
    Point b;
};

// The side shared by the edge's two fields; on a wrapping map field b is taken at the copy next
// to a, so a side on the seam is one unit long like every other. Inline: the far overview asks for
// every side of the world in each frame.
inline RiverSegment riverBoundary(const Map& map, const RiverEdge& edge) {
    const Point a = hexCenter(edge.a);
    Point b = hexCenter(edge.b);
    // Neighbours lie well within half a period of each other except across the seam.
    if (map.wraps() && !(std::abs(a.x - b.x) < 0.25 * map.period())) {
        b.x += roundHalfAway((a.x - b.x) / map.period()) * map.period();
    }
    const Point middle = (a + b) * 0.5;
    const Point half{(b.y - a.y) / -sqrt3 * 0.5, (b.x - a.x) / sqrt3 * 0.5};
    return {middle - half, middle + half};
}

namespace detail {

// ceil (up) or floor of v / period through the reciprocal; the division decides only near a whole
// number, where the two could differ.
inline int wholePeriods(double v, double period, double reciprocal, bool up) {
    const double t = v * reciprocal;
    const double whole = up ? std::ceil(t) : std::floor(t);
    const double gap = std::abs(whole - t);
    if (gap > 1e-9 && gap < 1 - 1e-9 && std::abs(t) < 1e6) {
        return static_cast<int>(whole);
    }
    return static_cast<int>(up ? std::ceil(v / period) : std::floor(v / period));
}

} // namespace detail

// Calls action(a, b) for every copy of the side from a to b whose midpoint lies within lo..hi widened
// by one unit (see riverSegments), once its fields' rows top..bottom (widened by one) meet lo..hi;
// period is the map's when it wraps, else 0, and reciprocal its inverse.
template <typename Action>
void sideCopies(Point a, Point b, double top, double bottom, Point lo, Point hi, double period, double reciprocal,
                Action&& action) {
    if (lo.y > bottom || hi.y < top) {
        return;
    }
    const double middle = (a.x + b.x) * 0.5;
    int first = 0;
    int last = 0;
    if (period > 0) {
        first = detail::wholePeriods(lo.x - middle - 1, period, reciprocal, true);
        last = detail::wholePeriods(hi.x - middle + 1, period, reciprocal, false);
    }
    for (int k = first; k <= last; ++k) {
        const double shift = k * period;
        if (lo.x > middle + shift + 1 || hi.x < middle + shift - 1) {
            continue;
        }
        action(Point{a.x + shift, a.y}, Point{b.x + shift, b.y});
    }
}

// Calls action for every copy of river side index whose midpoint lies within lo..hi widened by one
// unit (see riverSegments); reciprocal is 1 / map.period().
template <typename Action>
void riverSideCopies(const Map& map, Point lo, Point hi, std::size_t index, double reciprocal, Action&& action) {
    const RiverEdge& edge = map.rivers()[index];
    const double top = std::min(edge.a.r, edge.b.r) * 1.5 - 1;
    const double bottom = std::max(edge.a.r, edge.b.r) * 1.5 + 1;
    if (lo.y > bottom || hi.y < top) {
        return;
    }
    const RiverSegment s = riverBoundary(map, edge);
    sideCopies(s.a, s.b, top, bottom, lo, hi, map.wraps() ? map.period() : 0, reciprocal,
               [&](Point a, Point b) { action(a, b, edge, index); });
}

// A river side packed small, as the far overview walks all of them in every frame: field a and the
// step to b (taken at the copy next to a), and how the side is drawn.
struct PackedSide {
    std::int32_t q = 0;
    std::int32_t r = 0;
    std::int8_t stepQ = 0;
    std::int8_t stepR = 0;
    std::uint8_t widthClass = 1;
    bool bridge = false;

    // riverBoundary of the side, up to rounding.
    RiverSegment corners() const {
        const Point a{(q + r * 0.5) * sqrt3, r * 1.5};
        const Point step{(stepQ + stepR * 0.5) * sqrt3, stepR * 1.5};
        const Point middle = a + step * 0.5;
        const Point half{step.y / -sqrt3 * 0.5, step.x / sqrt3 * 0.5};
        return {middle - half, middle + half};
    }
    // The middle of the side: halfway between the two fields' centres.
    Point middle() const {
        const double r2 = r + stepR * 0.5;
        return {(q + stepQ * 0.5 + r2 * 0.5) * sqrt3, r2 * 1.5};
    }
    double top() const { return (r + std::min(0, int(stepR))) * 1.5 - 1; }
    double bottom() const { return (r + std::max(0, int(stepR))) * 1.5 + 1; }
};

// A river side drawn as a dot in a raster: its pixel (a great river's the upper left of four) and colour.
struct RiverDot {
    std::int32_t x;
    std::int32_t y;
    std::uint32_t colour;

    bool operator==(const RiverDot&) const = default;
};

// Dots appended without a branch apiece: room is made for a block of candidates, each candidate is
// written at the end and the end moves on only when it belongs. Far out, whether a side's copy shows
// is as good as random, and a mispredicted branch per candidate cost more than the rest.
class DotList {
public:
    void clear() { size_ = 0; }
    // Makes room for `more` further dots and returns where the next one goes; what the list holds stays.
    RiverDot* room(std::size_t more) {
        if (size_ + more > capacity_) {
            const std::size_t capacity = std::max(size_ + more, 2 * capacity_);
            auto grown = std::make_unique_for_overwrite<RiverDot[]>(capacity);
            std::copy(dots_.get(), dots_.get() + size_, grown.get());
            dots_ = std::move(grown);
            capacity_ = capacity;
        }
        return dots_.get() + size_;
    }
    // The list now ends at end, which lies within the room last made.
    void endAt(const RiverDot* end) { size_ = std::size_t(end - dots_.get()); }
    std::size_t size() const { return size_; }
    const RiverDot* begin() const { return dots_.get(); }
    const RiverDot* end() const { return dots_.get() + size_; }

private:
    std::unique_ptr<RiverDot[]> dots_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Calls action(a, b, edge, edgeIndex) for every copy of every river side whose midpoint lies within
// the world rectangle lo..hi widened by one unit; a and b are shifted by whole periods to that copy.
template <typename Action>
void riverSegments(const Map& map, Point lo, Point hi, Action&& action) {
    const double reciprocal = 1 / map.period();
    for (std::size_t index = 0; index < map.rivers().size(); ++index) {
        riverSideCopies(map, lo, hi, index, reciprocal, action);
    }
}

// The river sides of one map grouped by their lower row and sorted by the x of their middles
// within a row, with each side also packed in list order. A view, or a few thin strips of one,
// finds its sides by a binary search per row and copy instead of a walk over every side: a view
// close in shows a few hundred of the play grid's two hundred thousand sides.
class RiverIndex {
public:
    // Whether the index was built for this map's side list.
    bool covers(const Map& map) const {
        return map_ == &map && sides_ == map.rivers().data() && count_ == map.rivers().size();
    }
    // Whether it still describes the map: a bridge built since (a new map generation) changes a
    // packed side's flag without moving the list.
    bool current(const Map& map, unsigned generation) const { return covers(map) && generation_ == generation; }
    void build(const Map& map, unsigned generation = 0);

    // Calls action(a, b, edge, edgeIndex) for the sides and copies riverSegments gives, row by row
    // and from west to east within a row, building the index first when it is not current.
    template <typename Action>
    void forSegments(const Map& map, unsigned generation, Point lo, Point hi, Action&& action);

    // Marks every side with a copy whose middle may lie within lo..hi.
    void mark(Point lo, Point hi);

    // Calls visit(index) for the marked sides in list order and clears the marks.
    template <typename Visit>
    void takeMarked(Visit&& visit) {
        for (std::size_t i = 0; i < marked_.size(); ++i) {
            if (marked_[i]) {
                marked_[i] = 0;
                visit(i);
            }
        }
    }

    // The map's sides in list order, packed.
    const std::vector<PackedSide>& sides() const { return packed_; }
    // The period sideCopies takes: the map's when it wraps, else 0.
    double copyPeriod() const { return wraps_ ? period_ : 0; }
    // The sides' middles and styles, each in a list of its own in list order, for loops that take
    // several sides at once; made by spreadMiddles when first needed, as only the far overview needs
    // them. A style's low three bits are the width class (at most 3) or 4 for a bridge; bit 3 says
    // the side lies between two rows, so its rows reach three quarters of a unit further.
    void spreadMiddles();
    const std::vector<double>& middlesX() const { return middleX_; }
    const std::vector<double>& middlesY() const { return middleY_; }
    const std::vector<std::uint8_t>& sideStyles() const { return style_; }
    // A raster's scratch lists, kept so that each frame does not ask for fresh memory.
    std::array<DotList, 4>& dots() { return dots_; }
    // The least and the greatest x of the sides' middles.
    double leftmostMiddle() const { return leftmost_; }
    double rightmostMiddle() const { return rightmost_; }

private:
    struct Entry {
        double middle; // x of the side's midpoint
        std::uint32_t index;
    };
    // Calls visit(entry, shift) for every side whose middle, moved by a whole number of periods
    // (shift), lies within lo.x..hi.x widened by one unit, in a row that can reach lo.y..hi.y.
    template <typename Visit>
    void forMiddles(Point lo, Point hi, Visit&& visit) const;

    unsigned generation_ = 0;
    const Map* map_ = nullptr;
    const RiverEdge* sides_ = nullptr;
    std::size_t count_ = 0;
    bool wraps_ = false;
    double period_ = 1;
    int firstRow_ = 0;
    std::vector<std::uint32_t> rowStart_; // per lower row from firstRow_ into entries_, one extra at the end
    std::vector<Entry> entries_;          // by lower row, then by middle
    std::vector<std::uint8_t> marked_;
    std::vector<PackedSide> packed_;
    std::vector<double> middleX_;
    std::vector<double> middleY_;
    std::vector<std::uint8_t> style_;
    std::array<DotList, 4> dots_;
    double leftmost_ = 0;
    double rightmost_ = 0;
};

template <typename Visit>
void RiverIndex::forMiddles(Point lo, Point hi, Visit&& visit) const {
    if (entries_.empty()) {
        return;
    }
    // A side's upper row is at most one below its lower one.
    const double rows = double(rowStart_.size() - 1);
    const auto firstRow = std::size_t(std::clamp(std::ceil((lo.y - 1) / 1.5) - 1 - firstRow_, 0.0, rows));
    const auto endRow = std::size_t(std::clamp(std::floor((hi.y + 1) / 1.5) + 1 - firstRow_, 0.0, rows));
    int firstCopy = 0;
    int lastCopy = 0;
    if (wraps_) {
        firstCopy = static_cast<int>(std::ceil((lo.x - rightmost_ - 1) / period_));
        lastCopy = static_cast<int>(std::floor((hi.x - leftmost_ + 1) / period_));
    }
    const auto before = [](const Entry& e, double x) { return e.middle < x; };
    for (std::size_t row = firstRow; row < endRow; ++row) {
        const auto begin = entries_.begin() + rowStart_[row];
        const auto end = entries_.begin() + rowStart_[row + 1];
        for (int copy = firstCopy; copy <= lastCopy; ++copy) {
            const double shift = copy * period_;
            for (auto e = std::lower_bound(begin, end, lo.x - 1 - shift, before);
                 e != end && e->middle + shift <= hi.x + 1; ++e) {
                visit(*e, shift);
            }
        }
    }
}

template <typename Action>
void RiverIndex::forSegments(const Map& map, unsigned generation, Point lo, Point hi, Action&& action) {
    if (!current(map, generation)) {
        build(map, generation);
    }
    const auto& rivers = map.rivers();
    forMiddles(lo, hi, [&](const Entry& e, double shift) {
        const RiverEdge& edge = rivers[e.index];
        if (lo.y > std::max(edge.a.r, edge.b.r) * 1.5 + 1 || hi.y < std::min(edge.a.r, edge.b.r) * 1.5 - 1) {
            return;
        }
        const RiverSegment s = riverBoundary(map, edge);
        action(Point{s.a.x + shift, s.a.y}, Point{s.b.x + shift, s.b.y}, edge, std::size_t(e.index));
    });
}

} // namespace korvan
