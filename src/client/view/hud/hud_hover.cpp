// The parts of the panels that name what lies under the pointer: the selected country in the top
// bar, the hover and bridge panels at the foot of the sidebar and the disputed-area line.
#include "hud/hud.hpp"

#include "view_state/hover_text.hpp"
#include "view_state/unit_details.hpp"
#include "kit/font.hpp"
#include "kit/palette.hpp"

#include <cmath>

namespace korvan {

namespace {

constexpr std::size_t hoverNameLength = 29;
constexpr std::size_t disputedNameLength = 45;

bool disputed(const Country& country) { return country.status == "disputed"; }

} // namespace

void Hud::drawSelectedCountry(const Frame& frame) {
    const Images& images = frame.images;
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    if (!view.selectedCountry || *view.selectedCountry >= world.countries.entries.size()) {
        return;
    }
    const Country& country = world.countries.entries[*view.selectedCountry];
    if (!disputed(country)) {
        images.flags.draw(renderer, country.id, 520, 24);
    }
    text(renderer, 562, 34, countrySelectionLabel(world, view), gold, 1);
    if (disputed(country)) {
        text(renderer, 562, 49, "STATUS UMSTRITTEN", gold, 1);
    } else if (country.status == "dependent") {
        text(renderer, 562, 49, "ABHAENGIGES GEBIET", muted, 1);
    }
}

void Hud::drawHoverPanel(const Frame& frame) {
    const Images& images = frame.images;
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const int sx = view.width - sidebarTextLeft;
    const HoverPanelText panel = hoverPanelText(world, view);
    text(renderer, sx, 690, panel.heading, gold, 1);
    const Country* country = panel.country ? &world.countries.entries[*panel.country] : nullptr;
    int nameX = sx;
    if (panel.countryOnly) {
        // The name leaves room for the flag, also when a disputed area has none.
        if (!disputed(*country)) {
            images.flags.draw(renderer, country->id, sx, 702);
        }
        nameX = view.width - 206;
    }
    for (std::size_t n = 0; n < panel.name.size(); ++n) {
        text(renderer, nameX, hoverNameTop + panelLineHeight * static_cast<int>(n), panel.name[n], ink, 1);
    }
    if (country && !panel.countryOnly) {
        if (!disputed(*country)) {
            images.flags.draw(renderer, country->id, sx, hoverCountryTop);
        }
        text(renderer, view.width - 206, 742, country->name.substr(0, hoverNameLength), muted, 1);
    }
}

void Hud::drawUnitHoverPanel(const Frame& frame, const Unit& unit) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const int sx = view.width - sidebarTextLeft;
    const std::vector<std::string> lines = unitDetailLines(frame.game.army, unit);
    text(renderer, sx, 690, "EINHEIT UNTER MAUS", gold, 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text(renderer, sx, 704 + 12 * static_cast<int>(i), lines[i].substr(0, hoverNameLength + 8),
             i == 0 ? ink : sideColor(unit.side), 1);
    }
}

void Hud::drawBridgePanel(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const std::vector<std::string> lines = bridgeHoverLines(world, view.hover);
    if (lines.empty()) {
        return;
    }
    const int sx = view.width - sidebarTextLeft;
    const SDL_Rect clip{view.width - 262, 650, 254, 72};
    SDL_RenderSetClipRect(renderer, &clip);
    text(renderer, sx, 655, "BRUECKE UNTER MAUS", gold, 1);
    // The closing river line of a named bridge is secondary.
    const bool riverLine = !world.bridgeNames.at(*view.hover.bridge).empty() && world.riverNames.at(*view.hover.bridge);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        text(renderer, sx, 669 + 12 * static_cast<int>(i), lines[i], last && riverLine ? muted : ink, 1);
    }
    SDL_RenderSetClipRect(renderer, nullptr);
}

void Hud::drawDisputedLine(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    if (!view.onMap(view.mouse)) {
        return;
    }
    const auto area = world.countries.disputedAt(reducedLongitude(world.geographyAt(view.camera.toWorld(view.mouse))));
    if (!area || *area >= world.countries.disputedAreas.size()) {
        return;
    }
    const Country& found = world.countries.disputedAreas[*area];
    const char* prefix = found.status == "special" ? "SONDERSTATUS: "
                         : found.status == "claim" ? "ABWEICHENDER ANSPRUCH: "
                                                   : "STATUS UMSTRITTEN: ";
    text(renderer, 520, 70, prefix + found.name.substr(0, disputedNameLength), gold, 1);
}

} // namespace korvan
