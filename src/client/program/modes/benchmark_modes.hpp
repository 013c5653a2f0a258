// The timing runs of --benchmark-pan and --benchmark-zoom.
#pragma once

#include "shell/client.hpp"

#include <SDL.h>

#include <ostream>
#include <string>

namespace korvan {

enum class BenchmarkKind { Pan, Zoom };

// Switches vsync off, then at the scales 0.1, 4 and 18 over Wien (or over cityFocus when given)
// draws 25 panned or zoomed frames and writes one line with the means of the last 20.
void runBenchmark(Client& client, SDL_Renderer* renderer, BenchmarkKind kind, const std::string& cityFocus,
                  std::ostream& out);

} // namespace korvan
