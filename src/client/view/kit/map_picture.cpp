// Scrolling a layer's kept pixels.
#include "kit/map_picture.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korvan {

void MapPicture::resize(SDL_Rect to) {
    area = to;
    pixels.resize(std::size_t(std::max(to.w, 0)) * std::size_t(std::max(to.h, 0)));
}

std::array<SDL_Rect, 2> uncoveredByPan(SDL_Rect area, PixelPan pan) {
    const SDL_Rect columnsIn{pan.dx > 0 ? area.x : area.x + area.w + pan.dx, area.y, std::abs(pan.dx), area.h};
    const SDL_Rect rowsIn{area.x, pan.dy > 0 ? area.y : area.y + area.h + pan.dy, area.w, std::abs(pan.dy)};
    return {columnsIn, rowsIn};
}

void MapPicture::moveInto(SDL_Rect to, PixelPan pan) {
    if (to.w <= 0 || to.h <= 0) {
        return;
    }
    const auto move = [&](int y) {
        std::memmove(at({to.x, y, to.w, 1}), at({to.x - pan.dx, y - pan.dy, to.w, 1}),
                     std::size_t(to.w) * sizeof(std::uint32_t));
    };
    // Rows move towards their destination side first, so none is overwritten before it is read.
    if (pan.dy > 0) {
        for (int y = to.y + to.h - 1; y >= to.y; --y) {
            move(y);
        }
    } else {
        for (int y = to.y; y < to.y + to.h; ++y) {
            move(y);
        }
    }
}

std::array<SDL_Rect, 2> MapPicture::scroll(PixelPan pan) {
    moveInto({area.x + std::max(pan.dx, 0), area.y + std::max(pan.dy, 0), area.w - std::abs(pan.dx),
              area.h - std::abs(pan.dy)},
             pan);
    return uncoveredByPan(area, pan);
}

std::array<SDL_Rect, 2> MapPicture::scrollPainted(PixelPan pan, SDL_Rect& painted) {
    const SDL_Rect before = painted;
    const SDL_Rect moved{before.x + pan.dx, before.y + pan.dy, before.w, before.h};
    if (!SDL_IntersectRect(&moved, &area, &painted)) {
        painted = {};
    }
    const SDL_Rect to = painted;
    moveInto(to, pan);
    // What the moved part left is cleared; outside the painted part everything was clear already.
    const auto clear = [&](int y, int from, int end) {
        if (from < end) {
            std::fill_n(at({from, y, end - from, 1}), end - from, 0u);
        }
    };
    for (int y = before.y; y < before.y + before.h; ++y) {
        if (y < to.y || y >= to.y + to.h) {
            clear(y, before.x, before.x + before.w);
        } else {
            clear(y, before.x, std::min(to.x, before.x + before.w));
            clear(y, std::max(to.x + to.w, before.x), before.x + before.w);
        }
    }
    return uncoveredByPan(area, pan);
}

} // namespace korvan
