// Cities, urban areas and city parameters: value rules, message wrapping, merge and all-or-nothing.
#include "places/cities.hpp"
#include "geo_fixtures.hpp"

#include <gtest/gtest.h>

#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

json wien() {
    return {{"id", "wien"},      {"name", "Wien"},  {"longitude", 16.37},
            {"latitude", 48.21}, {"capital", true}, {"tier", 0}};
}

json citiesDocument(json cities) { return {{"schema_version", 1}, {"cities", std::move(cities)}}; }

std::vector<City> readCities(const json& document) {
    std::istringstream input(document.dump());
    return loadCities(input);
}

// The message one city object fails with (inside a cities document), or "" when it loads.
std::string cityError(const json& city) {
    return errorOf([&] { readCities(citiesDocument({city})); });
}

json with(json object, const std::string& key, json value) {
    object[key] = std::move(value);
    return object;
}

json without(json object, const std::string& key) {
    object.erase(key);
    return object;
}

UrbanAreas readUrban(const json& document) {
    std::istringstream input(document.dump());
    return UrbanAreas::load(input);
}

json urbanDocument(json cities, json fields) {
    return {{"schema_version", 1},
            {"width", 8},
            {"height", 4},
            {"cities", std::move(cities)},
            {"fields", std::move(fields)}};
}

void applyParameters(std::vector<City>& cities, const json& document) {
    std::istringstream input(document.dump());
    applyCityParameters(cities, input);
}

const std::string wrap = "Ungueltige Staedtedaten: ";

} // namespace

TEST(CitiesLoad, ReadsFieldsAndKeepsDefaults) {
    json graz = {{"id", "graz"},
                 {"name", "Graz"},
                 {"longitude", 15},
                 {"latitude", 47.07},
                 {"capital", false},
                 {"tier", 2},
                 {"population", 10000000000LL},
                 {"size_class", 4},
                 {"industry", 0},
                 {"infrastructure", 5},
                 {"fortification", 5}};
    const auto cities = readCities(citiesDocument({wien(), graz}));
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_EQ(cities[0].name, "Wien");
    EXPECT_EQ(cities[0].geography, (Point{16.37, 48.21}));
    EXPECT_TRUE(cities[0].capital);
    EXPECT_EQ(cities[0].population, 0);
    EXPECT_EQ(cities[0].sizeClass, 1);
    EXPECT_EQ(cities[0].industry, 1);
    EXPECT_EQ(cities[0].infrastructure, 1);
    EXPECT_EQ(cities[0].fortification, 0);
    EXPECT_EQ(cities[1].tier, 2);
    EXPECT_EQ(cities[1].population, 10000000000LL);
    EXPECT_EQ(cities[1].sizeClass, 4);
    EXPECT_EQ(cities[1].industry, 0);
    EXPECT_EQ(cities[1].infrastructure, 5);
    EXPECT_EQ(cities[1].fortification, 5);
    EXPECT_TRUE(readCities(citiesDocument(json::array())).empty());
}

TEST(CitiesLoad, IdNameCoordinateAndTierRules) {
    EXPECT_EQ(cityError(with(wien(), "id", std::string(64, 'i'))), "");
    EXPECT_EQ(cityError(with(wien(), "id", std::string(65, 'i'))), wrap + "Leere, zu lange oder doppelte Stadt-ID");
    EXPECT_EQ(cityError(with(wien(), "id", "")), wrap + "Leere, zu lange oder doppelte Stadt-ID");
    json other = with(with(wien(), "name", "Anders"), "longitude", 3);
    EXPECT_EQ(errorOf([&] {
                  readCities(citiesDocument({wien(), other}));
              }),
              wrap + "Leere, zu lange oder doppelte Stadt-ID");

    EXPECT_EQ(cityError(with(wien(), "name", "St. Poelten-Nord 2")), "");
    EXPECT_EQ(cityError(with(wien(), "name", std::string(80, 'a'))), "");
    for (const std::string& bad : std::vector<std::string>{"",
                                                           "M\xC3\xB6"
                                                           "dling",
                                                           "L'Aquila", "Ost/West", std::string(81, 'a')}) {
        EXPECT_EQ(cityError(with(wien(), "name", bad)), wrap + "Stadtname muss darstellbaren ASCII-Text enthalten")
            << bad;
    }

    EXPECT_EQ(cityError(with(wien(), "longitude", "16")), wrap + "Stadtkoordinaten muessen Zahlen sein");
    EXPECT_EQ(cityError(with(wien(), "latitude", nullptr)), wrap + "Stadtkoordinaten muessen Zahlen sein");
    EXPECT_EQ(cityError(with(wien(), "longitude", -180)), "");
    EXPECT_EQ(cityError(with(wien(), "latitude", 90)), "");
    EXPECT_EQ(cityError(with(wien(), "longitude", 180.01)), wrap + "Ungueltige Stadtkoordinaten");
    EXPECT_EQ(cityError(with(wien(), "latitude", -90.5)), wrap + "Ungueltige Stadtkoordinaten");

    EXPECT_EQ(cityError(with(wien(), "tier", 3)), wrap + "Ungueltige Stadt-Prioritaet");
    EXPECT_EQ(cityError(with(wien(), "tier", 1.0)), wrap + "Ungueltige Stadt-Prioritaet");
    EXPECT_EQ(cityError(with(wien(), "tier", -1)), wrap + "Ungueltige Stadt-Prioritaet");

    // Missing keys and wrong types come from the JSON library, still behind the prefix.
    EXPECT_EQ(cityError(without(wien(), "capital")).rfind(wrap, 0), 0u);
    EXPECT_EQ(cityError(with(wien(), "capital", 1)).rfind(wrap, 0), 0u);
    EXPECT_EQ(cityError(without(wien(), "tier")).rfind(wrap, 0), 0u);
}

TEST(CitiesLoad, ParametersAreBoundedIntegers) {
    EXPECT_EQ(cityError(with(wien(), "population", 10000000001LL)), wrap + "Ungueltiger Stadtparameter: population");
    EXPECT_EQ(cityError(with(wien(), "population", -1)), wrap + "Ungueltiger Stadtparameter: population");
    EXPECT_EQ(cityError(with(wien(), "population", 18446744073709551615ULL)),
              wrap + "Ungueltiger Stadtparameter: population");
    EXPECT_EQ(cityError(with(wien(), "size_class", 0)), wrap + "Ungueltiger Stadtparameter: size_class");
    EXPECT_EQ(cityError(with(wien(), "size_class", 2.0)), wrap + "Ungueltiger Stadtparameter: size_class");
    EXPECT_EQ(cityError(with(wien(), "industry", 6)), wrap + "Ungueltiger Stadtparameter: industry");
    EXPECT_EQ(cityError(with(wien(), "infrastructure", "3")), wrap + "Ungueltiger Stadtparameter: infrastructure");
    EXPECT_EQ(cityError(with(wien(), "fortification", -1)), wrap + "Ungueltiger Stadtparameter: fortification");
}

TEST(CitiesLoad, DocumentRulesAndPathWrapping) {
    EXPECT_EQ(errorOf([] {
                  readCities({{"schema_version", 1.0}, {"cities", json::array()}});
              }),
              wrap + "Unbekanntes Staedteschema");
    EXPECT_EQ(errorOf([] {
                  readCities({{"schema_version", 2}, {"cities", json::array()}});
              }),
              wrap + "Unbekanntes Staedteschema");
    EXPECT_EQ(errorOf([] {
                  readCities({{"schema_version", 1}, {"cities", json::object()}});
              }),
              wrap + "Ungueltige Staedteliste");
    json many = json::array();
    for (int k = 0; k <= 100000; ++k) {
        many.push_back(k);
    }
    EXPECT_EQ(errorOf([&] { readCities(citiesDocument(many)); }), wrap + "Ungueltige Staedteliste");
    std::istringstream broken("{\"schema_version\": 1,");
    EXPECT_EQ(errorOf([&] { loadCities(broken); }).rfind(wrap, 0), 0u);

    const TempFile good(citiesDocument({wien()}));
    EXPECT_EQ(loadCities(good.path()).size(), 1u);
    const TempFile bad(citiesDocument({with(wien(), "tier", 7)}));
    EXPECT_EQ(errorOf([&] { loadCities(bad.path()); }),
              bad.path().string() + ": " + wrap + "Ungueltige Stadt-Prioritaet");
    EXPECT_EQ(errorOf([] { loadCities(missingFile()); }), "Staedtedaten nicht gefunden: " + missingFile().string());
}

TEST(UrbanAreasLoad, CentresIgnoreTheirTierAndFieldsAreChecked) {
    json centre = without(wien(), "tier");
    json second = with(with(wien(), "id", "linz"), "tier", 9);
    const UrbanAreas areas = readUrban(urbanDocument({centre, second}, {{0, 0, 0}, {3, 7, 1}, {1, 2, -1}}));
    ASSERT_EQ(areas.cities().size(), 2u);
    EXPECT_EQ(areas.cities()[0].tier, urbanCentreTier);
    EXPECT_EQ(areas.cities()[1].tier, urbanCentreTier);
    EXPECT_EQ(areas.gridWidth(), 8);
    EXPECT_EQ(areas.gridHeight(), 4);
    EXPECT_EQ(areas.cells().at(0), 0);
    EXPECT_EQ(areas.cells().at(3 * 8 + 7), 1);
    EXPECT_EQ(areas.cells().at(1 * 8 + 2), -1); // built up, but no named centre

    // schema 1.0 is accepted here, unlike in cities.json.
    json document = urbanDocument({centre}, json::array());
    document["schema_version"] = 1.0;
    EXPECT_EQ(readUrban(document).cities().size(), 1u);

    const auto urbanError = [](const json& d) { return errorOf([&] { readUrban(d); }); };
    document["schema_version"] = 2;
    EXPECT_EQ(urbanError(document), "Unbekanntes Stadtgebietsschema");
    for (const auto& [w, h] : {std::pair{0, 4}, {8193, 4}, {8192, 3907}}) {
        json sized = urbanDocument({centre}, json::array());
        sized["width"] = w;
        sized["height"] = h;
        EXPECT_EQ(urbanError(sized), "Ungueltiges Stadtraster") << w << "x" << h;
    }
    EXPECT_EQ(urbanError(urbanDocument({with(centre, "name", "A/B")}, json::array())),
              wrap + "Stadtname muss darstellbaren ASCII-Text enthalten");
    for (const json& field :
         {json{4, 0, 0}, json{0, 8, 0}, json{0, -1, 0}, json{0, 0, 1}, json{0, 0, -2}, json{0, 0}, json{0, 0.5, 0}}) {
        EXPECT_EQ(urbanError(urbanDocument({centre}, {field})), "Ungueltiges Stadtfeld") << field.dump();
    }
    EXPECT_EQ(urbanError(urbanDocument({centre}, {{1, 1, 0}, {1, 1, -1}})), "Doppeltes Stadtfeld");
    EXPECT_EQ(errorOf([] { UrbanAreas::load(missingFile()); }), "Stadtgebiete fehlen: " + missingFile().string());
}

TEST(UrbanAreasMerge, KnownIdsReplaceButKeepTheirTierAndNewOnesAppend) {
    std::vector<City> cities = readCities(citiesDocument({with(wien(), "tier", 1), with(wien(), "id", "graz")}));
    json centre = with(with(with(wien(), "name", "Wien Stadt"), "longitude", 16.4), "population", 1900000);
    json fresh = with(with(wien(), "id", "moedling"), "capital", false);
    const UrbanAreas areas = readUrban(urbanDocument({fresh, centre}, json::array()));
    const auto positions = mergeUrbanCenters(cities, areas);
    ASSERT_EQ(cities.size(), 3u);
    EXPECT_EQ(positions, (std::vector<std::size_t>{2, 0}));
    EXPECT_EQ(cities[0].name, "Wien Stadt");
    EXPECT_EQ(cities[0].geography.x, 16.4);
    EXPECT_EQ(cities[0].population, 1900000);
    EXPECT_EQ(cities[0].tier, 1);
    EXPECT_EQ(cities[2].id, "moedling");
    EXPECT_EQ(cities[2].tier, urbanCentreTier);
}

TEST(CityParameters, ApplyAllOrNothing) {
    std::vector<City> cities = readCities(citiesDocument({wien(), with(wien(), "id", "graz")}));
    applyParameters(cities,
                    {{"schema_version", 1.0}, {"cities", {{{"id", "graz"}, {"industry", 4}, {"population", 300000}}}}});
    EXPECT_EQ(cities[1].industry, 4);
    EXPECT_EQ(cities[1].population, 300000);
    EXPECT_EQ(cities[0].industry, 1);

    const std::vector<City> before = cities;
    const auto failing = [&](const json& entries) {
        return errorOf([&] { applyParameters(cities, {{"schema_version", 1}, {"cities", entries}}); });
    };
    // The first element would succeed; the failing second one leaves both untouched.
    EXPECT_EQ(failing({{{"id", "wien"}, {"fortification", 5}}, {{"id", "salzburg"}}}),
              "Unbekannte oder doppelte Stadtparameter-ID: salzburg");
    EXPECT_EQ(failing({{{"id", "wien"}, {"fortification", 5}}, {{"id", "wien"}}}),
              "Unbekannte oder doppelte Stadtparameter-ID: wien");
    EXPECT_EQ(failing({{{"id", "wien"}, {"fortification", 5}}, {{"id", "graz"}, {"size_class", 9}}}),
              "Ungueltiger Stadtparameter: size_class");
    EXPECT_EQ(cities[0].fortification, before[0].fortification);
    EXPECT_EQ(cities[1].sizeClass, before[1].sizeClass);

    EXPECT_EQ(errorOf([&] {
                  applyParameters(cities, {{"schema_version", 2}, {"cities", json::array()}});
              }),
              "Ungueltiges Stadtparameterschema");
    EXPECT_EQ(errorOf([&] {
                  applyParameters(cities, {{"schema_version", 1}, {"cities", json::object()}});
              }),
              "Ungueltiges Stadtparameterschema");
    EXPECT_EQ(errorOf([&] { applyCityParameters(cities, missingFile()); }),
              "Stadtparameter fehlen: " + missingFile().string());
    const TempFile file(json{{"schema_version", 1}, {"cities", {{{"id", "wien"}, {"size_class", 3}}}}});
    applyCityParameters(cities, file.path());
    EXPECT_EQ(cities[0].sizeClass, 3);
}
