// Frame composition: the map layers in their order under the map clip, then the panels.
#include "map_view/map_view.hpp"

#include "cpu/terrain_cpu.hpp"
#include "kit/palette.hpp"
#include "sdl/output_format.hpp"

#include <algorithm>
#include <array>

namespace korvan {

namespace {

// Clears what lies beyond the view's width x height: the terrain covers the map area and the
// panels the rest of the view, but a window may have grown before the view knows.
void clearBeyond(SDL_Renderer* renderer, int width, int height) {
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) {
        SDL_RenderClear(renderer);
        return;
    }
    const std::array<SDL_Rect, 2> beyond{{{width, 0, outputWidth - width, outputHeight},
                                          {0, height, std::min(width, outputWidth), outputHeight - height}}};
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    SDL_GetRenderDrawBlendMode(renderer, &blend);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    for (const SDL_Rect& r : beyond) {
        if (r.w > 0 && r.h > 0) {
            SDL_RenderFillRect(renderer, &r);
        }
    }
    SDL_SetRenderDrawBlendMode(renderer, blend);
}

} // namespace

MapView::MapView(const World& world, const Game& game, const ViewState& view)
    : scene_{world, game, view, images_}, objectives_(cities_), cityLabels_(cities_),
      layers_{&terrain_, &lakes_, &roads_, &borders_, &rivers_, &reach_, &cities_, &objectives_, &cityLabels_, &cursor_, &units_,
              &bridgePreview_, &path_} {}

Frame MapView::frame(SDL_Renderer* renderer) {
    if (renderer != renderer_) {
        renderer_ = renderer;
        software_ = softwareRenderer(renderer);
    }
    return Frame{scene_, renderer, software_, toSdl(scene_.view.mapClip())};
}

void MapView::draw(SDL_Renderer* renderer) {
    Frame f = frame(renderer);
    SDL_SetRenderDrawColor(renderer, mapBackground.r, mapBackground.g, mapBackground.b, mapBackground.a);
    if (TerrainLayer::coversMapArea(f)) {
        clearBeyond(renderer, f.view.width, f.view.height);
    } else {
        SDL_RenderClear(renderer);
    }
    SDL_RenderSetClipRect(renderer, &f.mapClip);
    // On the software renderer the terrain, the outline and the rivers share one picture: one scroll
    // and one opaque copy instead of three, two of them blended. Close in it is the terrain's raster;
    // further out, until the lakes come between, the rivers' picture with the overview under them.
    // Roads would lie between.
    MapCanvas canvas;
    const bool terrainCanvas =
        terrainOnCpu(f) && !f.world.map.hasRoads() && !f.images.terrainArt.levels.levels.empty();
    if (terrainCanvas) {
        f.canvas = &canvas;
    } else if (f.software && TerrainLayer::overviewAlone(f) && !LakeLayer::shows(f) && !f.world.map.hasRoads() &&
               rivers_.beginOverlay(f, canvas, RiverLayer::Ground::Overview)) {
        f.canvas = &canvas;
    }

    for (MapLayer* layer : layers_) {
        // With the lakes in view the outline goes into the rivers' picture, which lies right over it.
        if (layer == &borders_ && !f.canvas && f.software && rivers_.beginOverlay(f, canvas, RiverLayer::Ground::Clear)) {
            f.canvas = &canvas;
        }
        if (layer == &borders_ && borderTiming.measured) {
            const Uint64 before = SDL_GetPerformanceCounter();
            layer->draw(f);
            borderTiming.milliseconds =
                double(SDL_GetPerformanceCounter() - before) / double(SDL_GetPerformanceFrequency()) * 1000;
        } else {
            layer->draw(f);
        }
        if (layer == &rivers_ && f.canvas) {
            if (terrainCanvas && canvas.picture) {
                terrain_.presentCanvas(f);
            }
            f.canvas = nullptr;
        }
    }
    borderTiming.drawCalls = borders_.drawCalls();

    SDL_RenderSetClipRect(renderer, nullptr);
    hud_.draw(f);
}

void MapView::forgetRenderer() {
    for (MapLayer* layer : layers_) {
        layer->forgetRenderer();
    }
    hud_.forgetRenderer();
    images_ = Images{};
    renderer_ = nullptr;
}

std::optional<std::size_t> MapView::cityAt(Point screen) { return cities_.cityAt(scene_, screen); }

std::optional<std::size_t> MapView::bridgeAt(Point screen) {
    const auto bridge = rivers_.graphicsNear(scene_, screen).hitBridge(screen, scene_.view.physicalScale());
    return bridge ? std::optional<std::size_t>(bridge->source) : std::nullopt;
}

std::optional<std::size_t> MapView::riverAt(Point screen, bool precise) {
    const auto river = rivers_.graphicsNear(scene_, screen).hit(screen, precise);
    return river ? std::optional<std::size_t>(river->source) : std::nullopt;
}

} // namespace korvan
