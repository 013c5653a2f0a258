// One-colour-per-field rasters of the map: the world overview of the map area and the minimap.
#pragma once

#include "core/camera.hpp"
#include "map/map.hpp"
#include "cpu/river_raster.hpp"
#include "view_state/world_overview.hpp"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace korvan {

// A field's terrain colour as an ARGB8888 pixel.
std::uint32_t terrainPixel(Terrain terrain);

// Where no field lies.
inline constexpr std::uint32_t noFieldPixel = 0xff131f22u;

inline constexpr int miniWidth = 242;
inline constexpr int miniHeight = 121;

// fieldLandTerrain of a play grid's water fields, each worked out when first asked for and kept while
// the grid stays the same. The overview's two row threads may ask at the same time.
class LandTable {
public:
    LandTable() = default;
    LandTable(const LandTable&) = delete;
    LandTable& operator=(const LandTable&) = delete;
    ~LandTable();

    // Starts over unless the table already serves this grid in this generation.
    void prepare(const Map& game, unsigned generation);
    // The land terrain of the water field stored at index.
    int at(std::ptrdiff_t index);

private:
    // Blocks of fields made when a field of theirs is first asked for: coasts are asked for all
    // over the world, and a table of every field would take a page of memory at each.
    static constexpr std::size_t blockFields = 256;
    void release();

    const Map* game_ = nullptr;
    const std::uint8_t* tiles_ = nullptr;
    unsigned generation_ = 0;
    std::size_t fields_ = 0;
    std::unique_ptr<std::atomic<std::uint8_t*>[]> blocks_; // a byte per field, one up; zero: not yet asked
    std::size_t blockCount_ = 0;
};

// What the overview shows: the displayed map with the play grid over its land, through the cameras
// of both, in a map area of width x height pixels whose first row is window row top.
struct OverviewView {
    const Map& world;
    const Map& game; // the play grid, or the displayed map itself when there is none
    Camera camera;
    Camera gameCamera;
    int width = 0;
    int height = 0;
    int top = 0;
    LandTable* land = nullptr; // kept across frames; without one each raster starts its own
};

// How far the picture moved, in whole pixels, between two rasters.
struct PixelShift {
    int x = 0;
    int y = 0;
};

// The shift from the camera a raster was built with to the current one, when that raster can be
// reused: same scale and factors, a move by whole pixels smaller than the area.
std::optional<PixelShift> overviewShift(const Camera& previous, const Camera& current, int width, int height);

// Samples every pixel centre of the map area into out (width * height pixels, row by row, no rivers).
// alongside, when given, runs on the helper thread meanwhile (see fillRowBandsBeside). A copy, when
// given, receives the same pixels, each band while it is fresh in the cache.
void rasterOverview(const OverviewView& view, std::vector<std::uint32_t>& out,
                    const std::function<void()>& alongside = {}, std::vector<std::uint32_t>* copy = nullptr);

// Samples into ring, the map area's raster after its origin moved by shift (PixelRing::movedBy),
// the strips the pan uncovered; the rest it keeps.
void rasterUncovered(const OverviewView& view, PixelShift shift, const PixelRing& ring);

// Moves drawn, the ring of the previous raster with rivers, by shift (its origin) and refills from
// base (the new raster without rivers) every pixel a river side might look different on: the
// uncovered strips and a border as wide as a side may reach across, along the old and the new edges
// of the area. Returns the part kept; drawing the rivers outside it gives what a full build gives.
PixelKeep moveDrawnRaster(const PixelRing& base, PixelShift shift, const Camera& camera, PixelRing& drawn);

// Marks in index the river sides that may draw into the part of the map area (width x height
// pixels from window row top) outside keep.
void markSidesOutside(RiverIndex& index, const Camera& camera, PixelKeep keep, int width, int height, int top);

// The whole world at minimap size (miniWidth x miniHeight), rivers included.
std::vector<std::uint32_t> rasterMinimap(const Map& world, const Map& game, const WorldOverview& geometry);

} // namespace korvan
