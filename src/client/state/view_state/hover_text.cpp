// The texts the panels take from what lies under the pointer.
#include "view_state/hover_text.hpp"

#include "view_state/screen_layout.hpp"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace korvan {

namespace {

constexpr std::size_t hoverLineLength = 29;
constexpr std::size_t bridgeLineCount = 3;
constexpr std::size_t countryLabelLength = 26;
// An urban area is searched this far for its cities; a larger one is named from what was found.
constexpr std::size_t urbanSearchLimit = 4096;

// The most populous city on the connected city fields around `start`.
const City* biggestCityAround(const World& world, Hex start) {
    const Map& map = world.gameMap();
    const auto key = [&](Hex h) { return h.r * map.width() + map.column(h); };
    std::unordered_set<int> seen{key(start)};
    std::vector<Hex> open{start};
    const City* biggest = nullptr;
    while (!open.empty() && seen.size() < urbanSearchLimit) {
        const Hex h = open.back();
        open.pop_back();
        if (const auto found = world.cityFields.find(key(h));
            found != world.cityFields.end() && found->second < world.cities.size()) {
            const City& city = world.cities[found->second];
            if (biggest == nullptr || city.population > biggest->population) {
                biggest = &city;
            }
        }
        for (const Hex step : neighbourSteps) {
            const auto next = map.canonical({h.q + step.q, h.r + step.r});
            if (next && map.terrainAt(*next) == Terrain::City && seen.insert(key(*next)).second) {
                open.push_back(*next);
            }
        }
    }
    return biggest;
}

} // namespace

std::vector<std::string> wrapPanelText(const std::string& text, std::size_t length, bool dropAllBlanks,
                                       std::size_t maxLines) {
    std::vector<std::string> lines;
    const std::string_view all = text;
    std::size_t at = 0;
    while (at < all.size() && maxLines > 0) {
        const std::string_view rest = all.substr(at);
        if (lines.size() == maxLines) {
            // More text than lines: the last line shows that something is left out.
            lines.back() = lines.back().substr(0, length > 3 ? length - 3 : 0) + "...";
            break;
        }
        if (rest.size() <= length) {
            lines.emplace_back(rest);
            break;
        }
        // The last blank at or before the limit ends the line; one at the very start does not count.
        std::size_t cutAt = rest.rfind(' ', length);
        if (cutAt == std::string_view::npos || cutAt == 0) {
            cutAt = length;
        }
        lines.emplace_back(rest.substr(0, cutAt));
        at += cutAt;
        const std::size_t blanks = dropAllBlanks ? std::min(all.find_first_not_of(' ', at), all.size()) - at
                                                 : std::size_t(at < all.size() && all[at] == ' ');
        at += blanks;
    }
    return lines;
}

std::string countrySelectionLabel(const World& world, const ViewState& view) {
    const auto index = view.activeCountry();
    if (!index || *index >= world.countries.entries.size()) {
        return {};
    }
    const Country& country = world.countries.entries[*index];
    return (country.status != "country" ? "GEBIET: " : "LAND: ") + country.name.substr(0, countryLabelLength);
}

std::string waterHoverHeading(const World& world, const Hover& hover) {
    if (hover.lake) {
        return world.lakes.isRiverArm(*hover.lake) ? "FLUSSARM UNTER MAUS" : "SEE UNTER MAUS";
    }
    if (hover.inlandWater) {
        return "BINNENGEWAESSER";
    }
    if (hover.sea) {
        return upper(*hover.sea).find("FJORD") != std::string::npos ? "FJORD UNTER MAUS" : "MEER UNTER MAUS";
    }
    if (hover.nationalWater) {
        return "GEWAESSER UNTER MAUS";
    }
    return {};
}

std::vector<std::string> bridgeHoverLines(const World& world, const Hover& hover) {
    if (!hover.bridge) {
        return {};
    }
    const auto& names = world.bridgeNames.at(*hover.bridge);
    const auto river = world.riverNames.at(*hover.bridge);
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
    std::vector<std::string> lines = wrapPanelText(text, hoverLineLength, true, bridgeLineCount);
    if (!names.empty() && river) {
        lines.push_back("Fluss: " + *river);
    }
    return lines;
}

std::string urbanAreaName(const World& world, Hex field) {
    const City* city = biggestCityAround(world, field);
    return city != nullptr ? city->name : "Stadtgebiet - Ortsname fehlt";
}

std::string waterFieldName(const World& world, const Hover& hover) {
    std::string heading = waterHoverHeading(world, hover);
    const std::string suffix = " UNTER MAUS";
    if (heading.size() > suffix.size() && heading.ends_with(suffix)) {
        heading.resize(heading.size() - suffix.size());
    }
    return heading;
}

HoverPanelText hoverPanelText(const World& world, const ViewState& view) {
    const Hover& hover = view.hover;
    HoverPanelText panel;
    const auto field = view.onMap(view.mouse) ? world.gameAt(view.camera.toWorld(view.mouse)) : std::nullopt;
    const bool urban = field && world.gameMap().terrainAt(*field) == Terrain::City;
    const City* city = hover.city && *hover.city < world.cities.size() ? &world.cities[*hover.city] : nullptr;
    if (hover.country && *hover.country < world.countries.entries.size()) {
        panel.country = hover.country;
    }
    const std::string water = waterHoverHeading(world, hover);
    panel.heading = city                 ? "STADT UNTER MAUS"
                    : hover.river       ? "FLUSS UNTER MAUS"
                    : !water.empty()     ? water
                    : urban              ? "STADTGEBIET"
                                         : "LAND UNTER MAUS";
    std::string name = city                   ? city->name
                       : hover.river         ? *hover.river
                       : hover.lake          ? *hover.lake
                       : hover.inlandWater   ? "Name nicht erfasst"
                       : hover.sea           ? *hover.sea
                       : hover.nationalWater ? "Name nicht erfasst"
                       : urban                ? urbanAreaName(world, *field)
                       : panel.country        ? world.countries.entries[*panel.country].name
                                              : "-";
    panel.countryOnly = panel.country && !city && !hover.river && !hover.lake && !hover.sea &&
                        !hover.inlandWater && !hover.nationalWater && !urban;
    // The name ends above the country line that follows it, else above the action button.
    const int nameBottom = panel.country && !panel.countryOnly ? hoverCountryTop
                                                               : actionButton(view.width, view.height).y;
    const int nameLines = (nameBottom - hoverNameTop - panelTextHeight) / panelLineHeight + 1;
    panel.name = wrapPanelText(name, hoverLineLength, false, static_cast<std::size_t>(std::max(nameLines, 1)));
    return panel;
}

} // namespace korvan
