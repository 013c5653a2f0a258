// Resampling a world map onto the regular play grid, with its rivers re-traced along the new grid's sides.
#include "map/map.hpp"

#include "core/row_split.hpp"
#include "map/river_candidates.hpp"
#include "map/river_graph.hpp"
#include "map/sampled_rows.hpp"

#include <algorithm>
#include <cmath>
#include <future>
#include <stdexcept>

namespace korvan {

namespace {

constexpr double twoPi = 6.283185307179586;

double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
double length(Point p) { return std::sqrt(p.x * p.x + p.y * p.y); }

SourceSampling samplingOf(const Map& grid, const Map& source) {
    return {grid.sourceScaleX(), grid.sourceScaleY(), source.width(), source.height()};
}

std::uint8_t withoutCity(std::uint8_t byte) {
    return (byte & tileTerrainMask) == static_cast<std::uint8_t>(Terrain::City)
               ? static_cast<std::uint8_t>(byte & ~tileTerrainMask)
               : byte;
}

// Into [0, 2 pi).
double turn(double angle) {
    double a = std::fmod(angle, twoPi);
    return a < 0 ? a + twoPi : a;
}

bool intersects(Point p, Point q, Point s, Point e) {
    const double d = (q.x - p.x) * (e.y - s.y) - (q.y - p.y) * (e.x - s.x);
    if (std::abs(d) < 1e-10) {
        return false; // parallel
    }
    const double t = ((e.y - s.y) * (s.x - p.x) - (e.x - s.x) * (s.y - p.y)) / d;
    const double u = ((q.y - p.y) * (s.x - p.x) - (q.x - p.x) * (s.y - p.y)) / d;
    // The tolerance lets a river side that ends exactly on a grid line still count as crossing it.
    const auto inside = [](double v) { return v >= -1e-9 && v <= 1.000000001; };
    return inside(t) && inside(u);
}

// A source side's ends relative to the centre of the field it was found from.
struct RelativeSide {
    Point start;
    Point end;
};

// Whether a new edge crossed by exactly two source sides only touches a sharp bend of the river:
// both sides cross it and come back, so it must not become a river edge.
bool toothOnly(const RiverGraph& graph, const Candidate& c, const RelativeSide& first, const RelativeSide& second) {
    Point vertex;
    Point f;
    Point s;
    if (graph.sameVertex(first.start, second.start)) {
        vertex = first.start, f = first.end, s = second.end;
    } else if (graph.sameVertex(first.start, second.end)) {
        vertex = first.start, f = first.end, s = second.start;
    } else if (graph.sameVertex(first.end, second.start)) {
        vertex = first.end, f = first.start, s = second.end;
    } else if (graph.sameVertex(first.end, second.end)) {
        vertex = first.end, f = first.start, s = second.start;
    } else {
        return false;
    }
    const Point fromCentre = hexCenter(c.from);
    const Point absolute = vertex + fromCentre;
    const auto arms = graph.arms(absolute);
    if (arms.size() <= 2) {
        return true;
    }

    Point toCentre = hexCenter(c.to);
    toCentre.x += graph.period() * std::round((fromCentre.x - toCentre.x) / graph.period());
    const Point dir = toCentre - fromCentre;
    const auto crossing = [&](Point other) {
        const double denominator = (other.y - vertex.y) * dir.x - (other.x - vertex.x) * dir.y;
        const double t = denominator == 0
                             ? 0.5
                             : (vertex.x * (other.y - vertex.y) - (other.x - vertex.x) * vertex.y) / denominator;
        return dir * t;
    };
    const Point middle = (crossing(f) + crossing(s)) * 0.5;

    const auto angle = [&](Point p) { return std::atan2(p.y - vertex.y, p.x - vertex.x); };
    const double a1 = angle(f);
    const double a2 = angle(s);
    const double am = angle(middle);
    double sectorStart = a1;
    double sectorWidth = turn(a2 - a1);
    if (turn(am - a1) > turn(a2 - a1)) {
        sectorStart = a2;
        sectorWidth = turn(a1 - a2);
    }
    const auto sameAngle = [](double u, double v) { return turn(u - v) < 1e-6 || turn(v - u) < 1e-6; };
    for (Point p : arms) {
        p.x += graph.period() * std::round((absolute.x - p.x) / graph.period());
        const double a = std::atan2(p.y - absolute.y, p.x - absolute.x);
        if (sameAngle(a, a1) || sameAngle(a, a2)) {
            continue;
        }
        if (turn(a - sectorStart) > sectorWidth && !graph.deadEnd(absolute, p)) {
            return false;
        }
    }
    return true;
}

} // namespace

Map Map::regularWorld(const Map& source, double ratio) {
    if (!source.world_ || source.sourceWidth_ != 0 || !std::isfinite(ratio) || ratio <= 0 || ratio > 10) {
        throw std::invalid_argument("Ungueltige Quelle fuer regelmaessiges Weltraster");
    }
    Map grid;
    grid.width_ = std::min(source.width_ + 1, maxDimension);
    grid.sourceScaleX_ = double(source.width_) / grid.width_;
    grid.sourceScaleY_ = grid.sourceScaleX_ / ratio;
    const double height = std::ceil((source.height_ - 1) / grid.sourceScaleY_) + 1;
    if (height > maxDimension || double(grid.width_) * height > 64'000'000.0) {
        throw std::invalid_argument("Regelmaessiges Weltraster zu gross");
    }
    grid.height_ = static_cast<int>(height);
    grid.sourceWidth_ = source.width_;
    grid.sourceHeight_ = source.height_;
    grid.name_ = source.name_;
    grid.world_ = grid.offsetRows_ = grid.wrapHorizontal_ = true;
    grid.hasRoads_ = source.hasRoads_;
    const std::vector<std::size_t> cityFields = grid.cityFieldsOf(source);
    // Terrain and rivers depend on each other only at river mouths, where the tracing samples the
    // few fields it needs itself: the terrain is sampled on a helper thread meanwhile, which also
    // makes its sixteen megabytes.
    auto terrain = std::async(std::launch::async, [&] {
        grid.tiles_.resize(std::size_t(grid.width_) * std::size_t(grid.height_));
        grid.sampleTerrain(source, cityFields);
    });
    grid.traceRivers(source, cityFields);
    terrain.get();
    return grid;
}

// The byte of the source field under a field's centre, with a source city's terrain cleared:
// cities are placed from their own centres instead, so every source city survives.
std::uint8_t Map::sampledByte(const Map& source, int column, int row) const {
    std::int32_t index = 0;
    sampledSourceIndices(samplingOf(*this, source), row, column, 1, &index);
    return withoutCity(source.tiles_[std::size_t(index)]);
}

// Storage indices of the fields that source cities fall into, sorted.
std::vector<std::size_t> Map::cityFieldsOf(const Map& source) const {
    std::vector<std::size_t> fields;
    for (int row = 0; row < source.height_; ++row) {
        for (int col = 0; col < source.width_; ++col) {
            if ((source.tiles_[std::size_t(row) * source.width_ + col] & tileTerrainMask) !=
                static_cast<std::uint8_t>(Terrain::City)) {
                continue;
            }
            const Point c = hexCenter(source.hexAt(col, row));
            if (const auto target = canonical(worldToHex({c.x / sourceScaleX_, c.y / sourceScaleY_}))) {
                fields.push_back(storageIndex(*target));
            }
        }
    }
    std::sort(fields.begin(), fields.end());
    return fields;
}

void Map::sampleTerrain(const Map& source, const std::vector<std::size_t>& cityFields) {
    // Some sixteen million fields: the rows are shared with a second thread.
    const SourceSampling sampling = samplingOf(*this, source);
    fillRowsInParallel(height_, tiles_.size(), [&](int firstRow, int endRow) {
        std::vector<std::int32_t> sourceIndex(static_cast<std::size_t>(width_));
        for (int row = firstRow; row < endRow; ++row) {
            sampledSourceIndices(sampling, row, 0, width_, sourceIndex.data());
            std::uint8_t* const out = tiles_.data() + std::size_t(row) * width_;
            for (int col = 0; col < width_; ++col) {
                out[col] = withoutCity(source.tiles_[std::size_t(sourceIndex[col])]);
            }
        }
    });
    for (const std::size_t field : cityFields) {
        tiles_[field] = static_cast<std::uint8_t>(Terrain::City);
    }
}

void Map::traceRivers(const Map& source, const std::vector<std::size_t>& cityFields) {
    const Point scale{sourceScaleX_, sourceScaleY_};
    // The terrain is being sampled meanwhile: the few fields asked for are sampled here.
    const auto water = [&](Hex field) {
        const std::size_t index = storageIndex(field);
        return !std::binary_search(cityFields.begin(), cityFields.end(), index) &&
               (sampledByte(source, column(field), field.r) & tileTerrainMask) ==
                   static_cast<std::uint8_t>(Terrain::Water);
    };
    const auto toGrid = [&](Point p) { return Point{p.x / scale.x, p.y / scale.y}; };
    const std::size_t sourceCount = source.rivers_.size();

    std::vector<SideGeometry> sides;
    sides.reserve(sourceCount);
    for (const RiverEdge& edge : source.rivers_) {
        sides.push_back(sideGeometry(source, edge));
    }
    RiverGraph graph(period(), sides, scale);
    for (std::size_t i = 0; i < sourceCount; ++i) {
        const RiverEdge& edge = source.rivers_[i];
        const bool bankWet = source.at(edge.a).terrain == Terrain::Water || source.at(edge.b).terrain == Terrain::Water;
        const Point m = sides[i].middle;
        for (const bool end : {false, true}) {
            // The side's corners m - s and m + s are its start and end in grid units. The third
            // hexagon at a corner lies beyond it, along the side.
            const Point v = end ? m + sides[i].halfSide : m - sides[i].halfSide;
            const auto third = source.canonical(worldToHex(v * 3.0 - m * 2.0));
            if (bankWet || (third && source.at(*third).terrain == Terrain::Water)) {
                graph.markWet(graph.sideEnd(i, end));
            }
        }
    }

    // A side's ends as traced: a side ending at the sea is extended by its own length so the river
    // still reaches the coast.
    struct TracedSide {
        Point start;
        Point end;
        bool prolonged;
    };
    const auto traced = [&](std::size_t i) {
        TracedSide side{sides[i].start(scale), sides[i].end(scale), false};
        const bool startMouth = graph.mouth(graph.sideEnd(i, false));
        side.prolonged = startMouth || graph.mouth(graph.sideEnd(i, true));
        if (startMouth) {
            side.start = side.start * 2.0 - side.end;
        } else if (side.prolonged) {
            side.end = side.end * 2.0 - side.start;
        }
        return side;
    };
    const auto relative = [&](const Contribution& part) {
        const TracedSide side = traced(part.source);
        const Point p = hexCenter(part.rawFrom);
        return RelativeSide{side.start - p, side.end - p};
    };

    // The grid edges a source side crosses, in the order they are met.
    const auto findHits = [&](std::size_t i, std::vector<SideHit>& found) {
        const auto [start, end, prolonged] = traced(i);
        const Hex centre = worldToHex(toGrid(sides[i].middle));
        const int reach = prolonged ? 3 : 2;
        // A grid line from p can only meet the side when p lies this close to the side's middle.
        const Point sideMiddle = (start + end) * 0.5;
        const double nearEnough = sqrt3 + length(end - start) * 0.5 + 1e-6;
        for (int dr = -reach; dr <= reach; ++dr) {
            for (int dq = -reach; dq <= reach; ++dq) {
                const Hex raw = centre + Hex{dq, dr};
                const Point p = hexCenter(raw);
                if (length(p - sideMiddle) > nearEnough) {
                    continue;
                }
                const auto from = canonical(raw);
                if (!from) {
                    continue;
                }
                for (const Hex delta : forwardSteps) {
                    const Hex next = raw + delta;
                    const Point q = hexCenter(next);
                    if (!intersects(p, q, start, end)) {
                        continue;
                    }
                    const auto to = canonical(next);
                    if (!to) {
                        continue;
                    }
                    if (prolonged && (water(*from) || water(*to))) {
                        continue;
                    }
                    const bool crossed = (cross(q - p, start - p) >= 0) != (cross(q - p, end - p) >= 0);
                    found.push_back({edgeKey(*from, *to), *from, *to, raw, crossed});
                }
            }
        }
    };
    const Candidates table = collectCandidates(sourceCount, findHits);
    const std::vector<Candidate>& candidates = table.candidates;
    const std::vector<Contribution>& contributions = table.contributions;

    riverIndex_.reserve(candidates.size());
    std::vector<IndexLists::Pair> carried; // (source side, new edge), in the order they are attached
    carried.reserve(sourceCount + sourceCount / 2);
    std::vector<const Contribution*> crossing;
    constexpr std::size_t prefetchAhead = 16; // candidates whose river index slot is loaded ahead
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const Candidate& candidate = candidates[c];
        if (c + prefetchAhead < candidates.size()) {
            const Candidate& ahead = candidates[c + prefetchAhead];
            riverIndex_.prefetch(edgeKey(ahead.from, ahead.to));
        }
        crossing.clear();
        for (std::uint32_t k = candidate.first; k != noContribution; k = contributions[k].next) {
            crossing.push_back(&contributions[k]);
        }
        if (crossing.empty() ||
            (crossing.size() == 2 && toothOnly(graph, candidate, relative(*crossing[0]), relative(*crossing[1])))) {
            continue;
        }
        RiverEdge edge{candidate.from, candidate.to, 1, false, false};
        const auto t = static_cast<std::uint32_t>(rivers_.size());
        for (const Contribution* part : crossing) {
            const RiverEdge& sourceEdge = source.rivers_[part->source];
            edge.widthClass = std::max(edge.widthClass, sourceEdge.widthClass);
            edge.cityCrossing = edge.cityCrossing || sourceEdge.cityCrossing;
            carried.emplace_back(part->source, t);
        }
        riverIndex_.tryEmplace(edgeKey(edge.a, edge.b), t);
        rivers_.push_back(edge);
    }

    attachOrphans(source, sides, carried);
    sourceRiverEdges_ = IndexLists(sourceCount, carried);
    for (auto& [sourceSide, edge] : carried) {
        std::swap(sourceSide, edge);
    }
    riverSources_ = IndexLists(rivers_.size(), carried);
    carryBridges(source, sides);
}

// A source side that no new edge crosses joins the nearest new river edge, so its name and bridge survive.
void Map::attachOrphans(const Map& source, const std::vector<SideGeometry>& sides,
                        std::vector<IndexLists::Pair>& carried) {
    std::vector<bool> hasCarrier(sides.size(), false);
    for (const auto& [sourceSide, edge] : carried) {
        hasCarrier[sourceSide] = true;
    }
    for (std::size_t j = 0; j < sides.size(); ++j) {
        if (hasCarrier[j]) {
            continue;
        }
        const Point m = gridPoint(sides[j].middle);
        const Hex centre = worldToHex(m);
        std::optional<std::size_t> best;
        double bestDistance = 2;
        for (int dr = -2; dr <= 2; ++dr) {
            for (int dq = -2; dq <= 2; ++dq) {
                const Hex raw = centre + Hex{dq, dr};
                // A field's edges have their middles half a field's width from its centre: a field
                // this far away has none nearer than the search radius.
                const Point rawCentre = hexCenter(raw);
                if (length(rawCentre - m) > 2 + sqrt3 * 0.5 + 1e-6) {
                    continue;
                }
                const auto from = canonical(raw);
                if (!from) {
                    continue;
                }
                for (const Hex delta : forwardSteps) {
                    // Only a strictly nearer edge can win, so the distance is checked before the lookup.
                    const double distance = length((rawCentre + hexCenter(raw + delta)) * 0.5 - m);
                    if (distance >= bestDistance) {
                        continue;
                    }
                    const auto to = canonical(raw + delta);
                    const auto index = to ? riverEdgeIndex(*from, *to) : std::nullopt;
                    if (index) {
                        bestDistance = distance;
                        best = index;
                    }
                }
            }
        }
        if (best) {
            carried.emplace_back(static_cast<std::uint32_t>(j), static_cast<std::uint32_t>(*best));
            rivers_[*best].cityCrossing = rivers_[*best].cityCrossing || source.rivers_[j].cityCrossing;
        }
    }
}

// Each source side hands its bridge to the nearest of its carriers.
void Map::carryBridges(const Map& source, const std::vector<SideGeometry>& sides) {
    const double gridPeriod = period();
    bridgeEdge_.assign(sides.size(), noEdge);
    for (std::size_t j = 0; j < sides.size(); ++j) {
        const Point m = gridPoint(sides[j].middle);
        double bestDistance = 1e30;
        for (const std::uint32_t t : sourceRiverEdges_[j]) {
            const Point a = hexCenter(rivers_[t].a);
            Point b = hexCenter(rivers_[t].b);
            b.x += gridPeriod * std::round((a.x - b.x) / gridPeriod);
            const Point middle = (a + b) * 0.5;
            double dx = middle.x - m.x;
            dx -= gridPeriod * std::round(dx / gridPeriod);
            const double distance = std::sqrt(dx * dx + (middle.y - m.y) * (middle.y - m.y));
            if (distance < bestDistance) {
                bestDistance = distance;
                bridgeEdge_[j] = t;
            }
        }
        // Source side j is the source's river edge j: its own flag, no lookup.
        if (bridgeEdge_[j] != noEdge && source.rivers_[j].bridge) {
            rivers_[bridgeEdge_[j]].bridge = true;
        }
    }
}

} // namespace korvan
