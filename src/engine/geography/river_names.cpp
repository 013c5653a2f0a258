// Loading river and bridge names and looking them up by river-edge index.
#include "core/data_file.hpp"
#include "geography/river_names.hpp"
#include "core/json_values.hpp"

#include <fstream>
#include <limits>
#include <stdexcept>

namespace korvan {

using nlohmann::json;

namespace {

void fail(const char* message) { throw std::runtime_error(message); }

constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();

// The river edge between the hexes given by elements 0 to 3; the entry is already checked to
// hold integers. Coordinates beyond 32 bits lie off every map.
std::optional<std::size_t> edgeOf(const Map& map, const json& entry) {
    std::int64_t v[4];
    for (std::size_t k = 0; k < 4; ++k) {
        const auto value = boundedInteger(entry[k], int32Min, int32Max);
        if (!value) {
            return std::nullopt;
        }
        v[k] = *value;
    }
    const Hex a{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1])};
    const Hex b{static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])};
    return map.riverEdgeIndex(a, b);
}

bool holdsIntegers(const json& entry, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        if (!entry[k].is_number_integer()) {
            return false;
        }
    }
    return true;
}

// Only these top-level keys of a map file matter here; the terrain and river rows are skipped
// while parsing instead of being built into a document.
bool keepBridgeKeys(int depth, json::parse_event_t event, json& parsed) {
    if (depth == 1 && event == json::parse_event_t::key) {
        const auto& key = parsed.get_ref<const std::string&>();
        return key == "width" || key == "height" || key == "bridge_names";
    }
    return true;
}

} // namespace

RiverNames RiverNames::load(const Map& map, std::istream& input) {
    const json document = parseJson(input);
    if (document.at("schema_version") != 1 || document.at("width") != map.width() ||
        document.at("height") != map.height()) {
        fail("Flussnamen passen nicht zur Weltkarte");
    }
    RiverNames result;
    result.names_ = document.at("names").get<std::vector<std::string>>();
    result.edges_.assign(map.rivers().size(), -1);
    const auto nameCount = static_cast<std::int64_t>(result.names_.size());
    for (const json& entry : document.at("edges").get_ref<const json::array_t&>()) {
        if (!entry.is_array() || entry.size() != 5 || !holdsIntegers(entry, 5)) {
            fail("Ungueltige Flussnamenskante");
        }
        const auto edge = edgeOf(map, entry);
        const auto name = boundedInteger(entry[4], 0, nameCount - 1);
        if (!edge || !name || result.names_[static_cast<std::size_t>(*name)].empty()) {
            fail("Ungueltige Flussnamenszuordnung");
        }
        int& slot = result.edges_[*edge];
        if (slot != -1) {
            fail("Doppelte Flussnamenszuordnung");
        }
        slot = static_cast<int>(*name);
    }
    return result;
}

RiverNames RiverNames::load(const Map& map, const std::filesystem::path& file) {
    std::ifstream input = openDataFile(file, "Flussnamen nicht lesbar: " + file.string());
    return load(map, input);
}

std::optional<std::string> RiverNames::at(std::size_t sourceEdge) const {
    if (sourceEdge >= edges_.size() || edges_[sourceEdge] < 0) {
        return std::nullopt;
    }
    return names_[static_cast<std::size_t>(edges_[sourceEdge])];
}

BridgeNames BridgeNames::load(const Map& map, std::istream& input) {
    const json document = json::parse(input, keepBridgeKeys, true, false);
    BridgeNames result;
    const auto list = document.find("bridge_names");
    if (list == document.end()) {
        return result;
    }
    if (document.at("width") != map.width() || document.at("height") != map.height()) {
        fail("Brueckennamen passen nicht zur Karte");
    }
    for (const json& entry : list->get_ref<const json::array_t&>()) {
        if (!entry.is_array() || entry.size() != 5 || !holdsIntegers(entry, 4)) {
            fail("Ungueltiger Brueckenname");
        }
        const auto edge = edgeOf(map, entry);
        if (!edge || !map.rivers()[*edge].bridge) {
            fail("Brueckenname ohne Bruecke");
        }
        auto names = entry[4].get<std::vector<std::string>>();
        if (names.empty()) {
            fail("Leerer Brueckenname");
        }
        for (const std::string& name : names) {
            if (name.empty()) {
                fail("Leerer Brueckenname");
            }
        }
        if (!result.entries_.emplace(*edge, std::move(names)).second) {
            fail("Doppelte Brueckennamenskante");
        }
    }
    return result;
}

BridgeNames BridgeNames::load(const Map& map, const std::filesystem::path& file) {
    std::ifstream input = openDataFile(file, "Brueckennamen nicht lesbar: " + file.string());
    return load(map, input);
}

const std::vector<std::string>& BridgeNames::at(std::size_t source) const {
    static const std::vector<std::string> none;
    const auto found = entries_.find(source);
    return found != entries_.end() ? found->second : none;
}

} // namespace korvan
