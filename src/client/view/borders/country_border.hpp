// The outline of one country as screen geometry: thick strokes with round caps, a dark casing under
// a gold line, dashed for disputed countries. Plain functions, so the shapes can be checked alone.
#pragma once

#include "core/camera.hpp"
#include "core/hex.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvan {

struct BorderStroke {
    SDL_Color color;
    double halfWidth; // screen pixels, whatever the zoom
};
inline constexpr BorderStroke borderCasing{{22, 32, 35, 255}, 2.5};
inline constexpr BorderStroke borderLine{{240, 194, 99, 255}, 1.5};

inline constexpr double dashPeriod = 14;
inline constexpr double dashLength = 8;

// The outline polylines in view, projected to the screen, one after another in a flat list.
struct ScreenPolylines {
    std::vector<Point> points;
    std::vector<std::size_t> ends; // one past the last point of each polyline

    void clear() {
        points.clear();
        ends.clear();
    }
};

// Projects the world-unit polylines that reach the view box (world units, top-left and bottom-right)
// at every horizontal copy of the world (period in world units) that does. Points closer than one
// pixel to the last kept one in both x and y are merged; a polyline keeps its last point, and one
// left with fewer than two points is dropped.
void projectOutline(const std::vector<std::vector<Point>>& lines, const Camera& camera, Point viewTopLeft,
                    Point viewBottomRight, double period, ScreenPolylines& out);

// The unit direction from a to b; (1, 0) when they coincide, as atan2(0, 0) = 0 would give.
Point unitDirection(Point a, Point b);

// Appends a triangle fan of one solid piece from a to b along the unit direction: a capsule of 16
// rim points when both ends are capped, else a quadrilateral with a half disc at each capped end.
void appendStroke(std::vector<SDL_Vertex>& vertices, std::vector<int>& indices, Point a, Point b, Point direction,
                  BorderStroke stroke, bool capStart, bool capEnd);

// Calls piece(from, to, capStart, capEnd) for the solid pieces of one outline segment (screen
// pixels): the whole segment, or its dashes. Dashes are measured from origin, the screen point of the
// world origin (the camera's offset), so they stay put on the map while it pans; only the pieces that
// reach a capped end of the segment keep that cap.
template <typename Piece>
void forBorderPieces(Point a, Point b, Point origin, bool dashed, bool capStart, bool capEnd, Piece&& piece) {
    if (!dashed) {
        piece(a, b, capStart, capEnd);
        return;
    }
    const Point d = b - a;
    const double length = std::sqrt(d.x * d.x + d.y * d.y);
    if (length < 1e-9) {
        return;
    }
    // The phase is where a lies along the segment's direction, counted from the world origin's
    // screen point: the same map point gives the same phase wherever the view has been panned.
    double phase = std::fmod(((a.x - origin.x) * d.x + (a.y - origin.y) * d.y) / length, dashPeriod);
    if (phase < 0) {
        phase += dashPeriod;
    }
    for (double start = -phase; start < length; start += dashPeriod) {
        const double s0 = std::max(start, 0.0) / length;
        const double s1 = std::min(length, start + dashLength) / length;
        if (s0 < s1) {
            piece(a + d * s0, a + d * s1, capStart && s0 <= 0, capEnd && s1 >= 1);
        }
    }
}

// Appends the triangles of one outline segment in screen pixels (see forBorderPieces).
void appendBorderSegment(std::vector<SDL_Vertex>& vertices, std::vector<int>& indices, Point a, Point b,
                         Point origin, bool casing, bool dashed, bool capStart, bool capEnd);

// Paints what the triangles of every segment of lines (both ends capped), casing first, would
// cover within clip into ARGB pixels of the screen rectangle area, area.w to a row; the clip lies in
// area and must be clear. A pixel takes a stroke's colour when its centre lies within the stroke's
// half-width of the piece (and within its length where an end is not capped). Returns the rectangle
// that was painted, empty when nothing was. Far cheaper than the software renderer's triangles for
// long outlines.
SDL_Rect rasterOutline(const ScreenPolylines& lines, Point origin, bool dashed, std::uint32_t* pixels, SDL_Rect area,
                       SDL_Rect clip);

} // namespace korvan
