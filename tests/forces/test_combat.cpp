// Combat: wrap-aware range, cover and damage numbers, the preview with its refusals, and the exchange.
#include "forces/combat.hpp"
#include "forces_fixtures.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using forces::makeArmy;
using forces::makeBattle;
using forces::makeMap;

TEST(Separation, TakesTheShortWayAcrossTheSeam) {
    const Map wrapping = makeMap({"pppppppppp", "pppppppppp", "pppppppppp", "pppppppppp"}, {}, true);
    const Map flat = makeMap({"pppppppppp", "pppppppppp", "pppppppppp", "pppppppppp"});
    EXPECT_EQ(separation(wrapping, {0, 0}, {9, 0}), 1);
    EXPECT_EQ(separation(wrapping, {9, 0}, {0, 0}), 1);
    EXPECT_EQ(separation(flat, {0, 0}, {9, 0}), 9);
    // Row 3 of the odd-r map holds q -1 .. 8: its first and last fields meet across the seam.
    EXPECT_EQ(separation(wrapping, {-1, 3}, {8, 3}), 1);
    EXPECT_EQ(separation(wrapping, {0, 0}, {8, 3}), 3); // via (-2, 3), one copy to the west
    EXPECT_EQ(separation(wrapping, {2, 1}, {2, 1}), 0);
    // Half way round either direction is the same.
    EXPECT_EQ(separation(wrapping, {0, 0}, {5, 0}), 5);
}

TEST(Damage, FormulaCoverAndLimits) {
    const Map map = makeMap({"pfhmc", "ppppp"});
    const std::string strongTypes = R"([
      {"id": "tank", "name": "Panzer", "class": "tank", "movement": 4, "road_cost": 1,
       "costs": {"plain": 1, "forest": 2, "hills": 2, "mountain": 3, "city": 1, "water": null,
                 "farmland": 1, "wetland": 3, "desert": 1, "ice": 2, "scrub": 1}},
      {"id": "inf", "name": "Infanterie", "class": "infantry", "movement": 3, "road_cost": 1,
       "costs": {"plain": 1, "forest": 1, "hills": 2, "mountain": 3, "city": 1, "water": null,
                 "farmland": 1, "wetland": 2, "desert": 1, "ice": 2, "scrub": 1}},
      {"id": "super", "name": "Super", "class": "recon", "movement": 3, "road_cost": 1,
       "attack_soft": 50, "attack_hard": 1, "defense": 2,
       "costs": {"plain": 1, "forest": 1, "hills": 2, "mountain": 3, "city": 1, "water": null,
                 "farmland": 1, "wetland": 2, "desert": 1, "ice": 2, "scrub": 1}}
    ])";
    const Army army = makeArmy(map, {{1, 0, "tank", {0, 1}},
                                     {2, 1, "inf", {1, 0}},
                                     {3, 0, "super", {2, 1}},
                                     {4, 1, "tank", {3, 1}, 1}},
                               strongTypes);
    const Unit& tank = *army.find(1);
    const Unit& infantry = *army.find(2);
    const Unit& strong = *army.find(3);
    const Unit& weak = *army.find(4);

    EXPECT_EQ(cover(Terrain::Plain), 0);
    EXPECT_EQ(cover(Terrain::Forest), 2);
    EXPECT_EQ(cover(Terrain::Hills), 2);
    EXPECT_EQ(cover(Terrain::Mountain), 4);
    EXPECT_EQ(cover(Terrain::City), 4);
    EXPECT_EQ(cover(Terrain::Wetland), 0);

    // Soft target in forest: 7 * 10 * (v + 8) / ((6 + 2 + 4) * 20).
    const Tile forest{Terrain::Forest, false, false};
    EXPECT_EQ(damage(army, tank, infantry, forest, 0), 2); // 560 / 240
    EXPECT_EQ(damage(army, tank, infantry, forest, 4), 3); // 840 / 240
    // A tank is a hard target: the infantry's attack_hard 6 counts, not its attack_soft 7.
    const Tile plain{Terrain::Plain, false, false};
    EXPECT_EQ(damage(army, infantry, tank, plain, 4), 3); // 720 / 200
    EXPECT_EQ(damage(army, infantry, tank, {Terrain::City, false, false}, 4), 2); // 720 / 280
    // Never below 1 (a strength-1 tank against a hard target), never above 10.
    EXPECT_EQ(damage(army, weak, tank, {Terrain::Mountain, false, false}, 0), 1);
    EXPECT_EQ(damage(army, strong, infantry, plain, 4), 10); // 6000 / 200 = 30
    EXPECT_EQ(damage(army, strong, tank, plain, 4), 1);       // attack_hard 1 against the tank
}

TEST(Preview, NumbersAndReturnFire) {
    const Map map = makeMap({"pfppp", "ppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}},
                               {2, 1, "inf", {1, 0}},
                               {3, 1, "inf", {0, 1}, 2},
                               {4, 0, "gun", {3, 0}},
                               {5, 1, "inf", {4, 1}, 10, 0}});
    const Battle battle = makeBattle(map, army, {{2, 1}});

    const AttackPreview forest = battle.preview(map, army, 1, 2);
    EXPECT_TRUE(forest.legal);
    EXPECT_EQ(forest.message, "Angriff moeglich");
    EXPECT_EQ(forest.defenderMin, 2);
    EXPECT_EQ(forest.defenderMax, 3);
    EXPECT_EQ(forest.attackerMin, 2); // 480 / 200 on the tank's plain field
    EXPECT_EQ(forest.attackerMax, 3);

    // The loss never exceeds the defender's strength.
    const AttackPreview weak = battle.preview(map, army, 1, 3);
    EXPECT_EQ(weak.defenderMin, 2);
    EXPECT_EQ(weak.defenderMax, 2);

    // No answer from beyond the defender's range, nor without ammunition.
    const AttackPreview distant = battle.preview(map, army, 4, 2);
    EXPECT_TRUE(distant.legal);
    EXPECT_EQ(distant.attackerMin, 0);
    EXPECT_EQ(distant.attackerMax, 0);
    const AttackPreview empty = battle.preview(map, army, 4, 5);
    EXPECT_TRUE(empty.legal);
    EXPECT_EQ(empty.attackerMax, 0);
}

TEST(Preview, RefusesInOrder) {
    const Map map = makeMap({"ppppp", "ppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}, 10, 1},
                               {2, 1, "inf", {1, 0}},
                               {3, 0, "inf", {0, 1}, 10, 0},
                               {4, 0, "tank", {4, 1}}});
    Battle battle = makeBattle(map, army, {{2, 1}}, 1);
    const auto refusal = [&](int a, int b) {
        const AttackPreview p = battle.preview(map, army, a, b);
        EXPECT_FALSE(p.legal);
        EXPECT_EQ(p.defenderMin + p.defenderMax + p.attackerMin + p.attackerMax, 0);
        return p.message;
    };
    EXPECT_EQ(refusal(1, 99), "Einheit nicht gefunden");
    EXPECT_EQ(refusal(99, 2), "Einheit nicht gefunden");
    EXPECT_EQ(refusal(2, 1), "Andere Seite am Zug");
    EXPECT_EQ(refusal(1, 3), "Kein feindliches Ziel");
    EXPECT_EQ(refusal(3, 2), "Keine Munition");
    EXPECT_EQ(refusal(4, 2), "Ziel ausser Reichweite");

    // A refused attack changes nothing and draws no number.
    const CombatResult refused = battle.attack(map, army, 4, 2);
    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.message, "Ziel ausser Reichweite");
    EXPECT_EQ(battle.log().size(), 1u);

    // Its last round: the first roll of the fresh generator (4) decides the loss.
    const CombatResult fired = battle.attack(map, army, 1, 2);
    ASSERT_TRUE(fired.success);
    EXPECT_EQ(fired.defenderLoss, 4);
    // Attacked with the last round: the attack flag is checked before the ammunition.
    EXPECT_EQ(refusal(1, 2), "Bereits angegriffen");
    EXPECT_EQ(army.find(1)->ammo, 0);
    // An attack ends movement, which the move reports before "already moved".
    EXPECT_EQ(army.move(map, 1, {0, 1}).message, "Nach Angriff keine Bewegung");

    ASSERT_TRUE(battle.endTurn(army, blueSide));
    ASSERT_TRUE(battle.endTurn(army, redSide));
    ASSERT_TRUE(battle.finished());
    EXPECT_EQ(refusal(1, 2), "Partie beendet");
    EXPECT_EQ(battle.attack(map, army, 1, 2).message, "Partie beendet");
}

TEST(Attack, ExchangesFireFromTheSeededGenerator) {
    // Seed 1 rolls 4, 4, 1, 0, 3.
    const Map map = makeMap({"pppppp", "pppppp", "pppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 1, "inf", {1, 1}}, {3, 0, "gun", {3, 1}}});
    Battle battle = makeBattle(map, army, {{5, 2}}, 5, 1);

    // Moving first does not prevent the attack.
    ASSERT_TRUE(battle.move(map, army, 1, {0, 2}).success);
    const CombatResult first = battle.attack(map, army, 1, 2);
    EXPECT_TRUE(first.success);
    EXPECT_EQ(first.message, "U1 -> U2: -4 / Gegenfeuer -3"); // 840 / 200 and 720 / 200
    EXPECT_EQ(first.defenderLoss, 4);
    EXPECT_EQ(first.attackerLoss, 3);
    EXPECT_FALSE(first.attackerDestroyed);
    EXPECT_FALSE(first.defenderDestroyed);
    EXPECT_EQ(battle.log().back(), first.message);
    EXPECT_EQ(army.find(1)->strength, 7);
    EXPECT_EQ(army.find(1)->ammo, 7);
    EXPECT_TRUE(army.find(1)->attacked);
    EXPECT_EQ(army.find(2)->strength, 6);
    EXPECT_EQ(army.find(2)->ammo, 7); // it fired back

    // Out of the infantry's range: no return fire, one draw (roll 1): 9 * 10 * 9 / 200.
    const CombatResult second = battle.attack(map, army, 3, 2);
    EXPECT_EQ(second.message, "U3 -> U2: -4 / Gegenfeuer -0");
    EXPECT_EQ(army.find(2)->strength, 2);
    EXPECT_EQ(army.find(2)->ammo, 7);
    EXPECT_EQ(army.find(3)->strength, 10);

    // Red's weak unit attacks (roll 0: 96 / 200, at least 1) and dies to the return fire
    // (roll 3: 7 * 7 * 11 / 200 = 2), which was its last unit.
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    const CombatResult third = battle.attack(map, army, 2, 1);
    EXPECT_EQ(third.message, "U2 -> U1: -1 / Gegenfeuer -2 - U2 VERNICHTET");
    EXPECT_TRUE(third.attackerDestroyed);
    EXPECT_FALSE(third.defenderDestroyed);
    EXPECT_EQ(army.find(2), nullptr);
    EXPECT_EQ(army.find(1)->strength, 6);
    EXPECT_EQ(battle.outcome(), Outcome::BlueVictory);
    const auto& log = battle.log();
    EXPECT_EQ(log[log.size() - 2], "U2 -> U1: -1 / Gegenfeuer -2 - U2 VERNICHTET");
    EXPECT_EQ(log.back(), "SIEG BLAU");
}

TEST(Attack, SeedZeroPlaysLikeSeedOne) {
    const Map map = makeMap({"ppp"});
    const auto firstLine = [&](std::uint32_t seed) {
        Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {1, 0}}});
        Battle battle = makeBattle(map, army, {{2, 0}}, 5, seed);
        return battle.attack(map, army, 1, 2).message;
    };
    EXPECT_EQ(firstLine(0), firstLine(1));
    EXPECT_NE(firstLine(2), firstLine(1)); // 2 rolls 3 first: 7 * 10 * 11 / 200 = 3
}

TEST(Attack, DestroysAndKeepsTheOrderOfSurvivors) {
    const Map map = makeMap({"pppp", "pppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {1, 0}, 2}, {3, 1, "inf", {3, 1}},
                               {4, 0, "inf", {3, 0}}});
    Battle battle = makeBattle(map, army, {{0, 1}});
    const CombatResult result = battle.attack(map, army, 1, 2);
    EXPECT_EQ(result.defenderLoss, 2); // 4 capped at the strength left
    EXPECT_TRUE(result.defenderDestroyed);
    ASSERT_EQ(army.units().size(), 3u);
    EXPECT_EQ(army.units()[0].id, 1);
    EXPECT_EQ(army.units()[1].id, 3);
    EXPECT_EQ(army.units()[2].id, 4);
    EXPECT_EQ(battle.outcome(), Outcome::Ongoing);
}

TEST(Attack, MutualDestructionOfTheLastUnitsIsADraw) {
    const Map map = makeMap({"pp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}, 1}, {2, 1, "tank", {1, 0}, 1}});
    Battle battle = makeBattle(map, army, {{1, 0}});
    const CombatResult result = battle.attack(map, army, 1, 2);
    EXPECT_EQ(result.message, "U1 -> U2: -1 / Gegenfeuer -1 - U2 VERNICHTET - U1 VERNICHTET");
    EXPECT_TRUE(result.attackerDestroyed);
    EXPECT_TRUE(result.defenderDestroyed);
    EXPECT_TRUE(army.units().empty());
    EXPECT_EQ(battle.outcome(), Outcome::Draw);
    EXPECT_EQ(battle.log().back(), "UNENTSCHIEDEN");
}

TEST(Attack, ReachesAcrossTheWrapSeam) {
    const Map map = makeMap({"pppppp", "pppppp"}, {}, true);
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {5, 0}}});
    Battle battle = makeBattle(map, army, {{2, 1}});
    EXPECT_TRUE(battle.preview(map, army, 1, 2).legal);
    EXPECT_TRUE(battle.attack(map, army, 1, 2).success);
}
