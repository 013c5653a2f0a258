// The world's close-zoom terrain drawn on the CPU for the software renderer: kept as a raster of
// the map area and scrolled when the view pans by whole pixels, so a pan redraws only the strips
// that come into view.
#pragma once

#include "map_view/scene.hpp"
#include "terrain/terrain_geometry.hpp"

#include <SDL.h>

namespace korvan {

// Whether the terrain is drawn on the CPU now, and with it the textured lakes, which then belong
// to the terrain raster (scrolled with it) instead of a layer of their own.
bool terrainOnCpu(const Frame& frame);
bool lakesInCpuTerrain(const Frame& frame);
// Draws the play grid's terrain through the raster and texture kept in scratch. With a canvas in the
// frame the raster becomes the canvas the next layers paint on, and presentPlayGrid shows it after them.
void renderPlayGridOnCpu(const Frame& frame, TerrainScratch& scratch);
void presentPlayGrid(const Frame& frame, TerrainScratch& scratch);

} // namespace korvan
