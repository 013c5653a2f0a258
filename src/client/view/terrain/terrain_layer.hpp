// Terrain: the ground picture of the map area. Far out on the world it is the overview raster; close
// in, the play grid's icons, painted on the CPU for the software renderer and kept as a texture.
#pragma once

#include "kit/layer_cache.hpp"
#include "map_view/map_layer.hpp"
#include "overview/overview_picture.hpp"
#include "terrain/terrain_geometry.hpp"

namespace korvan {

class TerrainLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
    void forgetRenderer() override;
    // Paints the terrain straight into the current target, without the layer's texture.
    void drawFields(const Frame& frame);
    // Shows the canvas the terrain began in this frame, once the layers on it have painted.
    void presentCanvas(const Frame& frame);
    // Whether draw covers every pixel of the map area with opaque ones in this frame.
    static bool coversMapArea(const Frame& frame);
    // Whether the terrain of this frame is the world overview alone, without the play grid's icons.
    static bool overviewAlone(const Frame& frame);

    OverviewPicture& overview() { return overview_; }
    const TerrainScratch& scratch() const { return scratch_; }

private:
    LayerCache cache_;
    TerrainScratch scratch_;
    OverviewPicture overview_;
};

} // namespace korvan
