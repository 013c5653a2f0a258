// The play-grid terrain raster of the software renderer.
#include "cpu/terrain_cpu.hpp"

#include "map_view/scene.hpp"
#include "cpu/lake_spans.hpp"
#include "kit/palette.hpp"
#include "core/row_split.hpp"
#include "terrain/terrain_geometry.hpp"
#include "cpu/terrain_raster.hpp"

#include <algorithm>

namespace korvan {

namespace {

// Redraws one window rectangle of the raster: the background, then every game field reaching into it;
// a large rectangle is painted in two halves at once.
void redraw(const Scene& scene, TerrainScratch& scratch, SDL_Rect area, SDL_Rect part) {
    for (int y = part.y; y < part.y + part.h; ++y) {
        std::uint32_t* row = scratch.picture.at({part.x, y, part.w, 1});
        std::fill(row, row + part.w, packArgb(mapBackground.r, mapBackground.g, mapBackground.b));
    }
    scratch.batch.clear();
    scratch.batch.texture = scene.images.terrainArt.get();
    addPlayGridIcons(scene, scratch, &part);
    if (scene.view.camera.scale >= texturedLakeScale) {
        visibleLakeSpans(scene, part, scratch.lakeSpans);
        addLakeTextures(scene, scratch.lakeSpans, scratch.batch);
    }
    // A field's texture frame spans its longer side divided by 0.78; that is one atlas cell on screen.
    const Camera game = scene.view.gameCamera();
    const double cell = std::max(sqrt3 * game.scale * game.horizontalScale, 2 * game.scale * game.verticalScale) / 0.78;
    const TexelImage& texture = scene.images.terrainArt.levels.forCellSize(cell);
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

bool terrainOnCpu(const Frame& frame) {
    return frame.software && frame.world.map.isWorld() && terrainDetail(true, frame.view.camera.scale).playGrid &&
           frame.images.terrainArt.get();
}

bool lakesInCpuTerrain(const Frame& frame) {
    return frame.view.camera.scale >= texturedLakeScale && terrainOnCpu(frame);
}

void renderPlayGridOnCpu(const Frame& frame, TerrainScratch& scratch) {
    const Scene& scene = frame;
    SDL_Renderer* renderer = frame.renderer;
    const SDL_Rect area = frame.mapClip;
    if (area.w <= 0 || area.h <= 0 || scene.images.terrainArt.levels.levels.empty()) {
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
    const ViewKey key = scene.view.viewKey();
    if (scratch.key != key) {
        const auto pan = scratch.key ? wholePixelPan(*scratch.key, key, area.w, area.h) : std::nullopt;
        if (pan) {
            for (const SDL_Rect strip : scratch.picture.scroll(*pan)) {
                if (strip.w > 0 && strip.h > 0) {
                    redraw(scene, scratch, area, strip);
                }
            }
        } else {
            redraw(scene, scratch, area, area);
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
