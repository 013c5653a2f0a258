#include "kit/label_pictures.hpp"

#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "sdl/draw_pass.hpp"
#include "sdl/output_format.hpp"

#include <algorithm>

namespace korvan {

namespace {

std::uint32_t argb(SDL_Color c) { return (packArgb(c.r, c.g, c.b) & 0x00FFFFFFu) | std::uint32_t(c.a) << 24; }

void drawDirectly(SDL_Renderer* renderer, SDL_Rect label, std::string_view s, SDL_Color color, SDL_Color plate,
                  int scale) {
    rect(renderer, {label.x - 2, label.y - 2, label.w + 4, label.h + 4}, plate);
    text(renderer, label.x, label.y, s, color, scale);
}

} // namespace

bool LabelPictures::reset(SDL_Renderer* renderer, int side) {
    renderer_ = renderer;
    side_ = side;
    copiesFound_ = 0;
    cells_.clear();
    shelfTop_ = shelfHeight_ = shelfX_ = 0;
    texture_.reset();
    usable_ = false;
    if (!SDL_RenderTargetSupported(renderer)) {
        return false;
    }
    // Plates are opaque, so the copies need no blending.
    texture_.reset(SDL_CreateTexture(renderer, opaqueTextureFormat(renderer), SDL_TEXTUREACCESS_TARGET, side_, side_));
    usable_ = texture_ && SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_NONE) == 0;
    return usable_;
}

bool LabelPictures::allocate(int w, int h, SDL_Rect& cell) {
    if (w > side_ || h > side_) {
        return false;
    }
    if (shelfX_ + w > side_) {
        shelfTop_ += shelfHeight_;
        shelfX_ = 0;
        shelfHeight_ = 0;
    }
    if (shelfTop_ + h > side_) {
        return false;
    }
    cell = {shelfX_, shelfTop_, w, h};
    shelfX_ += w;
    shelfHeight_ = std::max(shelfHeight_, h);
    return true;
}

void LabelPictures::draw(SDL_Renderer* renderer, SDL_Rect label, std::string_view s, SDL_Color color, SDL_Color plate,
                         int scale) {
    if (renderer != renderer_) {
        reset(renderer);
    }
    const int w = label.w + 4;
    const int h = label.h + 4;
    if (!usable_ || plate.a != 255 || w > largeAtlas || h > largeAtlas) {
        drawDirectly(renderer, label, s, color, plate, scale);
        return;
    }
    const KeyView key{s, argb(color), argb(plate), scale, label.w, label.h};
    auto found = cells_.find(key);
    if (found == cells_.end()) {
        SDL_Rect cell;
        if (!allocate(w, h, cell)) {
            // Full: start over with the labels of the coming frames, in the larger atlas when this
            // one filled up before serving its pictures again or the picture is too large for it.
            const bool grow = copiesFound_ < cells_.size() || w > side_ || h > side_;
            reset(renderer, grow ? largeAtlas : side_);
            if (!usable_ || !allocate(w, h, cell)) {
                drawDirectly(renderer, label, s, color, plate, scale);
                return;
            }
        }
        {
            const DrawPass pass(renderer);
            if (!switchRenderTarget(renderer, texture_.get())) {
                throwSdlError();
            }
            SDL_RenderSetClipRect(renderer, &cell);
            SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
            drawDirectly(renderer, {cell.x + 2, cell.y + 2, label.w, label.h}, s, color, plate, scale);
        }
        found = cells_.emplace(Key{std::string(s), key.color, key.plate, scale, label.w, label.h}, cell).first;
    } else {
        ++copiesFound_;
    }
    const SDL_Rect target{label.x - 2, label.y - 2, w, h};
    if (SDL_RenderCopy(renderer, texture_.get(), &found->second, &target) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
