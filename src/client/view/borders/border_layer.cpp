// The border layer: the active country's outline, drawn into a window-sized picture that is kept
// while the view, the country and the map stay the same.
#include "borders/border_layer.hpp"

#include "sdl/draw_pass.hpp"
#include "kit/primitives.hpp"

#include <algorithm>
#include <array>

namespace korvan {

namespace {

// Strokes reach past their points, so polylines just outside the map area still count.
constexpr double viewMargin = 8;

} // namespace

bool BorderLayer::projectActiveOutline(const Frame& frame, bool& dashed) {
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const auto country = view.activeCountry();
    if (!world.map.isWorld() || !country || *country >= world.countries.entries.size() || world.countryGrid.empty()) {
        return false;
    }
    dashed = world.countries.entries[*country].status == "disputed";
    const Camera& camera = view.camera;
    const Point topLeft = camera.toWorld({-viewMargin, topbarHeight - viewMargin});
    const Point bottomRight =
        camera.toWorld({view.width - sidebarWidth + viewMargin, view.height - footerHeight + viewMargin});
    projectOutline(world.countryOutline(*country), camera, topLeft, bottomRight, world.map.period(), lines_);
    return true;
}

void BorderLayer::forgetRenderer() {
    layer_ = LayerCache{};
    renderer_ = nullptr;
}

void BorderLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    drawCalls_ = 0;
    const auto country = view.activeCountry();
    if (!world.map.isWorld() || !country) {
        return;
    }
    if (renderer_ != renderer) {
        // A texture belongs to the renderer that made it, which frees it when it goes: let go of the
        // old one without destroying it, as that renderer may be gone already.
        static_cast<void>(layer_.texture.release());
        layer_ = LayerCache{};
        renderer_ = renderer;
    }
    if (country_ != country) {
        layer_.key.reset();
        country_ = country;
    }
    if (frame.canvas) {
        paintCanvas(frame, *frame.canvas);
        return;
    }
    if (frame.software) {
        drawPixels(frame);
        return;
    }
    renderCachedLayer(renderer, layer_, view.viewKey(), frame.mapClip, overlayStyle, [&] { drawGeometry(frame); });
}

void BorderLayer::drawGeometry(const Frame& frame) {
    bool dashed = false;
    if (!projectActiveOutline(frame, dashed)) {
        return;
    }
    outline_.clear();
    const std::vector<Point>& points = lines_.points;
    const Point origin{frame.view.camera.x, frame.view.camera.y};
    // All casing first, so the dark edge never covers a neighbouring segment's gold.
    for (const bool casing : {true, false}) {
        std::size_t start = 0;
        for (const std::size_t end : lines_.ends) {
            for (std::size_t i = start + 1; i < end; ++i) {
                appendBorderSegment(outline_.vertices, outline_.indices, points[i - 1], points[i], origin, casing,
                                    dashed, true, true);
            }
            start = end;
        }
    }
    if (!outline_.empty()) {
        ++drawCalls_;
        outline_.draw(frame.renderer);
    }
}

void BorderLayer::paintCanvas(const Frame& frame, const MapCanvas& canvas) {
    const auto painted = [](const SDL_Rect& part) { return !SDL_RectEmpty(&part); };
    if (!canvas.picture || std::none_of(canvas.fresh.begin(), canvas.fresh.end(), painted)) {
        return;
    }
    bool dashed = false;
    if (!projectActiveOutline(frame, dashed) || lines_.ends.empty()) {
        return;
    }
    MapPicture& picture = *canvas.picture;
    for (const SDL_Rect& part : canvas.fresh) {
        if (painted(part)) {
            rasterOutline(lines_, {frame.view.camera.x, frame.view.camera.y}, dashed, picture.pixels.data(),
                          picture.area, part);
        }
    }
    ++drawCalls_;
}

void BorderLayer::drawPixels(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    LayerCache& cache = layer_;
    const SDL_Rect clip = frame.mapClip;
    if (clip.w <= 0 || clip.h <= 0) {
        return;
    }
    if (!blendedPictureTexture(renderer, cache, view.width, view.height)) {
        const DrawPass pass(renderer);
        SDL_RenderSetClipRect(renderer, &clip);
        drawGeometry(frame);
        return;
    }
    const ViewKey key = view.viewKey();
    if (cache.key != key) {
        MapPicture& raster = raster_;
        const SDL_Rect before = painted_;
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
            // A country's outline covers a small part of the area: only that part moves.
            fresh = raster.scrollPainted(*pan, painted_);
        } else {
            // Only the part painted last time needs clearing, unless the map area itself changed.
            if (!kept) {
                raster.resize(clip);
            }
            clear(kept ? before : clip);
            painted_ = {};
        }
        bool dashed = false;
        const bool outlined = projectActiveOutline(frame, dashed) && !lines_.ends.empty();
        for (const SDL_Rect& part : fresh) {
            if (outlined && !SDL_RectEmpty(&part)) {
                const SDL_Rect drawn =
                    rasterOutline(lines_, {view.camera.x, view.camera.y}, dashed, raster.pixels.data(), clip, part);
                SDL_UnionRect(&painted_, &drawn, &painted_);
            }
        }
        if (outlined) {
            ++drawCalls_;
        }
        SDL_Rect changed{};
        SDL_UnionRect(kept ? &before : &clip, &painted_, &changed);
        if (!SDL_RectEmpty(&changed) &&
            SDL_UpdateTexture(cache.texture.get(), &changed, raster.at(changed), clip.w * int(sizeof(std::uint32_t))) !=
                0) {
            throwSdlError();
        }
        cache.key = key;
    }
    // Everything outside the painted part is transparent: copying it would blend nothing.
    if (!SDL_RectEmpty(&painted_) &&
        SDL_RenderCopy(renderer, cache.texture.get(), &painted_, &painted_) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
