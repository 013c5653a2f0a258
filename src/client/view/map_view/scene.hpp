// What one frame of the map draws from: the world, the game, the view state and the images, all
// read-only. Drawing changes none of them, only the caches its layers own.
#pragma once

#include "game/game.hpp"
#include "kit/map_picture.hpp"
#include "kit/sdl_rect.hpp"
#include "map_view/images.hpp"
#include "view_state/view_state.hpp"
#include "world/world.hpp"

#include <SDL.h>

namespace korvan {

struct Scene {
    const World& world;
    const Game& game;
    const ViewState& view;
    const Images& images;
};

// One frame on one renderer. software: the renderer is SDL's software renderer, asked once per
// renderer; layers then paint on the CPU where that is faster. canvas: set while the terrain, the
// outline and the rivers paint into one picture (null: each layer keeps a picture of its own).
struct Frame : Scene {
    SDL_Renderer* renderer = nullptr;
    bool software = false;
    SDL_Rect mapClip{};
    MapCanvas* canvas = nullptr;
};

} // namespace korvan
