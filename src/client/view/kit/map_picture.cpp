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

std::array<SDL_Rect, 2> MapPicture::scroll(PixelPan pan) {
    const int w = area.w;
    const int h = area.h;
    const int columns = w - std::abs(pan.dx);
    const int from = std::max(-pan.dx, 0);
    const int to = std::max(pan.dx, 0);
    const auto move = [&](int y) {
        std::memmove(&pixels[std::size_t(y) * std::size_t(w) + std::size_t(to)],
                     &pixels[std::size_t(y - pan.dy) * std::size_t(w) + std::size_t(from)],
                     std::size_t(columns) * sizeof(std::uint32_t));
    };
    // Rows move towards their destination side first, so none is overwritten before it is read.
    if (pan.dy > 0) {
        for (int y = h - 1; y >= pan.dy; --y) {
            move(y);
        }
    } else {
        for (int y = 0; y < h + pan.dy; ++y) {
            move(y);
        }
    }
    const SDL_Rect columnsIn{pan.dx > 0 ? area.x : area.x + w + pan.dx, area.y, std::abs(pan.dx), h};
    const SDL_Rect rowsIn{area.x, pan.dy > 0 ? area.y : area.y + h + pan.dy, w, std::abs(pan.dy)};
    return {columnsIn, rowsIn};
}

} // namespace korvan
