// The shipped images load with SDL and keep their alpha channel.
#include "sdl/sdl_handles.hpp"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korvan;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

// Counts pixels by alpha: fully transparent, partly transparent, opaque.
std::array<int, 3> alphaCounts(SDL_Surface* surface) {
    const SurfaceHandle argb(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0));
    std::array<int, 3> counts{};
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x) {
            const Uint32 alpha = row[x] >> 24;
            ++counts[alpha == 0 ? 0 : alpha == 255 ? 2 : 1];
        }
    }
    return counts;
}

} // namespace

TEST(ShippedImages, LoadWithAlphaAtTheirSizes) {
    const struct {
        const char* file;
        int width;
        int height;
    } images[] = {{"terrain-icons-v4.bmp", 1024, 768},
                  {"city-marker.bmp", 256, 256},
                  {"city-size-markers.bmp", 1024, 256}};
    for (const auto& image : images) {
        const SurfaceHandle surface(SDL_LoadBMP((dataDirectory / image.file).string().c_str()));
        ASSERT_TRUE(surface) << image.file << ": " << SDL_GetError();
        EXPECT_EQ(surface->w, image.width) << image.file;
        EXPECT_EQ(surface->h, image.height) << image.file;
        EXPECT_EQ(surface->format->Amask, 0xFF000000u) << image.file;
        const auto counts = alphaCounts(surface.get());
        // Transparent surroundings and opaque motifs both exist: the mask was not dropped.
        EXPECT_GT(counts[0], 0) << image.file;
        EXPECT_GT(counts[2], 0) << image.file;
    }
}

TEST(ShippedImages, FlagAtlasLoads) {
    const SurfaceHandle flags(SDL_LoadBMP((dataDirectory / "flags.bmp").string().c_str()));
    ASSERT_TRUE(flags) << SDL_GetError();
    // Cells of 32 x 24 pixels.
    EXPECT_EQ(flags->w % 32, 0);
    EXPECT_EQ(flags->h % 24, 0);
}
