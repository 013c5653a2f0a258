// Which SDL renderer draws: the accelerated one, unless its GPU is a rasteriser running on the CPU.
#pragma once

#include <filesystem>
#include <string_view>

namespace korvan {

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that runs on the CPU, such as
// Mesa's llvmpipe, softpipe and swrast.
bool rastersOnCpu(std::string_view glRenderer);

// Whether to give up the accelerated renderer for SDL's software renderer: its GPU rasters on the
// CPU, where SDL's own rasteriser draws our frames several times faster, and the user did not name a
// render driver (userDriver is SDL_RENDER_DRIVER, null or empty when unset).
bool preferSoftwareRenderer(const char* userDriver, std::string_view glRenderer);

// Whether the device folder (/dev on Linux) holds a graphics device OpenGL could draw on: a kernel
// graphics driver's node (dri/card*, dri/renderD*), NVIDIA's own driver or WSL's GPU. Without one the
// accelerated renderer can only be a rasteriser on the CPU.
bool graphicsDevicePresent(const std::filesystem::path& devices);

} // namespace korvan
