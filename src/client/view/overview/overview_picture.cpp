// The world overview raster of the map area, kept in a streaming texture and reused after pans.
#include "overview/overview_picture.hpp"

#include "sdl/output_format.hpp"

#include <utility>

namespace korvan {

void OverviewPicture::draw(const Frame& frame, bool includeRivers) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    const SDL_Rect area = frame.mapClip;
    if (area.w <= 0 || area.h <= 0) {
        return;
    }
    const ViewKey key = view.viewKey();
    if (!texture_ || width_ != area.w || height_ != area.h) {
        // The raster's pixels are opaque ARGB, which reads the same as xRGB: in the software renderer's
        // own format the copy to the window is plain rows instead of a conversion of every pixel.
        const Uint32 format = frame.software ? softwareOutputFormat(renderer) : Uint32{SDL_PIXELFORMAT_ARGB8888};
        texture_.reset(SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, area.w, area.h));
        if (!texture_) {
            throwSdlError();
        }
        SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_NONE);
        width_ = area.w;
        height_ = area.h;
        pixels_.clear();
        key_.reset();
    }
    if (key_ != key || rivers_ != includeRivers) {
        std::optional<PixelShift> shift;
        if (key_ && key_->generation == world.generation && rivers_ == includeRivers) {
            shift = overviewShift(key_->camera, view.camera, area.w, area.h);
        }
        // The new raster goes into the spare buffer, which then becomes the one kept for the next pan.
        land_.prepare(world.gameMap(), world.generation);
        rasterOverview({world.map, world.gameMap(), view.camera, view.gameCamera(), area.w, area.h, area.y, &land_},
                       pixels_, shift, scratch_);
        std::swap(pixels_, scratch_);
        const std::uint32_t* upload = pixels_.data();
        if (includeRivers) {
            PixelKeep keep;
            if (!riverIndex_.current(world.map, world.generation)) {
                riverIndex_.build(world.map, world.generation);
            }
            if (shift && drawn_.size() == pixels_.size()) {
                keep = moveDrawnRaster(pixels_, *shift, view.camera, area.w, area.h, drawn_);
                if (keep.left < keep.right) {
                    markSidesOutside(riverIndex_, view.camera, keep, area.w, area.h, area.y);
                }
            } else {
                drawn_.assign(pixels_.begin(), pixels_.end());
            }
            const Point lo = view.camera.toWorld({0, double(area.y)});
            const Point hi = view.camera.toWorld({double(area.w), double(area.y + area.h)});
            rasterRivers(world.map, lo, hi, [&view](Point p) { return view.camera.toScreen(p); }, area, drawn_, keep,
                         &riverIndex_, keep.left < keep.right);
            upload = drawn_.data();
        }
        if (SDL_UpdateTexture(texture_.get(), nullptr, upload, area.w * 4) != 0) {
            throwSdlError();
        }
        key_ = key;
        rivers_ = includeRivers;
    }
    if (SDL_RenderCopy(renderer, texture_.get(), nullptr, &area) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
