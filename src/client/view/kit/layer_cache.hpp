// A map layer kept as a window-sized texture and redrawn only when what it shows has changed.
#pragma once

#include "view_state/view_key.hpp"
#include "sdl/draw_pass.hpp"
#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cmath>
#include <optional>

namespace korvan {

struct LayerCache {
    TextureHandle texture;
    std::optional<ViewKey> key; // what the texture shows; empty until first drawn
    int textureWidth = 0;
    int textureHeight = 0;
};

// How a cached layer is stored: the terrain is opaque, rivers and lakes are blended over it.
struct LayerStyle {
    Uint32 format;
    SDL_Color clear;
    bool blend;
};

// Rivers and lakes: transparent where nothing lies. ARGB8888 is the terrain atlas's format and the
// software renderer's first, so its copies and texel writes need no per-pixel conversion.
inline constexpr LayerStyle overlayStyle{SDL_PIXELFORMAT_ARGB8888, {0, 0, 0, 0}, true};

// A texture for a picture of width x height painted on the CPU and brought in whole or in parts by
// SDL_UpdateTexture. Never locked, so static: a streaming texture would cost the GL renderer a
// second copy of its pixels in memory. It has one spare column, never shown, so copies name their
// source rectangle: the software renderer copies rows whose gaps are whole multiples of 8 bytes
// eight bytes at a time, and others with the C library's memcpy, which is faster; an odd gap on the
// texture's side takes the faster way into a window whose rows are a multiple of 8 bytes longer.
inline SDL_Texture* cpuPictureTexture(SDL_Renderer* renderer, Uint32 format, int width, int height) {
    return SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STATIC, width + 1, height);
}

// Gives the cache an ARGB texture of width x height for a picture painted on the CPU, blended over
// the layers below. A new texture holds nothing yet, so the cache forgets its key. False when none
// can be made.
inline bool blendedPictureTexture(SDL_Renderer* renderer, LayerCache& cache, int width, int height) {
    if (cache.texture && cache.textureWidth == width && cache.textureHeight == height) {
        return true;
    }
    cache.texture.reset(cpuPictureTexture(renderer, SDL_PIXELFORMAT_ARGB8888, width, height));
    cache.key.reset();
    if (!cache.texture) {
        return false;
    }
    cache.textureWidth = width;
    cache.textureHeight = height;
    if (SDL_SetTextureBlendMode(cache.texture.get(), SDL_BLENDMODE_BLEND) != 0) {
        throwSdlError();
    }
    return true;
}

// Redraws the layer into its texture when the key changed, then copies it under the map clip.
// Without render targets, or when the texture cannot be made, draws straight to the screen
// (the next frame tries again). draw() paints in window coordinates with the map clip set.
template <typename Draw>
void renderCachedLayer(SDL_Renderer* renderer, LayerCache& cache, const ViewKey& key, SDL_Rect mapClip,
                       LayerStyle style, Draw&& draw) {
    if (!SDL_RenderTargetSupported(renderer)) {
        draw();
        return;
    }
    if (!cache.texture || cache.textureWidth != key.width || cache.textureHeight != key.height) {
        cache.texture.reset(SDL_CreateTexture(renderer, style.format, SDL_TEXTUREACCESS_TARGET, key.width, key.height));
        cache.key.reset();
        if (!cache.texture) {
            draw();
            return;
        }
        cache.textureWidth = key.width;
        cache.textureHeight = key.height;
        if (SDL_SetTextureBlendMode(cache.texture.get(), style.blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE) != 0) {
            throwSdlError();
        }
    }
    if (cache.key != key) {
        const DrawPass pass(renderer);
        if (!switchRenderTarget(renderer, cache.texture.get())) {
            throwSdlError();
        }
        SDL_SetRenderDrawColor(renderer, style.clear.r, style.clear.g, style.clear.b, style.clear.a);
        SDL_RenderClear(renderer);
        SDL_RenderSetClipRect(renderer, &mapClip);
        // Layers paint opaque shapes; blending them would make the software renderer build a
        // temporary surface for every triangle.
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
        draw();
        if (!switchRenderTarget(renderer, nullptr)) {
            throwSdlError();
        }
        cache.key = key;
    }
    SDL_RenderSetClipRect(renderer, &mapClip);
    if (SDL_RenderCopy(renderer, cache.texture.get(), nullptr, nullptr) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
