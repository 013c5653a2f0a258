// Frame composition: the map layers in their order under the map clip, then the panels.
#include "client/client.hpp"
#include "render/palette.hpp"

namespace korvan {

void Client::render(SDL_Renderer* renderer) const {
    SDL_SetRenderDrawColor(renderer, mapBackground.r, mapBackground.g, mapBackground.b, mapBackground.a);
    SDL_RenderClear(renderer);
    const SDL_Rect clip = mapClip();
    SDL_RenderSetClipRect(renderer, &clip);

    renderTerrain(renderer);
    renderLakeDetails(renderer);
    if (map.hasRoads()) {
        renderRoads(renderer);
    }
    if (benchmarkTimings) {
        const Uint64 before = SDL_GetPerformanceCounter();
        renderCountry(renderer);
        borderMilliseconds =
            double(SDL_GetPerformanceCounter() - before) / double(SDL_GetPerformanceFrequency()) * 1000;
    } else {
        renderCountry(renderer);
    }
    renderRivers(renderer);
    const bool preview = movementPreviewVisible();
    if (preview) {
        fillReachable(renderer);
    }
    renderTileCursor(renderer);
    renderOperationCities(renderer);
    renderCities(renderer);
    if (battle) {
        renderObjectives(renderer);
    }
    renderUnits(renderer);
    renderBridgePreview(renderer);
    if (preview) {
        renderMovementPath(renderer);
    }

    SDL_RenderSetClipRect(renderer, nullptr);
    renderHud(renderer);
}

} // namespace korvan
