// The panels around the map: top bar, sidebar with minimap, legend or unit list, selection panel,
// field line, action button, combat log, result box and status line.
#include "hud/hud.hpp"

#include "view_state/battle_text.hpp"
#include "view_state/hover_text.hpp"
#include "view_state/sidebar_lists.hpp"
#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "terrain/terrain_display.hpp"
#include "terrain/terrain_icons.hpp"
#include "units/unit_icons.hpp"

#include <algorithm>
#include <string>

namespace korvan {

namespace {

constexpr SDL_Color buttonColor{44, 64, 65, 255};
constexpr SDL_Color rowColor{30, 46, 49, 255};
constexpr SDL_Color selectedRowColor{53, 68, 65, 255};
constexpr const char* helpLine = "F1: HILFE   U: EINHEIT   KLICK: AUSWAHL/ZIEL   RAD: ZOOM   RECHTS/MITTE: PAN"
                                 "   RUECKTASTE: ZURUECK   F5/F9: SPEICHERN/LADEN   ENTER: ZUG ENDE";
constexpr std::size_t panelNameLength = 18;
constexpr std::size_t rowNameLength = 18;
constexpr int listIconSize = 14;
constexpr int legendIconSize = 28; // rows lie 31 pixels apart: three pixels of air between icons

std::string cut(const std::string& s, std::size_t length) { return s.size() > length ? s.substr(0, length) : s; }

UnitClass classOf(const Army& army, const Unit& unit) { return army.types().at(std::size_t(unit.type)).kind; }

} // namespace

void Hud::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    const int sx = view.width - sidebarTextLeft;
    backdrop_.fill(renderer, frame.software, {0, 0, view.width, topbarHeight}, barBackground);
    text(renderer, 26, 17, "BRANNOK: VARNHOLT", ink, 3);
    drawSelectedCountry(frame);
    if (game.bridgeMode) {
        text(renderer, 27, 53, "BRUECKENBAU  /  B ODER ESC: BEENDEN", muted, 2);
    } else if (game.battle) {
        const std::string operation = game.operation ? upper(game.operation->name) + "   " : std::string();
        text(renderer, 27, 53, operation + game.battle->status() + "  ENTER: ZUG BEENDEN", muted, 2);
        text(renderer, 27, 70, goalText(*game.battle), gold, 1);
    } else {
        text(renderer, 27, 53, "KARTENBETRACHTER", muted, 2);
    }
    if (world.map.isWorld()) {
        const ScreenRect button = operationButton(view.width);
        rect(renderer, toSdl(button), buttonColor);
        text(renderer, button.x + 14, button.y + 14, "TAB: OPERATION", gold, 2);
    }
    backdrop_.fill(renderer, frame.software,
                   {view.width - sidebarWidth, topbarHeight, sidebarWidth, view.height - topbarHeight - footerHeight},
                   sidebarBackground);
    text(renderer, sx, 103, "WELTUEBERSICHT", gold, 2);
    minimap_.draw(frame);
    text(renderer, sx, 250, "MINIMAP: KLICK  H: LOG  B: BAU", muted, 1);
    if (view.legendVisible) {
        drawLegend(frame);
    } else {
        drawUnitList(frame);
        drawSelectionPanel(frame);
    }
    if (!view.hover.bridge && view.onMap(view.mouse)) {
        if (const auto field = world.gameAt(view.camera.toWorld(view.mouse))) {
            text(renderer, sx, 655, "FELD " + std::to_string(field->q) + " / " + std::to_string(field->r), muted, 1);
            const std::string water = world.map.isWorld() ? waterFieldName(world, view.hover) : std::string();
            text(renderer, sx, 672, water.empty() ? label(world.gameMap().terrainAt(*field)) : water, muted, 1);
        }
    }
    const auto hoveredUnit = view.onMap(view.mouse) ? view.unitAt(game.army, view.mouse) : std::nullopt;
    if (hoveredUnit && game.army.find(*hoveredUnit) != nullptr) {
        drawUnitHoverPanel(frame, *game.army.find(*hoveredUnit));
    } else if (world.map.isWorld() || view.hover.bridge) {
        if (view.hover.bridge) {
            drawBridgePanel(frame);
        } else {
            drawHoverPanel(frame);
        }
        drawDisputedLine(frame);
    }
    const ScreenRect actionArea = actionButton(view.width, view.height);
    rect(renderer, toSdl(actionArea), buttonColor);
    const char* action = !game.battle              ? "KARTENBETRACHTER"
                         : game.battle->finished() ? "NEUE PARTIE (N)"
                                                   : "ZUG BEENDEN (ENTER)";
    text(renderer, sx, actionArea.y + 13, action, ink, 1);
    if (game.showLog && game.battle) {
        drawCombatLog(frame);
    }
    if (game.battle && game.battle->finished()) {
        const int middle = (view.width - sidebarWidth) / 2;
        rect(renderer, {middle - 220, 100, 440, 84}, barBackground);
        text(renderer, middle - 170, 112, game.battle->status(), gold, 2);
        text(renderer, middle - 170, 138, endReason(*game.battle, game.army), ink, 1);
        text(renderer, middle - 170, 160, "N: NEUE PARTIE   H: PROTOKOLL", muted, 1);
    }
    drawStatusLine(frame);
    if (view.helpVisible) {
        drawHelp(frame);
    }
}

void Hud::drawLegend(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Images& images = frame.images;
    const int sx = view.width - sidebarTextLeft;
    text(renderer, sx, 263, "GELAENDE  -  L", gold, 2);
    TerrainIcons icons(images.terrainArt.get());
    for (int t = 0; t < terrainCount; ++t) {
        const auto terrain = static_cast<Terrain>(t);
        // The city row shows the city marker, which the city graphics draw.
        if (terrain != Terrain::City && icons.texture) {
            icons.add(terrain, {double(view.width - 232), 297.0 + 31 * t}, legendIconSize, 0);
        }
        if (terrain == Terrain::City) {
            images.cityGraphics.draw(renderer, {double(view.width - 232), 297.0 + 31 * t}, legendIconSize,
                                     CityGraphics::generalStyle);
        }
        text(renderer, view.width - 204, 293 + 31 * t, label(terrain), ink, 1);
    }
    icons.draw(renderer);
    text(renderer, sx, 629, "BLAU: FLUESSE / UFER", muted, 1);
    text(renderer, sx, 642, "L: LEGENDE SCHLIESSEN", muted, 1);
}

void Hud::drawUnitList(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    const int sx = view.width - sidebarTextLeft;
    text(renderer, sx, 263, "EINHEITEN  -  U", gold, 2);
    const auto& units = game.army.units();
    const std::size_t rows = unitListRows();
    const std::size_t first = unitListFirst(game, view);
    if (units.size() > rows) {
        // Which rows show of how many; the wheel over the list scrolls it.
        const std::string shown = std::to_string(first + 1) + "-" +
                                  std::to_string(std::min(first + rows, units.size())) + "/" +
                                  std::to_string(units.size());
        text(renderer, view.width - sidebarColumnEnd - 6 * int(shown.size()), 263, shown, muted, 1);
        text(renderer, view.width - sidebarColumnEnd - 6 * 3, 273, "RAD", muted, 1);
    }
    for (std::size_t k = first; k < units.size() && k < first + rows; ++k) {
        const Unit& unit = units[k];
        const int y = unitListTop + unitRowHeight * static_cast<int>(k - first);
        const bool chosen = game.selectedUnit == unit.id;
        rect(renderer, {view.width - sidebarColumnLeft, y, sidebarColumnWidth, unitRowHeight - 2},
             chosen ? selectedRowColor : rowColor);
        listIcons_.draw(renderer, classOf(game.army, unit), unit.side, view.width - 247, y + 7, listIconSize, chosen);
        text(renderer, view.width - 236, y + 4, cut(unit.name, rowNameLength), ink, 1);
        const SDL_Color state = unit.moved ? muted : sideColor(unit.side);
        text(renderer, view.width - 122, y + 4, "ST" + std::to_string(unit.strength), state, 1);
        text(renderer, view.width - 94, y + 4, unit.attacked ? "ANGRIFF" : unit.moved ? "BEWEGT" : "BEREIT", state, 1);
        text(renderer, view.width - 46, y + 4, "M" + std::to_string(unit.ammo), state, 1);
    }
    if (game.battle) {
        drawObjectives(frame, objectivesTop(rows));
    }
}

void Hud::drawObjectives(const Frame& frame, int y) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const auto& objectives = frame.game.battle->objectives();
    const auto blue = std::count_if(objectives.begin(), objectives.end(), [](const Objective& o) { return o.owner == 0; });
    const int sx = view.width - sidebarTextLeft;
    text(renderer, sx, y,
         "ZIELE  BLAU " + std::to_string(blue) + "  ROT " + std::to_string(long(objectives.size()) - blue), gold, 1);
    const ScreenRect summary = objectiveSummaryArea(view.width);
    text(renderer, view.width - sidebarColumnEnd - 6 * 5, y, "MAUS", muted, 1);
    if (!summary.contains(static_cast<int>(view.mouse.x), static_cast<int>(view.mouse.y))) {
        return;
    }
    // The pointer on the summary opens the list of the objectives over the unit rows.
    const int height = objectiveLineHeight * static_cast<int>(objectives.size()) + 8;
    rect(renderer, {summary.x, summary.y - height, summary.w, height}, barBackground);
    int line = summary.y - height + 5;
    for (const Objective& objective : objectives) {
        text(renderer, sx, line, objective.name + ": " + (objective.owner == 0 ? "BLAU" : "ROT"),
             objective.owner == 0 ? sideColor(0) : sideColor(1), 1);
        line += objectiveLineHeight;
    }
}

void Hud::drawSelectionPanel(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    const int sx = view.width - sidebarTextLeft;
    const Unit* unit = game.selectedUnit ? game.army.find(*game.selectedUnit) : nullptr;
    if (unit == nullptr) {
        text(renderer, sx, sidebarPanelTop, "EINHEIT WAEHLEN", gold, 2);
        text(renderer, sx, 528, "LISTE ODER TASTE U", ink, 1);
        text(renderer, sx, 549, "PANZER - INFANTERIE", muted, 1);
        text(renderer, sx, 566, "AUFKLAERUNG", muted, 1);
        if (const auto shown = view.hover.city ? view.hover.city : view.selectedCity;
            shown && *shown < world.cities.size()) {
            const City& city = world.cities[*shown];
            text(renderer, sx, 590, cut(city.name, panelNameLength), ink, 2);
            text(renderer, sx, 610,
                 "GROESSE " + std::to_string(city.sizeClass) + "  EW " + std::to_string(city.population), muted, 1);
            text(renderer, sx, 624,
                 "INDUSTRIE " + std::to_string(city.industry) + "  INFRA " + std::to_string(city.infrastructure) +
                     "  FEST " + std::to_string(city.fortification),
                 muted, 1);
        } else if (game.selected) {
            text(renderer, sx, 605, "Q " + std::to_string(game.selected->q) + " R " + std::to_string(game.selected->r),
                 ink, 1);
        }
        return;
    }
    const UnitType& type = game.army.types().at(std::size_t(unit->type));
    text(renderer, sx, sidebarPanelTop, "AUSWAHL", gold, 2);
    text(renderer, sx, 527, cut(unit->name, panelNameLength), ink, 2);
    // A unit that moved or fired may not move again this turn, whatever points it kept.
    const int movable = unit->moved || unit->attacked ? 0 : unit->remaining;
    text(renderer, sx, 555, "BEWEGUNG " + std::to_string(movable) + "/" + std::to_string(type.movement), ink, 2);
    text(renderer, sx, 583,
         "STAERKE " + std::to_string(unit->strength) + "/10  MUNITION " + std::to_string(unit->ammo), muted, 1);
    std::string state = unit->side == 1      ? "GEGNERISCHE EINHEIT"
                        : unit->attacked     ? "ANGRIFF VERBRAUCHT"
                        : unit->moved        ? "BEWEGT - ANGRIFF MOEGLICH"
                                             : "GRUENE FELDER ERREICHBAR";
    if (game.battle) {
        const auto target = view.unitAt(game.army, view.mouse);
        const Unit* enemy = target ? game.army.find(*target) : nullptr;
        if (enemy && enemy->side != unit->side) {
            const AttackPreview preview = game.battle->preview(world.gameMap(), game.army, unit->id, enemy->id);
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

void Hud::drawCombatLog(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    const int sx = view.width - sidebarTextLeft;
    rect(renderer, toSdl(combatLogBox(view.width)), barBackground);
    text(renderer, sx, 290, "KAMPFPROTOKOLL - H", gold, 1);
    const std::vector<LogLine> lines = combatLogLines(game.battle->log(), combatLogLineLength);
    const std::size_t shown = std::min(lines.size(), combatLogLinesShown);
    // The newest lines at the bottom; the wheel scrolls back to older ones.
    const std::size_t back = std::min(view.logScroll, lines.size() - shown);
    const std::size_t first = lines.size() - shown - back;
    if (lines.size() > shown) {
        const std::string where = back > 0 ? "RAD: NEUER" : "RAD: AELTER";
        text(renderer, view.width - sidebarColumnEnd - 6 * int(where.size()), 290, where, muted, 1);
    }
    int y = combatLogFirstLine;
    for (std::size_t k = first; k < first + shown; ++k) {
        text(renderer, sx + (lines[k].continued ? 12 : 0), y, lines[k].text, ink, 1);
        y += combatLogLineHeight;
    }
}

void Hud::drawStatusLine(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    backdrop_.fill(renderer, frame.software, {0, view.height - footerHeight, view.width, footerHeight},
                   barBackground);
    const SDL_Rect clip{0, view.height - footerHeight, view.width - sidebarWidth, footerHeight};
    SDL_RenderSetClipRect(renderer, &clip);
    std::string status = helpLine;
    if (!game.movementMessage.empty()) {
        status = game.movementMessage;
    } else if (game.bridgeMode) {
        status = "BRUECKE BAUEN: FLUSS ANKLICKEN  |  B / ESC: BEENDEN";
    } else if (view.hover.city && *view.hover.city < world.cities.size()) {
        const City& city = world.cities[*view.hover.city];
        status = "STADT: " + city.name + (city.capital ? " - HAUPTSTADT" : "");
    }
    text(renderer, 16, view.height - 22, status, muted, 1);
    SDL_RenderSetClipRect(renderer, nullptr);
}

void Hud::forgetRenderer() {
    listIcons_ = UnitIconAtlas{};
    minimap_.forgetRenderer();
    backdrop_.forgetRenderer();
}

std::size_t unitListFirst(const Game& game, const ViewState& view) {
    return listFirst(view.unitListOffset, unitListRows(), game.army.units().size());
}

} // namespace korvan
