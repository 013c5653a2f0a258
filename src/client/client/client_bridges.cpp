// Bridge building and the bridges on a movement path.
#include "client/client.hpp"

#include <cmath>

namespace korvan {

std::optional<RiverGraphics::Choice> Client::bridgeCandidate() const {
    if (camera.scale < 7 || !onMap(mouse)) {
        return std::nullopt;
    }
    return riverGraphics().hit(mouse, false);
}

std::optional<Point> Client::bridgeWaypoint(Hex a, Hex b, Point pa, Point pb) const {
    const Map& game = gameMap();
    const auto ca = game.canonical(a);
    const auto cb = game.canonical(b);
    if (!ca || !cb) {
        return std::nullopt;
    }
    const auto index = game.riverEdgeIndex(*ca, *cb);
    if (!index || !game.rivers()[*index].bridge) {
        return std::nullopt;
    }
    const auto center = riverGraphics().bridgeCenter(*index);
    if (!center) {
        return std::nullopt;
    }
    // A bridge further from the step's middle than the step is long belongs to another copy of the world.
    const Point middle = (pa + pb) * 0.5;
    const Point toCenter = *center - middle;
    const Point step = pb - pa;
    if (std::hypot(toCenter.x, toCenter.y) > std::hypot(step.x, step.y)) {
        return std::nullopt;
    }
    return center;
}

} // namespace korvan
