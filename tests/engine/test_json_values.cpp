// The JSON front end of the loaders: strict documents, typed access with named keys, the shared
// value rules, and that no loader accepts bytes after its document.
#include "core/json_values.hpp"
#include "forces_fixtures.hpp"
#include "geo_fixtures.hpp"
#include "places/cities.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "geography/water_territories.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;
using namespace std::string_literals;

namespace {

bool valid(std::string text) {
    try {
        JsonDocument document(std::move(text));
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

TEST(JsonFrontEnd, OnlyOneStrictDocumentIsAccepted) {
    for (const char* text :
         {"{}", "[]", " [1, -0.5e+3, 2E-2, true, false, null, \"a\\\"b\\u00e4\"] ", "{\"a\": {\"b\": [[], {}]}}",
          "\"\xC3\xB6\xE2\x82\xAC\xF0\x9F\x98\x80\"", "\"\\ud83d\\ude00\"", "0", "[1e-400]"}) {
        EXPECT_TRUE(valid(text)) << text;
    }
    for (const char* text :
         {"", " ", "[1,]", "{\"a\":1,}", "[1 2]", "{\"a\" 1}", "{a:1}", "['a']", "01", "1.", ".5", "+1", "-", "1e",
          "NaN", "[1] // note", "/* note */ [1]", "[1] [2]", "{} x", "\"open", "\"tab\there\"", "\"\\x\"",
          "\"\\ud800\"", "\"\\udc00\"", "\"\\u12G4\"", "\"\xFF\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "[", "{\"a\":",
          "tru", "nul"}) {
        EXPECT_FALSE(valid(text)) << text;
    }
    // A NUL byte ends nothing: before, inside or after the document it is an error.
    for (const std::string& text : {"{}\0"s, "{}\0 not json {{{"s, "[1\0]"s, "\"a\0b\""s}) {
        EXPECT_FALSE(valid(text)) << text.size();
    }
    // Numbers beyond what a double or a 64-bit integer holds fail the parse instead of turning
    // into infinities or floats.
    for (const char* text : {"[1e400]", "[-1e400]", "[99999999999999999999]", "[-9223372036854775809]"}) {
        EXPECT_FALSE(valid(text)) << text;
    }
    // Nesting beyond any data file's ends in an error, not in a stack overflow.
    EXPECT_FALSE(valid(std::string(200000, '[') + std::string(200000, ']')));
    EXPECT_EQ(errorOf([] { JsonDocument("[1,]"); }).rfind("Ungueltiges JSON: ", 0), 0u);
}

TEST(JsonFrontEnd, ValuesDecodeAndTheLastEqualKeyWins) {
    const JsonDocument document(
        R"({"s": "a\"b\\c\/d\n\u00f6\ud83d\ude00", "k": 1, "k": 2, "i": 12, "f": 1.0, "big": 18446744073709551615,
            "neg": -5, "t": true, "l": [1, [2, 3], {"x": 4}]})");
    const JsonValue object = document.root();
    EXPECT_EQ(asString(member(object, "s"), "s"), "a\"b\\c/d\n\xC3\xB6\xF0\x9F\x98\x80");
    EXPECT_EQ(boundedInteger(member(object, "k"), 0, 10), 2);
    EXPECT_EQ(boundedInteger(member(object, "i"), 0, 12), 12);
    EXPECT_EQ(boundedInteger(member(object, "i"), 13, 20), std::nullopt);
    EXPECT_EQ(boundedInteger(member(object, "i"), 0, 11), std::nullopt);
    EXPECT_EQ(boundedInteger(member(object, "neg"), -5, 0), -5);
    EXPECT_EQ(boundedInteger(member(object, "f"), 0, 10), std::nullopt); // a float is no integer, even 1.0
    EXPECT_EQ(boundedInteger(member(object, "big"), 0, INT64_MAX), std::nullopt);
    EXPECT_EQ(boundedInteger(member(object, "s"), 0, 10), std::nullopt);
    EXPECT_TRUE(isInteger(member(object, "big")));
    EXPECT_FALSE(isInteger(member(object, "f")));
    EXPECT_TRUE(numberEquals(member(object, "f"), 1));
    EXPECT_TRUE(numberEquals(member(object, "k"), 2));
    EXPECT_FALSE(numberEquals(member(object, "s"), 1));
    EXPECT_DOUBLE_EQ(asNumber(member(object, "i"), "i"), 12.0);
    EXPECT_TRUE(asBoolean(member(object, "t"), "t"));
    EXPECT_FALSE(findMember(object, "missing").has_value());
    EXPECT_EQ(elementCount(asArray(member(object, "l"), "l")), 3u);

    EXPECT_EQ(errorOf([&] { member(object, "missing"); }), "JSON-Schluessel fehlt: missing");
    EXPECT_EQ(errorOf([&] { asString(member(object, "t"), "t"); }),
              "JSON-Wert hat den falschen Typ: t (Zeichenkette erwartet)");
    EXPECT_EQ(errorOf([&] { asNumber(member(object, "s"), "s"); }),
              "JSON-Wert hat den falschen Typ: s (Zahl erwartet)");
    EXPECT_EQ(errorOf([&] { member(member(object, "l"), "x"); }),
              "JSON-Wert hat den falschen Typ: Objekt mit x erwartet");

    const auto pair = fixedArray<2>(asArray(member(object, "l"), "l").at(1).value());
    ASSERT_TRUE(pair.has_value());
    EXPECT_EQ(boundedInteger((*pair)[1], 0, 9), 3);
    EXPECT_TRUE(fixedArray<3>(member(object, "l")).has_value());
    EXPECT_FALSE(fixedArray<2>(member(object, "l")).has_value());
    EXPECT_FALSE(fixedArray<1>(member(object, "i")).has_value());
}

TEST(JsonFrontEnd, PlainNames) {
    EXPECT_TRUE(isPlainName("St. Poelten-Nord 2", 18));
    EXPECT_TRUE(isPlainName("   ", 3));
    EXPECT_FALSE(isPlainName("St. Poelten-Nord 2", 17));
    EXPECT_FALSE(isPlainName("", 10));
    for (const char* bad : {"K\xC3\xB6ln", "O'Neil", "A/B", "Tab\there"}) {
        EXPECT_FALSE(isPlainName(bad, 48)) << bad;
    }
}

// Every loader, given a valid document, then the same document followed by a NUL and garbage, or
// by a second value: only the first loads.
TEST(JsonFrontEnd, NoLoaderAcceptsBytesAfterItsDocument) {
    const auto operational = forces::makeMap({"pppp", "pppp"});
    const std::vector<forces::UnitEntry> tank{{1, 0, "tank", {0, 0}}};
    const std::string units = R"({"schema_version": 1, "types": )" + forces::defaultTypes +
                              R"(, "operation_units": )" + forces::unitsJson(tank) + "}";
    const Army army = forces::makeArmy(operational, tank);
    const std::string battle =
        R"({"schema_version": 1, "operation": {"round_limit": 5, "seed": 1, "objectives": [{"name": "Hof", "q": 3, "r": 1}]}})";

    const json edge = {{"a", {{"q", 0}, {"r", 0}}}, {"b", {{"q", 1}, {"r", 0}}}, {"bridge", true}};
    const json worldText = worldDocument(4, {"p4", "p4"}, json::array({edge}));
    const Map world = loadMap(worldText);
    json bridged = worldText;
    bridged["bridge_names"] = {{0, 0, 1, 0, {"Steg"}}};
    const json ring = boxRing(0, 0, 1, 1);
    const json countries = {{"schema_version", 1}, {"countries", {countryObject("AUT", {{ring}})}}};
    Countries austria;
    austria.entries.push_back({"AUT", "Oesterreich", {}, "country", "AUT"});
    const json lake = {{"id", "s"}, {"name", "See"}, {"polygons", {{ring}}}, {"hex_spans", {{0, 0, 2}}}};
    const json seas = {{"schema_version", 1}, {"width", 4}, {"height", 2}, {"areas", json::array({lake})}};
    const json water = {{"schema_version", 1}, {"width", 4}, {"height", 2}, {"countries", {"AUT"}},
                        {"spans", {{0, 0, 1, 0}}}};
    const json rivers = {{"schema_version", 1}, {"width", 4}, {"height", 2}, {"names", {"Inn"}},
                         {"edges", {{0, 0, 1, 0, 0}}}};
    const json city = {{"id", "wien"}, {"name", "Wien"}, {"longitude", 16.4}, {"latitude", 48.2},
                       {"capital", true}, {"tier", 0}};
    const json cities = {{"schema_version", 1}, {"cities", {city}}};
    const json urban = {
        {"schema_version", 1}, {"width", 4}, {"height", 2}, {"cities", {city}}, {"fields", {{0, 1, 0}}}};
    const json parameter = {{"id", "wien"}, {"industry", 4}};
    const json parameters = {{"schema_version", 1}, {"cities", json::array({parameter})}};

    struct Loader {
        const char* name;
        std::string text;
        std::function<void(std::istream&)> load;
    };
    const std::vector<Loader> loaders{
        {"map", worldText.dump(), [](std::istream& in) { Map::load(in); }},
        {"units", units, [&](std::istream& in) { Army::load(operational, in); }},
        {"battles", battle, [&](std::istream& in) { Battle::load(operational, army, in); }},
        {"countries", countries.dump(), [](std::istream& in) { Countries::load(in); }},
        {"seas", seas.dump(), [](std::istream& in) { Seas::load(in); }},
        {"water", water.dump(), [&](std::istream& in) { WaterTerritories::load(world, austria, in); }},
        {"rivers", rivers.dump(), [&](std::istream& in) { RiverNames::load(world, in); }},
        {"bridges", bridged.dump(), [&](std::istream& in) { BridgeNames::load(world, in); }},
        {"cities", cities.dump(), [](std::istream& in) { loadCities(in); }},
        {"urban", urban.dump(), [](std::istream& in) { UrbanAreas::load(in); }},
        {"parameters", parameters.dump(),
         [](std::istream& in) {
             std::vector<City> list(1);
             list[0].id = "wien";
             applyCityParameters(list, in);
         }},
    };
    for (const Loader& loader : loaders) {
        for (const std::string& tail : {std::string(), "\0 not json {{{"s, std::string(" {}")}) {
            std::istringstream input(loader.text + tail);
            EXPECT_EQ(errorOf([&] { loader.load(input); }).empty(), tail.empty()) << loader.name << " " << tail.size();
        }
    }
}
