// The one text renderer: a 5 x 7 dot font drawn as filled squares, no font file or texture.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <string_view>

namespace korvan {

// The seven rows of a character's dots, bit 4 the leftmost column. Lower case draws as upper case;
// bytes without a shape (space, brackets, umlaut bytes) are all zero.
std::array<std::uint8_t, 7> glyphRows(unsigned char c);

// Draws text with its top-left corner at (x, y); each dot is scale x scale pixels, each character
// advances 6 dots and a line feed goes back to x, 10 dots lower. Neither measures nor clips.
void text(SDL_Renderer* renderer, int x, int y, std::string_view s, SDL_Color color, int scale);

} // namespace korvan
