// One game: turns and rounds, objectives, victory, the combat generator, the log and the computer side.
#pragma once

#include "forces/army.hpp"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace korvan {

class Map;

enum class Outcome : std::int32_t {
    Ongoing = 0,
    BlueVictory = 1,
    RedVictory = 2,
    Draw = 3,
};

struct Objective {
    std::string name;
    Hex position;
    int owner = redSide;
};

struct AttackPreview {
    bool legal = false;
    std::string message;
    int defenderMin = 0; // strength the defender loses with the lowest and the highest roll
    int defenderMax = 0;
    int attackerMin = 0; // return fire; 0 when the defender cannot answer
    int attackerMax = 0;
};

struct CombatResult {
    bool success = false;
    std::string message;
    int attackerLoss = 0;
    int defenderLoss = 0;
    bool attackerDestroyed = false;
    bool defenderDestroyed = false;
};

// What the side playing did in its turn: the summary after the computer's turn and the units to mark.
struct TurnReport {
    int moves = 0;
    int attacks = 0;
    int ownLoss = 0;   // strength points the side playing lost
    int enemyLoss = 0; // and took from the other side
    int ownDestroyed = 0;
    int enemyDestroyed = 0;
    std::vector<std::string> captured; // objectives it took
    std::vector<int> acted;            // its units that moved or fired, in order
};

// Everything of a battle that play changes; the objectives' names and places and the round limit
// come from the scenario.
struct BattleState {
    int active = blueSide;
    int round = 1;
    std::uint32_t random = 1;
    Outcome outcome = Outcome::Ongoing;
    std::vector<int> owners; // per objective
    std::vector<std::string> log;
};

class Battle {
public:
    static constexpr std::size_t logLimit = 200;
    static constexpr int maxRoundLimit = 1000;
    static constexpr std::size_t maxObjectives = 8;

    // Reads the "world" or "operation" scenario, by the map's kind.
    static Battle load(const Map& map, const Army& army, const std::filesystem::path& path);
    static Battle load(const Map& map, const Army& army, std::istream& input);

    Battle(const Map& map, const Army& army, std::vector<Objective> objectives, int roundLimit, std::uint32_t seed);

    int activeSide() const { return active_; }
    int round() const { return round_; }
    int roundLimit() const { return limit_; }
    Outcome outcome() const { return outcome_; }
    bool finished() const { return outcome_ != Outcome::Ongoing; }
    const std::vector<Objective>& objectives() const { return objectives_; }
    const std::vector<std::string>& log() const { return log_; }
    std::string status() const;

    // Army::move for the active side, plus objective capture and victory.
    MoveResult move(const Map& map, Army& army, int id, Hex target);
    // Hands the turn to the other side; false (and no change) unless `side` is active and the game open.
    bool endTurn(Army& army, int side);

    AttackPreview preview(const Map& map, const Army& army, int attacker, int defender) const;
    CombatResult attack(const Map& map, Army& army, int attacker, int defender);

    // The computer's whole turn for the active side, ending it unless the game is decided; what it did.
    TurnReport playAi(const Map& map, Army& army);
    BattleState state() const;
    // Puts a state back; throws, changing nothing, when it does not fit this scenario.
    void restore(BattleState state);

    // What the active side did so far in this turn.
    const TurnReport& turnReport() const { return report_; }

private:
    int roll();
    void record(std::string line);
    void evaluate(const Army& army);
    void noteActed(int id);

    int active_ = blueSide;
    int round_ = 1;
    int limit_ = 1;
    std::uint32_t random_ = 1; // xorshift state, never 0
    Outcome outcome_ = Outcome::Ongoing;
    std::vector<Objective> objectives_;
    std::vector<std::string> log_;
    TurnReport report_;
};

} // namespace korvan
