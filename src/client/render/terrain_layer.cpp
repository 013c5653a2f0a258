// Terrain: the cached ground picture of the map area.
#include "client/client.hpp"
#include "render/terrain_geometry.hpp"
#include "render/palette.hpp"
#include "render/terrain_raster.hpp"
#include "sdl/draw_pass.hpp"

#include <algorithm>

namespace korvan {

namespace {

// Map background where no field lies; the terrain texture is opaque. It shares the atlas's format,
// which lets the software renderer copy icon texels without converting each one.
constexpr LayerStyle terrainStyle{SDL_PIXELFORMAT_ARGB8888, {19, 31, 34, 255}, false};

bool softwareRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

// The batch drawn over the map background into a raster, uploaded and copied to the map area.
void drawIconsOnCpu(SDL_Renderer* renderer, TerrainScratch& scratch, const AtlasLevels& atlas, const Camera& game,
                    SDL_Rect area) {
    if (area.w <= 0 || area.h <= 0 || atlas.levels.empty()) {
        return;
    }
    if (!scratch.texture || scratch.textureWidth != area.w || scratch.textureHeight != area.h) {
        scratch.texture.reset(
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, area.w, area.h));
        if (!scratch.texture || SDL_SetTextureBlendMode(scratch.texture.get(), SDL_BLENDMODE_NONE) != 0) {
            throwSdlError();
        }
        scratch.textureWidth = area.w;
        scratch.textureHeight = area.h;
    }
    const SDL_Color b = mapBackground;
    const std::uint32_t background = 0xFF000000u | std::uint32_t(b.r) << 16 | std::uint32_t(b.g) << 8 | b.b;
    scratch.pixels.assign(std::size_t(area.w) * std::size_t(area.h), background);
    // A field's texture frame spans its longer side divided by 0.78; that is one atlas cell on screen.
    const double cell = std::max(sqrt3 * game.scale * game.horizontalScale, 2 * game.scale * game.verticalScale) / 0.78;
    rasterTriangles(scratch.batch.vertices, scratch.batch.indices, atlas.forCellSize(cell), {scratch.pixels, area});
    if (SDL_UpdateTexture(scratch.texture.get(), nullptr, scratch.pixels.data(), area.w * 4) != 0 ||
        SDL_RenderCopy(renderer, scratch.texture.get(), nullptr, &area) != 0) {
        throwSdlError();
    }
}

} // namespace

Terrain Client::displayedTerrain(Hex h) const {
    const Terrain t = map.terrainAt(h);
    return map.isWorld() && t == Terrain::City ? Terrain::Plain : t;
}

void Client::renderTerrain(SDL_Renderer* renderer) const {
    if (map.isWorld() && camera.scale < 2) {
        // The overview keeps a raster cache of its own.
        renderOverview(renderer, true);
        return;
    }
    renderCachedLayer(renderer, terrainCache, viewKey(), mapClip(), terrainStyle, [&] { drawTerrain(renderer); });
}

void Client::drawTerrain(SDL_Renderer* renderer) const {
    const TerrainDetail detail = terrainDetail(map.isWorld(), camera.scale);
    TerrainIcons& batch = terrainScratch.batch;
    SDL_Texture* atlas = terrainArt.get();
    // On the CPU the play-grid pieces are drawn into an opaque raster of their own: they cover every
    // field, so the overview under them would never show.
    const bool cpuIcons = detail.playGrid && atlas && softwareRenderer(renderer);
    if (detail.overview && !cpuIcons) {
        renderOverview(renderer, false);
    }
    if (detail.flat) {
        batch.clear();
        batch.texture = nullptr;
        addFlatFields(*this, batch);
        // Opaque fields: no blending, which also spares the software renderer a read per pixel.
        const DrawPass pass(renderer);
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
        batch.draw(renderer);
    }
    if (!atlas) {
        return;
    }
    const auto drawIcons = [&](auto&& build) {
        batch.clear();
        batch.texture = atlas;
        build();
        batch.draw(renderer);
    };
    if (detail.icons) {
        drawIcons([&] { addFieldIcons(*this, batch); });
    }
    if (detail.joins) {
        drawIcons([&] { addSameTerrainJoins(*this, batch); });
    }
    if (detail.playGrid) {
        batch.clear();
        batch.texture = atlas;
        addPlayGridIcons(*this, terrainScratch);
        if (cpuIcons) {
            drawIconsOnCpu(renderer, terrainScratch, terrainArt.levels, gameCamera(), mapClip());
        } else {
            batch.draw(renderer);
        }
    }
}

} // namespace korvan
