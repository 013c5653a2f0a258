// Drives a client through its input as a player would: clicks, pointer moves and keys at the screen
// points of game fields.
#pragma once

#include "input/synthetic_events.hpp"
#include "shell/client.hpp"

#include <SDL.h>

#include <cmath>

namespace korvan::testing {

inline Point onScreen(const Client& client, Hex h) { return client.view.camera.toScreen(client.world.gameWorld(h)); }

inline void click(Client& client, Point p) {
    const int x = static_cast<int>(std::lround(p.x));
    const int y = static_cast<int>(std::lround(p.y));
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y));
    client.event(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y));
}

inline void clickField(Client& client, Hex h) { click(client, onScreen(client, h)); }

inline void pointAt(Client& client, Point p) {
    client.event(motionEvent(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))));
}

inline void press(Client& client, SDL_Keycode code, bool repeat = false) { client.event(keyEvent(code, repeat)); }

} // namespace korvan::testing
