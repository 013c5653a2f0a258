// Loading seas.json and lakes.json and naming the water at a point or hex.
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "geography/seas.hpp"

#include "geography/polygon_file.hpp"

#include <cmath>

namespace korvan {

namespace {

constexpr int maxRasterDimension = 8192;
constexpr std::int64_t maxRasterFields = 32'000'000;

constexpr PolygonMessages waterPolygonMessages{"Ungueltige Gewaesserkoordinate", "Ungueltiger Gewaesserring",
                                               "Leeres Gewaesserpolygon"};

int rasterSize(JsonValue document, const char* key) {
    const auto found = findMember(document, key);
    if (!found) {
        return 0;
    }
    const auto value = boundedInteger(*found, 0, maxRasterDimension);
    if (!value) {
        failLoad("Ungueltige Gewaesserrastergroesse");
    }
    return static_cast<int>(*value);
}

// Appends the spans of a list of [row, start, count] entries, each carrying the given value.
void readSpans(JsonValue list, int width, int height, const char* message, std::uint32_t value,
               std::vector<RowRuns::Span>& spans) {
    for (const JsonValue entry : asArray(list, "Rasterliste")) {
        const auto span = fixedArray<3>(entry);
        if (!span) {
            failLoad(message);
        }
        const auto row = boundedInteger((*span)[0], 0, height - 1);
        const auto start = boundedInteger((*span)[1], 0, width - 1);
        const auto count = start ? boundedInteger((*span)[2], 1, width - *start) : std::nullopt;
        if (!row || !count) {
            failLoad(message);
        }
        spans.push_back({static_cast<int>(*row), static_cast<int>(*start), static_cast<int>(*start + *count), value});
    }
}

bool isOpenSeaKind(const std::string& kind) { return kind == "sea" || kind == "ocean" || kind == "generic"; }

} // namespace

Seas Seas::load(std::istream& input) {
    const JsonDocument document(input);
    const JsonValue root = document.root();
    if (!numberEquals(member(root, "schema_version"), 1)) {
        failLoad("Unbekanntes Gewaesserschema");
    }
    Seas seas;
    seas.gridWidth_ = rasterSize(root, "width");
    seas.gridHeight_ = rasterSize(root, "height");
    if (std::int64_t(seas.gridWidth_) * seas.gridHeight_ > maxRasterFields) {
        failLoad("Ungueltige Gewaesserrastergroesse");
    }
    const bool hasRaster = seas.gridWidth_ > 0 && seas.gridHeight_ > 0;

    std::vector<RowRuns::Span> lakeSpans;
    for (const JsonValue object : asArray(member(root, "areas"), "Gewaesserliste")) {
        const auto n = static_cast<std::uint32_t>(seas.areas_.size());
        Country area;
        area.id = asString(member(object, "id"), "id");
        area.name = asName(member(object, "name"), "name");
        area.polygons = readPolygons(member(object, "polygons"), waterPolygonMessages);
        if (const auto spans = findMember(object, "hex_spans")) {
            if (!hasRaster) {
                failLoad("Fehlendes Gewaesserraster");
            }
            readSpans(*spans, seas.gridWidth_, seas.gridHeight_, "Ungueltige Seerasterzeile", n, lakeSpans);
        }
        const auto kindValue = findMember(object, "kind");
        const std::string kind = kindValue ? std::string(asString(*kindValue, "kind")) : std::string();
        seas.kinds_.try_emplace(area.name, kind);
        if (kind == "river_arm") {
            seas.riverArms_.insert(area.name);
        }
        const auto detail = findMember(object, "detail");
        if (detail && asBoolean(*detail, "detail")) {
            seas.details_.push_back(area);
        }
        seas.areas_.push_back(std::move(area));
    }

    std::vector<RowRuns::Span> inlandSpans;
    if (const auto spans = findMember(root, "water_hex_spans")) {
        if (!hasRaster) {
            failLoad("Fehlendes Binnengewaesserraster");
        }
        readSpans(*spans, seas.gridWidth_, seas.gridHeight_, "Ungueltige Binnengewaesserrasterzeile", 0, inlandSpans);
    }
    seas.lakeCells_ = RowRuns(seas.gridHeight_, lakeSpans);
    seas.inlandWaterCells_ = RowRuns(seas.gridHeight_, inlandSpans);
    return seas;
}

Seas Seas::load(const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::geography, "Gewaesserdatei nicht lesbar: " + file.string(),
                        [](std::istream& input) { return load(input); });
}

std::optional<std::string> Seas::at(Point geography) const {
    // World copies east and west of the map ask with longitudes beyond +-180.
    const double longitude = geography.x - 360.0 * std::floor((geography.x + 180.0) / 360.0);
    const auto index = firstContaining(areas_, {longitude, geography.y});
    return index ? std::optional(areas_[*index].name) : std::nullopt;
}

std::optional<int> Seas::cellColumn(Hex h, int width, int height) const {
    if (width != gridWidth_ || height != gridHeight_ || width <= 0 || h.r < 0 || h.r >= height) {
        return std::nullopt;
    }
    return wrappedColumn(h, width);
}

std::optional<std::string> Seas::atHex(Hex h, int width, int height) const {
    const auto column = cellColumn(h, width, height);
    const auto area = column ? lakeCells_.at(h.r, *column) : std::nullopt;
    return area ? std::optional(areas_[*area].name) : std::nullopt;
}

bool Seas::containsHex(Hex h, int width, int height) const {
    const auto column = cellColumn(h, width, height);
    return column && (inlandWaterCells_.at(h.r, *column) || lakeCells_.at(h.r, *column));
}

bool Seas::isLocalMarine(const std::string& name) const {
    const auto found = kinds_.find(name);
    return found != kinds_.end() && !found->second.empty() && !isOpenSeaKind(found->second);
}

bool Seas::isRiverArm(const std::string& name) const { return riverArms_.contains(name); }

} // namespace korvan
