// Screen geometry of the terrain layers, built from the visible fields without touching SDL.
#pragma once

#include "cpu/lake_spans.hpp"
#include "kit/layer_cache.hpp"
#include "kit/map_picture.hpp"
#include "map_view/scene.hpp"
#include "terrain/terrain_icons.hpp"
#include "sdl/sdl_handles.hpp"

#include <cstdint>
#include <optional>

#include <vector>

namespace korvan {

// Which terrain layers a zoom shows. The world overview below scale 2 is drawn outside the cache
// and is not part of this table.
struct TerrainDetail {
    bool overview = false;  // world map: the overview raster
    bool playGrid = false;  // world map: play-grid icons cut by source fields
    bool flat = false;      // other maps: one flat colour per field
    bool icons = false;     // other maps: one atlas icon per field
    bool joins = false;     // other maps: strips across edges between fields of one terrain
};
TerrainDetail terrainDetail(bool worldMap, double scale);

// The terrain a field shows: on the world map, urban fields show the plain under the city marker.
Terrain displayedTerrain(const Map& map, Hex h);

// The working buffers of building and painting one part of the terrain.
struct TerrainWork {
    TerrainIcons batch{nullptr};
    std::vector<LakeSpan> lakeSpans;
    std::vector<Point> piece;
    std::vector<Point> clipSpace;
};

// Buffers reused from frame to frame: every panned frame rebuilds the terrain.
struct TerrainScratch : TerrainWork {
    TerrainWork helper; // a second thread's, for the other half of a large part
    MapPicture picture;                // the icons drawn on the CPU
    TextureHandle texture;             // and uploaded here
    int textureWidth = 0;
    int textureHeight = 0;
    std::optional<ViewKey> key; // what the pixels show
    // On a canvas the pixels also show the rivers and the outline of this country (canvas = false:
    // the terrain alone); a change repaints the whole picture.
    struct Content {
        bool canvas = false;
        std::optional<std::size_t> outlined;
        friend bool operator==(const Content&, const Content&) = default;
    } content;
    bool uploaded = false; // the texture holds the pixels
};

// Each appends the visible fields of the view to the batch.
void addFlatFields(const Scene& scene, TerrainIcons& batch);
void addFieldIcons(const Scene& scene, TerrainIcons& batch);
void addSameTerrainJoins(const Scene& scene, TerrainIcons& batch);
// Only the game fields that reach into `only` (window pixels), when given.
void addPlayGridIcons(const Scene& scene, TerrainWork& scratch, const SDL_Rect* only = nullptr);

} // namespace korvan
