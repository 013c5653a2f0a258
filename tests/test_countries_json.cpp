// The polygon-file reader: strict JSON grammar, value decoding, member order and fault order.
#include "geography/countries_json.hpp"
#include "geo_fixtures.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

bool valid(std::string_view text) {
    try {
        validateJson(text);
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

std::string countriesError(const std::string& text) {
    return errorOf([&] {
        std::istringstream input(text);
        Countries::load(input);
    });
}

const std::string goodRing = "[[0,0],[1,0],[1,1],[0,1]]";
const std::string badRing = "[[0,0],[1,0],[1,99],[0,1]]";

// Hands its text out in small pieces and cannot seek, like a pipe.
class TrickleBuffer : public std::streambuf {
public:
    explicit TrickleBuffer(std::string text) : text_(std::move(text)) {}

protected:
    int_type underflow() override {
        if (offset_ >= text_.size()) {
            return traits_type::eof();
        }
        const std::size_t n = std::min<std::size_t>(4093, text_.size() - offset_);
        char* begin = text_.data() + offset_;
        setg(begin, begin, begin + n);
        offset_ += n;
        return traits_type::to_int_type(*begin);
    }

private:
    std::string text_;
    std::size_t offset_ = 0;
};

} // namespace

TEST(PolygonFileReader, GrammarIsStrictJson) {
    for (const char* text :
         {"{}", "[]", " [1, -0.5e+3, 2E-2, true, false, null, \"a\\\"b\\u00e4\"] ", "{\"a\": {\"b\": [[], {}]}}",
          "\"\xC3\xB6\xE2\x82\xAC\xF0\x9F\x98\x80\"", "\"\\ud83d\\ude00\"", "0"}) {
        EXPECT_TRUE(valid(text)) << text;
    }
    for (const char* text : {"",
                             " ",
                             "[1,]",
                             "{\"a\":1,}",
                             "[1 2]",
                             "{\"a\" 1}",
                             "{a:1}",
                             "['a']",
                             "01",
                             "1.",
                             ".5",
                             "+1",
                             "-",
                             "1e",
                             "NaN",
                             "[1] // note",
                             "/* note */ [1]",
                             "[1] [2]",
                             "\"open",
                             "\"tab\there\"",
                             "\"\\x\"",
                             "\"\\ud800\"",
                             "\"\\udc00\"",
                             "\"\\u12G4\"",
                             "\"\xFF\"",
                             "\"\xC0\xAF\"",
                             "\"\xED\xA0\x80\"",
                             "[",
                             "{\"a\":",
                             "tru",
                             "nul"}) {
        EXPECT_FALSE(valid(text)) << text;
    }
    EXPECT_EQ(errorOf([] { validateJson("[1,]"); }), "Ungueltiges JSON an Byte 3: Wert erwartet");
    // Nesting is checked without recursion.
    EXPECT_TRUE(valid(std::string(200000, '[') + std::string(200000, ']')));
    EXPECT_FALSE(valid(std::string(200000, '[') + std::string(199999, ']')));
}

TEST(PolygonFileReader, ValuesDecodeAndTheLastEqualKeyWins) {
    const std::string text =
        R"({"s": "a\"b\\c\/d\n\u00f6\ud83d\ude00", "k": 1, "k": 2, "i": 12, "f": 1.0, "big": 99999999999999999999,
            "t": true, "l": [1, [2, 3], {"x": 4}]})";
    validateJson(text);
    JsonCursor root(text, 0);
    const JsonObject object(root, "Test");
    EXPECT_EQ(object.at("s").readString("s"), "a\"b\\c/d\n\xC3\xB6\xF0\x9F\x98\x80");
    EXPECT_EQ(object.at("k").readInteger(0, 10), 2);
    EXPECT_EQ(object.at("i").readInteger(0, 12), 12);
    EXPECT_EQ(object.at("i").readInteger(0, 11), std::nullopt);
    EXPECT_EQ(object.at("f").readInteger(0, 10), std::nullopt); // a float is no integer, even 1.0
    EXPECT_EQ(object.at("big").readInteger(0, INT64_MAX), std::nullopt);
    EXPECT_TRUE(object.at("f").readNumberEqualTo(1));
    EXPECT_FALSE(object.at("s").readNumberEqualTo(1));
    EXPECT_TRUE(object.at("t").readBoolean("t"));
    EXPECT_FALSE(object.find("missing").has_value());
    EXPECT_EQ(errorOf([&] { object.at("missing"); }), "JSON-Schluessel fehlt: missing");
    EXPECT_EQ(errorOf([&] { object.at("t").readString("t"); }), "JSON-Wert hat den falschen Typ: t");

    JsonCursor list = object.at("l");
    list.enterArray("l");
    int seen = 0;
    while (list.more()) {
        ++seen;
        list.skip();
    }
    EXPECT_EQ(seen, 3);
}

TEST(PolygonFileReader, KeyOrderDoesNotChangeTheOutcome) {
    const auto country = [](const std::string& ring, bool idFirst = true) {
        const std::string polygons = "\"polygons\": [[" + ring + "]]";
        return idFirst ? "{\"id\": \"X\", \"name\": \"X\", " + polygons + "}"
                       : "{" + polygons + ", \"name\": \"X\", \"id\": \"X\"}";
    };
    // The schema is judged first wherever it stands.
    EXPECT_EQ(countriesError("{\"countries\": [" + country(badRing) + "], \"schema_version\": 2}"),
              "Unbekanntes Laenderschema");
    EXPECT_EQ(countriesError("{\"countries\": [" + country(goodRing, false) + "], \"schema_version\": 1}"), "");
    EXPECT_EQ(countriesError("{\"disputed_areas\": [" + country(badRing) + "], \"countries\": [" + country(goodRing) +
                             "], \"schema_version\": 1}"),
              "Ungueltige Laenderkoordinate");
    // A missing id is reported before a bad polygon listed ahead of it.
    EXPECT_EQ(countriesError("{\"schema_version\": 1, \"countries\": [{\"polygons\": [[" + badRing +
                             "]], \"name\": \"X\"}]}"),
              "JSON-Schluessel fehlt: id");
    // Of two "polygons" members the last counts, valid or not.
    EXPECT_EQ(
        countriesError("{\"schema_version\": 1, \"countries\": [{\"id\": \"X\", \"name\": \"X\", \"polygons\": [[" +
                       badRing + "]], \"polygons\": [[" + goodRing + "]]}]}"),
        "");
    EXPECT_EQ(
        countriesError("{\"schema_version\": 1, \"countries\": [{\"id\": \"X\", \"name\": \"X\", \"polygons\": [[" +
                       goodRing + "]], \"polygons\": [[" + badRing + "]]}]}"),
        "Ungueltige Laenderkoordinate");
    EXPECT_EQ(countriesError("{\"schema_version\": 1}"), "JSON-Schluessel fehlt: countries");
    EXPECT_EQ(countriesError("{\"schema_version\": 1, \"countries\": {}}"),
              "JSON-Wert hat den falschen Typ: Laenderliste");
    // Overflowing numbers become infinite and fail as coordinates.
    EXPECT_EQ(
        countriesError("{\"schema_version\": 1, \"countries\": [" + country("[[0,0],[1e400,0],[1,1],[0,1]]") + "]}"),
        "Ungueltige Laenderkoordinate");
    // Extra point elements are skipped whatever they hold.
    const std::string extra = "[[0,0,{\"h\":[1]}],[1,0,\"x\"],[1,1,null],[0,1,[]]]";
    std::istringstream input("{\"schema_version\": 1, \"countries\": [" + country(extra) + "]}");
    const Countries countries = Countries::load(input);
    EXPECT_EQ(countries.entries.at(0).polygons.at(0).rings.at(0).size(), 4u);
    EXPECT_EQ(countries.entries.at(0).polygons.at(0).maximum, (Point{1, 1}));
}

TEST(PolygonFileReader, ReadsStreamsThatCannotSeek) {
    // Several of the reader's blocks, delivered in odd-sized pieces.
    std::string text = "{\"schema_version\": 1, \"countries\": [{\"id\": \"X\", \"name\": \"X\", \"polygons\": [[[";
    const int points = 200000;
    for (int k = 0; k < points; ++k) {
        const double angle = 6.283185307179586 * k / points;
        text +=
            (k ? ",[" : "[") + std::to_string(10 * std::cos(angle)) + "," + std::to_string(10 * std::sin(angle)) + "]";
    }
    text += "]]]}]}";
    ASSERT_GT(text.size(), 3u << 20);
    TrickleBuffer buffer(text);
    std::istream input(&buffer);
    const Countries countries = Countries::load(input);
    EXPECT_EQ(countries.entries.at(0).polygons.at(0).rings.at(0).size(), std::size_t(points));
    EXPECT_EQ(countries.at({0, 0}), 0u);
}
