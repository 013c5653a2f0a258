// Small overlays of the map: field outlines and highlights, the tile cursor, roads, objectives,
// the bridge preview and the movement-path arrow.
#pragma once

#include "map/map.hpp"
#include "map_view/map_layer.hpp"
#include "water/river_layer.hpp"

#include <SDL.h>

#include <optional>
#include <vector>

namespace korvan {

// A movement path as world points: repeated fields dropped, each point moved to the world copy next
// to the one before (so a path across the seam stays one line), then the whole line moved to the
// copy nearest the view's middle. fields[i] is the field of world[i].
struct PathPoints {
    std::vector<Hex> fields;
    std::vector<Point> world;
};
PathPoints pathWorldPoints(const Map& map, const std::vector<Hex>& path, double viewMiddleX);

// The six edges of a field, on the game camera when gameplay is set; thick draws nested rings.
void outlineField(const Frame& frame, Hex h, SDL_Color color, bool thick, bool gameplay);
// Marks a game-map field at each of its world copies that can be on screen.
void highlightField(const Frame& frame, Hex h, SDL_Color color);
// The reach and path of the selected unit show only while it may still move now, close enough to
// see fields.
bool movementPreviewVisible(const Scene& scene);

// The game-map field under the pointer.
class CursorLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
};

// Roads of maps that have them, with their bridges.
class RoadLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;

private:
    std::vector<SDL_Vertex> casing_;
    std::vector<SDL_Vertex> roads_;
    std::vector<int> indices_;
};

class CityLayer;

// Objectives are named from this zoom on.
inline constexpr double objectiveNameZoom = 4;
// An objective's marker about its field centre, and where its own name goes.
ScreenRect objectiveMarker(Point centre);
ScreenRect objectiveNameRect(Point centre, std::size_t length);

// The battle's objectives in their owner's colour, named from zoom 4 unless their city's label
// names them.
class ObjectiveLayer final : public MapLayer {
public:
    explicit ObjectiveLayer(CityLayer& cities) : cities_(cities) {}
    void draw(const Frame& frame) override;

private:
    CityLayer& cities_;
};

// In bridge mode, the river side a click would bridge.
class BridgePreviewLayer final : public MapLayer {
public:
    explicit BridgePreviewLayer(RiverLayer& rivers) : rivers_(rivers) {}
    void draw(const Frame& frame) override;

private:
    RiverLayer& rivers_;
};

// The selected unit's path to the field under the pointer, as an arrow over the bridges it crosses.
class PathLayer final : public MapLayer {
public:
    explicit PathLayer(RiverLayer& rivers) : rivers_(rivers) {}
    void draw(const Frame& frame) override;

private:
    // The bridge drawn between two path fields, when the step crosses one on this copy of the world.
    std::optional<Point> bridgeWaypoint(const Frame& frame, Hex a, Hex b, Point pa, Point pb);

    RiverLayer& rivers_;
};

} // namespace korvan
