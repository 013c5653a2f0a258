// Rivers drawn as smooth tapered ribbons: the visible river sides in screen pixels are joined into
// chains, smoothed, sampled and turned into triangle meshes; also answers what river or bridge lies
// under the pointer.
#pragma once

#include "core/hex.hpp"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace korvan {

// Corners of the hexagon plane lie on this lattice, so corners shared by several sides get one key.
std::uint64_t riverVertexKey(Point world);

// Averages every point with its neighbours for `passes` rounds; the ends of an open line and anchored
// points stay where they are.
std::vector<Point> smoothRiverPath(const std::vector<Point>& points, const std::vector<bool>& anchors, bool closed,
                                   int passes);
// Uniform Catmull-Rom point between points[segment] and points[segment + 1]; indices wrap on a closed
// line and are clamped on an open one.
Point riverSplinePoint(const std::vector<Point>& points, int segment, bool closed, double t);

// Untextured coloured triangles.
struct Mesh {
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;

    void polygon(const std::vector<Point>& points, SDL_Color color); // a fan from the first point
    void disc(Point center, double radius, SDL_Color color);         // a 12-gon
    // A band of the given widths along the points; offset moves it by -w * offset on both axes.
    void strip(const std::vector<Point>& points, const std::vector<double>& widths, SDL_Color color, double offset);
    void draw(SDL_Renderer* renderer) const;
};

class RiverGraphics {
public:
    struct Node {
        Point point; // screen pixels
        std::vector<std::size_t> edges;
    };
    struct Edge {
        std::size_t a = 0;
        std::size_t b = 0;
        double width = 1;   // ribbon width in pixels
        bool bridge = false;
        std::size_t source = 0; // world-map river edge it stands for
        std::size_t id = 0;     // play-grid river edge (or source)
    };
    struct Path {
        std::vector<Point> points;
        std::vector<double> widths;
        std::vector<std::size_t> edges; // one per segment between consecutive points
    };
    struct Placement {
        Point center;
        Point tangent;
    };
    struct Scene {
        std::vector<Path> paths;
        std::vector<Placement> placements; // by edge index
    };
    struct Choice {
        std::size_t source = 0;
        Point center;
        Point tangent;
        double width = 0;
    };

    void add(Point worldA, Point worldB, Point screenA, Point screenB, double width, bool bridge, std::size_t source,
             std::optional<std::size_t> id = std::nullopt);
    std::size_t node(Point world, Point screen);
    const Scene& geometry() const;
    void draw(SDL_Renderer* renderer, double physicalScale) const;
    std::optional<Choice> hit(Point screen, bool precise) const;
    std::optional<Choice> hitBridge(Point screen, double physicalScale) const;
    std::optional<Point> bridgeCenter(std::size_t id) const;
    static void ribbon(Mesh& bank, Mesh& water, Mesh& light, const std::vector<Point>& points,
                       const std::vector<double>& widths);

    const std::vector<Node>& nodes() const { return nodes_; }
    const std::vector<Edge>& edges() const { return edges_; }

private:
    Scene buildGeometry() const;

    mutable std::optional<Scene> cachedScene;
    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    std::unordered_map<std::uint64_t, std::size_t> index_;
};

} // namespace korvan
