// What lies under the pointer, the texts the information panel takes from it, and the country and
// city searches.
#include "client/client.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace korvan {

namespace {

constexpr std::size_t hoverLineLength = 29;
constexpr std::size_t bridgeLineCount = 3;
constexpr std::size_t countryLabelLength = 26;

} // namespace

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

std::vector<std::string> wrapPanelText(const std::string& text, std::size_t length, bool dropAllBlanks) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty()) {
        if (rest.size() <= length) {
            lines.push_back(rest);
            break;
        }
        // The last blank at or before the limit ends the line; one at the very start does not count.
        std::size_t cutAt = rest.rfind(' ', length);
        if (cutAt == std::string::npos || cutAt == 0) {
            cutAt = length;
        }
        lines.push_back(rest.substr(0, cutAt));
        rest.erase(0, cutAt);
        const std::size_t blanks = dropAllBlanks ? std::min(rest.find_first_not_of(' '), rest.size())
                                                 : std::size_t(!rest.empty() && rest.front() == ' ');
        rest.erase(0, blanks);
    }
    return lines;
}

std::optional<std::size_t> Client::cityAt(Point screen) const {
    // The pointer hits what was drawn: labels made room for the city hovered then.
    const std::vector<CityPlacement>& placements = currentCityPlacements(true);
    const int px = static_cast<int>(screen.x);
    const int py = static_cast<int>(screen.y);
    for (const CityPlacement& p : placements) {
        if (p.label && p.label->contains(px, py)) {
            return p.index;
        }
    }
    const auto squaredDistance = [&](const CityPlacement& p) {
        return (screen.x - p.x) * (screen.x - p.x) + (screen.y - p.y) * (screen.y - p.y);
    };
    for (const CityPlacement& p : placements) {
        if (squaredDistance(p) <= 25) {
            return p.index;
        }
    }
    // Cities drawn on the play grid are also found by the field they stand on.
    if (map.isWorld() && citiesVisible && onMap(screen)) {
        if (const auto field = gameAt(camera.toWorld(screen))) {
            const Map& game = gameMap();
            if (const auto found = cityFields.find(field->r * game.width() + game.column(*field));
                found != cityFields.end()) {
                return found->second;
            }
        }
    }
    // Else the nearest marker whose square covers the point.
    const CityPlacement* nearest = nullptr;
    for (const CityPlacement& p : placements) {
        const double reach = p.symbolSize > 17 ? p.symbolSize / 2 : 8;
        if (std::abs(screen.x - p.x) <= reach && std::abs(screen.y - p.y) <= reach &&
            (!nearest || squaredDistance(p) < squaredDistance(*nearest))) {
            nearest = &p;
        }
    }
    return nearest ? std::optional<std::size_t>(nearest->index) : std::nullopt;
}

Point Client::geographyAt(Point world) const {
    return {world.x / sqrt3 * 360.0 / map.width() - 180.0, 90.0 - (world.y / 1.5 + 0.5) * 180.0 / map.height()};
}

Point reducedLongitude(Point geography) {
    geography.x -= 360.0 * std::floor((geography.x + 180.0) / 360.0);
    return geography;
}

// Per city, the key of the world-map hex its geographic point falls on, sorted by key and then by
// city order, so the cities of one hex are found in list order.
void Client::indexCityHexes() {
    cityHexes.clear();
    cityHexes.reserve(cities.size());
    for (std::size_t k = 0; k < cities.size(); ++k) {
        cityHexes.emplace_back(map.isWorld() ? hexKey(map.hexAtGeography(cities[k].geography)) : -1, k);
    }
    std::sort(cityHexes.begin(), cityHexes.end());
}

int Client::hexKey(Hex h) const { return h.r * map.width() + map.column(h); }

std::optional<std::size_t> Client::countryForField(Hex h) const {
    if (!map.isWorld() || countries.entries.empty()) {
        return std::nullopt;
    }
    return countryGrid.owner(map, h);
}

void Client::updateHover() {
    const bool onMapArea = onMap(mouse);
    const Point world = camera.toWorld(mouse);
    hovered.reset();
    if (onMapArea) {
        hovered = map.canonical(worldToHex(world));
    }
    hoveredCountry.reset();
    hoveredSea.reset();
    hoveredLake.reset();
    hoveredRiver.reset();
    hoveredBridge.reset();
    hoveredInlandWater = false;
    hoveredNationalWater = false;

    const bool worldMap = map.isWorld();
    const Point geography = geographyAt(world);
    if (worldMap && onMapArea) {
        if (hovered) {
            hoveredCountry = countryForField(*hovered);
        }
        if (!hoveredCountry) {
            hoveredCountry = countries.at(reducedLongitude(geography));
        }
        if (!hoveredCountry && hovered) {
            // A coastal field may miss every polygon while a city point on it is inside one.
            if (cityHexes.size() != cities.size()) {
                indexCityHexes();
            }
            const int key = hexKey(*hovered);
            auto at = std::lower_bound(cityHexes.begin(), cityHexes.end(), std::pair<int, std::size_t>{key, 0});
            for (; at != cityHexes.end() && at->first == key && !hoveredCountry; ++at) {
                hoveredCountry = countries.at(cities[at->second].geography);
            }
        }
    }

    hoveredCity = onMapArea ? cityAt(mouse) : std::nullopt;
    if (hoveredCity) {
        const City& city = cities[*hoveredCity];
        if (!hovered || map.terrainAt(*hovered) != Terrain::City) {
            const auto& anchor = *hoveredCity < cityAnchors.size() ? cityAnchors[*hoveredCity] : std::nullopt;
            hovered = anchor ? *anchor : map.hexAtGeography(city.geography);
        }
        hoveredCountry = countries.at(city.geography);
    }

    if (worldMap && hovered) {
        const int w = map.width();
        const int h = map.height();
        if (!hoveredCity) {
            hoveredLake = lakes.at(geography);
        }
        if (map.terrainAt(*hovered) == Terrain::Water) {
            const bool inland = lakes.containsHex(*hovered, w, h) || waterTerritories.isInteriorAtHex(*hovered, w, h);
            hoveredInlandWater = inland;
            hoveredNationalWater = hoveredCountry.has_value();
            if (!hoveredLake) {
                hoveredLake = lakes.atHex(*hovered, w, h);
            }
            if (!inland && !hoveredLake) {
                if (auto sea = seas.at(geography)) {
                    if (waterTerritories.isMarineAtHex(*hovered, w, h) || seas.isLocalMarine(*sea) ||
                        upper(*sea).find("FJORD") != std::string::npos) {
                        hoveredSea = std::move(sea);
                    }
                }
                if (!hoveredCountry) {
                    hoveredSea = seas.at(geography); // open sea
                }
            }
        }
    }

    if (onMapArea && camera.scale >= 2) {
        const RiverGraphics& rivers = riverGraphics();
        if (const auto bridge = rivers.hitBridge(mouse, physicalScale())) {
            hoveredBridge = bridge->source;
        }
        if (worldMap && !hoveredCity && !hoveredLake && !hoveredInlandWater && !hoveredNationalWater) {
            if (const auto river = rivers.hit(mouse, true)) {
                hoveredRiver = riverNames.at(river->source).value_or("Unbenannter Fluss");
            }
        }
    }
}

std::string Client::countrySelectionLabel() const {
    const auto index = selectedCountry ? selectedCountry : hoveredCountry;
    if (!index || *index >= countries.entries.size()) {
        return {};
    }
    const Country& country = countries.entries[*index];
    return (country.status != "country" ? "GEBIET: " : "LAND: ") + country.name.substr(0, countryLabelLength);
}

std::string Client::waterHoverHeading() const {
    if (hoveredLake) {
        return lakes.isRiverArm(*hoveredLake) ? "FLUSSARM UNTER MAUS" : "SEE UNTER MAUS";
    }
    if (hoveredInlandWater) {
        return "BINNENGEWAESSER";
    }
    if (hoveredSea) {
        return upper(*hoveredSea).find("FJORD") != std::string::npos ? "FJORD UNTER MAUS" : "MEER UNTER MAUS";
    }
    if (hoveredNationalWater) {
        return "GEWAESSER UNTER MAUS";
    }
    return {};
}

std::vector<std::string> Client::bridgeHoverLines() const {
    if (!hoveredBridge) {
        return {};
    }
    const auto& names = bridgeNames.at(*hoveredBridge);
    const auto river = riverNames.at(*hoveredBridge);
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : " / ") + name;
    }
    if (names.empty()) {
        text = "Unbenannte Bruecke";
        if (river) {
            text += (*river == "Donau" ? " ueber die " : *river == "Rhein" ? " ueber den " : " ueber ") + *river;
        }
    }
    std::vector<std::string> lines = wrapPanelText(text, hoverLineLength, true);
    if (lines.size() > bridgeLineCount) {
        lines.resize(bridgeLineCount);
        lines.back() = lines.back().substr(0, hoverLineLength - 3) + "...";
    }
    if (!names.empty() && river) {
        lines.push_back("Fluss: " + *river);
    }
    return lines;
}

void Client::focusCountry(const std::string& code) {
    const std::string key = upper(code);
    const auto found = std::find_if(countries.entries.begin(), countries.entries.end(),
                                    [&](const Country& c) { return upper(c.id) == key; });
    if (found == countries.entries.end() || !map.isWorld() || countryGrid.empty()) {
        throw std::runtime_error("Land nicht gefunden: " + key);
    }
    const auto index = static_cast<std::size_t>(found - countries.entries.begin());
    selectedCountry = index;
    const auto& lines = linesOf(index);
    if (lines.empty()) {
        throw std::runtime_error("Land ohne Gebiet: " + key);
    }
    // Outlines can straddle the seam: bring every point into the copy nearest the longest line.
    const auto longest = std::max_element(lines.begin(), lines.end(),
                                          [](const auto& a, const auto& b) { return a.size() < b.size(); });
    const double reference = longest->front().x;
    const double period = map.width() * sqrt3;
    Point low{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    Point high{-low.x, -low.y};
    for (const auto& line : lines) {
        for (const Point p : line) {
            const double x = p.x - std::round((p.x - reference) / period) * period;
            low = {std::min(low.x, x), std::min(low.y, p.y)};
            high = {std::max(high.x, x), std::max(high.y, p.y)};
        }
    }
    double scale = 85;
    while (scale > 0.01 && ((high.x - low.x) * scale * camera.horizontalScale > width - 334 ||
                            (high.y - low.y) * scale * verticalScaleForZoom(scale) > height - 180)) {
        scale *= 0.9;
    }
    centerOn({(low.x + high.x) / 2, (low.y + high.y) / 2}, std::max(scale, 0.01));
    updateHover();
}

void Client::focusCity(const std::string& name) {
    const std::string key = upper(name);
    const auto found =
        std::find_if(cities.begin(), cities.end(), [&](const City& c) { return upper(c.name) == key; });
    if (found == cities.end() || !map.isWorld()) {
        throw std::runtime_error("Stadt nicht gefunden: " + key);
    }
    const auto index = static_cast<std::size_t>(found - cities.begin());
    citiesVisible = true;
    focusGeography(found->geography, 1.5);
    const Point position = cityWorld(index);
    panTo(position);
    selectedCity = index;
    selected = gameAt(position);
}

// Anchored cities sit on their play-grid field, cities on water on their shore point, the rest at
// their geographic position.
Point Client::cityWorld(std::size_t city) const {
    if (city < cityAnchors.size() && cityAnchors[city]) {
        return city < cityCenters.size() ? cityCenters[city] : hexCenter(*cityAnchors[city]);
    }
    if (city < cityShore.size() && cityShore[city]) {
        return *cityShore[city];
    }
    const Point geography = cities.at(city).geography;
    return {map.width() * (180 + geography.x) * sqrt3 / 360, (map.height() * (90 - geography.y) / 180 - 0.5) * 1.5};
}

} // namespace korvan
