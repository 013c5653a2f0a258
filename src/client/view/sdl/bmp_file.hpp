// Reading a picture of data/: the file read within its cap, its header checked against the
// picture expected, and only then decoded by SDL.
#pragma once

#include "core/files/bmp_header.hpp"
#include "sdl/sdl_handles.hpp"

#include <filesystem>
#include <string>

namespace korvan {

// The picture; fails with "<path>: <invalid> (<what is wrong>)" when the header does not describe
// the expected picture, and with "<path>: ..." for every other reason.
SurfaceHandle loadBmpFile(const std::filesystem::path& file, BmpShape expected, const std::string& invalid);

} // namespace korvan
