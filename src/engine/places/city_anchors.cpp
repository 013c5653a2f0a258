// Anchoring urban centres to world-map city fields and carrying cities onto the play grid.
#include "places/city_anchors.hpp"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace korvan {

namespace {

// Hex distance with the shorter way across the horizontal seam.
int seamDistance(Hex from, Hex to, int width) {
    const int dr = to.r - from.r;
    int best = std::numeric_limits<int>::max();
    for (const int shift : {0, -width, width}) {
        const int dq = to.q - from.q + shift;
        best = std::min(best, (std::abs(dq) + std::abs(dr) + std::abs(dq + dr)) / 2);
    }
    return best;
}

// A point on water may lie further from the built-up fields than one on land.
constexpr int maxAnchorDistanceOnLand = 2;
constexpr int maxAnchorDistanceOnWater = 4;

} // namespace

std::vector<std::optional<Hex>> cityTileAnchors(const Map& map, const UrbanAreas& areas) {
    const auto& centres = areas.cities();
    std::vector<std::optional<Hex>> anchors(centres.size());
    if (!map.isWorld() || areas.gridWidth() != map.width() || areas.gridHeight() != map.height()) {
        return anchors;
    }
    const int width = map.width();
    const int height = map.height();
    const double period = sqrt3 * width;
    std::vector<double> best(centres.size(), std::numeric_limits<double>::infinity());
    std::vector<int> bestKey(centres.size(), -1);
    // Geographic field of each centre, computed once rather than per urban cell.
    std::vector<Hex> home;
    std::vector<bool> homeOnWater;
    home.reserve(centres.size());
    for (const City& centre : centres) {
        home.push_back(map.hexAtGeography(centre.geography));
        homeOnWater.push_back(map.at(home.back()).terrain == Terrain::Water);
    }
    for (const auto& [key, centre] : areas.cells()) {
        if (centre < 0) {
            continue;
        }
        const int r = key / width;
        const Hex h = map.hexAt(key % width, r);
        if (map.at(h).terrain != Terrain::City) {
            continue;
        }
        const auto j = static_cast<std::size_t>(centre);
        const int limit = homeOnWater[j] ? maxAnchorDistanceOnWater : maxAnchorDistanceOnLand;
        if (seamDistance(home[j], h, width) > limit) {
            continue;
        }
        const Point geo = centres[j].geography;
        const double dx = std::remainder((h.q + 0.5 * r) * sqrt3 - (180.0 + geo.x) * sqrt3 * width / 360.0, period);
        const double dy = 1.5 * r - (height * (90.0 - geo.y) / 180.0 - 0.5) * 1.5;
        const double score = dx * dx + dy * dy;
        if (score < best[j] || (score == best[j] && key < bestKey[j])) {
            best[j] = score;
            bestKey[j] = key;
            anchors[j] = h;
        }
    }
    return anchors;
}

CityFieldPlacement placeAnchoredCities(const Map& game, const std::vector<std::optional<Hex>>& anchors) {
    CityFieldPlacement placement;
    placement.centers.resize(anchors.size());
    for (std::size_t k = 0; k < anchors.size(); ++k) {
        if (!anchors[k]) {
            continue;
        }
        const Point source = hexCenter(*anchors[k]);
        const auto field = game.canonical(worldToHex(game.gridPoint(source)));
        if (!field) {
            throw std::runtime_error("Mehrere Staedte auf einem Stadtfeld");
        }
        const int key = field->r * game.width() + game.column(*field);
        if (!placement.fields.emplace(key, k).second) {
            throw std::runtime_error("Mehrere Staedte auf einem Stadtfeld");
        }
        placement.centers[k] = game.sourcePoint(hexCenter(*field));
    }
    return placement;
}

std::optional<Point> shorePoint(const Map& game, Point world) {
    const auto under = game.canonical(worldToHex(game.gridPoint(world)));
    if (!under || game.at(*under).terrain != Terrain::Water) {
        return std::nullopt;
    }
    // A city field is only taken when no other land is near: it would hide the marker.
    constexpr double cityPenalty = 1'000'000.0;
    std::optional<Point> result;
    double best = std::numeric_limits<double>::infinity();
    for (int dq = -2; dq <= 2; ++dq) {
        for (int dr = -2; dr <= 2; ++dr) {
            if (std::abs(dq) + std::abs(dr) + std::abs(dq + dr) > 4) {
                continue;
            }
            const Hex candidate{under->q + dq, under->r + dr};
            const auto stored = game.canonical(candidate);
            if (!stored) {
                continue;
            }
            const Terrain terrain = game.at(*stored).terrain;
            if (terrain == Terrain::Water) {
                continue;
            }
            const Point p = game.sourcePoint(hexCenter(candidate));
            const double score =
                std::hypot(p.x - world.x, p.y - world.y) + (terrain == Terrain::City ? cityPenalty : 0.0);
            if (score < best) {
                best = score;
                result = p;
            }
        }
    }
    return result;
}

} // namespace korvan
