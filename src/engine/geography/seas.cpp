// Loading seas.json and lakes.json and naming the water at a point or hex.
#include "core/data_file.hpp"
#include "geography/seas.hpp"

#include "geography/countries_json.hpp"
#include "geography/water_territories.hpp"

#include <cmath>
#include <fstream>
#include <stdexcept>

namespace korvan {

namespace {

constexpr int maxRasterDimension = 8192;
constexpr std::int64_t maxRasterFields = 32'000'000;

constexpr PolygonMessages waterPolygonMessages{"Ungueltige Gewaesserkoordinate", "Ungueltiger Gewaesserring",
                                               "Leeres Gewaesserpolygon"};

void fail(const char* message) { throw std::runtime_error(message); }

int rasterSize(const JsonObject& document, const char* key) {
    auto found = document.find(key);
    if (!found) {
        return 0;
    }
    const auto value = found->readInteger(0, maxRasterDimension);
    if (!value) {
        fail("Ungueltige Gewaesserrastergroesse");
    }
    return static_cast<int>(*value);
}

// Calls action(cellKey) for every cell of a list of [row, start, count] spans.
template <typename Action>
void forEachSpanCell(JsonCursor spans, int width, int height, const char* message, Action&& action) {
    spans.enterArray("Rasterliste");
    while (spans.more()) {
        if (spans.type() != JsonType::Array) {
            fail(message);
        }
        spans.enterArray("Rasterzeile");
        std::optional<std::int64_t> values[3];
        int count = 0;
        while (spans.more()) {
            if (count < 3) {
                const std::int64_t high = count == 0   ? height - 1
                                          : count == 1 ? width - 1
                                                       : width - values[1].value_or(width);
                values[count] = spans.readInteger(count == 2 ? 1 : 0, high);
            } else {
                spans.skip();
            }
            ++count;
        }
        if (count != 3 || !values[0] || !values[1] || !values[2]) {
            fail(message);
        }
        const int first = static_cast<int>(*values[0] * width + *values[1]);
        for (int key = first; key < first + *values[2]; ++key) {
            action(key);
        }
    }
}

bool isOpenSeaKind(const std::string& kind) { return kind == "sea" || kind == "ocean" || kind == "generic"; }

} // namespace

Seas Seas::load(std::istream& input) {
    const std::string text = readWholeStream(input);
    validateJson(text);
    JsonCursor root(text, 0);
    const JsonObject document(root, "Gewaesserdatei");
    if (!document.at("schema_version").readNumberEqualTo(1)) {
        fail("Unbekanntes Gewaesserschema");
    }
    Seas seas;
    seas.gridWidth_ = rasterSize(document, "width");
    seas.gridHeight_ = rasterSize(document, "height");
    if (std::int64_t(seas.gridWidth_) * seas.gridHeight_ > maxRasterFields) {
        fail("Ungueltige Gewaesserrastergroesse");
    }
    const bool hasRaster = seas.gridWidth_ > 0 && seas.gridHeight_ > 0;

    JsonCursor areas = document.at("areas");
    areas.enterArray("Gewaesserliste");
    while (areas.more()) {
        const JsonObject object(areas, "Gewaesser");
        const std::size_t n = seas.areas_.size();
        Country area;
        area.id = object.at("id").readString("id");
        area.name = object.at("name").readString("name");
        JsonCursor polygons = object.at("polygons");
        area.polygons = readPolygons(polygons, waterPolygonMessages);
        if (const auto spans = object.find("hex_spans")) {
            if (!hasRaster) {
                fail("Fehlendes Gewaesserraster");
            }
            forEachSpanCell(*spans, seas.gridWidth_, seas.gridHeight_, "Ungueltige Seerasterzeile",
                            [&](int key) { seas.lakeCells_.try_emplace(key, n); });
        }
        const auto kindValue = object.find("kind");
        const std::string kind = kindValue ? JsonCursor(*kindValue).readString("kind") : std::string();
        seas.kinds_.try_emplace(area.name, kind);
        if (kind == "river_arm") {
            seas.riverArms_.insert(area.name);
        }
        const auto detail = object.find("detail");
        if (detail && JsonCursor(*detail).readBoolean("detail")) {
            seas.details_.push_back(area);
        }
        seas.areas_.push_back(std::move(area));
    }

    if (const auto spans = document.find("water_hex_spans")) {
        if (!hasRaster) {
            fail("Fehlendes Binnengewaesserraster");
        }
        forEachSpanCell(*spans, seas.gridWidth_, seas.gridHeight_, "Ungueltige Binnengewaesserrasterzeile",
                        [&](int key) { seas.inlandWaterCells_.insert(key); });
    }
    return seas;
}

Seas Seas::load(const std::filesystem::path& file) {
    std::ifstream input = openDataFile(file, "Gewaesserdatei nicht lesbar: " + file.string());
    return load(input);
}

std::optional<std::string> Seas::at(Point geography) const {
    // World copies east and west of the map ask with longitudes beyond +-180.
    const double longitude = geography.x - 360.0 * std::floor((geography.x + 180.0) / 360.0);
    const auto index = firstContaining(areas_, {longitude, geography.y});
    return index ? std::optional(areas_[*index].name) : std::nullopt;
}

std::optional<int> Seas::cellKey(Hex h, int width, int height) const {
    if (width != gridWidth_ || height != gridHeight_ || width <= 0 || h.r < 0 || h.r >= height) {
        return std::nullopt;
    }
    return h.r * width + wrappedColumn(h, width);
}

std::optional<std::string> Seas::atHex(Hex h, int width, int height) const {
    const auto key = cellKey(h, width, height);
    if (!key) {
        return std::nullopt;
    }
    const auto found = lakeCells_.find(*key);
    return found != lakeCells_.end() ? std::optional(areas_[found->second].name) : std::nullopt;
}

bool Seas::containsHex(Hex h, int width, int height) const {
    const auto key = cellKey(h, width, height);
    return key && (inlandWaterCells_.contains(*key) || lakeCells_.contains(*key));
}

bool Seas::isLocalMarine(const std::string& name) const {
    const auto found = kinds_.find(name);
    return found != kinds_.end() && !found->second.empty() && !isOpenSeaKind(found->second);
}

bool Seas::isRiverArm(const std::string& name) const { return riverArms_.contains(name); }

} // namespace korvan
