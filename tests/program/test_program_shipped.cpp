// korvan.bin on the shipped data in every start-up mode, and installed under its own prefix.
#include "program_runner.hpp"
#include "sdl/sdl_handles.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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

// `cmake --install` into a scratch DESTDIR: executable, data and notices in one directory, the
// launcher where Debian puts games, the desktop entry and its icon, the manual page and the
// changelog compressed; the installed program starts headless.
TEST(InstalledProgram, StartsThroughItsLauncherOnItsOwnData) {
    const ScratchDirectory root("install");
    const std::string install = "DESTDIR=" + quoted(root.path()) + " " + quoted(KORVAN_CMAKE) + " --install " +
                                quoted(std::filesystem::path(KORVAN_BINARY).parent_path()) +
                                " --prefix /opt/korvan > /dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    const auto prefix = root / "opt/korvan";
    const auto home = prefix / "lib/korvan";
    for (const char* file : {"korvan.bin", "data/world.json", "data/donau-wien.json", "data/flags.bmp", "NOTICE"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(home / file)) << file;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(prefix / "games/korvan"));
    EXPECT_FALSE(std::filesystem::exists(prefix / "bin"));
    for (const char* file : {"share/man/man6/korvan.6.gz", "share/doc/korvan/changelog.gz"}) {
        EXPECT_EQ(readFile(prefix / file).substr(0, 2), "\x1f\x8b") << file; // gzip's magic
    }
    // The data's notices, and Debian's copyright file, which states them per file.
    for (const auto& path : {home / "NOTICE", prefix / "share/doc/korvan/copyright"}) {
        const std::string notice = readFile(path);
        for (const char* attribution : {"Made with Natural Earth", "2013 Panayiotis Lipiridis", "2026 Cody Savage",
                                        "STATISTIK AUSTRIA", "CC BY 4.0", "ETOPO5", "MCD12C1"}) {
            EXPECT_NE(notice.find(attribution), std::string::npos) << attribution << " in " << path;
        }
    }
    const std::string desktop = readFile(prefix / "share/applications/korvan.desktop");
    EXPECT_NE(desktop.find("\nExec=korvan\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nIcon=korvan\n"), std::string::npos);
    EXPECT_EQ(readFile(prefix / "share/icons/hicolor/256x256/apps/korvan.png").substr(1, 3), "PNG");

    const auto shot = root / "start.bmp";
    const auto run = runProgram("--screenshot " + quoted(shot), prefix / "games/korvan");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GT(std::filesystem::file_size(shot), 1000000u);
    // The launcher leads to the installed data, not to the build's.
    std::filesystem::remove(home / "data/urban.json");
    const auto broken = runProgram("--screenshot " + quoted(shot), prefix / "games/korvan");
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("korvan: Stadtgebiete fehlen: " + (home / "data/urban.json").string()), std::string::npos)
        << broken.err;
}

// The first start derives the world and fills the cache, the next one starts from it: the same
// first frame to the byte. A cache folder that cannot be written costs nothing but the cache.
TEST(ShippedModes, AStartFromTheCacheDrawsTheSameFirstFrame) {
    const ScratchDirectory dir("cache_start");
    const char* saved = std::getenv("XDG_CACHE_HOME");
    const std::string before = saved ? saved : "";
    ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    const auto cold = runProgram("--screenshot " + quoted(dir / "cold.bmp"));
    const auto cacheFile = dir / "cache" / "korvan" / "world.bin";
    const bool written = std::filesystem::is_regular_file(cacheFile);
    const auto warm = runProgram("--screenshot " + quoted(dir / "warm.bmp"));
    // A file where the cache folder would be made.
    std::filesystem::create_directories(dir / "blocked");
    std::ofstream(dir / "blocked" / "korvan") << "x";
    ::setenv("XDG_CACHE_HOME", (dir / "blocked").c_str(), 1);
    const auto blocked = runProgram("--screenshot " + quoted(dir / "blocked.bmp"));
    if (saved) {
        ::setenv("XDG_CACHE_HOME", before.c_str(), 1);
    } else {
        ::unsetenv("XDG_CACHE_HOME");
    }
    ASSERT_EQ(cold.exitCode, 0) << cold.err;
    EXPECT_TRUE(written);
    ASSERT_EQ(warm.exitCode, 0) << warm.err;
    // The cache is silent: the same log lines in every run.
    const auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    EXPECT_EQ(lines(warm.err), lines(cold.err)) << warm.err;
    EXPECT_EQ(lines(blocked.err), lines(cold.err)) << blocked.err;
    EXPECT_TRUE(readFile(dir / "warm.bmp") == readFile(dir / "cold.bmp"));
    ASSERT_EQ(blocked.exitCode, 0) << blocked.err;
    EXPECT_TRUE(readFile(dir / "blocked.bmp") == readFile(dir / "cold.bmp"));
}
