// The river layer: the visible river sides of the game map as ribbons, painted on the CPU into a
// picture that is scrolled with the view and brought into a texture.
#pragma once

#include "kit/layer_cache.hpp"
#include "kit/map_picture.hpp"
#include "map_view/map_layer.hpp"
#include "water/river_graphics.hpp"
#include "water/river_segments.hpp"

#include <cstddef>
#include <optional>

namespace korvan {

// The world-map river edge a play-grid edge stands for (a bridged one first).
std::size_t riverSourceOf(const World& world, std::size_t gridEdge);

class RiverLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
    void forgetRenderer() override {
        cache_ = LayerCache{};
        groundTexture_.reset();
    }
    // Paints the ribbons straight into the current target.
    void drawBands(const Frame& frame);

    // The river sides of the game map in view with their world-map sources, rebuilt when the view
    // or the map changed: what hit tests and the bridge marks on paths ask.
    const RiverGraphics& graphics(const Scene& scene);
    // What hit tests at the screen point need: the sides of the view when they are gathered, else
    // only those near the point, which shape the ribbons within reach of it just as in the view.
    const RiverGraphics& graphicsNear(const Scene& scene, Point screen);
    // The river side a click would bridge: the nearest under the pointer, from bridge zoom on.
    std::optional<RiverGraphics::Choice> bridgeCandidate(const Scene& scene);

    // What the rivers' picture holds under the outline and the rivers.
    enum class Ground {
        Clear,    // nothing: the picture is blended over the layers below
        Overview, // the world overview, painted in first by the terrain: the picture is copied opaque
    };
    // On the software renderer the country outline, which lies under the rivers, is painted into
    // the rivers' picture instead of a blended texture of its own, and from scale 2 until the lakes
    // the overview under both: makes the picture current for the frame (scrolled, the fresh parts
    // cleared unless the overview fills them) and hands it out as the canvas the terrain, the
    // outline and then draw paint on. False where the rivers draw nothing or keep no picture.
    bool beginOverlay(const Frame& frame, MapCanvas& canvas, Ground ground);
    // Whether the texture holds a painted view; the picture it was painted from.
    bool painted() const { return cache_.key.has_value(); }
    const MapPicture& picture() const { return picture_; }
    // Forgets what the texture shows: the next draw paints the whole view again.
    void forgetView() { cache_.key.reset(); }

private:
    // The ribbons painted into the fresh parts of the frame's canvas.
    void paintCanvas(const Frame& frame, const MapCanvas& canvas);
    // Gathers the sides of the whole view into sides_ unless it holds them already.
    void gatherView(const Scene& scene);

    // The window-sized texture the picture is copied opaque from over the overview, in the
    // output's own format: made at first use and whenever the window's size changed.
    bool groundTextureFits(const Frame& frame);

    LayerCache cache_;   // the blended texture, and the view picture_ shows
    TextureHandle groundTexture_;
    SDL_Point groundTextureSize_{};
    bool groundTextureBehind_ = false; // the picture went straight into the window since it was filled
    MapPicture picture_; // what the texture shows, kept for scrolling
    // Whether picture_ also holds the outline of a country, and which, and what lies under them: a
    // change repaints it whole.
    struct Content {
        bool outline = false;
        std::optional<std::size_t> country;
        Ground ground = Ground::Clear;
        friend bool operator==(const Content&, const Content&) = default;
    } content_;
    RiverGraphics sides_;
    std::optional<ViewKey> sidesKey_; // the view sides_ holds every side of; none after a partial gather
    RiverIndex index_; // the game map's sides by row
    RiverGraphics near_;
    struct NearKey {
        ViewKey view;
        Point lo;
        Point hi;
        friend bool operator==(const NearKey&, const NearKey&) = default;
    };
    std::optional<NearKey> nearKey_; // the view and screen rectangle near_ holds the sides of
};

} // namespace korvan
