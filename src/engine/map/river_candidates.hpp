// The grid edges that source river sides cross, collected per edge with the sides that cross it:
// the first step of re-tracing rivers on the play grid.
#pragma once

#include "core/flat_key_map.hpp"
#include "core/hex.hpp"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace korvan {

inline constexpr std::uint32_t noContribution = std::numeric_limits<std::uint32_t>::max();

// A grid edge a source side crosses, as the side's geometry finds it.
struct SideHit {
    std::uint64_t key; // the edge's key on the grid
    Hex from;
    Hex to;
    Point start; // the side's ends relative to the centre of from
    Point end;
    bool crossed; // the side passes from one side of the line between the two field centres to the other
};

// One source side seen from a candidate edge. A candidate's contributions form a chain in the
// order of their sides.
struct Contribution {
    std::uint32_t source;
    std::uint32_t next = noContribution; // the candidate's next contribution
    Point start; // as in the side's hit, relative to the centre of the candidate's first field
    Point end;
    bool crossed;
};

struct Candidate {
    Hex from;
    Hex to;
    std::uint32_t first = noContribution;
    std::uint32_t last = noContribution;
    // Sides are entered one after another, so a repeated contribution can only come from the side
    // that contributed last.
    std::uint32_t lastSource = noContribution;
};

// The candidate edges of a run of sides, in the order they were first crossed, with their
// contributions.
class CandidateTable {
public:
    explicit CandidateTable(std::size_t sides) : index_(sides * 2) {
        // About 1.6 candidates and 1.8 contributions per source side on the shipped world.
        candidates.reserve(sides * 2);
        contributions.reserve(sides * 2);
    }

    // Starts loading the index slots of a side's hits, to be entered a little later.
    void prefetch(const std::vector<SideHit>& hits) const {
        for (const SideHit& hit : hits) {
            index_.prefetch(hit.key);
        }
    }

    // Enters a side's hits; sides come in increasing order.
    void enter(std::uint32_t side, const std::vector<SideHit>& hits) {
        for (const SideHit& hit : hits) {
            Candidate& candidate = candidates[slot(hit.key, hit.from, hit.to)];
            if (candidate.lastSource != side) {
                candidate.lastSource = side;
                link(candidate, {side, noContribution, hit.start, hit.end, hit.crossed});
            }
        }
    }

    std::vector<Candidate> candidates;
    std::vector<Contribution> contributions;

private:
    std::uint32_t slot(std::uint64_t key, Hex from, Hex to) {
        const auto [found, added] = index_.tryEmplace(key, static_cast<std::uint32_t>(candidates.size()));
        if (added) {
            candidates.push_back({from, to});
        }
        return found;
    }

    void link(Candidate& candidate, const Contribution& part) {
        const auto k = static_cast<std::uint32_t>(contributions.size());
        contributions.push_back(part);
        if (candidate.first == noContribution) {
            candidate.first = k;
        } else {
            contributions[candidate.last].next = k;
        }
        candidate.last = k;
    }

    FlatKeyMap index_;
};

// The table of sides 0 .. count - 1, where findHits(side, hits) appends a side's hits to an empty list.
template <typename FindHits>
CandidateTable collectCandidates(std::size_t count, const FindHits& findHits) {
    // A side's hits are prefetched and entered while the next side's are found: the index is far
    // larger than the caches and consecutive sides rarely share slots, so the lookups would
    // otherwise wait for memory one by one.
    CandidateTable table(count);
    std::vector<SideHit> found;
    std::vector<SideHit> entering;
    for (std::size_t side = 0; side < count; ++side) {
        findHits(side, found);
        table.prefetch(found);
        if (side > 0) {
            table.enter(static_cast<std::uint32_t>(side - 1), entering);
        }
        std::swap(found, entering);
        found.clear();
    }
    if (count > 0) {
        table.enter(static_cast<std::uint32_t>(count - 1), entering);
    }
    return table;
}

} // namespace korvan
