// Names of river edges (river-names.json) and of bridges (the map file's "bridge_names").
#pragma once

#include "map/map.hpp"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvan {

class ByteReader;
class ByteWriter;

// Keyed by the index of an edge in Map::rivers().
class RiverNames {
public:
    static RiverNames load(const Map& map, const std::filesystem::path& file);
    static RiverNames load(const Map& map, std::istream& input);

    std::optional<std::string> at(std::size_t sourceEdge) const;
    // For the derived-data cache; reading checks the names against the map's river edges.
    void writeCache(ByteWriter& out) const;
    static RiverNames readCache(ByteReader& in, const Map& map);

    const std::vector<std::string>& names() const { return names_; }

private:
    std::vector<std::string> names_;
    std::vector<int> edges_; // index into names_, -1 for an unnamed edge
};

class BridgeNames {
public:
    // Reads the map file again for its "bridge_names"; no key means no names.
    static BridgeNames load(const Map& map, const std::filesystem::path& file);
    static BridgeNames load(const Map& map, std::istream& input);

    // The names of a bridged edge; an empty list for any other edge.
    const std::vector<std::string>& at(std::size_t source) const;
    std::size_t size() const { return entries_.size(); }

private:
    std::unordered_map<std::size_t, std::vector<std::string>> entries_;
};

} // namespace korvan
