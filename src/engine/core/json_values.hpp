// The value rules every JSON loader shares: strict parsing and bounded integers.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <iosfwd>
#include <optional>

namespace korvan {

// A JSON integer (a float is refused, even 1.0) within [low, high]; anything else gives nothing.
inline std::optional<std::int64_t> boundedInteger(const nlohmann::json& value, std::int64_t low, std::int64_t high) {
    if (!value.is_number_integer() || high < low) {
        return std::nullopt;
    }
    if (value.is_number_unsigned()) {
        // Unsigned values may lie beyond the int64 range: compare them as stored.
        const std::uint64_t v = value.get<std::uint64_t>();
        if (high < 0 || v > static_cast<std::uint64_t>(high) || static_cast<std::int64_t>(v) < low) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(v);
    }
    const std::int64_t v = value.get<std::int64_t>();
    if (v < low || v > high) {
        return std::nullopt;
    }
    return v;
}

// Parses a whole stream as strict JSON: exceptions on, comments refused.
inline nlohmann::json parseJson(std::istream& input) { return nlohmann::json::parse(input, nullptr, true, false); }

} // namespace korvan
