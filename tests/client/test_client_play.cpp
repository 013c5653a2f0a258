// Playing through the client's input alone: clicks on units and fields, keys and the wheel go in
// through Client::event, and the game state and the panels drawn by the software renderer come out.
#include "shell/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "drawn_text.hpp"
#include "input_driver.hpp"
#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "water/river_segments.hpp"
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

std::unique_ptr<Client> battleOn(const std::vector<std::string>& rows, const std::vector<UnitEntry>& units,
                                 const std::vector<Hex>& objectives, bool wrap = false) {
    auto client = std::make_unique<Client>(forces::makeMap(rows, {}, wrap));
    client->game.army = forces::makeArmy(client->world.map, units);
    client->game.battle = forces::makeBattle(client->world.map, client->game.army, objectives);
    return client;
}

} // namespace

TEST(ClientPlay, ClickingAUnitShowsItsReachAndThePathUnderThePointer) {
    auto client = battleOn({"ppppppppp", "ppppwpppp", "ppppppppp", "ppppppppp"},
                           {{1, 0, "tank", {2, 2}}, {2, 1, "tank", {7, 1}}, {3, 0, "inf", {5, 3}}}, {Hex{8, 3}});
    HeadlessRenderer screen(1280, 850);
    client->view.centerOn(client->world.gameWorld({4, 2}), 18);

    clickField(*client, {2, 2});
    EXPECT_EQ(client->game.selectedUnit, 1);
    EXPECT_EQ(client->game.selected, (Hex{2, 2}));
    ASSERT_TRUE(client->game.range.contains({4, 2}));
    EXPECT_EQ(client->game.range.at({6, 2}).cost, 4);
    EXPECT_FALSE(client->game.range.contains({4, 1})); // water
    EXPECT_TRUE(movementPreviewVisible(client->mapView.scene()));

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
    EXPECT_EQ(client->game.selectedUnit, 3);
    EXPECT_NEAR(onScreen(*client, {5, 3}).x, client->view.mapAreaCentre().x, 1e-9);
    EXPECT_NEAR(onScreen(*client, {5, 3}).y, client->view.mapAreaCentre().y, 1e-9);
    press(*client, SDLK_u, true);
    EXPECT_EQ(client->game.selectedUnit, 1);

    // Red is the computer's: selected by a click it shows no reach, and a click on the map does not move it.
    press(*client, SDLK_ESCAPE);
    clickField(*client, {7, 1});
    EXPECT_EQ(client->game.selectedUnit, 2);
    EXPECT_TRUE(client->game.range.empty());
    EXPECT_FALSE(movementPreviewVisible(client->mapView.scene()));
    clickField(*client, {6, 0});
    EXPECT_EQ(client->game.movementMessage, "Rot wird von der KI gesteuert");
    EXPECT_EQ(client->game.army.find(2)->position, (Hex{7, 1}));
}

TEST(ClientPlay, MovingByClickAndTheRefusals) {
    auto client = battleOn({"ppppppppp", "ppppwpppp", "ppppppppp", "ppppppppp", "ppppppppp"},
                           {{1, 0, "tank", {2, 2}}, {3, 0, "inf", {3, 3}}, {2, 1, "tank", {8, 0}}}, {Hex{8, 4}});
    client->view.centerOn(client->world.gameWorld({4, 2}), 18);
    clickField(*client, {2, 2});
    ASSERT_EQ(client->game.selectedUnit, 1);

    clickField(*client, {4, 1});
    EXPECT_EQ(client->game.movementMessage, "Ziel nicht erreichbar"); // water
    clickField(*client, {8, 2});
    EXPECT_EQ(client->game.movementMessage, "Ziel nicht erreichbar"); // six fields away, four points
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{2, 2}));

    // Close in, a field's top corner stands out above its unit's icon: a click there is a click on
    // the occupied field, not on the unit. The wheel zooms about the pointer.
    pointAt(*client, onScreen(*client, {3, 3}));
    client->event(wheelEvent(6));
    EXPECT_NEAR(client->view.camera.scale, 18 * std::pow(1.15, 6), 1e-9);
    EXPECT_EQ(client->view.hover.field, (Hex{3, 3}));
    click(*client, onScreen(*client, {3, 3}) - Point{0, 33});
    EXPECT_EQ(client->game.movementMessage, "Zielfeld ist belegt");
    EXPECT_EQ(client->game.selectedUnit, 1);

    clickField(*client, {4, 2});
    EXPECT_EQ(client->game.movementMessage, "Bewegung ausgefuehrt");
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{4, 2}));
    EXPECT_EQ(client->game.selected, (Hex{4, 2}));
    EXPECT_EQ(client->game.range.size(), 1u);
    EXPECT_FALSE(movementPreviewVisible(client->mapView.scene()));
    clickField(*client, {5, 2});
    EXPECT_EQ(client->game.movementMessage, "Einheit wurde bereits bewegt");
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{4, 2}));
}

TEST(ClientPlay, AttackingByClickAndEndingTheTurn) {
    auto client = battleOn({"ppppppppp", "ppppppppp", "ppppppppp", "ppppppppp", "ppppppppp"},
                           {{1, 0, "tank", {3, 2}}, {2, 1, "inf", {4, 2}}, {3, 0, "inf", {0, 4}},
                            {4, 1, "tank", {8, 0}}},
                           {Hex{6, 4}});
    client->view.centerOn(client->world.gameWorld({4, 2}), 18);
    clickField(*client, {3, 2});
    clickField(*client, {8, 0});
    EXPECT_EQ(client->game.movementMessage, "Ziel ausser Reichweite");
    EXPECT_FALSE(client->game.army.find(1)->attacked);

    // The same exchange on copies tells what the click must log: one seeded generator decides both.
    Army expectedArmy = client->game.army;
    Battle expectedBattle = *client->game.battle;
    const CombatResult expected = expectedBattle.attack(client->world.map, expectedArmy, 1, 2);
    ASSERT_TRUE(expected.success);
    EXPECT_EQ(expected.message.rfind("U1 -> U2: -", 0), 0u) << expected.message;
    EXPECT_NE(expected.message.find(" / Gegenfeuer -"), std::string::npos);
    clickField(*client, {4, 2});
    EXPECT_EQ(client->game.movementMessage, expected.message);
    EXPECT_EQ(client->game.battle->log().back(), expected.message);
    EXPECT_EQ(client->game.army.find(2)->strength, expectedArmy.find(2)->strength);
    EXPECT_EQ(client->game.selectedUnit, 1);
    EXPECT_EQ(client->game.range.size(), 1u); // an attack ends the unit's movement
    clickField(*client, {4, 2});
    EXPECT_EQ(client->game.movementMessage, "Bereits angegriffen");

    // Enter first warns while U3 could still move; a second Enter ends the turn: Red fires back at
    // its neighbour and marches its far tank, tells it in the log and the status line, and marks
    // both units; then Blue has the turn again.
    const std::size_t before = client->game.battle->log().size();
    press(*client, SDLK_RETURN);
    EXPECT_EQ(client->game.movementMessage, "Noch 1 Einheit kann handeln. Enter erneut: Zug beenden");
    EXPECT_EQ(client->game.battle->activeSide(), blueSide);
    press(*client, SDLK_RETURN);
    const std::string& summary = client->game.movementMessage;
    EXPECT_EQ(summary.rfind("KI-Zug beendet: 1 Bewegungen / 2 Angriffe. Verluste Blau -", 0), 0u) << summary;
    EXPECT_EQ(summary.substr(summary.size() - 13), " Blau am Zug.");
    EXPECT_EQ(client->game.redActed, (std::vector<int>{2, 4}));
    EXPECT_FALSE(client->game.selectedUnit);
    EXPECT_EQ(client->game.battle->round(), 2);
    EXPECT_EQ(client->game.battle->activeSide(), blueSide);
    const auto& log = client->game.battle->log();
    ASSERT_GT(log.size(), before);
    EXPECT_TRUE(std::any_of(log.begin() + std::ptrdiff_t(before), log.end(),
                            [](const std::string& line) { return line.rfind("U2 -> U1: -", 0) == 0; }));
    EXPECT_NE(client->game.army.find(4)->position, (Hex{8, 0}));
    const Hex marched = client->game.army.find(4)->position;
    EXPECT_TRUE(std::find(log.begin(), log.end(),
                          "U4 zieht nach " + std::to_string(marched.q) + "/" + std::to_string(marched.r)) != log.end());
    EXPECT_EQ(log.back(), "RUNDE 2/10 - BLAU");
    press(*client, SDLK_RETURN, true); // a held key ends no second turn
    EXPECT_EQ(client->game.battle->round(), 2);
    EXPECT_EQ(client->game.battle->activeSide(), blueSide);
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
    client.world.dataDirectory = data;
    client.game.army = Army::load(client.world.gameMap(), data / "units.json");
    client.game.battle = Battle::load(client.world.gameMap(), client.game.army, data / "battles.json");
    const Camera fitted = client.view.camera;
    client.view.centerOn(client.world.gameWorld(east), 18);
    const auto riverMiddle = [&](Hex a, Hex b) {
        const RiverSegment side = riverBoundary(client.world.map, *client.world.map.riverEdge(a, b));
        return client.view.camera.toScreen((side.a + side.b) * 0.5);
    };

    clickField(client, {2, 2});
    ASSERT_EQ(client.game.selectedUnit, 1);
    EXPECT_EQ(client.game.range.at(east).cost, 3); // round the river side
    client.game.movementMessage = "alt";
    press(client, SDLK_b);
    EXPECT_TRUE(client.game.bridgeMode);
    EXPECT_TRUE(client.game.movementMessage.empty());

    // In bridge mode a click builds, even on a unit.
    clickField(client, {7, 4});
    EXPECT_EQ(client.game.movementMessage, "Eine Flussstelle anklicken. B/ESC: Baumodus beenden");
    EXPECT_EQ(client.game.selectedUnit, 1);
    pointAt(client, riverMiddle(west, east));
    client.event(wheelEvent(-7));
    ASSERT_LT(client.view.camera.scale, 7);
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.game.movementMessage, "Bitte naeher heranzoomen. B/ESC: Baumodus beenden");
    client.event(wheelEvent(7));
    EXPECT_NEAR(client.view.camera.scale, 18, 1e-9);
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.game.movementMessage, "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden");
    EXPECT_TRUE(client.world.map.bridgeBetween(west, east));
    EXPECT_EQ(client.world.generation, 1u);
    EXPECT_EQ(client.game.range.at(east).cost, 2); // straight over the new bridge
    const std::size_t bridgeEdge = *client.world.map.riverEdgeIndex(west, east);
    EXPECT_TRUE(client.mapView.rivers().graphics(client.mapView.scene()).bridgeCenter(bridgeEdge));
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.game.movementMessage, "Hier steht bereits eine Bruecke. B/ESC: Beenden");
    click(client, riverMiddle({5, 0}, {6, 0}));
    EXPECT_EQ(client.game.movementMessage, "Bruecken benoetigen zwei Landufer. B/ESC: Beenden");
    press(client, SDLK_b);
    EXPECT_FALSE(client.game.bridgeMode);
    EXPECT_TRUE(client.game.movementMessage.empty());

    clickField(client, east);
    EXPECT_EQ(client.game.army.find(1)->position, east);
    press(client, SDLK_h);
    // N asks first in a running game; another key forgets the question, a second N starts over.
    press(client, SDLK_n);
    EXPECT_EQ(client.game.movementMessage, "Partie verwerfen und neu beginnen? Nochmals N druecken");
    press(client, SDLK_l);
    press(client, SDLK_l);
    press(client, SDLK_n);
    EXPECT_EQ(client.game.army.find(1)->position, east);
    // N, N: the map as loaded (no bridge), the units where they started, a fresh scenario, unit 1
    // selected with an empty status line, the fitted view, and river pictures without the bridge.
    press(client, SDLK_n);
    EXPECT_FALSE(client.world.map.bridgeBetween(west, east));
    EXPECT_EQ(client.game.army.find(1)->position, (Hex{2, 2}));
    EXPECT_FALSE(client.game.army.find(1)->moved);
    EXPECT_EQ(client.game.battle->round(), 1);
    EXPECT_EQ(client.game.battle->log().size(), 1u);
    EXPECT_EQ(client.game.selectedUnit, 1);
    EXPECT_TRUE(client.game.movementMessage.empty());
    EXPECT_FALSE(client.game.showLog);
    EXPECT_EQ(client.world.generation, 2u);
    EXPECT_EQ(client.view.camera, fitted);
    EXPECT_FALSE(client.mapView.rivers().graphics(client.mapView.scene()).bridgeCenter(bridgeEdge));
    press(client, SDLK_n, true);
    EXPECT_EQ(client.world.generation, 2u);

    // Once the game is decided nothing is built.
    client.game.battle = Battle(client.world.map, client.game.army, {{"Ziel", {6, 3}, blueSide}}, 10, 1);
    ASSERT_TRUE(client.game.battle->finished());
    press(client, SDLK_b);
    client.view.centerOn(client.world.gameWorld(east), 18);
    click(client, riverMiddle(west, east));
    EXPECT_EQ(client.game.movementMessage, "Partie beendet");
    EXPECT_FALSE(client.world.map.bridgeBetween(west, east));
    std::filesystem::remove_all(data);
}

// Units are hit on the picture drawn for the zoom, one pixel in and none out, around the rounded
// centre of each on-screen copy, also a copy whose centre lies left of the map area; a click across
// the seam moves onto the first column.
TEST(ClientPlay, PickingAtTheIconEdgesAndAcrossTheSeam) {
    const std::vector<std::string> rows(5, "pppppppppp");
    // Odd-r: column c of row r is q = c - r / 2; unit 1 stands in the last column.
    auto client = battleOn(rows, {{1, 0, "tank", {8, 2}}, {2, 1, "tank", {4, 0}}}, {Hex{3, 4}}, true);
    const Point world = client->world.gameWorld({8, 2});
    const auto picked = [&](int x, int y) {
        press(*client, SDLK_ESCAPE);
        client->event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y));
        return client->game.selectedUnit;
    };
    for (const double scale : {18.0, 60.0}) { // a counter, then the icon with its plate
        client->view.camera = {400.5 - world.x * scale, 300.5 - world.y * scale, scale, 1, 1};
        const UnitFootprint footprint = client->view.unitFootprint();
        EXPECT_EQ(footprint.icon, scale > 50);
        const ScreenRect b = ViewState::unitBounds(onScreen(*client, {8, 2}), footprint);
        ASSERT_EQ(b.x, 401 - footprint.width / 2); // 400.5 rounds away from zero
        const int right = b.x + b.w - 1;
        const int bottom = b.y + b.h - 1;
        for (const auto& [x, y] : {std::pair{b.x, 301}, {right, 301}, {401, b.y}, {401, bottom}}) {
            EXPECT_EQ(picked(x, y), 1) << x << ", " << y;
        }
        for (const auto& [x, y] : {std::pair{b.x - 1, 301}, {right + 1, 301}, {401, b.y - 1}, {401, bottom + 1}}) {
            EXPECT_FALSE(picked(x, y)) << x << ", " << y;
            EXPECT_TRUE(client->game.selected) << x << ", " << y; // the click marked a field instead
        }
    }
    client->view.camera = {400.5 - world.x * 18, 300.5 - world.y * 18, 18, 1, 1};
    const double period = client->world.map.width() * sqrt3 * 18;
    EXPECT_EQ(picked(static_cast<int>(std::lround(400.5 + period)), 301), 1); // the copy one world east

    // A copy 10.4 pixels left of the map area still shows its right part, and is hit there.
    client->view.camera.x -= 410.9;
    const int edge = -10 - client->view.unitFootprint().width / 2 + client->view.unitFootprint().width;
    EXPECT_EQ(picked(0, 301), 1);
    EXPECT_EQ(picked(edge - 1, 301), 1);
    EXPECT_FALSE(picked(edge, 301));

    // The field east of the last column is the first column of the same row.
    client->view.camera.x += 410.9;
    picked(401, 301);
    clickField(*client, Hex{9, 2});
    EXPECT_EQ(client->game.movementMessage, "Bewegung ausgefuehrt");
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{-1, 2}));
    EXPECT_EQ(client->game.army.find(1)->remaining, 3);
}

TEST(ClientPlay, PanelsShowTheTurnTheModeAndTheSelection) {
    auto client = battleOn({"ppppp", "ppppp", "ppppp"}, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {4, 2}}}, {Hex{2, 1}});
    HeadlessRenderer screen(1000, 800);
    client->event(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 800));
    const int sx = 1000 - 248;
    client->render(screen.get());
    EXPECT_TRUE(drawnText(screen, 26, 17, "BRANNOK: VARNHOLT", 3, ink, barBackground));
    EXPECT_TRUE(drawnText(screen, 27, 53, "RUNDE 1/10 - BLAU  ENTER: ZUG BEENDEN", 2, muted, barBackground));
    EXPECT_TRUE(drawnText(screen, sx, 800 - 65, "ZUG BEENDEN (ENTER)", 1, ink, buttonColor));
    EXPECT_TRUE(drawnText(screen, 16, 800 - 22, "F1: HILFE   U: EINHEIT   KLICK: AUSWAHL/ZIEL", 1, muted, barBackground));

    // A click on the second row of the unit list selects Red: its row lights up, the first stays dark.
    client->event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1000 - 100, 285 + unitRowHeight + 5));
    EXPECT_EQ(client->game.selectedUnit, 2);
    press(*client, SDLK_b);
    client->render(screen.get());
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 20, 285 + 2), {30, 46, 49, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 20, 285 + unitRowHeight + 2), {53, 68, 65, 255}));
    EXPECT_TRUE(drawnText(screen, sx, 500, "AUSWAHL", 2, gold, sidebarBackground));
    EXPECT_TRUE(drawnText(screen, 27, 53, "BRUECKENBAU  /  B ODER ESC: BEENDEN", 2, muted, barBackground));
    EXPECT_TRUE(drawnText(screen, 16, 800 - 22, "BRUECKE BAUEN: FLUSS ANKLICKEN", 1, muted, barBackground));
}

