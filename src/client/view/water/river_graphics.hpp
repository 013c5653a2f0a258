// Rivers drawn as smooth tapered ribbons: the visible river sides in screen pixels are joined into
// chains, smoothed, sampled and turned into triangle meshes; also answers what river or bridge lies
// under the pointer.
#pragma once

#include "core/containers/flat_key_map.hpp"
#include "core/hex.hpp"
#include "kit/primitives.hpp"
#include "kit/triangle_batch.hpp"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// A drawn bridge reaches across the river's width plus its approaches and is as wide as the zoom allows,
// within a readable minimum and a cap.
double bridgeHalfLength(double riverWidth, double physicalScale);
double bridgeHalfWidth(double physicalScale);

// The points of a sampled line that drawing needs: a point is left out while the chord past it
// stays within about `tolerance` pixels of the line (judged by the turning since the last kept
// point), no longer than `maxLength` and the width changes by at most `tolerance`. The ends are
// always kept. Triangles cost the software renderer far more than their pixels, so a line of
// sub-pixel samples is drawn with a few long segments.
void simplifyRiverPath(const std::vector<Point>& points, const std::vector<double>& widths, double tolerance,
                       double maxLength, std::vector<Point>& keptPoints, std::vector<double>& keptWidths);

// The screen area being drawn: triangles wholly outside it are not sent to the renderer at all.
struct DrawBounds {
    Point lo{-1e300, -1e300};
    Point hi{1e300, 1e300};

    bool misses(double left, double top, double right, double bottom) const {
        return right < lo.x || left > hi.x || bottom < lo.y || top > hi.y;
    }
};

// Untextured coloured triangles.
struct Mesh : TriangleBatch {

    void polygon(const std::vector<Point>& points, SDL_Color color); // a fan from the first point
    void disc(Point center, double radius, SDL_Color color, int corners = 12); // a regular polygon
    // A band of the given widths along the points; offset moves it by -w * offset on both axes.
    void strip(const std::vector<Point>& points, const std::vector<double>& widths, SDL_Color color, double offset);
    // strip with the width of point i from widthAt(i), so derived widths need no vector of their own;
    // segments outside `bounds` get no triangles.
    template <typename WidthAt>
    void stripWith(const std::vector<Point>& points, WidthAt&& widthAt, SDL_Color color, double offset,
                   const DrawBounds& bounds = {});
    // Paints the triangles into ARGB pixels covering the screen rectangle `area`, `stride` pixels from
    // row to row: corners snap to whole pixels and a pixel takes a triangle's colour when its centre
    // lies inside it, as SDL's software renderer draws them.
    void fill(std::uint32_t* pixels, int stride, SDL_Rect area) const;
};

template <typename WidthAt>
void Mesh::stripWith(const std::vector<Point>& points, WidthAt&& widthAt, SDL_Color color, double offset,
                     const DrawBounds& bounds) {
    const std::size_t count = points.size();
    if (count == 0) {
        return;
    }
    const Point gap = points.front() - points.back();
    const bool closed = count > 3 && gap.x * gap.x + gap.y * gap.y <= 1e-12;
    const int base = static_cast<int>(vertices.size());
    for (std::size_t i = 0; i < count; ++i) {
        Point previous = points[i == 0 ? 0 : i - 1];
        Point next = points[std::min(i + 1, count - 1)];
        if (closed && (i == 0 || i + 1 == count)) {
            // The seam of a closed line bends like every other point.
            previous = points[count - 2];
            next = points[1];
        }
        const Point d = next - previous;
        const double length = std::sqrt(d.x * d.x + d.y * d.y);
        if (length < 1e-8) {
            return;
        }
        const double w = widthAt(i);
        const Point n = Point{-d.y, d.x} * (w / 2 / length);
        const Point center = points[i] - Point{w * offset, w * offset};
        vertices.push_back(vertex(center + n, color));
        vertices.push_back(vertex(center - n, color));
        if (i > 0) {
            const int k = base + 2 * static_cast<int>(i);
            const SDL_FPoint* quad[] = {&vertices[std::size_t(k - 2)].position, &vertices[std::size_t(k - 1)].position,
                                        &vertices[std::size_t(k)].position, &vertices[std::size_t(k + 1)].position};
            float left = quad[0]->x, right = left, top = quad[0]->y, bottom = top;
            for (const SDL_FPoint* q : quad) {
                left = std::min(left, q->x);
                right = std::max(right, q->x);
                top = std::min(top, q->y);
                bottom = std::max(bottom, q->y);
            }
            if (!bounds.misses(left, top, right, bottom)) {
                indices.insert(indices.end(), {k - 2, k - 1, k, k - 1, k + 1, k});
            }
        }
    }
}

class RiverGraphics {
public:
    struct Node {
        Point point; // screen pixels
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
    // Forgets every node and edge but keeps the storage for the next build.
    void clear();
    // Marks the sources added so far as placeholders: looking a source up costs a few cache misses
    // per side, and only the answers of hit tests carry it.
    void deferSources() { sourcesDeferred_ = !edges_.empty(); }
    // Replaces deferred sources by sourceOf(id).
    template <typename SourceOf>
    void resolveSources(SourceOf&& sourceOf) {
        if (sourcesDeferred_) {
            for (Edge& e : edges_) {
                e.source = sourceOf(e.id);
            }
            sourcesDeferred_ = false;
        }
    }
    const Scene& geometry() const;
    void draw(SDL_Renderer* renderer, double physicalScale) const;
    // What draw paints within the screen rectangle `area`, as ARGB pixels `stride` apart from row to row,
    // transparent where no river lies: the software renderer spends far more per triangle than this.
    void fill(std::uint32_t* pixels, int stride, SDL_Rect area, double physicalScale) const;
    // fill over the pixels already there: the ribbons are opaque.
    void paint(std::uint32_t* pixels, int stride, SDL_Rect area, double physicalScale) const;
    std::optional<Choice> hit(Point screen, bool precise) const;
    std::optional<Choice> hitBridge(Point screen, double physicalScale) const;
    std::optional<Point> bridgeCenter(std::size_t id) const;
    static void ribbon(Mesh& bank, Mesh& water, Mesh& light, const std::vector<Point>& points,
                       const std::vector<double>& widths, const DrawBounds& bounds = {});

    const std::vector<Node>& nodes() const { return nodes_; }
    const std::vector<Edge>& edges() const { return edges_; }
    // The edges that meet at a node, in the order they were added.
    std::span<const std::uint32_t> edgesAt(std::size_t node) const {
        link();
        return {nodeEdges_.data() + edgeStart_[node], nodeEdges_.data() + edgeStart_[node + 1]};
    }
    std::size_t degree(std::size_t node) const { return edgesAt(node).size(); }

private:
    // Working vectors of one chain, kept between builds so a rebuild allocates nothing new.
    struct Scratch {
        std::vector<std::uint32_t> nextEdge; // where link puts a node's next edge
        std::vector<char> visited;
        std::vector<std::size_t> chainEdges;
        std::vector<std::size_t> chainNodes;
        std::vector<Point> control;
        std::vector<double> widths;
        std::vector<bool> anchors;
        std::vector<Point> smoothed;
        std::vector<Point> previous;
    };
    // The meshes of one area and the working vectors that build them: one set per painting thread.
    struct MeshSet {
        std::vector<Mesh> meshes; // bank, water, light, bridges
        std::vector<Point> drawPoints;
        std::vector<double> drawWidths;
    };

    // Lists every node's edges in one array once all are added: walking a chain then reads two
    // small arrays instead of a list apiece.
    void link() const;
    void buildGeometry(Scene& scene) const;
    void buildMeshes(const DrawBounds& bounds, double physicalScale, MeshSet& set) const;
    void paintRows(std::uint32_t* pixels, int stride, SDL_Rect area, double physicalScale, bool clear) const;
    void traceChain(std::size_t start, std::size_t edge, Scene& scene, std::size_t& pathCount) const;
    double nodeWidth(std::size_t node) const;
    std::optional<Point> bridgeTangent(std::size_t edge, const Placement& placement) const;

    mutable std::optional<Scene> cachedScene;
    mutable Scene spareScene_;    // the storage of the last scene while it is stale
    mutable Scratch scratch_;
    mutable std::array<MeshSet, 2> meshSets_; // the second for a helper thread's half
    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    mutable std::vector<std::uint32_t> edgeStart_; // node n's edges are nodeEdges_[edgeStart_[n]] on
    mutable std::vector<std::uint32_t> nodeEdges_;
    mutable bool linked_ = false;
    FlatKeyMap index_; // vertex key -> node
    bool sourcesDeferred_ = false;
};

} // namespace korvan
