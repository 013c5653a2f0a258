// The pixel format the software renderer draws in, for textures it copies without converting.
#pragma once

#include <SDL.h>

namespace korvan {

inline bool softwareRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

// xRGB on the usual window, ARGB on a memory surface and everywhere else: a texture in this format
// is copied to the output as plain rows. Asks the window surface, so only for the software renderer.
inline Uint32 softwareOutputFormat(SDL_Renderer* renderer) {
    SDL_Window* window = SDL_RenderGetWindow(renderer);
    const SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    return surface && surface->format->format == SDL_PIXELFORMAT_RGB888 ? SDL_PIXELFORMAT_RGB888
                                                                         : SDL_PIXELFORMAT_ARGB8888;
}

// The format for a texture of opaque ARGB pixels that is copied without blending: the output's own
// on the software renderer, where ARGB would be converted pixel by pixel on every copy.
inline Uint32 opaqueTextureFormat(SDL_Renderer* renderer) {
    return softwareRenderer(renderer) ? softwareOutputFormat(renderer) : Uint32{SDL_PIXELFORMAT_ARGB8888};
}

} // namespace korvan
