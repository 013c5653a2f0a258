// A unit as the map shows it: its icon with the strength plate, the strength and the two state
// squares. Whole pictures are drawn once into a texture and copied, so a crowded view costs one
// copy per unit instead of five kinds of drawing calls the software renderer switches between.
#pragma once

#include "forces/army.hpp"
#include "sdl/sdl_handles.hpp"

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

// Pixel extent of a picture about its centre: the icon square and the plate below it.
struct UnitPictureExtent {
    int left;
    int top;
    int width;
    int height;
};
UnitPictureExtent unitPictureExtent(int size);

// Draws the picture centred (for the icon) at (x, y), `size` pixels wide.
void drawUnitPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size);

class UnitPictureCache {
public:
    // Copies the picture from the cache, drawing it there first when it is new; draws it directly
    // when the renderer cannot draw into textures.
    void draw(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size);

private:
    static constexpr int columns = 16;
    static constexpr int rows = 8;

    bool reset(SDL_Renderer* renderer, int size);
    std::optional<int> cellOf(SDL_Renderer* renderer, const UnitPicture& picture);

    TextureHandle texture_;
    SDL_Renderer* renderer_ = nullptr;
    int size_ = 0;
    bool usable_ = false;
    std::vector<UnitPicture> cells_; // what each used cell holds, in cell order
};

} // namespace korvan
