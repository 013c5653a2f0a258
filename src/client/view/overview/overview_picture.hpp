// The world overview raster of the map area, kept in a streaming texture and reused after pans.
#pragma once

#include "map_view/scene.hpp"
#include "overview/overview_raster.hpp"
#include "sdl/sdl_handles.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace korvan {

class OverviewPicture {
public:
    // Draws the overview of the world over the map area, the world's rivers rastered in when
    // includeRivers.
    void draw(const Frame& frame, bool includeRivers);
    void forgetRenderer() { texture_.reset(); }

    // The last rasters, without and with rivers, and their width.
    const std::vector<std::uint32_t>& plain() const { return pixels_; }
    const std::vector<std::uint32_t>& withRivers() const { return drawn_; }
    int width() const { return width_; }
    // Forgets what the texture shows: the next draw rasters the whole view again.
    void forgetView() { key_.reset(); }

private:
    TextureHandle texture_;
    std::vector<std::uint32_t> pixels_;  // the last raster without rivers, for reuse after a pan
    std::vector<std::uint32_t> scratch_; // the next raster; swapped with pixels
    std::vector<std::uint32_t> drawn_;   // the last raster with rivers, for reuse after a pan
    LandTable land_;                     // the play grid's land under its water, kept across frames
    RiverIndex riverIndex_;              // the world map's sides, compact and by area, for drawing them in
    std::optional<ViewKey> key_;
    bool rivers_ = true;
    int width_ = 0;
    int height_ = 0;
};

} // namespace korvan
