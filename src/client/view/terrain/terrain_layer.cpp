// Terrain: the cached ground picture of the map area.
#include "terrain/terrain_layer.hpp"

#include "cpu/terrain_cpu.hpp"
#include "sdl/draw_pass.hpp"

namespace korvan {

namespace {

// Map background where no field lies; the terrain texture is opaque. It shares the atlas's format,
// which lets the software renderer copy icon texels without converting each one.
constexpr LayerStyle terrainStyle{SDL_PIXELFORMAT_ARGB8888, {19, 31, 34, 255}, false};

} // namespace

void TerrainLayer::draw(const Frame& frame) {
    const ViewState& view = frame.view;
    // Below the icons the world's terrain is the overview alone, which keeps a raster cache of its
    // own: a second cache around it would only add a clear and a copy.
    if (overviewAlone(frame)) {
        if (frame.canvas) {
            overview_.paintCanvas(frame, *frame.canvas); // the rivers' picture, shown with them
        } else {
            overview_.draw(frame, view.camera.scale < 2);
        }
        return;
    }
    if (terrainOnCpu(frame)) {
        renderPlayGridOnCpu(frame, scratch_);
        return;
    }
    renderCachedLayer(frame.renderer, cache_, view.viewKey(), frame.mapClip, terrainStyle, [&] { drawFields(frame); });
}

void TerrainLayer::drawFields(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Images& images = frame.images;
    const TerrainDetail detail = terrainDetail(world.map.isWorld(), view.camera.scale);
    TerrainIcons& batch = scratch_.batch;
    SDL_Texture* atlas = images.terrainArt.get();
    if (detail.overview) {
        overview_.draw(frame, false);
    }
    if (detail.flat) {
        batch.clear();
        batch.texture = nullptr;
        addFlatFields(frame, batch);
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
        drawIcons([&] { addFieldIcons(frame, batch); });
    }
    if (detail.joins) {
        drawIcons([&] { addSameTerrainJoins(frame, batch); });
    }
    if (detail.playGrid) {
        drawIcons([&] { addPlayGridIcons(frame, scratch_); });
    }
}

void TerrainLayer::presentCanvas(const Frame& frame) { presentPlayGrid(frame, scratch_); }

bool TerrainLayer::coversMapArea(const Frame& frame) {
    // The overview raster and the CPU raster are copied opaque over the whole map area.
    return frame.software && (overviewAlone(frame) || terrainOnCpu(frame));
}

bool TerrainLayer::overviewAlone(const Frame& frame) {
    return frame.world.map.isWorld() && !terrainDetail(true, frame.view.camera.scale).playGrid;
}

void TerrainLayer::forgetRenderer() {
    cache_ = LayerCache{};
    scratch_.texture.reset();
    scratch_.key.reset();
    overview_.forgetRenderer();
}

} // namespace korvan
