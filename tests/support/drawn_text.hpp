// Whether a line of the pixel font stands on screen exactly as the font draws it.
#pragma once

#include "headless_renderer.hpp"
#include "kit/font.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string_view>

namespace korvan::testing {

// Every dot of a line as `text` draws it: the lit dots of each 5 x 7 glyph in `color`, the rest of
// its 6-dot cell in `background`. Each dot is probed at its middle pixel.
inline ::testing::AssertionResult drawnText(const HeadlessRenderer& screen, int x, int y, std::string_view s, int scale,
                                     SDL_Color color, SDL_Color background) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto rows = glyphRows(static_cast<unsigned char>(s[i]));
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 6; ++column) {
                const bool lit = column < 5 && (rows[std::size_t(row)] & (0x10 >> column)) != 0;
                const int px = x + (int(i) * 6 + column) * scale + scale / 2;
                const int py = y + row * scale + scale / 2;
                const SDL_Color found = screen.pixel(px, py);
                if (!sameColor(found, lit ? color : background)) {
                    return ::testing::AssertionFailure() << "\"" << s << "\" character " << i << " ('" << s[i]
                                                         << "') dot " << column << ", " << row << " at " << px << ", "
                                                         << py << ": " << found;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace korvan::testing
