// The units on the map with their strength plates.
#include "units/unit_layer.hpp"

#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "units/unit_pictures.hpp"
#include "sdl/sdl_handles.hpp"

#include <algorithm>
#include <cmath>
#include <map>

namespace korvan {

namespace {

constexpr int mapIconSize = 48;
constexpr double unitScale = 14;
constexpr SDL_Color redActedFrame{255, 170, 40, 255};

// An open frame around a unit of the computer's that moved or fired in its last turn.
void actedFrame(SDL_Renderer* renderer, Point centre, int size) {
    const int half = size / 2 + 3;
    const SDL_Rect area{static_cast<int>(std::lround(centre.x)) - half, static_cast<int>(std::lround(centre.y)) - half,
                        2 * half, 2 * half};
    SDL_SetRenderDrawColor(renderer, redActedFrame.r, redActedFrame.g, redActedFrame.b, redActedFrame.a);
    for (int inset = 0; inset < 2; ++inset) {
        const SDL_Rect ring{area.x + inset, area.y + inset, area.w - 2 * inset, area.h - 2 * inset};
        SDL_RenderDrawRect(renderer, &ring);
    }
}

} // namespace

void UnitLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    if (view.camera.scale < unitScale) {
        return;
    }
    for (const Unit& unit : game.army.units()) {
        const UnitPicture picture{game.army.types().at(std::size_t(unit.type)).kind,
                                  unit.side,
                                  game.selectedUnit == unit.id,
                                  unit.strength,
                                  unit.moved,
                                  unit.attacked};
        const bool acted = std::find(game.redActed.begin(), game.redActed.end(), unit.id) != game.redActed.end();
        view.unitCopies(unit.position, [&](Point s) {
            pictures_.draw(renderer, picture, static_cast<int>(std::lround(s.x)),
                                 static_cast<int>(std::lround(s.y)), mapIconSize);
            if (acted) {
                actedFrame(renderer, s, mapIconSize);
            }
        });
    }
}

} // namespace korvan
