// The derived-data cache on the shipped world: a hit gives the world deriving gives, every invalid
// file is passed over for deriving, and writing it fails quietly.
#include "core/files/content_hash.hpp"
#include "program_runner.hpp"
#include "world/world.hpp"
#include "world/world_cache.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace korvan;
using namespace korvan::testing;

namespace {

namespace fs = std::filesystem;

const fs::path shippedData = fs::path(KORVAN_SOURCE_DIR) / "data";
constexpr const char* identity = "test build 1";

WorldSources cachedSources(const fs::path& file, const char* programIdentity = identity) {
    WorldSources sources{shippedData, {}, false};
    sources.cacheFile = file;
    sources.programIdentity = programIdentity;
    return sources;
}

void expectSameMap(const Map& a, const Map& b) {
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    EXPECT_EQ(a.name(), b.name());
    EXPECT_TRUE(a.tileBytes() == b.tileBytes());
    EXPECT_EQ(a.sourceScaleX(), b.sourceScaleX());
    EXPECT_EQ(a.sourceScaleY(), b.sourceScaleY());
    ASSERT_EQ(a.rivers().size(), b.rivers().size());
    for (std::size_t k = 0; k < a.rivers().size(); ++k) {
        const RiverEdge& x = a.rivers()[k];
        const RiverEdge& y = b.rivers()[k];
        ASSERT_TRUE(x.a == y.a && x.b == y.b && x.widthClass == y.widthClass && x.bridge == y.bridge &&
                    x.cityCrossing == y.cityCrossing)
            << k;
        ASSERT_EQ(b.riverEdgeIndex(y.a, y.b), k);
        ASSERT_TRUE(std::ranges::equal(a.riverSources(k), b.riverSources(k))) << k;
    }
    EXPECT_TRUE(a.bridgeEdges() == b.bridgeEdges());
    EXPECT_TRUE(a.sourceRiverEdges().starts() == b.sourceRiverEdges().starts());
    EXPECT_TRUE(a.sourceRiverEdges().values() == b.sourceRiverEdges().values());
}

// Everything the cache holds, and what start-up derives from it afterwards.
void expectSameWorld(const LoadedWorld& derived, const LoadedWorld& cached) {
    const World& a = derived.world;
    const World& b = cached.world;
    expectSameMap(a.map, b.map);
    ASSERT_TRUE(a.playGrid && b.playGrid);
    expectSameMap(*a.playGrid, *b.playGrid);
    EXPECT_TRUE(a.riverNames.names() == b.riverNames.names());
    for (std::size_t k = 0; k < a.map.rivers().size(); ++k) {
        ASSERT_EQ(a.riverNames.at(k), b.riverNames.at(k)) << k;
    }
    EXPECT_TRUE(a.countryGrid.cells() == b.countryGrid.cells());
    for (std::size_t c = 0; c < a.countries.entries.size(); ++c) {
        ASSERT_EQ(a.countryGrid.rows(c), b.countryGrid.rows(c)) << c;
    }
    EXPECT_TRUE(a.cityFields == b.cityFields);
    EXPECT_EQ(a.cityCenters.size(), b.cityCenters.size());
    EXPECT_EQ(a.generation, b.generation);
    // The same bytes again: nothing the file holds was lost or changed on the way.
    EXPECT_TRUE(WorldCacheParts(a.map, a.riverNames, a.countries.entries.size(), a.countryGrid).finish(*a.playGrid) ==
                WorldCacheParts(b.map, b.riverNames, b.countries.entries.size(), b.countryGrid).finish(*b.playGrid));
}

std::string fileBytes(const fs::path& file) { return readFile(file); }

void putBytes(const fs::path& file, const std::string& bytes) {
    fs::remove_all(file);
    std::ofstream(file, std::ios::binary) << bytes;
}

// The shipped world loaded once without a cache, and the cache file it made.
struct Derived {
    ScratchDirectory dir{"world_cache"};
    fs::path file = dir / "world.bin";
    LoadedWorld world = World::load(cachedSources(file));
    std::string bytes;

    Derived() {
        writeWorldCache(file, world.cacheKey, world.cacheParts);
        bytes = readFile(file);
    }
};

Derived& derived() {
    static Derived d;
    return d;
}

TEST(WorldCache, AHitGivesExactlyTheDerivedWorld) {
    const Derived& d = derived();
    EXPECT_FALSE(d.world.fromCache);
    ASSERT_EQ(d.world.cacheParts.size(), 4u);
    std::string parts;
    for (const std::string& part : d.world.cacheParts) {
        parts += part;
    }
    EXPECT_TRUE(d.bytes == worldCacheHeader(d.world.cacheKey, d.world.cacheParts) + parts);
    const LoadedWorld cached = World::load(cachedSources(d.file));
    EXPECT_TRUE(cached.fromCache);
    EXPECT_TRUE(cached.cacheParts.empty()); // nothing to write again
    expectSameWorld(d.world, cached);
    ASSERT_EQ(cached.scenario.army.units().size(), d.world.scenario.army.units().size());
    for (std::size_t k = 0; k < cached.scenario.army.units().size(); ++k) {
        EXPECT_EQ(cached.scenario.army.units()[k].position, d.world.scenario.army.units()[k].position);
    }
}

TEST(WorldCache, EveryInvalidFileIsPassedOver) {
    const Derived& d = derived();
    const auto key = worldCacheKey(identity, readFile(shippedData / "world.json"), shippedData);
    ASSERT_TRUE(key);
    ASSERT_TRUE(WorldCache::open(d.file, *key));
    // Another program or other data: another key.
    EXPECT_NE(worldCacheKey("test build 2", readFile(shippedData / "world.json"), shippedData), key);
    std::string otherMap = readFile(shippedData / "world.json");
    otherMap.back() = otherMap.back() == '\n' ? ' ' : '\n';
    EXPECT_NE(worldCacheKey(identity, otherMap, shippedData), key);
    EXPECT_FALSE(WorldCache::open(d.file, *key + 1));
    EXPECT_FALSE(worldCacheKey(identity, "", shippedData / "missing"));

    const ScratchDirectory dir("world_cache_bad");
    const fs::path bad = dir / "world.bin";
    EXPECT_FALSE(WorldCache::open(bad, *key)); // missing
    for (const std::size_t size : {std::size_t(0), std::size_t(7), std::size_t(64), d.bytes.size() / 2, d.bytes.size() - 1}) {
        putBytes(bad, d.bytes.substr(0, size));
        EXPECT_FALSE(WorldCache::open(bad, *key)) << "truncated to " << size;
    }
    putBytes(bad, d.bytes + "x");
    EXPECT_FALSE(WorldCache::open(bad, *key)) << "longer";
    for (const std::size_t at : {std::size_t(0), std::size_t(9), std::size_t(40), std::size_t(64), d.bytes.size() - 1}) {
        std::string corrupt = d.bytes;
        corrupt[at] = static_cast<char>(corrupt[at] ^ 0x10);
        putBytes(bad, corrupt);
        EXPECT_FALSE(WorldCache::open(bad, *key)) << "byte " << at;
    }
    fs::remove(bad);
    fs::create_directories(bad);
    EXPECT_FALSE(WorldCache::open(bad, *key)) << "a folder";

    // A corrupt file start-up passes over: the world derived again, the file to be written anew.
    std::string corrupt = d.bytes;
    corrupt[corrupt.size() / 2] ^= 1;
    putBytes(bad, corrupt);
    const LoadedWorld again = World::load(cachedSources(bad));
    EXPECT_FALSE(again.fromCache);
    EXPECT_TRUE(again.cacheParts == d.world.cacheParts);
}

// A part that passes the checksum but does not decode (a file of a faulty program) is derived on
// its own; the others still come from the file.
TEST(WorldCache, APartThatDoesNotDecodeIsDerived) {
    const Derived& d = derived();
    std::vector<std::string> faulty = d.world.cacheParts;
    // The play grid's width, the first value of its part, far beyond any map.
    const std::int32_t width = -5;
    std::memcpy(faulty[1].data(), &width, sizeof width);
    const ScratchDirectory dir("world_cache_part");
    ASSERT_TRUE(writeWorldCache(dir / "world.bin", d.world.cacheKey, faulty));
    const LoadedWorld loaded = World::load(cachedSources(dir / "world.bin"));
    EXPECT_TRUE(loaded.fromCache);
    expectSameWorld(d.world, loaded);
    EXPECT_TRUE(loaded.cacheParts == d.world.cacheParts);
}

TEST(WorldCache, WritingIsWholeOrNothingAndQuietWhereItCannot) {
    const Derived& d = derived();
    const ScratchDirectory dir("world_cache_write");
    // The folder is made; an old file is replaced whole and no temporary file stays.
    const fs::path file = dir / "korvan" / "world.bin";
    ASSERT_TRUE(writeWorldCache(file, d.world.cacheKey, d.world.cacheParts));
    std::ofstream(file) << "old";
    ASSERT_TRUE(writeWorldCache(file, d.world.cacheKey, d.world.cacheParts));
    EXPECT_TRUE(fileBytes(file) == d.bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
    // A cache folder that cannot be made (a file stands in its place).
    std::ofstream(dir / "blocked") << "x";
    EXPECT_FALSE(writeWorldCache(dir / "blocked" / "korvan" / "world.bin", d.world.cacheKey, d.world.cacheParts));
    // A folder in the file's place.
    EXPECT_FALSE(writeWorldCache(dir / "korvan", d.world.cacheKey, d.world.cacheParts));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(WorldCache, TheFolderFollowsXdgCacheHome) {
    const char* saved = std::getenv("XDG_CACHE_HOME");
    const std::string before = saved ? saved : "";
    ::setenv("XDG_CACHE_HOME", "/var/tmp/elsewhere", 1);
    EXPECT_EQ(userCacheDirectory(), fs::path("/var/tmp/elsewhere/korvan"));
    ::setenv("XDG_CACHE_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    EXPECT_EQ(userCacheDirectory(), home ? fs::path(home) / ".cache" / "korvan" : fs::path());
    if (saved) {
        ::setenv("XDG_CACHE_HOME", before.c_str(), 1);
    } else {
        ::unsetenv("XDG_CACHE_HOME");
    }
}

} // namespace

TEST(ContentHash, EveryByteAndTheLengthCount) {
    std::string text(100, 'a');
    std::vector<std::uint64_t> seen;
    for (std::size_t n = 0; n <= text.size(); ++n) {
        seen.push_back(contentHash(std::string_view(text).substr(0, n)));
    }
    for (std::size_t k = 0; k < text.size(); ++k) {
        std::string changed = text;
        changed[k] = 'b';
        seen.push_back(contentHash(changed));
    }
    seen.push_back(contentHash(text, 1));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}
