// What lies under the pointer.
#include "client/client.hpp"

namespace korvan {

void Client::updateHover() {
    hovered.reset();
    if (onMap(mouse)) {
        hovered = gameAt(camera.toWorld(mouse));
    }
}

// Anchored cities sit on their play-grid field, cities on water on their shore point, the rest at
// their geographic position.
Point Client::cityWorld(std::size_t city) const {
    if (city < cityAnchors.size() && cityAnchors[city]) {
        return city < cityCenters.size() ? cityCenters[city] : hexCenter(*cityAnchors[city]);
    }
    if (city < cityShore.size() && cityShore[city]) {
        return *cityShore[city];
    }
    const Point geography = cities.at(city).geography;
    return {map.width() * (180 + geography.x) * sqrt3 / 360, (map.height() * (90 - geography.y) / 180 - 0.5) * 1.5};
}

} // namespace korvan
