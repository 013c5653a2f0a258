// The whole life of the program: command line, start-up, run loop, exit code.
#pragma once

#include "shell/client.hpp"

#include <SDL.h>

#include <filesystem>
#include <memory>

namespace korvan {

// The client on the world as start-up loads it, with its images for this renderer and the first
// hover state.
std::unique_ptr<Client> createClient(SDL_Renderer* renderer, const WorldSources& sources);

// Exit codes: 0 success, 1 any error, 2 a bad invocation.
int runProgram(int argc, char** argv);

} // namespace korvan
