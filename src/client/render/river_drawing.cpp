// Drawing the river scene: banked ribbons, round junctions and small bridges in four meshes.
#include "render/river_graphics.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr SDL_Color bankColor{37, 78, 70, 255};
constexpr SDL_Color waterColor{47, 133, 169, 255};
constexpr SDL_Color lightColor{102, 187, 211, 255};
constexpr SDL_Color bridgeShadowColor{33, 58, 58, 255};
constexpr SDL_Color abutmentColor{157, 167, 156, 255};
constexpr SDL_Color deckColor{184, 175, 147, 255};
constexpr SDL_Color centreLineColor{236, 220, 166, 255};
constexpr SDL_Color railingColor{226, 225, 203, 255};

// Closer sample points add triangles but no visible detail.
constexpr double drawSpacing = 1.0;

double bankWidth(double w) { return w + std::max(0.35 * w, 1.2); }

// Local bridge coordinates: u runs across the river (the bridge's length), v along it.
struct BridgeFrame {
    Point center;
    Point along;
    Point across;

    Point at(double u, double v, double shadow = 0) const {
        return center + along * u + across * v + Point{shadow, shadow};
    }
    void rectangle(Mesh& mesh, double u0, double u1, double v0, double v1, SDL_Color color,
                   double shadow = 0) const {
        mesh.polygon({at(u0, v0, shadow), at(u1, v0, shadow), at(u1, v1, shadow), at(u0, v1, shadow)}, color);
    }
    void bar(Mesh& mesh, double u0, double u1, double v, SDL_Color color) const {
        mesh.strip({at(u0, v), at(u1, v)}, {1.0, 1.0}, color, 0);
    }
};

void addBridge(Mesh& mesh, const BridgeFrame& f, double d, double g) {
    f.rectangle(mesh, -d - 2, d + 2, -g - 1, g + 1, bridgeShadowColor, 1.5);
    for (const double end : {-d, d}) {
        f.rectangle(mesh, end - 1.8, end + 1.8, -g - 2, g + 2, abutmentColor);
    }
    f.rectangle(mesh, -d, d, -g, g, deckColor);
    f.bar(mesh, -d, d, 0, centreLineColor);
    f.bar(mesh, -d, d, -g, railingColor);
    f.bar(mesh, -d, d, g, railingColor);
}

} // namespace

void thinRiverPath(const std::vector<Point>& points, const std::vector<double>& widths, double spacing,
                   std::vector<Point>& keptPoints, std::vector<double>& keptWidths) {
    keptPoints.clear();
    keptWidths.clear();
    const std::size_t count = points.size();
    const double limit = spacing * spacing;
    const auto far = [&](Point a, Point b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) >= limit; };
    for (std::size_t i = 0; i < count; ++i) {
        if (i == 0 || i + 1 == count || far(points[i], keptPoints.back())) {
            keptPoints.push_back(points[i]);
            keptWidths.push_back(widths[i]);
        }
    }
    // A kept point just before the end would make a sliver; the end takes its place.
    const std::size_t kept = keptPoints.size();
    if (kept > 2 && !far(keptPoints[kept - 2], keptPoints[kept - 1])) {
        keptPoints.erase(keptPoints.end() - 2);
        keptWidths.erase(keptWidths.end() - 2);
    }
}

double bridgeHalfLength(double riverWidth, double physicalScale) {
    return (riverWidth + std::max(0.55 * physicalScale, 6.0)) / 2;
}

double bridgeHalfWidth(double physicalScale) { return std::min(std::max(0.11 * physicalScale, 1.6), 7.0); }

std::optional<Point> RiverGraphics::bridgeTangent(std::size_t edge, const Placement& placement) const {
    Point t = placement.tangent;
    if (std::hypot(t.x, t.y) < 1e-6) {
        t = nodes_[edges_[edge].b].point - nodes_[edges_[edge].a].point;
    }
    if (std::hypot(t.x, t.y) < 1e-6) {
        return std::nullopt;
    }
    return t;
}

void RiverGraphics::ribbon(Mesh& bank, Mesh& water, Mesh& light, const std::vector<Point>& points,
                           const std::vector<double>& widths) {
    bank.stripWith(points, [&](std::size_t i) { return bankWidth(widths[i]); }, bankColor, 0);
    water.stripWith(points, [&](std::size_t i) { return widths[i]; }, waterColor, 0);
    light.stripWith(points, [&](std::size_t i) { return 0.65 * widths[i]; }, lightColor, 0.08);
}

void RiverGraphics::draw(SDL_Renderer* renderer, double physicalScale) const {
    meshes_.resize(4);
    for (Mesh& mesh : meshes_) {
        mesh.clear();
    }
    Mesh& bank = meshes_[0];
    Mesh& water = meshes_[1];
    Mesh& light = meshes_[2];
    Mesh& bridges = meshes_[3];
    const Scene& scene = geometry();
    for (const Path& path : scene.paths) {
        thinRiverPath(path.points, path.widths, drawSpacing, scratch_.drawPoints, scratch_.drawWidths);
        ribbon(bank, water, light, scratch_.drawPoints, scratch_.drawWidths);
    }
    for (const Node& n : nodes_) {
        if (n.edges.size() == 2 || n.edges.empty()) {
            continue;
        }
        double w = 0;
        for (const std::size_t e : n.edges) {
            w = std::max(w, edges_[e].width);
        }
        bank.disc(n.point, bankWidth(w) / 2, bankColor);
        water.disc(n.point, w / 2, waterColor);
        light.disc(n.point - Point{0.05 * w, 0.05 * w}, 0.325 * w, lightColor);
    }
    const double g = bridgeHalfWidth(physicalScale);
    for (std::size_t e = 0; e < edges_.size(); ++e) {
        if (!edges_[e].bridge) {
            continue;
        }
        const Placement& placement = scene.placements[e];
        const auto tangent = bridgeTangent(e, placement);
        if (!tangent) {
            continue;
        }
        const double length = std::hypot(tangent->x, tangent->y);
        const Point across = *tangent * (1 / length);
        const Point along{-across.y, across.x};
        addBridge(bridges, {placement.center, along, across}, bridgeHalfLength(edges_[e].width, physicalScale), g);
    }
    for (const Mesh& mesh : meshes_) {
        mesh.draw(renderer);
    }
}

} // namespace korvan
