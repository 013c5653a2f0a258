// The largest file of each kind the program reads: several times what ships, so that an endless
// or giant file ends in a message long before memory runs short (the JSON parser needs about
// fifteen bytes per byte of text). The README lists them.
#pragma once

#include <cstddef>

namespace korvan::fileCaps {

inline constexpr std::size_t megabyte = std::size_t(1) << 20;

inline constexpr std::size_t map = 16 * megabyte;        // world.json 1.2 MB, and --map
inline constexpr std::size_t riverNames = 12 * megabyte; // 4.0 MB
inline constexpr std::size_t geography = 8 * megabyte;   // countries, water territories, seas, lakes: up to 1.8 MB
inline constexpr std::size_t cities = 8 * megabyte;      // cities.json 1.2 MB
inline constexpr std::size_t urbanAreas = 4 * megabyte;  // urban.json 0.5 MB
inline constexpr std::size_t small = 1 * megabyte;       // units, battles, city parameters, flag list: a few KB
inline constexpr std::size_t image = 8 * megabyte;       // the largest picture, terrain art, 3.1 MB

} // namespace korvan::fileCaps
