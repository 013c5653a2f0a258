// Bridge building and the bridges on a movement path.
#include "client/client.hpp"

namespace korvan {

std::optional<RiverGraphics::Choice> Client::bridgeCandidate() const { return std::nullopt; }
std::optional<Point> Client::bridgeWaypoint(Hex, Hex, Point, Point) const { return std::nullopt; }

} // namespace korvan
