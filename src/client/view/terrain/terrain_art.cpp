// Loading the terrain atlas.
#include "terrain/terrain_art.hpp"

#include "sdl/bmp_file.hpp"
#include "sdl/output_format.hpp"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace korvan {

void TerrainArt::load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory) {
    const std::filesystem::path file = dataDirectory / fileName;
    const std::string invalid = "Ungueltiger Gelaendeatlas oder fehlende Transparenz";
    const SurfaceHandle surface = loadBmpFile(file, {1024, 768, true}, invalid);
    if (surface->format->Amask == 0) {
        throw std::runtime_error(file.string() + ": " + invalid);
    }
    TextureHandle created(SDL_CreateTextureFromSurface(renderer, surface.get()));
    if (!created || SDL_SetTextureBlendMode(created.get(), SDL_BLENDMODE_BLEND) != 0 ||
        SDL_SetTextureScaleMode(created.get(), SDL_ScaleModeLinear) != 0) {
        throwSdlError();
    }
    // Only SDL's software renderer draws the play grid on the CPU: elsewhere the levels would be
    // some 4 MB that nothing reads.
    AtlasLevels made;
    if (softwareRenderer(renderer)) {
        const SurfaceHandle argb(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_ARGB8888, 0));
        if (!argb) {
            throwSdlError();
        }
        TexelImage full;
        full.width = argb->w;
        full.height = argb->h;
        full.pixels.resize(std::size_t(argb->w) * std::size_t(argb->h));
        for (int y = 0; y < argb->h; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(static_cast<const Uint8*>(argb->pixels) + y * argb->pitch);
            std::copy(row, row + argb->w, full.pixels.begin() + std::ptrdiff_t(y) * argb->w);
        }
        made = buildAtlasLevels(std::move(full));
    }
    // A failed reload keeps the atlas already in use.
    texture = std::move(created);
    levels = std::move(made);
}

} // namespace korvan
