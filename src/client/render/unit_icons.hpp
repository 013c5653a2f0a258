// Unit icons: small pixel-art pictures of boxes on a 32 x 32 design grid, one per unit class,
// coloured by side.
#pragma once

#include "forces/army.hpp"

#include <SDL.h>

#include <vector>

namespace korvan {

// One filled box of an icon in window pixels.
struct IconBox {
    SDL_Rect rect;
    SDL_Color color;
};

// The boxes of an icon of the given size centred at (x, y), in drawing order.
void unitIconBoxes(UnitClass kind, int side, int x, int y, int size, bool selected, std::vector<IconBox>& boxes);

// Draws one icon centred at (x, y), `size` pixels wide.
void drawUnitIcon(SDL_Renderer* renderer, UnitClass kind, int side, int x, int y, int size, bool selected);

} // namespace korvan
