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

    // One iteration; errors never escape, they stop the loop with exit code 1.
    void tick();

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

    void pumpEvents();
    void startSelfTest();
    void runSelfTestChecks();
    void advanceTour();
};

// Saves the current render target as a 32-bit BMP.
void screenshot(SDL_Renderer* renderer, int width, int height, const std::string& path);

// Takes the next queued event; a run of mouse motions comes out as one motion with the last
// position and the summed relative movement. False when the queue is empty.
bool pollMergedEvent(SDL_Event& event);

// Queues an event as if it came from the user (used by the self-test).
void push(SDL_Event event);

} // namespace korvan
