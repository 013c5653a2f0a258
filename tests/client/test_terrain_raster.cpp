// The CPU terrain rasteriser against SDL's own software triangles, the atlas levels and scrolling.
#include "shell/client.hpp"
#include "headless_renderer.hpp"
#include "map_fixtures.hpp"
#include "kit/primitives.hpp"
#include "cpu/terrain_cpu.hpp"
#include "cpu/terrain_raster.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace korvan;
using korvan::testing::HeadlessRenderer;
using korvan::testing::sameColor;

namespace {

// A 64 x 64 texture whose texel (x, y) encodes its own position.
TexelImage positionTexture() {
    TexelImage image;
    image.width = 64;
    image.height = 64;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            image.pixels.push_back(0xFF000000u | std::uint32_t(x * 4) << 16 | std::uint32_t(y * 4) << 8);
        }
    }
    return image;
}

// Two fans side by side with a skewed texture mapping: a hexagon around a centre vertex, then a
// quadrilateral that shares the hexagon's right edge.
void addShapes(std::vector<SDL_Vertex>& vertices, std::vector<int>& indices) {
    const SDL_Color white{255, 255, 255, 255};
    const auto uv = [](Point p) { return Point{(p.x * 0.9 + p.y * 0.2) / 120, (p.y * 0.8 - p.x * 0.1 + 10) / 100}; };
    const Point centre{40.3, 45.2};
    vertices.push_back(vertex(centre, white, uv(centre)));
    for (int k = 0; k < 6; ++k) {
        const double a = (60.0 * k - 90) * 3.141592653589793 / 180;
        const Point p{centre.x + 30 * std::cos(a), centre.y + 34 * std::sin(a)};
        vertices.push_back(vertex(p, white, uv(p)));
    }
    for (int k = 0; k < 6; ++k) {
        indices.insert(indices.end(), {0, 1 + k, 1 + (k + 1) % 6});
    }
    // Corners 1 and 2 of the hexagon (top and upper right) continue to the right.
    const std::array<Point, 4> quad{{{vertices[1].position.x, vertices[1].position.y},
                                     {90.7, 8.1},
                                     {92.2, 40.9},
                                     {vertices[2].position.x, vertices[2].position.y}}};
    const int base = static_cast<int>(vertices.size());
    for (const Point p : quad) {
        vertices.push_back(vertex(p, white, uv(p)));
    }
    indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
}

} // namespace

TEST(TerrainRaster, MatchesSdlTrianglesWithoutSeams) {
    const TexelImage texture = positionTexture();
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
    addShapes(vertices, indices);

    const SDL_Rect area{0, 0, 100, 90};
    std::vector<std::uint32_t> ours(std::size_t(area.w) * area.h, 0);
    rasterTriangles(vertices, indices, texture, {ours, area, area});

    HeadlessRenderer screen(area.w, area.h);
    const SurfaceHandle surface(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(texture.pixels.data()),
                                                                   64, 64, 32, 64 * 4, SDL_PIXELFORMAT_ARGB8888));
    const TextureHandle sdlTexture(SDL_CreateTextureFromSurface(screen.get(), surface.get()));
    ASSERT_TRUE(sdlTexture);
    SDL_SetTextureBlendMode(sdlTexture.get(), SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(screen.get(), 0, 0, 0, 255);
    SDL_RenderClear(screen.get());
    drawGeometry(screen.get(), sdlTexture.get(), vertices, indices);
    SDL_RenderFlush(screen.get());

    // SDL snaps corners to half pixels, so only pixels inside SDL's picture with all four neighbours
    // inside too are compared: every one of them must be drawn (the shared edge included). The snap
    // also shifts SDL's texture mapping a little: texels agree within two, nearly all within one.
    const auto sdlDrew = [&](int x, int y) {
        const SDL_Color c = screen.pixel(x, y);
        return c.r != 0 || c.g != 0;
    };
    int covered = 0;
    int close = 0;
    for (int y = 1; y + 1 < area.h; ++y) {
        for (int x = 1; x + 1 < area.w; ++x) {
            if (!sdlDrew(x, y) || !sdlDrew(x - 1, y) || !sdlDrew(x + 1, y) || !sdlDrew(x, y - 1) ||
                !sdlDrew(x, y + 1)) {
                continue;
            }
            ++covered;
            const std::uint32_t mine = ours[std::size_t(y) * area.w + x];
            const SDL_Color theirs = screen.pixel(x, y);
            ASSERT_NE(mine, 0u) << "gap at " << x << ", " << y;
            const int du = std::abs(int((mine >> 16) & 0xFF) - theirs.r) / 4;
            const int dv = std::abs(int((mine >> 8) & 0xFF) - theirs.g) / 4;
            ASSERT_LE(std::max(du, dv), 2) << x << ", " << y;
            close += std::max(du, dv) <= 1;
        }
    }
    EXPECT_GT(close, covered * 9 / 10);
    EXPECT_GT(covered, 3000);

    // Rows are independent: the picture painted in bands (as two threads do) is the same.
    std::vector<std::uint32_t> banded(ours.size(), 0);
    for (int y = 0; y < area.h; y += 13) {
        rasterTriangles(vertices, indices, texture, {banded, area, {0, y, area.w, std::min(13, area.h - y)}});
    }
    EXPECT_EQ(banded, ours);
}

TEST(TerrainRaster, AtlasLevelsAverageAndFitTheCellSize) {
    TexelImage full;
    full.width = 1024;
    full.height = 768;
    full.pixels.assign(std::size_t(1024) * 768, 0xFF000000u);
    full.pixels[0] = 0xFF0000FFu;    // one blue texel in the top-left 2 x 2 block
    full.pixels[1025] = 0xFF0000FFu; // and its diagonal neighbour
    const AtlasLevels atlas = buildAtlasLevels(std::move(full));
    ASSERT_EQ(atlas.levels.size(), 5u);
    EXPECT_EQ(atlas.levels[1].width, 512);
    EXPECT_EQ(atlas.levels[4].height, 48);
    EXPECT_EQ(atlas.levels[1].pixels[0], 0xFF000080u); // (255 + 255 + 0 + 0 + 2) / 4
    // A cell of 256 texels at level 0, 128 at level 1, ... : the smallest not smaller than the field.
    EXPECT_EQ(&atlas.forCellSize(300), &atlas.levels[0]);
    EXPECT_EQ(&atlas.forCellSize(129), &atlas.levels[0]);
    EXPECT_EQ(&atlas.forCellSize(128), &atlas.levels[1]);
    EXPECT_EQ(&atlas.forCellSize(40), &atlas.levels[2]);
    EXPECT_EQ(&atlas.forCellSize(3), &atlas.levels[4]);
}

// A pan by whole pixels scrolls the software renderer's terrain raster and redraws only the strips
// that came into view; the picture must be the one a full redraw gives. Positions shifted by whole
// pixels can round differently in the last bit, so a handful of edge pixels may differ.
TEST(TerrainRaster, ScrolledPictureMatchesAFullRedraw) {
    std::vector<std::string> rows(36, "f72");
    for (int r = 12; r < 18; ++r) {
        rows[std::size_t(r)] = "h30w12a30";
    }
    HeadlessRenderer screen(800, 600);
    Client client(korvan::testing::mapFromJson(korvan::testing::compactWorld(72, rows)));
    client.view.width = 800;
    client.view.height = 600;
    client.mapView.images().terrainArt.load(screen.get(), std::filesystem::path(KORVAN_SOURCE_DIR) / "data");
    client.view.centerOn(hexCenter({30, 15}), 20);
    ASSERT_TRUE(terrainOnCpu(client.mapView.frame(screen.get())));
    TerrainScratch scratch;
    renderPlayGridOnCpu(client.mapView.frame(screen.get()), scratch);
    client.view.camera.x += 37;
    client.view.camera.y -= 11;
    renderPlayGridOnCpu(client.mapView.frame(screen.get()), scratch);
    const std::vector<std::uint32_t> scrolled = scratch.picture.pixels;
    scratch.key.reset();
    renderPlayGridOnCpu(client.mapView.frame(screen.get()), scratch);
    const std::vector<std::uint32_t>& full = scratch.picture.pixels;
    ASSERT_EQ(scrolled.size(), full.size());
    std::size_t differing = 0;
    for (std::size_t k = 0; k < full.size(); ++k) {
        differing += scrolled[k] != full[k];
    }
    EXPECT_LT(differing, full.size() / 1000);
    // The strips that came into view are drawn, not left at the background.
    const SDL_Rect area = toSdl(client.view.mapClip());
    EXPECT_EQ(scrolled[std::size_t(area.h / 2) * area.w + 5], full[std::size_t(area.h / 2) * area.w + 5]);
    EXPECT_EQ(scrolled[std::size_t(area.h - 3) * area.w + 400], full[std::size_t(area.h - 3) * area.w + 400]);
}

TEST(TerrainRaster, SharedCanvasDrawsWhatTheLayersDrawApart) {
    // Land with a lake band and a river across it. Close in, terrain and rivers share one canvas;
    // further out the overview, the outline and the rivers share the rivers' picture; with the lakes
    // between them, the outline and the rivers alone. One view zooms through all three and back.
    std::vector<std::string> rows(36, "f72");
    for (int r = 12; r < 18; ++r) {
        rows[std::size_t(r)] = "h30w6a36";
    }
    nlohmann::json world = korvan::testing::compactWorld(72, rows);
    for (int q = 20; q < 34; ++q) {
        world["river_edges"].push_back({{"a", {{"q", q}, {"r", 15}}}, {"b", {{"q", q}, {"r", 16}}}, {"width_class", 3}});
    }
    HeadlessRenderer shared(800, 600);
    HeadlessRenderer apart(800, 600);
    Client one(korvan::testing::mapFromJson(world));
    Client other(korvan::testing::mapFromJson(world));
    const auto data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    one.mapView.images().terrainArt.load(shared.get(), data);
    other.mapView.images().terrainArt.load(apart.get(), data);
    for (const double scale : {20.0, 6.0, 9.0, 6.0}) {
        for (auto* c : {&one, &other}) {
            c->view.width = 800;
            c->view.height = 600;
            c->view.mouse = {-50, -50};
            c->view.centerOn(hexCenter({30, 15}), scale);
        }
        std::size_t riverPixels = 0;
        for (const Point pan : {Point{0, 0}, Point{37, -11}, Point{-6, 19}}) {
            for (auto* c : {&one, &other}) {
                c->view.camera.x += pan.x;
                c->view.camera.y += pan.y;
            }
            one.mapView.draw(shared.get());
            const Frame f = other.mapView.frame(apart.get());
            ASSERT_EQ(f.canvas, nullptr);
            ASSERT_EQ(terrainOnCpu(f), scale >= 14);
            SDL_SetRenderDrawColor(apart.get(), 0, 0, 0, 255);
            SDL_RenderClear(apart.get());
            SDL_RenderSetClipRect(apart.get(), &f.mapClip);
            other.mapView.terrain().draw(f);
            other.mapView.borders().draw(f);
            other.mapView.rivers().draw(f);
            std::size_t differing = 0;
            for (int y = f.mapClip.y; y < f.mapClip.y + f.mapClip.h; ++y) {
                for (int x = f.mapClip.x; x < f.mapClip.x + f.mapClip.w; ++x) {
                    const SDL_Color a = shared.pixel(x, y);
                    differing += !sameColor(a, apart.pixel(x, y));
                    riverPixels += sameColor(a, {47, 133, 169, 255});
                }
            }
            EXPECT_EQ(differing, 0u) << scale << ": " << pan.x << ", " << pan.y;
        }
        EXPECT_GT(riverPixels, 100u) << scale;
    }
}
