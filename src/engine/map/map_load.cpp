// Reading and validating map files (schemas 1 to 3).
#include "core/data_file.hpp"
#include "map/map.hpp"
#include "map/map_file.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <fstream>
#include <stdexcept>

namespace korvan {

using nlohmann::json;

namespace {

constexpr std::string_view riverMaskCodes = "abcdefgh";
constexpr std::string_view riverWidthCodes = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,-.";

void fail(const char* message) { throw std::runtime_error(message); }

const json& rowArray(const json& document, const char* key, int height, const char* countMessage) {
    const json& rows = document.at(key);
    if (!rows.is_array() || rows.size() != static_cast<std::size_t>(height)) {
        fail(countMessage);
    }
    return rows;
}

} // namespace

int integer(const json& value) {
    if (value.is_number_integer()) {
        // Unsigned values above the int64 range compare as huge, so both kinds are checked as stored.
        if (value.is_number_unsigned() ? value.get<std::uint64_t>() <= 100000
                                       : (value.get<std::int64_t>() >= -100000 && value.get<std::int64_t>() <= 100000)) {
            return static_cast<int>(value.get<std::int64_t>());
        }
    }
    throw std::runtime_error("Ganzzahl im gueltigen Bereich erwartet");
}

bool Map::areNeighbours(Hex a, Hex b) const {
    for (const Hex step : neighbourSteps) {
        const auto n = canonical(a + step);
        if (n && *n == b && !(*n == a)) {
            return true;
        }
    }
    return false;
}

void Map::addRiverEdge(RiverEdge edge) {
    if (!contains(edge.a) || !contains(edge.b)) {
        fail("Flusskante ausserhalb der Karte");
    }
    if (!areNeighbours(edge.a, edge.b)) {
        fail("Flusskante muss benachbarte Felder verbinden");
    }
    if (edge.widthClass < 1 || edge.widthClass > 3) {
        fail("Flussbreite muss Klasse 1 bis 3 sein");
    }
    if (edge.bridge && (at(edge.a).terrain == Terrain::Water || at(edge.b).terrain == Terrain::Water)) {
        fail("Kantenbruecke benoetigt zwei Landfelder");
    }
    const auto [index, inserted] =
        riverIndex_.tryEmplace(edgeKey(edge.a, edge.b), static_cast<std::uint32_t>(rivers_.size()));
    if (!inserted) {
        fail("Doppelte Flusskante");
    }
    rivers_.push_back(edge);
}

Map Map::load(const std::filesystem::path& path) {
    std::ifstream input = openDataFile(path, "Karte kann nicht geoeffnet werden: " + path.string());
    try {
        return load(input);
    } catch (const std::exception& error) {
        throw std::runtime_error(path.string() + ": " + error.what());
    }
}

Map Map::load(std::istream& input) {
    try {
        return parse(json::parse(input, nullptr, true, false));
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string("Ungueltige Kartendaten: ") + error.what());
    }
}

Map Map::parse(const json& document) {
    const int schema = integer(document.at("schema_version"));
    if (schema < 1 || schema > 3) {
        fail("Nicht unterstuetzte Karten-Schemaversion (erwartet: 1 bis 3)");
    }

    Map map;
    map.width_ = integer(document.at("width"));
    map.height_ = integer(document.at("height"));
    if (map.width_ < 1 || map.width_ > maxDimension || map.height_ < 1 || map.height_ > maxDimension ||
        std::int64_t(map.width_) * map.height_ > maxFields) {
        fail("Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder");
    }
    map.name_ = document.at("name").get<std::string>();
    if (map.name_.empty() || map.name_.size() > 100) {
        fail("Kartenname muss 1 bis 100 Zeichen enthalten");
    }
    const auto layout = document.value("layout", std::string("axial"));
    if (layout != "axial" && layout != "odd-r") {
        fail("Unbekanntes Kartenlayout");
    }
    map.offsetRows_ = layout == "odd-r";
    map.wrapHorizontal_ = document.value("wrap_horizontal", false);
    if (map.wrapHorizontal_ && !map.offsetRows_) {
        fail("Horizontaler Uebergang benoetigt odd-r-Layout");
    }
    const auto kind = document.value("kind", std::string("operational"));
    if (kind != "world" && kind != "operational") {
        fail("Unbekannter Kartentyp");
    }
    map.world_ = kind == "world";
    if (map.world_ && !map.wrapHorizontal_) {
        fail("Weltkarte benoetigt horizontalen Uebergang");
    }

    map.tiles_.reserve(std::size_t(map.width_) * std::size_t(map.height_));
    if (schema == 3) {
        map.readCompactTerrain(document);
    } else if (schema == 2) {
        map.readLandSeaTerrain(document);
    } else {
        map.readTileList(document);
    }
    map.readRiverEdges(document);
    map.readRiverRows(document, schema);
    for (RiverEdge& edge : map.rivers_) {
        edge.cityCrossing = map.at(edge.a).terrain == Terrain::City && map.at(edge.b).terrain == Terrain::City;
    }
    return map;
}

void Map::readCompactTerrain(const json& document) {
    if (!world_ || document.contains("tiles")) {
        fail("Schema 3 erwartet eine kompakte Weltkarte");
    }
    for (const json& row : rowArray(document, "terrain_rows", height_, "Ungueltige Anzahl Gelaendereihen")) {
        decodeRuns(row.get_ref<const std::string&>(), terrainCodes, width_, [this](int, int count, int value) {
            tiles_.insert(tiles_.end(), std::size_t(count), static_cast<std::uint8_t>(value));
        });
    }
}

void Map::readLandSeaTerrain(const json& document) {
    if (!world_ || document.contains("tiles")) {
        fail("Schema 2 erwartet eine Land-Meer-Weltkarte ohne tiles");
    }
    for (const json& row : rowArray(document, "terrain_rows", height_, "terrain_rows muss genau height Reihen enthalten")) {
        if (!row.is_array() || row.empty()) {
            fail("Leere oder ungueltige RLE-Reihe");
        }
        int open = width_;
        for (std::size_t k = 0; k < row.size(); ++k) {
            const int length = integer(row[k]);
            if (length < 0 || (length == 0 && k > 0) || length > open) {
                fail("Ungueltige RLE-Laenge");
            }
            const Terrain terrain = k % 2 == 0 ? Terrain::Water : Terrain::Plain;
            tiles_.insert(tiles_.end(), std::size_t(length), static_cast<std::uint8_t>(terrain));
            open -= length;
        }
        if (open != 0) {
            fail("RLE-Reihe muss genau width Felder abdecken");
        }
    }
}

void Map::readTileList(const json& document) {
    if (document.contains("terrain_rows")) {
        fail("terrain_rows benoetigt Schema 2");
    }
    const json& tiles = document.at("tiles");
    const std::size_t fieldCount = std::size_t(width_) * std::size_t(height_);
    if (!tiles.is_array() || tiles.size() != fieldCount) {
        fail("Fuer jedes Hexfeld muss genau ein Eintrag in tiles existieren");
    }
    tiles_.assign(fieldCount, 0);
    std::vector<bool> seen(fieldCount, false);
    for (const json& entry : tiles) {
        const Hex h{integer(entry.at("q")), integer(entry.at("r"))};
        if (!contains(h)) {
            fail("Ungueltige Hexkoordinate in tiles");
        }
        const std::size_t index = storageIndex(h);
        if (seen[index]) {
            fail("Doppeltes Hexfeld in tiles");
        }
        seen[index] = true;
        const Terrain terrain = readTerrain(entry.at("terrain").get<std::string>());
        const bool road = entry.value("road", false);
        const bool bridge = entry.value("bridge", false);
        if (bridge && !road) {
            fail("Eine Bruecke benoetigt eine Strasse");
        }
        tiles_[index] = packTile(terrain, road, bridge);
        hasRoads_ = hasRoads_ || road;
    }
}

void Map::readRiverEdges(const json& document) {
    const json& edges = document.at("river_edges");
    if (!edges.is_array()) {
        fail("river_edges muss ein Array sein");
    }
    rivers_.reserve(edges.size());
    riverIndex_.reserve(edges.size());
    for (const json& entry : edges) {
        RiverEdge edge;
        const json& a = entry.at("a");
        const json& b = entry.at("b");
        edge.a = {integer(a.at("q")), integer(a.at("r"))};
        edge.b = {integer(b.at("q")), integer(b.at("r"))};
        if (entry.contains("width_class")) {
            const int widthClass = integer(entry.at("width_class"));
            if (widthClass < 1 || widthClass > 3) {
                fail("Flussbreite muss Klasse 1 bis 3 sein");
            }
            edge.widthClass = static_cast<std::uint8_t>(widthClass);
        }
        edge.bridge = entry.value("bridge", false);
        addRiverEdge(edge);
    }
}

void Map::readRiverRows(const json& document, int schema) {
    // Visits every set direction of every field in a decoded row; value 0 runs only skip fields.
    const auto forEachRow = [&](const char* key, const char* schemaMessage, const char* countMessage,
                                std::string_view alphabet, auto&& onDirection) {
        if (!document.contains(key)) {
            return;
        }
        if (schema != 3) {
            fail(schemaMessage);
        }
        const json& rows = rowArray(document, key, height_, countMessage);
        for (int r = 0; r < height_; ++r) {
            decodeRuns(rows[r].get_ref<const std::string&>(), alphabet, width_, [&](int start, int count, int value) {
                if (value == 0) {
                    return;
                }
                for (int c = start; c < start + count; ++c) {
                    const Hex field = hexAt(c, r);
                    for (int direction = 0; direction < 3; ++direction) {
                        onDirection(field, direction, value);
                    }
                }
            });
        }
    };

    reserveRiverRows(document, schema);
    forEachRow("river_rows", "river_rows benoetigt Schema 3", "Ungueltige Anzahl Flussreihen", riverMaskCodes,
               [this](Hex field, int direction, int mask) {
                   if ((mask & (1 << direction)) == 0) {
                       return;
                   }
                   const auto neighbour = canonical(field + forwardSteps[direction]);
                   if (!neighbour) {
                       fail("Flusskante ausserhalb der Karte");
                   }
                   addRiverEdge({field, *neighbour, 1, false, false});
               });

    forEachRow("river_width_rows", "river_width_rows benoetigt Schema 3", "Ungueltige Anzahl Flussbreitenreihen",
               riverWidthCodes, [this](Hex field, int direction, int classes) {
                   const int widthClass = (classes >> (2 * direction)) & 3;
                   if (widthClass == 0) {
                       return;
                   }
                   const auto index = forwardEdge(field, direction);
                   if (!index) {
                       fail("Breitenklasse ohne Flusskante");
                   }
                   rivers_[*index].widthClass = static_cast<std::uint8_t>(widthClass);
               });

    forEachRow("bridge_rows", "bridge_rows benoetigt Schema 3", "Ungueltige Anzahl Brueckenreihen", riverMaskCodes,
               [this](Hex field, int direction, int mask) {
                   if ((mask & (1 << direction)) == 0) {
                       return;
                   }
                   const auto index = forwardEdge(field, direction);
                   if (!index) {
                       fail("Bruecke ohne zugehoerigen Fluss");
                   }
                   RiverEdge& edge = rivers_[*index];
                   if (at(edge.a).terrain == Terrain::Water || at(edge.b).terrain == Terrain::Water) {
                       fail("Bruecke benoetigt zwei Landufer");
                   }
                   edge.bridge = true;
               });
}

// Sizes the edge list and index once from a quick count of the river rows' direction bits, instead of
// growing them through a dozen rehashes on a world with hundreds of thousands of river sides.
// Malformed rows are left for the real pass to report.
void Map::reserveRiverRows(const json& document, int schema) {
    const auto rows = document.find("river_rows");
    if (schema != 3 || rows == document.end() || !rows->is_array()) {
        return;
    }
    std::size_t sides = rivers_.size();
    for (const json& row : *rows) {
        if (!row.is_string()) {
            return;
        }
        const std::string& text = row.get_ref<const std::string&>();
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t mask = riverMaskCodes.find(text[pos]);
            std::size_t count = 0;
            for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
                count = std::min<std::size_t>(count * 10 + std::size_t(text[pos] - '0'), maxFields);
            }
            if (mask != std::string_view::npos) {
                sides += count * std::size_t(std::popcount(mask));
            }
        }
    }
    sides = std::min<std::size_t>(sides, 3 * std::size_t(width_) * std::size_t(height_));
    rivers_.reserve(sides);
    riverIndex_.reserve(sides);
}

std::optional<std::size_t> Map::forwardEdge(Hex field, int direction) const {
    const auto neighbour = canonical(field + forwardSteps[direction]);
    if (!neighbour) {
        return std::nullopt;
    }
    return riverEdgeIndex(field, *neighbour);
}

} // namespace korvan
