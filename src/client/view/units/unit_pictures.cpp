#include "units/unit_pictures.hpp"

#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "units/unit_icons.hpp"
#include "sdl/draw_pass.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace korvan {

namespace {

constexpr SDL_Color plateColor{13, 23, 26, 255};
constexpr int plateHeight = 18;
constexpr int square = 6;

int plateTop(int size) { return size * 7 / 16; }

} // namespace

UnitPictureExtent unitPictureExtent(int size) {
    return {-size / 2, -size / 2, size, size / 2 + plateTop(size) + plateHeight};
}

void drawUnitPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size) {
    const int left = x - size / 2;
    const int plate = y + plateTop(size);
    drawUnitIcon(renderer, picture.kind, picture.side, x, y, size, picture.selected);
    rect(renderer, {left, plate, size, plateHeight}, plateColor);
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, picture.strength).ptr;
    text(renderer, left + 3, plate + 2, std::string_view(digits, std::size_t(end - digits)), ink, 2);
    rect(renderer, {left + size - 2 * square - 6, plate + 4, square, square},
         picture.moved ? muted : sideColor(picture.side));
    rect(renderer, {left + size - square - 3, plate + 4, square, square}, picture.attacked ? muted : gold);
}

bool UnitPictureCache::reset(SDL_Renderer* renderer, int size) {
    renderer_ = renderer;
    size_ = size;
    cells_.clear();
    texture_.reset();
    usable_ = false;
    if (!SDL_RenderTargetSupported(renderer)) {
        return false;
    }
    const UnitPictureExtent extent = unitPictureExtent(size);
    texture_.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                     extent.width * columns, extent.height * rows));
    usable_ = texture_ && SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_BLEND) == 0;
    return usable_;
}

std::optional<int> UnitPictureCache::cellOf(SDL_Renderer* renderer, const UnitPicture& picture) {
    if (const auto found = std::find(cells_.begin(), cells_.end(), picture); found != cells_.end()) {
        return static_cast<int>(found - cells_.begin());
    }
    if (cells_.size() == std::size_t(columns * rows) && !reset(renderer, size_)) {
        return std::nullopt; // full: start over with the pictures the next frames ask for
    }
    const int cell = static_cast<int>(cells_.size());
    const UnitPictureExtent extent = unitPictureExtent(size_);
    const SDL_Rect area{cell % columns * extent.width, cell / columns * extent.height, extent.width, extent.height};
    const DrawPass pass(renderer);
    if (!switchRenderTarget(renderer, texture_.get())) {
        throwSdlError();
    }
    // Cleared to transparent and drawn without blending, so the copy blends exactly as the
    // picture drawn straight onto the map would.
    SDL_RenderSetClipRect(renderer, &area);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    rect(renderer, area, {0, 0, 0, 0});
    drawUnitPicture(renderer, picture, area.x - extent.left, area.y - extent.top, size_);
    cells_.push_back(picture);
    return cell;
}

void UnitPictureCache::draw(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size) {
    if ((renderer != renderer_ || size != size_) && !reset(renderer, size)) {
        usable_ = false;
    }
    const auto cell = usable_ ? cellOf(renderer, picture) : std::nullopt;
    if (!cell) {
        drawUnitPicture(renderer, picture, x, y, size);
        return;
    }
    const UnitPictureExtent extent = unitPictureExtent(size);
    const SDL_Rect source{*cell % columns * extent.width, *cell / columns * extent.height, extent.width, extent.height};
    const SDL_Rect target{x + extent.left, y + extent.top, extent.width, extent.height};
    if (SDL_RenderCopy(renderer, texture_.get(), &source, &target) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
