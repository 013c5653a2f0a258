// The reach overlay of the selected unit: its reachable fields filled, their outer edges drawn.
#pragma once

#include "core/camera.hpp"
#include "forces/army.hpp"
#include "map/map.hpp"
#include "kit/triangle_batch.hpp"
#include "map_view/map_layer.hpp"

#include <SDL.h>

#include <optional>
#include <utility>
#include <vector>

namespace korvan {

struct ReachMesh : TriangleBatch {
    std::vector<std::pair<Point, Point>> edges; // screen ends of each field edge, shared ones once
};

// The reachable fields (cost above 0) of a range at every world copy between the world x left and
// right, projected with the game camera; the hovered field is filled brighter.
ReachMesh reachGeometry(const Map& game, const Camera& camera, const MovementRange& range,
                        std::optional<Hex> hovered, double left, double right);

class ReachLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
};

} // namespace korvan
