// The two city layers: markers and labels on the world map, city-field markers on other maps.
#include "client/client.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"
#include "render/primitives.hpp"

#include <cmath>

namespace korvan {

namespace {

constexpr double detailScale = 14; // sprites from here, small squares below
constexpr SDL_Color capitalColor{232, 204, 136, 255};
constexpr SDL_Color plateColor{19, 31, 34, 255}; // behind small markers and labels

} // namespace

int Client::citySymbolSize() const {
    if (camera.scale < detailScale) {
        return 0;
    }
    const Camera g = gameCamera();
    return static_cast<int>(std::floor(camera.scale * 1.6 * std::min(g.horizontalScale, g.verticalScale)));
}

std::vector<CityPlacement> Client::cityPlacements() const { return currentCityPlacements(); }

const std::vector<CityPlacement>& Client::currentCityPlacements(bool anyHover) const {
    std::vector<CityPlacement>& placements = cityLabelScratch.placements;
    CityLabelScratch::Key key{viewKey(), selectedCity, hoveredCity, citiesVisible};
    if (cityLabelScratch.key && anyHover) {
        key.hovered = cityLabelScratch.key->hovered;
    }
    if (cityLabelScratch.key == key) {
        return placements;
    }
    cityLabelScratch.key = key;
    placements.clear();
    if (!map.isWorld() || !citiesVisible) {
        return placements;
    }
    const double degreeWidth = map.width() * camera.scale * camera.horizontalScale * sqrt3 / 360;
    const CityZoom zoom = cityZoom(camera.scale, degreeWidth);
    const int symbolSize = citySymbolSize();
    for (std::size_t i = 0; i < cities.size(); ++i) {
        if (cities[i].tier <= zoom.tierLimit || selectedCity == i) {
            appendCityCopies(placements, i, cityWorld(i), camera, map.period(), width, height, zoom.labelScale,
                             symbolSize);
        }
    }
    const SDL_Rect area = mapClip();
    labelCityPlacements(placements, cities, {area.x, area.y, area.w, area.h}, selectedCity, hoveredCity,
                        cityLabelScratch);
    return placements;
}

void Client::renderCities(SDL_Renderer* renderer) const {
    const std::vector<CityPlacement>& placements = currentCityPlacements();
    const auto colorOf = [&](const CityPlacement& p) {
        return selectedCity == p.index ? gold : cities[p.index].capital ? capitalColor : ink;
    };
    for (const CityPlacement& p : placements) {
        const City& city = cities[p.index];
        const SDL_Color color = colorOf(p);
        if (p.symbolSize > 0) {
            cityGraphics.draw(renderer, {double(p.x), double(p.y)}, p.symbolSize, CityGraphics::sizeStyle(city.population));
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
    // The most important label last, so it lies on top.
    for (auto p = placements.rbegin(); p != placements.rend(); ++p) {
        if (const auto& label = p->label) {
            cityLabelPictures.draw(renderer, {label->x, label->y, label->w, label->h}, cities[p->index].name,
                                   colorOf(*p), plateColor, p->scale);
        }
    }
}

void Client::renderOperationCities(SDL_Renderer* renderer) const {
    const int size = citySymbolSize();
    if (map.isWorld() || size == 0) {
        return;
    }
    forVisibleOn(map, camera, [&](Hex drawn, Hex stored) {
        if (map.terrainAt(stored) == Terrain::City) {
            cityGraphics.draw(renderer, camera.toScreen(hexCenter(drawn)), size, CityGraphics::generalStyle);
        }
    });
}

} // namespace korvan
