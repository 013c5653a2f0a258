// The world overview raster of the map area, kept in a streaming texture and reused after pans.
#include "client/client.hpp"
#include "render/overview_raster.hpp"

#include <utility>

namespace korvan {

void Client::renderOverview(SDL_Renderer* renderer, bool includeRivers) const {
    OverviewCache& cache = overviewCache;
    const SDL_Rect area = mapClip();
    if (area.w <= 0 || area.h <= 0) {
        return;
    }
    const ViewKey key = viewKey();
    if (!cache.texture || cache.width != area.w || cache.height != area.h) {
        cache.texture.reset(
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, area.w, area.h));
        if (!cache.texture) {
            throwSdlError();
        }
        SDL_SetTextureBlendMode(cache.texture.get(), SDL_BLENDMODE_NONE);
        cache.width = area.w;
        cache.height = area.h;
        cache.pixels.clear();
        cache.key.reset();
    }
    if (cache.key != key || cache.rivers != includeRivers) {
        std::optional<PixelShift> shift;
        if (cache.key && cache.key->generation == mapGeneration && cache.rivers == includeRivers) {
            shift = overviewShift(cache.key->camera, camera, area.w, area.h);
        }
        // The new raster goes into the spare buffer, which then becomes the one kept for the next pan.
        rasterOverview({map, gameMap(), camera, gameCamera(), area.w, area.h, area.y}, cache.pixels, shift,
                       cache.scratch);
        std::swap(cache.pixels, cache.scratch);
        const std::uint32_t* upload = cache.pixels.data();
        if (includeRivers) {
            PixelKeep keep;
            if (!cache.riverIndex.current(map, mapGeneration)) {
                cache.riverIndex.build(map, mapGeneration);
            }
            if (shift && cache.drawn.size() == cache.pixels.size()) {
                keep = moveDrawnRaster(cache.pixels, *shift, camera, area.w, area.h, cache.drawn);
                if (keep.left < keep.right) {
                    markSidesOutside(cache.riverIndex, camera, keep, area.w, area.h, area.y);
                }
            } else {
                cache.drawn.assign(cache.pixels.begin(), cache.pixels.end());
            }
            const Point lo = camera.toWorld({0, double(area.y)});
            const Point hi = camera.toWorld({double(area.w), double(area.y + area.h)});
            rasterRivers(map, lo, hi, [this](Point p) { return camera.toScreen(p); }, area, cache.drawn, keep,
                         &cache.riverIndex, keep.left < keep.right);
            upload = cache.drawn.data();
        }
        if (SDL_UpdateTexture(cache.texture.get(), nullptr, upload, area.w * 4) != 0) {
            throwSdlError();
        }
        cache.key = key;
        cache.rivers = includeRivers;
    }
    if (SDL_RenderCopy(renderer, cache.texture.get(), nullptr, &area) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
