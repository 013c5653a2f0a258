// The world overview raster of the map area, kept in a texture and reused after pans.
#include "overview/overview_picture.hpp"

#include "kit/layer_cache.hpp"
#include "kit/map_picture.hpp"
#include "sdl/output_format.hpp"
#include "sdl/window_pixels.hpp"

#include <algorithm>
#include <array>

namespace korvan {

void OverviewPicture::fitTo(SDL_Rect area) {
    if (width_ == area.w && height_ == area.h) {
        return;
    }
    width_ = area.w;
    height_ = area.h;
    texture_.reset();
    pixels_.clear();
    drawn_.clear();
    key_.reset();
}

void OverviewPicture::draw(const Frame& frame, bool includeRivers) {
    SDL_Renderer* renderer = frame.renderer;
    const SDL_Rect area = frame.mapClip;
    if (area.w <= 0 || area.h <= 0) {
        return;
    }
    fitTo(area);
    const Changes changes = raster(frame, includeRivers);
    const PixelRing shown = includeRivers ? ring(drawn_, drawnOrigin_) : ring(pixels_, origin_);
    if (frame.software && copyIntoWindow(renderer, shown, area)) {
        textureStale_ = true; // left behind, should the texture be needed again
        return;
    }
    if (!texture_) {
        // The raster's pixels are opaque ARGB, which reads the same as xRGB: in the software renderer's
        // own format the copy to the window is plain rows instead of a conversion of every pixel.
        const Uint32 format = frame.software ? softwareOutputFormat(renderer) : Uint32{SDL_PIXELFORMAT_ARGB8888};
        texture_.reset(cpuPictureTexture(renderer, format, area.w, area.h));
        if (!texture_) {
            throwSdlError();
        }
        SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_NONE);
        textureRing_ = frame.software;
        textureStale_ = true;
    }
    if (changes.count > 0 || textureStale_) {
        upload(shown, std::span(changes.rects.data(), changes.count));
    }
    copyToWindow(renderer, area);
}

OverviewView OverviewPicture::sampling(const Frame& frame) {
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const SDL_Rect area = frame.mapClip;
    land_.prepare(world.gameMap(), world.generation);
    return {world.map, world.gameMap(), view.camera, view.gameCamera(), area.w, area.h, area.y, &land_};
}

void OverviewPicture::paintCanvas(const Frame& frame, const MapCanvas& canvas) {
    const SDL_Rect area = frame.mapClip;
    const auto painted = [](const SDL_Rect& part) { return !SDL_RectEmpty(&part); };
    if (!canvas.picture || area.w <= 0 || area.h <= 0 || !SDL_RectEquals(&canvas.picture->area, &area) ||
        std::none_of(canvas.fresh.begin(), canvas.fresh.end(), painted)) {
        return;
    }
    // The canvas keeps the picture across pans itself: the overview is rastered straight into it,
    // and the rasters and texture of its own no longer show the view.
    key_.reset();
    textureStale_ = true;
    const OverviewView overview = sampling(frame);
    std::vector<std::uint32_t>& pixels = canvas.picture->pixels;
    if (canvas.pan) {
        rasterUncovered(overview, PixelShift{canvas.pan->dx, canvas.pan->dy}, PixelRing{pixels, area.w, area.h, {}});
    } else {
        rasterOverview(overview, pixels, canvas.alongside);
    }
}

OverviewPicture::Changes OverviewPicture::raster(const Frame& frame, bool includeRivers) {
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const SDL_Rect area = frame.mapClip;
    const ViewKey key = view.viewKey();
    if (key_ == key && rivers_ == includeRivers) {
        return {};
    }
    std::optional<PixelShift> shift;
    if (key_ && key_->generation == world.generation && rivers_ == includeRivers &&
        pixels_.size() == std::size_t(area.w) * std::size_t(area.h)) {
        shift = overviewShift(key_->camera, view.camera, area.w, area.h);
    }
    const OverviewView overview = sampling(frame);
    // After a pan the rasters stay where they are and their origins move: only what came into
    // view is sampled.
    if (shift) {
        origin_ = ring(pixels_, origin_).movedBy(shift->x, shift->y);
        rasterUncovered(overview, *shift, ring(pixels_, origin_));
    } else {
        origin_ = {};
        // With rivers the raster is copied into the picture they are drawn on, band by band.
        rasterOverview(overview, pixels_, {}, includeRivers ? &drawn_ : nullptr);
    }
    const SDL_Rect whole{0, 0, area.w, area.h};
    // What changed: the whole picture, or after a pan the strips that came into view.
    Changes changed{{whole}, 1};
    if (shift) {
        const auto strips = uncoveredByPan(whole, PixelPan{shift->x, shift->y});
        changed = {{strips[0], strips[1]}, 2};
    }
    if (includeRivers) {
        PixelKeep keep;
        if (!riverIndex_.current(world.map, world.generation)) {
            riverIndex_.build(world.map, world.generation);
        }
        const PixelRing shown = ring(pixels_, origin_);
        PixelRing drawn = ring(drawn_, drawnOrigin_);
        if (shift && drawn_.size() == pixels_.size()) {
            keep = moveDrawnRaster(shown, *shift, view.camera, drawn);
            if (keep.left < keep.right) {
                markSidesOutside(riverIndex_, view.camera, keep, area.w, area.h, area.y);
            }
        } else {
            if (shift) {
                drawn_.assign(pixels_.begin(), pixels_.end()); // a pan without a picture to move
            }
            drawn = ring(drawn_, origin_);
        }
        drawnOrigin_ = drawn.origin;
        const Point lo = view.camera.toWorld({0, double(area.y)});
        const Point hi = view.camera.toWorld({double(area.w), double(area.y + area.h)});
        rasterRivers(world.map, lo, hi, [&view](Point p) { return view.camera.toScreen(p); }, area, drawn_, keep,
                     &riverIndex_, keep.left < keep.right, drawnOrigin_);
        if (keep.left < keep.right) {
            // Everything outside the kept part was drawn again.
            changed = {{SDL_Rect{0, 0, area.w, keep.top}, SDL_Rect{0, keep.bottom, area.w, area.h - keep.bottom},
                        SDL_Rect{0, keep.top, keep.left, keep.bottom - keep.top},
                        SDL_Rect{keep.right, keep.top, area.w - keep.right, keep.bottom - keep.top}},
                       4};
        } else {
            changed = {{whole}, 1};
        }
    }
    if (shift) {
        // The texture's kept pixels stay where they are, like the rasters'.
        textureOrigin_ = PixelRing{{}, area.w, area.h, textureOrigin_}.movedBy(shift->x, shift->y);
    }
    key_ = key;
    rivers_ = includeRivers;
    return changed;
}

void OverviewPicture::upload(const PixelRing& shown, std::span<const SDL_Rect> changed) {
    const int pitch = shown.width * 4;
    const auto update = [&](const SDL_Rect& into, const SDL_Rect& stored) {
        const std::uint32_t* from = shown.pixels.data() + std::size_t(stored.y) * std::size_t(shown.width) +
                                    std::size_t(stored.x);
        if (SDL_UpdateTexture(texture_.get(), &into, from, pitch) != 0) {
            throwSdlError();
        }
    };
    if (!textureRing_) {
        textureStale_ = false;
        forStoredParts(shown, {0, 0, shown.width, shown.height},
                       [&](const SDL_Rect& stored, const SDL_Rect& picture) { update(picture, stored); });
        return;
    }
    // A texture stored with another origin, or left behind while the rasters moved on, takes the
    // whole ring.
    if (textureStale_ || textureOrigin_ != shown.origin) {
        textureStale_ = false;
        textureOrigin_ = shown.origin;
        update({0, 0, shown.width, shown.height}, {0, 0, shown.width, shown.height});
        return;
    }
    for (const SDL_Rect& rect : changed) {
        forStoredParts(shown, rect, [&](const SDL_Rect& stored, const SDL_Rect&) { update(stored, stored); });
    }
}

void OverviewPicture::copyToWindow(SDL_Renderer* renderer, SDL_Rect area) const {
    const auto copy = [&](const SDL_Rect* from, const SDL_Rect& to) {
        if (SDL_RenderCopy(renderer, texture_.get(), from, &to) != 0) {
            throwSdlError();
        }
    };
    if (!textureRing_) {
        const SDL_Rect whole{0, 0, width_, height_};
        copy(&whole, area);
        return;
    }
    const PixelRing layout{{}, width_, height_, textureOrigin_};
    forStoredParts(layout, {0, 0, width_, height_}, [&](const SDL_Rect& stored, const SDL_Rect& picture) {
        copy(&stored, {area.x + picture.x, area.y + picture.y, picture.w, picture.h});
    });
}

std::vector<std::uint32_t> OverviewPicture::inRows(const std::vector<std::uint32_t>& pixels, RingOrigin origin) const {
    const auto w = std::size_t(width_);
    if (pixels.size() != w * std::size_t(height_)) {
        return pixels;
    }
    std::vector<std::uint32_t> rows;
    rows.reserve(pixels.size());
    for (int y = 0; y < height_; ++y) {
        const int stored = (y + origin.y) % height_;
        const auto row = pixels.begin() + std::ptrdiff_t(std::size_t(stored) * w);
        rows.insert(rows.end(), row + origin.x, row + std::ptrdiff_t(w));
        rows.insert(rows.end(), row, row + origin.x);
    }
    return rows;
}

} // namespace korvan
