// River chains, widths, hit tests and drawing; lake scanlines and the lake layer.
#include "shell/client.hpp"
#include "geo_fixtures.hpp"
#include "map_fixtures.hpp"
#include "cpu/lake_spans.hpp"
#include "water/river_segments.hpp"
#include "water/river_graphics.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numbers>
#include <random>
#include <tuple>
#include <sstream>

using namespace korvan;
using namespace korvan::testing;

namespace {

constexpr double pixels = 10; // screen pixels per world unit in the hand-built scenes

Point corner(Hex h, int k) { return corners(h)[std::size_t(k)]; }

// Adds the hexagon side from corner k to corner k + 1 of h, drawn at 10 pixels per unit.
void addSide(RiverGraphics& rivers, Hex h, int k, double width, bool bridge = false, std::size_t source = 0) {
    const Point a = corner(h, k);
    const Point b = corner(h, (k + 1) % 6);
    rivers.add(a, b, a * pixels, b * pixels, width, bridge, source);
}

std::size_t degree(const RiverGraphics& rivers, std::size_t node) { return rivers.degree(node); }

// A 6 x 6 odd-r operational map of plain fields with the given river edges.
Map regionWithRivers(const nlohmann::json& rivers, bool wrap = false, int width = 6) {
    nlohmann::json tiles = nlohmann::json::array();
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < width; ++c) {
            tiles.push_back({{"q", c - r / 2}, {"r", r}, {"terrain", "plain"}});
        }
    }
    return mapFromJson({{"schema_version", 1}, {"width", width}, {"height", 6}, {"name", "Region"},
                        {"layout", "odd-r"}, {"wrap_horizontal", wrap}, {"tiles", tiles}, {"river_edges", rivers}});
}

nlohmann::json riverEdge(Hex a, Hex b, int widthClass) {
    return {{"a", {{"q", a.q}, {"r", a.r}}}, {"b", {{"q", b.q}, {"r", b.r}}}, {"width_class", widthClass}};
}

struct Canvas {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;

    Canvas(int w, int h) {
        SDL_Init(SDL_INIT_VIDEO);
        surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer = SDL_CreateSoftwareRenderer(surface);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
    }
    ~Canvas() {
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(surface);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    SDL_Color at(Point p) const {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + int(p.y) * surface->pitch;
        const std::uint32_t value = reinterpret_cast<const std::uint32_t*>(row)[int(p.x)];
        SDL_Color c{};
        SDL_GetRGBA(value, surface->format, &c.r, &c.g, &c.b, &c.a);
        return c;
    }
};

::testing::AssertionResult sameColor(SDL_Color actual, SDL_Color expected) {
    if (actual.r == expected.r && actual.g == expected.g && actual.b == expected.b) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "colour " << int(actual.r) << "," << int(actual.g) << "," << int(actual.b)
                                         << " instead of " << int(expected.r) << "," << int(expected.g) << ","
                                         << int(expected.b);
}

constexpr SDL_Color bank{37, 78, 70, 255};
constexpr SDL_Color water{47, 133, 169, 255};
constexpr SDL_Color light{102, 187, 211, 255};
constexpr SDL_Color lake{56, 108, 139, 255};

} // namespace

TEST(RiverGraphicsChains, SingleSideIsOneOpenChainSampledByLength) {
    // Its two 5-pixel pieces get three samples each, at most 2 pixels apart.
    RiverGraphics rivers;
    addSide(rivers, {0, 0}, 1, 3);
    const auto& scene = rivers.geometry();
    ASSERT_EQ(scene.paths.size(), 1u);
    const auto& path = scene.paths[0];
    EXPECT_EQ(path.points.size(), 7u);
    EXPECT_EQ(path.widths.size(), 7u);
    EXPECT_EQ(path.edges.size(), 6u);
    for (std::size_t k = 0; k + 1 < path.points.size(); ++k) {
        const Point d = path.points[k + 1] - path.points[k];
        EXPECT_LE(std::hypot(d.x, d.y), 2.0);
    }
    // Far out a piece is a single chord; close in it gets four samples at most.
    for (const auto& [scale, samples] : {std::pair{2.0, 3u}, std::pair{200.0, 9u}}) {
        RiverGraphics scaled;
        const Point a = corner({0, 0}, 1);
        const Point b = corner({0, 0}, 2);
        scaled.add(a, b, a * scale, b * scale, 1, false, 0);
        EXPECT_EQ(scaled.geometry().paths[0].points.size(), samples);
    }
    // Both ends are anchored, so the line runs exactly from corner to corner; both are line ends (discs).
    EXPECT_EQ(path.points.front(), corner({0, 0}, 1) * pixels);
    EXPECT_NEAR(path.points.back().x, corner({0, 0}, 2).x * pixels, 1e-9);
    EXPECT_NEAR(path.points.back().y, corner({0, 0}, 2).y * pixels, 1e-9);
    EXPECT_EQ(degree(rivers, 0), 1u);
    EXPECT_EQ(degree(rivers, 1), 1u);
    EXPECT_NEAR(scene.placements[0].center.x, (path.points.front().x + path.points.back().x) / 2, 1e-9);
}

TEST(RiverGraphicsChains, RingOfSidesIsOneClosedChain) {
    RiverGraphics rivers;
    for (int k = 0; k < 6; ++k) {
        addSide(rivers, {2, 2}, k, 2);
    }
    ASSERT_EQ(rivers.nodes().size(), 6u); // shared corners found by their key
    for (std::size_t n = 0; n < 6; ++n) {
        EXPECT_EQ(degree(rivers, n), 2u); // no junction, so no discs
    }
    const auto& scene = rivers.geometry();
    ASSERT_EQ(scene.paths.size(), 1u);
    const auto& path = scene.paths[0];
    EXPECT_EQ(path.points.size(), 12u * 2 + 1); // 12 control points about 3.5 pixels apart, all closed
    EXPECT_NEAR(path.points.front().x, path.points.back().x, 1e-9);
    EXPECT_NEAR(path.points.front().y, path.points.back().y, 1e-9);
    // Smoothing pulls the unanchored corners inwards.
    const Point centre = hexCenter({2, 2}) * pixels;
    const Point d = path.points.front() - centre;
    EXPECT_LT(std::hypot(d.x, d.y), pixels - 0.5);
}

TEST(RiverGraphicsChains, JunctionIsAnchoredWithTheWidestWidth) {
    // Corner 1 of (0, 0) is where the fields (0, 0), (1, -1) and (1, 0) meet.
    RiverGraphics rivers;
    addSide(rivers, {0, 0}, 1, 2);  // between (0,0) and (1,0)
    addSide(rivers, {0, 0}, 0, 6);  // between (0,0) and (1,-1)
    addSide(rivers, {1, -1}, 2, 4); // between (1,-1) and (1,0)
    const Point junction = corner({0, 0}, 1) * pixels;
    const auto& scene = rivers.geometry();
    ASSERT_EQ(scene.paths.size(), 3u);
    for (const auto& path : scene.paths) {
        EXPECT_EQ(path.points.front(), junction);
        EXPECT_DOUBLE_EQ(path.widths.front(), 6);
    }
    std::size_t junctions = 0;
    for (std::size_t n = 0; n < rivers.nodes().size(); ++n) {
        junctions += rivers.degree(n) == 3;
    }
    EXPECT_EQ(junctions, 1u);
}

TEST(RiverGraphicsChains, ClearKeepsNothingButStorage) {
    RiverGraphics rivers;
    addSide(rivers, {0, 0}, 1, 3);
    ASSERT_EQ(rivers.geometry().paths.size(), 1u);
    rivers.clear();
    EXPECT_TRUE(rivers.nodes().empty());
    EXPECT_TRUE(rivers.geometry().paths.empty());
    addSide(rivers, {0, 0}, 3, 3);
    addSide(rivers, {0, 0}, 4, 3);
    EXPECT_EQ(rivers.nodes().size(), 3u);
    ASSERT_EQ(rivers.geometry().paths.size(), 1u);
    EXPECT_EQ(rivers.geometry().paths[0].points.size(), 13u);
}

TEST(RiverGraphicsDrawing, SimplifiedLineStaysCloseKeepsEndsAndBoundsSegments) {
    // A quarter circle of radius 20 sampled every 0.5 degrees, then a straight run of 100 pixels.
    std::vector<Point> points;
    std::vector<double> widths;
    for (int i = 0; i <= 180; ++i) {
        const double angle = i * 0.5 * std::numbers::pi / 180;
        points.push_back(Point{std::cos(angle), std::sin(angle)} * 20);
        widths.push_back(2);
    }
    for (int i = 1; i <= 200; ++i) {
        points.push_back({-0.5 * i, 20});
        widths.push_back(2 + 0.02 * i); // tapering by 4 pixels along the run
    }
    std::vector<Point> kept;
    std::vector<double> keptWidths;
    simplifyRiverPath(points, widths, 0.3, 16, kept, keptWidths);
    ASSERT_GE(kept.size(), 2u);
    EXPECT_LT(kept.size(), 40u);
    EXPECT_EQ(kept.front(), points.front());
    EXPECT_EQ(kept.back(), points.back());
    EXPECT_DOUBLE_EQ(keptWidths.back(), widths.back());
    for (std::size_t k = 0; k + 1 < kept.size(); ++k) {
        const Point d = kept[k + 1] - kept[k];
        EXPECT_LE(std::hypot(d.x, d.y), 16 + 1e-9);
        EXPECT_LE(std::abs(keptWidths[k + 1] - keptWidths[k]), 0.3 + 0.02 + 1e-9);
    }
    // Every sample lies within the tolerance of the drawn line.
    for (const Point p : points) {
        double nearest = 1e9;
        for (std::size_t k = 0; k + 1 < kept.size(); ++k) {
            const Point d = kept[k + 1] - kept[k];
            const double t =
                std::clamp(((p.x - kept[k].x) * d.x + (p.y - kept[k].y) * d.y) / (d.x * d.x + d.y * d.y), 0.0, 1.0);
            const Point q = kept[k] + d * t;
            nearest = std::min(nearest, std::hypot(p.x - q.x, p.y - q.y));
        }
        EXPECT_LE(nearest, 0.3);
    }
}

TEST(RiverGraphicsDrawing, PixelFillMatchesTheSoftwareRenderer) {
    // The same scene drawn by SDL and filled as pixels: both paint where a pixel centre is covered.
    RiverGraphics rivers;
    const auto side = [&](Hex h, int k, double width, bool bridge) {
        const Point a = corner(h, k);
        const Point b = corner(h, (k + 1) % 6);
        rivers.add(a, b, a * 40 - Point{20, 40}, b * 40 - Point{20, 40}, width, bridge, 0);
    };
    for (int k = 0; k < 4; ++k) {
        side({1, 1}, k, 10, false);
    }
    side({1, 1}, 4, 14, true);
    Canvas canvas(140, 120);
    SDL_SetRenderDrawColor(canvas.renderer, 0, 0, 0, 0);
    SDL_RenderClear(canvas.renderer);
    rivers.draw(canvas.renderer, 40);
    const SDL_Rect area{10, 5, 120, 110};
    std::vector<std::uint32_t> pixels(std::size_t(area.w * area.h) + 7, 0xdeadbeef);
    rivers.fill(pixels.data(), area.w, area, 40);
    int painted = 0;
    int drawnPainted = 0;
    int differing = 0;
    for (int y = 0; y < area.h; ++y) {
        for (int x = 0; x < area.w; ++x) {
            const SDL_Color c = canvas.at({double(area.x + x), double(area.y + y)});
            const std::uint32_t drawn = std::uint32_t(c.a) << 24 | c.r << 16 | c.g << 8 | c.b;
            const std::uint32_t filled = pixels[std::size_t(y * area.w + x)];
            painted += filled != 0;
            drawnPainted += drawn != 0;
            differing += drawn != filled;
        }
    }
    EXPECT_GT(painted, 1500);
    EXPECT_NEAR(painted, drawnPainted, painted / 50);
    // Only pixels whose centres lie exactly on an edge may go either way.
    EXPECT_LT(differing, painted / 50);
    EXPECT_EQ(pixels.back(), 0xdeadbeef); // nothing written past the area

    // A large area is filled in two halves at once; its halves meet across the rivers here, and the
    // picture is the one of small strips filled one by one.
    const SDL_Rect large{0, -180, 600, 400};
    std::vector<std::uint32_t> whole(std::size_t(large.w * large.h));
    std::vector<std::uint32_t> strips(whole.size());
    rivers.fill(whole.data(), large.w, large, 40);
    for (int y = 0; y < large.h; y += 37) {
        const SDL_Rect strip{large.x, large.y + y, large.w, std::min(37, large.h - y)};
        rivers.fill(strips.data() + std::size_t(y * large.w), large.w, strip, 40);
    }
    EXPECT_EQ(whole, strips);
    EXPECT_GT(
        std::count_if(whole.begin() + large.w * 195, whole.begin() + large.w * 205, [](auto p) { return p != 0; }), 20);
}

// A band's convex quads are filled whole: the pixels must be those of its triangles filled one
// by one. Bands with sharp turns, thin and wide, fractional corners and twisted quads on bends.
TEST(RiverGraphicsDrawing, BandQuadsPaintWhatTheirTrianglesPaint) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-20, 140);
    std::uniform_real_distribution<double> width(0.5, 14);
    int quads = 0;
    for (int band = 0; band < 60; ++band) {
        std::vector<Point> points;
        std::vector<double> widths;
        for (int k = 0; k < 12; ++k) {
            points.push_back(k > 0 && band % 3 == 0 ? points.back() + Point{coordinate(random) / 20, coordinate(random) / 20}
                                                    : Point{coordinate(random), coordinate(random)});
            widths.push_back(width(random));
        }
        Mesh whole;
        whole.strip(points, widths, {30, 90, 200, 255}, band % 2 * 0.5);
        // The same triangles with every band's second triangles last: none follows its partner.
        Mesh apart;
        apart.vertices = whole.vertices;
        for (const std::size_t half : {0u, 3u}) {
            for (std::size_t t = half; t + 2 < whole.indices.size(); t += 6) {
                apart.indices.insert(apart.indices.end(), whole.indices.begin() + std::ptrdiff_t(t),
                                     whole.indices.begin() + std::ptrdiff_t(t + 3));
            }
        }
        quads += int(whole.indices.size() / 6);
        const SDL_Rect area{-3, 2, 131, 117};
        std::vector<std::uint32_t> together(std::size_t(area.w * area.h), 0);
        std::vector<std::uint32_t> alone(together.size(), 0);
        whole.fill(together.data(), area.w, area);
        apart.fill(alone.data(), area.w, area);
        ASSERT_EQ(together, alone) << "band " << band;
    }
    EXPECT_GT(quads, 500);
}

TEST(RiverGraphicsDrawing, LargeAreaPaintsWhatItsHalvesPaintEachAlone) {
    // Thin ribbons at odd angles and fractional places, with junctions and bridges: each half of a
    // large area works out its triangles' edges from its own first row, as a fill of it alone does
    // (the rounding of the crossings depends on it).
    RiverGraphics rivers;
    const Point offset{3.37, -20.81};
    for (int r = 0; r < 50; ++r) {
        for (int q = -r / 2; q < 60 - r / 2; ++q) {
            for (int k = 0; k < 3; ++k) {
                if ((q * 7 + r * 3 + k) % 4 != 0) {
                    const Point a = corner({q, r}, k);
                    const Point b = corner({q, r}, k + 1);
                    rivers.add(a, b, a * 7.3 + offset, b * 7.3 + offset, 1.2 + (q + r + k) % 3 * 0.9,
                               (q + r) % 17 == 0, 0);
                }
            }
        }
    }
    const SDL_Rect area{0, 0, 640, 560}; // large enough to split, its halves not
    const SDL_Rect upper{area.x, area.y, area.w, area.h / 2};
    const SDL_Rect lower{area.x, area.y + area.h / 2, area.w, area.h / 2};
    std::vector<std::uint32_t> whole(std::size_t(area.w * area.h));
    std::vector<std::uint32_t> halves(whole.size());
    rivers.fill(whole.data(), area.w, area, 7.3);
    rivers.fill(halves.data(), area.w, upper, 7.3);
    rivers.fill(halves.data() + std::size_t(upper.h * area.w), area.w, lower, 7.3);
    EXPECT_EQ(whole, halves);
    EXPECT_GT(std::count(whole.begin(), whole.end(), 0u), 10000);
    EXPECT_GT(std::count_if(whole.begin(), whole.end(), [](auto p) { return p != 0; }), 50000);
    // Painted over a picture, the pixels no ribbon covers stay.
    for (std::size_t i = 0; i < whole.size(); ++i) {
        whole[i] = halves[i] = std::uint32_t(i * 2654435761u);
    }
    rivers.paint(whole.data(), area.w, area, 7.3);
    rivers.paint(halves.data(), area.w, upper, 7.3);
    rivers.paint(halves.data() + std::size_t(upper.h * area.w), area.w, lower, 7.3);
    EXPECT_EQ(whole, halves);
}

TEST(RiverGraphicsDrawing, RowIndexFindsTheSidesOfAFullScan) {
    nlohmann::json edges = nlohmann::json::array();
    for (int r = 0; r < 5; ++r) {
        for (int q = 0; q < 11; q += 2) {
            edges.push_back(riverEdge({q - r / 2, r}, {q - r / 2, r + 1}, 1));
            edges.push_back(riverEdge({q - r / 2, r}, {q + 1 - r / 2, r}, 2));
        }
    }
    const Map map = regionWithRivers(edges, true, 12);
    RiverIndex rows;
    for (const auto& [lo, hi] : {std::pair{Point{-3, -2}, Point{5, 3}}, std::pair{Point{15, 2}, Point{26, 9}},
                                 std::pair{Point{-30, -5}, Point{40, 20}}, std::pair{Point{3, 50}, Point{9, 60}}}) {
        std::vector<std::tuple<std::size_t, double, double>> expected;
        std::vector<std::tuple<std::size_t, double, double>> found;
        riverSegments(map, lo, hi, [&](Point a, Point b, const RiverEdge&, std::size_t index) {
            expected.emplace_back(index, a.x, b.y);
        });
        rows.forSegments(map, 0, lo, hi, [&](Point a, Point b, const RiverEdge&, std::size_t index) {
            found.emplace_back(index, a.x, b.y);
        });
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
}

TEST(RiverGraphicsHits, ToleranceOfThinRiversAndBridges) {
    RiverGraphics rivers;
    // A horizontal river from (0, 100) to (200, 100) on screen, 1.2 pixels wide.
    rivers.add({0, 0}, {sqrt3, 0}, {0, 100}, {200, 100}, 1.2, false, 7);
    EXPECT_EQ(rivers.hit({100, 111.9}, false)->source, 7u);
    EXPECT_FALSE(rivers.hit({100, 112.1}, false));
    EXPECT_TRUE(rivers.hit({100, 102.5}, true));
    EXPECT_FALSE(rivers.hit({100, 102.7}, true));

    EXPECT_DOUBLE_EQ(bridgeHalfWidth(100), 7);
    EXPECT_DOUBLE_EQ(bridgeHalfLength(10, 100), (10 + 55) / 2.0);
    EXPECT_DOUBLE_EQ(bridgeHalfWidth(5), 1.6);
    EXPECT_DOUBLE_EQ(bridgeHalfLength(10, 5), (10 + 6) / 2.0);

    RiverGraphics bridged;
    bridged.add({0, 0}, {sqrt3, 0}, {0, 100}, {200, 100}, 10, true, 3, 9);
    const double d = bridgeHalfLength(10, 100);
    ASSERT_TRUE(bridged.hitBridge({100, 100 + d + 3.9}, 100));
    EXPECT_EQ(bridged.hitBridge({100, 100 + d + 3.9}, 100)->source, 3u);
    EXPECT_FALSE(bridged.hitBridge({100, 100 + d + 4.1}, 100));
    EXPECT_TRUE(bridged.hitBridge({100 + 7 + 3.9, 100}, 100));
    EXPECT_FALSE(bridged.hitBridge({100 + 7 + 4.1, 100}, 100));
    EXPECT_EQ(bridged.bridgeCenter(9), (Point{100, 100}));
    EXPECT_FALSE(bridged.bridgeCenter(3));
}

TEST(RiverGraphicsClient, WidthsFollowClassAndPhysicalScale) {
    Client client(regionWithRivers({riverEdge({1, 1}, {2, 1}, 1), riverEdge({1, 2}, {2, 2}, 3)}));
    client.view.centerOn(hexCenter({2, 2}), 5);
    const auto& edges = client.mapView.rivers().graphics(client.mapView.scene()).edges();
    ASSERT_EQ(edges.size(), 2u);
    // Zoomed out each class keeps its own least width, so a great river stays wider than a brook.
    EXPECT_DOUBLE_EQ(edges[0].width, 1.2);
    EXPECT_DOUBLE_EQ(edges[1].width, 3.0);
    EXPECT_EQ(edges[1].source, 1u); // without a play grid the edge stands for itself
    EXPECT_EQ(edges[1].id, 1u);
    client.view.centerOn(hexCenter({2, 2}), 20);
    const auto& closer = client.mapView.rivers().graphics(client.mapView.scene()).edges();
    ASSERT_EQ(closer.size(), 2u);
    EXPECT_NEAR(closer[0].width, 2.0, 1e-12);
    EXPECT_NEAR(closer[1].width, 5.6, 1e-12);
}

TEST(RiverGraphicsClient, SideOnePeriodEastShowsWhenTheViewStraddlesTheSeam) {
    Client client(regionWithRivers(nlohmann::json::array({riverEdge({0, 2}, {1, 2}, 2)}), true, 12));
    client.view.width = 400; // a map area 6.5 units wide: only the copy beyond the seam is in view
    const double period = client.world.map.period();
    client.view.centerOn({period, 3}, 20); // the seam runs through the middle of the map area
    const auto& rivers = client.mapView.rivers().graphics(client.mapView.scene());
    ASSERT_EQ(rivers.edges().size(), 1u);
    const Point drawn = rivers.nodes()[0].point;
    const Point expected = client.view.camera.toScreen(riverBoundary(client.world.map, client.world.map.rivers()[0]).a +
                                                  Point{period, 0});
    EXPECT_NEAR(drawn.x, expected.x, 1e-9);
    EXPECT_TRUE(client.view.onMap(drawn));
}

TEST(RiverGraphicsClient, RiverSourcePrefersABridgedWorldEdge) {
    // A long river between rows 10 and 11: the play grid carries some pairs of its sides on one edge.
    nlohmann::json world = uniformWorld(72, 36);
    nlohmann::json edges = nlohmann::json::array();
    for (int q = 5; q < 35; ++q) {
        edges.push_back(riverEdge({q, 10}, {q - 1, 11}, 2));
        edges.push_back(riverEdge({q, 10}, {q, 11}, 2));
    }
    world["river_edges"] = edges;
    Client client(mapFromJson(world));
    ASSERT_TRUE(client.world.playGrid);
    std::optional<std::size_t> merged;
    for (std::size_t e = 0; e < client.world.playGrid->rivers().size() && !merged; ++e) {
        if (client.world.playGrid->riverSources(e).size() >= 2) {
            merged = e;
        }
    }
    ASSERT_TRUE(merged);
    const auto sources = client.world.playGrid->riverSources(*merged);
    EXPECT_EQ(riverSourceOf(client.world, *merged), sources[0]);
    const RiverEdge& second = client.world.map.rivers()[sources[1]];
    ASSERT_TRUE(client.world.map.setBridge(second.a, second.b, true));
    EXPECT_EQ(riverSourceOf(client.world, *merged), sources[1]);
    EXPECT_EQ(riverSourceOf(client.world, client.world.playGrid->rivers().size() + 5), 0u);
}

TEST(RiverGraphicsRender, RibbonAndEndDiscColours) {
    Client client(regionWithRivers(nlohmann::json::array({riverEdge({2, 2}, {3, 2}, 3)})));
    client.view.width = 400;
    client.view.height = 300;
    const RiverSegment side = riverBoundary(client.world.map, client.world.map.rivers()[0]);
    client.view.centerOn((side.a + side.b) * 0.5, 85);
    const double w = 0.28 * 85;
    Canvas canvas(400, 300);
    client.mapView.rivers().draw(client.mapView.frame(canvas.renderer));

    const Point a = client.view.camera.toScreen(side.a);
    const Point b = client.view.camera.toScreen(side.b);
    const Point u = (b - a) * (1 / std::hypot(b.x - a.x, b.y - a.y));
    EXPECT_TRUE(sameColor(canvas.at((a + b) * 0.5), light));
    // Beyond the end only the round end disc can be there: water inside half the width, bank outside.
    EXPECT_TRUE(sameColor(canvas.at(b + u * (0.44 * w)), water));
    EXPECT_TRUE(sameColor(canvas.at(b + u * (0.58 * w)), bank));
    EXPECT_TRUE(sameColor(canvas.at(b + u * (0.8 * w)), {0, 0, 0, 255}));
    EXPECT_TRUE(client.mapView.rivers().painted());
}

TEST(RiverGraphicsRender, WorldMapShowsNoRiversBelowScaleTwo) {
    nlohmann::json world = uniformWorld(72, 36);
    world["river_edges"] = nlohmann::json::array({riverEdge({10, 10}, {10, 11}, 3)});
    Client client(mapFromJson(world));
    client.view.width = 400;
    client.view.height = 300;
    Canvas canvas(400, 300);
    client.view.centerOn(hexCenter({10, 10}), 1.5);
    client.mapView.rivers().draw(client.mapView.frame(canvas.renderer));
    EXPECT_FALSE(client.mapView.rivers().painted());
    client.view.centerOn(hexCenter({10, 10}), 2);
    client.mapView.rivers().draw(client.mapView.frame(canvas.renderer));
    EXPECT_TRUE(client.mapView.rivers().painted());
}

TEST(LakeSpans, SquareWithHoleAndClampedColumns) {
    const std::vector<std::vector<Point>> square{{{10.2, 20.2}, {15.7, 20.2}, {15.7, 24.7}, {10.2, 24.7}}};
    std::vector<double> crossings;
    std::vector<LakeSpan> spans;
    lakeSpans(square, 19, 25, 100, crossings, spans);
    ASSERT_EQ(spans.size(), 5u); // rows 20 to 24: their centres 20.5 .. 24.5 lie inside
    EXPECT_EQ(spans.front(), (LakeSpan{20, 10, 15}));
    EXPECT_EQ(spans.back(), (LakeSpan{24, 10, 15}));

    spans.clear();
    auto holed = square;
    holed.push_back({{12, 21}, {14, 21}, {14, 23}, {12, 23}});
    lakeSpans(holed, 22, 22, 15, crossings, spans);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0], (LakeSpan{22, 10, 11}));
    EXPECT_EQ(spans[1], (LakeSpan{22, 14, 14})); // 14 .. 15 clamped to the last column

    int runs = 0;
    forHexRuns(3, 9, 0.5, [](Point p) { return Hex{p.x < 5 ? 0 : 1, 0}; }, [&](int first, int last, Hex h) {
        EXPECT_EQ(first, h.q == 0 ? 3 : 5);
        EXPECT_EQ(last, h.q == 0 ? 4 : 9);
        ++runs;
    });
    EXPECT_EQ(runs, 2);

    const Point northWest = lakeWorldPoint({-180, 90}, 72, 36, 1);
    EXPECT_NEAR(northWest.x, 72 * sqrt3, 1e-9);
    EXPECT_NEAR(northWest.y, -0.75, 1e-12);
}

TEST(LakeLayer, FlatLakeFromScaleSeven) {
    Client client(mapFromJson(uniformWorld(72, 36)));
    nlohmann::json area = {
        {"id", "see"},
        {"name", "See"},
        {"detail", true},
        {"polygons", nlohmann::json::array({nlohmann::json::array({geo_test::boxRing(0, 0, 10, 10)})})}};
    std::istringstream input(nlohmann::json({{"schema_version", 1}, {"areas", {area}}}).dump());
    client.world.lakes = Seas::load(input);
    client.view.width = 400;
    client.view.height = 300;
    const Point middle = (lakeWorldPoint({0, 0}, 72, 36, 0) + lakeWorldPoint({10, 10}, 72, 36, 0)) * 0.5;

    Canvas canvas(400, 300);
    client.view.centerOn(middle, 6.9);
    client.mapView.lakes().draw(client.mapView.frame(canvas.renderer));
    EXPECT_TRUE(sameColor(canvas.at(client.view.camera.toScreen(middle)), {0, 0, 0, 255}));
    client.view.centerOn(middle, 7);
    client.mapView.lakes().draw(client.mapView.frame(canvas.renderer));
    EXPECT_TRUE(sameColor(canvas.at(client.view.camera.toScreen(middle)), lake));
    // One degree outside the lake stays clear.
    EXPECT_TRUE(sameColor(canvas.at(client.view.camera.toScreen(lakeWorldPoint({11, 5}, 72, 36, 0))), {0, 0, 0, 255}));
}

TEST(RiverGraphicsRender, PanScrolledPictureEqualsAFullRedraw) {
    // A winding river with a branch and a bridge, larger than the view so sides cross every strip.
    nlohmann::json rivers = nlohmann::json::array();
    for (int q = 0; q < 10; ++q) {
        rivers.push_back(riverEdge({q, 2}, {q, 3}, 1 + q % 3));
        rivers.push_back(riverEdge({q + 1, 2}, {q, 3}, 2));
    }
    rivers.push_back(riverEdge({4, 3}, {3, 4}, 3));
    rivers.push_back(riverEdge({4, 3}, {4, 4}, 3));
    rivers[5]["bridge"] = true;
    Client client(regionWithRivers(rivers, false, 12));
    Client fresh(regionWithRivers(rivers, false, 12));
    client.view.width = fresh.view.width = 400;
    client.view.height = fresh.view.height = 300;
    Canvas canvas(400, 300);
    client.view.centerOn(hexCenter({5, 3}), 30);
    client.mapView.rivers().draw(client.mapView.frame(canvas.renderer));
    for (const Point pan : {Point{7, -4}, Point{-13, 9}, Point{0, 5}, Point{-3, 0}}) {
        client.view.camera.x += pan.x;
        client.view.camera.y += pan.y;
        client.mapView.rivers().draw(client.mapView.frame(canvas.renderer));
    }
    fresh.view.camera = client.view.camera; // hit tests see the whole view again
    EXPECT_EQ(client.mapView.rivers().graphics(client.mapView.scene()).edges().size(),
              fresh.mapView.rivers().graphics(fresh.mapView.scene()).edges().size());
    const std::vector<std::uint32_t> scrolled = client.mapView.rivers().picture().pixels;
    client.mapView.rivers().forgetView();
    client.mapView.rivers().draw(client.mapView.frame(canvas.renderer));
    ASSERT_EQ(scrolled.size(), client.mapView.rivers().picture().pixels.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < scrolled.size(); ++i) {
        differing += scrolled[i] != client.mapView.rivers().picture().pixels[i];
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(std::count(scrolled.begin(), scrolled.end(), 0u), 0);
}

TEST(RiverGraphicsHits, NearThePointerAnswerAsTheWholeView) {
    // A dense network with junctions, loops and bridges, much larger than the reach of one hit.
    nlohmann::json tiles = nlohmann::json::array();
    nlohmann::json rivers = nlohmann::json::array();
    for (int r = 0; r < 60; ++r) {
        for (int c = 0; c < 120; ++c) {
            const Hex h{c - r / 2, r};
            tiles.push_back({{"q", h.q}, {"r", h.r}, {"terrain", "plain"}});
            if (r < 59 && c < 119 && (c + r) % 3 != 0) {
                rivers.push_back(riverEdge(h, {h.q, r + 1}, 1 + (c + 2 * r) % 3));
            }
            if (c < 119 && (c * 7 + r) % 5 == 0) {
                rivers.push_back(riverEdge(h, {h.q + 1, r}, 2));
            }
        }
    }
    for (std::size_t k = 0; k < rivers.size(); k += 11) {
        rivers[k]["bridge"] = true;
    }
    const nlohmann::json map{{"schema_version", 1}, {"width", 120},        {"height", 60},
                             {"name", "Netz"},      {"layout", "odd-r"},   {"wrap_horizontal", false},
                             {"tiles", tiles},      {"river_edges", rivers}};
    Client near(mapFromJson(map));
    Client whole(mapFromJson(map));
    for (Client* c : {&near, &whole}) {
        c->view.width = 800;
        c->view.height = 600;
        c->view.centerOn(hexCenter({25, 30}), 7);
    }
    const RiverGraphics& view = whole.mapView.rivers().graphics(whole.mapView.scene());
    const double scale = near.view.physicalScale();
    std::size_t hits = 0;
    std::size_t bridges = 0;
    for (int y = 90; y < 560; y += 9) {
        for (int x = 3; x < 530; x += 9) {
            const Point p{x + 0.3, y + 0.6};
            const RiverGraphics& local = near.mapView.rivers().graphicsNear(near.mapView.scene(), p);
            ASSERT_LT(local.edges().size(), view.edges().size() / 2);
            for (const bool precise : {false, true}) {
                const auto a = local.hit(p, precise);
                const auto b = view.hit(p, precise);
                ASSERT_EQ(a.has_value(), b.has_value()) << x << ", " << y;
                if (a) {
                    EXPECT_EQ(a->source, b->source) << x << ", " << y;
                    EXPECT_NEAR(a->center.x, b->center.x, 1e-9);
                    EXPECT_NEAR(a->center.y, b->center.y, 1e-9);
                    hits += 1;
                }
            }
            const auto a = local.hitBridge(p, scale);
            const auto b = view.hitBridge(p, scale);
            ASSERT_EQ(a.has_value(), b.has_value()) << x << ", " << y;
            if (a) {
                EXPECT_EQ(a->source, b->source);
                bridges += 1;
            }
        }
    }
    EXPECT_GT(hits, 1000u);
    EXPECT_GT(bridges, 20u);
}
