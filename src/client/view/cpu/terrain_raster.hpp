// Textured terrain triangles drawn on the CPU into a pixel raster. SDL's software renderer fills a
// textured triangle with two 64-bit divisions per pixel; stepping the affine texture coordinates
// along each row is several times faster, which is what keeps close zoom smooth without a GPU.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <span>
#include <vector>

namespace korvan {

// 0xAARRGGBB pixels, row by row.
struct TexelImage {
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
};

// The atlas at full size and halved four times: a field drawn small samples a picture filtered to
// about its size instead of skipping over most texels, which would shimmer while zooming.
struct AtlasLevels {
    std::vector<TexelImage> levels;

    // The level whose cells (256 texels at full size) come closest to `cellPixels` without being smaller.
    const TexelImage& forCellSize(double cellPixels) const;
};

// Builds the levels from an ARGB8888 image by averaging 2 x 2 blocks.
AtlasLevels buildAtlasLevels(TexelImage full);

// A raster covering the window rectangle `area`; pixel (0, 0) is the area's top-left corner. Only
// pixels inside `clip` (window coordinates too) are drawn.
struct PixelTarget {
    std::span<std::uint32_t> pixels;
    SDL_Rect area;
    SDL_Rect clip;
};

// Fills the triangles with their texture sampled at the nearest texel, clipped to the target.
// Triangles that share their first index and follow on one another are taken as a fan over one
// convex polygon with one texture mapping, as the terrain batches build them, and filled row by row. Pixels whose centre lies on an edge shared by two
// polygons are drawn by both, so no seam opens.
void rasterTriangles(std::span<const SDL_Vertex> vertices, std::span<const int> indices, const TexelImage& texture,
                     PixelTarget target);

} // namespace korvan
