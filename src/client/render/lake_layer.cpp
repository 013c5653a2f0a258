// Lakes filled by scanline on the world map at close zoom, flat or with the water texture per field.
#include "client/client.hpp"
#include "render/lake_spans.hpp"
#include "render/terrain_cpu.hpp"
#include "render/terrain_icons.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr SDL_Color lakeColor{56, 108, 139, 255};
constexpr double lakeScale = 7;

} // namespace

void Client::renderLakeDetails(SDL_Renderer* renderer) const {
    if (!map.isWorld() || camera.scale < lakeScale || lakesInCpuTerrain(*this, renderer)) {
        return;
    }
    renderCachedLayer(renderer, lakeCache, viewKey(), mapClip(), overlayStyle,
                      [&] { drawLakeDetails(renderer); });
}

void visibleLakeSpans(const Client& client, SDL_Rect part, std::vector<LakeSpan>& spans) {
    const Map& map = client.map;
    const Camera& camera = client.camera;
    const SDL_Rect view = client.mapClip();
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
    for (const Country& area : client.lakes.detailAreas()) {
        for (const CountryPolygon& polygon : area.polygons) {
            const double east = lakeWorldPoint(polygon.maximum, w, h, 0).x;
            const double west = lakeWorldPoint(polygon.minimum, w, h, 0).x;
            const int firstCopy = static_cast<int>(std::ceil((left - east) / period));
            const int lastCopy = static_cast<int>(std::floor((right - west) / period));
            const double top = camera.toScreen(lakeWorldPoint(polygon.maximum, w, h, 0)).y;
            const double bottom = camera.toScreen(lakeWorldPoint(polygon.minimum, w, h, 0)).y;
            const int firstRow = std::max(static_cast<int>(std::ceil(top - 0.5)), partTop);
            const int lastRow = std::min(static_cast<int>(std::floor(bottom - 0.5)), partBottom);
            if (firstRow > lastRow) {
                continue;
            }
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

void addLakeTextures(const Client& client, const std::vector<LakeSpan>& spans, TerrainIcons& icons) {
    // Close in, the lake takes the water texture of the play-grid field under each run of pixels.
    const Map& game = client.gameMap();
    const Camera grid = client.gameCamera();
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

void Client::drawLakeDetails(SDL_Renderer* renderer) const {
    if (!map.isWorld() || camera.scale < lakeScale) {
        return;
    }
    std::vector<LakeSpan> spans;
    visibleLakeSpans(*this, mapClip(), spans);
    if (spans.empty()) {
        return;
    }
    const DrawPass pass(renderer);
    if (camera.scale < texturedLakeScale) {
        std::vector<SDL_Rect> lines;
        lines.reserve(spans.size());
        for (const LakeSpan& s : spans) {
            lines.push_back({s.first, s.row, s.last - s.first + 1, 1});
        }
        SDL_SetRenderDrawColor(renderer, lakeColor.r, lakeColor.g, lakeColor.b, lakeColor.a);
        SDL_RenderFillRects(renderer, lines.data(), static_cast<int>(lines.size()));
        return;
    }
    TerrainIcons icons(terrainArt.get());
    addLakeTextures(*this, spans, icons);
    icons.draw(renderer);
}

} // namespace korvan
