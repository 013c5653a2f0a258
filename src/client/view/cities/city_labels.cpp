// City copies on screen and the search for free label positions.
#include "cities/city_labels.hpp"

#include "view_state/screen_layout.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <tuple>

namespace korvan {

namespace {

// A marker needs this many pixels of map area around its centre.
constexpr int markerMargin = 5;
// Labels keep this much air to everything else.
constexpr int labelMargin = 3;

// The occupied rectangles bucketed by area, so a candidate is tested only against its neighbours
// (a frame over Europe places hundreds of labels). Rectangles beyond the area fall into its edge
// buckets: clamping keeps every overlapping pair in a common bucket.
class Occupancy {
public:
    Occupancy(LabelRect area, std::vector<std::vector<std::uint32_t>>& buckets, std::vector<LabelRect>& rects)
        : area_(area), columns_(std::max(1, (area.w + cell - 1) / cell)),
          rows_(std::max(1, (area.h + cell - 1) / cell)), buckets_(buckets), rects_(rects) {
        buckets_.resize(std::size_t(columns_) * std::size_t(rows_));
        for (auto& bucket : buckets_) {
            bucket.clear();
        }
        rects_.clear();
    }

    void add(const LabelRect& r) {
        rects_.push_back(r);
        const auto id = static_cast<std::uint32_t>(rects_.size() - 1);
        forCells(r, [&](std::size_t bucket) {
            buckets_[bucket].push_back(id);
            return false;
        });
    }

    bool blocks(const LabelRect& r) const {
        return forCells(r, [&](std::size_t bucket) {
            const auto& ids = buckets_[bucket];
            return std::any_of(ids.begin(), ids.end(), [&](std::uint32_t id) { return rects_[id].overlaps(r); });
        });
    }

private:
    static constexpr int cell = 64;

    int column(int x) const { return std::clamp((x - area_.x) / cell, 0, columns_ - 1); }
    int row(int y) const { return std::clamp((y - area_.y) / cell, 0, rows_ - 1); }

    // Calls visit(bucket index) for the buckets r touches until one returns true.
    template <typename Visit>
    bool forCells(const LabelRect& r, Visit&& visit) const {
        const int c0 = column(r.x);
        const int c1 = column(r.x + r.w - 1);
        const int r1 = row(r.y + r.h - 1);
        for (int y = row(r.y); y <= r1; ++y) {
            for (int x = c0; x <= c1; ++x) {
                if (visit(std::size_t(y) * std::size_t(columns_) + std::size_t(x))) {
                    return true;
                }
            }
        }
        return false;
    }

    LabelRect area_;
    int columns_;
    int rows_;
    std::vector<std::vector<std::uint32_t>>& buckets_;
    std::vector<LabelRect>& rects_;
};

template <typename Blocked>
std::optional<LabelRect> firstFreeLabel(int x, int y, int w, int h, LabelRect viewport, int radius, Blocked&& blocked) {
    const int m = radius + 4;
    const std::array<std::array<int, 2>, 8> corners{{{x + m, y - h / 2},
                                                      {x - m - w, y - h / 2},
                                                      {x - w / 2, y - m - h},
                                                      {x - w / 2, y + m},
                                                      {x + m, y - m - h},
                                                      {x - m - w, y - m - h},
                                                      {x + m, y + m},
                                                      {x - m - w, y + m}}};
    for (const auto [cx, cy] : corners) {
        const bool inside = cx > viewport.x + 1 && cy > viewport.y + 1 && cx + w < viewport.x + viewport.w - 1 &&
                            cy + h < viewport.y + viewport.h - 1;
        if (inside &&
            !blocked(LabelRect{cx - labelMargin, cy - labelMargin, w + 2 * labelMargin, h + 2 * labelMargin})) {
            return LabelRect{cx, cy, w, h};
        }
    }
    return std::nullopt;
}

LabelRect markerSquare(const CityPlacement& p) {
    const int r = markerRadius(p.symbolSize);
    return {p.x - r, p.y - r, 2 * r + 1, 2 * r + 1};
}

} // namespace

CityZoom cityZoom(double scale, double degreeWidth) {
    CityZoom zoom;
    zoom.tierLimit = scale >= 14 ? 3 : degreeWidth >= 14 ? 2 : degreeWidth >= 5 ? 1 : 0;
    zoom.labelScale = degreeWidth >= 12 ? 2 : 1;
    return zoom;
}

void appendCityCopies(std::vector<CityPlacement>& placements, std::size_t index, Point world, const Camera& camera,
                      double period, int width, int height, int labelScale, int symbolSize) {
    const double left = camera.toWorld({0, 0}).x;
    const double right = camera.toWorld({double(width - sidebarWidth), 0}).x;
    const auto first = static_cast<long long>(std::ceil((left - world.x) / period));
    const auto last = static_cast<long long>(std::floor((right - world.x) / period));
    for (long long k = first; k <= last; ++k) {
        const Point s = camera.toScreen({world.x + double(k) * period, world.y});
        if (s.y < topbarHeight + markerMargin || s.y > height - footerHeight - markerMargin || s.x < markerMargin ||
            s.x > width - sidebarWidth - markerMargin) {
            continue;
        }
        placements.push_back({index, static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)),
                              labelScale, std::nullopt, symbolSize});
    }
}

std::optional<LabelRect> placeCityLabel(int x, int y, int w, int h, LabelRect viewport,
                                        std::span<const LabelRect> occupied, int markerRadius) {
    return firstFreeLabel(x, y, w, h, viewport, markerRadius, [&](const LabelRect& candidate) {
        return std::any_of(occupied.begin(), occupied.end(), [&](const LabelRect& r) { return r.overlaps(candidate); });
    });
}

void labelCityPlacements(std::vector<CityPlacement>& placements, const std::vector<City>& cities, LabelRect viewport,
                         std::optional<std::size_t> selected, std::optional<std::size_t> hovered) {
    CityLabelScratch scratch;
    labelCityPlacements(placements, cities, viewport, selected, hovered, scratch);
}

void labelCityPlacements(std::vector<CityPlacement>& placements, const std::vector<City>& cities, LabelRect viewport,
                         std::optional<std::size_t> selected, std::optional<std::size_t> hovered,
                         CityLabelScratch& scratch, LabelObstacles obstacles) {
    Occupancy occupied(viewport, scratch.buckets, scratch.occupied);
    // Every marker, reserved or not: a label first looks for a place that hides none.
    Occupancy markers(viewport, scratch.markerBuckets, scratch.markers);
    for (const CityPlacement& p : placements) {
        markers.add(markerSquare(p));
    }
    const auto level = [&](const CityPlacement& p) {
        return (selected == p.index ? 2 : 0) + (hovered == p.index ? 1 : 0);
    };
    // Most important first; copies of one city keep their order from left to right.
    std::sort(placements.begin(), placements.end(), [&](const CityPlacement& a, const CityPlacement& b) {
        const City& ca = cities[a.index];
        const City& cb = cities[b.index];
        const auto rank = [](const CityPlacement& p, const City& c, int l) {
            return std::make_tuple(-l, !p.objective, !c.capital, -c.population, c.tier, p.index, p.x, p.y);
        };
        return rank(a, ca, level(a)) < rank(b, cb, level(b));
    });
    const auto hits = [](std::span<const LabelRect> rects, const LabelRect& candidate) {
        return std::any_of(rects.begin(), rects.end(), [&](const LabelRect& r) { return r.overlaps(candidate); });
    };
    const auto blocked = [&](const LabelRect& candidate) {
        return occupied.blocks(candidate) || hits(obstacles.units, candidate) || hits(obstacles.objectives, candidate);
    };
    std::size_t kept = 0;
    for (std::size_t k = 0; k < placements.size(); ++k) {
        CityPlacement p = placements[k];
        const LabelRect marker = markerSquare(p);
        // A lesser city whose marker would lie on a more important one's marker or name stays out.
        if (level(p) == 0 && occupied.blocks(marker)) {
            continue;
        }
        occupied.add(marker);
        const int length = static_cast<int>(cities[p.index].name.size());
        const int radius = markerRadius(p.symbolSize);
        const int wanted = p.scale;
        const auto hidesNone = [&](const LabelRect& candidate) { return blocked(candidate) || markers.blocks(candidate); };
        std::optional<LabelRect> label;
        // At its scale, else smaller; clear of every marker if possible, else over lesser cities'
        // markers, whose cities then stay out.
        for (int pass = 0; pass < 2 && !label; ++pass) {
            for (int scale = wanted; scale >= 1 && !label; --scale) {
                p.scale = scale;
                label = pass == 0 ? firstFreeLabel(p.x, p.y, scale * 6 * length, scale * 7, viewport, radius, hidesNone)
                                  : firstFreeLabel(p.x, p.y, scale * 6 * length, scale * 7, viewport, radius, blocked);
            }
        }
        // The city the player points at or chose always gets its name: over other labels and
        // objectives if need be, still clear of units.
        const auto ownOnly = [&](const LabelRect& candidate) {
            return marker.overlaps(candidate) || hits(obstacles.units, candidate);
        };
        for (int scale = wanted; !label && level(p) > 0 && scale >= 1; --scale) {
            p.scale = scale;
            label = firstFreeLabel(p.x, p.y, scale * 6 * length, scale * 7, viewport, radius, ownOnly);
        }
        p.label = label;
        if (label) {
            occupied.add(*label);
        }
        placements[kept++] = p;
    }
    placements.resize(kept);
}

} // namespace korvan
