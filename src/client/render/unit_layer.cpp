// The units on the map with their strength plates, and the reach overlay of the selected unit.
#include "render/unit_layer.hpp"

#include "client/client.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"
#include "render/primitives.hpp"
#include "render/river_graphics.hpp"
#include "render/unit_pictures.hpp"
#include "sdl/sdl_handles.hpp"

#include <cmath>
#include <map>

namespace korvan {

namespace {

constexpr int mapIconSize = 48;
constexpr double unitScale = 14;
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

void Client::fillReachable(SDL_Renderer* renderer) const {
    const Camera g = gameCamera();
    std::optional<Hex> hovering;
    if (onMap(mouse)) {
        hovering = gameMap().canonical(worldToHex(g.toWorld(mouse)));
    }
    const double left = g.toWorld({0, 0}).x;
    const double right = g.toWorld({double(width - sidebar), 0}).x;
    const ReachMesh mesh = reachGeometry(gameMap(), g, range, hovering, left, right);
    if (mesh.vertices.empty()) {
        return;
    }
    SDL_BlendMode previous = SDL_BLENDMODE_NONE;
    SDL_GetRenderDrawBlendMode(renderer, &previous);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    if (SDL_RenderGeometry(renderer, nullptr, mesh.vertices.data(), static_cast<int>(mesh.vertices.size()),
                           mesh.indices.data(), static_cast<int>(mesh.indices.size())) != 0) {
        SDL_SetRenderDrawBlendMode(renderer, previous);
        throwSdlError();
    }
    for (const auto& [a, b] : mesh.edges) {
        line(renderer, a, b, reachEdgeColor);
    }
    SDL_SetRenderDrawBlendMode(renderer, previous);
}

void Client::renderUnits(SDL_Renderer* renderer) const {
    if (camera.scale < unitScale) {
        return;
    }
    for (const Unit& unit : army.units()) {
        const UnitPicture picture{army.types().at(std::size_t(unit.type)).kind, unit.side, selectedUnit == unit.id,
                                  unit.strength, unit.moved, unit.attacked};
        unitCopies(unit, [&](Point s) {
            mapUnitPictures.draw(renderer, picture, static_cast<int>(std::lround(s.x)),
                                 static_cast<int>(std::lround(s.y)), mapIconSize);
        });
    }
}

} // namespace korvan
