// The play-grid terrain raster of the software renderer.
#include "render/terrain_cpu.hpp"

#include "client/client.hpp"
#include "render/lake_spans.hpp"
#include "render/palette.hpp"
#include "core/row_split.hpp"
#include "render/terrain_geometry.hpp"
#include "render/terrain_raster.hpp"

#include <algorithm>

namespace korvan {

namespace {

// Redraws one window rectangle of the raster: the background, then every game field reaching into it;
// a large rectangle is painted in two halves at once.
void redraw(const Client& client, TerrainScratch& scratch, SDL_Rect area, SDL_Rect part) {
    for (int y = part.y; y < part.y + part.h; ++y) {
        std::uint32_t* row = scratch.picture.at({part.x, y, part.w, 1});
        std::fill(row, row + part.w, packArgb(mapBackground.r, mapBackground.g, mapBackground.b));
    }
    scratch.batch.clear();
    scratch.batch.texture = client.terrainArt.get();
    addPlayGridIcons(client, scratch, &part);
    if (client.camera.scale >= texturedLakeScale) {
        visibleLakeSpans(client, part, scratch.lakeSpans);
        addLakeTextures(client, scratch.lakeSpans, scratch.batch);
    }
    // A field's texture frame spans its longer side divided by 0.78; that is one atlas cell on screen.
    const Camera game = client.gameCamera();
    const double cell = std::max(sqrt3 * game.scale * game.horizontalScale, 2 * game.scale * game.verticalScale) / 0.78;
    const TexelImage& texture = client.terrainArt.levels.forCellSize(cell);
    fillRowsInParallel(part.h, std::size_t(part.w) * std::size_t(part.h), [&](int firstRow, int endRow) {
        const SDL_Rect rows{part.x, part.y + firstRow, part.w, endRow - firstRow};
        rasterTriangles(scratch.batch.vertices, scratch.batch.indices, texture, {scratch.picture.pixels, area, rows});
    });
}

} // namespace

bool softwareRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

bool terrainOnCpu(const Client& client, SDL_Renderer* renderer) {
    return client.map.isWorld() && terrainDetail(true, client.camera.scale).playGrid && client.terrainArt.get() &&
           softwareRenderer(renderer);
}

bool lakesInCpuTerrain(const Client& client, SDL_Renderer* renderer) {
    return client.camera.scale >= texturedLakeScale && terrainOnCpu(client, renderer);
}

void renderPlayGridOnCpu(const Client& client, SDL_Renderer* renderer) {
    TerrainScratch& scratch = client.terrainScratch;
    const SDL_Rect area = client.mapClip();
    if (area.w <= 0 || area.h <= 0 || client.terrainArt.levels.levels.empty()) {
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
        scratch.picture.resize(area);
        scratch.key.reset();
    }
    const ViewKey key = client.viewKey();
    if (scratch.key != key) {
        const auto pan = scratch.key ? wholePixelPan(*scratch.key, key, area.w, area.h) : std::nullopt;
        if (pan) {
            for (const SDL_Rect strip : scratch.picture.scroll(*pan)) {
                if (strip.w > 0 && strip.h > 0) {
                    redraw(client, scratch, area, strip);
                }
            }
        } else {
            redraw(client, scratch, area, area);
        }
        if (SDL_UpdateTexture(scratch.texture.get(), nullptr, scratch.picture.pixels.data(), area.w * 4) != 0) {
            throwSdlError();
        }
        scratch.key = key;
    }
    if (SDL_RenderCopy(renderer, scratch.texture.get(), nullptr, &area) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
