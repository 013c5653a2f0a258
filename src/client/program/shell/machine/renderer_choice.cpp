// Recognising GPU drivers that raster on the CPU by their renderer string, and machines without a GPU.
#include "shell/machine/renderer_choice.hpp"

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

bool graphicsDevicePresent(const std::filesystem::path& devices) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::directory_iterator entry(devices / "dri", error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.starts_with("card") || name.starts_with("renderD")) {
            return true;
        }
    }
    constexpr std::array<const char*, 3> otherGpus{"nvidiactl", "nvidia0", "dxg"};
    return std::any_of(otherGpus.begin(), otherGpus.end(),
                       [&](const char* name) { return fs::exists(devices / name, error); });
}

} // namespace korvan
