// The whole life of the program: command line, start-up, run loop, exit code.
#pragma once

#include "client/client.hpp"

#include <SDL.h>

#include <filesystem>
#include <memory>

namespace korvan {

// The client on a loaded map with every data layer, the scenario and the first hover state, as
// start-up builds it once the renderer exists. customMap: a --map file, which plays no scenario.
std::unique_ptr<Client> createClient(Map world, SDL_Renderer* renderer, const std::filesystem::path& dataDirectory,
                                     const std::filesystem::path& mapPath, bool customMap);

// Exit codes: 0 success, 1 any error, 2 a bad invocation.
int runProgram(int argc, char** argv);

} // namespace korvan
