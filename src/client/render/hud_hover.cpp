// The parts of the panels that name what lies under the pointer: the selected country in the top
// bar, the hover and bridge panels at the foot of the sidebar and the disputed-area line.
#include "client/client.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"

#include <cmath>

namespace korvan {

namespace {

constexpr std::size_t hoverNameLength = 29;
constexpr std::size_t disputedNameLength = 45;

bool disputed(const Country& country) { return country.status == "disputed"; }

} // namespace

HoverPanelText Client::hoverPanelText() const {
    HoverPanelText panel;
    const bool urban = onMap(mouse) && [&] {
        const auto field = gameAt(camera.toWorld(mouse));
        return field && gameMap().terrainAt(*field) == Terrain::City;
    }();
    const City* city = hoveredCity && *hoveredCity < cities.size() ? &cities[*hoveredCity] : nullptr;
    if (hoveredCountry && *hoveredCountry < countries.entries.size()) {
        panel.country = hoveredCountry;
    }
    const std::string water = waterHoverHeading();
    panel.heading = city                 ? "STADT UNTER MAUS"
                    : hoveredRiver       ? "FLUSS UNTER MAUS"
                    : !water.empty()     ? water
                    : urban              ? "STADTGEBIET"
                                         : "LAND UNTER MAUS";
    std::string name = city                   ? city->name
                       : hoveredRiver         ? *hoveredRiver
                       : hoveredLake          ? *hoveredLake
                       : hoveredInlandWater   ? "Name nicht erfasst"
                       : hoveredSea           ? *hoveredSea
                       : hoveredNationalWater ? "Name nicht erfasst"
                       : urban                ? "Stadtgebiet - Ortsname fehlt"
                       : panel.country        ? countries.entries[*panel.country].name
                                              : "-";
    panel.countryOnly = panel.country && !city && !hoveredRiver && !hoveredLake && !hoveredSea &&
                        !hoveredInlandWater && !hoveredNationalWater && !urban;
    panel.name = wrapPanelText(name, hoverNameLength, false);
    return panel;
}

void Client::drawFlag(SDL_Renderer* renderer, const std::string& countryId, int x, int y) const {
    flags.draw(renderer, countryId, x, y);
}

void Client::renderSelectedCountry(SDL_Renderer* renderer) const {
    if (!selectedCountry || *selectedCountry >= countries.entries.size()) {
        return;
    }
    const Country& country = countries.entries[*selectedCountry];
    if (!disputed(country)) {
        drawFlag(renderer, country.id, 520, 24);
    }
    text(renderer, 562, 34, countrySelectionLabel(), gold, 1);
    if (disputed(country)) {
        text(renderer, 562, 49, "STATUS UMSTRITTEN", gold, 1);
    } else if (country.status == "dependent") {
        text(renderer, 562, 49, "ABHAENGIGES GEBIET", muted, 1);
    }
}

void Client::renderHoverPanel(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    const HoverPanelText panel = hoverPanelText();
    text(renderer, sx, 690, panel.heading, gold, 1);
    const Country* country = panel.country ? &countries.entries[*panel.country] : nullptr;
    int nameX = sx;
    if (panel.countryOnly) {
        // The name leaves room for the flag, also when a disputed area has none.
        if (!disputed(*country)) {
            drawFlag(renderer, country->id, sx, 702);
        }
        nameX = width - 206;
    }
    for (std::size_t n = 0; n < panel.name.size(); ++n) {
        text(renderer, nameX, 704 + 12 * static_cast<int>(n), panel.name[n], ink, 1);
    }
    if (country && !panel.countryOnly) {
        if (!disputed(*country)) {
            drawFlag(renderer, country->id, sx, 734);
        }
        text(renderer, width - 206, 742, country->name.substr(0, hoverNameLength), muted, 1);
    }
}

void Client::renderBridgePanel(SDL_Renderer* renderer) const {
    const std::vector<std::string> lines = bridgeHoverLines();
    if (lines.empty()) {
        return;
    }
    const int sx = width - 248;
    const SDL_Rect clip{width - 262, 650, 254, 72};
    SDL_RenderSetClipRect(renderer, &clip);
    text(renderer, sx, 655, "BRUECKE UNTER MAUS", gold, 1);
    // The closing river line of a named bridge is secondary.
    const bool riverLine = !bridgeNames.at(*hoveredBridge).empty() && riverNames.at(*hoveredBridge);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        text(renderer, sx, 669 + 12 * static_cast<int>(i), lines[i], last && riverLine ? muted : ink, 1);
    }
    SDL_RenderSetClipRect(renderer, nullptr);
}

void Client::renderDisputedLine(SDL_Renderer* renderer) const {
    if (!onMap(mouse)) {
        return;
    }
    const auto area = countries.disputedAt(reducedLongitude(geographyAt(camera.toWorld(mouse))));
    if (!area || *area >= countries.disputedAreas.size()) {
        return;
    }
    const Country& found = countries.disputedAreas[*area];
    const char* prefix = found.status == "special" ? "SONDERSTATUS: "
                         : found.status == "claim" ? "ABWEICHENDER ANSPRUCH: "
                                                   : "STATUS UMSTRITTEN: ";
    text(renderer, 520, 70, prefix + found.name.substr(0, disputedNameLength), gold, 1);
}

} // namespace korvan
