// Camera operations of the view: zoom, pan, fit, focus and the hits on units.
#include "view_state/view_state.hpp"

#include "forces/army.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace korvan {

namespace {

// Fitting leaves this margin around the map inside the map area.
constexpr int fitMargin = 32;
// Unit icons and city sprites are drawn from this zoom on; below it, small squares.
constexpr double detailScale = 14;

} // namespace

ViewState::ViewState(const World& world) : world_(world) { fit(); }

double ViewState::verticalScaleForZoom(double scale) const {
    return world_.map.isWorld() ? worldVerticalScale(world_.map.height(), scale) : 1.0;
}

Point ViewState::mapAreaCentre() const {
    return {(width - sidebarWidth) * 0.5, (height - topbarHeight - footerHeight) * 0.5 + topbarHeight};
}

void ViewState::panTo(Point world) {
    const Point centre = mapAreaCentre();
    camera.x = centre.x - world.x * camera.scale * camera.horizontalScale;
    camera.y = centre.y - world.y * camera.scale * camera.verticalScale;
}

void ViewState::centerOn(Point world, double scale) {
    camera.scale = scale;
    camera.verticalScale = verticalScaleForZoom(scale);
    panTo(world);
}

void ViewState::zoom(double factor, Point anchor) {
    // Zooming at a limit changes nothing, not even the projection.
    if (Camera::clampScale(camera.scale * factor) == camera.scale) {
        return;
    }
    camera.zoom(factor, anchor);
    adjustProjection(anchor);
}

void ViewState::adjustProjection(Point anchor) {
    const Point world = camera.toWorld(anchor);
    camera.verticalScale = verticalScaleForZoom(camera.scale);
    camera.y = anchor.y - camera.scale * world.y * camera.verticalScale;
}

void ViewState::fit() {
    const Point extent = world_.map.worldExtent();
    camera.verticalScale = 1;
    camera.horizontalScale = world_.map.isWorld() ? worldHorizontalScale(world_.map.width(), world_.map.height()) : 1.0;
    const double v =
        Camera::clampScale(std::min((height - topbarHeight - footerHeight - 2 * fitMargin) / extent.y,
                                    (width - sidebarWidth - 2 * fitMargin) / (extent.x * camera.horizontalScale)));
    camera.scale = v;
    camera.x = (width - sidebarWidth) * 0.5 - (extent.x - sqrt3) * v * camera.horizontalScale * 0.5;
    camera.y = (height - topbarHeight - footerHeight) * 0.5 + topbarHeight - v * (extent.y - 2) * 0.5;
    updateHover();
}

bool ViewState::onMap(Point p) const {
    return p.x >= 0 && p.x < width - sidebarWidth && p.y >= topbarHeight && p.y < height - footerHeight;
}

Camera ViewState::gameCamera() const {
    Camera c = camera;
    c.horizontalScale *= world_.gameMap().sourceScaleX();
    c.verticalScale *= world_.gameMap().sourceScaleY();
    return c;
}

void ViewState::wrapCamera() {
    if (!world_.map.wraps()) {
        return;
    }
    // The picture repeats with one world width, so keeping the offset small changes nothing on screen.
    const double period = world_.map.width() * sqrt3 * camera.scale * camera.horizontalScale;
    if (std::abs(camera.x) > 2 * period) {
        camera.x = std::fmod(camera.x, period);
    }
}

WorldOverview ViewState::miniGeometry() const {
    WorldOverview overview;
    if (world_.map.isWorld()) {
        overview.period = world_.map.width() * sqrt3;
        overview.height = world_.map.worldExtent().y;
    }
    overview.area = {double(width - sidebarColumnLeft), 125, sidebarColumnWidth, 121};
    return overview;
}

double ViewState::physicalScale() const {
    return camera.scale * std::sqrt(camera.verticalScale * camera.horizontalScale);
}

int ViewState::citySymbolSize() const {
    if (camera.scale < detailScale) {
        return 0;
    }
    const Camera g = gameCamera();
    return static_cast<int>(std::floor(camera.scale * 1.6 * std::min(g.horizontalScale, g.verticalScale)));
}

std::optional<int> ViewState::unitAt(const Army& army, Point screen) const {
    if (camera.scale < detailScale || !onMap(screen)) {
        return std::nullopt;
    }
    // Pictures fit their fields and never overlap, so the point lies in at most one.
    const UnitFootprint footprint = unitFootprint();
    const int px = static_cast<int>(std::floor(screen.x));
    const int py = static_cast<int>(std::floor(screen.y));
    std::optional<int> found;
    for (const Unit& unit : army.units()) {
        unitCopies(unit.position, [&](Point s) {
            if (!found && unitBounds(s, footprint).contains(px, py)) {
                found = unit.id;
            }
        });
    }
    return found;
}

UnitFootprint ViewState::unitFootprint() const {
    const Camera g = gameCamera();
    return unitFootprintFor(sqrt3 * g.scale * g.horizontalScale, 1.5 * g.scale * g.verticalScale);
}

ScreenRect ViewState::unitBounds(Point centre, const UnitFootprint& footprint) {
    const int cx = static_cast<int>(std::lround(centre.x));
    const int cy = static_cast<int>(std::lround(centre.y));
    return {cx - footprint.width / 2, cy - footprint.top, footprint.width, footprint.height};
}

void ViewState::focusCountry(const std::string& code) {
    const std::string key = upper(code);
    const auto& entries = world_.countries.entries;
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const Country& c) { return upper(c.id) == key; });
    if (found == entries.end() || !world_.map.isWorld() || world_.countryGrid.empty()) {
        throw std::runtime_error("Land nicht gefunden: " + key);
    }
    const auto index = static_cast<std::size_t>(found - entries.begin());
    selectedCountry = index;
    const auto& lines = world_.countryOutline(index);
    if (lines.empty()) {
        throw std::runtime_error("Land ohne Gebiet: " + key);
    }
    // Outlines can straddle the seam: bring every point into the copy nearest the longest line.
    const auto longest = std::max_element(lines.begin(), lines.end(),
                                          [](const auto& a, const auto& b) { return a.size() < b.size(); });
    const double reference = longest->front().x;
    const double period = world_.map.width() * sqrt3;
    Point low{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    Point high{-low.x, -low.y};
    for (const auto& line : lines) {
        for (const Point p : line) {
            const double x = p.x - std::round((p.x - reference) / period) * period;
            low = {std::min(low.x, x), std::min(low.y, p.y)};
            high = {std::max(high.x, x), std::max(high.y, p.y)};
        }
    }
    double scale = 85;
    while (scale > 0.01 && ((high.x - low.x) * scale * camera.horizontalScale > width - sidebarWidth - 2 * fitMargin ||
                            (high.y - low.y) * scale * verticalScaleForZoom(scale) >
                                height - topbarHeight - footerHeight - 2 * fitMargin)) {
        scale *= 0.9;
    }
    centerOn({(low.x + high.x) / 2, (low.y + high.y) / 2}, std::max(scale, 0.01));
    updateHover();
}

} // namespace korvan
