// korvan.bin on the shipped data in every start-up mode, and installed under its own prefix.
#include "program_runner.hpp"
#include "sdl/sdl_handles.hpp"

#include <gtest/gtest.h>

#include <filesystem>

using namespace korvan;
using namespace korvan::testing;

namespace {

const std::filesystem::path shippedData = std::filesystem::path(KORVAN_BINARY).parent_path() / "data";

// Pixels of exactly one colour in a BMP file; -1 when it cannot be read.
int pixelsOf(const std::filesystem::path& bmp, SDL_Color colour) {
    const SurfaceHandle loaded(SDL_LoadBMP(bmp.string().c_str()));
    if (!loaded) {
        return -1;
    }
    const SurfaceHandle argb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    const Uint32 wanted = 0xff000000u | Uint32(colour.r) << 16 | Uint32(colour.g) << 8 | colour.b;
    int count = 0;
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x) {
            count += (row[x] | 0xff000000u) == wanted ? 1 : 0;
        }
    }
    return count;
}

constexpr SDL_Color roadColour{218, 199, 150, 255};

} // namespace

// With --map the city list holds only the urban centres, so the shipped city files must fit both
// lists; the regional map is an operational map with roads, the world map given to --map a world map.
TEST(ShippedModes, TheRegionalAndTheWorldMapStartWithMap) {
    const ScratchDirectory dir("modes");
    const auto regional = runProgram("--map " + quoted(shippedData / "donau-wien.json") + " --screenshot " +
                                     quoted(dir / "regional.bmp"));
    ASSERT_EQ(regional.exitCode, 0) << regional.err;
    // Only the regional map has roads; they are drawn in their own colour across the map.
    EXPECT_GT(pixelsOf(dir / "regional.bmp", roadColour), 1000);

    const auto world =
        runProgram("--map " + quoted(shippedData / "world.json") + " --screenshot " + quoted(dir / "world.bmp"));
    ASSERT_EQ(world.exitCode, 0) << world.err;
    EXPECT_EQ(pixelsOf(dir / "world.bmp", roadColour), 0);
}
