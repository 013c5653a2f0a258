// Loading countries.json and testing points against country polygons.
#include "core/data_file.hpp"
#include "geography/countries.hpp"
#include "geography/countries_json.hpp"

#include <cmath>
#include <exception>
#include <fstream>
#include <stdexcept>

namespace korvan {

bool inside(const std::vector<Point>& ring, Point p) {
    bool result = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = ring[j];
        const Point b = ring[i];
        if ((p.y < a.y) != (p.y < b.y) && p.x < a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y)) {
            result = !result;
        }
    }
    return result;
}

bool CountryPolygon::contains(Point geography) const {
    const Point p = geography;
    // Points on the box edge still run the ring test: the box is closed, the rings decide.
    if (p.x < minimum.x || p.x > maximum.x || p.y < minimum.y || p.y > maximum.y || rings.empty()) {
        return false;
    }
    if (!inside(rings.front(), p)) {
        return false;
    }
    for (std::size_t k = 1; k < rings.size(); ++k) {
        if (inside(rings[k], p)) {
            return false;
        }
    }
    return true;
}

std::optional<std::size_t> firstContaining(const std::vector<Country>& list, Point geography) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        for (const CountryPolygon& polygon : list[i].polygons) {
            if (polygon.contains(geography)) {
                return i;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Countries::at(Point geography) const { return firstContaining(entries, geography); }

std::optional<std::size_t> Countries::disputedAt(Point geography) const {
    return firstContaining(disputedAreas, geography);
}

namespace {

std::string readText(const std::optional<JsonCursor>& value, const char* key) {
    if (!value) {
        throw std::runtime_error(std::string("JSON-Schluessel fehlt: ") + key);
    }
    return JsonCursor(*value).readString(key);
}

// Members are visited in file order and the last of equal keys wins. The polygons, nearly all
// of the file, are read where they stand instead of being skipped and read again; their error
// is held back so that faults of id, name, status and sovereign_id are reported first.
Country readCountry(JsonCursor& cursor) {
    std::optional<JsonCursor> id, name, status, sovereign;
    std::optional<std::vector<CountryPolygon>> polygons;
    std::exception_ptr polygonError;
    cursor.enterObject("Land");
    std::string key;
    while (cursor.nextMember(key)) {
        if (key == "polygons") {
            const JsonCursor start = cursor;
            polygonError = nullptr;
            try {
                polygons = readPolygons(cursor, countryPolygonMessages);
            } catch (const std::exception&) {
                polygonError = std::current_exception();
                cursor = start;
                cursor.skip();
            }
            continue;
        }
        if (key == "id") {
            id = cursor;
        } else if (key == "name") {
            name = cursor;
        } else if (key == "status") {
            status = cursor;
        } else if (key == "sovereign_id") {
            sovereign = cursor;
        }
        cursor.skip();
    }
    Country country;
    country.id = readText(id, "id");
    country.name = readText(name, "name");
    country.status = status ? readText(status, "status") : "country";
    country.sovereignId = sovereign ? readText(sovereign, "sovereign_id") : country.id;
    if (polygonError) {
        std::rethrow_exception(polygonError);
    }
    if (!polygons) {
        throw std::runtime_error("JSON-Schluessel fehlt: polygons");
    }
    country.polygons = std::move(*polygons);
    return country;
}

std::vector<Country> readCountryList(JsonCursor& cursor) {
    std::vector<Country> result;
    cursor.enterArray("Laenderliste");
    while (cursor.more()) {
        result.push_back(readCountry(cursor));
    }
    return result;
}

// A list read where it stands, or the error it failed with.
struct ListResult {
    bool present = false;
    std::vector<Country> countries;
    std::exception_ptr error;

    void read(JsonCursor& cursor) {
        const JsonCursor start = cursor;
        present = true;
        error = nullptr;
        try {
            countries = readCountryList(cursor);
        } catch (const std::exception&) {
            error = std::current_exception();
            cursor = start;
            cursor.skip();
        }
    }
};

} // namespace

Countries Countries::load(std::istream& input) {
    const std::string text = readWholeStream(input);
    validateJson(text);
    JsonCursor cursor(text, 0);
    // One pass in file order; the schema is judged before any fault of the lists is reported.
    std::optional<bool> schemaValid;
    ListResult entries;
    ListResult disputed;
    cursor.enterObject("Laenderdatei");
    std::string key;
    while (cursor.nextMember(key)) {
        if (key == "schema_version") {
            schemaValid = cursor.readNumberEqualTo(1);
        } else if (key == "countries") {
            entries.read(cursor);
        } else if (key == "disputed_areas") {
            disputed.read(cursor);
        } else {
            cursor.skip();
        }
    }
    if (!schemaValid) {
        throw std::runtime_error("JSON-Schluessel fehlt: schema_version");
    }
    if (!*schemaValid) {
        throw std::runtime_error("Unbekanntes Laenderschema");
    }
    if (entries.error) {
        std::rethrow_exception(entries.error);
    }
    if (!entries.present) {
        throw std::runtime_error("JSON-Schluessel fehlt: countries");
    }
    if (disputed.error) {
        std::rethrow_exception(disputed.error);
    }
    Countries countries;
    countries.entries = std::move(entries.countries);
    countries.disputedAreas = std::move(disputed.countries);
    return countries;
}

Countries Countries::load(const std::filesystem::path& file) {
    std::ifstream input = openDataFile(file, "Laenderdatei nicht lesbar: " + file.string());
    return load(input);
}

} // namespace korvan
