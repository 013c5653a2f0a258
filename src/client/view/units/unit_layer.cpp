// The units on the map with their strength plates.
#include "units/unit_layer.hpp"

#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "units/unit_pictures.hpp"
#include "sdl/sdl_handles.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace korvan {

namespace {

constexpr SDL_Color redActedFrame{255, 170, 40, 255};

// An open frame just inside a picture of the computer's unit that moved or fired in its last turn.
void actedFrame(SDL_Renderer* renderer, Point centre, const UnitFootprint& footprint) {
    const SDL_Rect area{static_cast<int>(std::lround(centre.x)) - footprint.width / 2,
                        static_cast<int>(std::lround(centre.y)) - footprint.top, footprint.width, footprint.height};
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
    if (view.camera.scale < unitZoom) {
        return;
    }
    const UnitFootprint footprint = view.unitFootprint();
    const auto hovered = view.unitAt(game.army, view.mouse);
    const auto drawUnit = [&](const Unit& unit) {
        const UnitPicture picture{game.army.types().at(std::size_t(unit.type)).kind,
                                  unit.side,
                                  game.selectedUnit == unit.id,
                                  unit.strength,
                                  unit.moved,
                                  unit.attacked};
        const bool acted = std::find(game.redActed.begin(), game.redActed.end(), unit.id) != game.redActed.end();
        view.unitCopies(unit.position, [&](Point s) {
            pictures_.draw(renderer, picture, static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)),
                           footprint);
            if (acted) {
                actedFrame(renderer, s, footprint);
            }
        });
    };
    // The unit under the pointer and the selected one last, so nothing lies on them.
    const auto onTop = [&](const Unit& unit) { return unit.id == hovered || unit.id == game.selectedUnit; };
    for (const Unit& unit : game.army.units()) {
        if (!onTop(unit)) {
            drawUnit(unit);
        }
    }
    const auto drawLast = [&](std::optional<int> id) {
        if (const Unit* unit = id ? game.army.find(*id) : nullptr) {
            drawUnit(*unit);
        }
    };
    if (hovered != game.selectedUnit) {
        drawLast(hovered);
    }
    drawLast(game.selectedUnit);
}

} // namespace korvan
