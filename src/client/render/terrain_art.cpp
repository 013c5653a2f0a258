// Loading the terrain atlas.
#include "render/terrain_art.hpp"

#include <stdexcept>

namespace korvan {

void TerrainArt::load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory) {
    SDL_RWops* file = SDL_RWFromFile((dataDirectory / fileName).string().c_str(), "rb");
    if (!file) {
        throwSdlError();
    }
    const SurfaceHandle surface(SDL_LoadBMP_RW(file, 1));
    if (!surface) {
        throwSdlError();
    }
    if (surface->w != 1024 || surface->h != 768 || surface->format->Amask == 0) {
        throw std::runtime_error("Ungueltiger Gelaendeatlas oder fehlende Transparenz");
    }
    TextureHandle created(SDL_CreateTextureFromSurface(renderer, surface.get()));
    if (!created || SDL_SetTextureBlendMode(created.get(), SDL_BLENDMODE_BLEND) != 0 ||
        SDL_SetTextureScaleMode(created.get(), SDL_ScaleModeLinear) != 0) {
        throwSdlError();
    }
    // A failed reload keeps the atlas already in use.
    texture = std::move(created);
}

} // namespace korvan
