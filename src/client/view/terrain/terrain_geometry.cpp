// Terrain layer geometry: flat fields, field icons, same-terrain joins and play-grid pieces.
#include "terrain/terrain_geometry.hpp"

#include "map_view/scene.hpp"
#include "cities/city_footprint.hpp"
#include "kit/primitives.hpp"
#include "terrain/terrain_display.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

// Neighbour across edge i, the edge from corner i to corner i + 1.
constexpr std::array<Hex, 6> edgeSteps{{{1, -1}, {1, 0}, {0, 1}, {-1, 1}, {-1, 0}, {0, -1}}};

// Projects field corners through one camera. The camera is affine, so the six corner offsets are
// the same for every field and are worked out once per layer.
class FieldProjection {
public:
    explicit FieldProjection(const Camera& camera) : camera_(camera) {
        const std::array<Point, 6> unit = corners(Hex{0, 0});
        for (std::size_t i = 0; i < 6; ++i) {
            offsets_[i] = {unit[i].x * camera.scale * camera.horizontalScale,
                           unit[i].y * camera.scale * camera.verticalScale};
        }
    }
    Point centre(Hex h) const { return camera_.toScreen(hexCenter(h)); }
    std::array<Point, 6> fieldCorners(Hex h) const {
        const Point c = centre(h);
        std::array<Point, 6> result;
        for (std::size_t i = 0; i < 6; ++i) {
            result[i] = c + offsets_[i];
        }
        return result;
    }

private:
    Camera camera_;
    std::array<Point, 6> offsets_;
};

void addFan(std::vector<int>& indices, int base) {
    for (int i = 0; i < 6; ++i) {
        indices.insert(indices.end(), {base, base + 1 + i, base + 1 + (i + 1) % 6});
    }
}

struct Box {
    Point low;
    Point high;

    void include(Point p) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    bool overlaps(const Box& other) const {
        return low.x < other.high.x && other.low.x < high.x && low.y < other.high.y && other.low.y < high.y;
    }
};

Box boxOf(const std::array<Point, 6>& points) {
    Box box{points[0], points[0]};
    for (const Point p : points) {
        box.include(p);
    }
    return box;
}

// A play-grid field and its centre in world-map units.
Box sourceBox(const Scene& scene, Hex g) {
    const Map& game = scene.world.gameMap();
    Box box{scene.world.gameWorld(g), scene.world.gameWorld(g)};
    for (const Point p : corners(g)) {
        box.include(game.sourcePoint(p));
    }
    return box;
}

} // namespace

Terrain displayedTerrain(const Map& map, Hex h) {
    const Terrain t = map.terrainAt(h);
    return map.isWorld() && t == Terrain::City ? Terrain::Plain : t;
}

TerrainDetail terrainDetail(bool worldMap, double scale) {
    const bool close = scale >= 14;
    if (worldMap) {
        return {.overview = true, .playGrid = close};
    }
    return {.flat = true, .icons = close, .joins = close};
}

void addFlatFields(const Scene& scene, TerrainIcons& batch) {
    const FieldProjection projection(scene.view.camera);
    scene.view.forVisible([&](Hex drawn, Hex stored) {
        const SDL_Color fill = color(scene.world.map.terrainAt(stored));
        const int base = static_cast<int>(batch.vertices.size());
        batch.vertices.push_back(vertex(projection.centre(drawn), fill));
        for (const Point p : projection.fieldCorners(drawn)) {
            batch.vertices.push_back(vertex(p, fill));
        }
        addFan(batch.indices, base);
    });
}

void addFieldIcons(const Scene& scene, TerrainIcons& batch) {
    const FieldProjection projection(scene.view.camera);
    scene.view.forVisible([&](Hex drawn, Hex stored) {
        const Terrain t = displayedTerrain(scene.world.map, stored);
        if (t != Terrain::City) {
            batch.addTile(t, projection.fieldCorners(drawn), terrainVariation(stored));
        }
    });
}

void addSameTerrainJoins(const Scene& scene, TerrainIcons& batch) {
    const Map& m = scene.world.map;
    const FieldProjection projection(scene.view.camera);
    scene.view.forVisible([&](Hex f, Hex stored) {
        const Terrain t = m.terrainAt(stored);
        if (t == Terrain::City) {
            return;
        }
        std::array<Hex, 6> neighbours;
        std::array<bool, 6> joined{};
        for (std::size_t i = 0; i < 6; ++i) {
            const auto n = m.canonical(f + edgeSteps[i]);
            joined[i] = n && m.terrainAt(*n) == t;
            neighbours[i] = n.value_or(Hex{});
        }
        if (std::none_of(joined.begin(), joined.end(), [](bool j) { return j; })) {
            return;
        }
        const std::array<Point, 6> receiving = projection.fieldCorners(f);
        for (std::size_t i = 0; i < 6; ++i) {
            if (joined[i]) {
                batch.addTransition(t, receiving, projection.fieldCorners(f + edgeSteps[i]), static_cast<int>(i),
                                    terrainVariation(neighbours[i]), i >= 1 && joined[i - 1], i == 5 && joined[0]);
            }
        }
    });
}

void addPlayGridIcons(const Scene& scene, TerrainWork& scratch, const SDL_Rect* only) {
    const Map& world = scene.world.map;
    const Map& game = scene.world.gameMap();
    const FieldProjection gameProjection(scene.view.gameCamera());
    const FieldProjection worldProjection(scene.view.camera);
    scene.view.forVisibleGame([&](Hex g, Hex stored) {
        const std::array<Point, 6> mask = gameProjection.fieldCorners(g);
        const Box maskBox = boxOf(mask);
        const Point low{only ? only->x - 1.0 : 0, only ? only->y - 1.0 : 0};
        if (only && !maskBox.overlaps({low, {low.x + only->w + 2, low.y + only->h + 2}})) {
            return;
        }
        const std::uint32_t variation = terrainVariation(stored);
        const Terrain land = fieldLandTerrain(game, stored);
        const bool city = game.terrainAt(stored) == Terrain::City;
        const Box box = sourceBox(scene, g);
        const int topRow = static_cast<int>(std::floor((box.low.y - 1) / 1.5));
        const int bottomRow = static_cast<int>(std::ceil((box.high.y + 1) / 1.5));
        // Away from the world's top and bottom edge every point of the field has a source field, so
        // the whole field takes its land picture and only the water pieces are cut out and laid on
        // top: the same picture as cutting every piece, with a fraction of the clipping.
        const bool whole = topRow >= 0 && bottomRow <= world.height() - 1;
        if (whole) {
            scratch.piece.assign(mask.begin(), mask.end());
            scratch.batch.addTerrainArea(land, mask, scratch.piece, variation);
            if (city) {
                return;
            }
        }
        const int firstRow = std::max(0, topRow);
        const int lastRow = std::min(world.height() - 1, bottomRow);
        for (int r = firstRow; r <= lastRow; ++r) {
            const int left = static_cast<int>(std::floor(box.low.x / sqrt3 - 0.5 * r)) - 1;
            const int right = static_cast<int>(std::ceil(box.high.x / sqrt3 - 0.5 * r)) + 1;
            for (int q = left; q <= right; ++q) {
                const auto source = world.canonical({q, r});
                if (!source) {
                    continue;
                }
                const bool water = !city && world.terrainAt(*source) == Terrain::Water;
                if (whole && !water) {
                    continue;
                }
                const std::array<Point, 6> hexagon = worldProjection.fieldCorners({q, r});
                // Most fields of the walk's margin miss the mask; a box test spares their clip.
                if (!boxOf(hexagon).overlaps(maskBox)) {
                    continue;
                }
                clipConvex(hexagon, mask, scratch.piece, scratch.clipSpace);
                scratch.batch.addTerrainArea(water ? Terrain::Water : land, mask, scratch.piece, variation);
            }
        }
    });
}

} // namespace korvan
