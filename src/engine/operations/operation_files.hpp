// A generated operation as the scenario files hold it: the army file with the unit types and the
// units at their longitude and latitude, the scenario file with the objectives, rounds and seed.
#pragma once

#include "forces/army.hpp"
#include "map/map.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace korvan {

struct OperationUnit {
    int side = blueSide;
    std::string name;
    int type = 0; // index into the unit types
    Hex position; // a play-grid field
};

struct OperationObjective {
    std::string name;
    Hex position;
};

struct OperationPlan {
    std::string name;
    int roundLimit = 1;
    std::uint32_t seed = 1;
    std::vector<OperationObjective> objectives;
    std::vector<OperationUnit> units; // ids follow the order, from 1
};

// The files' text; every position is written so that the world loaders place it on its field again.
std::string unitsFile(const Map& grid, const std::vector<UnitType>& types, const OperationPlan& plan);
std::string battlesFile(const Map& grid, const OperationPlan& plan);

} // namespace korvan
