// Speed of the computer's whole turn on a full-size world play grid, and of one unit's reach.
#include "forces/ai.hpp"
#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "map/map.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

using namespace korvan;

namespace {

// The size of the regular play grid the client derives from the shipped world map.
constexpr int gridWidth = 4321;
constexpr int gridHeight = 3743;

// A plain patch without rivers where the 20-point scout stands, so its reach is the full hexagon.
constexpr int patchColumn = 2000;
constexpr int patchRow = 1800;
constexpr int patchSize = 100;

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int below(int n) { return static_cast<int>(next() % std::uint32_t(n)); }

private:
    std::uint64_t state_;
};

bool inPatch(int column, int row) {
    return column >= patchColumn && column < patchColumn + patchSize && row >= patchRow &&
           row < patchRow + patchSize;
}

std::string runLength(const std::vector<char>& values, std::string_view alphabet) {
    std::string out;
    std::size_t i = 0;
    while (i < values.size()) {
        std::size_t j = i;
        while (j < values.size() && values[j] == values[i]) {
            ++j;
        }
        out += alphabet[std::size_t(values[i])];
        out += std::to_string(j - i);
        i = j;
    }
    return out;
}

// Mostly land in runs of mixed terrain, some water and mountains, and a river band every 300 columns.
std::string worldJson() {
    Random random(20240611);
    // Weighted terrain values: plain, farmland, forest, hills, wetland, mountain, water, scrub.
    const int weights[][2] = {{0, 38}, {6, 20}, {1, 15}, {2, 10}, {7, 3}, {3, 4}, {5, 8}, {10, 2}};
    std::ostringstream out;
    out << R"({"schema_version": 3, "name": "Bench", "width": )" << gridWidth << R"(, "height": )" << gridHeight
        << R"(, "layout": "odd-r", "wrap_horizontal": true, "kind": "world", "river_edges": [], "terrain_rows": [)";
    std::vector<char> row(gridWidth);
    for (int r = 0; r < gridHeight; ++r) {
        int c = 0;
        while (c < gridWidth) {
            const int length = 5 + random.below(56);
            int pick = random.below(100);
            int terrain = 0;
            for (const auto& [value, weight] : weights) {
                if (pick < weight) {
                    terrain = value;
                    break;
                }
                pick -= weight;
            }
            for (int k = 0; k < length && c < gridWidth; ++k, ++c) {
                row[std::size_t(c)] = static_cast<char>(inPatch(c, r) ? 0 : terrain);
            }
        }
        out << (r == 0 ? "" : ",") << '"' << runLength(row, terrainCodes) << '"';
    }
    out << R"(], "river_rows": [)";
    for (int r = 0; r < gridHeight; ++r) {
        std::fill(row.begin(), row.end(), 0);
        for (int c = 150 + (r / 40) % 3; c < gridWidth; c += 300) {
            if (!inPatch(c, r)) {
                // East, below right and below left; the last row has nothing below.
                row[std::size_t(c)] = static_cast<char>(r + 1 < gridHeight ? 7 : 1);
            }
        }
        out << (r == 0 ? "" : ",") << '"' << runLength(row, "abcdefgh") << '"';
    }
    out << "]}";
    return out.str();
}

const std::string unitTypes = R"([
  {"id": "tank", "name": "Panzer", "class": "tank", "movement": 6, "road_cost": 1,
   "costs": {"plain": 1, "forest": 2, "hills": 2, "mountain": null, "city": 1, "water": null,
             "farmland": 1, "wetland": 3, "desert": 1, "ice": 2, "scrub": 1}},
  {"id": "inf", "name": "Infanterie", "class": "infantry", "movement": 4, "road_cost": 1, "range": 2,
   "costs": {"plain": 1, "forest": 1, "hills": 2, "mountain": 3, "city": 1, "water": null,
             "farmland": 1, "wetland": 2, "desert": 1, "ice": 2, "scrub": 1}},
  {"id": "recon", "name": "Aufklaerer", "class": "recon", "movement": 8, "road_cost": 1,
   "costs": {"plain": 1, "forest": 2, "hills": 2, "mountain": null, "city": 1, "water": null,
             "farmland": 1, "wetland": 3, "desert": 1, "ice": 2, "scrub": 1}},
  {"id": "scout", "name": "Spaeher", "class": "recon", "movement": 20, "road_cost": 1,
   "costs": {"plain": 1, "forest": 2, "hills": 2, "mountain": null, "city": 1, "water": null,
             "farmland": 1, "wetland": 3, "desert": 1, "ice": 2, "scrub": 1}}
])";

constexpr int scoutId = 1000;

struct Setup {
    Map map;
    std::unique_ptr<Army> army;
    std::unique_ptr<Battle> battle;
};

Setup build() {
    Setup setup;
    {
        std::istringstream in(worldJson());
        setup.map = Map::load(in);
    }
    const Map& map = setup.map;
    Random random(77);
    std::unordered_set<std::size_t> taken;
    const auto open = [&](Hex h) {
        if (!map.contains(h) || taken.contains(map.storageIndex(h))) {
            return false;
        }
        const Terrain t = map.at(h).terrain;
        return t == Terrain::Plain || t == Terrain::Farmland;
    };
    const auto anywhere = [&] {
        for (;;) {
            const Hex h = map.hexAt(random.below(gridWidth), 200 + random.below(gridHeight - 400));
            if (open(h)) {
                return h;
            }
        }
    };
    std::ostringstream units;
    std::vector<Hex> positions;
    int id = 1;
    const auto place = [&](int side, const char* type, Hex h) {
        taken.insert(map.storageIndex(h));
        positions.push_back(h);
        const Point p = map.geography(h);
        char number[64];
        units << (id == 1 ? "" : ",") << R"({"id": )" << id << R"(, "side": )" << side << R"(, "name": "Einheit )"
              << id << R"(", "type": ")" << type << R"(", "longitude": )";
        std::snprintf(number, sizeof number, "%.17g", p.x);
        units << number << R"(, "latitude": )";
        std::snprintf(number, sizeof number, "%.17g", p.y);
        units << number << "}";
        ++id;
    };
    const char* types[] = {"tank", "inf", "recon"};
    std::vector<Hex> red;
    for (int i = 0; i < 128; ++i) {
        red.push_back(anywhere());
        place(redSide, types[i % 3], red.back());
    }
    // Half of Blue stands a few fields from a Red unit, so the turn has fights as well as marches.
    for (int i = 0; i < 127; ++i) {
        Hex h = anywhere();
        if (i % 2 == 0) {
            for (int attempt = 0; attempt < 50; ++attempt) {
                const Hex candidate =
                    *map.canonical(red[std::size_t(i)] + Hex{random.below(9) - 4, random.below(9) - 4});
                if (open(candidate)) {
                    h = candidate;
                    break;
                }
            }
        }
        place(blueSide, types[i % 3], h);
    }
    id = scoutId;
    place(blueSide, "scout", map.hexAt(patchColumn + patchSize / 2, patchRow + patchSize / 2));
    {
        std::istringstream in(R"({"schema_version": 1, "types": )" + unitTypes + R"(, "world_units": [)" +
                              units.str() + "]}");
        setup.army = std::make_unique<Army>(Army::load(map, in));
    }
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (!(setup.army->units()[i].position == positions[i])) {
            std::fprintf(stderr, "unit %zu did not land on its field\n", i);
            std::abort();
        }
    }
    std::vector<Objective> objectives;
    for (int i = 0; i < 8; ++i) {
        const Hex h = anywhere();
        taken.insert(map.storageIndex(h));
        objectives.push_back({"Ziel " + std::to_string(i + 1), h, redSide});
    }
    setup.battle = std::make_unique<Battle>(map, *setup.army, std::move(objectives), 1000, 12345);
    return setup;
}

const Setup& setup() {
    static const Setup instance = build();
    return instance;
}

// Red's whole turn: 128 units fire, measure their goals, move and fire again.
void redTurn(benchmark::State& state) {
    const Setup& s = setup();
    std::size_t moves = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Army army = *s.army;
        Battle battle = *s.battle;
        battle.endTurn(army, blueSide);
        state.ResumeTiming();
        battle.playAi(s.map, army);
        state.PauseTiming();
        for (const Unit& unit : army.units()) {
            moves += unit.side == redSide && unit.moved;
        }
        lines += battle.log().size();
        state.ResumeTiming();
    }
    state.counters["red_moves"] = benchmark::Counter(double(moves), benchmark::Counter::kAvgIterations);
    state.counters["log_lines"] = benchmark::Counter(double(lines), benchmark::Counter::kAvgIterations);
}
BENCHMARK(redTurn)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Reach of a 20-point unit on open ground: the full hexagon of 1261 fields.
void reachOfTwentyPoints(benchmark::State& state) {
    const Setup& s = setup();
    std::size_t fields = 0;
    for (auto _ : state) {
        const MovementRange range = s.army->reachable(s.map, scoutId);
        fields = range.size();
        benchmark::DoNotOptimize(fields);
    }
    state.counters["fields"] = double(fields);
}
BENCHMARK(reachOfTwentyPoints)->Unit(benchmark::kMicrosecond);

// One unit's own distance search run to its cap of 25000 pops: the cost of a unit whose goals
// nobody shares and whose field the search never settles (for example behind a closed river).
void cappedDistanceSearch(benchmark::State& state) {
    const Setup& s = setup();
    const RiverBarriers barriers(s.map);
    DistanceSearch search(s.map, &barriers);
    const Unit& unit = s.army->units().front();
    const UnitType& type = s.army->type(unit);
    std::vector<Hex> targets;
    for (const Objective& objective : s.battle->objectives()) {
        targets.push_back(objective.position);
    }
    for (auto _ : state) {
        search.start(type, targets);
        const DistanceSearch::View view = search.stopAt({-1, -1});
        benchmark::DoNotOptimize(view(unit.position));
    }
}
BENCHMARK(cappedDistanceSearch)->Unit(benchmark::kMillisecond);

} // namespace
