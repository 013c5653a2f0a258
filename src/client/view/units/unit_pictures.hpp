// A unit as the map shows it: its icon with the strength plate, the strength and the two state
// squares, or on small fields a counter with the side's colour, a class symbol and the strength. Whole pictures are drawn once into a texture and copied, so a crowded view costs one
// copy per unit instead of five kinds of drawing calls the software renderer switches between.
#pragma once

#include "forces/army.hpp"
#include "sdl/sdl_handles.hpp"
#include "view_state/unit_footprint.hpp"

#include <SDL.h>

#include <optional>
#include <vector>

namespace korvan {

struct UnitPicture {
    UnitClass kind = UnitClass::Infantry;
    int side = 0;
    bool selected = false;
    int strength = 0;
    bool moved = false;
    bool attacked = false;

    friend bool operator==(const UnitPicture&, const UnitPicture&) = default;
};

// Draws the picture about the field centre (x, y) in the footprint's size; `size` is an icon's.
void drawUnitPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, const UnitFootprint& footprint);
void drawUnitPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size);

class UnitPictureCache {
public:
    // Copies the picture from the cache, drawing it there first when it is new; draws it directly
    // when the renderer cannot draw into textures.
    void draw(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, const UnitFootprint& footprint);
    void draw(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size) {
        draw(renderer, picture, x, y, unitIconFootprint(size));
    }

private:
    static constexpr int columns = 16;
    static constexpr int rows = 8;

    bool reset(SDL_Renderer* renderer, const UnitFootprint& footprint);
    std::optional<int> cellOf(SDL_Renderer* renderer, const UnitPicture& picture);

    TextureHandle texture_;
    SDL_Renderer* renderer_ = nullptr;
    UnitFootprint footprint_;
    bool usable_ = false;
    std::vector<UnitPicture> cells_; // what each used cell holds, in cell order
};

} // namespace korvan
