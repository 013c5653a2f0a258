// Unit icons: small pixel-art pictures of boxes on a 32 x 32 design grid, one per unit class,
// coloured by side.
#pragma once

#include "forces/army.hpp"
#include "sdl/sdl_handles.hpp"

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

// Every icon of one size drawn once into a texture, so a frame copies each unit's picture instead
// of filling its thirty-odd boxes one by one. The copies are pixel for pixel the drawn icons: a cell
// is the icon drawn about the cell's centre, and the centres are whole pixels.
class UnitIconAtlas {
public:
    // Draws the icon from the atlas, building it first for this renderer and size; falls back to
    // drawing the boxes when the renderer cannot draw into textures.
    void draw(SDL_Renderer* renderer, UnitClass kind, int side, int x, int y, int size, bool selected);

private:
    bool build(SDL_Renderer* renderer, int size);

    TextureHandle texture_;
    SDL_Renderer* renderer_ = nullptr;
    int size_ = 0;
};

} // namespace korvan
