// The numbers that shape a generated operation, in one place with their reasons. They were set
// against the shipped operation around Wien (six objectives over ten fields, fifteen Blue and
// thirteen Red units, fourteen rounds) and tuned by playing generated operations all over the world.
#pragma once

namespace korvan::operation_knobs {

// Objectives are the important cities within this many fields of the chosen one: St. Poelten to
// Schwechat, the shipped operation's spread, is ten fields.
inline constexpr int objectiveRadius = 6;
// Where the chosen city's neighbours are few, the search widens by this step up to the widest radius.
inline constexpr int objectiveRadiusStep = 3;
inline constexpr int widestObjectiveRadius = 15;
inline constexpr int minObjectives = 3;
inline constexpr int maxObjectives = 8;
// Objectives closer than this would be one fight over one place.
inline constexpr int objectiveSpacing = 2;

// The ground of the operation: the objectives and Blue's approach.
inline constexpr int areaRadius = 24;
// Share of the area's fields that must be land joined to the chosen city: below it, an island or a
// narrow coast leaves no room for an approach.
inline constexpr double minLandShare = 0.25;

// Blue assembles this many fields beyond the objective radius, as far as it can get on land.
inline constexpr int startInner = objectiveRadius + 4;
inline constexpr int startOuter = objectiveRadius + 8;
// ... and at least this far from every objective, out of contact with Red's garrisons and reserves.
inline constexpr int startGap = 5;
// The directions Blue may come from (sectors around the chosen city).
inline constexpr int sectors = 12;

// Red: a garrison on every objective and reserves near them.
inline constexpr int redReservesPerObjective = 1;
inline constexpr int redExtra = 1;
// Attackers need more: Blue's units per Red unit.
inline constexpr double forceRatio = 1.1;
inline constexpr int maxUnitsPerSide = 30;
// One reconnaissance unit per this many units of a side, at least one.
inline constexpr int unitsPerRecon = 7;

// Rounds: the way to the farthest objective at this many fields a round, a round per objective to
// take it, and a little slack; bounded to keep an operation between short and long.
inline constexpr int fieldsPerRound = 3;
inline constexpr int slackRounds = 2;
inline constexpr int minRounds = 8;
inline constexpr int maxRounds = 30;

// A river names the operation when it runs through the ground with this weight (sides times the
// square of their width class): the Donau at Wien has hundreds, a brook a handful.
inline constexpr int namingRiverWeight = 40;

} // namespace korvan::operation_knobs
