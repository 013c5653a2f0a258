// The play-grid terrain raster of the software renderer.
#include "cpu/terrain_cpu.hpp"

#include "map_view/scene.hpp"
#include "cpu/lake_spans.hpp"
#include "kit/layer_cache.hpp"
#include "kit/palette.hpp"
#include "core/row_split.hpp"
#include "terrain/terrain_geometry.hpp"
#include "cpu/terrain_raster.hpp"
#include "sdl/output_format.hpp"
#include "sdl/window_pixels.hpp"

#include <algorithm>
#include <array>

namespace korvan {

namespace {

// Paints the rows `part` of the raster: the background, then every game field reaching into them.
void paint(const Scene& scene, TerrainWork& work, MapPicture& picture, SDL_Rect part) {
    for (int y = part.y; y < part.y + part.h; ++y) {
        std::uint32_t* row = picture.at({part.x, y, part.w, 1});
        std::fill(row, row + part.w, packArgb(mapBackground.r, mapBackground.g, mapBackground.b));
    }
    work.batch.clear();
    work.batch.texture = scene.images.terrainArt.get();
    addPlayGridIcons(scene, work, &part);
    if (scene.view.camera.scale >= texturedLakeScale) {
        visibleLakeSpans(scene, part, work.lakeSpans);
        addLakeTextures(scene, work.lakeSpans, work.batch);
    }
    // A field's texture frame spans its longer side divided by 0.78; that is one atlas cell on screen.
    const Camera game = scene.view.gameCamera();
    const double cell = std::max(sqrt3 * game.scale * game.horizontalScale, 2 * game.scale * game.verticalScale) / 0.78;
    const TexelImage& texture = scene.images.terrainArt.levels.forCellSize(cell);
    rasterTriangles(work.batch.vertices, work.batch.indices, texture, {picture.pixels, picture.area, part});
}

// Redraws one window rectangle of the raster; a large one in two halves at once, each with the
// fields reaching into it, so building the pieces is shared out as well as filling them.
void redraw(const Scene& scene, TerrainScratch& scratch, SDL_Rect part) {
    fillRowsInParallel(part.h, std::size_t(part.w) * std::size_t(part.h), [&](int firstRow, int endRow) {
        const SDL_Rect rows{part.x, part.y + firstRow, part.w, endRow - firstRow};
        paint(scene, endRow == part.h ? static_cast<TerrainWork&>(scratch) : scratch.helper, scratch.picture, rows);
    });
}

} // namespace

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
        // Opaque pixels 0xFFRRGGBB read the same as xRGB.
        scratch.texture.reset(cpuPictureTexture(renderer, softwareOutputFormat(renderer), area.w, area.h));
        if (!scratch.texture || SDL_SetTextureBlendMode(scratch.texture.get(), SDL_BLENDMODE_NONE) != 0) {
            throwSdlError();
        }
        scratch.textureWidth = area.w;
        scratch.textureHeight = area.h;
        scratch.picture.resize(area);
        scratch.key.reset();
    }
    const ViewKey key = scene.view.viewKey();
    const TerrainScratch::Content content{frame.canvas != nullptr,
                                          frame.canvas ? scene.view.activeCountry() : std::nullopt};
    std::array<SDL_Rect, 2> fresh{};
    if (scratch.key != key || scratch.content != content) {
        const auto pan =
            scratch.key && scratch.content == content ? wholePixelPan(*scratch.key, key, area.w, area.h) : std::nullopt;
        if (pan) {
            fresh = scratch.picture.scroll(*pan);
            for (const SDL_Rect strip : fresh) {
                if (strip.w > 0 && strip.h > 0) {
                    redraw(scene, scratch, strip);
                }
            }
        } else {
            redraw(scene, scratch, area);
            fresh = {area, SDL_Rect{}};
        }
        scratch.key = key;
        scratch.content = content;
        scratch.uploaded = false;
    }
    if (frame.canvas) {
        *frame.canvas = {&scratch.picture, fresh, {}, {}};
        return;
    }
    presentPlayGrid(frame, scratch);
}

void presentPlayGrid(const Frame& frame, TerrainScratch& scratch) {
    if (!scratch.texture || !scratch.key) {
        return;
    }
    const SDL_Rect area = scratch.picture.area;
    if (copyIntoWindow(frame.renderer, PixelRing{scratch.picture.pixels, area.w, area.h, {}}, area)) {
        scratch.uploaded = false; // left behind, should the texture be needed again
        return;
    }
    const SDL_Rect stored{0, 0, area.w, area.h};
    if (!scratch.uploaded) {
        if (SDL_UpdateTexture(scratch.texture.get(), &stored, scratch.picture.pixels.data(), area.w * 4) != 0) {
            throwSdlError();
        }
        scratch.uploaded = true;
    }
    if (SDL_RenderCopy(frame.renderer, scratch.texture.get(), &stored, &area) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
