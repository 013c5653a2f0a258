// The grammar check and position readers for the polygon files, and the polygon reader itself.
#include "geography/countries_json.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <stdexcept>

namespace korvan {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Checks the text in one pass with an explicit stack, so deep nesting cannot exhaust the call stack.
class Grammar {
public:
    explicit Grammar(std::string_view text) : text_(text) {}

    void check() {
        std::vector<char> open;
        space();
        for (;;) {
            value(open);
            for (;;) {
                space();
                if (open.empty()) {
                    if (pos_ != text_.size()) {
                        fail("Text nach dem Ende des Dokuments");
                    }
                    return;
                }
                const char c = next();
                if (c == ',') {
                    space();
                    if (open.back() == '{') {
                        key();
                    }
                    break; // the next value
                }
                if (c != (open.back() == '[' ? ']' : '}')) {
                    --pos_;
                    fail("Komma oder Klammer erwartet");
                }
                open.pop_back();
            }
        }
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error("Ungueltiges JSON an Byte " + std::to_string(pos_) + ": " + what);
    }

    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char next() {
        if (pos_ >= text_.size()) {
            fail("unerwartetes Ende");
        }
        return text_[pos_++];
    }
    void space() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) {
            ++pos_;
        }
    }

    // One scalar, or the opening of a container (then open grows and the caller continues inside).
    void value(std::vector<char>& open) {
        for (;;) {
            const char c = peek();
            if (c == '{' || c == '[') {
                ++pos_;
                space();
                if (peek() == (c == '[' ? ']' : '}')) {
                    ++pos_;
                    return; // empty container
                }
                open.push_back(c);
                if (c == '{') {
                    key();
                }
                continue;
            }
            if (c == '"') {
                string();
            } else if (c == '-' || isDigit(c)) {
                number();
            } else if (!literal("true") && !literal("false") && !literal("null")) {
                fail("Wert erwartet");
            }
            return;
        }
    }

    void key() {
        if (peek() != '"') {
            fail("Schluessel erwartet");
        }
        string();
        space();
        if (next() != ':') {
            --pos_;
            fail("Doppelpunkt erwartet");
        }
        space();
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) {
            return false;
        }
        pos_ += word.size();
        return true;
    }

    void digits() {
        if (!isDigit(peek())) {
            fail("Ziffer erwartet");
        }
        while (isDigit(peek())) {
            ++pos_;
        }
    }

    void number() {
        if (peek() == '-') {
            ++pos_;
        }
        if (peek() == '0') {
            ++pos_;
        } else {
            digits();
        }
        if (peek() == '.') {
            ++pos_;
            digits();
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') {
                ++pos_;
            }
            digits();
        }
    }

    unsigned escapedUnit() {
        unsigned unit = 0;
        for (int k = 0; k < 4; ++k) {
            const int h = hexValue(next());
            if (h < 0) {
                fail("ungueltige Unicode-Folge");
            }
            unit = unit * 16 + unsigned(h);
        }
        return unit;
    }

    void string() {
        ++pos_; // opening quote
        for (;;) {
            const auto c = static_cast<unsigned char>(next());
            if (c == '"') {
                return;
            }
            if (c < 0x20) {
                fail("Steuerzeichen in Zeichenkette");
            }
            if (c == '\\') {
                escape();
            } else if (c >= 0x80) {
                utf8(c);
            }
        }
    }

    void escape() {
        const char c = next();
        if (c == 'u') {
            const unsigned unit = escapedUnit();
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                fail("einzelnes Unicode-Ersatzzeichen");
            }
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (next() != '\\' || next() != 'u') {
                    fail("einzelnes Unicode-Ersatzzeichen");
                }
                const unsigned low = escapedUnit();
                if (low < 0xDC00 || low > 0xDFFF) {
                    fail("einzelnes Unicode-Ersatzzeichen");
                }
            }
        } else if (std::string_view("\"\\/bfnrt").find(c) == std::string_view::npos) {
            fail("ungueltige Escape-Folge");
        }
    }

    // Well-formed UTF-8 only (RFC 3629): no overlong forms, surrogates or values above U+10FFFF.
    void utf8(unsigned char lead) {
        int follow = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            fail("ungueltiges UTF-8");
        }
        for (int k = 0; k < follow; ++k) {
            const auto c = static_cast<unsigned char>(next());
            if (c < (k == 0 ? low : 0x80) || c > (k == 0 ? high : 0xBF)) {
                fail("ungueltiges UTF-8");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// End of the value starting at pos, in checked text.
std::size_t skipValue(std::string_view text, std::size_t pos) {
    const auto skipString = [&](std::size_t p) {
        ++p;
        while (text[p] != '"') {
            p += text[p] == '\\' ? 2 : 1;
        }
        return p + 1;
    };
    const char c = text[pos];
    if (c == '"') {
        return skipString(pos);
    }
    if (c == '[' || c == '{') {
        int depth = 0;
        for (;;) {
            const char d = text[pos];
            if (d == '"') {
                pos = skipString(pos);
                continue;
            }
            if (d == '[' || d == '{') {
                ++depth;
            } else if ((d == ']' || d == '}') && --depth == 0) {
                return pos + 1;
            }
            ++pos;
        }
    }
    while (pos < text.size() && text[pos] != ',' && text[pos] != ']' && text[pos] != '}' && !isSpace(text[pos])) {
        ++pos;
    }
    return pos;
}

// Decodes the checked string starting at pos; returns the position after it.
std::size_t decodeString(std::string_view text, std::size_t pos, std::string& out) {
    ++pos;
    for (;;) {
        const std::size_t stop = text.find_first_of("\"\\", pos);
        out.append(text.substr(pos, stop - pos));
        pos = stop;
        if (text[pos] == '"') {
            return pos + 1;
        }
        const char c = text[pos + 1];
        pos += 2;
        switch (c) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
            const auto unit = [&](std::size_t at) {
                unsigned v = 0;
                for (std::size_t k = 0; k < 4; ++k) {
                    v = v * 16 + unsigned(hexValue(text[at + k]));
                }
                return v;
            };
            unsigned code = unit(pos);
            pos += 4;
            if (code >= 0xD800 && code <= 0xDBFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (unit(pos + 2) - 0xDC00);
                pos += 6;
            }
            appendUtf8(out, code);
            break;
        }
        default: out += c; break; // " \ /
        }
    }
}

} // namespace

std::string readWholeStream(std::istream& input) {
    // Block reads: a character iterator costs more than parsing the polygons. A file tells its
    // size, so its text is allocated once.
    std::string text;
    const auto start = input.tellg();
    if (start != std::istream::pos_type(-1) && input.seekg(0, std::ios::end)) {
        const auto end = input.tellg();
        input.seekg(start);
        if (end != std::istream::pos_type(-1) && end >= start) {
            text.reserve(static_cast<std::size_t>(end - start) + 1);
        }
    }
    input.clear();
    constexpr std::size_t block = 1 << 20;
    for (;;) {
        const std::size_t used = text.size();
        text.resize(text.capacity() > used ? text.capacity() : used + block);
        input.read(text.data() + used, std::streamsize(text.size() - used));
        text.resize(used + static_cast<std::size_t>(input.gcount()));
        if (!input) {
            return text;
        }
    }
}

void validateJson(std::string_view text) { Grammar(text).check(); }

void JsonCursor::wrongType(std::string_view name) {
    throw std::runtime_error("JSON-Wert hat den falschen Typ: " + std::string(name));
}

JsonType JsonCursor::type() const {
    switch (text_[position_]) {
    case '{': return JsonType::Object;
    case '[': return JsonType::Array;
    case '"': return JsonType::String;
    case 't':
    case 'f': return JsonType::Boolean;
    case 'n': return JsonType::Null;
    default: return JsonType::Number;
    }
}

std::string_view JsonCursor::numberToken(std::string_view name) {
    if (type() != JsonType::Number) {
        wrongType(name);
    }
    const std::size_t start = position_;
    while (position_ < text_.size() &&
           (isDigit(text_[position_]) || text_[position_] == '-' || text_[position_] == '.' ||
            text_[position_] == 'e' || text_[position_] == 'E' || text_[position_] == '+')) {
        ++position_;
    }
    return text_.substr(start, position_ - start);
}

double JsonCursor::readNumber(std::string_view name) {
    const std::string_view token = numberToken(name);
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Beyond the double range: strtod gives the infinity or zero that the value rounds to.
        value = std::strtod(std::string(token).c_str(), nullptr);
    }
    (void)end;
    return value;
}

std::optional<std::int64_t> JsonCursor::readInteger(std::int64_t low, std::int64_t high) {
    if (type() != JsonType::Number) {
        skip();
        return std::nullopt;
    }
    const std::string_view token = numberToken("Zahl");
    if (token.find_first_of(".eE") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || value < low || value > high) {
        return std::nullopt;
    }
    (void)end;
    return value;
}

std::string JsonCursor::readString(std::string_view name) {
    if (type() != JsonType::String) {
        wrongType(name);
    }
    std::string out;
    position_ = decodeString(text_, position_, out);
    return out;
}

bool JsonCursor::readBoolean(std::string_view name) {
    if (type() != JsonType::Boolean) {
        wrongType(name);
    }
    const bool value = text_[position_] == 't';
    position_ += value ? 4 : 5;
    return value;
}

bool JsonCursor::readNumberEqualTo(double value) {
    if (type() != JsonType::Number) {
        skip();
        return false;
    }
    return readNumber("Zahl") == value;
}

void JsonCursor::skip() { position_ = skipValue(text_, position_); }

bool JsonCursor::nextMember(std::string& key) {
    skipSpace();
    if (text_[position_] == '}') {
        ++position_;
        return false;
    }
    if (text_[position_] == ',') {
        ++position_;
        skipSpace();
    }
    key.clear();
    position_ = decodeString(text_, position_, key);
    skipSpace();
    ++position_; // the colon
    skipSpace();
    return true;
}

JsonObject::JsonObject(JsonCursor& cursor, std::string_view name) : text_(cursor.text()) {
    cursor.enterObject(name);
    std::string key;
    while (cursor.nextMember(key)) {
        members_.emplace_back(key, cursor.position());
        cursor.skip();
    }
}

std::optional<JsonCursor> JsonObject::find(std::string_view key) const {
    for (auto it = members_.rbegin(); it != members_.rend(); ++it) {
        if (it->first == key) {
            return JsonCursor(text_, it->second);
        }
    }
    return std::nullopt;
}

JsonCursor JsonObject::at(std::string_view key) const {
    auto found = find(key);
    if (!found) {
        throw std::runtime_error("JSON-Schluessel fehlt: " + std::string(key));
    }
    return *found;
}

namespace {

Point readPoint(JsonCursor& cursor) {
    cursor.enterArray("Punkt");
    if (!cursor.more()) {
        throw std::runtime_error("JSON-Punkt ohne Laenge und Breite");
    }
    const double longitude = cursor.readNumber("Laenge");
    if (!cursor.more()) {
        throw std::runtime_error("JSON-Punkt ohne Breite");
    }
    const double latitude = cursor.readNumber("Breite");
    while (cursor.more()) {
        cursor.skip(); // further elements (a height, say) are ignored
    }
    return {longitude, latitude};
}

} // namespace

std::vector<CountryPolygon> readPolygons(JsonCursor& cursor, const PolygonMessages& messages) {
    std::vector<CountryPolygon> result;
    cursor.enterArray("Polygonliste");
    while (cursor.more()) {
        CountryPolygon polygon;
        cursor.enterArray("Polygon");
        while (cursor.more()) {
            std::vector<Point> ring;
            cursor.enterArray("Ring");
            while (cursor.more()) {
                const Point p = readPoint(cursor);
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

} // namespace korvan
