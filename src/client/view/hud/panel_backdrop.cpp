// Panel backgrounds copied from kept textures.
#include "hud/panel_backdrop.hpp"

#include "kit/primitives.hpp"
#include "sdl/output_format.hpp"

#include <algorithm>

namespace korvan {

namespace {

constexpr std::size_t keptLimit = 6; // the bars and the sidebar, with room for a window resize

bool sameColor(SDL_Color a, SDL_Color b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

// A texture of width x height in the output's format, every pixel the value a fill would write.
TextureHandle solidTexture(SDL_Renderer* renderer, int width, int height, SDL_Color color) {
    const Uint32 format = softwareOutputFormat(renderer);
    TextureHandle texture(SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STATIC, width, height));
    SDL_PixelFormat* layout = SDL_AllocFormat(format);
    if (!texture || !layout) {
        SDL_FreeFormat(layout);
        return TextureHandle{};
    }
    const std::vector<Uint32> pixels(std::size_t(width) * std::size_t(height),
                                     SDL_MapRGBA(layout, color.r, color.g, color.b, color.a));
    SDL_FreeFormat(layout);
    if (SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE) != 0 ||
        SDL_UpdateTexture(texture.get(), nullptr, pixels.data(), width * 4) != 0) {
        return TextureHandle{};
    }
    return texture;
}

} // namespace

void PanelBackdrop::fill(SDL_Renderer* renderer, bool software, SDL_Rect area, SDL_Color color) {
    // Opaque colours only: a blended fill would mix with what lies below.
    if (!software || color.a != 255 || area.w <= 0 || area.h <= 0) {
        rect(renderer, area, color);
        return;
    }
    auto found = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
        return k.width == area.w && k.height == area.h && sameColor(k.color, color);
    });
    if (found == kept_.end()) {
        if (kept_.size() == keptLimit) {
            kept_.erase(kept_.begin());
        }
        kept_.push_back({area.w, area.h, color, solidTexture(renderer, area.w, area.h, color)});
        found = kept_.end() - 1;
    }
    if (!found->texture || SDL_RenderCopy(renderer, found->texture.get(), nullptr, &area) != 0) {
        rect(renderer, area, color);
    }
}

} // namespace korvan
