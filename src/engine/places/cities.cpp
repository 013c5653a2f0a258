// Reading cities.json, urban.json and city-parameters.json, and merging urban centres into the city list.
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "places/cities.hpp"
#include "core/json_values.hpp"

#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace korvan {

namespace {

constexpr std::size_t maxCities = 100000;
constexpr std::size_t maxIdBytes = 64;
constexpr std::size_t maxNameBytes = 80;
constexpr int maxRasterDimension = 8192;
constexpr std::int64_t maxRasterFields = 32'000'000;

// The optional parameters shared by all three city files; absent keys keep the current value.
void readParameters(JsonValue object, City& city) {
    struct Parameter {
        const char* key;
        std::int64_t low;
        std::int64_t high;
    };
    static constexpr Parameter parameters[] = {{"population", 0, 10'000'000'000},
                                               {"size_class", 1, 4},
                                               {"industry", 0, 5},
                                               {"infrastructure", 0, 5},
                                               {"fortification", 0, 5}};
    std::int64_t values[5] = {city.population, city.sizeClass, city.industry, city.infrastructure, city.fortification};
    for (std::size_t k = 0; k < 5; ++k) {
        const auto found = findMember(object, parameters[k].key);
        if (!found) {
            continue;
        }
        const auto value = boundedInteger(*found, parameters[k].low, parameters[k].high);
        if (!value) {
            failLoad(std::string("Ungueltiger Stadtparameter: ") + parameters[k].key);
        }
        values[k] = *value;
    }
    city.population = values[0];
    city.sizeClass = static_cast<int>(values[1]);
    city.industry = static_cast<int>(values[2]);
    city.infrastructure = static_cast<int>(values[3]);
    city.fortification = static_cast<int>(values[4]);
}

// The tier of urban centres is not read: the caller gives them theirs.
enum class Tier { FromFile, Ignored };

City readCity(JsonValue object, Tier tierRule, std::unordered_set<std::string>& seenIds) {
    City city;
    city.id = asString(member(object, "id"), "id");
    city.name = asString(member(object, "name"), "name");
    if (city.id.empty() || city.id.size() > maxIdBytes || !seenIds.insert(city.id).second) {
        failLoad("Leere, zu lange oder doppelte Stadt-ID");
    }
    if (!isPlainName(city.name, maxNameBytes)) {
        failLoad("Stadtname muss darstellbaren ASCII-Text enthalten");
    }
    const JsonValue longitude = member(object, "longitude");
    const JsonValue latitude = member(object, "latitude");
    if (!isNumber(longitude) || !isNumber(latitude)) {
        failLoad("Stadtkoordinaten muessen Zahlen sein");
    }
    city.geography = {asNumber(longitude, "longitude"), asNumber(latitude, "latitude")};
    if (!std::isfinite(city.geography.x) || !std::isfinite(city.geography.y) || std::abs(city.geography.x) > 180.0 ||
        std::abs(city.geography.y) > 90.0) {
        failLoad("Ungueltige Stadtkoordinaten");
    }
    city.capital = asBoolean(member(object, "capital"), "capital");
    if (tierRule == Tier::FromFile) {
        const auto tier = boundedInteger(member(object, "tier"), 0, 2);
        if (!tier) {
            failLoad("Ungueltige Stadt-Prioritaet");
        }
        city.tier = static_cast<int>(*tier);
    }
    readParameters(object, city);
    return city;
}

std::vector<City> readCityList(JsonValue list, Tier tierRule) {
    JsonArray elements;
    if (list.get_array().get(elements) || elementCount(elements) > maxCities) {
        failLoad("Ungueltige Staedteliste");
    }
    std::vector<City> cities;
    cities.reserve(elementCount(elements));
    std::unordered_set<std::string> seenIds;
    for (const JsonValue element : elements) {
        cities.push_back(readCity(element, tierRule, seenIds));
    }
    return cities;
}

// Every error of a city list, the library's included, carries one prefix.
constexpr std::string_view cityListErrors = "Ungueltige Staedtedaten: ";

} // namespace

std::vector<City> loadCities(std::istream& input) {
    return withErrorPrefix(cityListErrors, [&] {
        const JsonDocument document(input);
        const JsonValue root = document.root();
        if (!boundedInteger(member(root, "schema_version"), 1, 1)) {
            failLoad("Unbekanntes Staedteschema");
        }
        return readCityList(member(root, "cities"), Tier::FromFile);
    });
}

std::vector<City> loadCities(const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::cities, "Staedtedaten nicht gefunden: " + file.string(),
                        [](std::istream& input) { return loadCities(input); });
}

void applyCityParameters(std::vector<City>& cities, std::istream& input) {
    const JsonDocument parsed(input);
    const JsonValue document = parsed.root();
    const bool schemaValid = numberEquals(member(document, "schema_version"), 1);
    const auto list = findMember(document, "cities");
    if (!schemaValid || !list || !list->is_array()) {
        failLoad("Ungueltiges Stadtparameterschema");
    }
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        index.try_emplace(cities[i].id, i);
    }
    std::vector<City> updated = cities;
    std::unordered_set<std::string> handled;
    for (const JsonValue element : asArray(*list, "cities")) {
        const std::string id(asString(member(element, "id"), "id"));
        const auto found = index.find(id);
        if (found == index.end() || !handled.insert(id).second) {
            failLoad("Unbekannte oder doppelte Stadtparameter-ID: " + id);
        }
        readParameters(element, updated[found->second]);
    }
    cities = std::move(updated);
}

void applyCityParameters(std::vector<City>& cities, const std::filesystem::path& file) {
    loadDataFile(file, fileCaps::small, "Stadtparameter fehlen: " + file.string(),
                 [&](std::istream& input) { applyCityParameters(cities, input); });
}

UrbanAreas UrbanAreas::load(std::istream& input) {
    const JsonDocument parsed(input);
    const JsonValue document = parsed.root();
    if (!numberEquals(member(document, "schema_version"), 1)) {
        failLoad("Unbekanntes Stadtgebietsschema");
    }
    const auto width = boundedInteger(member(document, "width"), 1, maxRasterDimension);
    const auto height = boundedInteger(member(document, "height"), 1, maxRasterDimension);
    if (!width || !height || *width * *height > maxRasterFields) {
        failLoad("Ungueltiges Stadtraster");
    }
    UrbanAreas areas;
    areas.width_ = static_cast<int>(*width);
    areas.height_ = static_cast<int>(*height);

    // The centres follow every city rule, but their file tier never matters.
    const JsonValue centres = member(document, "cities");
    areas.centers_ = withErrorPrefix(cityListErrors, [&] { return readCityList(centres, Tier::Ignored); });
    for (City& centre : areas.centers_) {
        centre.tier = urbanCentreTier;
    }

    const auto centreCount = static_cast<std::int64_t>(areas.centers_.size());
    const JsonArray fields = asArray(member(document, "fields"), "fields");
    areas.fields_.reserve(elementCount(fields)); // each entry takes several bytes of the file
    for (const JsonValue value : fields) {
        const auto field = fixedArray<3>(value);
        if (!field) {
            failLoad("Ungueltiges Stadtfeld");
        }
        const auto row = boundedInteger((*field)[0], 0, *height - 1);
        const auto column = boundedInteger((*field)[1], 0, *width - 1);
        const auto centre = boundedInteger((*field)[2], -1, centreCount - 1);
        if (!row || !column || !centre) {
            failLoad("Ungueltiges Stadtfeld");
        }
        const int key = static_cast<int>(*row * *width + *column);
        if (!areas.fields_.emplace(key, static_cast<int>(*centre)).second) {
            failLoad("Doppeltes Stadtfeld");
        }
    }
    return areas;
}

UrbanAreas UrbanAreas::load(const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::urbanAreas, "Stadtgebiete fehlen: " + file.string(),
                        [](std::istream& input) { return load(input); });
}

std::vector<std::size_t> mergeUrbanCenters(std::vector<City>& cities, const UrbanAreas& urban) {
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        index.try_emplace(cities[i].id, i);
    }
    std::vector<std::size_t> positions;
    positions.reserve(urban.cities().size());
    for (const City& centre : urban.cities()) {
        const auto [slot, added] = index.try_emplace(centre.id, cities.size());
        if (added) {
            cities.push_back(centre);
        } else {
            const int tier = cities[slot->second].tier;
            cities[slot->second] = centre;
            cities[slot->second].tier = tier;
        }
        positions.push_back(slot->second);
    }
    return positions;
}

} // namespace korvan
