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
constexpr SDL_Color symbolColor{232, 236, 210, 255};
constexpr SDL_Color counterColor[2] = {{64, 132, 176, 255}, {171, 76, 62, 255}};

void drawDigits(SDL_Renderer* renderer, int x, int y, int value, SDL_Color color, int scale) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text(renderer, x, y, std::string_view(digits, std::size_t(end - digits)), color, scale);
}

void drawIconPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size) {
    const int left = x - size / 2;
    const int plate = y + unitPlateTop(size);
    const int scale = size >= 40 ? 2 : 1;
    const int square = 2 + 2 * scale;
    drawUnitIcon(renderer, picture.kind, picture.side, x, y, size, picture.selected);
    rect(renderer, {left, plate, size, unitPlateHeight(size)}, plateColor);
    drawDigits(renderer, left + 3, plate + 2, picture.strength, ink, scale);
    const int squareTop = plate + 2 * scale;
    rect(renderer, {left + size - 2 * square - 6, squareTop, square, square},
         picture.moved ? muted : sideColor(picture.side));
    rect(renderer, {left + size - square - 3, squareTop, square, square}, picture.attacked ? muted : gold);
}

// The class as the symbol of a military map inside a frame: an oval for armour, crossed lines for
// infantry, one diagonal for reconnaissance.
void drawClassSymbol(SDL_Renderer* renderer, UnitClass kind, SDL_Rect box) {
    const double l = box.x;
    const double t = box.y;
    const double r = box.x + box.w - 1;
    const double b = box.y + box.h - 1;
    SDL_SetRenderDrawColor(renderer, symbolColor.r, symbolColor.g, symbolColor.b, symbolColor.a);
    SDL_RenderDrawRect(renderer, &box);
    if (kind == UnitClass::Tank) {
        const int inset = std::max(2, box.h / 4);
        if (box.w > 2 * inset + 2 && box.h > 2 * inset) {
            const SDL_Rect track{box.x + inset, box.y + inset, box.w - 2 * inset, box.h - 2 * inset};
            SDL_RenderDrawRect(renderer, &track);
        }
    } else if (kind == UnitClass::Infantry) {
        line(renderer, {l, t}, {r, b}, symbolColor);
        line(renderer, {l, b}, {r, t}, symbolColor);
    } else {
        line(renderer, {l, b}, {r, t}, symbolColor);
    }
}

// Side colour, class symbol, strength and the two state squares in a field too small for the icon.
void drawCounterPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, const UnitFootprint& f) {
    const SDL_Rect box{x - f.width / 2, y - f.top, f.width, f.height};
    const int border = picture.selected && f.width >= 12 ? 2 : 1;
    rect(renderer, box, picture.selected ? gold : plateColor);
    rect(renderer, {box.x + border, box.y + border, box.w - 2 * border, box.h - 2 * border},
         counterColor[picture.side == 0 ? 0 : 1]);
    const bool digits = f.height >= 16 && f.width >= 14;
    const int bottom = box.y + box.h - border - (digits ? 9 : 1);
    const SDL_Rect symbol{box.x + border + 2, box.y + border + 1, box.w - 2 * border - 4, bottom - box.y - border - 1};
    if (symbol.w >= 4 && symbol.h >= 3) {
        drawClassSymbol(renderer, picture.kind, symbol);
    }
    if (digits) {
        const int baseline = box.y + box.h - border - 8;
        drawDigits(renderer, box.x + border + 1, baseline, picture.strength, symbolColor, 1);
        const int right = box.x + box.w - border - 1;
        if (box.w >= 20) {
            rect(renderer, {right - 7, baseline + 3, 3, 3}, picture.moved ? muted : symbolColor);
            rect(renderer, {right - 3, baseline + 3, 3, 3}, picture.attacked ? muted : gold);
        }
    }
}

} // namespace

void drawUnitPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, const UnitFootprint& footprint) {
    if (footprint.icon) {
        drawIconPicture(renderer, picture, x, y, footprint.width);
    } else {
        drawCounterPicture(renderer, picture, x, y, footprint);
    }
}

void drawUnitPicture(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y, int size) {
    drawIconPicture(renderer, picture, x, y, size);
}

bool UnitPictureCache::reset(SDL_Renderer* renderer, const UnitFootprint& footprint) {
    renderer_ = renderer;
    footprint_ = footprint;
    cells_.clear();
    texture_.reset();
    usable_ = false;
    if (!SDL_RenderTargetSupported(renderer)) {
        return false;
    }
    texture_.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                     footprint.width * columns, footprint.height * rows));
    usable_ = texture_ && SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_BLEND) == 0;
    return usable_;
}

std::optional<int> UnitPictureCache::cellOf(SDL_Renderer* renderer, const UnitPicture& picture) {
    if (const auto found = std::find(cells_.begin(), cells_.end(), picture); found != cells_.end()) {
        return static_cast<int>(found - cells_.begin());
    }
    if (cells_.size() == std::size_t(columns * rows) && !reset(renderer, footprint_)) {
        return std::nullopt; // full: start over with the pictures the next frames ask for
    }
    const int cell = static_cast<int>(cells_.size());
    const UnitFootprint& f = footprint_;
    const SDL_Rect area{cell % columns * f.width, cell / columns * f.height, f.width, f.height};
    const DrawPass pass(renderer);
    if (!switchRenderTarget(renderer, texture_.get())) {
        throwSdlError();
    }
    // Cleared to transparent and drawn without blending, so the copy blends exactly as the
    // picture drawn straight onto the map would.
    SDL_RenderSetClipRect(renderer, &area);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    rect(renderer, area, {0, 0, 0, 0});
    drawUnitPicture(renderer, picture, area.x + f.width / 2, area.y + f.top, f);
    cells_.push_back(picture);
    return cell;
}

void UnitPictureCache::draw(SDL_Renderer* renderer, const UnitPicture& picture, int x, int y,
                            const UnitFootprint& footprint) {
    if ((renderer != renderer_ || footprint != footprint_) && !reset(renderer, footprint)) {
        usable_ = false;
    }
    const auto cell = usable_ ? cellOf(renderer, picture) : std::nullopt;
    if (!cell) {
        drawUnitPicture(renderer, picture, x, y, footprint);
        return;
    }
    const UnitFootprint& f = footprint;
    const SDL_Rect source{*cell % columns * f.width, *cell / columns * f.height, f.width, f.height};
    const SDL_Rect target{x - f.width / 2, y - f.top, f.width, f.height};
    if (SDL_RenderCopy(renderer, texture_.get(), &source, &target) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
