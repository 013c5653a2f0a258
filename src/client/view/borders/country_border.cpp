// Country outline geometry: culling and projection of the polylines, strokes with caps, dashes.
#include "borders/country_border.hpp"

#include "kit/primitives.hpp"
#include "kit/whole_pixels.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace korvan {

namespace {

using std::numbers::pi;

// Rim directions relative to the stroke's direction, as (cos, sin) of the angle: the capsule's half
// circle at b runs from -90 degrees in 7 steps of 180/7; a round end cap from +90 degrees backwards
// in steps of 22.5 degrees. The opposite end's points are the same turned by 180 degrees.
struct RimTables {
    std::array<Point, 8> capsule;
    std::array<Point, 8> cap;
};

const RimTables& rimTables() {
    static const RimTables tables = [] {
        RimTables t;
        for (int i = 0; i < 8; ++i) {
            const double capsuleAngle = -pi / 2 + i * pi / 7;
            const double capAngle = pi / 2 - (i + 1) * pi / 8;
            t.capsule[std::size_t(i)] = {std::cos(capsuleAngle), std::sin(capsuleAngle)};
            t.cap[std::size_t(i)] = {std::cos(capAngle), std::sin(capAngle)};
        }
        return t;
    }();
    return tables;
}

// The point at distance w from centre in the direction turned by the angle whose (cos, sin) is turn.
Point rimPoint(Point centre, Point direction, Point turn, double w) {
    return {centre.x + w * (direction.x * turn.x - direction.y * turn.y),
            centre.y + w * (direction.y * turn.x + direction.x * turn.y)};
}

} // namespace

void projectOutline(const std::vector<std::vector<Point>>& lines, const Camera& camera, Point viewTopLeft,
                    Point viewBottomRight, double period, ScreenPolylines& out) {
    out.clear();
    for (const std::vector<Point>& line : lines) {
        if (line.size() < 2) {
            continue;
        }
        Point low = line.front();
        Point high = line.front();
        for (const Point p : line) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y)};
        }
        if (high.y < viewTopLeft.y || low.y > viewBottomRight.y) {
            continue;
        }
        const auto firstCopy = static_cast<long long>(std::floor((viewTopLeft.x - high.x) / period));
        const auto lastCopy = static_cast<long long>(std::ceil((viewBottomRight.x - low.x) / period));
        for (long long k = firstCopy; k <= lastCopy; ++k) {
            const double shift = double(k) * period;
            if (high.x + shift < viewTopLeft.x || low.x + shift > viewBottomRight.x) {
                continue;
            }
            const std::size_t start = out.points.size();
            for (std::size_t i = 0; i < line.size(); ++i) {
                const Point s = camera.toScreen({line[i].x + shift, line[i].y});
                if (out.points.size() > start && i + 1 < line.size()) {
                    const Point kept = out.points.back();
                    if (std::abs(s.x - kept.x) < 1 && std::abs(s.y - kept.y) < 1) {
                        continue;
                    }
                }
                out.points.push_back(s);
            }
            if (out.points.size() - start >= 2) {
                out.ends.push_back(out.points.size());
            } else {
                out.points.resize(start);
            }
        }
    }
}

Point unitDirection(Point a, Point b) {
    const Point d = b - a;
    const double length = std::sqrt(d.x * d.x + d.y * d.y);
    return length > 0 ? d * (1 / length) : Point{1, 0};
}

void appendStroke(std::vector<SDL_Vertex>& vertices, std::vector<int>& indices, Point a, Point b, Point direction,
                  BorderStroke stroke, bool capStart, bool capEnd) {
    const RimTables& rim = rimTables();
    const double w = stroke.halfWidth;
    const SDL_Color color = stroke.color;
    const auto base = static_cast<int>(vertices.size());
    vertices.push_back(vertex((a + b) * 0.5, color));
    if (capStart && capEnd) {
        for (const Point turn : rim.capsule) {
            vertices.push_back(vertex(rimPoint(b, direction, turn, w), color));
        }
        for (const Point turn : rim.capsule) {
            vertices.push_back(vertex(rimPoint(a, direction, turn * -1, w), color));
        }
    } else {
        const Point n{-direction.y * w, direction.x * w};
        vertices.push_back(vertex(a + n, color));
        vertices.push_back(vertex(b + n, color));
        if (capEnd) {
            for (const Point turn : rim.cap) {
                vertices.push_back(vertex(rimPoint(b, direction, turn, w), color));
            }
        } else {
            vertices.push_back(vertex(b - n, color));
        }
        vertices.push_back(vertex(a - n, color));
        if (capStart) {
            for (std::size_t j = 0; j < 7; ++j) {
                vertices.push_back(vertex(rimPoint(a, direction, rim.cap[j] * -1, w), color));
            }
        }
    }
    const int count = static_cast<int>(vertices.size()) - base - 1;
    for (int k = 0; k < count; ++k) {
        indices.insert(indices.end(), {base, base + 1 + k, base + 1 + (k + 1) % count});
    }
}

void appendBorderSegment(std::vector<SDL_Vertex>& vertices, std::vector<int>& indices, Point a, Point b,
                         Point origin, bool casing, bool dashed, bool capStart, bool capEnd) {
    const BorderStroke stroke = casing ? borderCasing : borderLine;
    const Point direction = unitDirection(a, b);
    forBorderPieces(a, b, origin, dashed, capStart, capEnd, [&](Point from, Point to, bool startCap, bool endCap) {
        appendStroke(vertices, indices, from, to, direction, stroke, startCap, endCap);
    });
}

namespace {

// Where the rows cross one stroked piece, in x relative to a: the stroke is convex (a band with half
// discs at its capped ends), so its crossing is one interval, the hull of those of its parts.
class PieceRows {
public:
    PieceRows(Point d, double length, double w, bool capStart, bool capEnd)
        : w2_(w * w), end_(d), capStart_(capStart), capEnd_(capEnd) {
        const Point u = length > 0 ? d * (1 / length) : Point{1, 0};
        // The band is 0 <= dx ux + dy uy <= length and -w <= dy ux - dx uy <= w: two pairs of
        // bounds on dx, each linear in dy (or, along an axis, a fixed range of dy).
        bound(u.x, u.y, 0, length, along_);
        bound(-u.y, u.x, -w, w, across_);
    }

    // The interval [lo, hi] of x - a.x on the row y - a.y = dy; false when the row misses the piece.
    bool cross(double dy, double& lo, double& hi) const {
        lo = 1e300;
        hi = -1e300;
        double bandLo = -1e300;
        double bandHi = 1e300;
        if (along_.clip(dy, bandLo, bandHi) && across_.clip(dy, bandLo, bandHi) && bandLo <= bandHi) {
            lo = bandLo;
            hi = bandHi;
        }
        if (capStart_) {
            disc(dy, {0, 0}, lo, hi);
        }
        if (capEnd_) {
            disc(dy, end_, lo, hi);
        }
        return lo <= hi;
    }

private:
    // low <= coefficient dx + slope dy <= high, solved for dx: between two lines in dy.
    struct Bound {
        bool fixed = false; // coefficient 0: only a range of dy qualifies, for every dx
        double low = 0;
        double high = 0;
        double slope = 0;
        double lowAt0 = 0;
        double highAt0 = 0;

        bool clip(double dy, double& lo, double& hi) const {
            if (fixed) {
                return dy >= low && dy <= high;
            }
            lo = std::max(lo, lowAt0 + slope * dy);
            hi = std::min(hi, highAt0 + slope * dy);
            return true;
        }
    };

    static void bound(double coefficient, double slope, double low, double high, Bound& out) {
        if (std::abs(coefficient) < 1e-12) {
            // slope is +-1 here: the range of dy whose slope * dy lies in [low, high].
            out.fixed = true;
            out.low = slope > 0 ? low : -high;
            out.high = slope > 0 ? high : -low;
            return;
        }
        out.slope = -slope / coefficient;
        out.lowAt0 = (coefficient > 0 ? low : high) / coefficient;
        out.highAt0 = (coefficient > 0 ? high : low) / coefficient;
    }

    void disc(double dy, Point centre, double& lo, double& hi) const {
        const double rest = w2_ - (dy - centre.y) * (dy - centre.y);
        if (rest >= 0) {
            const double half = std::sqrt(rest);
            lo = std::min(lo, centre.x - half);
            hi = std::max(hi, centre.x + half);
        }
    }

    double w2_;
    Point end_;
    bool capStart_;
    bool capEnd_;
    Bound along_;
    Bound across_;
};

// The pixels of a raster of the screen rectangle area, area.w to a row, and the part of it to paint.
struct RasterTarget {
    std::uint32_t* pixels;
    SDL_Rect area;
    SDL_Rect clip;
};

// Paints the pixels of the target's clip whose centres lie in one stroked piece, growing painted to
// hold them.
void rasterPiece(Point a, Point b, BorderStroke stroke, bool capStart, bool capEnd, const RasterTarget& target,
                 SDL_Rect& painted) {
    const SDL_Rect& clip = target.clip;
    const double w = stroke.halfWidth;
    const int top = std::max(clip.y, floorToInt(std::min(a.y, b.y) - w));
    const int bottom = std::min(clip.y + clip.h - 1, ceilToInt(std::max(a.y, b.y) + w));
    const int clipRight = clip.x + clip.w - 1;
    if (top > bottom || std::max(a.x, b.x) + w < clip.x || std::min(a.x, b.x) - w > clipRight + 1) {
        return;
    }
    const Point d = b - a;
    const PieceRows shape(d, std::sqrt(d.x * d.x + d.y * d.y), w, capStart, capEnd);
    const SDL_Color c = stroke.color;
    const std::uint32_t colour = std::uint32_t(c.a) << 24 | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
    int left = clipRight + 1;
    int right = clip.x - 1;
    int first = bottom + 1;
    int last = top - 1;
    for (int y = top; y <= bottom; ++y) {
        double lo = 0;
        double hi = 0;
        if (!shape.cross(y + 0.5 - a.y, lo, hi)) {
            continue;
        }
        // Pixel x is covered when its centre x + 0.5 lies in a.x + [lo, hi].
        const int from = std::max(clip.x, ceilToInt(a.x + lo - 0.5));
        const int to = std::min(clipRight, floorToInt(a.x + hi - 0.5));
        if (from > to) {
            continue;
        }
        std::uint32_t* row = target.pixels + std::ptrdiff_t(y - target.area.y) * target.area.w - target.area.x;
        std::fill(row + from, row + to + 1, colour);
        left = std::min(left, from);
        right = std::max(right, to);
        first = std::min(first, y);
        last = y;
    }
    if (first <= last) {
        const SDL_Rect box{left, first, right - left + 1, last - first + 1};
        SDL_UnionRect(&painted, &box, &painted);
    }
}

} // namespace

SDL_Rect rasterOutline(const ScreenPolylines& lines, Point origin, bool dashed, std::uint32_t* pixels, SDL_Rect area,
                       SDL_Rect clip) {
    const RasterTarget target{pixels, area, clip};
    // Segments whose casing cannot reach the clip are passed over before any dash is cut.
    const double reach = borderCasing.halfWidth + 1;
    const Point low{clip.x - reach, clip.y - reach};
    const Point high{clip.x + clip.w + reach, clip.y + clip.h + reach};
    SDL_Rect painted{0, 0, 0, 0};
    for (const BorderStroke stroke : {borderCasing, borderLine}) {
        std::size_t start = 0;
        for (const std::size_t end : lines.ends) {
            for (std::size_t i = start + 1; i < end; ++i) {
                const Point a = lines.points[i - 1];
                const Point b = lines.points[i];
                if (std::max(a.x, b.x) < low.x || std::min(a.x, b.x) > high.x || std::max(a.y, b.y) < low.y ||
                    std::min(a.y, b.y) > high.y) {
                    continue;
                }
                forBorderPieces(a, b, origin, dashed, true, true,
                                [&](Point from, Point to, bool capStart, bool capEnd) {
                                    rasterPiece(from, to, stroke, capStart, capEnd, target, painted);
                                });
            }
            start = end;
        }
    }
    return painted;
}

} // namespace korvan
