// The unit icon pictures, box by box.
#include "units/unit_icons.hpp"

#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "sdl/draw_pass.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvan {

namespace {

// Colours of a box: fixed ones, and the three shades of the unit's side.
enum class Paint { Black, Grey, Pale, White, Shadow, Ground, Skin, SkinShade, Stock, Glass, Main, Dark, Light, Border };

struct DesignBox {
    int x;
    int y;
    int w;
    int h;
    Paint paint;
};

constexpr std::array<DesignBox, 4> frame{{
    {1, 4, 30, 27, Paint::Shadow},
    {0, 1, 32, 28, Paint::Border},
    {1, 2, 30, 26, Paint::Ground},
    {2, 3, 28, 2, Paint::Main},
}};

constexpr std::array<DesignBox, 28> tank{{
    {5, 10, 6, 16, Paint::Black},  {21, 10, 6, 16, Paint::Black}, {6, 11, 4, 14, Paint::Grey},
    {22, 11, 4, 14, Paint::Grey},
    // Ten track links, left then right at each height.
    {6, 12, 4, 1, Paint::Pale},    {22, 12, 4, 1, Paint::Pale},   {6, 15, 4, 1, Paint::Pale},
    {22, 15, 4, 1, Paint::Pale},   {6, 18, 4, 1, Paint::Pale},    {22, 18, 4, 1, Paint::Pale},
    {6, 21, 4, 1, Paint::Pale},    {22, 21, 4, 1, Paint::Pale},   {6, 24, 4, 1, Paint::Pale},
    {22, 24, 4, 1, Paint::Pale},
    {10, 9, 12, 17, Paint::Dark},  {11, 9, 10, 15, Paint::Main},  {11, 9, 10, 2, Paint::Light},
    {12, 23, 8, 2, Paint::Black},  {12, 12, 9, 9, Paint::Black},  {12, 12, 8, 8, Paint::Dark},
    {12, 12, 7, 6, Paint::Main},   {12, 12, 7, 1, Paint::Light},  {14, 14, 3, 3, Paint::Pale},
    {16, 5, 3, 10, Paint::Black},  {16, 5, 2, 9, Paint::Pale},    {16, 5, 1, 8, Paint::White},
    {12, 21, 3, 1, Paint::Light},  {18, 21, 2, 1, Paint::Light},
}};

constexpr std::array<DesignBox, 17> infantry{{
    {9, 20, 14, 7, Paint::Black},  {9, 19, 13, 6, Paint::Dark},   {11, 18, 9, 7, Paint::Main},
    {12, 18, 2, 6, Paint::Light},  {17, 18, 2, 6, Paint::Light},  {12, 10, 9, 9, Paint::Black},
    {13, 12, 7, 6, Paint::Skin},   {13, 15, 2, 3, Paint::SkinShade}, {12, 8, 8, 3, Paint::Main},
    {10, 10, 12, 4, Paint::Main},  {11, 9, 8, 2, Paint::Light},   {10, 13, 12, 1, Paint::Black},
    {17, 15, 2, 1, Paint::Black},  {22, 8, 2, 18, Paint::Black},  {22, 8, 1, 12, Paint::Pale},
    {21, 19, 3, 6, Paint::Stock},  {19, 20, 4, 2, Paint::Skin},
}};

constexpr std::array<DesignBox, 22> recon{{
    {5, 10, 5, 6, Paint::Black},   {22, 10, 5, 6, Paint::Black},  {5, 10, 1, 5, Paint::Pale},
    {26, 10, 1, 5, Paint::Grey},   {5, 20, 5, 6, Paint::Black},   {22, 20, 5, 6, Paint::Black},
    {5, 20, 1, 5, Paint::Pale},    {26, 20, 1, 5, Paint::Grey},   {9, 8, 14, 19, Paint::Black},
    {10, 8, 12, 18, Paint::Dark},  {11, 8, 10, 16, Paint::Main},  {11, 8, 10, 2, Paint::Light},
    {11, 12, 10, 6, Paint::Black}, {12, 12, 8, 4, Paint::Glass},  {12, 12, 8, 1, Paint::White},
    {15, 12, 1, 4, Paint::Black},  {12, 20, 8, 4, Paint::Dark},   {12, 23, 8, 1, Paint::Light},
    {10, 9, 2, 2, Paint::White},   {20, 9, 2, 2, Paint::White},   {19, 5, 1, 7, Paint::Pale},
    {19, 5, 4, 2, Paint::Light},
}};

SDL_Color colorOf(Paint paint, int side, bool selected) {
    const bool blue = side == 0;
    switch (paint) {
    case Paint::Black: return {13, 23, 26, 255};
    case Paint::Grey: return {77, 94, 91, 255};
    case Paint::Pale: return {172, 189, 177, 255};
    case Paint::White: return {232, 236, 210, 255};
    case Paint::Shadow: return {9, 17, 20, 255};
    case Paint::Ground: return {24, 38, 41, 255};
    case Paint::Skin: return {197, 167, 125, 255};
    case Paint::SkinShade: return {145, 115, 85, 255};
    case Paint::Stock: return {151, 116, 74, 255};
    case Paint::Glass: return {101, 148, 155, 255};
    case Paint::Main: return blue ? SDL_Color{64, 132, 176, 255} : SDL_Color{171, 76, 62, 255};
    case Paint::Dark: return blue ? SDL_Color{35, 76, 102, 255} : SDL_Color{100, 46, 39, 255};
    case Paint::Light: return blue ? SDL_Color{130, 197, 225, 255} : SDL_Color{235, 154, 121, 255};
    case Paint::Border: return selected ? gold : SDL_Color{77, 94, 91, 255};
    }
    return ink;
}

// Box edges are rounded from the design grid separately, so neighbouring boxes meet exactly.
template <std::size_t N, typename Visit>
void forBoxes(const std::array<DesignBox, N>& design, int side, int cx, int cy, int size, bool selected,
              Visit&& visit) {
    const double k = size / 32.0;
    const auto at = [k](int v) { return static_cast<int>(std::lround((v - 16) * k)); };
    for (const DesignBox& b : design) {
        const int left = cx + at(b.x);
        const int top = cy + at(b.y);
        const int width = std::max(1, cx + at(b.x + b.w) - left);
        const int height = std::max(1, cy + at(b.y + b.h) - top);
        visit(IconBox{{left, top, width, height}, colorOf(b.paint, side, selected)});
    }
}

// The frame, then the picture of the class (anything unknown shows as reconnaissance).
template <typename Visit>
void forIconBoxes(UnitClass kind, int side, int x, int y, int size, bool selected, Visit&& visit) {
    forBoxes(frame, side, x, y, size, selected, visit);
    if (kind == UnitClass::Tank) {
        forBoxes(tank, side, x, y, size, selected, visit);
    } else if (kind == UnitClass::Infantry) {
        forBoxes(infantry, side, x, y, size, selected, visit);
    } else {
        forBoxes(recon, side, x, y, size, selected, visit);
    }
}

} // namespace

void unitIconBoxes(UnitClass kind, int side, int x, int y, int size, bool selected, std::vector<IconBox>& boxes) {
    boxes.clear();
    forIconBoxes(kind, side, x, y, size, selected, [&](const IconBox& box) { boxes.push_back(box); });
}

void drawUnitIcon(SDL_Renderer* renderer, UnitClass kind, int side, int x, int y, int size, bool selected) {
    forIconBoxes(kind, side, x, y, size, selected, [&](const IconBox& box) { rect(renderer, box.rect, box.color); });
}

namespace {

constexpr int atlasClasses = 3;

// Column of an icon in the atlas: class, then side, then the selected border.
int atlasColumn(UnitClass kind, int side, bool selected) {
    const int k = kind == UnitClass::Tank ? 0 : kind == UnitClass::Infantry ? 1 : 2;
    return (k * 2 + (side == 0 ? 0 : 1)) * 2 + (selected ? 1 : 0);
}

} // namespace

bool UnitIconAtlas::build(SDL_Renderer* renderer, int size) {
    renderer_ = renderer;
    size_ = size;
    texture_.reset();
    if (!SDL_RenderTargetSupported(renderer)) {
        return false;
    }
    TextureHandle atlas(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                          size * atlasClasses * 4, size));
    if (!atlas || SDL_SetTextureBlendMode(atlas.get(), SDL_BLENDMODE_BLEND) != 0) {
        return false;
    }
    const DrawPass pass(renderer);
    if (!switchRenderTarget(renderer, atlas.get())) {
        throwSdlError();
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0);
    SDL_RenderClear(renderer);
    for (const UnitClass kind : {UnitClass::Tank, UnitClass::Infantry, UnitClass::Recon}) {
        for (const int side : {0, 1}) {
            for (const bool selected : {false, true}) {
                const int column = atlasColumn(kind, side, selected);
                drawUnitIcon(renderer, kind, side, column * size + size / 2, size / 2, size, selected);
            }
        }
    }
    texture_ = std::move(atlas);
    return true;
}

void UnitIconAtlas::draw(SDL_Renderer* renderer, UnitClass kind, int side, int x, int y, int size, bool selected) {
    if ((renderer != renderer_ || size != size_) && !build(renderer, size)) {
        renderer_ = nullptr;
    }
    if (!texture_) {
        drawUnitIcon(renderer, kind, side, x, y, size, selected);
        return;
    }
    const SDL_Rect source{atlasColumn(kind, side, selected) * size, 0, size, size};
    const SDL_Rect target{x - size / 2, y - size / 2, size, size};
    if (SDL_RenderCopy(renderer, texture_.get(), &source, &target) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
