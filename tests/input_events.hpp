// SDL events as the run loop hands them to the client, built by hand for the input tests.
#pragma once

#include <SDL.h>

namespace korvan::testing {

inline SDL_Event key(SDL_Keycode code, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = code;
    e.key.repeat = repeat ? 1 : 0;
    return e;
}

inline SDL_Event button(Uint32 type, Uint8 which, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = which;
    e.button.x = x;
    e.button.y = y;
    return e;
}

inline SDL_Event motion(int x, int y, int dx = 0, int dy = 0) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    return e;
}

inline SDL_Event scroll(int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    return e;
}

inline SDL_Event window(Uint8 what, int a = 0, int b = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    e.window.data1 = a;
    e.window.data2 = b;
    return e;
}

} // namespace korvan::testing
