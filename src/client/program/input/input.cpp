// Input dispatch: SDL events become camera moves, toggles and game commands.
#include "input/input.hpp"

#include "hud/hud.hpp"
#include "view_state/sidebar_lists.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace korvan {

namespace {

constexpr double zoomStep = 1.15;
constexpr double zoomOutStep = 0.8695652173913044; // 1 / 1.15
constexpr double panStep = 45;

void keyDown(Client& client, const SDL_KeyboardEvent& key);
void mouseButtonDown(Client& client, const SDL_MouseButtonEvent& button);
void leftClick(Client& client);
void mapClick(Client& client);
void scrollSidebar(Client& client, const SDL_MouseWheelEvent& wheel);

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
        if (e.key.keysym.sym != SDLK_n && e.key.repeat == 0) {
            client.restartAsked = false;
        }
        keyDown(client, e.key);
        break;
    case SDL_TEXTINPUT:
        if (std::string_view(e.text.text) == "?") {
            view.helpVisible = !view.helpVisible;
        }
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
        } else {
            scrollSidebar(client, e.wheel);
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
            client.askEndTurn();
        }
        break;
    case SDLK_F1:
        view.helpVisible = !view.helpVisible;
        break;
    case SDLK_ESCAPE:
        if (view.helpVisible) {
            view.helpVisible = false; // Esc closes the help first
            break;
        }
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
            client.askRestart();
        }
        break;
    case SDLK_u:
        client.nextUnit();
        break;
    case SDLK_F5:
        if (!repeated) {
            client.quickSave();
        }
        break;
    case SDLK_F9:
        if (!repeated) {
            client.quickLoad();
        }
        break;
    case SDLK_BACKSPACE:
        client.undo();
        break;
    case SDLK_z:
        if ((key.keysym.mod & KMOD_CTRL) != 0) {
            client.undo();
        }
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
    client.restartAsked = false;
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
    const std::size_t rows = unitListRows();
    const std::size_t first = unitListFirst(game, view);
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

// The wheel over the combat log or the unit list scrolls it, three lines a notch; up is back.
void scrollSidebar(Client& client, const SDL_MouseWheelEvent& wheel) {
    ViewState& view = client.view;
    const Game& game = client.game;
    const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    const auto step = [&](std::size_t at, std::size_t limit, int by) {
        const long long moved = std::clamp<long long>(static_cast<long long>(std::min(at, limit)) + by, 0, limit);
        return static_cast<std::size_t>(moved);
    };
    const int mx = static_cast<int>(view.mouse.x);
    const int my = static_cast<int>(view.mouse.y);
    const bool logShown = game.showLog && game.battle;
    if (logShown && combatLogBox(view.width).contains(mx, my)) {
        const std::size_t lines = combatLogLines(game.battle->log(), combatLogLineLength).size();
        const std::size_t hidden = lines > combatLogLinesShown ? lines - combatLogLinesShown : 0;
        view.logScroll = step(view.logScroll, hidden, 3 * notches);
    } else if (!logShown && !view.legendVisible && unitListArea(view.width).contains(mx, my)) {
        const std::size_t units = game.army.units().size();
        const std::size_t hidden = units > unitListRows() ? units - unitListRows() : 0;
        view.unitListOffset = step(view.unitListOffset, hidden, -3 * notches);
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
