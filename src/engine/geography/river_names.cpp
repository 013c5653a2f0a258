// Loading river and bridge names and looking them up by river-edge index.
#include "geography/river_names.hpp"

#include "core/byte_stream.hpp"
#include "core/containers/look_ahead.hpp"
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "core/json_values.hpp"

#include <array>
#include <limits>
#include <optional>
#include <utility>

namespace korvan {

namespace {

constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();

// An entry [q1, r1, q2, r2, x] whose first `integers` elements are JSON integers.
std::optional<std::array<JsonValue, 5>> edgeEntry(JsonValue entry, std::size_t integers) {
    auto elements = fixedArray<5>(entry);
    for (std::size_t k = 0; elements && k < integers; ++k) {
        if (!isInteger((*elements)[k])) {
            elements.reset();
        }
    }
    return elements;
}

// The hexes given by elements 0 to 3. Coordinates beyond 32 bits lie off every map.
std::optional<std::pair<Hex, Hex>> edgeEnds(const std::array<JsonValue, 5>& entry) {
    std::int32_t v[4];
    for (std::size_t k = 0; k < 4; ++k) {
        const auto value = boundedInteger(entry[k], int32Min, int32Max);
        if (!value) {
            return std::nullopt;
        }
        v[k] = static_cast<std::int32_t>(*value);
    }
    return std::pair<Hex, Hex>{{v[0], v[1]}, {v[2], v[3]}};
}

std::optional<std::size_t> edgeIndex(const Map& map, const std::optional<std::pair<Hex, Hex>>& ends) {
    return ends ? map.riverEdgeIndex(ends->first, ends->second) : std::nullopt;
}

// The river edge between the hexes given by elements 0 to 3.
std::optional<std::size_t> edgeOf(const Map& map, const std::array<JsonValue, 5>& entry) {
    return edgeIndex(map, edgeEnds(entry));
}

} // namespace

RiverNames RiverNames::load(const Map& map, std::istream& input) {
    const JsonDocument parsed(input);
    const JsonValue document = parsed.root();
    if (!numberEquals(member(document, "schema_version"), 1) || !numberEquals(member(document, "width"), map.width()) ||
        !numberEquals(member(document, "height"), map.height())) {
        failLoad("Flussnamen passen nicht zur Weltkarte");
    }
    RiverNames result;
    for (const JsonValue name : asArray(member(document, "names"), "names")) {
        result.names_.emplace_back(asName(name, "names"));
    }
    result.edges_.assign(map.rivers().size(), -1);
    const auto nameCount = static_cast<std::int64_t>(result.names_.size());
    // An entry's edge slot starts loading when the entry is read; the entry is entered a little
    // later, in the file's order.
    struct Read {
        std::optional<std::array<JsonValue, 5>> entry;
        std::optional<std::pair<Hex, Hex>> ends;
    };
    const auto enter = [&](const Read& read) {
        if (!read.entry) {
            failLoad("Ungueltige Flussnamenskante");
        }
        const auto edge = edgeIndex(map, read.ends);
        const auto name = boundedInteger((*read.entry)[4], 0, nameCount - 1);
        if (!edge || !name || result.names_[static_cast<std::size_t>(*name)].empty()) {
            failLoad("Ungueltige Flussnamenszuordnung");
        }
        int& slot = result.edges_[*edge];
        if (slot != -1) {
            failLoad("Doppelte Flussnamenszuordnung");
        }
        slot = static_cast<int>(*name);
    };
    LookAhead<Read, 16, decltype(enter)> entries(enter);
    for (const JsonValue value : asArray(member(document, "edges"), "edges")) {
        Read read{edgeEntry(value, 5), std::nullopt};
        read.ends = read.entry ? edgeEnds(*read.entry) : std::nullopt;
        if (read.ends) {
            map.prefetchRiverEdge(read.ends->first, read.ends->second);
        }
        entries.push(std::move(read));
    }
    entries.finish();
    return result;
}

RiverNames RiverNames::load(const Map& map, const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::riverNames, "Flussnamen nicht lesbar: " + file.string(),
                        [&](std::istream& input) { return load(map, input); });
}

void RiverNames::writeCache(ByteWriter& out) const {
    out.put<std::uint64_t>(names_.size());
    for (const std::string& name : names_) {
        out.putText(name);
    }
    out.putVector(edges_);
}

RiverNames RiverNames::readCache(ByteReader& in, const Map& map) {
    RiverNames result;
    const auto count = in.get<std::uint64_t>();
    if (count > Map::maxRiverEdges) {
        ByteReader::fail();
    }
    result.names_.reserve(count);
    for (std::uint64_t k = 0; k < count; ++k) {
        result.names_.push_back(in.getText(fileCaps::riverNames));
    }
    result.edges_ = in.getVector<int>(Map::maxRiverEdges);
    if (!result.edges_.empty() && result.edges_.size() != map.rivers().size()) {
        ByteReader::fail();
    }
    for (const int name : result.edges_) {
        if (name < -1 || name >= static_cast<std::int64_t>(count)) {
            ByteReader::fail();
        }
    }
    return result;
}

std::optional<std::string> RiverNames::at(std::size_t sourceEdge) const {
    if (sourceEdge >= edges_.size() || edges_[sourceEdge] < 0) {
        return std::nullopt;
    }
    return names_[static_cast<std::size_t>(edges_[sourceEdge])];
}

BridgeNames BridgeNames::load(const Map& map, std::istream& input) {
    const JsonDocument parsed(input);
    const JsonValue document = parsed.root();
    BridgeNames result;
    const auto list = findMember(document, "bridge_names");
    if (!list) {
        return result;
    }
    if (!numberEquals(member(document, "width"), map.width()) ||
        !numberEquals(member(document, "height"), map.height())) {
        failLoad("Brueckennamen passen nicht zur Karte");
    }
    for (const JsonValue value : asArray(*list, "bridge_names")) {
        const auto entry = edgeEntry(value, 4);
        if (!entry) {
            failLoad("Ungueltiger Brueckenname");
        }
        const auto edge = edgeOf(map, *entry);
        if (!edge || !map.rivers()[*edge].bridge) {
            failLoad("Brueckenname ohne Bruecke");
        }
        std::vector<std::string> names;
        for (const JsonValue name : asArray((*entry)[4], "bridge_names")) {
            names.emplace_back(asName(name, "bridge_names"));
        }
        if (names.empty()) {
            failLoad("Leerer Brueckenname");
        }
        for (const std::string& name : names) {
            if (name.empty()) {
                failLoad("Leerer Brueckenname");
            }
        }
        if (!result.entries_.emplace(*edge, std::move(names)).second) {
            failLoad("Doppelte Brueckennamenskante");
        }
    }
    return result;
}

BridgeNames BridgeNames::load(const Map& map, const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::map, "Brueckennamen nicht lesbar: " + file.string(),
                        [&](std::istream& input) { return load(map, input); });
}

const std::vector<std::string>& BridgeNames::at(std::size_t source) const {
    static const std::vector<std::string> none;
    const auto found = entries_.find(source);
    return found != entries_.end() ? found->second : none;
}

} // namespace korvan
