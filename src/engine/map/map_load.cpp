// Reading and validating map files (schemas 1 to 3).
#include "core/containers/look_ahead.hpp"
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "map/map.hpp"
#include "map/map_file.hpp"

#include <algorithm>
#include <bit>

namespace korvan {

namespace {

constexpr std::string_view riverMaskCodes = "abcdefgh";
constexpr std::string_view riverWidthCodes = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,-.";

// A required list of exactly one entry per map row.
JsonArray rowArray(JsonValue document, const char* key, int height, const char* countMessage) {
    JsonArray rows;
    if (member(document, key).get_array().get(rows) || elementCount(rows) != static_cast<std::size_t>(height)) {
        failLoad(countMessage);
    }
    return rows;
}

std::string_view optionalText(JsonValue document, const char* key, std::string_view fallback) {
    const auto found = findMember(document, key);
    return found ? asString(*found, key) : fallback;
}

bool optionalFlag(JsonValue object, const char* key) {
    const auto found = findMember(object, key);
    return found && asBoolean(*found, key);
}

} // namespace

int integer(JsonValue value) {
    const auto number = boundedInteger(value, -100000, 100000);
    if (!number) {
        failLoad("Ganzzahl im gueltigen Bereich erwartet");
    }
    return static_cast<int>(*number);
}

// Reads a parsed map file into a map, check by check in the file format's order.
class MapFileReader {
public:
    static Map read(JsonValue document);

private:
    MapFileReader(Map& map, JsonValue document) : map_(map), document_(document) {}

    void readCompactTerrain();
    void readLandSeaTerrain();
    void readTileList();
    void readRiverEdges();
    void readRiverRows(int schema);

    Map& map_;
    JsonValue document_;
};

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
    if (rivers_.size() == maxRiverEdges) {
        failLoad("Zu viele Flusskanten");
    }
    if (!contains(edge.a) || !contains(edge.b)) {
        failLoad("Flusskante ausserhalb der Karte");
    }
    if (!areNeighbours(edge.a, edge.b)) {
        failLoad("Flusskante muss benachbarte Felder verbinden");
    }
    if (edge.widthClass < 1 || edge.widthClass > 3) {
        failLoad("Flussbreite muss Klasse 1 bis 3 sein");
    }
    if (edge.bridge && (at(edge.a).terrain == Terrain::Water || at(edge.b).terrain == Terrain::Water)) {
        failLoad("Kantenbruecke benoetigt zwei Landfelder");
    }
    const auto [index, inserted] =
        riverIndex_.tryEmplace(edgeKey(edge.a, edge.b), static_cast<std::uint32_t>(rivers_.size()));
    if (!inserted) {
        failLoad("Doppelte Flusskante");
    }
    rivers_.push_back(edge);
}

Map Map::load(const std::filesystem::path& path) {
    return loadDataFile(path, fileCaps::map, "Karte kann nicht geoeffnet werden: " + path.string(),
                        [](std::istream& input) { return load(input); });
}

Map Map::load(std::istream& input) {
    return withErrorPrefix("Ungueltige Kartendaten: ", [&] {
        const JsonDocument document(input);
        return MapFileReader::read(document.root());
    });
}

Map MapFileReader::read(JsonValue document) {
    const int schema = integer(member(document, "schema_version"));
    if (schema < 1 || schema > 3) {
        failLoad("Nicht unterstuetzte Karten-Schemaversion (erwartet: 1 bis 3)");
    }

    Map map;
    map.width_ = integer(member(document, "width"));
    map.height_ = integer(member(document, "height"));
    if (map.width_ < 1 || map.width_ > Map::maxDimension || map.height_ < 1 || map.height_ > Map::maxDimension ||
        std::int64_t(map.width_) * map.height_ > Map::maxFields) {
        failLoad("Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder");
    }
    map.name_ = asString(member(document, "name"), "name");
    if (map.name_.empty() || map.name_.size() > 100) {
        failLoad("Kartenname muss 1 bis 100 Zeichen enthalten");
    }
    const std::string_view layout = optionalText(document, "layout", "axial");
    if (layout != "axial" && layout != "odd-r") {
        failLoad("Unbekanntes Kartenlayout");
    }
    map.offsetRows_ = layout == "odd-r";
    map.wrapHorizontal_ = optionalFlag(document, "wrap_horizontal");
    if (map.wrapHorizontal_ && !map.offsetRows_) {
        failLoad("Horizontaler Uebergang benoetigt odd-r-Layout");
    }
    const std::string_view kind = optionalText(document, "kind", "operational");
    if (kind != "world" && kind != "operational") {
        failLoad("Unbekannter Kartentyp");
    }
    map.world_ = kind == "world";
    if (map.world_ && !map.wrapHorizontal_) {
        failLoad("Weltkarte benoetigt horizontalen Uebergang");
    }

    // At most 32 million bytes, and compact rows can really describe that many fields.
    map.tiles_.reserve(std::size_t(map.width_) * std::size_t(map.height_));
    MapFileReader reader(map, document);
    if (schema == 3) {
        reader.readCompactTerrain();
    } else if (schema == 2) {
        reader.readLandSeaTerrain();
    } else {
        reader.readTileList();
    }
    reader.readRiverEdges();
    reader.readRiverRows(schema);
    for (RiverEdge& edge : map.rivers_) {
        edge.cityCrossing = map.at(edge.a).terrain == Terrain::City && map.at(edge.b).terrain == Terrain::City;
    }
    return map;
}

void MapFileReader::readCompactTerrain() {
    if (!map_.world_ || findMember(document_, "tiles")) {
        failLoad("Schema 3 erwartet eine kompakte Weltkarte");
    }
    for (const JsonValue row : rowArray(document_, "terrain_rows", map_.height_, "Ungueltige Anzahl Gelaendereihen")) {
        decodeRuns(asString(row, "terrain_rows"), terrainCodes, map_.width_, [this](int, int count, int value) {
            map_.tiles_.insert(map_.tiles_.end(), std::size_t(count), static_cast<std::uint8_t>(value));
        });
    }
}

void MapFileReader::readLandSeaTerrain() {
    if (!map_.world_ || findMember(document_, "tiles")) {
        failLoad("Schema 2 erwartet eine Land-Meer-Weltkarte ohne tiles");
    }
    for (const JsonValue row :
         rowArray(document_, "terrain_rows", map_.height_, "terrain_rows muss genau height Reihen enthalten")) {
        JsonArray runs;
        if (row.get_array().get(runs) || runs.size() == 0) {
            failLoad("Leere oder ungueltige RLE-Reihe");
        }
        int open = map_.width_;
        std::size_t k = 0;
        for (const JsonValue run : runs) {
            const int length = integer(run);
            if (length < 0 || (length == 0 && k > 0) || length > open) {
                failLoad("Ungueltige RLE-Laenge");
            }
            const Terrain terrain = k % 2 == 0 ? Terrain::Water : Terrain::Plain;
            map_.tiles_.insert(map_.tiles_.end(), std::size_t(length), static_cast<std::uint8_t>(terrain));
            open -= length;
            ++k;
        }
        if (open != 0) {
            failLoad("RLE-Reihe muss genau width Felder abdecken");
        }
    }
}

void MapFileReader::readTileList() {
    if (findMember(document_, "terrain_rows")) {
        failLoad("terrain_rows benoetigt Schema 2");
    }
    const std::size_t fieldCount = std::size_t(map_.width_) * std::size_t(map_.height_);
    JsonArray tiles;
    if (member(document_, "tiles").get_array().get(tiles) || elementCount(tiles) != fieldCount) {
        failLoad("Fuer jedes Hexfeld muss genau ein Eintrag in tiles existieren");
    }
    map_.tiles_.assign(fieldCount, 0);
    std::vector<bool> seen(fieldCount, false);
    for (const JsonValue entry : tiles) {
        const Hex h{integer(member(entry, "q")), integer(member(entry, "r"))};
        if (!map_.contains(h)) {
            failLoad("Ungueltige Hexkoordinate in tiles");
        }
        const std::size_t index = map_.storageIndex(h);
        if (seen[index]) {
            failLoad("Doppeltes Hexfeld in tiles");
        }
        seen[index] = true;
        const Terrain terrain = readTerrain(std::string(asString(member(entry, "terrain"), "terrain")));
        const bool road = optionalFlag(entry, "road");
        const bool bridge = optionalFlag(entry, "bridge");
        if (bridge && !road) {
            failLoad("Eine Bruecke benoetigt eine Strasse");
        }
        map_.tiles_[index] = packTile(terrain, road, bridge);
        map_.hasRoads_ = map_.hasRoads_ || road;
    }
}

void MapFileReader::readRiverEdges() {
    JsonArray edges;
    if (member(document_, "river_edges").get_array().get(edges)) {
        failLoad("river_edges muss ein Array sein");
    }
    map_.rivers_.reserve(elementCount(edges)); // each entry takes dozens of bytes of the file
    map_.riverIndex_.reserve(elementCount(edges));
    for (const JsonValue entry : edges) {
        RiverEdge edge;
        const JsonValue a = member(entry, "a");
        const JsonValue b = member(entry, "b");
        edge.a = {integer(member(a, "q")), integer(member(a, "r"))};
        edge.b = {integer(member(b, "q")), integer(member(b, "r"))};
        if (const auto widthClass = findMember(entry, "width_class")) {
            const int value = integer(*widthClass);
            if (value < 1 || value > 3) {
                failLoad("Flussbreite muss Klasse 1 bis 3 sein");
            }
            edge.widthClass = static_cast<std::uint8_t>(value);
        }
        edge.bridge = optionalFlag(entry, "bridge");
        map_.addRiverEdge(edge);
    }
}

// The edge list and its index are made once, at the size the rows claim, counted first. The claim
// is held to Map::maxRiverEdges: compact rows can claim gigabytes of edges in a few kilobytes, and
// a file's first fault may come after its claim.
void MapFileReader::readRiverRows(int schema) {
    // Visits every run of a row with a value; value 0 runs only skip fields.
    const auto forEachRun = [&](const char* key, const char* schemaMessage, const char* countMessage,
                                std::string_view alphabet, auto&& onRun) {
        if (!findMember(document_, key)) {
            return;
        }
        if (schema != 3) {
            failLoad(schemaMessage);
        }
        int r = 0;
        for (const JsonValue row : rowArray(document_, key, map_.height_, countMessage)) {
            decodeRuns(asString(row, key), alphabet, map_.width_, [&](int start, int count, int value) {
                if (value != 0) {
                    onRun(r, start, count, value);
                }
            });
            ++r;
        }
    };
    // Visits every direction of every field in a run with a value.
    const auto forEachRow = [&](const char* key, const char* schemaMessage, const char* countMessage,
                                std::string_view alphabet, auto&& onDirection) {
        forEachRun(key, schemaMessage, countMessage, alphabet, [&](int r, int start, int count, int value) {
            for (int c = start; c < start + count; ++c) {
                const Hex field = map_.hexAt(c, r);
                for (int direction = 0; direction < 3; ++direction) {
                    onDirection(field, direction, value);
                }
            }
        });
    };

    // Growing them instead would copy them a dozen times, each time into fresh memory.
    std::size_t edgeCount = 0;
    forEachRun("river_rows", "river_rows benoetigt Schema 3", "Ungueltige Anzahl Flussreihen", riverMaskCodes,
               [&edgeCount](int, int, int count, int mask) {
                   edgeCount += std::size_t(count) * std::size_t(std::popcount(unsigned(mask) & 7u));
               });
    map_.rivers_.reserve(std::min(edgeCount, Map::maxRiverEdges));
    map_.riverIndex_.reserve(std::min(edgeCount, Map::maxRiverEdges));
    // Every edge's index slot starts loading when the edge is decoded; the edge is added a little
    // later, so the lookups do not wait for memory one by one.
    const auto add = [this](const RiverEdge& edge) { map_.addRiverEdge(edge); };
    LookAhead<RiverEdge, 16, decltype(add)> edges(add);
    try {
        forEachRow("river_rows", "river_rows benoetigt Schema 3", "Ungueltige Anzahl Flussreihen", riverMaskCodes,
                   [&](Hex field, int direction, int mask) {
                       if ((mask & (1 << direction)) == 0) {
                           return;
                       }
                       const auto neighbour = map_.canonical(field + forwardSteps[direction]);
                       if (!neighbour) {
                           failLoad("Flusskante ausserhalb der Karte");
                       }
                       map_.prefetchRiverEdge(field, *neighbour);
                       edges.push({field, *neighbour, 1, false, false});
                   });
    } catch (...) {
        // A fault of an edge decoded before comes first, as it did when every edge was added at once.
        edges.finish();
        throw;
    }
    edges.finish();

    forEachRow("river_width_rows", "river_width_rows benoetigt Schema 3", "Ungueltige Anzahl Flussbreitenreihen",
               riverWidthCodes, [this, next = std::size_t(0)](Hex field, int direction, int classes) mutable {
                   const int widthClass = (classes >> (2 * direction)) & 3;
                   if (widthClass == 0) {
                       return;
                   }
                   // The widths come in the order the edges were made: the next edge is nearly
                   // always the one, and only a gap needs the index.
                   std::optional<std::size_t> index;
                   if (next < map_.rivers_.size() && map_.rivers_[next].a == field &&
                       map_.canonical(field + forwardSteps[direction]) == map_.rivers_[next].b) {
                       index = next;
                   } else {
                       index = map_.forwardEdge(field, direction);
                   }
                   if (!index) {
                       failLoad("Breitenklasse ohne Flusskante");
                   }
                   next = *index + 1;
                   map_.rivers_[*index].widthClass = static_cast<std::uint8_t>(widthClass);
               });

    forEachRow("bridge_rows", "bridge_rows benoetigt Schema 3", "Ungueltige Anzahl Brueckenreihen", riverMaskCodes,
               [this](Hex field, int direction, int mask) {
                   if ((mask & (1 << direction)) == 0) {
                       return;
                   }
                   const auto index = map_.forwardEdge(field, direction);
                   if (!index) {
                       failLoad("Bruecke ohne zugehoerigen Fluss");
                   }
                   RiverEdge& edge = map_.rivers_[*index];
                   if (map_.at(edge.a).terrain == Terrain::Water || map_.at(edge.b).terrain == Terrain::Water) {
                       failLoad("Bruecke benoetigt zwei Landufer");
                   }
                   edge.bridge = true;
               });
}

std::optional<std::size_t> Map::forwardEdge(Hex field, int direction) const {
    const auto neighbour = canonical(field + forwardSteps[direction]);
    if (!neighbour) {
        return std::nullopt;
    }
    return riverEdgeIndex(field, *neighbour);
}

} // namespace korvan
