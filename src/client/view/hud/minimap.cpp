// The minimap in the sidebar: the world raster built once, the view outline and unit dots per frame.
#include "hud/minimap.hpp"

#include "overview/overview_raster.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"
#include "sdl/draw_pass.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

void Minimap::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const Game& game = frame.game;
    if (!world.map.isWorld()) {
        return;
    }
    const WorldOverview g = view.miniGeometry();
    const SDL_Rect target{static_cast<int>(g.area.x), static_cast<int>(g.area.y), static_cast<int>(g.area.w),
                          static_cast<int>(g.area.h)};
    if (raster_ && generation_ != world.generation) {
        raster_.reset(); // a bridge was built or the maps were read again
    }
    if (!raster_) {
        TextureHandle texture(
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, miniWidth, miniHeight));
        if (!texture) {
            throwSdlError();
        }
        const std::vector<std::uint32_t> pixels = rasterMinimap(world.map, world.gameMap(), g);
        if (SDL_UpdateTexture(texture.get(), nullptr, pixels.data(), miniWidth * 4) != 0) {
            throwSdlError();
        }
        raster_ = std::move(texture);
        generation_ = world.generation;
    }
    SDL_RenderCopy(renderer, raster_.get(), nullptr, &target); // a lost minimap is no reason to stop

    const DrawPass pass(renderer);
    const Point lo = view.camera.toWorld({0, double(topbarHeight)});
    const Point hi = view.camera.toWorld({double(view.width - sidebarWidth), double(view.height - footerHeight)});
    SDL_SetRenderDrawColor(renderer, gold.r, gold.g, gold.b, gold.a);
    for (const MiniRect& r : g.viewport(lo, hi)) {
        // A sliver of a view still shows as a two-pixel frame.
        const SDL_Rect outline{static_cast<int>(r.x), static_cast<int>(r.y),
                               std::max(static_cast<int>(std::ceil(r.w)), 2),
                               std::max(static_cast<int>(std::ceil(r.h)), 2)};
        SDL_RenderDrawRect(renderer, &outline);
    }
    for (const Unit& unit : game.army.units()) {
        const Point p = g.toMini(world.gameWorld(unit.position));
        const SDL_Color colour = game.selectedUnit == unit.id ? gold : sideColor(unit.side);
        rect(renderer, {static_cast<int>(p.x) - 1, static_cast<int>(p.y) - 1, 3, 3}, colour);
    }
}

} // namespace korvan
