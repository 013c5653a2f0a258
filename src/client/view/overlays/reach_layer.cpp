// The reach overlay of the selected unit.
#include "overlays/reach_layer.hpp"

#include "overlays/map_overlays.hpp"
#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "water/river_graphics.hpp"
#include "sdl/draw_pass.hpp"

#include <cmath>
#include <map>

namespace korvan {

namespace {

constexpr SDL_Color reachEdgeColor{112, 225, 170, 110};

} // namespace

ReachMesh reachGeometry(const Map& game, const Camera& camera, const MovementRange& range,
                        std::optional<Hex> hovered, double left, double right) {
    ReachMesh mesh;
    // Keyed by the unordered pair of corner keys: an edge two reachable fields share is drawn once.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::pair<Point, Point>> edges;
    const double period = game.period();
    for (const auto& [field, node] : range) {
        if (node.cost <= 0) {
            continue;
        }
        const double x = hexCenter(field).x;
        int first = 0;
        int last = 0;
        if (game.wraps()) {
            first = static_cast<int>(std::ceil((left - x - 1) / period));
            last = static_cast<int>(std::floor((right - x + 1) / period));
        }
        const SDL_Color fill{24, 238, 142, static_cast<Uint8>(hovered && *hovered == field ? 74 : 38)};
        for (int k = first; k <= last; ++k) {
            const Hex copy{field.q + k * game.width(), field.r};
            const auto world = corners(copy);
            const int base = static_cast<int>(mesh.vertices.size());
            mesh.vertices.push_back(vertex(camera.toScreen(hexCenter(copy)), fill));
            for (const Point corner : world) {
                mesh.vertices.push_back(vertex(camera.toScreen(corner), fill));
            }
            for (int j = 0; j < 6; ++j) {
                mesh.indices.insert(mesh.indices.end(), {base, base + 1 + j, base + 1 + (j + 1) % 6});
                const Point a = world[std::size_t(j)];
                const Point b = world[std::size_t((j + 1) % 6)];
                const std::uint64_t ka = riverVertexKey(a);
                const std::uint64_t kb = riverVertexKey(b);
                edges.try_emplace({std::min(ka, kb), std::max(ka, kb)}, camera.toScreen(a), camera.toScreen(b));
            }
        }
    }
    for (const auto& [key, ends] : edges) {
        mesh.edges.push_back(ends);
    }
    return mesh;
}

void ReachLayer::draw(const Frame& frame) {
    if (!movementPreviewVisible(frame)) {
        return;
    }
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    const Camera g = view.gameCamera();
    std::optional<Hex> hovering;
    if (view.onMap(view.mouse)) {
        hovering = world.gameMap().canonical(worldToHex(g.toWorld(view.mouse)));
    }
    const double left = g.toWorld({0, 0}).x;
    const double right = g.toWorld({double(view.width - sidebarWidth), 0}).x;
    const ReachMesh mesh = reachGeometry(world.gameMap(), g, game.range, hovering, left, right);
    if (mesh.empty()) {
        return;
    }
    const DrawPass pass(renderer);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    mesh.draw(renderer);
    for (const auto& [a, b] : mesh.edges) {
        line(renderer, a, b, reachEdgeColor);
    }
}

} // namespace korvan
