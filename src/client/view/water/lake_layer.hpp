// Lakes filled by scanline on the world map at close zoom, flat or with the water texture per field.
#pragma once

#include "kit/layer_cache.hpp"
#include "map_view/map_layer.hpp"

namespace korvan {

class LakeLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
    void forgetRenderer() override { cache_ = LayerCache{}; }
    // Whether draw shows anything in this frame: the lakes' own picture, not those in the CPU terrain.
    static bool shows(const Frame& frame);

private:
    LayerCache cache_;
};

// Paints the detailed lakes in view straight into the current target.
void drawLakeDetails(const Frame& frame);

} // namespace korvan
