// Small overlays of the map that belong to no other layer: field outlines and highlights, the tile
// cursor, roads, objectives, the bridge preview and the movement-path arrow.
#include "client/client.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"
#include "render/primitives.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr SDL_Color cursorColor{159, 222, 235, 255};
constexpr SDL_Color roadColor{218, 199, 150, 255};
constexpr SDL_Color newBridgeColor{170, 231, 170, 255};
constexpr SDL_Color arrowShadow{12, 20, 27, 255};
constexpr SDL_Color arrowColor{255, 194, 48, 255};

double length(Point p) { return std::hypot(p.x, p.y); }

// The nearest copy of x to `towards` on a map repeating every `period` world units.
double nearestCopy(double x, double towards, double period) {
    return x + period * std::round((towards - x) / period);
}

} // namespace

void Client::outline(SDL_Renderer* renderer, Hex h, SDL_Color color, bool thick, bool gameplay) const {
    const Camera projection = gameplay ? gameCamera() : camera;
    const int rings = thick ? std::clamp(static_cast<int>(0.5 * camera.scale), 1, 3) : 1;
    const Point centre = hexCenter(h);
    const auto points = corners(h);
    for (int ring = 0; ring < rings; ++ring) {
        // Each inner ring sits one pixel further in; the shrink uses the main scale on both cameras.
        const double shrink = 1 - ring / camera.scale;
        std::array<Point, 6> screen;
        for (int k = 0; k < 6; ++k) {
            screen[k] = projection.toScreen(centre + (points[k] - centre) * shrink);
        }
        for (int k = 0; k < 6; ++k) {
            line(renderer, screen[k], screen[(k + 1) % 6], color);
        }
    }
}

void Client::highlight(SDL_Renderer* renderer, Hex h, SDL_Color color) const {
    const Map& game = gameMap();
    const Camera g = gameCamera();
    const double x = hexCenter(h).x;
    const double period = game.period();
    int first = 0;
    int last = 0;
    if (game.wraps()) {
        first = static_cast<int>(std::ceil((g.toWorld({0, 0}).x - x - 1) / period));
        last = static_cast<int>(std::floor((g.toWorld({double(width - sidebar), 0}).x - x + 1) / period));
    }
    const bool outlined = g.scale >= (game.isWorld() ? 7 : 2);
    for (int k = first; k <= last; ++k) {
        const Hex copy{h.q + k * game.width(), h.r};
        if (outlined) {
            outline(renderer, copy, color, true, true);
        } else {
            const Point c = g.toScreen(hexCenter(copy));
            line(renderer, {c.x - 3, c.y}, {c.x + 3, c.y}, color);
            line(renderer, {c.x, c.y - 3}, {c.x, c.y + 3}, color);
        }
    }
}

void Client::renderTileCursor(SDL_Renderer* renderer) const {
    if (!onMap(mouse)) {
        return;
    }
    const Camera g = gameCamera();
    const Hex h = worldToHex(g.toWorld(mouse));
    if (!gameMap().canonical(h)) {
        return;
    }
    if (camera.scale >= 4) {
        outline(renderer, h, cursorColor, false, true);
    } else {
        const Point c = g.toScreen(hexCenter(h));
        line(renderer, {c.x - 2, c.y}, {c.x + 2, c.y}, cursorColor);
        line(renderer, {c.x, c.y - 2}, {c.x, c.y + 2}, cursorColor);
    }
}

void Client::renderRoads(SDL_Renderer* renderer) const {
    forVisible([&](Hex drawn, Hex stored) {
        const Tile tile = map.at(stored);
        if (!tile.road) {
            return;
        }
        const Point s = camera.toScreen(hexCenter(drawn));
        for (const Hex step : neighbourSteps) {
            const Hex next = drawn + step;
            const auto neighbour = map.canonical(next);
            // Each road is drawn from both ends; lines off the map edge are left out.
            if (neighbour && map.at(*neighbour).road) {
                line(renderer, s, camera.toScreen(hexCenter(next)), roadColor);
            }
        }
        if (tile.bridge) {
            rect(renderer, {static_cast<int>(s.x) - 4, static_cast<int>(s.y) - 3, 8, 6}, gold);
        }
    });
}

void Client::renderObjectives(SDL_Renderer* renderer) const {
    for (const Objective& objective : battle->objectives()) {
        Unit probe;
        probe.position = objective.position;
        unitCopies(probe, [&](Point p) {
            const int x = static_cast<int>(p.x);
            const int y = static_cast<int>(p.y);
            rect(renderer, {x - 7, y - 7, 15, 15}, gold);
            rect(renderer, {x - 5, y - 5, 11, 11}, sideColor(objective.owner));
            if (camera.scale >= 4) {
                text(renderer, x + 10, y - 18, objective.name, gold, 1);
            }
        });
    }
}

void Client::renderBridgePreview(SDL_Renderer* renderer) const {
    if (!bridgeMode) {
        return;
    }
    const auto candidate = bridgeCandidate();
    if (!candidate) {
        return;
    }
    const double len = length(candidate->tangent);
    if (len < 1e-8) {
        return;
    }
    const double half = 0.5 * candidate->width + 6;
    const Point across = Point{-candidate->tangent.y, candidate->tangent.x} * (1 / len);
    const RiverEdge& edge = map.rivers().at(candidate->source);
    const SDL_Color color = map.bridgeBetween(edge.a, edge.b) ? gold : newBridgeColor;
    line(renderer, candidate->center - across * half, candidate->center + across * half, color);
}

void Client::renderMovementPath(SDL_Renderer* renderer) const {
    const Unit* unit = selectedUnit ? army.find(*selectedUnit) : nullptr;
    if (unit == nullptr || !onMap(mouse)) {
        return;
    }
    const Map& game = gameMap();
    const Camera g = gameCamera();
    const auto target = game.canonical(worldToHex(g.toWorld(mouse)));
    if (!target) {
        return;
    }
    if (const auto found = range.find(*target); found != range.end() && found->second.cost > 0) {
        highlight(renderer, *target, gold);
    }

    // World points of the path, each moved to the copy next to the one before, so a path across the
    // seam stays one line; then the whole line moves to the copy nearest the view's middle.
    const std::vector<Hex> path = movementPath(range, unit->position, *target);
    const double period = game.period();
    std::vector<Hex> kept;
    std::vector<Point> points;
    for (const Hex h : path) {
        if (!kept.empty() && kept.back() == h) {
            continue;
        }
        Point p = hexCenter(h);
        if (game.wraps() && !points.empty()) {
            p.x = nearestCopy(p.x, points.back().x, period);
        }
        kept.push_back(h);
        points.push_back(p);
    }
    const double middle = g.toWorld({(width - sidebar) * 0.5, 0}).x;
    std::vector<Point> route;
    for (std::size_t j = 0; j < points.size(); ++j) {
        Point p = points[j];
        if (game.wraps()) {
            p.x = nearestCopy(p.x, middle, period);
        }
        points[j] = g.toScreen(p);
        if (j > 0) {
            if (const auto bridge = bridgeWaypoint(kept[j - 1], kept[j], points[j - 1], points[j])) {
                route.push_back(*bridge);
            }
        }
        route.push_back(points[j]);
    }
    if (route.size() < 2) {
        return;
    }

    const Point tip = route.back();
    const Point d = tip - route[route.size() - 2];
    const Point u = d * (1 / std::max(length(d), 1.0));
    const Point base = tip - u * 14;
    for (std::size_t k = 1; k < route.size(); ++k) {
        const Point end = k + 1 == route.size() ? base : route[k];
        thickSegment(renderer, route[k - 1], end, 8, arrowShadow);
        thickSegment(renderer, route[k - 1], end, 5, arrowColor);
        if (k + 1 < route.size()) {
            const int x = static_cast<int>(route[k].x);
            const int y = static_cast<int>(route[k].y);
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    if (dx * dx + dy * dy <= 4) {
                        rect(renderer, {x + dx, y + dy, 1, 1}, arrowColor);
                    }
                }
            }
        }
    }
    const Point v = Point{-u.y, u.x} * 7;
    filledTriangle(renderer, tip, base + v, base - v, arrowShadow);
    const Point lift = u * -1.2;
    filledTriangle(renderer, tip + lift, base + v + lift, base - v + lift, arrowColor);
}

} // namespace korvan
