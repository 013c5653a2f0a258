// The program's checks of itself on the loaded data: the start view, input injected through SDL's
// queue, and groups of checks that drive the client's own controls. Every passed group writes one
// "PASS SDL: " line to standard output; the first failed check throws a runtime error.
#pragma once

#include "shell/client.hpp"

#include <SDL.h>

#include <string>

namespace korvan {

// Writes "PASS SDL: " + description as one line to standard output.
void reportPass(const std::string& description);

// True when the whole map lies inside the map area: the view that start-up and Home give.
bool showsWholeMap(const Client& client);

// Start-up on a world map: the whole world in view and no unit selected.
void checkStartView(const Client& client);

// What the injected input must leave behind: the field that was put under the pointer, the
// pointer's last position and the scale after the wheel steps.
struct InputProbe {
    Point field;
    Point pointer;
    double scale = 0;
};

// Puts a field exactly under a pointer position and queues, for the run loop to hand over: the
// pointer moving there, a right-button drag in several motions, and wheel steps in and out.
InputProbe injectInput(Client& client);

// After the run loop has handled the injected input: it arrived whole, and the field is still under
// the pointer (dragged along, then kept there by the zoom anchor).
void checkInjectedInput(const Client& client, const InputProbe& probe);

// The groups of checks, each ending with its pass line. Groups that need the shipped geography or
// a scenario are left out when the data lack them.
void runCheckGroups(Client& client, SDL_Renderer* renderer);

} // namespace korvan
