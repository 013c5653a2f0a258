// Which cities show on the world map at a zoom, where their copies sit on screen and where their
// name labels go without covering each other or other markers.
#pragma once

#include "core/camera.hpp"
#include "places/cities.hpp"
#include "kit/layer_cache.hpp"
#include "view_state/screen_layout.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvan {

using LabelRect = ScreenRect;

// One copy of a city on screen.
struct CityPlacement {
    std::size_t index = 0; // in the world's city list
    int x = 0;             // marker centre
    int y = 0;
    int scale = 1;                  // text scale of the label, 1 or 2
    std::optional<LabelRect> label; // none when no free place was found
    int symbolSize = 0;             // marker sprite size; 0 draws the small square
    bool objective = false;         // the city is an objective of the battle: its label names both
};

// How much of the city list a zoom shows: cities up to tierLimit, labels at labelScale.
struct CityZoom {
    int tierLimit = 0;
    int labelScale = 1;
};
// degreeWidth is the width of one degree of longitude on screen, in pixels.
CityZoom cityZoom(double scale, double degreeWidth);

// The pixels a marker takes from its centre: half the sprite, at least 4 for the small square.
inline int markerRadius(int symbolSize) { return symbolSize > 9 ? symbolSize / 2 : 4; }

// Appends the copies of a city at world point `world` (repeating every `period` world units) that
// lie in the map area of a width x height window, at least 5 pixels inside its edges.
void appendCityCopies(std::vector<CityPlacement>& placements, std::size_t index, Point world, const Camera& camera,
                      double period, int width, int height, int labelScale, int symbolSize);

// The first of eight positions around a marker at (x, y) (right, left, above, below, then the four
// diagonals) where a w x h label stays inside the viewport by more than a pixel and, grown by a
// 3-pixel margin, overlaps none of the occupied rectangles.
std::optional<LabelRect> placeCityLabel(int x, int y, int w, int h, LabelRect viewport,
                                        std::span<const LabelRect> occupied, int markerRadius);

// Working memory of the label search, kept from frame to frame so that drawing the cities of an
// unchanged view allocates nothing.
struct CityLabelScratch {
    std::vector<CityPlacement> placements;
    // What the placements were made for: hover asks for them on every mouse motion, and they
    // change only with the view, the selected or hovered city and whether cities show.
    struct Key {
        ViewKey view;
        std::optional<std::size_t> selected;
        std::optional<std::size_t> hovered;
        bool visible = true;
        friend bool operator==(const Key&, const Key&) = default;
    };
    std::optional<Key> key;
    std::vector<std::vector<std::uint32_t>> buckets; // occupied rectangles by area
    std::vector<LabelRect> occupied;
    std::vector<std::vector<std::uint32_t>> markerBuckets; // every marker, by area
    std::vector<LabelRect> markers;
    // Units and objective markers the placements were made for, and those of the current call.
    std::vector<LabelRect> mapObstacles;
    std::vector<LabelRect> freshObstacles;
    std::vector<LabelRect> obstacles; // the map's and the names of objectives that are no city
};

// What the labels must leave free besides each other: units always; objective markers and the
// names of objectives that are no city on screen, unless the selected or hovered city finds no other
// place (labels are drawn over objectives, under units).
struct LabelObstacles {
    std::span<const LabelRect> units;
    std::span<const LabelRect> objectives;
};

// Orders the placements by importance (the selected city, then the hovered one, then objectives,
// capitals, population and tier) and reserves each city's marker and label together in that order:
// a marker that would cover a more important marker or label is left out with its city, a label
// goes to the first free place around its marker, at scale 1 if need be, and the selected or
// hovered city gets its name over other labels when nothing else is free.
void labelCityPlacements(std::vector<CityPlacement>& placements, const std::vector<City>& cities, LabelRect viewport,
                         std::optional<std::size_t> selected, std::optional<std::size_t> hovered,
                         CityLabelScratch& scratch, LabelObstacles obstacles = {});
void labelCityPlacements(std::vector<CityPlacement>& placements, const std::vector<City>& cities, LabelRect viewport,
                         std::optional<std::size_t> selected, std::optional<std::size_t> hovered);

} // namespace korvan
