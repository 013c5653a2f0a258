// The map view: the map layers in their order under the map clip, the panels over them, and the
// images they draw with. It answers the picking questions from what it drew.
#pragma once

#include "borders/border_layer.hpp"
#include "cities/city_layer.hpp"
#include "hud/hud.hpp"
#include "map_view/images.hpp"
#include "map_view/map_layer.hpp"
#include "overlays/map_overlays.hpp"
#include "overlays/reach_layer.hpp"
#include "terrain/terrain_layer.hpp"
#include "units/unit_layer.hpp"
#include "view_state/picking.hpp"
#include "water/lake_layer.hpp"
#include "water/river_layer.hpp"

#include <SDL.h>

#include <array>
#include <cstddef>
#include <optional>

namespace korvan {

// The border layer's cost, measured only when asked for (the benchmark modes print it).
struct BorderTiming {
    bool measured = false;
    double milliseconds = 0; // the last frame's border layer
    std::size_t drawCalls = 0;
};

class MapView final : public Picking {
public:
    MapView(const World& world, const Game& game, const ViewState& view);
    MapView(const MapView&) = delete;
    MapView& operator=(const MapView&) = delete;

    // Takes images loaded for the renderer the view will draw on.
    void setImages(Images images) { images_ = std::move(images); }
    // One frame: the map layers under the map clip, then the panels. Changes only the view's caches.
    void draw(SDL_Renderer* renderer);
    // Drops every texture made for the current renderer, before that renderer goes.
    void forgetRenderer();

    // The frame a layer draws on this renderer (for drawing one layer alone).
    Frame frame(SDL_Renderer* renderer);

    std::optional<std::size_t> cityAt(Point screen) override;
    std::optional<std::size_t> bridgeAt(Point screen) override;
    std::optional<std::size_t> riverAt(Point screen, bool precise) override;

    const Scene& scene() const { return scene_; }
    const Images& images() const { return images_; }
    Images& images() { return images_; }
    TerrainLayer& terrain() { return terrain_; }
    LakeLayer& lakes() { return lakes_; }
    BorderLayer& borders() { return borders_; }
    RiverLayer& rivers() { return rivers_; }
    CityLayer& cities() { return cities_; }
    UnitLayer& units() { return units_; }
    Hud& hud() { return hud_; }

    BorderTiming borderTiming;

private:
    Scene scene_;
    Images images_;
    SDL_Renderer* renderer_ = nullptr; // the renderer software_ was asked of
    bool software_ = false;

    TerrainLayer terrain_;
    LakeLayer lakes_;
    RoadLayer roads_;
    BorderLayer borders_;
    RiverLayer rivers_;
    ReachLayer reach_;
    CursorLayer cursor_;
    CityLayer cities_;
    ObjectiveLayer objectives_;
    CityLabelLayer cityLabels_;
    UnitLayer units_;
    BridgePreviewLayer bridgePreview_{rivers_};
    PathLayer path_{rivers_};
    Hud hud_;
    std::array<MapLayer*, 13> layers_; // in drawing order
};

} // namespace korvan
