// Small overlays of the map: field outlines and highlights, the tile cursor, roads, objectives,
// the bridge preview and the movement-path arrow.
#include "overlays/map_overlays.hpp"

#include "cities/city_layer.hpp"
#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "kit/sdl_rect.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr SDL_Color cursorColor{159, 222, 235, 255};
constexpr SDL_Color roadColor{218, 199, 150, 255};
constexpr SDL_Color roadCasing{61, 52, 38, 255};
constexpr SDL_Color newBridgeColor{170, 231, 170, 255};
constexpr SDL_Color arrowShadow{12, 20, 27, 255};
constexpr SDL_Color arrowColor{255, 194, 48, 255};

double length(Point p) { return std::hypot(p.x, p.y); }

// The nearest copy of x to `towards` on a map repeating every `period` world units.
double nearestCopy(double x, double towards, double period) {
    return x + period * std::round((towards - x) / period);
}

} // namespace

PathPoints pathWorldPoints(const Map& map, const std::vector<Hex>& path, double viewMiddleX) {
    PathPoints result;
    const double period = map.period();
    for (const Hex h : path) {
        if (!result.fields.empty() && result.fields.back() == h) {
            continue;
        }
        Point p = hexCenter(h);
        if (map.wraps() && !result.world.empty()) {
            p.x = nearestCopy(p.x, result.world.back().x, period);
        }
        result.fields.push_back(h);
        result.world.push_back(p);
    }
    if (map.wraps()) {
        // Point by point: a path is far shorter than half a world, so all points land on one copy.
        for (Point& p : result.world) {
            p.x = nearestCopy(p.x, viewMiddleX, period);
        }
    }
    return result;
}

void outlineField(const Frame& frame, Hex h, SDL_Color color, bool thick, bool gameplay) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Camera projection = gameplay ? view.gameCamera() : view.camera;
    const int rings = thick ? std::clamp(static_cast<int>(0.5 * view.camera.scale), 1, 3) : 1;
    const Point centre = hexCenter(h);
    const auto points = corners(h);
    for (int ring = 0; ring < rings; ++ring) {
        // Each inner ring sits one pixel further in; the shrink uses the main scale on both cameras.
        const double shrink = 1 - ring / view.camera.scale;
        std::array<Point, 6> screen;
        for (int k = 0; k < 6; ++k) {
            screen[k] = projection.toScreen(centre + (points[k] - centre) * shrink);
        }
        for (int k = 0; k < 6; ++k) {
            line(renderer, screen[k], screen[(k + 1) % 6], color);
        }
    }
}

void highlightField(const Frame& frame, Hex h, SDL_Color color) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Map& game = frame.world.gameMap();
    const Camera g = view.gameCamera();
    const double x = hexCenter(h).x;
    const double period = game.period();
    int first = 0;
    int last = 0;
    if (game.wraps()) {
        first = static_cast<int>(std::ceil((g.toWorld({0, 0}).x - x - 1) / period));
        last = static_cast<int>(std::floor((g.toWorld({double(view.width - sidebarWidth), 0}).x - x + 1) / period));
    }
    const bool outlined = g.scale >= (game.isWorld() ? 7 : 2);
    for (int k = first; k <= last; ++k) {
        const Hex copy{h.q + k * game.width(), h.r};
        if (outlined) {
            outlineField(frame, copy, color, true, true);
        } else {
            const Point c = g.toScreen(hexCenter(copy));
            line(renderer, {c.x - 3, c.y}, {c.x + 3, c.y}, color);
            line(renderer, {c.x, c.y - 3}, {c.x, c.y + 3}, color);
        }
    }
}

void CursorLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    if (!view.onMap(view.mouse)) {
        return;
    }
    const Camera g = view.gameCamera();
    const Hex h = worldToHex(g.toWorld(view.mouse));
    if (!world.gameMap().canonical(h)) {
        return;
    }
    if (view.camera.scale >= 4) {
        outlineField(frame, h, cursorColor, false, true);
    } else {
        const Point c = g.toScreen(hexCenter(h));
        line(renderer, {c.x - 2, c.y}, {c.x + 2, c.y}, cursorColor);
        line(renderer, {c.x, c.y - 2}, {c.x, c.y + 2}, cursorColor);
    }
}

void RoadLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    if (!world.map.hasRoads()) {
        return;
    }
    // Roads as bands a tenth of a field wide (two pixels at least), on a dark casing that keeps them
    // apart from pale terrain; all in two geometry calls.
    const double fieldWidth = sqrt3 * view.camera.scale * view.camera.horizontalScale;
    const double width = std::clamp(fieldWidth * 0.1, 2.0, 6.0);
    casing_.clear();
    roads_.clear();
    std::vector<Point> bridges;
    view.forVisible([&](Hex drawn, Hex stored) {
        const Tile tile = world.map.at(stored);
        if (!tile.road) {
            return;
        }
        const Point s = view.camera.toScreen(hexCenter(drawn));
        // Each road once, from the end where it leaves east or north; lines off the map edge are left out.
        for (std::size_t k = 0; k < 3; ++k) {
            const Hex next = drawn + neighbourSteps[k];
            const auto neighbour = world.map.canonical(next);
            if (neighbour && world.map.at(*neighbour).road) {
                const Point t = view.camera.toScreen(hexCenter(next));
                for (const SDL_Vertex& v : thickSegmentVertices(s, t, width + 2, roadCasing)) {
                    casing_.push_back(v);
                }
                for (const SDL_Vertex& v : thickSegmentVertices(s, t, width, roadColor)) {
                    roads_.push_back(v);
                }
            }
        }
        if (tile.bridge) {
            bridges.push_back(s);
        }
    });
    indices_.clear();
    for (std::size_t q = 0; q < roads_.size() / 4; ++q) {
        const int base = static_cast<int>(4 * q);
        for (const int corner : {0, 1, 2, 2, 1, 3}) {
            indices_.push_back(base + corner);
        }
    }
    drawGeometry(renderer, nullptr, casing_, indices_);
    drawGeometry(renderer, nullptr, roads_, indices_);
    for (const Point s : bridges) {
        rect(renderer, {static_cast<int>(s.x) - 4, static_cast<int>(s.y) - 3, 8, 6}, gold);
    }
}

ScreenRect objectiveMarker(Point centre) {
    const int x = static_cast<int>(centre.x);
    const int y = static_cast<int>(centre.y);
    return {x - 7, y - 7, 15, 15};
}

ScreenRect objectiveNameRect(Point centre, std::size_t length) {
    return {static_cast<int>(centre.x) + 10, static_cast<int>(centre.y) - 18, 6 * static_cast<int>(length), 7};
}

void ObjectiveLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    if (!game.battle) {
        return;
    }
    const std::vector<CityPlacement>& placements = cities_.placements(frame, true);
    for (const Objective& objective : game.battle->objectives()) {
        const auto city = cities_.cityOf(frame.world, objective);
        const bool labelled = std::any_of(placements.begin(), placements.end(), [&](const CityPlacement& p) {
            return p.index == city && p.label;
        });
        view.unitCopies(objective.position, [&](Point p) {
            const ScreenRect marker = objectiveMarker(p);
            rect(renderer, toSdl(marker), gold);
            rect(renderer, {marker.x + 2, marker.y + 2, 11, 11}, sideColor(objective.owner));
            if (view.camera.scale >= objectiveNameZoom && !labelled) {
                const ScreenRect name = objectiveNameRect(p, objective.name.size());
                text(renderer, name.x, name.y, objective.name, gold, 1);
            }
        });
    }
}

void BridgePreviewLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const Game& game = frame.game;
    if (!game.bridgeMode) {
        return;
    }
    const auto candidate = rivers_.bridgeCandidate(frame);
    if (!candidate) {
        return;
    }
    const double len = length(candidate->tangent);
    if (len < 1e-8) {
        return;
    }
    const double half = 0.5 * candidate->width + 6;
    const Point across = Point{-candidate->tangent.y, candidate->tangent.x} * (1 / len);
    const RiverEdge& edge = world.map.rivers().at(candidate->source);
    const SDL_Color color = world.map.bridgeBetween(edge.a, edge.b) ? gold : newBridgeColor;
    line(renderer, candidate->center - across * half, candidate->center + across * half, color);
}

void PathLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Unit* unit = frame.game.selectedUnitData();
    if (!movementPreviewVisible(frame) || unit == nullptr || !view.onMap(view.mouse)) {
        return;
    }
    const Map& game = frame.world.gameMap();
    const MovementRange& range = frame.game.range;
    const Camera g = view.gameCamera();
    const auto target = game.canonical(worldToHex(g.toWorld(view.mouse)));
    if (!target) {
        return;
    }
    if (const auto found = range.find(*target); found != range.end() && found->second.cost > 0) {
        highlightField(frame, *target, gold);
    }

    const double middle = g.toWorld({(view.width - sidebarWidth) * 0.5, 0}).x;
    PathPoints path = pathWorldPoints(game, movementPath(range, unit->position, *target), middle);
    std::vector<Point> route;
    for (std::size_t j = 0; j < path.world.size(); ++j) {
        path.world[j] = g.toScreen(path.world[j]);
        if (j > 0) {
            const auto bridge =
                bridgeWaypoint(frame, path.fields[j - 1], path.fields[j], path.world[j - 1], path.world[j]);
            if (bridge) {
                route.push_back(*bridge);
            }
        }
        route.push_back(path.world[j]);
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

bool movementPreviewVisible(const Scene& scene) {
    return scene.game.selectedMayMove() && scene.view.camera.scale >= 14;
}

std::optional<Point> PathLayer::bridgeWaypoint(const Frame& frame, Hex a, Hex b, Point pa, Point pb) {
    const Map& game = frame.world.gameMap();
    const auto ca = game.canonical(a);
    const auto cb = game.canonical(b);
    if (!ca || !cb) {
        return std::nullopt;
    }
    const auto index = game.riverEdgeIndex(*ca, *cb);
    if (!index || !game.rivers()[*index].bridge) {
        return std::nullopt;
    }
    const auto center = rivers_.graphics(frame).bridgeCenter(*index);
    if (!center) {
        return std::nullopt;
    }
    // A bridge further from the step's middle than the step is long belongs to another copy of the world.
    const Point middle = (pa + pb) * 0.5;
    const Point toCenter = *center - middle;
    const Point step = pb - pa;
    if (std::hypot(toCenter.x, toCenter.y) > std::hypot(step.x, step.y)) {
        return std::nullopt;
    }
    return center;
}

} // namespace korvan
