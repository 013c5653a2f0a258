// Field queries of the map: layout, wrap, neighbours, extent and geographic coordinates.
#include "map/map.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace korvan {

std::vector<Hex> Map::adjacent(Hex h) const {
    if (!contains(h)) {
        throw std::out_of_range("Hexfeld ausserhalb der Karte");
    }
    std::vector<Hex> result;
    result.reserve(6);
    for (const Hex step : neighbourSteps) {
        const auto n = canonical(h + step);
        if (!n || *n == h || std::find(result.begin(), result.end(), *n) != result.end()) {
            continue;
        }
        result.push_back(*n);
    }
    return result;
}

Tile Map::at(Hex h) const {
    if (!contains(h)) {
        throw std::out_of_range("Hexfeld ausserhalb der Karte");
    }
    return unpackTile(tiles_[storageIndex(h)]);
}

std::uint64_t Map::edgeKey(Hex a, Hex b) const {
    const auto index = [this](Hex h) {
        return static_cast<std::uint32_t>(h.r * width_ + column(h));
    };
    const std::uint64_t ia = index(a);
    const std::uint64_t ib = index(b);
    return (std::min(ia, ib) << 32) | std::max(ia, ib);
}

Point Map::worldExtent() const {
    const double last = offsetRows_ ? (width_ - 1 + (height_ >= 2 ? 0.5 : 0.0)) * sqrt3
                                    : (width_ - 1 + (height_ - 1) * 0.5) * sqrt3;
    return {last + sqrt3, (height_ - 1) * 1.5 + 2};
}

Point Map::geography(Hex h) const {
    if (!world_ || !contains(h)) {
        throw std::invalid_argument("Geokoordinaten nur fuer Weltkartenfelder");
    }
    if (sourceWidth_ != 0) {
        // A derived grid: take the centre into the source map's units and read it there.
        const double longitude = (h.q + h.r / 2.0) * sourceScaleX_ * 360.0 / sourceWidth_ - 180.0;
        const double latitude = 90.0 - (0.5 + h.r * sourceScaleY_) * 180.0 / sourceHeight_;
        return {longitude, latitude};
    }
    const double longitude = (column(h) + (h.r % 2 != 0 ? 0.5 : 0.0)) * 360.0 / width_ - 180.0;
    const double latitude = 90.0 - (h.r + 0.5) * 180.0 / height_;
    return {longitude, latitude};
}

Hex Map::hexAtGeography(Point lonLat) const {
    if (!world_ || !std::isfinite(lonLat.x) || !std::isfinite(lonLat.y) || lonLat.y < -90.0 || lonLat.y > 90.0) {
        throw std::invalid_argument("Ungueltige Geokoordinaten");
    }
    double a = std::fmod(lonLat.x + 180.0, 360.0);
    if (a < 0) {
        a += 360.0;
    }
    if (sourceWidth_ != 0) {
        Hex h = worldToHex({sourceWidth_ * a * sqrt3 / 360.0 / sourceScaleX_,
                            (sourceHeight_ * (90.0 - lonLat.y) / 180.0 - 0.5) * 1.5 / sourceScaleY_});
        h.r = std::clamp(h.r, 0, height_ - 1);
        return *canonical(h);
    }
    const int row = std::clamp(static_cast<int>(height_ * (90.0 - lonLat.y) / 180.0), 0, height_ - 1);
    const int c = static_cast<int>(std::round(width_ * a / 360.0 - (row % 2) * 0.5));
    return *canonical(hexAt(c, row));
}

Terrain fieldLandTerrain(const Map& map, Hex h) {
    const Terrain t = map.at(h).terrain;
    if (t == Terrain::City) {
        return Terrain::Plain;
    }
    if (t != Terrain::Water) {
        return t;
    }
    std::array<int, terrainCount> counts{};
    for (const Hex n : map.adjacent(h)) {
        const Terrain nt = map.at(n).terrain;
        if (nt != Terrain::City && nt != Terrain::Water) {
            ++counts[static_cast<int>(nt)];
        }
    }
    int best = static_cast<int>(Terrain::Plain);
    for (int value = 0; value < terrainCount; ++value) {
        if (counts[value] > counts[best]) {
            best = value;
        }
    }
    return static_cast<Terrain>(best);
}

} // namespace korvan
