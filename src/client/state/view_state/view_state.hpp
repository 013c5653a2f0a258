// How the player looks at the world: camera, window size, pointer, what lies under it, the selected
// country and city, and the view's toggles. Changing it never changes the game.
#pragma once

#include "core/camera.hpp"
#include "core/text.hpp"
#include "view_state/picking.hpp"
#include "view_state/screen_layout.hpp"
#include "view_state/unit_footprint.hpp"
#include "view_state/view_key.hpp"
#include "view_state/world_overview.hpp"
#include "world/world.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

// From this zoom on river sides can be told apart, and bridges are placed on them.
inline constexpr double bridgeZoom = 7;
// Units show on the map from this zoom on.
inline constexpr double unitZoom = 14;

// What lies under the pointer.
struct Hover {
    std::optional<Hex> field; // world-map field; a hovered city's own field
    std::optional<std::size_t> country;
    std::optional<std::size_t> city;
    std::optional<std::size_t> bridge; // world-map river edge
    std::optional<std::string> river;
    std::optional<std::string> lake;
    std::optional<std::string> sea;
    bool inlandWater = false;
    bool nationalWater = false;
};

class ViewState {
public:
    // Fitted to the whole map of the world.
    explicit ViewState(const World& world);
    ViewState(const ViewState&) = delete;
    ViewState& operator=(const ViewState&) = delete;

    // Camera.
    double verticalScaleForZoom(double scale) const;
    void panTo(Point world);
    void centerOn(Point world, double scale);
    // Zooms by a factor about a window point; at a zoom limit nothing changes.
    void zoom(double factor, Point anchor);
    void adjustProjection(Point anchor);
    // The whole map in the map area, with a margin.
    void fit();
    // Keeps the camera offset within two world widths on a wrapping map.
    void wrapCamera();
    // The camera for the game map's fields (the play grid's own units).
    Camera gameCamera() const;
    // Camera scale times the mean of the two axis factors: how many pixels a world unit really spans.
    double physicalScale() const;
    // The city marker size at this zoom: 0 (small squares) below scale 14.
    int citySymbolSize() const;
    // Centres a country's outline at the largest zoom that shows it whole and selects it; throws
    // when no country has that code.
    void focusCountry(const std::string& code);

    // Window.
    bool onMap(Point p) const;
    Point mapAreaCentre() const;
    ScreenRect mapClip() const { return mapArea(width, height); }
    ViewKey viewKey() const { return {camera, width, height, world_.generation}; }
    WorldOverview miniGeometry() const;

    // Hover state for the pointer position, asking the picking what is drawn there.
    void updateHover();
    // The selected country, else the one under the pointer.
    std::optional<std::size_t> activeCountry() const { return selectedCountry ? selectedCountry : hover.country; }

    // Calls callback(drawn, stored) for every field of m visible through c; on a wrapping map the
    // drawn hexes run past the stored columns, so the world repeats to the east and west.
    template <typename Callback>
    void forVisibleOn(const Map& m, const Camera& c, Callback&& callback) const;
    template <typename Callback>
    void forVisible(Callback&& callback) const { forVisibleOn(world_.map, camera, callback); }
    template <typename Callback>
    void forVisibleGame(Callback&& callback) const { forVisibleOn(world_.gameMap(), gameCamera(), callback); }

    // Calls callback(screen point) for every on-screen copy of a game-map field's centre, with the
    // margin of a unit icon.
    template <typename Callback>
    void unitCopies(Hex position, Callback&& callback) const;
    // The unit whose picture holds the point; none below unit zoom.
    std::optional<int> unitAt(const Army& army, Point screen) const;
    // The unit pictures' size at this zoom, from the game fields' size on screen.
    UnitFootprint unitFootprint() const;
    // The pixels a unit picture covers about its field centre, rounded as drawn.
    static ScreenRect unitBounds(Point centre, const UnitFootprint& footprint);

    Picking* picking = nullptr; // what is drawn; none: no city, river or bridge is hit
    Camera camera;
    int width = 1280;
    int height = 850;
    Point mouse{-1, -1};
    Hover hover;
    std::optional<std::size_t> selectedCountry;
    std::optional<std::size_t> selectedCity;
    bool citiesVisible = true;
    bool legendVisible = false;
    bool helpVisible = false; // the keys and rules over the map: F1 or ?
    bool dragging = false;
    std::size_t unitListOffset = 0; // the unit list's first row, as scrolled
    std::size_t logScroll = 0;      // combat-log lines scrolled back from the newest

private:
    const World& world_;
};

// A geographic position with its longitude brought into [-180, 180).
Point reducedLongitude(Point geography);

template <typename Callback>
void ViewState::forVisibleOn(const Map& m, const Camera& c, Callback&& callback) const {
    const Point topLeft = c.toWorld({0, double(topbarHeight)});
    const Point bottomRight = c.toWorld({double(width - sidebarWidth), double(height - footerHeight)});
    const int firstRow = std::max(static_cast<int>(std::floor((topLeft.y - 1) / 1.5)), 0);
    const int lastRow = std::min(static_cast<int>(std::ceil((bottomRight.y + 1) / 1.5)), m.height() - 1);
    for (int r = firstRow; r <= lastRow; ++r) {
        int left = static_cast<int>(std::floor(topLeft.x / sqrt3 - r * 0.5)) - 1;
        int right = static_cast<int>(std::ceil(bottomRight.x / sqrt3 - r * 0.5)) + 1;
        if (!m.wraps()) {
            const int offset = m.offsetRows() ? r / 2 : 0;
            left = std::max(left, -offset);
            right = std::min(right, m.width() - 1 - offset);
        }
        for (int q = left; q <= right; ++q) {
            if (const auto stored = m.canonical({q, r})) {
                callback(Hex{q, r}, *stored);
            }
        }
    }
}

template <typename Callback>
void ViewState::unitCopies(Hex position, Callback&& callback) const {
    // Pictures reach at most this far beyond their centre, so copies just outside the map area still show.
    constexpr double iconReach = 40;
    const Point p = world_.gameWorld(position);
    const Map& map = world_.map;
    int first = 0;
    int last = 0;
    if (world_.gameMap().wraps()) {
        const double period = map.width() * sqrt3;
        const double pad = iconReach / (camera.horizontalScale * camera.scale);
        const double leftX = camera.toWorld({0, 0}).x;
        const double rightX = camera.toWorld({double(width - sidebarWidth), 0}).x;
        first = static_cast<int>(std::ceil((leftX - p.x - pad) / period));
        last = static_cast<int>(std::floor((rightX - p.x + pad) / period));
    }
    for (int k = first; k <= last; ++k) {
        const Point s = camera.toScreen({p.x + k * map.width() * sqrt3, p.y});
        if (s.x >= -iconReach && s.x <= width - sidebarWidth + iconReach && s.y >= topbarHeight - iconReach &&
            s.y <= height + 4) {
            callback(s);
        }
    }
}

} // namespace korvan
