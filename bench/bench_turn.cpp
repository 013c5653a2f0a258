// The computer's whole turn as the player waits for it after Enter: Client::renewMovement ends Blue's
// turn, plays all of Red and hands the turn back. On the shipped scenario through a whole game, and on
// a crowded synthetic one: 256 units packed among many rivers, every Red unit in contact.
#include "bench_armies.hpp"
#include "shell/client.hpp"
#include "shell/startup.hpp"
#include "shipped_client.hpp"
#include "synthetic_world.hpp"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

using namespace korvan;

namespace {

// Times renewMovement alone; whatever the iteration does around it is left out.
double secondsOfTurn(Client& client) {
    const auto start = std::chrono::steady_clock::now();
    client.endTurn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Blue between two computer turns, by the commands the player's clicks call: each unit fires at the
// first enemy it may hit, else drives to the reachable field nearest an objective Red holds and
// fires from there.
void bluePlays(Client& client) {
    const Battle& battle = *client.game.battle;
    const Army& army = client.game.army;
    const auto fire = [&](int id) {
        for (const Unit& enemy : army.units()) {
            if (enemy.side != blueSide && battle.preview(client.world.gameMap(), army, id, enemy.id).legal) {
                client.attackUnit(enemy.id); // changes the army: stop walking it
                return true;
            }
        }
        return false;
    };
    const auto distance = [&](Hex h) {
        int d = INT_MAX;
        for (const Objective& objective : battle.objectives()) {
            if (objective.owner != blueSide) {
                d = std::min(d, hexDistance(h, objective.position));
            }
        }
        return d;
    };
    std::vector<int> ids;
    for (const Unit& unit : army.units()) {
        if (unit.side == blueSide) {
            ids.push_back(unit.id);
        }
    }
    for (const int id : ids) {
        if (battle.finished() || army.find(id) == nullptr) {
            continue;
        }
        client.selectUnit(id, false);
        if (fire(id) || battle.finished()) {
            continue;
        }
        Hex best = army.find(id)->position;
        for (const auto& [field, node] : client.game.range) {
            if (distance(field) < distance(best)) {
                best = field;
            }
        }
        client.moveTo(best);
        if (!battle.finished() && army.find(id) != nullptr) {
            fire(id);
        }
    }
}

// A client with its scenario's start kept aside, to play the scenario again from there.
struct Scenario {
    void keepStart() {
        army = client->game.army;
        battle = client->game.battle;
    }
    void restart() {
        client->game.army = army;
        client->game.battle = battle;
    }
    std::unique_ptr<Client> client;
    Army army;
    std::optional<Battle> battle;
};

// The shipped world, units and scenario as start-up loads them. The renderer comes first so that it
// outlives the client's textures.
struct Shipped : bench::ShippedClient, Scenario {
    Shipped() {
        Scenario::client = std::move(ShippedClient::client);
        keepStart();
    }
};

// Every Red turn of shipped games in a row (13 rounds each unless Blue wins sooner): the marches of
// the first rounds and the fights around Wien later.
void shippedScenarioTurn(benchmark::State& state) {
    static Shipped shipped;
    Client& client = *shipped.Scenario::client;
    double longest = 0;
    std::size_t games = 1;
    for (auto _ : state) {
        bluePlays(client);
        if (client.game.battle->finished()) { // Blue took the last objective itself: the next game
            shipped.restart();
            ++games;
            bluePlays(client);
        }
        const double seconds = secondsOfTurn(client);
        state.SetIterationTime(seconds);
        longest = std::max(longest, seconds);
        if (client.game.battle->finished()) {
            shipped.restart();
            ++games;
        }
    }
    state.counters["longest_ms"] = longest * 1000;
    state.counters["games"] = double(games);
}
BENCHMARK(shippedScenarioTurn)->UseManualTime()->Iterations(39)->Unit(benchmark::kMillisecond);

// 1440 x 720 world fields with 400000 river sides (about one field side in eight) and bridges on
// every 50th column; on its play grid 256 units at random on the land of a 40 x 40 window, Blue in
// its western half and Red in the eastern, and eight Red objectives among them. The front fights;
// the units behind it search their way through the rivers.
struct Crowded : Scenario {
    Crowded() {
        std::istringstream text(bench::syntheticWorldJson(1440, 720, 400'000));
        client = std::make_unique<Client>(Map::load(text));
        const Map& grid = client->world.gameMap();
        std::vector<bench::Placement> land;
        const int firstColumn = grid.width() / 2 - 20;
        const int firstRow = grid.height() / 2 - 20;
        for (int row = firstRow; row < firstRow + 40; ++row) {
            for (int column = firstColumn; column < firstColumn + 40; ++column) {
                const Hex h = grid.hexAt(column, row);
                if (grid.at(h).terrain != Terrain::Water) {
                    land.push_back({h, column < firstColumn + 20 ? blueSide : redSide});
                }
            }
        }
        std::shuffle(land.begin(), land.end(), std::mt19937(7));
        client->game.army = bench::armyOn(grid, land, Army::maxUnits);
        if (client->game.army.units().size() != Army::maxUnits) {
            throw std::logic_error("the window holds too little land");
        }
        std::vector<Objective> objectives;
        for (auto p = land.rbegin(); p != land.rend() && objectives.size() < Battle::maxObjectives; ++p) {
            if (client->game.army.at(p->field) == nullptr) {
                objectives.push_back({"Ziel " + std::to_string(objectives.size() + 1), p->field, redSide});
            }
        }
        client->game.battle.emplace(grid, client->game.army, std::move(objectives), 1000, 12345);
        keepStart();
    }
};

// Red's first turn, the same every time: each of its units fires, or searches its way, moves and fires.
void crowdedScenarioTurn(benchmark::State& state) {
    static Crowded crowded;
    Client& client = *crowded.client;
    std::size_t lines = 0;
    std::size_t moves = 0;
    for (auto _ : state) {
        crowded.restart();
        state.SetIterationTime(secondsOfTurn(client));
        lines += client.game.battle->log().size() - crowded.battle->log().size();
        moves += std::size_t(std::count_if(client.game.army.units().begin(), client.game.army.units().end(),
                                           [](const Unit& unit) { return unit.side == redSide && unit.moved; }));
    }
    state.counters["log_lines"] = benchmark::Counter(double(lines), benchmark::Counter::kAvgIterations);
    state.counters["red_moves"] = benchmark::Counter(double(moves), benchmark::Counter::kAvgIterations);
    state.counters["grid_river_sides"] = double(client.world.gameMap().rivers().size());
}
BENCHMARK(crowdedScenarioTurn)->UseManualTime()->MinTime(3.0)->Unit(benchmark::kMillisecond);

} // namespace
