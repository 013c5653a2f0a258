// What lies under the pointer: the hover state, asked of the world and of what is drawn.
#include "view_state/view_state.hpp"

#include "view_state/hover_text.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

Point reducedLongitude(Point geography) {
    geography.x -= 360.0 * std::floor((geography.x + 180.0) / 360.0);
    return geography;
}

void ViewState::updateHover() {
    const Map& map = world_.map;
    const bool onMapArea = onMap(mouse);
    const Point world = camera.toWorld(mouse);
    hover = Hover{};
    if (onMapArea) {
        hover.field = map.canonical(worldToHex(world));
    }

    const bool worldMap = map.isWorld();
    const Point geography = world_.geographyAt(world);
    const Countries& countries = world_.countries;
    if (worldMap && onMapArea) {
        if (hover.field) {
            hover.country = world_.countryForField(*hover.field);
        }
        if (!hover.country) {
            hover.country = countries.at(reducedLongitude(geography));
        }
        if (!hover.country && hover.field) {
            // A coastal field may miss every polygon while a city point on it is inside one.
            for (const std::size_t city : world_.citiesOnField(*hover.field)) {
                if ((hover.country = countries.at(world_.cities[city].geography))) {
                    break;
                }
            }
        }
    }

    hover.city = onMapArea && picking ? picking->cityAt(mouse) : std::nullopt;
    if (hover.city) {
        const City& city = world_.cities[*hover.city];
        if (!hover.field || map.terrainAt(*hover.field) != Terrain::City) {
            const auto& anchors = world_.cityAnchors;
            const auto& anchor = *hover.city < anchors.size() ? anchors[*hover.city] : std::nullopt;
            hover.field = anchor ? *anchor : map.hexAtGeography(city.geography);
        }
        hover.country = countries.at(city.geography);
    }

    if (worldMap && hover.field) {
        const Hex field = *hover.field;
        const int w = map.width();
        const int h = map.height();
        const Seas& lakes = world_.lakes;
        const Seas& seas = world_.seas;
        const WaterTerritories& territories = world_.waterTerritories;
        if (!hover.city) {
            hover.lake = lakes.at(geography);
        }
        if (map.terrainAt(field) == Terrain::Water) {
            const bool inland = lakes.containsHex(field, w, h) || territories.isInteriorAtHex(field, w, h);
            hover.inlandWater = inland;
            hover.nationalWater = hover.country.has_value();
            if (!hover.lake) {
                hover.lake = lakes.atHex(field, w, h);
            }
            if (!inland && !hover.lake) {
                if (auto sea = seas.at(geography)) {
                    if (territories.isMarineAtHex(field, w, h) || seas.isLocalMarine(*sea) ||
                        upper(*sea).find("FJORD") != std::string::npos) {
                        hover.sea = std::move(sea);
                    }
                }
                if (!hover.country) {
                    hover.sea = seas.at(geography); // open sea
                }
            }
        }
    }

    if (onMapArea && camera.scale >= 2 && picking) {
        hover.bridge = picking->bridgeAt(mouse);
        if (worldMap && !hover.city && !hover.lake && !hover.inlandWater && !hover.nationalWater) {
            if (const auto river = picking->riverAt(mouse, true)) {
                hover.river = world_.riverNames.at(*river).value_or("Unbenannter Fluss");
            }
        }
    }
}

} // namespace korvan
