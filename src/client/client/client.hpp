// The interactive state of the program: maps, camera, selection, hover and render caches.
#pragma once

#include "client/screen_layout.hpp"
#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "core/camera.hpp"
#include "geography/cities.hpp"
#include "geography/countries.hpp"
#include "geography/country_grid.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "geography/water_territories.hpp"
#include "map/map.hpp"
#include "render/city_graphics.hpp"
#include "render/city_labels.hpp"
#include "render/country_border.hpp"
#include "render/country_flags.hpp"
#include "render/label_pictures.hpp"
#include "render/layer_cache.hpp"
#include "render/river_graphics.hpp"
#include "render/map_picture.hpp"
#include "render/river_rows.hpp"
#include "render/river_segments.hpp"
#include "render/terrain_art.hpp"
#include "render/terrain_geometry.hpp"
#include "render/unit_icons.hpp"
#include "render/unit_pictures.hpp"
#include "render/world_overview.hpp"
#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvan {

// The regular play grid derived from a world map; none for other maps.
std::optional<Map> playGridFor(const Map& world);

// ASCII upper case of every byte: name searches and keys compare through it.
std::string upper(std::string s);
// Breaks a panel text into lines of at most `length` characters, each ending at its last blank
// (a blank at the very start does not count) or cut hard; the next line drops one leading blank,
// or all of them with dropAllBlanks.
std::vector<std::string> wrapPanelText(const std::string& text, std::size_t length, bool dropAllBlanks);
// A geographic position with its longitude brought into [-180, 180).
Point reducedLongitude(Point geography);

// What the hover panel names: its heading, the name broken into lines, and the hovered country,
// which is the name itself when nothing else is under the pointer.
struct HoverPanelText {
    std::string heading;
    std::vector<std::string> name;
    std::optional<std::size_t> country;
    bool countryOnly = false;
};

class Client {
public:
    // Screen layout: map area {0, topbar, width - sidebar, height - topbar - footer}.
    static constexpr int sidebar = sidebarWidth;
    static constexpr int topbar = topbarHeight;
    static constexpr int footer = footerHeight;
    using CityPlacement = korvan::CityPlacement;

    explicit Client(Map world, std::vector<City> cityList = {});
    // Without the play grid, which start-up derives on another thread meanwhile and hands over
    // with setPlayGrid; until then the game map is the world map.
    struct PlayGridLater {};
    Client(Map world, std::vector<City> cityList, PlayGridLater);
    void setPlayGrid(std::optional<Map> grid);
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Input dispatch; every event ends with the camera wrap and a hover update.
    void event(const SDL_Event& e);
    // One frame: the map layers under the map clip, then the panels. Drawing changes no game state,
    // only the render caches.
    void render(SDL_Renderer* renderer) const;

    // View.
    double verticalScaleForZoom(double scale) const;
    void panTo(Point world);
    void centerOn(Point world, double scale);
    void zoom(double factor, Point anchor);
    void adjustProjection(Point anchor);
    void fit();
    bool onMap(Point p) const;
    const Map& gameMap() const { return regularMap ? *regularMap : map; }
    Point gameWorld(Hex h) const;
    std::optional<Hex> gameAt(Point world) const;
    Camera gameCamera() const;
    void focusGeography(Point lonLat, double scale);
    void focusOperation();
    void wrapCamera();
    WorldOverview miniGeometry() const;
    Point mapAreaCentre() const;

    // Calls callback(drawn, stored) for every field of m visible through c; on a wrapping map the
    // drawn hexes run past the stored columns, so the world repeats to the east and west.
    template <typename Callback>
    void forVisibleOn(const Map& m, const Camera& c, Callback&& callback) const;
    template <typename Callback>
    void forVisible(Callback&& callback) const { forVisibleOn(map, camera, callback); }
    template <typename Callback>
    void forVisibleGame(Callback&& callback) const { forVisibleOn(gameMap(), gameCamera(), callback); }

    // Map layers, in frame order (render/).
    void renderTerrain(SDL_Renderer* renderer) const;
    void drawTerrain(SDL_Renderer* renderer) const;
    Terrain displayedTerrain(Hex h) const;
    void renderOverview(SDL_Renderer* renderer, bool includeRivers) const;
    void renderLakeDetails(SDL_Renderer* renderer) const;
    void drawLakeDetails(SDL_Renderer* renderer) const;
    void renderRoads(SDL_Renderer* renderer) const;
    // The outline of the active country, kept as a picture until the view, country or map changes.
    void renderCountry(SDL_Renderer* renderer) const;
    void renderCountryGeometry(SDL_Renderer* renderer) const;
    // The same picture painted on the CPU into a streaming texture, for the software renderer.
    void renderCountryPixels(SDL_Renderer* renderer) const;
    // Appends one outline segment (screen pixels) to countryVertices and countryIndices.
    void countryBorder(Point a, Point b, bool casing, bool dashed, bool capStart, bool capEnd) const;
    // The selected country, else the one under the pointer.
    std::optional<std::size_t> activeCountry() const { return selectedCountry ? selectedCountry : hoveredCountry; }
    void renderRivers(SDL_Renderer* renderer) const;
    void drawRiverBands(SDL_Renderer* renderer) const;
    void fillReachable(SDL_Renderer* renderer) const;
    void renderTileCursor(SDL_Renderer* renderer) const;
    void renderOperationCities(SDL_Renderer* renderer) const;
    void renderCities(SDL_Renderer* renderer) const;
    void renderObjectives(SDL_Renderer* renderer) const;
    void renderUnits(SDL_Renderer* renderer) const;
    void renderBridgePreview(SDL_Renderer* renderer) const;
    void renderMovementPath(SDL_Renderer* renderer) const;
    void renderHud(SDL_Renderer* renderer) const;
    void renderLegend(SDL_Renderer* renderer) const;
    void renderUnitList(SDL_Renderer* renderer) const;
    void renderSelectionPanel(SDL_Renderer* renderer) const;
    void renderCombatLog(SDL_Renderer* renderer) const;
    void renderSelectedCountry(SDL_Renderer* renderer) const;
    void renderHoverPanel(SDL_Renderer* renderer) const;
    void renderBridgePanel(SDL_Renderer* renderer) const;
    void renderDisputedLine(SDL_Renderer* renderer) const;
    HoverPanelText hoverPanelText() const;
    void drawFlag(SDL_Renderer* renderer, const std::string& countryId, int x, int y) const;
    void renderStatusLine(SDL_Renderer* renderer) const;
    void renderMini(SDL_Renderer* renderer) const;
    // The six edges of a field, on the game camera when gameplay is set; thick draws nested rings.
    void outline(SDL_Renderer* renderer, Hex h, SDL_Color color, bool thick, bool gameplay) const;
    // Marks a game-map field at each of its world copies that can be on screen.
    void highlight(SDL_Renderer* renderer, Hex h, SDL_Color color) const;

    // The river sides of the game map in view, rebuilt when the camera, window or map changed.
    const RiverGraphics& riverGraphics() const;
    // Camera scale times the mean of the two axis factors: how many pixels a world unit really spans.
    double physicalScale() const;
    // The world-map river edge a play-grid edge stands for (a bridged one first).
    std::size_t riverSourceOf(std::size_t gridEdge) const;
    ViewKey viewKey() const { return {camera, width, height, mapGeneration}; }
    SDL_Rect mapClip() const { return mapArea(width, height); }

    // Game commands behind the input.
    void selectUnit(int id, bool focus);
    void nextUnit();
    void moveTo(Hex target);
    void attackUnit(int id);
    void renewMovement();
    void restartBattle();
    void buildBridge();
    std::optional<int> unitAt(Point screen) const;
    // How many rows the unit list shows, and the army index of the first.
    std::size_t unitListSize() const { return unitListRows(battle ? battle->objectives().size() : 0); }
    std::size_t unitListFirst() const;
    std::optional<RiverGraphics::Choice> bridgeCandidate() const;
    std::optional<Point> bridgeWaypoint(Hex a, Hex b, Point pa, Point pb) const;
    bool movementPreviewVisible() const;
    static SDL_Rect unitBounds(Point centre, int size);
    // Calls callback(screen point) for every on-screen copy of a game-map field's centre, with the
    // margin of a unit icon.
    template <typename Callback>
    void unitCopies(const Unit& unit, Callback&& callback) const;

    // Hover state for the pointer position, and the panel texts taken from it.
    void updateHover();
    std::optional<std::size_t> cityAt(Point screen) const;
    std::optional<std::size_t> countryForField(Hex h) const;
    std::string countrySelectionLabel() const;
    std::string waterHoverHeading() const;
    std::vector<std::string> bridgeHoverLines() const;
    // Longitude and latitude of a world point, the longitude not reduced to one world copy.
    Point geographyAt(Point world) const;
    // Searches that jump the view; both throw when nothing matches.
    void focusCountry(const std::string& code);
    void focusCity(const std::string& name);
    // A country's outline polylines in world units, computed once per country and map generation.
    const std::vector<std::vector<Point>>& linesOf(std::size_t country) const;
    Point cityWorld(std::size_t city) const;
    // The city marker size at this zoom: 0 (small squares) below scale 14.
    int citySymbolSize() const;
    // The world-map cities on screen this frame with their labels, most important first.
    std::vector<CityPlacement> cityPlacements() const;

    Map map;
    Camera camera;
    std::optional<Map> regularMap;
    Army army;
    std::optional<Battle> battle;
    std::filesystem::path dataDirectory;
    bool showLog = false;
    std::optional<int> selectedUnit;
    MovementRange range;
    std::string movementMessage;
    mutable TextureHandle miniTexture;
    std::vector<City> cities;
    UrbanAreas urbanAreas;
    std::vector<std::size_t> urbanCityIndices; // per urban centre, its index in cities
    std::vector<std::optional<Hex>> cityAnchors; // per city, its world-map urban field
    std::vector<Point> cityCenters;              // per anchored city, its play-grid field centre
    std::vector<std::optional<Point>> cityShore; // per unanchored city on water, a point on land
    std::unordered_map<int, std::size_t> cityFields; // play-grid field key -> city index
    Countries countries;
    WaterTerritories waterTerritories;
    CountryGrid countryGrid;
    Seas seas;
    Seas lakes;
    RiverNames riverNames;
    BridgeNames bridgeNames;
    std::optional<std::size_t> hoveredCountry;
    std::optional<std::size_t> selectedCountry;
    bool citiesVisible = true;
    bool legendVisible = false;
    std::optional<std::size_t> hoveredCity;
    std::optional<std::size_t> selectedCity;
    std::optional<std::size_t> hoveredBridge; // world-map river edge
    std::optional<std::string> hoveredRiver;
    std::optional<std::string> hoveredLake;
    std::optional<std::string> hoveredSea;
    bool hoveredInlandWater = false;
    bool hoveredNationalWater = false;
    int width = 1280;
    int height = 850;
    Point mouse{-1, -1};
    std::optional<Hex> hovered;
    std::optional<Hex> selected;
    bool running = true;
    bool dragging = false;
    bool bridgeMode = false;
    unsigned mapGeneration = 0;
    TerrainArt terrainArt;
    CityGraphics cityGraphics;
    CountryFlags flags;
    bool benchmarkTimings = false;           // time the border layer into borderMilliseconds
    mutable double borderMilliseconds = 0;   // the last border layer's time, when timed
    mutable std::size_t borderDrawCalls = 0; // geometry calls of the border layer this frame

    // Render caches: only drawing writes them.
    struct OverviewCache {
        TextureHandle texture;
        std::vector<std::uint32_t> pixels; // the last raster without rivers, for reuse after a pan
        std::vector<std::uint32_t> scratch; // the next raster; swapped with pixels
        std::vector<std::uint32_t> drawn; // the last raster with rivers, for reuse after a pan
        RiverIndex riverIndex; // the world map's sides, compact and by area, for drawing them in
        std::optional<ViewKey> key;
        bool rivers = true;
        int width = 0;
        int height = 0;
    };
    mutable LayerCache terrainCache;
    mutable UnitPictureCache mapUnitPictures; // the map's units, 48 pixels wide
    mutable LabelPictures cityLabelPictures;
    mutable UnitIconAtlas listUnitIcons; // the unit list's, 24 pixels
    mutable TerrainScratch terrainScratch;
    mutable LayerCache riverCache;
    mutable MapPicture riverPicture; // what riverCache shows, kept for scrolling
    mutable LayerCache lakeCache;
    mutable OverviewCache overviewCache;
    mutable RiverGraphics visibleRivers;
    mutable std::optional<ViewKey> riverGeometryKey;
    mutable RiverRows riverRows;
    mutable CityLabelScratch cityLabelScratch;
    // Country borders: outlines per country for the map generation they were made for, the current
    // outline's triangles, and its picture with the country and renderer it was drawn for.
    struct CountryPicture {
        LayerCache layer;
        std::optional<std::size_t> country;
        SDL_Renderer* renderer = nullptr;
        MapPicture raster;  // the software renderer's picture of the map area
        SDL_Rect painted{}; // where raster holds outline pixels; the rest is clear
    };
    mutable std::unordered_map<std::size_t, std::vector<std::vector<Point>>> countryLines;
    mutable unsigned countryLinesGeneration = 0;
    mutable ScreenPolylines countryScreenLines;
    mutable std::vector<SDL_Vertex> countryVertices;
    mutable std::vector<int> countryIndices;
    mutable CountryPicture countryPicture;

private:
    std::vector<std::pair<int, std::size_t>> cityHexes; // world-map hex key and city index, sorted

    void keyDown(const SDL_KeyboardEvent& key);
    void indexCityHexes();
    int hexKey(Hex h) const;
    void mouseButtonDown(const SDL_MouseButtonEvent& button);
    void leftClick();
    void mapClick();
    void clearSelection();
    void clearRange();
    std::size_t unitCount() const;
    int unitIdAt(std::size_t listIndex) const;
    bool battleDecided() const;
    bool canAttack(int unitId) const;
    // The placements of this frame in the label scratch, valid until the next call. With anyHover,
    // placements made for another hovered city serve too: they are what the screen shows.
    const std::vector<CityPlacement>& currentCityPlacements(bool anyHover = false) const;
};

template <typename Callback>
void Client::forVisibleOn(const Map& m, const Camera& c, Callback&& callback) const {
    const Point topLeft = c.toWorld({0, double(topbar)});
    const Point bottomRight = c.toWorld({double(width - sidebar), double(height - footer)});
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
void Client::unitCopies(const Unit& unit, Callback&& callback) const {
    const Point p = gameWorld(unit.position);
    int first = 0;
    int last = 0;
    if (gameMap().wraps()) {
        // Icons reach 38 pixels beyond their centre, so copies just outside the map area still show.
        const double period = map.width() * sqrt3;
        const double pad = 38 / (camera.horizontalScale * camera.scale);
        const double leftX = camera.toWorld({0, 0}).x;
        const double rightX = camera.toWorld({double(width - sidebar), 0}).x;
        first = static_cast<int>(std::ceil((leftX - p.x - pad) / period));
        last = static_cast<int>(std::floor((rightX - p.x + pad) / period));
    }
    for (int k = first; k <= last; ++k) {
        const Point s = camera.toScreen({p.x + k * map.width() * sqrt3, p.y});
        if (s.x >= -38 && s.x <= width - 232 && s.y >= 44 && s.y <= height + 4) {
            callback(s);
        }
    }
}

} // namespace korvan
