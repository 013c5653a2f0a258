// Input dispatch: SDL events become camera moves, toggles and game commands.
#include "client/client.hpp"

#include <cmath>

namespace korvan {

namespace {

constexpr double zoomStep = 1.15;
constexpr double zoomOutStep = 0.8695652173913044; // 1 / 1.15
constexpr double panStep = 45;

} // namespace

void Client::event(const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT:
        running = false;
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            // Keep the view centred while the window grows or shrinks.
            camera.x += (e.window.data1 - width) * 0.5;
            camera.y += (e.window.data2 - height) * 0.5;
            width = e.window.data1;
            height = e.window.data2;
        } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            dragging = false;
        } else if (e.window.event == SDL_WINDOWEVENT_LEAVE) {
            mouse = {-1, -1};
        }
        break;
    case SDL_KEYDOWN:
        keyDown(e.key);
        break;
    case SDL_MOUSEMOTION:
        mouse = {double(e.motion.x), double(e.motion.y)};
        if (dragging) {
            camera.x += e.motion.xrel;
            camera.y += e.motion.yrel;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        mouseButtonDown(e.button);
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_MIDDLE || e.button.button == SDL_BUTTON_RIGHT) {
            dragging = false;
        }
        break;
    case SDL_MOUSEWHEEL:
        if (onMap(mouse)) {
            const double sign = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0 : 1.0;
            zoom(std::pow(zoomStep, sign * e.wheel.y), mouse);
        }
        break;
    default:
        break;
    }
    wrapCamera();
    updateHover();
}

void Client::clearSelection() {
    selected.reset();
    selectedCity.reset();
    selectedCountry.reset();
    selectedUnit.reset();
    clearRange();
}

void Client::keyDown(const SDL_KeyboardEvent& key) {
    const bool repeated = key.repeat != 0;
    const Point zoomAnchor{(width - sidebar) * 0.5, height * 0.5};
    switch (key.keysym.sym) {
    case SDLK_TAB:
        focusOperation();
        break;
    case SDLK_RETURN:
    case SDLK_r:
        if (!repeated) {
            renewMovement();
        }
        break;
    case SDLK_ESCAPE:
        bridgeMode = false;
        movementMessage.clear();
        clearSelection();
        break;
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        zoom(zoomStep, zoomAnchor);
        break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        zoom(zoomOutStep, zoomAnchor);
        break;
    case SDLK_a:
    case SDLK_LEFT:
        camera.x += panStep;
        break;
    case SDLK_d:
    case SDLK_RIGHT:
        camera.x -= panStep;
        break;
    case SDLK_w:
    case SDLK_UP:
        camera.y += panStep;
        break;
    case SDLK_s:
    case SDLK_DOWN:
        camera.y -= panStep;
        break;
    case SDLK_b:
        bridgeMode = !bridgeMode;
        movementMessage.clear();
        break;
    case SDLK_c:
        citiesVisible = !citiesVisible;
        selectedCity.reset();
        hoveredCity.reset();
        break;
    case SDLK_h:
        showLog = !showLog;
        break;
    case SDLK_l:
        legendVisible = !legendVisible;
        break;
    case SDLK_n:
        if (!repeated) {
            restartBattle();
        }
        break;
    case SDLK_u:
        nextUnit();
        break;
    case SDLK_HOME:
        fit();
        break;
    default:
        break;
    }
}

void Client::mouseButtonDown(const SDL_MouseButtonEvent& button) {
    mouse = {double(button.x), double(button.y)};
    updateHover();
    if (button.button == SDL_BUTTON_MIDDLE && selectedUnit) {
        // A middle click with a unit selected only deselects; it does not start dragging.
        selectedUnit.reset();
        clearRange();
        selected.reset();
        movementMessage.clear();
        dragging = false;
        updateHover();
        return;
    }
    if (button.button == SDL_BUTTON_LEFT) {
        if (button.y > 21 && button.y <= 61 && button.x >= width - 238 && button.x < width - 18) {
            focusOperation(); // the sidebar's operation button; the click goes on below
        }
        leftClick();
    }
    if ((button.button == SDL_BUTTON_MIDDLE || button.button == SDL_BUTTON_RIGHT) && onMap(mouse)) {
        dragging = true;
    }
}

void Client::leftClick() {
    const double x = mouse.x;
    const double y = mouse.y;
    const WorldOverview mini = miniGeometry();
    const bool inSidebarColumn = x >= width - 256 && x < width - 14;
    if (map.isWorld() && mini.contains(mouse)) {
        panTo(mini.toWorld(mouse));
        dragging = false;
    } else if (inSidebarColumn && !legendVisible && !showLog && y >= unitListTop &&
               y < unitListTop + unitRowHeight * double(std::min(unitListSize(), unitCount() - unitListFirst()))) {
        const auto row = static_cast<std::size_t>((std::floor(y) - unitListTop) / unitRowHeight);
        selectUnit(unitIdAt(unitListFirst() + row), true);
    } else if (inSidebarColumn && y >= height - 78 && y < height - 42) {
        if (battleDecided()) {
            restartBattle();
        } else {
            renewMovement();
        }
    } else if (onMap(mouse)) {
        mapClick();
    }
}

void Client::mapClick() {
    selectedCountry = hoveredCountry;
    if (bridgeMode) {
        buildBridge();
    } else if (const auto unit = unitAt(mouse)) {
        if (canAttack(*unit)) {
            attackUnit(*unit);
        } else {
            selectUnit(*unit, false);
        }
    } else if (selectedUnit) {
        if (const auto target = gameAt(camera.toWorld(mouse))) {
            moveTo(*target);
        }
    } else {
        selected = hoveredCity ? gameAt(cityWorld(*hoveredCity)) : gameAt(camera.toWorld(mouse));
        selectedCity = hoveredCity;
    }
}

} // namespace korvan
