// River sides joined into chains, smoothed and sampled into centre lines with widths.
#include "water/river_graphics.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr int smoothingPasses = 6;
// Pieces of the smoothed line get up to four spline samples about this many pixels apart: zoomed
// out, a piece is a pixel or two long and its chord strays from the curve by a small fraction of one.
constexpr double sampleSpacing = 2;

// One round of neighbour averaging; ends of an open line and anchored points stay.
void smoothOnce(const std::vector<Point>& from, std::vector<Point>& to, const std::vector<bool>& anchors,
                bool closed) {
    const std::size_t count = from.size();
    to.resize(count);
    const auto average = [&](std::size_t i, std::size_t before, std::size_t after) {
        to[i] = (i < anchors.size() && anchors[i]) ? from[i] : (from[i] * 2 + from[before] + from[after]) * 0.25;
    };
    // The ends apart, so the inner points need no wrapping index.
    for (std::size_t i = 1; i + 1 < count; ++i) {
        average(i, i - 1, i + 1);
    }
    if (closed) {
        average(0, count - 1, 1);
        average(count - 1, count - 2, 0);
    } else {
        to.front() = from.front();
        to.back() = from.back();
    }
}

// smoothRiverPath into `points`, with `spare` as the second buffer; both keep their capacity.
void smoothInPlace(std::vector<Point>& points, std::vector<Point>& spare, const std::vector<bool>& anchors,
                   bool closed, int passes) {
    if (points.size() <= 2) {
        return;
    }
    for (int pass = 0; pass < passes; ++pass) {
        smoothOnce(points, spare, anchors, closed);
        points.swap(spare);
    }
}

} // namespace

std::uint64_t riverVertexKey(Point world) {
    const long long column = std::llround(2 * world.x / sqrt3);
    const long long row = std::llround(2 * world.y);
    return (static_cast<std::uint64_t>(column) << 32) | static_cast<std::uint32_t>(row);
}

std::vector<Point> smoothRiverPath(const std::vector<Point>& points, const std::vector<bool>& anchors, bool closed,
                                   int passes) {
    std::vector<Point> result = points;
    std::vector<Point> spare;
    smoothInPlace(result, spare, anchors, closed, passes);
    return result;
}

Point riverSplinePoint(const std::vector<Point>& points, int segment, bool closed, double t) {
    const int count = static_cast<int>(points.size());
    if (count == 0) {
        return {};
    }
    const auto at = [&](int i) {
        if (closed) {
            return points[std::size_t(((i % count) + count) % count)];
        }
        return points[std::size_t(std::clamp(i, 0, count - 1))];
    };
    const Point p0 = at(segment - 1);
    const Point p1 = at(segment);
    const Point p2 = at(segment + 1);
    const Point p3 = at(segment + 2);
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5;
}

std::size_t RiverGraphics::node(Point world, Point screen) {
    const auto [found, inserted] = index_.tryEmplace(riverVertexKey(world), static_cast<std::uint32_t>(nodes_.size()));
    if (inserted) {
        nodes_.push_back({screen});
        linked_ = false;
    }
    return found;
}

void RiverGraphics::add(Point worldA, Point worldB, Point screenA, Point screenB, double width, bool bridge,
                        std::size_t source, std::optional<std::size_t> id) {
    if (cachedScene) {
        spareScene_ = std::move(*cachedScene);
        cachedScene.reset();
    }
    const std::size_t a = node(worldA, screenA);
    const std::size_t b = node(worldB, screenB);
    edges_.push_back({a, b, width, bridge, source, id.value_or(source)});
    linked_ = false;
}

void RiverGraphics::link() const {
    if (linked_) {
        return;
    }
    // Counted, summed into starts, then filled edge by edge: each node's edges in the order added.
    edgeStart_.assign(nodes_.size() + 1, 0);
    for (const Edge& e : edges_) {
        ++edgeStart_[e.a + 1];
        ++edgeStart_[e.b + 1];
    }
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        edgeStart_[n + 1] += edgeStart_[n];
    }
    nodeEdges_.resize(edgeStart_.back());
    std::vector<std::uint32_t>& next = scratch_.nextEdge;
    next.assign(edgeStart_.begin(), edgeStart_.end() - 1);
    for (std::size_t e = 0; e < edges_.size(); ++e) {
        nodeEdges_[next[edges_[e].a]++] = static_cast<std::uint32_t>(e);
        nodeEdges_[next[edges_[e].b]++] = static_cast<std::uint32_t>(e);
    }
    linked_ = true;
}

void RiverGraphics::clear() {
    if (cachedScene) {
        spareScene_ = std::move(*cachedScene);
        cachedScene.reset();
    }
    nodes_.clear();
    edges_.clear();
    linked_ = false;
    index_.clear();
    sourcesDeferred_ = false;
}

const RiverGraphics::Scene& RiverGraphics::geometry() const {
    if (!cachedScene) {
        link();
        Scene scene = std::move(spareScene_);
        buildGeometry(scene);
        cachedScene = std::move(scene);
    }
    return *cachedScene;
}

double RiverGraphics::nodeWidth(std::size_t n) const {
    const auto touching = edgesAt(n);
    if (touching.size() == 2) {
        return (edges_[touching[0]].width + edges_[touching[1]].width) * 0.5;
    }
    double widest = 0;
    for (const std::size_t e : touching) {
        widest = std::max(widest, edges_[e].width);
    }
    return widest;
}

void RiverGraphics::buildGeometry(Scene& scene) const {
    Scratch& s = scratch_;
    s.visited.assign(edges_.size(), 0);
    scene.placements.assign(edges_.size(), Placement{});
    std::size_t pathCount = 0;
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        const auto touching = edgesAt(n);
        if (touching.size() == 2) {
            continue;
        }
        for (const std::size_t e : touching) {
            if (!s.visited[e]) {
                traceChain(n, e, scene, pathCount);
            }
        }
    }
    // Only closed loops of degree-2 nodes are left.
    for (std::size_t e = 0; e < edges_.size(); ++e) {
        if (!s.visited[e]) {
            traceChain(edges_[e].a, e, scene, pathCount);
        }
    }
    scene.paths.resize(pathCount);
}

void RiverGraphics::traceChain(std::size_t start, std::size_t edge, Scene& scene, std::size_t& pathCount) const {
    Scratch& s = scratch_;
    s.chainEdges.clear();
    s.chainNodes.assign(1, start);
    bool closed = false;
    std::size_t at = start;
    for (;;) {
        s.visited[edge] = 1;
        s.chainEdges.push_back(edge);
        const Edge& e = edges_[edge];
        const std::size_t next = e.a == at ? e.b : e.a;
        s.chainNodes.push_back(next);
        if (next == start) {
            closed = degree(start) == 2;
            break;
        }
        const auto touching = edgesAt(next);
        if (touching.size() != 2) {
            break;
        }
        const std::size_t following = touching[0] == edge ? touching[1] : touching[0];
        if (s.visited[following]) {
            break;
        }
        edge = following;
        at = next;
    }

    // Control line: node, edge midpoint, node, ...; junctions and open ends are anchored.
    s.control.clear();
    s.widths.clear();
    s.anchors.clear();
    s.control.push_back(nodes_[start].point);
    s.widths.push_back(nodeWidth(start));
    s.anchors.push_back(!closed);
    for (std::size_t j = 0; j < s.chainEdges.size(); ++j) {
        const Edge& e = edges_[s.chainEdges[j]];
        s.control.push_back((nodes_[e.a].point + nodes_[e.b].point) * 0.5);
        s.widths.push_back(e.width);
        s.anchors.push_back(false);
        if (closed && j + 1 == s.chainEdges.size()) {
            break;
        }
        const std::size_t n = s.chainNodes[j + 1];
        s.control.push_back(nodes_[n].point);
        s.widths.push_back(nodeWidth(n));
        s.anchors.push_back(degree(n) != 2);
    }
    s.smoothed = s.control;
    smoothInPlace(s.smoothed, s.previous, s.anchors, closed, smoothingPasses);

    const std::vector<Point>& p = s.smoothed;
    const std::size_t count = p.size();
    for (std::size_t j = 0; j < s.chainEdges.size(); ++j) {
        scene.placements[s.chainEdges[j]] = {p[2 * j + 1], p[(2 * j + 2) % count] - p[2 * j]};
    }

    if (pathCount == scene.paths.size()) {
        scene.paths.emplace_back();
    }
    Path& path = scene.paths[pathCount++];
    path.points.clear();
    path.widths.clear();
    path.edges.clear();
    const std::size_t segments = closed ? count : count - 1;
    for (std::size_t seg = 0; seg < segments; ++seg) {
        const double w0 = s.widths[seg];
        const double w1 = s.widths[(seg + 1) % count];
        const Point d = p[(seg + 1) % count] - p[seg];
        const int steps = std::clamp(int(std::ceil(std::sqrt(d.x * d.x + d.y * d.y) / sampleSpacing)), 1, 4);
        for (int k = 0; k < steps; ++k) {
            const double t = double(k) / steps;
            path.points.push_back(k == 0 ? p[seg] : riverSplinePoint(p, static_cast<int>(seg), closed, t));
            path.widths.push_back(w0 + (w1 - w0) * t);
            path.edges.push_back(s.chainEdges[seg / 2]);
        }
    }
    path.points.push_back(riverSplinePoint(p, static_cast<int>(segments) - 1, closed, 1));
    path.widths.push_back(closed ? s.widths.front() : s.widths.back());
}

} // namespace korvan
