// River chains, smoothing, meshes and hit tests.
#include "render/river_graphics.hpp"

namespace korvan {

std::uint64_t riverVertexKey(Point) { return 0; }
std::vector<Point> smoothRiverPath(const std::vector<Point>& points, const std::vector<bool>&, bool, int) { return points; }
Point riverSplinePoint(const std::vector<Point>&, int, bool, double) { return {}; }
void Mesh::polygon(const std::vector<Point>&, SDL_Color) {}
void Mesh::disc(Point, double, SDL_Color) {}
void Mesh::strip(const std::vector<Point>&, const std::vector<double>&, SDL_Color, double) {}
void Mesh::draw(SDL_Renderer*) const {}
void RiverGraphics::add(Point, Point, Point, Point, double, bool, std::size_t, std::optional<std::size_t>) {}
std::size_t RiverGraphics::node(Point, Point) { return 0; }
const RiverGraphics::Scene& RiverGraphics::geometry() const {
    if (!cachedScene) {
        cachedScene = buildGeometry();
    }
    return *cachedScene;
}
RiverGraphics::Scene RiverGraphics::buildGeometry() const { return {}; }
void RiverGraphics::draw(SDL_Renderer*, double) const {}
std::optional<RiverGraphics::Choice> RiverGraphics::hit(Point, bool) const { return std::nullopt; }
std::optional<RiverGraphics::Choice> RiverGraphics::hitBridge(Point, double) const { return std::nullopt; }
std::optional<Point> RiverGraphics::bridgeCenter(std::size_t) const { return std::nullopt; }
void RiverGraphics::ribbon(Mesh&, Mesh&, Mesh&, const std::vector<Point>&, const std::vector<double>&) {}

} // namespace korvan
