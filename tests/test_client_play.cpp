// Playing through the client's input alone: clicks on units and fields, keys and the wheel go in
// through Client::event, and the game state and the panels drawn by the software renderer come out.
#include "client/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "input_events.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"
#include "render/river_segments.hpp"
#include "shell/startup.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

using namespace korvan;
using namespace korvan::testing;
using forces::UnitEntry;

namespace {

constexpr SDL_Color buttonColor{44, 64, 65, 255};
constexpr SDL_Color arrowColor{255, 194, 48, 255};

Point onScreen(const Client& client, Hex h) { return client.camera.toScreen(client.gameWorld(h)); }

void click(Client& client, Point p) {
    const int x = static_cast<int>(std::lround(p.x));
    const int y = static_cast<int>(std::lround(p.y));
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y));
    client.event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y));
}

void clickField(Client& client, Hex h) { click(client, onScreen(client, h)); }

void pointAt(Client& client, Point p) {
    client.event(motion(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))));
}

void press(Client& client, SDL_Keycode code, bool repeat = false) { client.event(key(code, repeat)); }

std::unique_ptr<Client> battleOn(const std::vector<std::string>& rows, const std::vector<UnitEntry>& units,
                                 const std::vector<Hex>& objectives, bool wrap = false) {
    auto client = std::make_unique<Client>(forces::makeMap(rows, {}, wrap));
    client->army = forces::makeArmy(client->map, units);
    client->battle = forces::makeBattle(client->map, client->army, objectives);
    return client;
}

// Every dot of a line as `text` draws it: the lit dots of each 5 x 7 glyph in `color`, the rest of
// its 6-dot cell in `background`. Each dot is probed at its middle pixel.
::testing::AssertionResult drawnText(const HeadlessRenderer& screen, int x, int y, std::string_view s, int scale,
                                     SDL_Color color, SDL_Color background) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto rows = glyphRows(static_cast<unsigned char>(s[i]));
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 6; ++column) {
                const bool lit = column < 5 && (rows[std::size_t(row)] & (0x10 >> column)) != 0;
                const int px = x + (int(i) * 6 + column) * scale + scale / 2;
                const int py = y + row * scale + scale / 2;
                const SDL_Color found = screen.pixel(px, py);
                if (!sameColor(found, lit ? color : background)) {
                    return ::testing::AssertionFailure() << "\"" << s << "\" character " << i << " ('" << s[i]
                                                         << "') dot " << column << ", " << row << " at " << px << ", "
                                                         << py << ": " << found;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(ClientPlay, ClickingAUnitShowsItsReachAndThePathUnderThePointer) {
    auto client = battleOn({"ppppppppp", "ppppwpppp", "ppppppppp", "ppppppppp"},
                           {{1, 0, "tank", {2, 2}}, {2, 1, "tank", {7, 1}}, {3, 0, "inf", {5, 3}}}, {Hex{8, 3}});
    HeadlessRenderer screen(1280, 850);
    client->centerOn(client->gameWorld({4, 2}), 18);

    clickField(*client, {2, 2});
    EXPECT_EQ(client->selectedUnit, 1);
    EXPECT_EQ(client->selected, (Hex{2, 2}));
    ASSERT_TRUE(client->range.contains({4, 2}));
    EXPECT_EQ(client->range.at({6, 2}).cost, 4);
    EXPECT_FALSE(client->range.contains({4, 1})); // water
    EXPECT_TRUE(client->movementPreviewVisible());

    // The arrow runs from the unit along row 2 to the reachable field under the pointer; over water
    // there is none.
    const Point middle = (onScreen(*client, {2, 2}) + onScreen(*client, {3, 2})) * 0.5;
    const auto arrowAt = [&](Hex pointer) {
        pointAt(*client, onScreen(*client, pointer));
        client->render(screen.get());
        return screen.pixel(int(middle.x), int(middle.y));
    };
    EXPECT_TRUE(sameColor(arrowAt({4, 2}), arrowColor)) << arrowAt({4, 2});
    EXPECT_FALSE(sameColor(arrowAt({4, 1}), arrowColor));

    // U goes on to the next Blue unit and centres it, passing over Red, then wraps to the first.
    press(*client, SDLK_u);
    EXPECT_EQ(client->selectedUnit, 3);
    EXPECT_NEAR(onScreen(*client, {5, 3}).x, client->mapAreaCentre().x, 1e-9);
    EXPECT_NEAR(onScreen(*client, {5, 3}).y, client->mapAreaCentre().y, 1e-9);
    press(*client, SDLK_u, true);
    EXPECT_EQ(client->selectedUnit, 1);

    // Red is the computer's: selected by a click it shows no reach, and a click on the map does not move it.
    press(*client, SDLK_ESCAPE);
    clickField(*client, {7, 1});
    EXPECT_EQ(client->selectedUnit, 2);
    EXPECT_TRUE(client->range.empty());
    EXPECT_FALSE(client->movementPreviewVisible());
    clickField(*client, {6, 0});
    EXPECT_EQ(client->movementMessage, "Rot wird von der KI gesteuert");
    EXPECT_EQ(client->army.find(2)->position, (Hex{7, 1}));
}

TEST(ClientPlay, MovingByClickAndTheRefusals) {
    auto client = battleOn({"ppppppppp", "ppppwpppp", "ppppppppp", "ppppppppp", "ppppppppp"},
                           {{1, 0, "tank", {2, 2}}, {3, 0, "inf", {3, 3}}, {2, 1, "tank", {8, 0}}}, {Hex{8, 4}});
    client->centerOn(client->gameWorld({4, 2}), 18);
    clickField(*client, {2, 2});
    ASSERT_EQ(client->selectedUnit, 1);

    clickField(*client, {4, 1});
    EXPECT_EQ(client->movementMessage, "Ziel nicht erreichbar"); // water
    clickField(*client, {8, 2});
    EXPECT_EQ(client->movementMessage, "Ziel nicht erreichbar"); // six fields away, four points
    EXPECT_EQ(client->army.find(1)->position, (Hex{2, 2}));

    // Close in, a field's top corner stands out above its unit's icon: a click there is a click on
    // the occupied field, not on the unit. The wheel zooms about the pointer.
    pointAt(*client, onScreen(*client, {3, 3}));
    client->event(scroll(6));
    EXPECT_NEAR(client->camera.scale, 18 * std::pow(1.15, 6), 1e-9);
    EXPECT_EQ(client->hovered, (Hex{3, 3}));
    click(*client, onScreen(*client, {3, 3}) - Point{0, 33});
    EXPECT_EQ(client->movementMessage, "Zielfeld ist belegt");
    EXPECT_EQ(client->selectedUnit, 1);

    clickField(*client, {4, 2});
    EXPECT_EQ(client->movementMessage, "Bewegung ausgefuehrt");
    EXPECT_EQ(client->army.find(1)->position, (Hex{4, 2}));
    EXPECT_EQ(client->selected, (Hex{4, 2}));
    EXPECT_EQ(client->range.size(), 1u);
    EXPECT_FALSE(client->movementPreviewVisible());
    clickField(*client, {5, 2});
    EXPECT_EQ(client->movementMessage, "Einheit wurde bereits bewegt");
    EXPECT_EQ(client->army.find(1)->position, (Hex{4, 2}));
}

TEST(ClientPlay, AttackingByClickAndEndingTheTurn) {
    auto client = battleOn({"ppppppppp", "ppppppppp", "ppppppppp", "ppppppppp", "ppppppppp"},
                           {{1, 0, "tank", {3, 2}}, {2, 1, "inf", {4, 2}}, {3, 0, "inf", {0, 4}},
                            {4, 1, "tank", {8, 0}}},
                           {Hex{6, 4}});
    client->centerOn(client->gameWorld({4, 2}), 18);
    clickField(*client, {3, 2});
    clickField(*client, {8, 0});
    EXPECT_EQ(client->movementMessage, "Ziel ausser Reichweite");
    EXPECT_FALSE(client->army.find(1)->attacked);

    // The same exchange on copies tells what the click must log: one seeded generator decides both.
    Army expectedArmy = client->army;
    Battle expectedBattle = *client->battle;
    const CombatResult expected = expectedBattle.attack(client->map, expectedArmy, 1, 2);
    ASSERT_TRUE(expected.success);
    EXPECT_EQ(expected.message.rfind("U1 -> U2: -", 0), 0u) << expected.message;
    EXPECT_NE(expected.message.find(" / Gegenfeuer -"), std::string::npos);
    clickField(*client, {4, 2});
    EXPECT_EQ(client->movementMessage, expected.message);
    EXPECT_EQ(client->battle->log().back(), expected.message);
    EXPECT_EQ(client->army.find(2)->strength, expectedArmy.find(2)->strength);
    EXPECT_EQ(client->selectedUnit, 1);
    EXPECT_EQ(client->range.size(), 1u); // an attack ends the unit's movement
    clickField(*client, {4, 2});
    EXPECT_EQ(client->movementMessage, "Bereits angegriffen");

    // Enter: Red fires back at its neighbour and marches its far tank, then Blue has the turn again.
    const std::size_t before = client->battle->log().size();
    press(*client, SDLK_RETURN);
    EXPECT_EQ(client->movementMessage, "KI-Zug beendet. Blau am Zug.");
    EXPECT_FALSE(client->selectedUnit);
    EXPECT_EQ(client->battle->round(), 2);
    EXPECT_EQ(client->battle->activeSide(), blueSide);
    const auto& log = client->battle->log();
    ASSERT_GT(log.size(), before);
    EXPECT_TRUE(std::any_of(log.begin() + std::ptrdiff_t(before), log.end(),
                            [](const std::string& line) { return line.rfind("U2 -> U1: -", 0) == 0; }));
    EXPECT_NE(client->army.find(4)->position, (Hex{8, 0}));
    EXPECT_EQ(log.back(), "RUNDE 2/10 - BLAU");
    press(*client, SDLK_RETURN, true); // a held key ends no second turn
    EXPECT_EQ(client->battle->round(), 2);
    EXPECT_EQ(client->battle->activeSide(), blueSide);
}

TEST(ClientPlay, BridgeModeMessagesAndRestart) {
    const std::filesystem::path data = std::filesystem::path(::testing::TempDir()) / "korvan_client_play";
    std::filesystem::create_directories(data);
    const Hex west{3, 2};
    const Hex east{4, 2};
    // One river side between two land fields, one on the shore of the lake at (6, 0).
    std::ofstream(data / "world.json") << forces::mapJson(
        {"ppppppwp", "pppppppp", "pppppppp", "pppppppp", "pppppppp"}, {{west, east}, {{5, 0}, {6, 0}}});
    std::ofstream(data / "units.json") << forces::armyJson({{1, 0, "tank", {2, 2}}, {2, 1, "tank", {7, 4}}});
    std::ofstream(data / "battles.json") << R"({"schema_version": 1, "operation": {"round_limit": 10, "seed": 3,
        "objectives": [{"name": "Ziel", "q": 6, "r": 3}]}})";
    Client client(Map::load(data / "world.json"));
    client.dataDirectory = data;
    client.army = Army::load(client.gameMap(), data / "units.json");
    client.battle = Battle::load(client.gameMap(), client.army, data / "battles.json");
    const Camera fitted = client.camera;
    client.centerOn(client.gameWorld(east), 18);
    const auto riverMiddle = [&](Hex a, Hex b) {
        const RiverSegment side = riverBoundary(client.map, *client.map.riverEdge(a, b));
        return client.camera.toScreen((side.a + side.b) * 0.5);
    };

    clickField(client, {2, 2});
    ASSERT_EQ(client.selectedUnit, 1);
    EXPECT_EQ(client.range.at(east).cost, 3); // round the river side
    client.movementMessage = "alt";
    press(client, SDLK_b);
    EXPECT_TRUE(client.bridgeMode);
    EXPECT_TRUE(client.movementMessage.empty());

    // In bridge mode a click builds, even on a unit.
    clickField(client, {7, 4});
    EXPECT_EQ(client.movementMessage, "Eine Flussstelle anklicken. B/ESC: Baumodus beenden");
    EXPECT_EQ(client.selectedUnit, 1);
    pointAt(client, riverMiddle(west, east));
    client.event(scroll(-7));
    ASSERT_LT(client.camera.scale, 7);
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.movementMessage, "Bitte naeher heranzoomen. B/ESC: Baumodus beenden");
    client.event(scroll(7));
    EXPECT_NEAR(client.camera.scale, 18, 1e-9);
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.movementMessage, "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden");
    EXPECT_TRUE(client.map.bridgeBetween(west, east));
    EXPECT_EQ(client.mapGeneration, 1u);
    EXPECT_EQ(client.range.at(east).cost, 2); // straight over the new bridge
    const std::size_t bridgeEdge = *client.map.riverEdgeIndex(west, east);
    EXPECT_TRUE(client.riverGraphics().bridgeCenter(bridgeEdge));
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.movementMessage, "Hier steht bereits eine Bruecke. B/ESC: Beenden");
    click(client, riverMiddle({5, 0}, {6, 0}));
    EXPECT_EQ(client.movementMessage, "Bruecken benoetigen zwei Landufer. B/ESC: Beenden");
    press(client, SDLK_b);
    EXPECT_FALSE(client.bridgeMode);
    EXPECT_TRUE(client.movementMessage.empty());

    clickField(client, east);
    EXPECT_EQ(client.army.find(1)->position, east);
    press(client, SDLK_h);
    // N: the map as loaded (no bridge), the units where they started, a fresh scenario, unit 1
    // selected with an empty status line, the fitted view, and river pictures without the bridge.
    press(client, SDLK_n);
    EXPECT_FALSE(client.map.bridgeBetween(west, east));
    EXPECT_EQ(client.army.find(1)->position, (Hex{2, 2}));
    EXPECT_FALSE(client.army.find(1)->moved);
    EXPECT_EQ(client.battle->round(), 1);
    EXPECT_EQ(client.battle->log().size(), 1u);
    EXPECT_EQ(client.selectedUnit, 1);
    EXPECT_TRUE(client.movementMessage.empty());
    EXPECT_FALSE(client.showLog);
    EXPECT_EQ(client.mapGeneration, 2u);
    EXPECT_EQ(client.camera, fitted);
    EXPECT_FALSE(client.riverGraphics().bridgeCenter(bridgeEdge));
    press(client, SDLK_n, true);
    EXPECT_EQ(client.mapGeneration, 2u);

    // Once the game is decided nothing is built.
    client.battle = Battle(client.map, client.army, {{"Ziel", {6, 3}, blueSide}}, 10, 1);
    ASSERT_TRUE(client.battle->finished());
    press(client, SDLK_b);
    client.centerOn(client.gameWorld(east), 18);
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.movementMessage, "Partie beendet");
    EXPECT_FALSE(client.map.bridgeBetween(west, east));
    std::filesystem::remove_all(data);
}

// Icons are hit on {x - 24, y - 24, 48, 63} around the rounded centre of each on-screen copy, also a
// copy whose centre lies left of the map area; a click across the seam moves onto the first column.
TEST(ClientPlay, PickingAtTheIconEdgesAndAcrossTheSeam) {
    const std::vector<std::string> rows(5, "pppppppppp");
    // Odd-r: column c of row r is q = c - r / 2; unit 1 stands in the last column.
    auto client = battleOn(rows, {{1, 0, "tank", {8, 2}}, {2, 1, "tank", {4, 0}}}, {Hex{3, 4}}, true);
    const Point world = client->gameWorld({8, 2});
    client->camera = {400.5 - world.x * 18, 300.5 - world.y * 18, 18, 1, 1};
    ASSERT_EQ(onScreen(*client, {8, 2}).x, 400.5); // rounds to 401: the icon spans 377 to 424
    const auto picked = [&](int x, int y) {
        press(*client, SDLK_ESCAPE);
        client->event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y));
        return client->selectedUnit;
    };
    for (const auto& [x, y] : {std::pair{377, 301}, {424, 301}, {401, 277}, {401, 339}}) {
        EXPECT_EQ(picked(x, y), 1) << x << ", " << y;
    }
    for (const auto& [x, y] : {std::pair{376, 301}, {425, 301}, {401, 276}, {401, 340}}) {
        EXPECT_FALSE(picked(x, y)) << x << ", " << y;
        EXPECT_TRUE(client->selected) << x << ", " << y; // the click marked a field instead
    }
    const double period = client->map.width() * sqrt3 * 18;
    EXPECT_EQ(picked(static_cast<int>(std::lround(400.5 + period)), 301), 1); // the copy one world east

    // A copy 10.4 pixels left of the map area still shows its right half, and is hit there.
    client->camera.x -= 410.9;
    EXPECT_EQ(picked(0, 301), 1);
    EXPECT_EQ(picked(13, 301), 1);
    EXPECT_FALSE(picked(14, 301));

    // The field east of the last column is the first column of the same row.
    client->camera.x += 410.9;
    picked(401, 301);
    clickField(*client, Hex{9, 2});
    EXPECT_EQ(client->movementMessage, "Bewegung ausgefuehrt");
    EXPECT_EQ(client->army.find(1)->position, (Hex{-1, 2}));
    EXPECT_EQ(client->army.find(1)->remaining, 3);
}

TEST(ClientPlay, PanelsShowTheTurnTheModeAndTheSelection) {
    auto client = battleOn({"ppppp", "ppppp", "ppppp"}, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {4, 2}}}, {Hex{2, 1}});
    HeadlessRenderer screen(1000, 800);
    client->event(window(SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 800));
    const int sx = 1000 - 248;
    client->render(screen.get());
    EXPECT_TRUE(drawnText(screen, 26, 17, "BRANNOK: VARNHOLT", 3, ink, barBackground));
    EXPECT_TRUE(drawnText(screen, 27, 53, "RUNDE 1/10 - BLAU  ENTER: ZUG BEENDEN", 2, muted, barBackground));
    EXPECT_TRUE(drawnText(screen, sx, 800 - 65, "ZUG BEENDEN (ENTER)", 1, ink, buttonColor));
    EXPECT_TRUE(drawnText(screen, 16, 800 - 22, "U: EINHEIT   KLICK: AUSWAHL/ZIEL", 1, muted, barBackground));

    // A click on the second row of the unit list selects Red: its row lights up, the first stays dark.
    client->event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1000 - 100, 285 + 31 + 5));
    EXPECT_EQ(client->selectedUnit, 2);
    press(*client, SDLK_b);
    client->render(screen.get());
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 20, 285 + 2), {30, 46, 49, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 20, 285 + 31 + 2), {53, 68, 65, 255}));
    EXPECT_TRUE(drawnText(screen, sx, 500, "AUSWAHL", 2, gold, sidebarBackground));
    EXPECT_TRUE(drawnText(screen, 27, 53, "BRUECKENBAU  /  B ODER ESC: BEENDEN", 2, muted, barBackground));
    EXPECT_TRUE(drawnText(screen, 16, 800 - 22, "BRUECKE BAUEN: FLUSS ANKLICKEN", 1, muted, barBackground));
}

// The shipped scenario as start-up builds it, played to its end by a scripted Blue that only clicks
// and presses keys: U to take each unit in turn, a click on the enemy it hurts most or else on the
// reachable free field nearest an objective Red holds, Enter to hand the turn to the computer.
TEST(ClientPlay, ShippedScenarioPlayedToTheEndThroughTheInput) {
    HeadlessRenderer screen(1280, 850);
    const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    const auto client = createClient(Map::load(data / "world.json"), screen.get(), data, data / "world.json", false);
    ASSERT_TRUE(client->battle);
    Battle& battle = *client->battle;
    const Army& army = client->army;
    int moves = 0;
    int attacks = 0;

    const auto clickable = [&](Point p) { return client->onMap(p); };
    // Fires at the legal target with the best sure damage, less the worst return fire.
    const auto fire = [&](int id) {
        int best = INT_MIN;
        std::optional<Hex> target;
        for (const Unit& enemy : army.units()) {
            if (enemy.side == blueSide) {
                continue;
            }
            const AttackPreview p = battle.preview(client->gameMap(), army, id, enemy.id);
            const int score = p.defenderMin * 10 - p.attackerMax * 5 + (p.defenderMin >= enemy.strength ? 100 : 0);
            if (p.legal && score > best && clickable(onScreen(*client, enemy.position))) {
                best = score;
                target = enemy.position;
            }
        }
        if (target) {
            clickField(*client, *target);
            attacks += client->movementMessage.find(" -> ") != std::string::npos;
        }
    };
    const auto advance = [&](int id) {
        std::vector<Hex> goals;
        for (const Objective& objective : battle.objectives()) {
            if (objective.owner != blueSide) {
                goals.push_back(objective.position);
            }
        }
        const auto distance = [&](Hex h) {
            int d = INT_MAX;
            for (const Hex goal : goals) {
                d = std::min(d, hexDistance(h, goal));
            }
            return d;
        };
        const Hex from = army.find(id)->position;
        std::optional<Hex> best;
        for (const auto& [field, node] : client->range) {
            const Point p = onScreen(*client, field);
            if (node.cost > 0 && distance(field) < distance(best.value_or(from)) && clickable(p) &&
                !client->unitAt(p)) {
                best = field;
            }
        }
        if (best) {
            clickField(*client, *best);
            moves += client->movementMessage == "Bewegung ausgefuehrt";
        }
    };

    for (int turn = 0; turn < battle.roundLimit() && !battle.finished(); ++turn) {
        ASSERT_EQ(battle.activeSide(), blueSide);
        std::vector<int> ids;
        for (const Unit& unit : army.units()) {
            if (unit.side == blueSide) {
                ids.push_back(unit.id);
            }
        }
        for (const int id : ids) {
            for (std::size_t k = 0; k <= ids.size() && client->selectedUnit != id; ++k) {
                press(*client, SDLK_u);
            }
            if (battle.finished() || client->selectedUnit != id) {
                continue; // the game is over, or the unit fell to return fire
            }
            fire(id);
            if (army.find(id) != nullptr && !army.find(id)->attacked && !battle.finished()) {
                advance(id);
                if (army.find(id) != nullptr && !battle.finished()) {
                    fire(id);
                }
            }
        }
        if (!battle.finished()) {
            press(*client, SDLK_RETURN);
        }
    }
    ASSERT_TRUE(battle.finished()) << "round " << battle.round();
    EXPECT_GT(moves, 10);
    EXPECT_GT(attacks, 0);
    std::cout << "[ Blau ] " << moves << " Zuege, " << attacks << " Angriffe; " << battle.status() << " in Runde "
              << battle.round() << "\n";

    // Decided: Enter reports the result, the result box sits over the map, the button offers a new game.
    const int round = battle.round();
    press(*client, SDLK_RETURN);
    EXPECT_EQ(client->movementMessage, battle.status());
    EXPECT_EQ(battle.round(), round);
    client->render(screen.get());
    const int middle = (1280 - 270) / 2;
    EXPECT_TRUE(sameColor(screen.pixel(middle - 215, 104), barBackground));
    EXPECT_TRUE(drawnText(screen, middle - 170, 112, battle.status(), 2, gold, barBackground));
    EXPECT_TRUE(drawnText(screen, middle - 170, 140, "N: NEUE PARTIE   H: PROTOKOLL", 1, ink, barBackground));
    EXPECT_TRUE(drawnText(screen, 1280 - 248, 850 - 65, "NEUE PARTIE (N)", 1, ink, buttonColor));
    EXPECT_TRUE(drawnText(screen, 27, 53, battle.status() + "  ENTER: ZUG BEENDEN", 2, muted, barBackground));

    // The action button starts the new game.
    client->event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1280 - 100, 850 - 60));
    EXPECT_FALSE(client->battle->finished());
    EXPECT_EQ(client->battle->round(), 1);
    EXPECT_EQ(client->selectedUnit, 1);
}
