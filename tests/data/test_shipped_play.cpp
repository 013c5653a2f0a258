// The shipped scenario played to its end through the input, as a player would.
#include "drawn_text.hpp"
#include "headless_renderer.hpp"
#include "kit/palette.hpp"
#include "input_driver.hpp"
#include "shell/client.hpp"
#include "view_state/battle_text.hpp"
#include "shell/startup.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <optional>

using namespace korvan;
using namespace korvan::testing;

namespace {

constexpr SDL_Color buttonColor{44, 64, 65, 255};

// The shipped scenario as start-up builds it, played to its end by a scripted Blue that only clicks
// and presses keys: U to take each unit in turn, a click on the enemy it hurts most or else on the
// reachable free field nearest an objective Red holds, Enter to hand the turn to the computer.
TEST(ClientPlay, ShippedScenarioPlayedToTheEndThroughTheInput) {
    HeadlessRenderer screen(1280, 850);
    const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    const auto client = createClient(screen.get(), WorldSources{data, {}, false});
    ASSERT_TRUE(client->game.battle);
    Battle& battle = *client->game.battle;
    const Army& army = client->game.army;
    int moves = 0;
    int attacks = 0;

    const auto clickable = [&](Point p) { return client->view.onMap(p); };
    // Fires at the legal target with the best sure damage, less the worst return fire.
    const auto fire = [&](int id) {
        int best = INT_MIN;
        std::optional<Hex> target;
        for (const Unit& enemy : army.units()) {
            if (enemy.side == blueSide) {
                continue;
            }
            const AttackPreview p = battle.preview(client->world.gameMap(), army, id, enemy.id);
            const int score = p.defenderMin * 10 - p.attackerMax * 5 + (p.defenderMin >= enemy.strength ? 100 : 0);
            if (p.legal && score > best && clickable(onScreen(*client, enemy.position))) {
                best = score;
                target = enemy.position;
            }
        }
        if (target) {
            clickField(*client, *target);
            attacks += client->game.movementMessage.find(" -> ") != std::string::npos;
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
        for (const auto& [field, node] : client->game.range) {
            const Point p = onScreen(*client, field);
            if (node.cost > 0 && distance(field) < distance(best.value_or(from)) && clickable(p) &&
                !client->view.unitAt(client->game.army, p)) {
                best = field;
            }
        }
        if (best) {
            clickField(*client, *best);
            moves += client->game.movementMessage.rfind("Bewegung ausgefuehrt", 0) == 0;
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
            for (std::size_t k = 0; k <= ids.size() && client->game.selectedUnit != id; ++k) {
                press(*client, SDLK_u);
            }
            if (battle.finished() || client->game.selectedUnit != id) {
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
            if (client->game.movementMessage.rfind("Noch ", 0) == 0) {
                press(*client, SDLK_RETURN); // past the warning about units that could still act
            }
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
    EXPECT_EQ(client->game.movementMessage, battle.status());
    EXPECT_EQ(battle.round(), round);
    client->render(screen.get());
    const int middle = (1280 - 270) / 2;
    EXPECT_TRUE(sameColor(screen.pixel(middle - 215, 104), barBackground));
    EXPECT_TRUE(drawnText(screen, middle - 170, 112, battle.status(), 2, gold, barBackground));
    EXPECT_TRUE(drawnText(screen, middle - 170, 138, endReason(battle, army), 1, ink, barBackground));
    EXPECT_TRUE(drawnText(screen, middle - 170, 160, "N: NEUE PARTIE   H: PROTOKOLL", 1, muted, barBackground));
    EXPECT_TRUE(drawnText(screen, 1280 - 248, 850 - 65, "NEUE PARTIE (N)", 1, ink, buttonColor));
    EXPECT_TRUE(drawnText(screen, 27, 53, battle.status() + "  ENTER: ZUG BEENDEN", 2, muted, barBackground));

    // The action button starts the new game.
    client->event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1280 - 100, 850 - 60));
    EXPECT_FALSE(client->game.battle->finished());
    EXPECT_EQ(client->game.battle->round(), 1);
    EXPECT_EQ(client->game.selectedUnit, 1);
}

} // namespace
