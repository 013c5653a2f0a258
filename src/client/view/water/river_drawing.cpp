// Drawing the river scene: banked ribbons, round junctions and small bridges in four meshes.
#include "water/river_graphics.hpp"
#include "core/row_split.hpp"

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

// How far a drawn line may stray from the sampled one, and its longest segment: beyond about that
// length a diagonal triangle's bounding box costs the software renderer more than another triangle.
constexpr double drawTolerance = 0.3;
constexpr double drawMaxLength = 16;

// A small disc needs fewer corners to look round.
int discCorners(double radius) { return radius >= 4 ? 12 : radius >= 2 ? 8 : 6; }

// A pixel is filled when its centre is covered, so shapes up to the area's edge still matter.
DrawBounds boundsOf(SDL_Rect area) {
    return {{area.x - 1.0, area.y - 1.0}, {area.x + area.w + 1.0, area.y + area.h + 1.0}};
}

// The renderer's clip (or its whole output), where drawing can have an effect.
DrawBounds drawBounds(SDL_Renderer* renderer) {
    SDL_Rect clip{};
    SDL_RenderGetClipRect(renderer, &clip);
    if (SDL_RectEmpty(&clip) && SDL_GetRendererOutputSize(renderer, &clip.w, &clip.h) != 0) {
        return {};
    }
    return boundsOf(clip);
}

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

void simplifyRiverPath(const std::vector<Point>& points, const std::vector<double>& widths, double tolerance,
                       double maxLength, std::vector<Point>& keptPoints, std::vector<double>& keptWidths) {
    keptPoints.clear();
    keptWidths.clear();
    const std::size_t count = points.size();
    if (count == 0) {
        return;
    }
    keptPoints.push_back(points[0]);
    keptWidths.push_back(widths[0]);
    // A chord of length c over a line turning by phi strays from it by at most about c * phi / 4.
    const double strayLimit = 4 * tolerance;
    std::size_t anchor = 0;
    double turn = 0;
    for (std::size_t i = 1; i + 1 < count; ++i) {
        const Point in = points[i] - points[i - 1];
        const Point out = points[i + 1] - points[i];
        const double lengths = std::sqrt((in.x * in.x + in.y * in.y) * (out.x * out.x + out.y * out.y));
        if (lengths > 0) {
            const double cross = std::abs(in.x * out.y - in.y * out.x) / lengths;
            turn += in.x * out.x + in.y * out.y < 0 ? 2 - cross : cross; // past a right angle: more than 1
        }
        const Point chord = points[i + 1] - points[anchor];
        const double chordSquared = chord.x * chord.x + chord.y * chord.y;
        if (chordSquared > maxLength * maxLength || chordSquared * turn * turn > strayLimit * strayLimit ||
            std::abs(widths[i + 1] - widths[anchor]) > tolerance) {
            keptPoints.push_back(points[i]);
            keptWidths.push_back(widths[i]);
            anchor = i;
            turn = 0;
        }
    }
    if (count > 1) {
        keptPoints.push_back(points[count - 1]);
        keptWidths.push_back(widths[count - 1]);
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
                           const std::vector<double>& widths, const DrawBounds& bounds) {
    bank.stripWith(points, [&](std::size_t i) { return bankWidth(widths[i]); }, bankColor, 0, bounds);
    water.stripWith(points, [&](std::size_t i) { return widths[i]; }, waterColor, 0, bounds);
    light.stripWith(points, [&](std::size_t i) { return 0.65 * widths[i]; }, lightColor, 0.08, bounds);
}

void RiverGraphics::draw(SDL_Renderer* renderer, double physicalScale) const {
    buildMeshes(drawBounds(renderer), physicalScale, meshSets_[0]);
    for (const Mesh& mesh : meshSets_[0].meshes) {
        mesh.draw(renderer);
    }
}

void RiverGraphics::fill(std::uint32_t* pixels, int stride, SDL_Rect area, double physicalScale) const {
    paintRows(pixels, stride, area, physicalScale, true);
}

void RiverGraphics::paint(std::uint32_t* pixels, int stride, SDL_Rect area, double physicalScale) const {
    paintRows(pixels, stride, area, physicalScale, false);
}

void RiverGraphics::paintRows(std::uint32_t* pixels, int stride, SDL_Rect area, double physicalScale,
                              bool clear) const {
    geometry(); // built once, before two threads read it
    const std::size_t size = std::size_t(std::max(area.w, 0)) * std::size_t(std::max(area.h, 0));
    // A large area in two halves at once, each with the meshes reaching into it.
    fillRowsInParallel(area.h, size, [&](int firstRow, int endRow) {
        std::uint32_t* rows = pixels + std::ptrdiff_t(firstRow) * stride;
        const SDL_Rect part{area.x, area.y + firstRow, area.w, endRow - firstRow};
        MeshSet& set = meshSets_[endRow == area.h ? 0 : 1];
        buildMeshes(boundsOf(part), physicalScale, set);
        for (int y = 0; clear && y < part.h; ++y) {
            std::fill_n(rows + std::ptrdiff_t(y) * stride, std::max(area.w, 0), 0u);
        }
        for (const Mesh& mesh : set.meshes) {
            mesh.fill(rows, stride, part);
        }
    });
}

void RiverGraphics::buildMeshes(const DrawBounds& bounds, double physicalScale, MeshSet& set) const {
    set.meshes.resize(4);
    for (Mesh& mesh : set.meshes) {
        mesh.clear();
    }
    Mesh& bank = set.meshes[0];
    Mesh& water = set.meshes[1];
    Mesh& light = set.meshes[2];
    Mesh& bridges = set.meshes[3];
    const Scene& scene = geometry();
    for (const Path& path : scene.paths) {
        simplifyRiverPath(path.points, path.widths, drawTolerance, drawMaxLength, set.drawPoints, set.drawWidths);
        ribbon(bank, water, light, set.drawPoints, set.drawWidths, bounds);
    }
    for (std::size_t node = 0; node < nodes_.size(); ++node) {
        const auto touching = edgesAt(node);
        if (touching.size() == 2 || touching.empty()) {
            continue;
        }
        const Node& n = nodes_[node];
        double w = 0;
        for (const std::size_t e : touching) {
            w = std::max(w, edges_[e].width);
        }
        const double r = bankWidth(w) / 2;
        if (bounds.misses(n.point.x - r, n.point.y - r, n.point.x + r, n.point.y + r)) {
            continue;
        }
        bank.disc(n.point, r, bankColor, discCorners(r));
        water.disc(n.point, w / 2, waterColor, discCorners(w / 2));
        light.disc(n.point - Point{0.05 * w, 0.05 * w}, 0.325 * w, lightColor, discCorners(0.325 * w));
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
}

} // namespace korvan
