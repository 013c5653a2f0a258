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

    // The computer's whole turn for the active side, ending it unless the game is decided.
    void playAi(const Map& map, Army& army);

private:
    int roll();
    void record(std::string line);
    void evaluate(const Army& army);

    int active_ = blueSide;
    int round_ = 1;
    int limit_ = 1;
    std::uint32_t random_ = 1; // xorshift state, never 0
    Outcome outcome_ = Outcome::Ongoing;
    std::vector<Objective> objectives_;
    std::vector<std::string> log_;
};

} // namespace korvan
