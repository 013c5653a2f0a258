// Parsing whole documents and the typed readers of the JSON front end.
#include "core/json_values.hpp"

#include <istream>
#include <stdexcept>

namespace korvan {

namespace {

[[noreturn]] void wrongType(std::string_view what, const char* expected) {
    throw std::runtime_error("JSON-Wert hat den falschen Typ: " + std::string(what) + " (" + expected + " erwartet)");
}

// A whole stream as text, in block reads; room for the parser's padding is kept behind it.
std::string readWholeStream(std::istream& input) {
    // Block reads: a character iterator costs more than parsing. A file tells its size, so its
    // text is allocated once, with a byte to spare to meet the end of the file in the first read.
    constexpr std::size_t padding = simdjson::SIMDJSON_PADDING;
    std::string text;
    const auto start = input.tellg();
    if (start != std::istream::pos_type(-1) && input.seekg(0, std::ios::end)) {
        const auto end = input.tellg();
        input.seekg(start);
        if (end != std::istream::pos_type(-1) && end >= start) {
            text.reserve(static_cast<std::size_t>(end - start) + 1 + padding);
        }
    }
    input.clear();
    constexpr std::size_t block = 1 << 20;
    for (;;) {
        const std::size_t used = text.size();
        const std::size_t spare = text.capacity() - used;
        const std::size_t room = spare > padding ? spare - padding : block;
        text.resize(used + room);
        input.read(text.data() + used, std::streamsize(room));
        text.resize(used + static_cast<std::size_t>(input.gcount()));
        if (!input) {
            return text;
        }
    }
}

} // namespace

JsonDocument::JsonDocument(std::istream& input) : JsonDocument(readWholeStream(input)) {}

JsonDocument::JsonDocument(std::string text) {
    // The parser copies the text unless the string's spare capacity covers its padding, and keeps
    // its own copies of the strings: the text need not outlive the document.
    text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    const simdjson::error_code error = parser_.parse(text).get(root_);
    if (error) {
        throw std::runtime_error(std::string("Ungueltiges JSON: ") + simdjson::error_message(error));
    }
}

JsonArray asArray(JsonValue value, std::string_view what) {
    JsonArray array;
    if (value.get_array().get(array)) {
        wrongType(what, "Liste");
    }
    return array;
}

std::string_view asString(JsonValue value, std::string_view what) {
    std::string_view text;
    if (value.get_string().get(text)) {
        wrongType(what, "Zeichenkette");
    }
    return text;
}

std::string_view asName(JsonValue value, std::string_view what) {
    const std::string_view text = asString(value, what);
    if (text.size() > maxGeoNameBytes) {
        throw std::runtime_error("Name zu lang: " + std::string(what) + " (hoechstens " + std::to_string(maxGeoNameBytes) +
                                 " Bytes)");
    }
    return text;
}

bool asBoolean(JsonValue value, std::string_view what) {
    bool flag = false;
    if (value.get_bool().get(flag)) {
        wrongType(what, "Wahrheitswert");
    }
    return flag;
}

double asNumber(JsonValue value, std::string_view what) {
    double number = 0;
    if (value.get_double().get(number)) {
        wrongType(what, "Zahl");
    }
    return number;
}

std::optional<JsonValue> findMember(JsonValue object, std::string_view key) {
    simdjson::dom::object members;
    if (object.get_object().get(members)) {
        throw std::runtime_error("JSON-Wert hat den falschen Typ: Objekt mit " + std::string(key) + " erwartet");
    }
    std::optional<JsonValue> found;
    for (const simdjson::dom::key_value_pair field : members) {
        if (field.key == key) {
            found = field.value;
        }
    }
    return found;
}

JsonValue member(JsonValue object, std::string_view key) {
    const auto found = findMember(object, key);
    if (!found) {
        throw std::runtime_error("JSON-Schluessel fehlt: " + std::string(key));
    }
    return *found;
}

std::optional<std::int64_t> boundedInteger(JsonValue value, std::int64_t low, std::int64_t high) {
    // Floats are refused; integers beyond the int64 range are typed apart and exceed every bound.
    if (value.type() != simdjson::dom::element_type::INT64) {
        return std::nullopt;
    }
    const std::int64_t number = value.get_int64().value_unsafe();
    if (number < low || number > high) {
        return std::nullopt;
    }
    return number;
}

bool numberEquals(JsonValue value, double expected) {
    double number = 0;
    return !value.get_double().get(number) && number == expected;
}

std::size_t elementCount(JsonArray array) {
    const std::size_t stored = array.size();
    if (stored < 0xFFFFFF) {
        return stored;
    }
    std::size_t count = 0;
    for ([[maybe_unused]] const JsonValue element : array) {
        ++count;
    }
    return count;
}

bool isPlainName(std::string_view text, std::size_t maxBytes) {
    constexpr std::string_view allowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -.";
    return !text.empty() && text.size() <= maxBytes && text.find_first_not_of(allowed) == std::string_view::npos;
}

} // namespace korvan
