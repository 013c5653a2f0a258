// The computer opponent's measure of how far each field is from its goals.
#pragma once

#include "forces/army.hpp"
#include "forces/movement.hpp"

#include <array>
#include <vector>

namespace korvan {

class Map;

// Movement cost from a field to the nearest target for one unit type: a multi-source uniform-cost
// search outward from the targets that a unit stops when it settles its own field, or after
// popLimit queue pops (outdated ones included). Units do not block it and points do not bound it.
//
// One search serves every unit with the same targets and terrain costs: it runs on only as far as
// the next unit needs and records when each value was written, so each unit sees exactly the
// values its own search would have held when it stopped.
class DistanceSearch {
public:
    static constexpr int unreached = 1000000;
    static constexpr int defaultPopLimit = 25000;

    // The values as the search held them when it stopped; they stay so while the search runs on
    // for other units, until it starts over.
    class View {
    public:
        int operator()(Hex h) const;

    private:
        friend class DistanceSearch;
        View(const DistanceSearch& search, int cutoff) : search_(&search), cutoff_(cutoff) {}
        const DistanceSearch* search_;
        int cutoff_; // pops up to here count; updates made from this pop on do not
    };

    DistanceSearch(const Map& map, const RiverBarriers* barriers = nullptr, int popLimit = defaultPopLimit);

    // Starts over for new targets and costs, keeping the buffers.
    void start(const UnitType& type, const std::vector<Hex>& targets);
    bool serves(const UnitType& type, const std::vector<Hex>& targets) const;
    // Runs the search on until it settles `stop` (the unit's field) or is spent.
    View stopAt(Hex stop);

private:
    struct Field {
        int value = unreached; // the newest value
        int latest = -1;       // its entry in updates_; -1 while the field has none
        int settled = -1;      // pop that first found its value current
    };
    struct Update {
        int value;
        int pop;      // written while expanding this pop; 0 for the targets
        int previous; // older update of the same field, or -1
    };

    void write(Hex h, int value);
    int current(Hex h) const;
    void expand(const SearchEntry& entry);
    int enterCost(Hex h) const { return entryCosts_[map_->tileBytes()[map_->storageIndex(h)] & 0x3f]; }

    const Map* map_;
    const RiverBarriers* barriers_;
    int popLimit_;
    UnitType type_;
    std::array<int, 64> entryCosts_{}; // Army::terrainCost by the field byte (terrain, road and bridge bits)
    std::vector<Hex> targets_;
    HexBlockTable<Field> fields_{Field{}};
    std::vector<Update> updates_;
    BucketQueue queue_;
    int pops_ = 0;
    bool pending_ = false; // the stop of the last unit was popped but not expanded
    SearchEntry pendingEntry_;
};

} // namespace korvan
