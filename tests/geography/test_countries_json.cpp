// Reading countries.json: the order in which faults are judged, equal keys, extra point elements,
// and streams that arrive in pieces.
#include "geo_fixtures.hpp"
#include "geography/countries.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

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
              "JSON-Wert hat den falschen Typ: Laenderliste (Liste erwartet)");
    // Numbers beyond the double range are refused by the parser before any coordinate is judged.
    EXPECT_EQ(
        countriesError("{\"schema_version\": 1, \"countries\": [" + country("[[0,0],[1e400,0],[1,1],[0,1]]") + "]}")
            .rfind("Ungueltiges JSON: ", 0),
        0u);
    EXPECT_EQ(countriesError("{\"schema_version\": 1, \"countries\": [" + country("[[0,0],[1],[1,1],[0,1]]") + "]}"),
              "JSON-Punkt ohne Breite");
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
