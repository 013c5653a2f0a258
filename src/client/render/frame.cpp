// Frame composition: the map area and the panels around it.
#include "client/client.hpp"

namespace korvan {

namespace {

void fill(SDL_Renderer* renderer, SDL_Rect area, SDL_Color color) {
    if (area.w <= 0 || area.h <= 0) {
        return;
    }
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    SDL_RenderFillRect(renderer, &area);
}

} // namespace

void Client::render(SDL_Renderer* renderer) const {
    const int mapWidth = width - sidebar;
    const int mapHeight = height - topbar - footer;
    fill(renderer, {0, topbar, mapWidth, mapHeight}, {19, 31, 34, 255});
    fill(renderer, {0, 0, width, topbar}, {16, 26, 29, 255});
    fill(renderer, {mapWidth, topbar, sidebar, mapHeight}, {25, 39, 42, 255});
    fill(renderer, {0, height - footer, width, footer}, {16, 26, 29, 255});
}

} // namespace korvan
