// Input dispatch: SDL events become camera moves, toggles and game commands.
#include "input/input.hpp"

#include "hud/hud.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

namespace {

constexpr double zoomStep = 1.15;
constexpr double zoomOutStep = 0.8695652173913044; // 1 / 1.15
constexpr double panStep = 45;

void keyDown(Client& client, const SDL_KeyboardEvent& key);
void mouseButtonDown(Client& client, const SDL_MouseButtonEvent& button);
void leftClick(Client& client);
void mapClick(Client& client);

} // namespace

void handleEvent(Client& client, const SDL_Event& e) {
    ViewState& view = client.view;
    switch (e.type) {
    case SDL_QUIT:
        client.running = false;
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            // Keep the view centred while the window grows or shrinks.
            view.camera.x += (e.window.data1 - view.width) * 0.5;
            view.camera.y += (e.window.data2 - view.height) * 0.5;
            view.width = e.window.data1;
            view.height = e.window.data2;
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            view.dragging = false;
        } else if (e.window.event == SDL_WINDOWEVENT_LEAVE) {
            view.mouse = {-1, -1};
        }
        break;
    case SDL_KEYDOWN:
        keyDown(client, e.key);
        break;
    case SDL_MOUSEMOTION:
        view.mouse = {double(e.motion.x), double(e.motion.y)};
        if (view.dragging) {
            view.camera.x += e.motion.xrel;
            view.camera.y += e.motion.yrel;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        mouseButtonDown(client, e.button);
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_MIDDLE || e.button.button == SDL_BUTTON_RIGHT) {
            view.dragging = false;
        }
        break;
    case SDL_MOUSEWHEEL:
        if (view.onMap(view.mouse)) {
            const double sign = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0 : 1.0;
            view.zoom(std::pow(zoomStep, sign * e.wheel.y), view.mouse);
        }
        break;
    default:
        break;
    }
    view.wrapCamera();
    view.updateHover();
}

namespace {

void keyDown(Client& client, const SDL_KeyboardEvent& key) {
    ViewState& view = client.view;
    Game& game = client.game;
    const bool repeated = key.repeat != 0;
    const Point zoomAnchor{(view.width - sidebarWidth) * 0.5, view.height * 0.5};
    switch (key.keysym.sym) {
    case SDLK_TAB:
        client.focusOperation();
        break;
    case SDLK_o:
        if (!repeated) {
            client.requestOperation();
        }
        break;
    case SDLK_RETURN:
    case SDLK_r:
        if (!repeated) {
            client.endTurn();
        }
        break;
    case SDLK_ESCAPE:
        game.bridgeMode = false;
        game.movementMessage.clear();
        client.clearSelection();
        break;
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        view.zoom(zoomStep, zoomAnchor);
        break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        view.zoom(zoomOutStep, zoomAnchor);
        break;
    case SDLK_a:
    case SDLK_LEFT:
        view.camera.x += panStep;
        break;
    case SDLK_d:
    case SDLK_RIGHT:
        view.camera.x -= panStep;
        break;
    case SDLK_w:
    case SDLK_UP:
        view.camera.y += panStep;
        break;
    case SDLK_s:
    case SDLK_DOWN:
        view.camera.y -= panStep;
        break;
    case SDLK_b:
        game.bridgeMode = !game.bridgeMode;
        game.movementMessage.clear();
        break;
    case SDLK_c:
        view.citiesVisible = !view.citiesVisible;
        view.selectedCity.reset();
        view.hover.city.reset();
        break;
    case SDLK_h:
        game.showLog = !game.showLog;
        break;
    case SDLK_l:
        view.legendVisible = !view.legendVisible;
        break;
    case SDLK_n:
        if (!repeated) {
            client.restartBattle();
        }
        break;
    case SDLK_u:
        client.nextUnit();
        break;
    case SDLK_HOME:
        view.fit();
        break;
    default:
        break;
    }
}

void mouseButtonDown(Client& client, const SDL_MouseButtonEvent& button) {
    ViewState& view = client.view;
    Game& game = client.game;
    view.mouse = {double(button.x), double(button.y)};
    view.updateHover();
    if (button.button == SDL_BUTTON_MIDDLE && game.selectedUnit) {
        // A middle click with a unit selected only deselects; it does not start dragging.
        game.selectedUnit.reset();
        game.range.clear();
        game.selected.reset();
        game.movementMessage.clear();
        view.dragging = false;
        view.updateHover();
        return;
    }
    if (button.button == SDL_BUTTON_LEFT) {
        if (operationButton(view.width).contains(button.x, button.y)) {
            client.focusOperation(); // the top bar's operation button; the click goes on below
        }
        leftClick(client);
    }
    if ((button.button == SDL_BUTTON_MIDDLE || button.button == SDL_BUTTON_RIGHT) && view.onMap(view.mouse)) {
        view.dragging = true;
    }
}

void leftClick(Client& client) {
    ViewState& view = client.view;
    const World& world = client.world;
    const Game& game = client.game;
    const double x = view.mouse.x;
    const double y = view.mouse.y;
    const WorldOverview mini = view.miniGeometry();
    const bool inSidebarColumn = x >= view.width - sidebarColumnLeft && x < view.width - sidebarColumnEnd;
    const ScreenRect action = actionButton(view.width, view.height);
    const std::size_t rows = unitListSize(game);
    const std::size_t first = unitListFirst(game, rows);
    const std::size_t units = game.army.units().size();
    if (world.map.isWorld() && mini.contains(view.mouse)) {
        view.panTo(mini.toWorld(view.mouse));
        view.dragging = false;
    } else if (inSidebarColumn && !view.legendVisible && !game.showLog && y >= unitListTop &&
               y < unitListTop + unitRowHeight * double(std::min(rows, units - first))) {
        const auto row = static_cast<std::size_t>((std::floor(y) - unitListTop) / unitRowHeight);
        client.selectUnit(game.army.units().at(first + row).id, true);
    } else if (inSidebarColumn && y >= action.y && y < action.y + action.h) {
        if (game.decided()) {
            client.restartBattle();
        } else {
            client.endTurn();
        }
    } else if (view.onMap(view.mouse)) {
        mapClick(client);
    }
}

void mapClick(Client& client) {
    ViewState& view = client.view;
    Game& game = client.game;
    const World& world = client.world;
    view.selectedCountry = view.hover.country;
    if (game.bridgeMode) {
        client.buildBridge();
    } else if (const auto unit = view.unitAt(game.army, view.mouse)) {
        if (game.canAttack(*unit)) {
            client.attackUnit(*unit);
        } else {
            client.selectUnit(*unit, false);
        }
    } else if (game.selectedUnit) {
        if (const auto target = world.gameAt(view.camera.toWorld(view.mouse))) {
            client.moveTo(*target);
        }
    } else {
        game.selected = view.hover.city ? world.gameAt(world.cityWorld(*view.hover.city))
                                        : world.gameAt(view.camera.toWorld(view.mouse));
        view.selectedCity = view.hover.city;
    }
}

} // namespace

} // namespace korvan
