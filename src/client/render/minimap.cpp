// The minimap in the sidebar: the world raster built once, the view outline and unit dots per frame.
#include "client/client.hpp"
#include "render/overview_raster.hpp"
#include "render/palette.hpp"
#include "render/primitives.hpp"
#include "sdl/draw_pass.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

void Client::renderMini(SDL_Renderer* renderer) const {
    if (!map.isWorld()) {
        return;
    }
    const WorldOverview g = miniGeometry();
    const SDL_Rect target{static_cast<int>(g.area.x), static_cast<int>(g.area.y), static_cast<int>(g.area.w),
                          static_cast<int>(g.area.h)};
    if (!miniTexture) {
        TextureHandle texture(
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, miniWidth, miniHeight));
        if (!texture) {
            throwSdlError();
        }
        const std::vector<std::uint32_t> pixels = rasterMinimap(map, gameMap(), g);
        if (SDL_UpdateTexture(texture.get(), nullptr, pixels.data(), miniWidth * 4) != 0) {
            throwSdlError();
        }
        miniTexture = std::move(texture);
    }
    SDL_RenderCopy(renderer, miniTexture.get(), nullptr, &target); // a lost minimap is no reason to stop

    const DrawPass pass(renderer);
    const Point lo = camera.toWorld({0, double(topbar)});
    const Point hi = camera.toWorld({double(width - sidebar), double(height - footer)});
    SDL_SetRenderDrawColor(renderer, gold.r, gold.g, gold.b, gold.a);
    for (const MiniRect& r : g.viewport(lo, hi)) {
        // A sliver of a view still shows as a two-pixel frame.
        const SDL_Rect outline{static_cast<int>(r.x), static_cast<int>(r.y), std::max(static_cast<int>(std::ceil(r.w)), 2),
                               std::max(static_cast<int>(std::ceil(r.h)), 2)};
        SDL_RenderDrawRect(renderer, &outline);
    }
    for (const Unit& unit : army.units()) {
        const Point p = g.toMini(gameWorld(unit.position));
        const SDL_Color colour = selectedUnit == unit.id ? gold : sideColor(unit.side);
        rect(renderer, {static_cast<int>(p.x) - 1, static_cast<int>(p.y) - 1, 3, 3}, colour);
    }
}

} // namespace korvan
