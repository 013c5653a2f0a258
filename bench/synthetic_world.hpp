// A synthetic schema-3 world file of real size for the map benchmarks.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace korvan::bench {

// Terrain in runs of 1 to 24 fields, about a third of it water; rivers as random walks along
// field sides (roughly riverSides sides), a few of them widened and bridged.
inline std::string syntheticWorldJson(int width, int height, int riverSides) {
    std::mt19937 random(42);
    std::string json = "{\"schema_version\":3,\"width\":" + std::to_string(width) +
                       ",\"height\":" + std::to_string(height) +
                       ",\"name\":\"Synthetische Erde\",\"layout\":\"odd-r\",\"wrap_horizontal\":true,"
                       "\"kind\":\"world\",\"river_edges\":[],\"terrain_rows\":[";
    const std::string codes = "pfhmcwasdib";
    std::vector<std::uint8_t> water(std::size_t(width) * height);
    for (int r = 0; r < height; ++r) {
        json += r ? ",\"" : "\"";
        for (int c = 0; c < width;) {
            const int count = std::min<int>(1 + int(random() % 24), width - c);
            const int value = random() % 3 == 0 ? 5 : int(random() % 11);
            json += codes[value] + std::to_string(count);
            for (int i = 0; i < count; ++i) water[std::size_t(r) * width + c + i] = value == 5;
            c += count;
        }
        json += "\"";
    }
    json += "]";

    // One 3-bit mask per field: random walks that keep to land-land sides where they can.
    std::vector<std::uint8_t> masks(std::size_t(width) * height, 0);
    int placed = 0;
    while (placed < riverSides) {
        int c = int(random() % width);
        int r = 1 + int(random() % (height - 2));
        for (int step = 0; step < 40 && placed < riverSides; ++step) {
            const int direction = int(random() % 3);
            std::uint8_t& mask = masks[std::size_t(r) * width + c];
            if ((mask & (1 << direction)) == 0) {
                mask |= std::uint8_t(1 << direction);
                ++placed;
            }
            c = (c + (direction == 0 ? 1 : 0) + width) % width;
            r = direction == 0 ? r : std::min(r + 1, height - 2);
        }
    }
    const auto rows = [&](const char* key, auto codeOf) {
        json += std::string(",\"") + key + "\":[";
        for (int r = 0; r < height; ++r) {
            json += r ? ",\"" : "\"";
            int c = 0;
            while (c < width) {
                const char code = codeOf(r, c);
                int count = 1;
                while (c + count < width && codeOf(r, c + count) == code) ++count;
                json += code + std::to_string(count);
                c += count;
            }
            json += "\"";
        }
        json += "]";
    };
    rows("river_rows", [&](int r, int c) { return "abcdefgh"[masks[std::size_t(r) * width + c]]; });
    const std::string widthCodes = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,-.";
    rows("river_width_rows", [&](int r, int c) {
        const std::uint8_t mask = masks[std::size_t(r) * width + c];
        // Every seventh column carries wide rivers: class 3 on each of its sides.
        return c % 7 == 0 ? widthCodes[(mask & 1 ? 3 : 0) | (mask & 2 ? 12 : 0) | (mask & 4 ? 48 : 0)] : 'A';
    });
    rows("bridge_rows", [&](int r, int c) {
        // Bridge the east side of every 50th column where both banks are land.
        const std::uint8_t mask = masks[std::size_t(r) * width + c];
        const bool land = !water[std::size_t(r) * width + c] && !water[std::size_t(r) * width + (c + 1) % width];
        return c % 50 == 0 && (mask & 1) && land ? 'b' : 'a';
    });
    json += "}";
    return json;
}

} // namespace korvan::bench
