// The river layer: the visible river sides of the game map as ribbons, cached as a texture.
#include "client/client.hpp"
#include "render/river_segments.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvan {

namespace {

// Ribbon width per world unit of physical scale, by width class 1 to 3.
constexpr std::array<double, 4> widthFactor{0.1, 0.1, 0.16, 0.28};
// Below this a river would vanish between pixels.
constexpr double minimumRiverWidth = 1.2;
// Sides just outside the map area still shape the smoothed lines that enter it.
constexpr double viewMargin = 6;

} // namespace

double Client::physicalScale() const { return camera.scale * std::sqrt(camera.verticalScale * camera.horizontalScale); }

std::size_t Client::riverSourceOf(std::size_t gridEdge) const {
    if (!regularMap) {
        return gridEdge;
    }
    const auto& sources = regularMap->riverSources(gridEdge);
    const auto& rivers = map.rivers();
    const auto bridged = std::find_if(sources.begin(), sources.end(),
                                      [&](std::size_t s) { return s < rivers.size() && rivers[s].bridge; });
    if (bridged != sources.end()) {
        return *bridged;
    }
    return sources.empty() ? 0 : sources.front();
}

const RiverGraphics& Client::riverGraphics() const {
    const ViewKey key = viewKey();
    if (riverGeometryKey == key) {
        return visibleRivers;
    }
    visibleRivers.clear();
    const Map& game = gameMap();
    const Camera view = gameCamera();
    const Point lo = view.toWorld({0, double(topbar)}) - Point{viewMargin, viewMargin};
    const Point hi = view.toWorld({double(width - sidebar), double(height - footer)}) + Point{viewMargin, viewMargin};
    const double scale = physicalScale();
    riverSegments(game, lo, hi, [&](Point a, Point b, const RiverEdge& edge, std::size_t index) {
        const double w = std::max(scale * widthFactor[std::clamp<int>(edge.widthClass, 1, 3)], minimumRiverWidth);
        visibleRivers.add(a, b, view.toScreen(a), view.toScreen(b), w, edge.bridge, riverSourceOf(index), index);
    });
    riverGeometryKey = key;
    return visibleRivers;
}

void Client::drawRiverBands(SDL_Renderer* renderer) const { riverGraphics().draw(renderer, physicalScale()); }

void Client::renderRivers(SDL_Renderer* renderer) const {
    // Far out on the world the sides are shorter than a pixel; the overview carries the rivers there.
    if (map.isWorld() && camera.scale < 2) {
        return;
    }
    renderCachedLayer(renderer, riverCache, viewKey(), mapClip(), overlayStyle,
                      [&] { drawRiverBands(renderer); });
}

} // namespace korvan
