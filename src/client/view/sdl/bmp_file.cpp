// Checked loading of BMP pictures.
#include "sdl/bmp_file.hpp"

#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"

namespace korvan {

SurfaceHandle loadBmpFile(const std::filesystem::path& file, BmpShape expected, const std::string& invalid) {
    const std::string bytes = readDataFile(file, fileCaps::image, "Bilddatei nicht lesbar: " + file.string());
    const std::string named = file.string() + ": ";
    if (const std::string problem = bmpHeaderProblem(bytes, expected); !problem.empty()) {
        failLoad(named + invalid + " (" + problem + ")");
    }
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream) {
        failLoad(named + SDL_GetError());
    }
    SurfaceHandle surface(SDL_LoadBMP_RW(stream, 1));
    if (!surface) {
        failLoad(named + SDL_GetError());
    }
    return surface;
}

} // namespace korvan
