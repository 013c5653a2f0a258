// The panels around the map: top bar, sidebar with the minimap, status line.
#include "client/client.hpp"
#include "render/font.hpp"
#include "render/palette.hpp"
#include "render/primitives.hpp"

namespace korvan {

void Client::renderHud(SDL_Renderer* renderer) const {
    const int sx = width - 248;
    rect(renderer, {0, 0, width, topbar}, barBackground);
    text(renderer, 26, 17, "BRANNOK: VARNHOLT", ink, 3);
    if (bridgeMode) {
        text(renderer, 27, 53, "BRUECKENBAU  /  B ODER ESC: BEENDEN", muted, 2);
    } else if (battle) {
        text(renderer, 27, 53, battle->status() + "  ENTER: ZUG BEENDEN", muted, 2);
    } else {
        text(renderer, 27, 53, "KARTENBETRACHTER", muted, 2);
    }
    if (map.isWorld()) {
        rect(renderer, {width - 238, 22, 220, 40}, {44, 64, 65, 255});
        text(renderer, width - 224, 36, "TAB: OPERATION", gold, 2);
    }
    rect(renderer, {width - sidebar, topbar, sidebar, height - topbar - footer}, sidebarBackground);
    text(renderer, sx, 103, "WELTUEBERSICHT", gold, 2);
    renderMini(renderer);
    text(renderer, sx, 251, "MINIMAP: KLICK  H: LOG  B: BAU", muted, 1);
    rect(renderer, {0, height - footer, width, footer}, barBackground);
    if (!movementMessage.empty()) {
        text(renderer, 18, height - 22, movementMessage, ink, 1);
    }
}

} // namespace korvan
