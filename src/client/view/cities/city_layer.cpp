// The two city layers: markers and labels on the world map, city-field markers on other maps.
#include "cities/city_layer.hpp"

#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "overlays/map_overlays.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace korvan {

namespace {

constexpr SDL_Color capitalColor{232, 204, 136, 255};
constexpr SDL_Color plateColor{19, 31, 34, 255}; // behind small markers and labels

// Marker and label colour: the selected city and objectives in gold, capitals pale gold.
SDL_Color cityColor(const Scene& scene, const CityPlacement& p) {
    return scene.view.selectedCity == p.index || p.objective ? gold
           : scene.world.cities[p.index].capital             ? capitalColor
                                                              : ink;
}

// What labels must leave free: the units' pictures and the objective markers.
void mapObstacles(const Scene& scene, std::vector<LabelRect>& rects, std::size_t& unitCount) {
    const ViewState& view = scene.view;
    const Game& game = scene.game;
    rects.clear();
    if (view.camera.scale >= unitZoom) {
        const UnitFootprint footprint = view.unitFootprint();
        for (const Unit& unit : game.army.units()) {
            view.unitCopies(unit.position, [&](Point s) { rects.push_back(ViewState::unitBounds(s, footprint)); });
        }
    }
    unitCount = rects.size();
    if (game.battle) {
        for (const Objective& objective : game.battle->objectives()) {
            view.unitCopies(objective.position, [&](Point s) { rects.push_back(objectiveMarker(s)); });
        }
    }
}

} // namespace

std::optional<std::size_t> objectiveCity(const World& world, const Objective& objective) {
    const Map& game = world.gameMap();
    if (game.contains(objective.position)) {
        const auto found = world.cityFields.find(objective.position.r * game.width() + game.column(objective.position));
        if (found != world.cityFields.end()) {
            return found->second;
        }
    }
    const auto sameName = [&](const City& c) {
        return std::equal(c.name.begin(), c.name.end(), objective.name.begin(), objective.name.end(),
                          [](unsigned char a, unsigned char b) { return std::toupper(a) == std::toupper(b); });
    };
    const auto named = std::find_if(world.cities.begin(), world.cities.end(), sameName);
    return named != world.cities.end() ? std::optional<std::size_t>(named - world.cities.begin()) : std::nullopt;
}

const std::vector<CityPlacement>& CityLayer::placements(const Scene& scene, bool anyHover) {
    const World& world = scene.world;
    const ViewState& view = scene.view;
    std::vector<CityPlacement>& placements = scratch_.placements;
    CityLabelScratch::Key key{view.viewKey(), view.selectedCity, view.hover.city, view.citiesVisible};
    if (scratch_.key && anyHover) {
        key.hovered = scratch_.key->hovered;
    }
    std::size_t unitCount = 0;
    mapObstacles(scene, scratch_.freshObstacles, unitCount);
    if (scratch_.key == key && scratch_.freshObstacles == scratch_.mapObstacles) {
        return placements;
    }
    scratch_.key = key;
    scratch_.mapObstacles.swap(scratch_.freshObstacles);
    placements.clear();
    if (!world.map.isWorld() || !view.citiesVisible) {
        return placements;
    }
    const double degreeWidth = world.map.width() * view.camera.scale * view.camera.horizontalScale * sqrt3 / 360;
    const CityZoom zoom = cityZoom(view.camera.scale, degreeWidth);
    const int symbolSize = view.citySymbolSize();
    for (std::size_t i = 0; i < world.cities.size(); ++i) {
        if (world.cities[i].tier <= zoom.tierLimit || view.selectedCity == i) {
            appendCityCopies(placements, i, world.cityWorld(i), view.camera, world.map.period(), view.width,
                             view.height, zoom.labelScale, symbolSize);
        }
    }
    // An objective's name is its city's label; objectives that are no city here keep their own name,
    // which the labels leave free.
    std::vector<LabelRect>& obstacles = scratch_.obstacles;
    obstacles = scratch_.mapObstacles;
    if (scene.game.battle) {
        for (const Objective& objective : scene.game.battle->objectives()) {
            const auto city = cityOf(world, objective);
            bool named = false;
            for (CityPlacement& p : placements) {
                if (city == p.index) {
                    p.objective = named = true;
                }
            }
            if (!named && view.camera.scale >= objectiveNameZoom) {
                view.unitCopies(objective.position, [&](Point s) {
                    obstacles.push_back(objectiveNameRect(s, objective.name.size()));
                });
            }
        }
    }
    const std::span<const LabelRect> all(obstacles);
    labelCityPlacements(placements, world.cities, view.mapClip(), view.selectedCity, view.hover.city, scratch_,
                        {all.first(unitCount), all.subspan(unitCount)});
    return placements;
}

std::optional<std::size_t> CityLayer::cityOf(const World& world, const Objective& objective) {
    const ObjectiveWorld now{&world, world.generation, world.cities.data(), world.cities.size()};
    // A battle has a few objectives; a bound keeps a long session's list short all the same.
    if (objectiveWorld_ != now || objectives_.size() > 256) {
        objectiveWorld_ = now;
        objectives_.clear();
    }
    for (const ObjectiveEntry& e : objectives_) {
        if (e.position == objective.position && e.name == objective.name) {
            return e.city;
        }
    }
    objectives_.push_back({objective.position, objective.name, objectiveCity(world, objective)});
    return objectives_.back().city;
}

void CityLayer::draw(const Frame& frame) {
    drawFieldMarkers(frame);
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const Images& images = frame.images;
    const std::vector<CityPlacement>& placements = this->placements(frame);
    for (const CityPlacement& p : placements) {
        const City& city = world.cities[p.index];
        const SDL_Color color = cityColor(frame, p);
        if (p.symbolSize > 0) {
            images.cityGraphics.draw(renderer, {double(p.x), double(p.y)}, p.symbolSize,
                                     CityGraphics::sizeStyle(city.population));
            continue;
        }
        rect(renderer, {p.x - 4, p.y - 4, 9, 9}, plateColor);
        if (city.capital) {
            const SDL_Rect ring{p.x - 3, p.y - 3, 7, 7};
            SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
            SDL_RenderDrawRect(renderer, &ring);
            rect(renderer, {p.x - 1, p.y - 1, 3, 3}, color);
        } else {
            rect(renderer, {p.x - 2, p.y - 2, 5, 5}, color);
        }
    }
}

void CityLayer::drawLabels(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const std::vector<CityPlacement>& placements = this->placements(frame);
    // The most important label last, so it lies on top.
    for (auto p = placements.rbegin(); p != placements.rend(); ++p) {
        if (const auto& label = p->label) {
            pictures_.draw(renderer, {label->x, label->y, label->w, label->h}, world.cities[p->index].name,
                                   cityColor(frame, *p), plateColor, p->scale);
        }
    }
}

void CityLayer::drawFieldMarkers(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Images& images = frame.images;
    const int size = view.citySymbolSize();
    if (world.map.isWorld() || size == 0) {
        return;
    }
    view.forVisibleOn(world.map, view.camera, [&](Hex drawn, Hex stored) {
        if (world.map.terrainAt(stored) == Terrain::City) {
            images.cityGraphics.draw(renderer, view.camera.toScreen(hexCenter(drawn)), size,
                                     CityGraphics::generalStyle);
        }
    });
}

std::optional<std::size_t> CityLayer::cityAt(const Scene& scene, Point screen) {
    const World& world = scene.world;
    const ViewState& view = scene.view;
    // The pointer hits what was drawn: labels made room for the city hovered then.
    const std::vector<CityPlacement>& shown = placements(scene, true);
    const int px = static_cast<int>(screen.x);
    const int py = static_cast<int>(screen.y);
    for (const CityPlacement& p : shown) {
        if (p.label && p.label->contains(px, py)) {
            return p.index;
        }
    }
    const auto squaredDistance = [&](const CityPlacement& p) {
        return (screen.x - p.x) * (screen.x - p.x) + (screen.y - p.y) * (screen.y - p.y);
    };
    for (const CityPlacement& p : shown) {
        if (squaredDistance(p) <= 25) {
            return p.index;
        }
    }
    // Cities drawn on the play grid are also found by the field they stand on.
    if (world.map.isWorld() && view.citiesVisible && view.onMap(screen)) {
        if (const auto field = world.gameAt(view.camera.toWorld(screen))) {
            const Map& game = world.gameMap();
            if (const auto found = world.cityFields.find(field->r * game.width() + game.column(*field));
                found != world.cityFields.end()) {
                return found->second;
            }
        }
    }
    // Else the nearest marker whose square covers the point.
    const CityPlacement* nearest = nullptr;
    for (const CityPlacement& p : shown) {
        const double reach = p.symbolSize > 17 ? p.symbolSize / 2 : 8;
        if (std::abs(screen.x - p.x) <= reach && std::abs(screen.y - p.y) <= reach &&
            (!nearest || squaredDistance(p) < squaredDistance(*nearest))) {
            nearest = &p;
        }
    }
    return nearest ? std::optional<std::size_t>(nearest->index) : std::nullopt;
}

} // namespace korvan
