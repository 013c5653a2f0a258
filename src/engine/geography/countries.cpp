// Loading countries.json and testing points against country polygons.
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "geography/countries.hpp"
#include "geography/polygon_file.hpp"

#include <algorithm>
#include <cmath>
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

Point readPoint(JsonValue value) {
    const JsonArray point = asArray(value, "Punkt");
    auto element = point.begin();
    if (element == point.end()) {
        throw std::runtime_error("JSON-Punkt ohne Laenge und Breite");
    }
    const double longitude = asNumber(*element, "Laenge");
    if (++element == point.end()) {
        throw std::runtime_error("JSON-Punkt ohne Breite");
    }
    return {longitude, asNumber(*element, "Breite")};
}

Country readCountry(JsonValue object) {
    Country country;
    country.id = asString(member(object, "id"), "id");
    country.name = asName(member(object, "name"), "name");
    if (const auto status = findMember(object, "status")) {
        country.status = asString(*status, "status");
    }
    const auto sovereign = findMember(object, "sovereign_id");
    country.sovereignId = sovereign ? asString(*sovereign, "sovereign_id") : std::string_view(country.id);
    country.polygons = readPolygons(member(object, "polygons"), countryPolygonMessages);
    return country;
}

std::vector<Country> readCountryList(JsonValue list) {
    std::vector<Country> result;
    const JsonArray countries = asArray(list, "Laenderliste");
    result.reserve(elementCount(countries));
    for (const JsonValue object : countries) {
        result.push_back(readCountry(object));
    }
    return result;
}

} // namespace

std::vector<CountryPolygon> readPolygons(JsonValue polygons, const PolygonMessages& messages) {
    std::vector<CountryPolygon> result;
    for (const JsonValue rings : asArray(polygons, "Polygonliste")) {
        CountryPolygon polygon;
        for (const JsonValue points : asArray(rings, "Polygon")) {
            const JsonArray list = asArray(points, "Ring");
            std::vector<Point> ring;
            ring.reserve(elementCount(list));
            for (const JsonValue value : list) {
                const Point p = readPoint(value);
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::abs(p.x) > 180.0 || std::abs(p.y) > 90.0) {
                    throw std::runtime_error(messages.coordinate);
                }
                polygon.minimum = {std::min(polygon.minimum.x, p.x), std::min(polygon.minimum.y, p.y)};
                polygon.maximum = {std::max(polygon.maximum.x, p.x), std::max(polygon.maximum.y, p.y)};
                ring.push_back(p);
            }
            if (ring.size() <= 3) {
                throw std::runtime_error(messages.ring);
            }
            polygon.rings.push_back(std::move(ring));
        }
        if (polygon.rings.empty()) {
            throw std::runtime_error(messages.emptyPolygon);
        }
        result.push_back(std::move(polygon));
    }
    return result;
}

Countries Countries::load(std::istream& input) {
    const JsonDocument document(input);
    const JsonValue root = document.root();
    if (!numberEquals(member(root, "schema_version"), 1)) {
        throw std::runtime_error("Unbekanntes Laenderschema");
    }
    Countries countries;
    countries.entries = readCountryList(member(root, "countries"));
    if (const auto disputed = findMember(root, "disputed_areas")) {
        countries.disputedAreas = readCountryList(*disputed);
    }
    return countries;
}

Countries Countries::load(const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::geography, "Laenderdatei nicht lesbar: " + file.string(),
                        [](std::istream& input) { return load(input); });
}

} // namespace korvan
