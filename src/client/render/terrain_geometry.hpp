// Screen geometry of the terrain layers, built from the visible fields without touching SDL.
#pragma once

#include "render/lake_spans.hpp"
#include "render/layer_cache.hpp"
#include "render/map_picture.hpp"
#include "render/terrain_icons.hpp"
#include "sdl/sdl_handles.hpp"

#include <cstdint>
#include <optional>

#include <vector>

namespace korvan {

class Client;

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

// Buffers reused from frame to frame: every panned frame rebuilds the terrain.
struct TerrainScratch {
    TerrainIcons batch{nullptr};
    MapPicture picture;                // the icons drawn on the CPU
    TextureHandle texture;             // and uploaded here
    int textureWidth = 0;
    int textureHeight = 0;
    std::optional<ViewKey> key; // what the pixels show
    std::vector<LakeSpan> lakeSpans;
    std::vector<Point> piece;
    std::vector<Point> clipSpace;
};

// Each appends the visible fields of the client's view to the batch.
void addFlatFields(const Client& client, TerrainIcons& batch);
void addFieldIcons(const Client& client, TerrainIcons& batch);
void addSameTerrainJoins(const Client& client, TerrainIcons& batch);
// Only the game fields that reach into `only` (window pixels), when given.
void addPlayGridIcons(const Client& client, TerrainScratch& scratch, const SDL_Rect* only = nullptr);

} // namespace korvan
