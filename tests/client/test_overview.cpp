// The world overview raster, the river raster and the minimap.
#include "shell/client.hpp"
#include "map_fixtures.hpp"
#include "overview/overview_raster.hpp"
#include "cpu/river_raster.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvan;
using namespace korvan::testing;

namespace {

// A wrapping world of every terrain in a scattered pattern, so neighbouring fields differ.
nlohmann::json mixedWorld(int width, int height) {
    std::vector<std::string> rows;
    for (int r = 0; r < height; ++r) {
        std::string row;
        for (int c = 0; c < width; ++c) {
            row += terrainCodes[std::size_t((c * 7 + r * 3 + c * r) % terrainCount)];
            row += '1';
        }
        rows.push_back(row);
    }
    return compactWorld(width, rows);
}

// The same scattered pattern on an operational map that does not wrap.
Map mixedRegion(int width, int height) {
    nlohmann::json tiles = nlohmann::json::array();
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const auto t = static_cast<Terrain>((c * 7 + r * 3 + c * r) % terrainCount);
            tiles.push_back({{"q", c - r / 2}, {"r", r}, {"terrain", std::string(terrainId(t))}});
        }
    }
    return mapFromJson({{"schema_version", 1}, {"width", width}, {"height", height}, {"name", "Region"},
                        {"layout", "odd-r"}, {"wrap_horizontal", false}, {"tiles", tiles},
                        {"river_edges", nlohmann::json::array()}});
}

// The mixed world with river sides of every width class, some bridged.
nlohmann::json riverWorld() {
    nlohmann::json d = mixedWorld(24, 12);
    const auto land = [](int c, int r) {
        return terrainCodes[std::size_t((c * 7 + r * 3 + c * r) % terrainCount)] != 'w';
    };
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 24; ++c) {
            const int q = c - r / 2;
            const int kind = (c * 5 + r * 3) % 4;
            if (kind < 2 && (kind == 0 || r + 1 < 12)) {
                const Hex b = kind == 0 ? Hex{q + 1, r} : Hex{q, r + 1};
                const int column = b.q + b.r / 2;
                if (column >= 24) {
                    continue;
                }
                const bool bridge = c % 7 == 0 && land(c, r) && land(column, b.r);
                d["river_edges"].push_back({{"a", {{"q", q}, {"r", r}}},
                                            {"b", {{"q", b.q}, {"r", b.r}}},
                                            {"width_class", c % 3 + 1},
                                            {"bridge", bridge}});
            }
        }
    }
    return d;
}

OverviewView viewOf(const Client& client, int width, int height) {
    return {client.world.map, client.world.gameMap(), client.view.camera, client.view.gameCamera(), width, height,
            topbarHeight};
}

std::vector<std::uint32_t> fullRaster(const Client& client, int width, int height) {
    std::vector<std::uint32_t> pixels;
    rasterOverview(viewOf(client, width, height), pixels);
    return pixels;
}

// The overview's colour rule for one pixel, sampled on its own without runs.
std::uint32_t referencePixel(const Client& client, int x, int y) {
    const Point screen{x + 0.5, topbarHeight + y + 0.5};
    const auto f = client.world.map.canonical(worldToHex(client.view.camera.toWorld(screen)));
    if (!f) {
        return noFieldPixel;
    }
    Terrain t = client.world.map.terrainAt(*f);
    if (t != Terrain::Water) {
        if (const auto e = client.world.gameMap().canonical(worldToHex(client.view.gameCamera().toWorld(screen)))) {
            t = fieldLandTerrain(client.world.gameMap(), *e);
        }
    }
    return terrainPixel(t == Terrain::City ? Terrain::Plain : t);
}

// How many pixels of a raster of the map area break the one-pixel rule.
int wrongPixels(const Client& client, const std::vector<std::uint32_t>& pixels, int width, int height) {
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            wrong += pixels[std::size_t(y * width + x)] != referencePixel(client, x, y);
        }
    }
    return wrong;
}

struct SoftwareTarget {
    SurfaceHandle surface;
    RendererHandle renderer;

    SoftwareTarget(int width, int height)
        : surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888)),
          renderer(surface ? SDL_CreateSoftwareRenderer(surface.get()) : nullptr) {}

    std::uint32_t at(int x, int y) const {
        const auto* pixels = static_cast<const std::uint32_t*>(surface->pixels);
        return pixels[std::size_t(y) * std::size_t(surface->pitch / 4) + std::size_t(x)];
    }
    void clear() const {
        SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, 255);
        SDL_RenderClear(renderer.get());
    }
};

} // namespace

TEST(OverviewRaster, RunsColourEveryPixelLikeItsOwnSample) {
    Client client(mapFromJson(mixedWorld(24, 12)));
    // Large enough to be filled by two threads, whose halves meet within a band of repeated rows.
    const int w = 700;
    const int h = 330;
    // Far view (every pixel sampled) and a near one (runs), both across the wrap seam.
    for (const double scale : {1.3, 9.0}) {
        client.view.camera = {-0.37 * w, 150.3, scale, 0.93, 1.21};
        const auto pixels = fullRaster(client, w, h);
        EXPECT_EQ(wrongPixels(client, pixels, w, h), 0) << "scale " << scale;
        EXPECT_NE(std::count(pixels.begin(), pixels.end(), noFieldPixel), 0); // the view reaches past row 0
    }
}

// Rows of fields worked out together hold at the far ends: a copy of the world every two pixels,
// a view thousands of periods from the first copy, and a map that does not wrap.
TEST(OverviewRaster, WholeRowsHoldForManyCopiesFarOffsetsAndUnwrappedMaps) {
    for (const bool wraps : {true, false}) {
        Client client(wraps ? mapFromJson(mixedWorld(24, 12)) : mixedRegion(24, 12));
        const int w = 300;
        const int h = 40;
        for (Camera camera : {Camera{3.3, 0, 0.05, 0.93, 1.21}, Camera{-4.1e6, 0, 1.7, 1, 1},
                              Camera{2.5e6, 0, 6.2, 1.1, 0.9}}) {
            camera.y = topbarHeight + 0.3 * h - 8 * camera.scale * camera.verticalScale; // row 5 or so a third down
            client.view.camera = camera;
            const auto pixels = fullRaster(client, w, h);
            EXPECT_EQ(wrongPixels(client, pixels, w, h), 0) << "wraps " << wraps << " camera x " << camera.x << " scale " << camera.scale;
            const auto fields = w * h - std::count(pixels.begin(), pixels.end(), noFieldPixel);
            EXPECT_EQ(fields != 0, wraps || camera.scale < 1); // off the map in the west and east without wrapping
        }
    }
}

TEST(OverviewRaster, PanReusesThePreviousRaster) {
    Client client(mapFromJson(mixedWorld(24, 12)));
    const int w = 200;
    const int h = 120;
    client.view.camera = {123.456, 40.7, 7.3, 0.93, 1.21};
    const auto before = fullRaster(client, w, h);
    const Camera old = client.view.camera;
    client.view.camera.x += 10;
    client.view.camera.y -= 3;
    const auto shift = overviewShift(old, client.view.camera, w, h);
    ASSERT_TRUE(shift);
    EXPECT_EQ(shift->x, 10);
    EXPECT_EQ(shift->y, -3);

    // The raster stays where it is, its origin moves: a pan that crosses the seam of the stored rows
    // and columns, and the next one, show what full builds show.
    std::vector<std::uint32_t> stored(before.size());
    PixelRing ring{stored, w, h, {5, 119}}; // after the pans the new strips lie across the seams
    for (int y = 0; y < h; ++y) {
        storeRow(ring, y, 0, w, before.data() + std::size_t(y) * std::size_t(w));
    }
    const auto picture = [&] {
        std::vector<std::uint32_t> rows;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                rows.push_back(ring.at(x, y));
            }
        }
        return rows;
    };
    ring.origin = ring.movedBy(shift->x, shift->y);
    rasterUncovered(viewOf(client, w, h), *shift, ring);
    EXPECT_EQ(picture(), fullRaster(client, w, h));
    client.view.camera.x -= 17;
    client.view.camera.y += 9;
    ring.origin = ring.movedBy(-17, 9);
    rasterUncovered(viewOf(client, w, h), {-17, 9}, ring);
    EXPECT_EQ(picture(), fullRaster(client, w, h));

    // Only a 10-column and a 3-row strip are sampled; the rest stays as it was.
    std::vector<std::uint32_t> marked(before.size(), 0xdeadbeefu);
    rasterUncovered(viewOf(client, w, h), PixelShift{10, 3}, PixelRing{marked, w, h, {7, 100}});
    EXPECT_EQ(std::count_if(marked.begin(), marked.end(), [](std::uint32_t p) { return p != 0xdeadbeefu; }),
              10 * h + 3 * w - 10 * 3);

    Camera half = old;
    half.x += 10.5;
    EXPECT_FALSE(overviewShift(old, half, w, h));
    Camera zoomed = old;
    zoomed.scale *= 1.15;
    EXPECT_FALSE(overviewShift(old, zoomed, w, h));
    Camera far = old;
    far.x += w;
    EXPECT_FALSE(overviewShift(old, far, w, h));
}

TEST(RiverRaster, LinesTakeTheWidthColourAndBridgesMarkTheirMiddle) {
    nlohmann::json d = uniformWorld(8, 6);
    d["river_edges"] = nlohmann::json::array(
        {{{"a", {{"q", 2}, {"r", 2}}}, {"b", {{"q", 3}, {"r", 2}}}, {"width_class", 3}, {"bridge", true}},
         {{"a", {{"q", 1}, {"r", 4}}}, {"b", {{"q", 1}, {"r", 3}}}, {"width_class", 2}}});
    const Map map = mapFromJson(d);
    const SDL_Rect target{5, 7, 200, 150};
    std::vector<std::uint32_t> pixels(std::size_t(target.w * target.h), 0);
    const auto project = [](Point p) { return Point{p.x * 10, p.y * 10}; };
    rasterRivers(map, {0, -1}, {map.period(), 20}, project, target, pixels);
    const auto at = [&](Point world) {
        const Point p = project(world);
        return pixels[std::size_t((roundHalfAway(p.y) - target.y) * target.w + roundHalfAway(p.x) - target.x)];
    };
    const RiverSegment bridged = riverBoundary(map, map.rivers()[0]);
    EXPECT_EQ(at((bridged.a + bridged.b) * 0.5), bridgePixel);
    EXPECT_EQ(at(bridged.a), riverPixelWide);
    EXPECT_EQ(at(bridged.b), riverPixelWide);
    const RiverSegment plain = riverBoundary(map, map.rivers()[1]);
    EXPECT_EQ(at(plain.a), riverPixelMedium);
    EXPECT_EQ(at(plain.b), riverPixelMedium);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), bridgePixel), 1);

    // The minimap shows the same bridge.
    const WorldOverview mini{map.period(), map.worldExtent().y, {1024, 125, miniWidth, miniHeight}};
    const auto small = rasterMinimap(map, map, mini);
    const Point m = mini.toMini((bridged.a + bridged.b) * 0.5);
    EXPECT_EQ(small[std::size_t((roundHalfAway(m.y) - 125) * miniWidth + roundHalfAway(m.x) - 1024)], bridgePixel);
}

TEST(RiverRaster, PackedSidesMatchTheirBoundaryAndFarOnesAreTheirMiddlePixel) {
    nlohmann::json d = uniformWorld(8, 6);
    d["river_edges"] = nlohmann::json::array(
        {{{"a", {{"q", 2}, {"r", 2}}}, {"b", {{"q", 2}, {"r", 3}}}, {"width_class", 2}},
         {{"a", {{"q", 7}, {"r", 1}}}, {"b", {{"q", 0}, {"r", 1}}}, {"width_class", 3}, {"bridge", true}}, // seam
         {{"a", {{"q", 1}, {"r", 4}}}, {"b", {{"q", 0}, {"r", 4}}}, {"width_class", 1}}});
    const Map map = mapFromJson(d);
    RiverIndex index;
    index.build(map);
    ASSERT_TRUE(index.covers(map));
    for (std::size_t i = 0; i < map.rivers().size(); ++i) {
        const RiverSegment want = riverBoundary(map, map.rivers()[i]);
        const RiverSegment got = index.sides()[i].corners();
        EXPECT_NEAR(got.a.x, want.a.x, 1e-9);
        EXPECT_NEAR(got.a.y, want.a.y, 1e-9);
        EXPECT_NEAR(got.b.x, want.b.x, 1e-9);
        EXPECT_NEAR(got.b.y, want.b.y, 1e-9);
        EXPECT_NEAR(index.sides()[i].middle().x, (want.a.x + want.b.x) * 0.5, 1e-9);
        EXPECT_NEAR(index.sides()[i].middle().y, (want.a.y + want.b.y) * 0.5, 1e-9);
    }
    // A unit is 0.8 pixels: each copy of a side is the one pixel of its middle, the wrap seam's copies too.
    const SDL_Rect target{0, 0, 40, 12};
    const auto project = [](Point p) { return Point{p.x * 0.8 + 3, p.y * 0.8 + 2}; };
    std::vector<std::uint32_t> pixels(std::size_t(target.w * target.h), 0);
    rasterRivers(map, {-3.75, -2.5}, {46.25, 12.5}, project, target, pixels, {}, &index);
    std::vector<std::uint32_t> expected(pixels.size(), 0);
    for (int k = -1; k <= 3; ++k) {
        for (std::size_t i = 0; i < map.rivers().size(); ++i) {
            const RiverSegment s = riverBoundary(map, map.rivers()[i]);
            const Point m = project((s.a + s.b) * 0.5 + Point{k * map.period(), 0});
            const int x = int(roundHalfAway(m.x));
            const int y = int(roundHalfAway(m.y));
            if (x >= 0 && x < target.w && y >= 0 && y < target.h) {
                const RiverEdge& e = map.rivers()[i];
                expected[std::size_t(y * target.w + x)] = e.bridge ? bridgePixel : riverPixel(e.widthClass);
            }
        }
    }
    EXPECT_EQ(pixels, expected);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), bridgePixel), 4); // the seam side, a period (11 pixels) apart
}

// A far view whose west or east edge, widened by a unit, falls right on a copy of a side's middle
// draws that copy, wherever the division by the period rounds; a hair further out it is left out.
TEST(RiverRaster, FarDotsOnTheViewsEdges) {
    nlohmann::json d = uniformWorld(8, 6);
    d["river_edges"] = nlohmann::json::array({{{"a", {{"q", 2}, {"r", 2}}}, {"b", {{"q", 3}, {"r", 2}}}}});
    const Map map = mapFromJson(d);
    RiverIndex index;
    index.build(map);
    const Point middle = index.sides()[0].middle();
    const SDL_Rect target{0, 0, 40, 12};
    const double unit = 0.8; // a period is 11 pixels: the raster shows four copies
    const std::size_t row = std::size_t(roundHalfAway(middle.y * unit)) * std::size_t(target.w);
    for (const bool west : {true, false}) {
        for (const int copy : {-3, -1, 0, 1, 4}) {
            for (const double beyond : {0.0, 1e-9}) {
                // The copy lies a unit beyond the edge, in the raster's first or last column.
                const double at = middle.x + copy * map.period();
                const double column = west ? 0.2 : target.w - 0.7;
                const auto project = [&](Point p) { return Point{(p.x - at) * unit + column, p.y * unit}; };
                const Point lo{west ? at + 1 + beyond : at - column / unit, 0};
                const Point hi{west ? at + (target.w - column) / unit : at - 1 - beyond, target.h / unit};
                std::vector<std::uint32_t> pixels(std::size_t(target.w * target.h), 0);
                rasterRivers(map, lo, hi, project, target, pixels, {}, &index);
                const std::size_t edge = row + (west ? 0 : std::size_t(target.w - 1));
                EXPECT_EQ(pixels[edge], beyond == 0 ? riverPixel(1) : 0u)
                    << (west ? "west" : "east") << ", copy " << copy << ", beyond " << beyond;
                EXPECT_EQ(std::count(pixels.begin(), pixels.end(), riverPixel(1)), beyond == 0 ? 4 : 3);
            }
        }
    }
}

// Far out, two threads place the dots of a world crowded with sides, and many sides in a row share
// a pixel: the raster still shows every copy of every side as the pixel of its middle, set in list
// order so that a later side's colour wins, also when only the marked sides are drawn outside a kept part.
TEST(RiverRaster, FarDotsKeepListOrderOnEveryCopy) {
    const int w = 300;
    const int h = 160;
    nlohmann::json d = uniformWorld(w, h);
    auto& edges = d["river_edges"];
    for (int row = 0; row + 1 < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const int q = col - row / 2;
            const int down = (q + (row + 1) / 2) % w - (row + 1) / 2; // the south-east neighbour, on the map
            for (const auto& [bq, br] : {std::pair{(col + 1) % w - row / 2, row}, std::pair{down, row + 1}}) {
                edges.push_back({{"a", {{"q", q}, {"r", row}}},
                                 {"b", {{"q", bq}, {"r", br}}},
                                 {"width_class", 1 + (col / 7 + row) % 3},
                                 {"bridge", (col * 5 + row) % 13 == 0}});
            }
        }
    }
    const Map map = mapFromJson(d);
    ASSERT_GT(map.rivers().size(), 90'000u);
    RiverIndex index;
    index.build(map);
    // 0.09 pixels a unit: a period is about 47 pixels, so the raster shows three copies and a bit,
    // and the map's rows fill it from top to bottom.
    const SDL_Rect target{0, 0, 150, 24};
    const Point zero{-20.25, 1.5};
    const double unit = 0.09;
    const auto project = [&](Point p) { return Point{zero.x + p.x * unit, zero.y + p.y * unit}; };
    const Point lo{-zero.x / unit, -zero.y / unit};
    const Point hi{(target.w - zero.x) / unit, (target.h - zero.y) / unit};
    const auto expect = [&](PixelKeep keep, std::vector<std::uint32_t> pixels) {
        for (std::size_t i = 0; i < map.rivers().size(); ++i) {
            const PackedSide& side = index.sides()[i];
            const Point m = side.middle();
            if (lo.y > side.bottom() || hi.y < side.top()) {
                continue;
            }
            for (int k = -4; k <= 6; ++k) {
                const double copy = m.x + k * map.period();
                if (lo.x > copy + 1 || hi.x < copy - 1) {
                    continue;
                }
                const int x = int(std::floor(zero.x + m.x * unit + k * (map.period() * unit) + 0.5));
                const int y = int(std::floor(zero.y + m.y * unit + 0.5));
                const int size = side.widthClass >= 3 && !side.bridge ? 2 : 1;
                for (int dy = 0; dy < size; ++dy) {
                    for (int dx = 0; dx < size; ++dx) {
                        if (x + dx >= 0 && x + dx < target.w && y + dy >= 0 && y + dy < target.h &&
                            !keep.holds(x + dx, y + dy)) {
                            pixels[std::size_t((y + dy) * target.w + x + dx)] =
                                side.bridge ? bridgePixel : riverPixel(side.widthClass);
                        }
                    }
                }
            }
        }
        return pixels;
    };
    const std::vector<std::uint32_t> blank(std::size_t(target.w * target.h), 0);
    std::vector<std::uint32_t> pixels = blank;
    rasterRivers(map, lo, hi, project, target, pixels, {}, &index);
    EXPECT_EQ(pixels, expect({}, blank));
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), riverPixel(3)), 100);
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), bridgePixel), 0);

    // With every side marked, a pass outside a kept part draws what the full pass draws there.
    const PixelKeep keep{30, 6, 120, 18};
    index.mark(lo, hi);
    const std::vector<std::uint32_t> before(blank.size(), 0xdeadbeefu);
    pixels = before;
    rasterRivers(map, lo, hi, project, target, pixels, keep, &index, true);
    EXPECT_EQ(pixels, expect(keep, before));
}

TEST(Minimap, ProjectionEdges) {
    const WorldOverview mini{100, 50, {1024, 125, 242, 121}};
    EXPECT_DOUBLE_EQ(mini.toMini({-25, 0}).x, 1024 + 0.75 * 242);
    EXPECT_DOUBLE_EQ(mini.toWorld({1024, 125}).x, 0);
    EXPECT_DOUBLE_EQ(mini.toWorld({1024, 125}).y, -1);
    EXPECT_TRUE(mini.contains({1024, 125}));
    EXPECT_FALSE(mini.contains({1024 + 242, 130}));
}

TEST(Minimap, RendersTheWorldTheViewAndNothingOnRegionalMaps) {
    // A tall world: a close view covers less than a minimap pixel's height.
    Client client(mapFromJson(uniformWorld(100, 480, 'f')));
    const SoftwareTarget target(client.view.width, client.view.height);
    ASSERT_TRUE(target.renderer) << SDL_GetError();
    client.view.centerOn({80, 360}, Camera::maxScale);
    target.clear();
    client.mapView.hud().minimap().draw(client.mapView.frame(target.renderer.get()));
    const WorldOverview g = client.view.miniGeometry();
    EXPECT_EQ(target.at(int(g.area.x) + 3, int(g.area.y) + 60), terrainPixel(Terrain::Forest));
    const auto outline = g.viewport(client.view.camera.toWorld({0, 82}), client.view.camera.toWorld({1010, 816}));
    ASSERT_EQ(outline.size(), 1u);
    ASSERT_LT(outline[0].h, 1);
    const std::uint32_t gold = packArgb(240, 194, 99);
    EXPECT_EQ(target.at(int(outline[0].x), int(outline[0].y)), gold);
    EXPECT_EQ(target.at(int(outline[0].x), int(outline[0].y) + 1), gold);
    EXPECT_NE(target.at(int(outline[0].x), int(outline[0].y) + 2), gold);

    nlohmann::json tiles = nlohmann::json::array();
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) {
            tiles.push_back({{"q", c - r / 2}, {"r", r}, {"terrain", "forest"}});
        }
    }
    Client region(mapFromJson({{"schema_version", 1}, {"width", 6}, {"height", 4}, {"name", "Region"},
                               {"layout", "odd-r"}, {"wrap_horizontal", false}, {"tiles", tiles},
                               {"river_edges", nlohmann::json::array()}}));
    target.clear();
    region.mapView.hud().minimap().draw(region.mapView.frame(target.renderer.get()));
    EXPECT_EQ(target.at(int(g.area.x) + 3, int(g.area.y) + 60), packArgb(0, 0, 0));
    EXPECT_FALSE(region.mapView.hud().minimap().hasRaster());
    EXPECT_DOUBLE_EQ(region.view.miniGeometry().period, 1);
}

TEST(OverviewLayer, RebuildsForANewWindowSizeAndShowsTheRaster) {
    Client client(mapFromJson(mixedWorld(24, 12)));
    const SoftwareTarget target(1400, 900);
    ASSERT_TRUE(target.renderer) << SDL_GetError();
    client.mapView.terrain().overview().draw(client.mapView.frame(target.renderer.get()), false);
    EXPECT_EQ(client.mapView.terrain().overview().plain().size(), std::size_t(1010 * 734));
    client.view.width = 1400;
    client.view.height = 900;
    client.mapView.terrain().overview().draw(client.mapView.frame(target.renderer.get()), true);
    const SDL_Rect area = toSdl(client.view.mapClip());
    ASSERT_EQ(client.mapView.terrain().overview().width(), area.w);
    EXPECT_EQ(client.mapView.terrain().overview().plain(), fullRaster(client, area.w, area.h));
    const int x = area.w / 2;
    const int y = area.h / 2;
    EXPECT_EQ(target.at(x, area.y + y), client.mapView.terrain().overview().plain()[std::size_t(y * area.w + x)]);
}

TEST(OverviewLayer, RiversRedrawnOnlyAtTheBorderAfterAPanMatchAFullBuild) {
    Client client(mapFromJson(riverWorld()));
    const SoftwareTarget target(client.view.width, client.view.height);
    ASSERT_TRUE(target.renderer) << SDL_GetError();
    // Far (the world repeats across the area, sides shorter than a pixel, then just shorter than
    // the line rule's two pixels), near, and nearer than one
    // period across (the border's sides are found by where they lie).
    for (const double scale : {0.5, 0.9, 9.0, 40.0}) {
        client.view.camera = {-33.25, 140.6, scale, 0.93, 1.21};
        client.mapView.terrain().overview().draw(client.mapView.frame(target.renderer.get()), true);
        for (const PixelShift pan : {PixelShift{7, -4}, PixelShift{-30, 11}, PixelShift{2, 0}}) {
            client.view.camera.x += pan.x;
            client.view.camera.y += pan.y;
            client.mapView.terrain().overview().draw(client.mapView.frame(target.renderer.get()), true);
            const auto moved = client.mapView.terrain().overview().withRivers();
            client.mapView.terrain().overview().forgetView();
            client.mapView.terrain().overview().draw(client.mapView.frame(target.renderer.get()), true);
            EXPECT_EQ(moved, client.mapView.terrain().overview().withRivers())
                << "scale " << scale << " pan " << pan.x << ", " << pan.y;
            EXPECT_NE(std::count(moved.begin(), moved.end(), riverPixelWide), 0);
        }
    }

    // The kept part is the moved interior; the rest comes from the new raster without rivers.
    const int w = 40;
    const int h = 30;
    std::vector<std::uint32_t> drawn(std::size_t(w * h));
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        drawn[i] = std::uint32_t(i);
    }
    std::vector<std::uint32_t> base(drawn.size(), 0xdeadbeefu);
    const Camera near{0, 0, 4, 1, 1.5}; // sides reach 5 pixels with a great river's second row: a border of 7
    PixelRing ring{drawn, w, h, {}};
    const PixelKeep keep = moveDrawnRaster(PixelRing{base, w, h, {}}, {5, -2}, near, ring);
    EXPECT_EQ(keep.left, 5 + 7);
    EXPECT_EQ(keep.right, w - 7);
    EXPECT_EQ(keep.top, 7);
    EXPECT_EQ(keep.bottom, h - 2 - 7);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t expected = keep.holds(x, y) ? std::uint32_t((y + 2) * w + x - 5) : 0xdeadbeefu;
            ASSERT_EQ(ring.at(x, y), expected) << x << ", " << y;
        }
    }
}

// On the software renderer the texture is kept like the rasters, moved by its origin: after steady
// pans in one direction, which take the origin round its seams again and again, and a turn back, the
// window shows what a full build shows, with rivers and without.
TEST(OverviewLayer, WindowAfterStoredPansMatchesAFullBuild) {
    Client client(mapFromJson(riverWorld()));
    client.view.width = 640;
    client.view.height = 480;
    const SoftwareTarget target(client.view.width, client.view.height);
    ASSERT_TRUE(target.renderer) << SDL_GetError();
    OverviewPicture& overview = client.mapView.terrain().overview();
    const SDL_Rect area = toSdl(client.view.mapClip());
    const auto window = [&](bool rivers) {
        target.clear();
        overview.draw(client.mapView.frame(target.renderer.get()), rivers);
        SDL_RenderFlush(target.renderer.get());
        std::vector<std::uint32_t> pixels;
        for (int y = area.y; y < area.y + area.h; ++y) {
            for (int x = area.x; x < area.x + area.w; ++x) {
                pixels.push_back(target.at(x, y));
            }
        }
        return pixels;
    };
    // Rivers as dots, as lines, and none.
    for (const double scale : {0.3, 0.9, 3.0}) {
        const bool rivers = scale < 2;
        client.view.camera = {-33.25, 140.6, scale, 0.93, 1.21};
        window(rivers);
        for (int step = 0; step < 12; ++step) {
            const PixelShift pan = step < 9 ? PixelShift{97, -61} : PixelShift{-13, 29};
            client.view.camera.x += pan.x;
            client.view.camera.y += pan.y;
            const auto moved = window(rivers);
            overview.forgetView();
            ASSERT_EQ(moved, window(rivers)) << "scale " << scale << " step " << step;
        }
    }
}
