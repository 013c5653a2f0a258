// The frame loop after start-up: events in, one frame out, and the start-up actions that need a frame.
#pragma once

#include "shell/client.hpp"
#include "modes/self_test.hpp"

#include <SDL.h>

#include <cstdint>
#include <string>

namespace korvan {

// The tour of test mode shows this many stops, 0 to 5.
inline constexpr int tourStopCount = 6;

class RunLoop {
public:
    RunLoop(Client& client, SDL_Renderer* renderer, bool smoke, std::string imagePath, std::string cityFocus,
            int unitFocus, std::string countryFocus);

    // One iteration: the events, then a frame when something can look different; errors never
    // escape, they stop the loop with exit code 1. True when it drew.
    bool tick();
    // Between iterations: a short pause after a frame, as long as nothing happens otherwise.
    void pause(bool drew) const;

    Client& client;
    SDL_Renderer* renderer;
    bool smoke;
    std::string imagePath;
    std::string cityFocus;
    std::string countryFocus;
    std::string error;
    int unitFocus;
    int frame = 0;
    int exitCode = 0;
    double initialScale = 0;
    bool tour = false;
    double tourSpeed = 1.0;
    int tourStop = -1;
    std::uint32_t tourStart = 0;

    // Performs tour stop tourStop and logs it; a failed check throws.
    void tourStep();

private:
    InputProbe probe; // what the self-test's injected input must leave behind

    // Whether the frame must be drawn although no event came: the first frames, the modes that run
    // by the frame, a change of the picture the client has timed.
    bool frameDue() const;
    bool timedChangeDue() const;
    bool pumpEvents();
    void startSelfTest();
    void runSelfTestChecks();
    void advanceTour();
};

// Saves the current render target as a 32-bit BMP.
void screenshot(SDL_Renderer* renderer, int width, int height, const std::string& path);

// Takes the next queued event; a run of mouse motions comes out as one motion with the last
// position and the summed relative movement. False when the queue is empty.
bool pollMergedEvent(SDL_Event& event);

// How long a still window waits for an event before the loop looks again, in milliseconds: until
// the client's next timed change (timedChange in SDL ticks, 0 for none) or at most idleWaitLimit.
inline constexpr int idleWaitLimit = 500;
int idleWait(std::uint32_t now, std::uint32_t timedChange);

// Queues an event as if it came from the user (used by the self-test).
void push(SDL_Event event);

} // namespace korvan
