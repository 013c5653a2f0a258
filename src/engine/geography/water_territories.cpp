// Loading water-territories.json and answering per-hex water ownership by binary search over spans.
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "geography/water_territories.hpp"
#include "core/json_values.hpp"
#include "core/row_runs.hpp"

#include <algorithm>
#include <unordered_map>

namespace korvan {

namespace {

struct ListMessages {
    const char* key;
    const char* shape;
    const char* range;
    const char* overlap;
};

constexpr ListMessages waterList{"spans", "Ungueltige Gewaesser-Laenderzeile", "Ungueltige Gewaesser-Laenderzuordnung",
                                 "Ueberlappende Gewaesser-Laenderzuordnung"};
constexpr ListMessages marineList{"marine_spans", "Ungueltige marine Laenderzeile",
                                  "Ungueltige marine Laenderzuordnung", "Ueberlappende marine Laenderzuordnung"};
constexpr ListMessages landList{"land_spans", "Ungueltige Land-Ergaenzungszeile",
                                "Ungueltige Land-Ergaenzungszuordnung", "Ueberlappende Land-Ergaenzungszuordnung"};
constexpr ListMessages interiorList{"interior_water_spans", "Ungueltige Binnenwasser-Ergaenzung",
                                    "Ungueltige Binnenwasser-Zuordnung", "Ueberlappende Binnenwasser-Zuordnung"};

std::vector<WaterTerritories::Row> readSpans(JsonValue document, const ListMessages& messages, int width, int height,
                                             const std::vector<std::size_t>& owners) {
    std::vector<WaterTerritories::Row> rows(static_cast<std::size_t>(height));
    const auto list = findMember(document, messages.key);
    if (!list) {
        return rows;
    }
    for (const JsonValue entry : asArray(*list, messages.key)) {
        const auto values = fixedArray<4>(entry);
        if (!values) {
            failLoad(messages.shape);
        }
        // Floats and other non-integers count as out of range.
        const auto row = boundedInteger((*values)[0], 0, height - 1);
        const auto start = boundedInteger((*values)[1], 0, width - 1);
        const auto count = start ? boundedInteger((*values)[2], 1, width - *start) : std::nullopt;
        const auto owner = boundedInteger((*values)[3], 0, static_cast<std::int64_t>(owners.size()) - 1);
        if (!row || !start || !count || !owner) {
            failLoad(messages.range);
        }
        auto& spans = rows[static_cast<std::size_t>(*row)];
        if (!spans.empty() && *start < spans.back().end) {
            failLoad(messages.overlap);
        }
        spans.push_back(
            {static_cast<int>(*start), static_cast<int>(*start + *count), owners[static_cast<std::size_t>(*owner)]});
    }
    return rows;
}

// Interior water must be national water of the same country and never marine water.
bool interiorAgrees(const WaterTerritories::Row& interior, const WaterTerritories::Row& water,
                    const WaterTerritories::Row& marine) {
    for (const auto& span : interior) {
        for (int column = span.start; column < span.end;) {
            const auto* national = findSpan(water, column);
            if (national == nullptr || national->owner != span.owner) {
                return false;
            }
            column = national->end;
        }
        const auto next = std::partition_point(marine.begin(), marine.end(),
                                               [&](const WaterTerritories::Span& m) { return m.end <= span.start; });
        if (next != marine.end() && next->start < span.end) {
            return false;
        }
    }
    return true;
}

} // namespace

const WaterTerritories::Span* findSpan(const WaterTerritories::Row& row, int column) { return findRun(row, column); }

WaterTerritories WaterTerritories::load(const Map& map, const Countries& countries, std::istream& input) {
    const JsonDocument parsed(input);
    const JsonValue document = parsed.root();
    if (!numberEquals(member(document, "schema_version"), 1) || !numberEquals(member(document, "width"), map.width()) ||
        !numberEquals(member(document, "height"), map.height())) {
        failLoad("Gewaesser-Laender passen nicht zur Karte");
    }
    WaterTerritories result;
    result.gridWidth_ = map.width();
    result.gridHeight_ = map.height();
    std::unordered_map<std::string, std::size_t> indexOf;
    result.codes_.reserve(countries.entries.size());
    for (std::size_t i = 0; i < countries.entries.size(); ++i) {
        result.codes_.push_back(countries.entries[i].id);
        indexOf.try_emplace(countries.entries[i].id, i);
    }
    std::vector<std::size_t> owners;
    for (const JsonValue code : asArray(member(document, "countries"), "countries")) {
        const auto found = indexOf.find(std::string(asString(code, "countries")));
        if (found == indexOf.end()) {
            failLoad("Unbekanntes Gewaesserland");
        }
        owners.push_back(found->second);
    }
    const int w = result.gridWidth_;
    const int h = result.gridHeight_;
    static_cast<void>(member(document, waterList.key)); // required, unlike the other three lists
    result.rows_ = readSpans(document, waterList, w, h, owners);
    result.marineRows_ = readSpans(document, marineList, w, h, owners);
    result.landRows_ = readSpans(document, landList, w, h, owners);
    result.interiorRows_ = readSpans(document, interiorList, w, h, owners);
    for (int row = 0; row < h; ++row) {
        if (!interiorAgrees(result.interiorSpans(row), result.waterSpans(row), result.marineSpans(row))) {
            failLoad("Binnenwasser widerspricht der Laenderzuordnung");
        }
    }
    return result;
}

WaterTerritories WaterTerritories::load(const Map& map, const Countries& countries, const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::geography, "Gewaesser-Laenderdatei nicht lesbar: " + file.string(),
                        [&](std::istream& input) { return load(map, countries, input); });
}

const WaterTerritories::Span* WaterTerritories::spanAt(const std::vector<Row>& rows, Hex h, int width,
                                                       int height) const {
    if (width != gridWidth_ || height != gridHeight_ || h.r < 0 || h.r >= height || width <= 0) {
        return nullptr;
    }
    return findSpan(rows[static_cast<std::size_t>(h.r)], wrappedColumn(h, width));
}

std::optional<std::size_t> WaterTerritories::atHex(Hex h, int width, int height) const {
    const Span* span = spanAt(rows_, h, width, height);
    return span != nullptr ? std::optional(span->owner) : std::nullopt;
}

bool WaterTerritories::isMarineAtHex(Hex h, int width, int height) const {
    return spanAt(marineRows_, h, width, height) != nullptr;
}

bool WaterTerritories::isInteriorAtHex(Hex h, int width, int height) const {
    return spanAt(interiorRows_, h, width, height) != nullptr;
}

} // namespace korvan
