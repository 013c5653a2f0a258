// The grid edges that source river sides cross, collected per edge with the sides that cross it:
// the first step of re-tracing rivers on the play grid.
#pragma once

#include "core/containers/flat_key_map.hpp"
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
    Hex rawFrom; // from as the side met it, before wrapping east-west
    bool crossed; // the side passes from one side of the line between the two field centres to the other
};

// A source side that crosses a candidate edge (see SideHit::crossed). A candidate's contributions
// form a chain in the order of their sides; sides that only touch the edge are not kept. The side's
// geometry is found again from its number when needed, which keeps a contribution at 16 bytes.
struct Contribution {
    std::uint32_t source;
    std::uint32_t next = noContribution; // the candidate's next contribution
    Hex rawFrom; // as in the side's hit
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

// The candidate edges of a run of sides, in the order they were first met, with their
// contributions.
struct Candidates {
    std::vector<Candidate> candidates;
    std::vector<Contribution> contributions;
};

// Collects the candidates; the index from edge keys to them is needed only while sides are entered.
class CandidateTable {
public:
    explicit CandidateTable(std::size_t sides) : index_(sides * 2) {
        // About 1.6 candidates and 1.8 hits per source side on the shipped world.
        found.candidates.reserve(sides * 2);
        found.contributions.reserve(sides * 2);
    }

    // Starts loading the index slots of a side's hits, to be entered a little later.
    void prefetch(const std::vector<SideHit>& hits) const {
        for (const SideHit& hit : hits) {
            index_.prefetch(hit.key);
        }
    }

    // Enters a side's hits; sides come in increasing order. Only a side's first hit on an edge
    // counts, whether it crosses or not.
    void enter(std::uint32_t side, const std::vector<SideHit>& hits) {
        for (const SideHit& hit : hits) {
            Candidate& candidate = found.candidates[slot(hit.key, hit.from, hit.to)];
            if (candidate.lastSource != side) {
                candidate.lastSource = side;
                if (hit.crossed) {
                    link(candidate, {side, noContribution, hit.rawFrom});
                }
            }
        }
    }

    Candidates found;

private:
    std::uint32_t slot(std::uint64_t key, Hex from, Hex to) {
        const auto [index, added] = index_.tryEmplace(key, static_cast<std::uint32_t>(found.candidates.size()));
        if (added) {
            found.candidates.push_back({from, to});
        }
        return index;
    }

    void link(Candidate& candidate, const Contribution& part) {
        std::vector<Contribution>& contributions = found.contributions;
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

// The candidates of sides 0 .. count - 1, where findHits(side, hits) appends a side's hits to an
// empty list.
template <typename FindHits>
Candidates collectCandidates(std::size_t count, const FindHits& findHits) {
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
    // The index goes with the table: the tracing's next tables reuse its memory.
    return std::move(table.found);
}

} // namespace korvan
