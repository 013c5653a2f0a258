// SDL events as the user's devices would send them, made by hand: the self-test feeds them through
// the event queue, the tests straight to the input.
#pragma once

#include "core/hex.hpp"

#include <SDL.h>

namespace korvan {

inline SDL_Event keyEvent(SDL_Keycode code, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = code;
    e.key.repeat = repeat ? 1 : 0;
    return e;
}

inline SDL_Event buttonEvent(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    return e;
}
inline SDL_Event buttonEvent(Uint32 type, Uint8 button, Point at) {
    return buttonEvent(type, button, static_cast<int>(at.x), static_cast<int>(at.y));
}

inline SDL_Event motionEvent(int x, int y, int dx = 0, int dy = 0) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    return e;
}
inline SDL_Event motionEvent(Point at, Point relative) {
    return motionEvent(static_cast<int>(at.x), static_cast<int>(at.y), static_cast<int>(relative.x),
                       static_cast<int>(relative.y));
}

inline SDL_Event wheelEvent(int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return e;
}

inline SDL_Event windowEvent(Uint8 what, int a = 0, int b = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    e.window.data1 = a;
    e.window.data2 = b;
    return e;
}

} // namespace korvan
