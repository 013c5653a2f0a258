// The units on the map with their strength plates.
#include "units/unit_layer.hpp"

#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "units/unit_pictures.hpp"
#include "sdl/sdl_handles.hpp"

#include <cmath>
#include <map>

namespace korvan {

namespace {

constexpr int mapIconSize = 48;
constexpr double unitScale = 14;

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
        view.unitCopies(unit.position, [&](Point s) {
            pictures_.draw(renderer, picture, static_cast<int>(std::lround(s.x)),
                                 static_cast<int>(std::lround(s.y)), mapIconSize);
        });
    }
}

} // namespace korvan
