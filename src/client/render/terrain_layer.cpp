// Terrain: the cached ground picture of the map area.
#include "client/client.hpp"
#include "render/terrain_geometry.hpp"
#include "render/terrain_cpu.hpp"
#include "sdl/draw_pass.hpp"


namespace korvan {

namespace {

// Map background where no field lies; the terrain texture is opaque. It shares the atlas's format,
// which lets the software renderer copy icon texels without converting each one.
constexpr LayerStyle terrainStyle{SDL_PIXELFORMAT_ARGB8888, {19, 31, 34, 255}, false};

} // namespace

Terrain Client::displayedTerrain(Hex h) const {
    const Terrain t = map.terrainAt(h);
    return map.isWorld() && t == Terrain::City ? Terrain::Plain : t;
}

void Client::renderTerrain(SDL_Renderer* renderer) const {
    // Below the icons the world's terrain is the overview alone, which keeps a raster cache of its
    // own: a second cache around it would only add a clear and a copy.
    if (map.isWorld() && !terrainDetail(true, camera.scale).playGrid) {
        renderOverview(renderer, camera.scale < 2);
        return;
    }
    if (terrainOnCpu(*this, renderer)) {
        renderPlayGridOnCpu(*this, renderer);
        return;
    }
    renderCachedLayer(renderer, terrainCache, viewKey(), mapClip(), terrainStyle, [&] { drawTerrain(renderer); });
}

void Client::drawTerrain(SDL_Renderer* renderer) const {
    const TerrainDetail detail = terrainDetail(map.isWorld(), camera.scale);
    TerrainIcons& batch = terrainScratch.batch;
    SDL_Texture* atlas = terrainArt.get();
    if (detail.overview) {
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
        drawIcons([&] { addPlayGridIcons(*this, terrainScratch); });
    }
}

} // namespace korvan
