// Lake outlines on screen: the projection of geographic points and the scanline spans that fill them.
#pragma once

#include "core/hex.hpp"
#include "map_view/scene.hpp"

#include <SDL.h>

#include <vector>

namespace korvan {

class TerrainIcons;

// From this zoom on lakes are drawn with the water texture of the field under them.
inline constexpr double texturedLakeScale = 14;

// One filled run of a screen row, columns first to last inclusive.
struct LakeSpan {
    int row = 0;
    int first = 0;
    int last = 0;

    friend bool operator==(const LakeSpan&, const LakeSpan&) = default;
};

// The world point of a (longitude, latitude) position on a world map of the given size, at world copy `copy`.
Point lakeWorldPoint(Point lonLat, int mapWidth, int mapHeight, int copy);

// Appends the even-odd spans of rings (screen points) on rows firstRow..lastRow, sampled at pixel
// centres and clamped to columns [0, columnLimit). `crossings` is working storage.
void lakeSpans(const std::vector<std::vector<Point>>& rings, int firstRow, int lastRow, int columnLimit,
               std::vector<double>& crossings, std::vector<LakeSpan>& spans);

// Cuts the columns first..last of a row at height y into runs whose pixel centres share a hex:
// run(firstColumn, lastColumn, hex) with hexAt(Point) naming the hex of a screen point.
template <typename HexAt, typename Run>
void forHexRuns(int first, int last, double y, HexAt&& hexAt, Run&& run) {
    if (first > last) {
        return;
    }
    int start = first;
    Hex current = hexAt(Point{first + 0.5, y});
    for (int i = first + 1; i <= last; ++i) {
        const Hex h = hexAt(Point{i + 0.5, y});
        if (h != current) {
            run(start, i - 1, current);
            start = i;
            current = h;
        }
    }
    run(start, last, current);
}

// The spans of the world's detailed lakes within the window rectangle `part` of the map area.
void visibleLakeSpans(const Scene& scene, SDL_Rect part, std::vector<LakeSpan>& spans);
// The water texture of the play-grid field under each run of the spans.
void addLakeTextures(const Scene& scene, const std::vector<LakeSpan>& spans, TerrainIcons& icons);

} // namespace korvan
