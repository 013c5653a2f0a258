// The JSON front end of every data loader: whole documents parsed strictly, typed access with
// messages that name the key, and the value rules the loaders share (bounded integers, numbers,
// plain names).
#pragma once

#include <simdjson.h>

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace korvan {

using JsonValue = simdjson::dom::element;
using JsonArray = simdjson::dom::array;

// One parsed document; the values it hands out live as long as it does. The text must be exactly
// one JSON value (RFC 8259, no comments): anything after it, a NUL byte included, is an error.
class JsonDocument {
public:
    explicit JsonDocument(std::istream& input);
    explicit JsonDocument(std::string text);
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    JsonValue root() const { return root_; }

private:
    simdjson::dom::parser parser_;
    JsonValue root_;
};

// Typed access; a value of another type throws "JSON-Wert hat den falschen Typ: " + what.
JsonArray asArray(JsonValue value, std::string_view what);
std::string_view asString(JsonValue value, std::string_view what);
bool asBoolean(JsonValue value, std::string_view what);
// Any JSON number, integer or not. The parser refuses numbers beyond the double range, so the
// result is always finite.
double asNumber(JsonValue value, std::string_view what);

// The value of a member; of equal keys the last counts. The value must be an object.
std::optional<JsonValue> findMember(JsonValue object, std::string_view key);
// As findMember, but a missing key throws "JSON-Schluessel fehlt: " + key.
JsonValue member(JsonValue object, std::string_view key);

inline bool isNumber(JsonValue value) { return value.is_number(); }
// A JSON integer of any size the parser takes (floats such as 1.0 are not integers).
inline bool isInteger(JsonValue value) { return value.is_int64() || value.is_uint64(); }

// A JSON integer (a float is refused, even 1.0) within [low, high]; anything else gives nothing.
std::optional<std::int64_t> boundedInteger(JsonValue value, std::int64_t low, std::int64_t high);

// A number equal to the given one, integer or not (1 and 1.0 alike); false for other types.
bool numberEquals(JsonValue value, double expected);

// The number of elements of an array; the parser's count stops at 2^24 - 1, beyond that they are counted.
std::size_t elementCount(JsonArray array);

// The elements of an array of exactly N elements; nothing for any other value.
template <std::size_t N>
std::optional<std::array<JsonValue, N>> fixedArray(JsonValue value) {
    JsonArray list;
    if (value.get_array().get(list) || list.size() != N) {
        return std::nullopt;
    }
    std::array<JsonValue, N> elements;
    std::size_t k = 0;
    for (const JsonValue element : list) {
        elements[k++] = element;
    }
    return elements;
}

// Names of countries, waters, rivers and bridges: any text of at most maxGeoNameBytes bytes; a longer
// one throws "Name zu lang: " + what.
inline constexpr std::size_t maxGeoNameBytes = 200;
std::string_view asName(JsonValue value, std::string_view what);

// Display names of units, objectives and cities: 1 to maxBytes bytes, each a letter, digit, blank,
// hyphen or full stop.
bool isPlainName(std::string_view text, std::size_t maxBytes);

} // namespace korvan
