// The river layer: the visible river sides of the game map as ribbons, cached as a texture.
#include "client/client.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvan {

namespace {

// Ribbon width per world unit of physical scale, by width class 1 to 3.
constexpr std::array<double, 4> widthFactor{0.1, 0.1, 0.16, 0.28};
// Below this a river would vanish between pixels.
constexpr double minimumRiverWidth = 1.2;
// Sides just outside the map area still shape the smoothed lines that enter it.
constexpr double viewMargin = 6;

} // namespace

double Client::physicalScale() const { return camera.scale * std::sqrt(camera.verticalScale * camera.horizontalScale); }

std::size_t Client::riverSourceOf(std::size_t gridEdge) const {
    if (!regularMap) {
        return gridEdge;
    }
    const auto& sources = regularMap->riverSources(gridEdge);
    const auto& rivers = map.rivers();
    const auto bridged = std::find_if(sources.begin(), sources.end(),
                                      [&](std::size_t s) { return s < rivers.size() && rivers[s].bridge; });
    if (bridged != sources.end()) {
        return *bridged;
    }
    return sources.empty() ? 0 : sources.front();
}

namespace {

// Puts into out the river sides that can shape what is drawn between the screen points lo and hi,
// with their sources deferred.
void collectSides(RiverGraphics& out, RiverRows& rows, const Map& game, unsigned generation, const Camera& view,
                  double scale, Point lo, Point hi) {
    out.clear();
    const Point worldLo = view.toWorld(lo) - Point{viewMargin, viewMargin};
    const Point worldHi = view.toWorld(hi) + Point{viewMargin, viewMargin};
    rows.forSegments(game, generation, worldLo, worldHi, [&](Point a, Point b, const RiverEdge& edge, std::size_t index) {
        const double w = std::max(scale * widthFactor[std::clamp<int>(edge.widthClass, 1, 3)], minimumRiverWidth);
        out.add(a, b, view.toScreen(a), view.toScreen(b), w, edge.bridge, index, index);
    });
    out.deferSources();
}

} // namespace

const RiverGraphics& Client::riverGraphics() const {
    const ViewKey key = viewKey();
    if (riverGeometryKey != key) {
        collectSides(visibleRivers, riverRows, gameMap(), mapGeneration, gameCamera(), physicalScale(),
                     {0, double(topbar)}, {double(width - sidebar), double(height - footer)});
        riverGeometryKey = key;
    }
    visibleRivers.resolveSources([this](std::size_t index) { return riverSourceOf(index); });
    return visibleRivers;
}

void Client::drawRiverBands(SDL_Renderer* renderer) const { riverGraphics().draw(renderer, physicalScale()); }

void Client::renderRivers(SDL_Renderer* renderer) const {
    // Far out on the world the sides are shorter than a pixel; the overview carries the rivers there.
    if (map.isWorld() && camera.scale < 2) {
        return;
    }
    const SDL_Rect clip = mapClip();
    if (clip.w <= 0 || clip.h <= 0) {
        return;
    }
    // The ribbons are painted straight into a streaming texture: the software renderer's cost per
    // triangle would make a zoomed-out view of thousands of sides take several frames' budget.
    LayerCache& cache = riverCache;
    if (!streamingLayerTexture(renderer, cache, width, height)) {
        const DrawPass pass(renderer);
        SDL_RenderSetClipRect(renderer, &clip);
        drawRiverBands(renderer);
        return;
    }
    const ViewKey key = viewKey();
    if (cache.key != key) {
        MapPicture& picture = riverPicture;
        const auto pan = cache.key && SDL_RectEquals(&picture.area, &clip)
                             ? wholePixelPan(*cache.key, key, clip.w, clip.h)
                             : std::nullopt;
        if (pan) {
            // Only the sides near the strips that came into view are gathered; the view's full
            // geometry waits until a hit test or a full redraw asks for it.
            for (const SDL_Rect strip : picture.scroll(*pan)) {
                if (strip.w <= 0 || strip.h <= 0) {
                    continue;
                }
                collectSides(visibleRivers, riverRows, gameMap(), mapGeneration, gameCamera(), physicalScale(),
                             {double(strip.x), double(strip.y)}, {double(strip.x + strip.w), double(strip.y + strip.h)});
                riverGeometryKey.reset();
                visibleRivers.fill(picture.at(strip), clip.w, strip, physicalScale());
            }
        } else {
            picture.resize(clip);
            if (riverGeometryKey != key) {
                // Drawing needs no sources; riverGraphics() looks them up when a hit test asks.
                collectSides(visibleRivers, riverRows, gameMap(), mapGeneration, gameCamera(), physicalScale(),
                             {0, double(topbar)}, {double(width - sidebar), double(height - footer)});
                riverGeometryKey = key;
            }
            visibleRivers.fill(picture.pixels.data(), clip.w, clip, physicalScale());
        }
        if (SDL_UpdateTexture(cache.texture.get(), &clip, picture.pixels.data(), clip.w * int(sizeof(std::uint32_t))) !=
            0) {
            throwSdlError();
        }
        cache.key = key;
    }
    SDL_RenderSetClipRect(renderer, &clip);
    if (SDL_RenderCopy(renderer, cache.texture.get(), &clip, &clip) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
