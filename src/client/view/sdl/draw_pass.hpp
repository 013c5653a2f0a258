// Saves the renderer state a layer may change (target, clip, blend mode, draw colour) and puts it
// back when the layer is done, so no layer leaks its settings into the next one.
#pragma once

#include <SDL.h>

namespace korvan {

// Sets the render target with no clip rectangle in force: SDL 2.26's OpenGL renderer flips the
// clip rectangles set after a switch that happened while a clip was set. False on failure.
inline bool switchRenderTarget(SDL_Renderer* renderer, SDL_Texture* target) {
    SDL_RenderSetClipRect(renderer, nullptr);
    return SDL_SetRenderTarget(renderer, target) == 0;
}

class DrawPass {
public:
    explicit DrawPass(SDL_Renderer* renderer)
        : renderer_(renderer), target_(SDL_GetRenderTarget(renderer)), clipped_(SDL_RenderIsClipEnabled(renderer)) {
        SDL_RenderGetClipRect(renderer, &clip_);
        SDL_GetRenderDrawBlendMode(renderer, &blend_);
        SDL_GetRenderDrawColor(renderer, &color_.r, &color_.g, &color_.b, &color_.a);
    }
    DrawPass(const DrawPass&) = delete;
    DrawPass& operator=(const DrawPass&) = delete;
    ~DrawPass() {
        // Switching the target resets the clip, so the target goes back first.
        switchRenderTarget(renderer_, target_);
        SDL_RenderSetClipRect(renderer_, clipped_ ? &clip_ : nullptr);
        SDL_SetRenderDrawBlendMode(renderer_, blend_);
        SDL_SetRenderDrawColor(renderer_, color_.r, color_.g, color_.b, color_.a);
    }

private:
    SDL_Renderer* renderer_;
    SDL_Texture* target_;
    bool clipped_;
    SDL_Rect clip_{};
    SDL_BlendMode blend_ = SDL_BLENDMODE_NONE;
    SDL_Color color_{};
};

} // namespace korvan
