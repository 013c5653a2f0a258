// The minimap in the sidebar: the world raster built once per map generation, the view outline and
// the unit dots drawn over it every frame.
#pragma once

#include "map_view/scene.hpp"
#include "sdl/sdl_handles.hpp"

namespace korvan {

class Minimap {
public:
    // Draws the minimap of the world map; other maps have none.
    void draw(const Frame& frame);
    void forgetRenderer() { raster_.reset(); }
    bool hasRaster() const { return raster_ != nullptr; }

private:
    TextureHandle raster_;
    unsigned generation_ = 0; // the world generation raster_ shows
};

} // namespace korvan
