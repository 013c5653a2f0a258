// The panels around the map: top bar, sidebar with minimap, legend or unit list, selection panel,
// field line, action button, combat log, result box and status line.
#include "client/client.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"
#include "render/primitives.hpp"
#include "render/terrain_display.hpp"
#include "render/terrain_icons.hpp"
#include "render/unit_icons.hpp"

#include <algorithm>
#include <string>

namespace korvan {

namespace {

constexpr SDL_Color buttonColor{44, 64, 65, 255};
constexpr SDL_Color rowColor{30, 46, 49, 255};
constexpr SDL_Color selectedRowColor{53, 68, 65, 255};
constexpr const char* helpLine = "U: EINHEIT   KLICK: AUSWAHL/ZIEL   GRUEN: REICHWEITE   RAD: ZOOM   RECHTS/MITTE: PAN"
                                 "   HOME: WELT   L: GELAENDE   B: BRUECKE   ENTER: ZUG ENDE   N: NEU";
constexpr std::size_t panelNameLength = 18;
constexpr std::size_t logLines = 7;
constexpr std::size_t logLineLength = 36;

std::string cut(const std::string& s, std::size_t length) { return s.size() > length ? s.substr(0, length) : s; }

UnitClass classOf(const Army& army, const Unit& unit) { return army.types().at(std::size_t(unit.type)).kind; }

} // namespace

void Client::renderHud(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    rect(renderer, {0, 0, width, topbar}, barBackground);
    text(renderer, 26, 17, "BRANNOK: VARNHOLT", ink, 3);
    renderSelectedCountry(renderer);
    if (bridgeMode) {
        text(renderer, 27, 53, "BRUECKENBAU  /  B ODER ESC: BEENDEN", muted, 2);
    } else if (battle) {
        text(renderer, 27, 53, battle->status() + "  ENTER: ZUG BEENDEN", muted, 2);
    } else {
        text(renderer, 27, 53, "KARTENBETRACHTER", muted, 2);
    }
    if (map.isWorld()) {
        rect(renderer, {width - 238, 22, 220, 40}, buttonColor);
        text(renderer, width - 224, 36, "TAB: OPERATION", gold, 2);
    }
    rect(renderer, {width - sidebar, topbar, sidebar, height - topbar - footer}, sidebarBackground);
    text(renderer, sx, 103, "WELTUEBERSICHT", gold, 2);
    renderMini(renderer);
    text(renderer, sx, 251, "MINIMAP: KLICK  H: LOG  B: BAU", muted, 1);
    if (legendVisible) {
        renderLegend(renderer);
    } else {
        renderUnitList(renderer);
        renderSelectionPanel(renderer);
    }
    if (!hoveredBridge && onMap(mouse)) {
        if (const auto field = gameAt(camera.toWorld(mouse))) {
            text(renderer, sx, 655, "FELD " + std::to_string(field->q) + " / " + std::to_string(field->r), muted, 1);
            text(renderer, sx, 672, label(gameMap().terrainAt(*field)), muted, 1);
        }
    }
    if (map.isWorld() || hoveredBridge) {
        if (hoveredBridge) {
            renderBridgePanel(renderer);
        } else {
            renderHoverPanel(renderer);
        }
        renderDisputedLine(renderer);
    }
    rect(renderer, {width - 256, height - 78, 242, 36}, buttonColor);
    const char* action = !battle ? "KARTENBETRACHTER" : battle->finished() ? "NEUE PARTIE (N)" : "ZUG BEENDEN (ENTER)";
    text(renderer, sx, height - 65, action, ink, 1);
    if (showLog && battle) {
        renderCombatLog(renderer);
    }
    if (battle && battle->finished()) {
        const int middle = (width - sidebar) / 2;
        rect(renderer, {middle - 220, 100, 440, 68}, barBackground);
        text(renderer, middle - 170, 112, battle->status(), gold, 2);
        text(renderer, middle - 170, 140, "N: NEUE PARTIE   H: PROTOKOLL", ink, 1);
    }
    renderStatusLine(renderer);
}

void Client::renderLegend(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    text(renderer, sx, 262, "GELAENDE  -  L", gold, 2);
    TerrainIcons icons(terrainArt.get());
    for (int t = 0; t < terrainCount; ++t) {
        const auto terrain = static_cast<Terrain>(t);
        // The city row shows the city marker, which the city graphics draw.
        if (terrain != Terrain::City && icons.texture) {
            icons.add(terrain, {double(width - 232), 297.0 + 31 * t}, 34, 0);
        }
        if (terrain == Terrain::City) {
            cityGraphics.draw(renderer, {double(width - 232), 297.0 + 31 * t}, 34, CityGraphics::generalStyle);
        }
        text(renderer, width - 204, 293 + 31 * t, label(terrain), ink, 1);
    }
    icons.draw(renderer);
    text(renderer, sx, 631, "BLAU: FLUESSE / UFER", muted, 1);
    text(renderer, sx, 646, "L: LEGENDE SCHLIESSEN", muted, 1);
}

void Client::renderUnitList(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    text(renderer, sx, 262, "EINHEITEN  -  U", gold, 2);
    const auto& units = army.units();
    const std::size_t first = unitListFirst();
    const std::size_t rows = unitListSize();
    for (std::size_t k = first; k < units.size() && k < first + rows; ++k) {
        const Unit& unit = units[k];
        const int i = static_cast<int>(k - first);
        const int y = unitListTop + unitRowHeight * i;
        const bool chosen = selectedUnit == unit.id;
        rect(renderer, {width - 256, y, 242, 28}, chosen ? selectedRowColor : rowColor);
        listUnitIcons.draw(renderer, classOf(army, unit), unit.side, width - 243, 299 + 31 * i, 24, chosen);
        text(renderer, width - 225, 292 + 31 * i, unit.name, ink, 1);
        const char* state = unit.attacked ? "  ANGRIFF" : unit.moved ? "  BEWEGT" : "  BEREIT";
        text(renderer, width - 225, 302 + 31 * i,
             "STAERKE " + std::to_string(unit.strength) + "  MUN " + std::to_string(unit.ammo) + state,
             unit.moved ? muted : sideColor(unit.side), 1);
    }
    if (battle) {
        int y = objectivesTop(rows);
        for (const Objective& objective : battle->objectives()) {
            text(renderer, sx, y, objective.name + ": " + (objective.owner == 0 ? "BLAU" : "ROT"), gold, 1);
            y += objectiveLineHeight;
        }
    }
}

void Client::renderSelectionPanel(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    const Unit* unit = selectedUnit ? army.find(*selectedUnit) : nullptr;
    if (unit == nullptr) {
        text(renderer, sx, 500, "EINHEIT WAEHLEN", gold, 2);
        text(renderer, sx, 528, "LISTE ODER TASTE U", ink, 1);
        text(renderer, sx, 549, "PANZER - INFANTERIE", muted, 1);
        text(renderer, sx, 566, "AUFKLAERUNG", muted, 1);
        if (const auto shown = hoveredCity ? hoveredCity : selectedCity; shown && *shown < cities.size()) {
            const City& city = cities[*shown];
            text(renderer, sx, 590, cut(city.name, panelNameLength), ink, 2);
            text(renderer, sx, 610,
                 "GROESSE " + std::to_string(city.sizeClass) + "  EW " + std::to_string(city.population), muted, 1);
            text(renderer, sx, 624,
                 "INDUSTRIE " + std::to_string(city.industry) + "  INFRA " + std::to_string(city.infrastructure) +
                     "  FEST " + std::to_string(city.fortification),
                 muted, 1);
        } else if (selected) {
            text(renderer, sx, 605, "Q " + std::to_string(selected->q) + " R " + std::to_string(selected->r), ink, 1);
        }
        return;
    }
    const UnitType& type = army.types().at(std::size_t(unit->type));
    text(renderer, sx, 500, "AUSWAHL", gold, 2);
    text(renderer, sx, 527, cut(unit->name, panelNameLength), ink, 2);
    text(renderer, sx, 555, "BEWEGUNG " + std::to_string(unit->remaining) + "/" + std::to_string(type.movement), ink, 2);
    text(renderer, sx, 583,
         "STAERKE " + std::to_string(unit->strength) + "/10  MUNITION " + std::to_string(unit->ammo), muted, 1);
    std::string state = unit->side == 1      ? "GEGNERISCHE EINHEIT"
                        : unit->attacked     ? "ANGRIFF VERBRAUCHT"
                        : unit->moved        ? "BEWEGT - ANGRIFF MOEGLICH"
                                             : "GRUENE FELDER ERREICHBAR";
    if (battle) {
        const auto target = unitAt(mouse);
        const Unit* enemy = target ? army.find(*target) : nullptr;
        if (enemy && enemy->side != unit->side) {
            const AttackPreview preview = battle->preview(gameMap(), army, unit->id, enemy->id);
            state = preview.legal ? "ZIEL -" + std::to_string(preview.defenderMin) + ".." +
                                        std::to_string(preview.defenderMax) + " / EIGEN -" +
                                        std::to_string(preview.attackerMin) + ".." + std::to_string(preview.attackerMax)
                                  : preview.message;
        }
    }
    text(renderer, sx, 605, state, muted, 1);
    text(renderer, sx, 622, "KLICK: ZIEHEN / FEIND ANGREIFEN", muted, 1);
    text(renderer, sx, 639, "ESC: EINHEIT ABWAEHLEN", muted, 1);
}

void Client::renderCombatLog(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    rect(renderer, {width - 262, 278, 254, 365}, barBackground);
    text(renderer, sx, 290, "KAMPFPROTOKOLL - H", gold, 1);
    const auto& log = battle->log();
    int y = 313;
    for (std::size_t k = log.size() > logLines ? log.size() - logLines : 0; k < log.size(); ++k) {
        for (std::size_t at = 0; at < log[k].size(); at += logLineLength) {
            text(renderer, sx, y, log[k].substr(at, logLineLength), ink, 1);
            y += 11;
        }
        y += 6;
    }
}

void Client::renderStatusLine(SDL_Renderer* renderer) const {
    rect(renderer, {0, height - footer, width, footer}, barBackground);
    const SDL_Rect clip{0, height - footer, width - sidebar, footer};
    SDL_RenderSetClipRect(renderer, &clip);
    std::string status = helpLine;
    if (!movementMessage.empty()) {
        status = movementMessage;
    } else if (bridgeMode) {
        status = "BRUECKE BAUEN: FLUSS ANKLICKEN  |  B / ESC: BEENDEN";
    } else if (hoveredCity && *hoveredCity < cities.size()) {
        const City& city = cities[*hoveredCity];
        status = "STADT: " + city.name + (city.capital ? " - HAUPTSTADT" : "");
    }
    text(renderer, 16, height - 22, status, muted, 1);
    SDL_RenderSetClipRect(renderer, nullptr);
}

} // namespace korvan
