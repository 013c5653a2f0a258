// Recognising GPU drivers that raster on the CPU by their renderer string.
#include "shell/renderer_choice.hpp"

#include <algorithm>
#include <array>
#include <cctype>

namespace korvan {

namespace {

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

} // namespace

bool rastersOnCpu(std::string_view glRenderer) {
    // Mesa's CPU drivers, its classic "Software Rasterizer", Windows' GDI fallback, Direct3D's WARP
    // behind Mesa's d3d12 driver and Apple's software renderer.
    constexpr std::array<std::string_view, 7> names{"llvmpipe",       "softpipe",  "swrast",
                                                    "software rast",  "gdi generic",
                                                    "basic render",   "apple software"};
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) {
        return containsIgnoringCase(glRenderer, name);
    });
}

bool preferSoftwareRenderer(const char* userDriver, std::string_view glRenderer) {
    const bool userChose = userDriver != nullptr && *userDriver != '\0';
    return !userChose && rastersOnCpu(glRenderer);
}

} // namespace korvan
