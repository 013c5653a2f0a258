// Lakes filled by scanline on the world map at close zoom, flat or with the water texture per field.
#include "water/lake_layer.hpp"

#include "cpu/lake_spans.hpp"
#include "cpu/terrain_cpu.hpp"
#include "terrain/terrain_icons.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr SDL_Color lakeColor{56, 108, 139, 255};
constexpr double lakeScale = 7;

} // namespace

bool LakeLayer::shows(const Frame& frame) {
    return frame.world.map.isWorld() && frame.view.camera.scale >= lakeScale && !lakesInCpuTerrain(frame);
}

void LakeLayer::draw(const Frame& frame) {
    if (!shows(frame)) {
        return;
    }
    renderCachedLayer(frame.renderer, cache_, frame.view.viewKey(), frame.mapClip, overlayStyle,
                      [&] { drawLakeDetails(frame); });
}

void visibleLakeSpans(const Scene& scene, SDL_Rect part, std::vector<LakeSpan>& spans) {
    const Map& map = scene.world.map;
    const Camera& camera = scene.view.camera;
    const SDL_Rect view = toSdl(scene.view.mapClip());
    const double left = camera.toWorld({0, double(view.y)}).x;
    const double right = camera.toWorld({double(view.w), double(view.y)}).x;
    const double period = map.period();
    const int w = map.width();
    const int h = map.height();
    const int partTop = std::max(view.y, part.y);
    const int partBottom = std::min(view.y + view.h, part.y + part.h) - 1;

    std::vector<std::vector<Point>> rings;
    std::vector<double> crossings;
    spans.clear();
    for (const Country& area : scene.world.lakes.detailAreas()) {
        for (const CountryPolygon& polygon : area.polygons) {
            // The rows first: a view's band of latitudes leaves out most lakes of the world.
            const double top = camera.toScreen(lakeWorldPoint(polygon.maximum, w, h, 0)).y;
            const double bottom = camera.toScreen(lakeWorldPoint(polygon.minimum, w, h, 0)).y;
            const int firstRow = std::max(static_cast<int>(std::ceil(top - 0.5)), partTop);
            const int lastRow = std::min(static_cast<int>(std::floor(bottom - 0.5)), partBottom);
            if (firstRow > lastRow) {
                continue;
            }
            const double east = lakeWorldPoint(polygon.maximum, w, h, 0).x;
            const double west = lakeWorldPoint(polygon.minimum, w, h, 0).x;
            const int firstCopy = static_cast<int>(std::ceil((left - east) / period));
            const int lastCopy = static_cast<int>(std::floor((right - west) / period));
            for (int copy = firstCopy; copy <= lastCopy; ++copy) {
                rings.resize(polygon.rings.size());
                for (std::size_t k = 0; k < polygon.rings.size(); ++k) {
                    rings[k].clear();
                    for (const Point p : polygon.rings[k]) {
                        rings[k].push_back(camera.toScreen(lakeWorldPoint(p, w, h, copy)));
                    }
                }
                lakeSpans(rings, firstRow, lastRow, view.w, crossings, spans);
            }
        }
    }
    // Spans outside the part's columns are cut to it.
    std::erase_if(spans, [&](LakeSpan& s) {
        s.first = std::max(s.first, part.x);
        s.last = std::min(s.last, part.x + part.w - 1);
        return s.first > s.last;
    });
}

void addLakeTextures(const Scene& scene, const std::vector<LakeSpan>& spans, TerrainIcons& icons) {
    // Close in, the lake takes the water texture of the play-grid field under each run of pixels.
    const Map& game = scene.world.gameMap();
    const Camera grid = scene.view.gameCamera();
    const auto hexAt = [&](Point screen) { return worldToHex(grid.toWorld(screen)); };
    for (const LakeSpan& s : spans) {
        forHexRuns(s.first, s.last, s.row + 0.5, hexAt, [&](int first, int last, Hex drawn) {
            const auto stored = game.canonical(drawn);
            if (!stored || game.terrainAt(*stored) == Terrain::City) {
                return;
            }
            std::array<Point, 6> frame = corners(drawn);
            for (Point& p : frame) {
                p = grid.toScreen(p);
            }
            const double x0 = first;
            const double x1 = last + 1;
            const double y0 = s.row;
            const double y1 = s.row + 1;
            icons.addTerrainArea(Terrain::Water, frame, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}},
                                 terrainVariation(*stored));
        });
    }
}

void drawLakeDetails(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Images& images = frame.images;
    if (!world.map.isWorld() || view.camera.scale < lakeScale) {
        return;
    }
    std::vector<LakeSpan> spans;
    visibleLakeSpans(frame, frame.mapClip, spans);
    if (spans.empty()) {
        return;
    }
    const DrawPass pass(renderer);
    if (view.camera.scale < texturedLakeScale) {
        std::vector<SDL_Rect> lines;
        lines.reserve(spans.size());
        for (const LakeSpan& s : spans) {
            lines.push_back({s.first, s.row, s.last - s.first + 1, 1});
        }
        SDL_SetRenderDrawColor(renderer, lakeColor.r, lakeColor.g, lakeColor.b, lakeColor.a);
        SDL_RenderFillRects(renderer, lines.data(), static_cast<int>(lines.size()));
        return;
    }
    TerrainIcons icons(images.terrainArt.get());
    addLakeTextures(frame, spans, icons);
    icons.draw(renderer);
}

} // namespace korvan
