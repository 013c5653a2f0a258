// A fast JSON reader for the large polygon files (countries, seas, lakes).
#pragma once

#include "core/json_values.hpp"
#include "geography/countries.hpp"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvan {

// The polygon files (countries, seas, lakes) hold half a million points. Building a JSON document
// tree of them costs more than everything else at start-up, so they are read straight from the
// text: first the whole text is checked against the JSON grammar (RFC 8259, no comments), then
// cursors read values by position, and objects are indexed by key (the last of equal keys wins).

enum class JsonType { Null, Boolean, Number, String, Array, Object };

std::string readWholeStream(std::istream& input);

// Throws "Ungueltiges JSON an Byte N: ..." unless the text is exactly one JSON value.
void validateJson(std::string_view text);

// A read position in checked text. Readers consume one value; a value of the wrong type throws
// "JSON-Wert hat den falschen Typ: " with the reader's name for it.
class JsonCursor {
public:
    JsonCursor(std::string_view text, std::size_t position) : text_(text), position_(position) { skipSpace(); }

    JsonType type() const;
    std::size_t position() const { return position_; }
    std::string_view text() const { return text_; }

    // Arrays: enter, then call more() before every element; it consumes the closing bracket.
    void enterArray(std::string_view name) {
        if (text_[position_] != '[') {
            wrongType(name);
        }
        ++position_;
        skipSpace();
    }
    bool more() {
        skipSpace();
        const char c = text_[position_];
        if (c == ']') {
            ++position_;
            return false;
        }
        if (c == ',') {
            ++position_;
            skipSpace();
        }
        return true;
    }

    // Objects: enter, then nextMember() gives each key in file order with the cursor at its value,
    // which the caller must consume; it consumes the closing brace.
    void enterObject(std::string_view name) {
        if (text_[position_] != '{') {
            wrongType(name);
        }
        ++position_;
        skipSpace();
    }
    bool nextMember(std::string& key);

    double readNumber(std::string_view name);
    // A JSON integer within [low, high], consumed; anything else (floats too) gives nothing.
    std::optional<std::int64_t> readInteger(std::int64_t low, std::int64_t high);
    std::string readString(std::string_view name);
    bool readBoolean(std::string_view name);
    // Consumes any value; true when it was a number equal to the given value.
    bool readNumberEqualTo(double value);
    void skip();

    [[noreturn]] static void wrongType(std::string_view name);

private:
    void skipSpace() {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\n' ||
                                            text_[position_] == '\r' || text_[position_] == '\t')) {
            ++position_;
        }
    }
    std::string_view numberToken(std::string_view name);

    std::string_view text_;
    std::size_t position_;
};

// The members of an object, read once; lookups hand out cursors at the values.
class JsonObject {
public:
    JsonObject(JsonCursor& cursor, std::string_view name);

    std::optional<JsonCursor> find(std::string_view key) const;
    // Throws "JSON-Schluessel fehlt: " + key.
    JsonCursor at(std::string_view key) const;

private:
    std::string_view text_;
    std::vector<std::pair<std::string, std::size_t>> members_;
};

// The messages a polygon reader raises; countries and named waters word them differently.
struct PolygonMessages {
    const char* coordinate;
    const char* ring;
    const char* emptyPolygon;
};

inline constexpr PolygonMessages countryPolygonMessages{"Ungueltige Laenderkoordinate", "Ungueltiger Laenderring",
                                                        "Leeres Laenderpolygon"};

// Reads an array of polygons (rings of [longitude, latitude] points) with their bounding boxes.
std::vector<CountryPolygon> readPolygons(JsonCursor& cursor, const PolygonMessages& messages);

} // namespace korvan
