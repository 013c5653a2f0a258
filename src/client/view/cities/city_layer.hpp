// The city layer: markers and labels on the world map, city-field markers on other maps. Labels are
// placed once per view and hover, and what hover hits is what was placed.
#pragma once

#include "cities/city_labels.hpp"
#include "kit/label_pictures.hpp"
#include "map_view/map_layer.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

// The city an objective lies in: the city of its field, else the city of its name.
std::optional<std::size_t> objectiveCity(const World& world, const Objective& objective);

// Draws the markers; the labels come later, over the objectives and under the units.
class CityLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
    void drawLabels(const Frame& frame);
    void forgetRenderer() override { pictures_ = LabelPictures{}; }

    // The world-map cities on screen with their labels, most important first, valid until the next
    // call. With anyHover, placements made for another hovered city serve too: they are what the
    // screen shows.
    const std::vector<CityPlacement>& placements(const Scene& scene, bool anyHover = false);
    // The city whose label or marker lies under the point, or whose play-grid field it is.
    std::optional<std::size_t> cityAt(const Scene& scene, Point screen);
    // objectiveCity, kept per objective: a name is found by a walk over every city, in every frame.
    std::optional<std::size_t> cityOf(const World& world, const Objective& objective);

private:
    void drawFieldMarkers(const Frame& frame);

    struct ObjectiveEntry {
        Hex position;
        std::string name;
        std::optional<std::size_t> city;
    };
    struct ObjectiveWorld {
        const World* world = nullptr;
        unsigned generation = 0;
        const City* cities = nullptr;
        std::size_t count = 0;
        bool operator==(const ObjectiveWorld&) const = default;
    };
    ObjectiveWorld objectiveWorld_; // what objectives_ were looked up in
    std::vector<ObjectiveEntry> objectives_;

    LabelPictures pictures_;
    CityLabelScratch scratch_;
};

class CityLabelLayer final : public MapLayer {
public:
    explicit CityLabelLayer(CityLayer& cities) : cities_(cities) {}
    void draw(const Frame& frame) override { cities_.drawLabels(frame); }

private:
    CityLayer& cities_;
};

} // namespace korvan
