// Countries: the loader's messages and defaults, ring and hole containment, list-order look-ups.
#include "geography/countries.hpp"
#include "geo_fixtures.hpp"

#include <gtest/gtest.h>

#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

Countries loadCountries(const json& document) {
    std::istringstream input(document.dump());
    return Countries::load(input);
}

json countriesDocument(json countries) { return {{"schema_version", 1}, {"countries", std::move(countries)}}; }

json square(double west, double south, double east, double north) {
    return json::array({json::array({boxRing(west, south, east, north)})});
}

std::string errorFor(const json& document) {
    return errorOf([&] { loadCountries(document); });
}

} // namespace

TEST(CountriesLoad, ReadsDefaultsAndBothLists) {
    json austria = countryObject("AUT", square(9, 46, 17, 49));
    austria["status"] = "dependent";
    austria["sovereign_id"] = "XYZ";
    json document = countriesDocument({austria, countryObject("CHE", square(6, 45, 10, 48))});
    const Countries plain = loadCountries(document);
    ASSERT_EQ(plain.entries.size(), 2u);
    EXPECT_TRUE(plain.disputedAreas.empty());
    EXPECT_EQ(plain.entries[0].status, "dependent");
    EXPECT_EQ(plain.entries[0].sovereignId, "XYZ");
    EXPECT_EQ(plain.entries[1].status, "country");
    EXPECT_EQ(plain.entries[1].sovereignId, "CHE");
    EXPECT_EQ(plain.entries[1].name, "CHE Land");
    const CountryPolygon& box = plain.entries[0].polygons.at(0);
    EXPECT_EQ(box.minimum, (Point{9, 46}));
    EXPECT_EQ(box.maximum, (Point{17, 49}));

    document["disputed_areas"] = json::array({countryObject("KAS", square(74, 33, 78, 36))});
    EXPECT_EQ(loadCountries(document).disputedAreas.at(0).id, "KAS");

    const TempFile file(document);
    EXPECT_EQ(Countries::load(file.path()).entries.size(), 2u);
}

TEST(CountriesLoad, RejectsWithTheDocumentedMessages) {
    const auto withRing = [](json ring) {
        return countriesDocument({countryObject("X", json::array({json::array({std::move(ring)})}))});
    };
    json valid = countriesDocument({countryObject("X", square(0, 0, 1, 1))});
    valid["schema_version"] = 2;
    EXPECT_EQ(errorFor(valid), "Unbekanntes Laenderschema");

    EXPECT_EQ(errorFor(withRing({{0, 0}, {1, 0}, {1, 90.0}, {0, 1}})), "");
    EXPECT_EQ(errorFor(withRing({{-180, 0}, {1, 0}, {1, -90.0}, {0, 1}})), "");
    EXPECT_EQ(errorFor(withRing({{0, 0}, {1, 0}, {1, 90.000001}, {0, 1}})), "Ungueltige Laenderkoordinate");
    EXPECT_EQ(errorFor(withRing({{0, 0}, {180.5, 0}, {1, 1}, {0, 1}})), "Ungueltige Laenderkoordinate");
    EXPECT_EQ(errorFor(withRing({{0, 0}, {1, 0}, {1, 1}})), "Ungueltiger Laenderring");
    // The coordinate is checked while the ring is read, before its length.
    EXPECT_EQ(errorFor(withRing({{0, 0}, {1, 0}, {1, 99}})), "Ungueltige Laenderkoordinate");
    EXPECT_EQ(errorFor(countriesDocument({countryObject("X", json::array({json::array()}))})), "Leeres Laenderpolygon");
    // A country without polygons is valid and simply owns nothing.
    EXPECT_EQ(errorFor(countriesDocument({countryObject("X", json::array())})), "");

    // Structural faults surface as the JSON library's own errors.
    EXPECT_NE(errorFor(countriesDocument({{{"id", "X"}, {"polygons", json::array()}}})), "");
    EXPECT_NE(errorFor(withRing({{0, 0}, {1, 0}, {1}, {0, 1}})), "");
    EXPECT_NE(errorFor({{"schema_version", 1}}), "");
    std::istringstream broken("{\"schema_version\": 1, ");
    EXPECT_THROW(Countries::load(broken), std::exception);

    // Like every data file, a broken countries file is named in its message.
    const TempFile unknownSchema(json{{"schema_version", 2}, {"countries", json::array()}});
    EXPECT_EQ(errorOf([&] { Countries::load(unknownSchema.path()); }),
              unknownSchema.path().string() + ": Unbekanntes Laenderschema");
    EXPECT_EQ(errorOf([] { Countries::load(missingFile()); }), "Laenderdatei nicht lesbar: " + missingFile().string());
}

TEST(CountryPolygon, HolesAreExcludedAndTheBoxEdgeStillRunsTheRingTest) {
    CountryPolygon polygon;
    polygon.rings = {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{4, 4}, {6, 4}, {6, 6}, {4, 6}}};
    polygon.minimum = {0, 0};
    polygon.maximum = {10, 10};
    EXPECT_TRUE(polygon.contains({2, 2}));
    EXPECT_FALSE(polygon.contains({5, 5}));      // in the hole
    EXPECT_FALSE(polygon.contains({4.0, 5.0}));  // a hole owns its west edge, as every ring does
    EXPECT_TRUE(polygon.contains({6.0, 5.0}));   // and leaves its east edge to the country
    EXPECT_TRUE(polygon.contains({0.0, 5.0}));   // west edge of the box: inside by the crossing rule
    EXPECT_FALSE(polygon.contains({10.0, 5.0})); // east edge of the box: outside by the crossing rule
    EXPECT_FALSE(polygon.contains({10.5, 5.0}));
    EXPECT_FALSE(polygon.contains({5.0, -0.1}));

    CountryPolygon noRings;
    noRings.minimum = {0, 0};
    noRings.maximum = {10, 10};
    EXPECT_FALSE(noRings.contains({5, 5}));
}

TEST(CountryPolygon, EvenOddRuleOnAConcaveRing) {
    // A "U" open to the north: the notch between the arms is outside.
    const std::vector<Point> ring{{0, 0}, {9, 0}, {9, 9}, {6, 9}, {6, 3}, {3, 3}, {3, 9}, {0, 9}};
    EXPECT_TRUE(inside(ring, {1, 5}));
    EXPECT_TRUE(inside(ring, {8, 5}));
    EXPECT_FALSE(inside(ring, {4.5, 5}));
    EXPECT_TRUE(inside(ring, {4.5, 1}));
    // Through the notch's corners (y = 3) each arm is crossed once, and the notch floor itself
    // lies outside: a vertex at the point's latitude counts as not above it.
    EXPECT_TRUE(inside(ring, {1, 3}));
    EXPECT_FALSE(inside(ring, {4.5, 3}));
}

TEST(CountriesLookup, TheFirstListedCountryAndAreaWin) {
    json document = countriesDocument({countryObject("A", square(0, 0, 10, 10)),
                                       countryObject("B", square(5, 5, 20, 20)), countryObject("C", json::array())});
    document["disputed_areas"] = {countryObject("D1", square(8, 8, 12, 12)), countryObject("D2", square(0, 0, 30, 30))};
    const Countries countries = loadCountries(document);
    EXPECT_EQ(countries.at({7, 7}), 0u);
    EXPECT_EQ(countries.at({15, 15}), 1u);
    EXPECT_EQ(countries.at({25, 25}), std::nullopt);
    EXPECT_EQ(countries.disputedAt({9, 9}), 0u);
    EXPECT_EQ(countries.disputedAt({25, 25}), 1u);
    EXPECT_EQ(countries.disputedAt({-5, 5}), std::nullopt);
}
