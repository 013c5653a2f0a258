// Camera operations of the client: zoom, pan, fit, focus and the mapping to the play grid.
#include "client/client.hpp"

#include <cmath>

namespace korvan {

namespace {

// Fixed focus of the operation view: Wien, at a scale that shows Austria.
constexpr Point operationFocus{16.3738, 48.2082};
constexpr double operationScale = 4;

} // namespace

double Client::verticalScaleForZoom(double scale) const {
    return map.isWorld() ? worldVerticalScale(map.height(), scale) : 1.0;
}

Point Client::mapAreaCentre() const {
    return {(width - sidebar) * 0.5, (height - topbar - footer) * 0.5 + topbar};
}

void Client::panTo(Point world) {
    const Point centre = mapAreaCentre();
    camera.x = centre.x - world.x * camera.scale * camera.horizontalScale;
    camera.y = centre.y - world.y * camera.scale * camera.verticalScale;
}

void Client::centerOn(Point world, double scale) {
    camera.scale = scale;
    camera.verticalScale = verticalScaleForZoom(scale);
    panTo(world);
}

void Client::zoom(double factor, Point anchor) {
    // Zooming at a limit changes nothing, not even the projection.
    if (Camera::clampScale(camera.scale * factor) == camera.scale) {
        return;
    }
    camera.zoom(factor, anchor);
    adjustProjection(anchor);
}

void Client::adjustProjection(Point anchor) {
    const Point world = camera.toWorld(anchor);
    camera.verticalScale = verticalScaleForZoom(camera.scale);
    camera.y = anchor.y - camera.scale * world.y * camera.verticalScale;
}

void Client::fit() {
    const Point extent = map.worldExtent();
    camera.verticalScale = 1;
    camera.horizontalScale = map.isWorld() ? worldHorizontalScale(map.width(), map.height()) : 1.0;
    // 32 pixels of margin around the map area: 180 = 82 + 34 + 64 and 334 = 270 + 64.
    const double v = Camera::clampScale(
        std::min((height - 180) / extent.y, (width - 334) / (extent.x * camera.horizontalScale)));
    camera.scale = v;
    camera.x = (width - sidebar) * 0.5 - (extent.x - sqrt3) * v * camera.horizontalScale * 0.5;
    camera.y = (height - topbar - footer) * 0.5 + topbar - v * (extent.y - 2) * 0.5;
    updateHover();
}

bool Client::onMap(Point p) const {
    return p.x >= 0 && p.x < width - sidebar && p.y >= topbar && p.y < height - footer;
}

Point Client::gameWorld(Hex h) const {
    const Map& g = gameMap();
    return {(h.q + h.r * 0.5) * sqrt3 * g.sourceScaleX(), h.r * 1.5 * g.sourceScaleY()};
}

std::optional<Hex> Client::gameAt(Point world) const {
    const Map& g = gameMap();
    return g.canonical(worldToHex(g.gridPoint(world)));
}

Camera Client::gameCamera() const {
    Camera c = camera;
    c.horizontalScale *= gameMap().sourceScaleX();
    c.verticalScale *= gameMap().sourceScaleY();
    return c;
}

void Client::focusGeography(Point lonLat, double scale) {
    const Hex h = map.hexAtGeography(lonLat);
    centerOn(hexCenter(h), Camera::clampScale(scale));
    clearSelection();
    dragging = false;
    updateHover();
}

void Client::focusOperation() {
    if (!map.isWorld()) {
        return;
    }
    bridgeMode = false;
    movementMessage.clear();
    hoveredCity.reset();
    focusGeography(operationFocus, operationScale);
}

void Client::wrapCamera() {
    if (!map.wraps()) {
        return;
    }
    // The picture repeats with one world width, so keeping the offset small changes nothing on screen.
    const double period = map.width() * sqrt3 * camera.scale * camera.horizontalScale;
    if (std::abs(camera.x) > 2 * period) {
        camera.x = std::fmod(camera.x, period);
    }
}

WorldOverview Client::miniGeometry() const {
    WorldOverview overview;
    if (map.isWorld()) {
        overview.period = map.width() * sqrt3;
        overview.height = map.worldExtent().y;
    }
    overview.area = {double(width - 256), 125, 242, 121};
    return overview;
}

} // namespace korvan
