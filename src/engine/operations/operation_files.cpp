#include "operations/operation_files.hpp"

#include "forces/battle.hpp"
#include "operations/operation.hpp"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace korvan {

namespace {

// "longitude":..,"latitude":.. of a field's centre; six decimals keep it well inside its field.
std::string position(const Map& grid, Hex field) {
    Point p = grid.geography(field);
    if (p.x > 180.0) {
        p.x -= 360.0;
    }
    char text[80];
    std::snprintf(text, sizeof text, "\"longitude\":%.6f,\"latitude\":%.6f", p.x, p.y);
    return text;
}

void writeType(std::ostream& out, const UnitType& type) {
    out << "{\"id\":\"" << type.id << "\",\"name\":\"" << type.name << "\",\"class\":\"" << unitClassId(type.kind)
        << "\",\"movement\":" << type.movement << ",\"road_cost\":" << type.roadCost
        << ",\"attack_soft\":" << type.attackSoft << ",\"attack_hard\":" << type.attackHard
        << ",\"defense\":" << type.defense << ",\"range\":" << type.range << ",\"ammo\":" << type.maxAmmo
        << ",\"costs\":{";
    for (int t = 0; t < terrainCount; ++t) {
        const int cost = type.costs[std::size_t(t)];
        out << (t ? "," : "") << '"' << terrainId(static_cast<Terrain>(t)) << "\":";
        if (cost < 0) {
            out << "null";
        } else {
            out << cost;
        }
    }
    out << "}}";
}

} // namespace

std::string unitsFile(const Map& grid, const std::vector<UnitType>& types, const OperationPlan& plan) {
    std::ostringstream out;
    out << "{\n\"schema_version\":1,\n\"types\":[\n";
    for (std::size_t k = 0; k < types.size(); ++k) {
        writeType(out, types[k]);
        out << (k + 1 < types.size() ? ",\n" : "\n");
    }
    out << "],\n\"world_units\":[\n";
    for (std::size_t k = 0; k < plan.units.size(); ++k) {
        const OperationUnit& unit = plan.units[k];
        out << "{\"id\":" << k + 1 << ",\"side\":" << unit.side << ",\"name\":\"" << unit.name << "\",\"type\":\""
            << types.at(std::size_t(unit.type)).id << "\"," << position(grid, unit.position) << "}"
            << (k + 1 < plan.units.size() ? ",\n" : "\n");
    }
    out << "],\n\"operation_units\":[]\n}\n";
    return out.str();
}

std::string battlesFile(const Map& grid, const OperationPlan& plan) {
    std::ostringstream out;
    out << "{\n\"schema_version\":1,\n\"name\":\"" << plan.name << "\",\n\"world\":{\"round_limit\":" << plan.roundLimit
        << ",\"seed\":" << plan.seed << ",\"objectives\":[";
    for (std::size_t k = 0; k < plan.objectives.size(); ++k) {
        out << (k ? ",\n" : "\n") << "{\"name\":\"" << plan.objectives[k].name << "\","
            << position(grid, plan.objectives[k].position) << "}";
    }
    out << "]}\n}\n";
    return out.str();
}

Scenario loadOperation(const World& world, const GeneratedOperation& operation) {
    std::istringstream units(operation.units);
    std::istringstream battles(operation.battles);
    Scenario scenario{Army::load(world.gameMap(), units), std::nullopt};
    scenario.battle = Battle::load(world.gameMap(), scenario.army, battles);
    return scenario;
}

void exportOperation(const GeneratedOperation& operation, const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const auto& [name, text] : {std::pair{"units.json", &operation.units}, {"battles.json", &operation.battles}}) {
        const std::filesystem::path path = folder / name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << *text;
        out.flush();
        if (!out) {
            throw std::runtime_error(path.string() + ": Datei konnte nicht geschrieben werden");
        }
    }
}

} // namespace korvan
