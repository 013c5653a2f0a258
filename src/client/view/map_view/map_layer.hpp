// One layer of the map: drawn in its place in the frame under the map clip, owning whatever it
// keeps from frame to frame.
#pragma once

#include "map_view/scene.hpp"

namespace korvan {

class MapLayer {
public:
    virtual ~MapLayer() = default;
    // Draws the layer, first bringing its caches up to date with the scene. Leaves the renderer's
    // target, clip, blend mode and draw colour as it found them.
    virtual void draw(const Frame& frame) = 0;
    // Drops what was made for the current renderer (textures); the next draw makes it anew.
    virtual void forgetRenderer() {}

protected:
    MapLayer() = default;
    MapLayer(const MapLayer&) = default;
    MapLayer& operator=(const MapLayer&) = default;
};

} // namespace korvan
