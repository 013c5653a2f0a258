// The world overview raster of the map area, kept in a texture and reused after pans.
#pragma once

#include "cpu/pixel_ring.hpp"
#include "kit/map_picture.hpp"
#include "map_view/scene.hpp"
#include "overview/overview_raster.hpp"
#include "sdl/sdl_handles.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvan {

class OverviewPicture {
public:
    // Draws the overview of the world over the map area, the world's rivers rastered in when
    // includeRivers.
    void draw(const Frame& frame, bool includeRivers);
    // Rasters the overview without rivers straight into the fresh parts of the canvas, which covers
    // the map area (the whole, or the strips of its pan), instead of showing it: the canvas is shown
    // once the layers over the overview have painted on it.
    void paintCanvas(const Frame& frame, const MapCanvas& canvas);
    void forgetRenderer() { texture_.reset(); }

    // The last rasters, without and with rivers, row by row, and their width.
    std::vector<std::uint32_t> plain() const { return inRows(pixels_, origin_); }
    std::vector<std::uint32_t> withRivers() const { return inRows(drawn_, drawnOrigin_); }
    int width() const { return width_; }
    // Forgets what the texture shows: the next draw rasters the whole view again.
    void forgetView() { key_.reset(); }

private:
    // The picture's rectangles a raster changed: none, the whole, or the strips and borders of a pan.
    struct Changes {
        std::array<SDL_Rect, 4> rects{};
        std::size_t count = 0;
    };

    // Makes the rasters cover an area of that size, forgetting them and the texture when it changed.
    void fitTo(SDL_Rect area);
    // Brings the rasters up to the frame's view, moving them after a pan.
    Changes raster(const Frame& frame, bool includeRivers);
    // What sampling the frame's view needs, the play grid's land table made ready.
    OverviewView sampling(const Frame& frame);
    PixelRing ring(std::vector<std::uint32_t>& pixels, RingOrigin origin) { return {pixels, width_, height_, origin}; }
    std::vector<std::uint32_t> inRows(const std::vector<std::uint32_t>& pixels, RingOrigin origin) const;
    // Brings the picture's rectangles changed in shown into the texture.
    void upload(const PixelRing& shown, std::span<const SDL_Rect> changed);
    void copyToWindow(SDL_Renderer* renderer, SDL_Rect area) const;

    TextureHandle texture_;
    // On SDL's software renderer the texture is stored as a ring like the rasters, so a pan uploads
    // only what changed and the copy to the window comes in up to four parts. Elsewhere the texture
    // keeps the picture row by row, drawn as one image as it always was.
    bool textureRing_ = false;
    bool textureStale_ = false; // views were painted into a canvas since the texture was filled
    RingOrigin textureOrigin_;
    std::vector<std::uint32_t> pixels_; // the last raster without rivers, for reuse after a pan
    std::vector<std::uint32_t> drawn_;  // the last raster with rivers, for reuse after a pan
    RingOrigin origin_;                 // of pixels_
    RingOrigin drawnOrigin_;            // of drawn_
    LandTable land_;                    // the play grid's land under its water, kept across frames
    RiverIndex riverIndex_;             // the world map's sides, compact and by area, for drawing them in
    std::optional<ViewKey> key_;
    bool rivers_ = true;
    int width_ = 0;
    int height_ = 0;
};

} // namespace korvan
