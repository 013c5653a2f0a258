// The border layer: the active country's outline, drawn into a window-sized picture that is kept
// while the view, the country and the map stay the same.
#pragma once

#include "borders/country_border.hpp"
#include "kit/layer_cache.hpp"
#include "kit/map_picture.hpp"
#include "kit/triangle_batch.hpp"
#include "map_view/map_layer.hpp"

#include <SDL.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace korvan {

class BorderLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
    void forgetRenderer() override;
    // Paints the outline as triangles straight into the current target.
    void drawGeometry(const Frame& frame);

    // Geometry calls of the last frame: one per outline drawn, none while the picture is kept.
    std::size_t drawCalls() const { return drawCalls_; }

private:
    // The software renderer's outline: painted on the CPU into the map area's raster.
    void drawPixels(const Frame& frame);
    // The outline painted into the fresh parts of the frame's canvas.
    void paintCanvas(const Frame& frame, const MapCanvas& canvas);
    // Projects the active country's outline in view into lines_; false when there is nothing to
    // outline. dashed tells whether the country is disputed.
    bool projectActiveOutline(const Frame& frame, bool& dashed);

    ScreenPolylines lines_;
    TriangleBatch outline_;
    LayerCache layer_;
    std::optional<std::size_t> country_; // the country the picture shows
    SDL_Renderer* renderer_ = nullptr;   // the renderer the picture's texture belongs to
    MapPicture raster_;                  // the software renderer's picture of the map area
    SDL_Rect painted_{};                 // where raster_ holds outline pixels; the rest is clear
    std::size_t drawCalls_ = 0;
};

} // namespace korvan
