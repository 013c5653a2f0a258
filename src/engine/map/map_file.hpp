// Value rules of the map file shared by its readers: bounded integers and run-length rows.
#pragma once

#include "core/json_values.hpp"

#include <charconv>
#include <stdexcept>
#include <string_view>

namespace korvan {

// A JSON integer (not a float) within [-100000, 100000].
int integer(JsonValue value);

// Decodes one compact row: runs of a code character followed by a decimal count >= 1.
// Calls action(startColumn, count, value) per run, value being the code's position in the alphabet.
template <typename Action>
void decodeRuns(std::string_view row, std::string_view alphabet, int width, Action&& action) {
    int column = 0;
    std::size_t pos = 0;
    while (pos < row.size()) {
        const std::size_t value = alphabet.find(row[pos]);
        if (value == std::string_view::npos) {
            throw std::runtime_error("Unbekannter RLE-Code");
        }
        ++pos;
        int count = 0;
        const char* first = row.data() + pos;
        const char* last = row.data() + row.size();
        // from_chars accepts a leading minus; a sign is not part of the format.
        const auto [end, error] = (first != last && *first >= '0' && *first <= '9')
                                      ? std::from_chars(first, last, count)
                                      : std::from_chars_result{first, std::errc::invalid_argument};
        if (error != std::errc() || count <= 0 || count > width - column) {
            throw std::runtime_error("Ungueltige RLE-Laenge");
        }
        action(column, count, static_cast<int>(value));
        column += count;
        pos = static_cast<std::size_t>(end - row.data());
    }
    if (column != width) {
        throw std::runtime_error("RLE-Reihe muss genau width Felder abdecken");
    }
}

} // namespace korvan
