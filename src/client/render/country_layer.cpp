// The border layer: the active country's outline, drawn into a window-sized picture that is kept
// while the view, the country and the map stay the same.
#include "client/client.hpp"
#include "render/primitives.hpp"
#include "render/terrain_cpu.hpp"

#include <algorithm>
#include <array>

namespace korvan {

namespace {

// Outlines are joined into polylines of at most this many points, so culling works in pieces.
constexpr std::size_t outlinePoints = 512;
// Strokes reach past their points, so polylines just outside the map area still count.
constexpr double viewMargin = 8;

// Projects the active country's outline in view into client.countryScreenLines; false when there is
// nothing to outline. dashed tells whether the country is disputed.
bool projectActiveOutline(const Client& client, bool& dashed) {
    const auto country = client.activeCountry();
    if (!client.map.isWorld() || !country || *country >= client.countries.entries.size() ||
        client.countryGrid.empty()) {
        return false;
    }
    dashed = client.countries.entries[*country].status == "disputed";
    const Camera& camera = client.camera;
    const Point topLeft = camera.toWorld({-viewMargin, Client::topbar - viewMargin});
    const Point bottomRight =
        camera.toWorld({client.width - Client::sidebar + viewMargin, client.height - Client::footer + viewMargin});
    projectOutline(client.linesOf(*country), camera, topLeft, bottomRight, client.map.period(),
                   client.countryScreenLines);
    return true;
}

} // namespace

const std::vector<std::vector<Point>>& Client::linesOf(std::size_t country) const {
    if (countryLinesGeneration != mapGeneration) {
        countryLines.clear();
        countryLinesGeneration = mapGeneration;
    }
    auto found = countryLines.find(country);
    if (found == countryLines.end()) {
        found = countryLines.emplace(country, countryGrid.outlineLines(map, country, outlinePoints)).first;
    }
    return found->second;
}

void Client::countryBorder(Point a, Point b, bool casing, bool dashed, bool capStart, bool capEnd) const {
    appendBorderSegment(countryVertices, countryIndices, a, b, {camera.x, camera.y}, casing, dashed, capStart, capEnd);
}

void Client::renderCountry(SDL_Renderer* renderer) const {
    borderDrawCalls = 0;
    const auto country = activeCountry();
    if (!map.isWorld() || !country) {
        return;
    }
    CountryPicture& picture = countryPicture;
    if (picture.renderer != renderer) {
        // A texture belongs to the renderer that made it, which frees it when it goes: let go of the
        // old one without destroying it, as that renderer may be gone already.
        static_cast<void>(picture.layer.texture.release());
        picture.layer = LayerCache{};
        picture.renderer = renderer;
    }
    if (picture.country != country) {
        picture.layer.key.reset();
        picture.country = country;
    }
    if (softwareRenderer(renderer)) {
        renderCountryPixels(renderer);
        return;
    }
    renderCachedLayer(renderer, picture.layer, viewKey(), mapClip(), overlayStyle,
                      [&] { renderCountryGeometry(renderer); });
}

void Client::renderCountryGeometry(SDL_Renderer* renderer) const {
    bool dashed = false;
    if (!projectActiveOutline(*this, dashed)) {
        return;
    }
    countryVertices.clear();
    countryIndices.clear();
    const std::vector<Point>& points = countryScreenLines.points;
    // All casing first, so the dark edge never covers a neighbouring segment's gold.
    for (const bool casing : {true, false}) {
        std::size_t start = 0;
        for (const std::size_t end : countryScreenLines.ends) {
            for (std::size_t i = start + 1; i < end; ++i) {
                countryBorder(points[i - 1], points[i], casing, dashed, true, true);
            }
            start = end;
        }
    }
    if (!countryVertices.empty()) {
        ++borderDrawCalls;
        drawGeometry(renderer, nullptr, countryVertices, countryIndices);
    }
}

void Client::renderCountryPixels(SDL_Renderer* renderer) const {
    CountryPicture& picture = countryPicture;
    LayerCache& cache = picture.layer;
    const SDL_Rect clip = mapClip();
    if (clip.w <= 0 || clip.h <= 0) {
        return;
    }
    if (!streamingLayerTexture(renderer, cache, width, height)) {
        const DrawPass pass(renderer);
        SDL_RenderSetClipRect(renderer, &clip);
        renderCountryGeometry(renderer);
        return;
    }
    const ViewKey key = viewKey();
    if (cache.key != key) {
        MapPicture& raster = picture.raster;
        const SDL_Rect before = picture.painted;
        // Without a key (a new texture, another country) the texture shows nothing worth keeping.
        const bool kept = cache.key && SDL_RectEquals(&raster.area, &clip);
        // The dashes are fixed to the map, so after a pan by whole pixels the picture only moves:
        // just the strips that came into view are painted.
        const auto pan = kept ? wholePixelPan(*cache.key, key, clip.w, clip.h) : std::nullopt;
        const auto clear = [&](SDL_Rect part) {
            if (SDL_RectEmpty(&part)) {
                return;
            }
            for (int y = part.y; y < part.y + part.h; ++y) {
                std::uint32_t* row = raster.at({part.x, y, part.w, 1});
                std::fill(row, row + part.w, 0u);
            }
        };
        std::array<SDL_Rect, 2> fresh{clip, SDL_Rect{}}; // the parts to paint
        if (pan) {
            fresh = raster.scroll(*pan);
            SDL_Rect moved = before;
            moved.x += pan->dx;
            moved.y += pan->dy;
            if (!SDL_IntersectRect(&moved, &clip, &picture.painted)) {
                picture.painted = {};
            }
            for (const SDL_Rect& part : fresh) {
                clear(part);
            }
        } else {
            // Only the part painted last time needs clearing, unless the map area itself changed.
            if (!kept) {
                raster.resize(clip);
            }
            clear(kept ? before : clip);
            picture.painted = {};
        }
        bool dashed = false;
        const bool outlined = projectActiveOutline(*this, dashed) && !countryScreenLines.ends.empty();
        for (const SDL_Rect& part : fresh) {
            if (outlined && !SDL_RectEmpty(&part)) {
                const SDL_Rect drawn =
                    rasterOutline(countryScreenLines, {camera.x, camera.y}, dashed, raster.pixels.data(), clip, part);
                SDL_UnionRect(&picture.painted, &drawn, &picture.painted);
            }
        }
        if (outlined) {
            ++borderDrawCalls;
        }
        SDL_Rect changed{};
        SDL_UnionRect(kept ? &before : &clip, &picture.painted, &changed);
        if (!SDL_RectEmpty(&changed) &&
            SDL_UpdateTexture(cache.texture.get(), &changed, raster.at(changed), clip.w * int(sizeof(std::uint32_t))) !=
                0) {
            throwSdlError();
        }
        cache.key = key;
    }
    // Everything outside the painted part is transparent: copying it would blend nothing.
    if (!SDL_RectEmpty(&picture.painted) &&
        SDL_RenderCopy(renderer, cache.texture.get(), &picture.painted, &picture.painted) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
