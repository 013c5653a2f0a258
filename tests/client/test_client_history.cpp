// Undo, quick save and load, the enemy's details and the help, all through the client's input.
#include "shell/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "drawn_text.hpp"
#include "input_driver.hpp"
#include "kit/palette.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace korvan;
using namespace korvan::testing;

namespace {

std::unique_ptr<Client> skirmish() {
    auto client = std::make_unique<Client>(forces::makeMap({"ppppppppp", "ppppppppp", "ppppppppp", "ppppppppp"}));
    client->game.army = forces::makeArmy(client->world.map,
                                         {{1, 0, "tank", {1, 1}}, {2, 0, "inf", {1, 2}}, {3, 1, "tank", {6, 1}, 7, 3}});
    client->game.battle = forces::makeBattle(client->world.map, client->game.army, {{8, 3}});
    client->view.centerOn(client->world.gameWorld({4, 2}), 18);
    return client;
}

SDL_Event ctrl(SDL_Keycode code) {
    SDL_Event e = keyEvent(code);
    e.key.keysym.mod = KMOD_LCTRL;
    return e;
}

} // namespace

TEST(ClientHistory, BackspaceAndCtrlZTakeMovesBackAndF9LoadsWhatF5Saved) {
    const std::filesystem::path home = std::filesystem::path(::testing::TempDir()) / "korvan_client_history";
    std::filesystem::remove_all(home);
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    auto client = skirmish();
    const Camera camera = client->view.camera;

    clickField(*client, {1, 1});
    clickField(*client, {3, 1});
    clickField(*client, {1, 2});
    clickField(*client, {0, 2});
    ASSERT_EQ(client->game.army.find(2)->position, (Hex{0, 2}));
    press(*client, SDLK_F5);
    EXPECT_EQ(client->game.movementMessage, "Gespeichert: schnellspeicher.json");
    EXPECT_TRUE(std::filesystem::exists(home / "korvan" / "schnellspeicher.json"));

    press(*client, SDLK_BACKSPACE);
    EXPECT_EQ(client->game.movementMessage, "Bewegung zurueckgenommen: U2");
    EXPECT_EQ(client->game.army.find(2)->position, (Hex{1, 2}));
    press(*client, SDLK_z); // without Ctrl only a key
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{3, 1}));
    client->event(ctrl(SDLK_z));
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{1, 1}));
    EXPECT_FALSE(client->game.army.find(1)->moved);
    press(*client, SDLK_BACKSPACE);
    EXPECT_EQ(client->game.movementMessage, "Nichts rueckgaengig zu machen: noch keine Bewegung in diesem Zug");
    EXPECT_EQ(client->view.camera, camera); // nothing of it moves the view

    press(*client, SDLK_F9);
    EXPECT_EQ(client->game.movementMessage, "Geladen: schnellspeicher.json. RUNDE 1/10 - BLAU");
    EXPECT_EQ(client->game.army.find(1)->position, (Hex{3, 1}));
    EXPECT_EQ(client->game.army.find(2)->position, (Hex{0, 2}));
    press(*client, SDLK_BACKSPACE); // a loaded game starts a new history
    EXPECT_EQ(client->game.movementMessage, "Nichts rueckgaengig zu machen: Spielstand geladen");
    std::filesystem::remove_all(home);
}

TEST(ClientHistory, HoveredEnemyIsDescribedWhileTheAttackPreviewStays) {
    auto client = skirmish();
    HeadlessRenderer screen(1280, 850);
    clickField(*client, {1, 1});
    clickField(*client, {5, 1});
    ASSERT_TRUE(client->game.canAttack(3));
    pointAt(*client, onScreen(*client, {6, 1}));
    client->render(screen.get());
    const int sx = 1280 - 248;
    EXPECT_TRUE(drawnText(screen, sx, 690, "EINHEIT UNTER MAUS", 1, gold, sidebarBackground));
    EXPECT_TRUE(drawnText(screen, sx, 704, "U3", 1, ink, sidebarBackground));
    EXPECT_TRUE(drawnText(screen, sx, 716, "PANZER - PANZER - ROT", 1, sideColor(redSide), sidebarBackground));
    EXPECT_TRUE(drawnText(screen, sx, 728, "STAERKE 7/10  MUNITION 3/8", 1, sideColor(redSide), sidebarBackground));
    EXPECT_TRUE(drawnText(screen, sx, 605, "ZIEL -", 1, muted, sidebarBackground)); // the preview

    // F1 lays the help over the map; Escape closes it and only it: the unit stays selected.
    press(*client, SDLK_F1);
    EXPECT_TRUE(client->view.helpVisible);
    client->render(screen.get());
    press(*client, SDLK_ESCAPE);
    EXPECT_FALSE(client->view.helpVisible);
    EXPECT_EQ(client->game.selectedUnit, 1);
    SDL_Event question{};
    question.type = SDL_TEXTINPUT;
    question.text.text[0] = '?';
    client->event(question);
    EXPECT_TRUE(client->view.helpVisible);
}
