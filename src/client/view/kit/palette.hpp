// The named colours every layer and panel shares.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace korvan {

inline constexpr SDL_Color gold{240, 194, 99, 255};  // headings, highlights, selection accents
inline constexpr SDL_Color muted{139, 160, 155, 255}; // secondary text
inline constexpr SDL_Color ink{220, 229, 224, 255};   // primary text

inline constexpr SDL_Color blueSideColor{76, 157, 227, 255};
inline constexpr SDL_Color redSideColor{211, 96, 82, 255};
inline constexpr SDL_Color sideColor(int side) { return side == 0 ? blueSideColor : redSideColor; }

// A colour as the 0xAARRGGBB pixel of the rasters the view computes itself, always opaque.
inline constexpr std::uint32_t packArgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xff000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

inline constexpr SDL_Color mapBackground{19, 31, 34, 255}; // the map area where no field lies
inline constexpr SDL_Color barBackground{16, 26, 29, 255}; // top bar and status line
inline constexpr SDL_Color sidebarBackground{25, 39, 42, 255};

} // namespace korvan
