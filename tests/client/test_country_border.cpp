// Country borders: dashes fixed to the map, stroke shapes, culling across the seam, the picture cache
// and its pixels; the flag atlas.
#include "shell/client.hpp"
#include "geo_fixtures.hpp"
#include "headless_renderer.hpp"
#include "program_runner.hpp"
#include "borders/border_layer.hpp"
#include "borders/country_border.hpp"
#include "hud/country_flags.hpp"
#include "kit/palette.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

using namespace korvan;
using korvan::geo_test::boxRing;
using korvan::geo_test::countryObject;
using korvan::geo_test::json;
using korvan::testing::HeadlessRenderer;
using korvan::testing::sameColor;

namespace {

constexpr SDL_Color black{0, 0, 0, 255};
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;

struct Piece {
    Point from;
    Point to;
    bool capStart;
    bool capEnd;
};

std::vector<Piece> piecesOf(Point a, Point b, Point origin, bool dashed) {
    std::vector<Piece> pieces;
    forBorderPieces(a, b, origin, dashed, true, true, [&](Point from, Point to, bool capStart, bool capEnd) {
        pieces.push_back({from, to, capStart, capEnd});
    });
    return pieces;
}

// A 72 x 36 world (5 degrees a field) with a plain country AAA and a disputed one, DIS.
std::unique_ptr<Client> borderClient() {
    auto client = std::make_unique<Client>(geo_test::uniformWorld(72, 36));
    json disputed = countryObject("DIS", json::array({json::array({boxRing(60, -20, 100, 20)})}));
    disputed["status"] = "disputed";
    const json document{{"schema_version", 1},
                        {"countries", {countryObject("AAA", json::array({json::array({boxRing(-30, -20, 30, 20)})})),
                                       disputed}}};
    std::istringstream input(document.dump());
    client->world.countries = Countries::load(input);
    client->world.countryGrid = CountryGrid::build(client->world.map, client->world.countries, nullptr, {});
    client->view.width = screenWidth;
    client->view.height = screenHeight;
    return client;
}

// Puts the middle of a vertical outline edge of the country on the centre of pixel (x, y), at 30
// pixels a world unit unless told, so the stroke's edges fall between pixel centres.
void centreVerticalEdge(Client& client, std::size_t country, int x, int y, double scale = 30) {
    for (const auto& line : client.world.countryOutline(country)) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (std::abs(line[i].x - line[i - 1].x) < 1e-9) {
                const Point middle = (line[i] + line[i - 1]) * 0.5;
                client.view.camera = Camera{x + 0.5 - middle.x * scale, y + 0.5 - middle.y * scale, scale, 1, 1};
                return;
            }
        }
    }
    FAIL() << "no vertical edge";
}

void clear(const HeadlessRenderer& screen) {
    SDL_RenderSetClipRect(screen.get(), nullptr);
    SDL_SetRenderDrawColor(screen.get(), 0, 0, 0, 255);
    SDL_RenderClear(screen.get());
}

// What the border layer shows on a black screen, as the frame draws it: under the map clip.
void drawLayer(Client& client, const HeadlessRenderer& screen, bool triangles = false) {
    clear(screen);
    const SDL_Rect clip = toSdl(client.view.mapClip());
    SDL_RenderSetClipRect(screen.get(), &clip);
    if (triangles) {
        client.mapView.borders().drawGeometry(client.mapView.frame(screen.get()));
    } else {
        client.mapView.borders().draw(client.mapView.frame(screen.get()));
    }
    SDL_RenderSetClipRect(screen.get(), nullptr);
}

std::vector<bool> goldMask(const Client& client, const HeadlessRenderer& screen) {
    std::vector<bool> mask(std::size_t(client.view.width) * std::size_t(client.view.height));
    for (int y = 0; y < client.view.height; ++y) {
        for (int x = 0; x < client.view.width; ++x) {
            mask[std::size_t(y) * std::size_t(client.view.width) + std::size_t(x)] =
                sameColor(screen.pixel(x, y), gold);
        }
    }
    return mask;
}

} // namespace

TEST(CountryBorder, DashesStayOnTheMapWhilePanning) {
    // Phase 3 at a = (3, 50): dashes of 8 pixels every 14 pixels counted from the world origin's
    // screen point; only the pieces at the segment's ends keep its caps.
    const auto pieces = piecesOf({3, 50}, {60, 50}, {0, 0}, true);
    const std::vector<std::pair<double, double>> expected{{3, 8}, {14, 22}, {28, 36}, {42, 50}, {56, 60}};
    ASSERT_EQ(pieces.size(), expected.size());
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        EXPECT_NEAR(pieces[k].from.x, expected[k].first, 1e-9) << k;
        EXPECT_NEAR(pieces[k].to.x, expected[k].second, 1e-9) << k;
        EXPECT_EQ(pieces[k].capStart, k == 0);
        EXPECT_EQ(pieces[k].capEnd, k + 1 == pieces.size());
    }
    // A view panned by any amount moves the segment and the origin alike: the dashes move with the
    // map, in every direction (and backwards along a segment, where the phase comes out negative).
    for (const Point pan : {Point{5.25, -2}, Point{-1000.5, 333.125}}) {
        for (const auto& [a, b] : {std::pair{Point{3, 50}, Point{60, 50}}, std::pair{Point{40, 7}, Point{-12, 61}},
                                   std::pair{Point{90, 90}, Point{90.5, 20}}}) {
            const auto still = piecesOf(a, b, {0, 0}, true);
            const auto panned = piecesOf(a + pan, b + pan, pan, true);
            ASSERT_EQ(still.size(), panned.size());
            for (std::size_t k = 0; k < still.size(); ++k) {
                EXPECT_NEAR(panned[k].from.x - still[k].from.x, pan.x, 1e-6);
                EXPECT_NEAR(panned[k].from.y - still[k].from.y, pan.y, 1e-6);
                EXPECT_NEAR(panned[k].to.x - still[k].to.x, pan.x, 1e-6);
                EXPECT_NEAR(panned[k].to.y - still[k].to.y, pan.y, 1e-6);
            }
        }
    }
    EXPECT_TRUE(piecesOf({7, 7}, {7, 7 + 1e-10}, {0, 0}, true).empty());
    // Solid segments are one capped piece, even when a and b coincide (a dot).
    EXPECT_EQ(piecesOf({7, 7}, {7, 7}, {0, 0}, false).size(), 1u);
}

TEST(CountryBorder, StrokesAreConvexFansOfTheRightArea) {
    // Every cap combination is one fan of consistently wound triangles around the segment's middle,
    // covering the band plus a half disc per capped end (the discs as polygons, a little smaller).
    const double w = borderCasing.halfWidth;
    const double length = 10;
    for (int caps = 0; caps < 4; ++caps) {
        const bool capStart = (caps & 1) != 0;
        const bool capEnd = (caps & 2) != 0;
        std::vector<SDL_Vertex> vertices;
        std::vector<int> indices;
        const Point a{20, 30};
        const Point b = a + Point{std::cos(0.7), std::sin(0.7)} * length;
        appendStroke(vertices, indices, a, b, unitDirection(a, b), borderCasing, capStart, capEnd);
        double area = 0;
        double sense = 0;
        for (std::size_t t = 0; t < indices.size(); t += 3) {
            const SDL_FPoint p = vertices[std::size_t(indices[t])].position;
            const SDL_FPoint q = vertices[std::size_t(indices[t + 1])].position;
            const SDL_FPoint r = vertices[std::size_t(indices[t + 2])].position;
            const double twice = double(q.x - p.x) * (r.y - p.y) - double(q.y - p.y) * (r.x - p.x);
            if (sense == 0) {
                sense = twice > 0 ? 1 : -1;
            }
            EXPECT_GT(twice * sense, 1e-3) << caps << " triangle " << t / 3; // no fold, no sliver
            area += twice * sense / 2;
        }
        const double discs = (capStart + capEnd) * std::numbers::pi * w * w / 2;
        EXPECT_NEAR(area, 2 * w * length + discs, 0.05 * discs + 1e-3) << caps;
        for (const SDL_Vertex& v : vertices) {
            EXPECT_TRUE(sameColor(v.color, borderCasing.color));
        }
    }
}

TEST(CountryBorder, OutlineCopiesAcrossTheSeamAndMergesClosePoints) {
    const double period = 100;
    const Camera camera{0, 0, 1, 1, 1};
    // View from -25 to 125 world units: a line near the west edge shows twice, one in the middle once.
    const std::vector<std::vector<Point>> lines{{{10, 5}, {20, 5}}, {{50, 5}, {60, 5}}, {{50, 500}, {60, 500}}};
    ScreenPolylines out;
    projectOutline(lines, camera, {-25, 0}, {125, 100}, period, out);
    ASSERT_EQ(out.ends, (std::vector<std::size_t>{2, 4, 6}));
    EXPECT_EQ(out.points[2], (Point{110, 5}));
    EXPECT_EQ(out.points[4], (Point{50, 5}));
    // Points less than a pixel from the last kept one in both directions go; the last always stays,
    // and a line left with one point is dropped.
    projectOutline({{{50, 50}, {50.6, 50.9}, {51.5, 50.2}, {51.7, 50.4}, {51.9, 50.5}}, {{50, 60}, {50.5, 60.5}}},
                   camera, {0, 0}, {100, 100}, period, out);
    EXPECT_EQ(out.points, (std::vector<Point>{{50, 50}, {51.5, 50.2}, {51.9, 50.5}, {50, 60}, {50.5, 60.5}}));
    projectOutline({{{50, 50}}}, camera, {0, 0}, {100, 100}, period, out);
    EXPECT_TRUE(out.points.empty());
}

TEST(CountryBorder, GoldLineOnADarkCasing) {
    const HeadlessRenderer screen(screenWidth, screenHeight);
    auto client = borderClient();
    client->view.selectedCountry = 0;
    centreVerticalEdge(*client, 0, 200, 250);
    // Both the kept picture and the triangles drawn straight: 3 gold pixels across, one of casing
    // on each side, nothing beyond.
    for (const bool triangles : {false, true}) {
        drawLayer(*client, screen, triangles);
        for (int dx = -1; dx <= 1; ++dx) {
            EXPECT_TRUE(sameColor(screen.pixel(200 + dx, 250), gold)) << triangles << " " << dx;
        }
        for (const int dx : {-2, 2}) {
            EXPECT_TRUE(sameColor(screen.pixel(200 + dx, 250), borderCasing.color)) << triangles << " " << dx;
        }
        for (const int dx : {-3, 3}) {
            EXPECT_TRUE(sameColor(screen.pixel(200 + dx, 250), black)) << triangles << " " << dx;
        }
    }
}

TEST(CountryBorder, PictureMatchesTheTriangles) {
    // The software renderer's picture is painted on the CPU; it must cover what the triangles cover,
    // give or take the renderer's snapping of corners to whole pixels.
    const HeadlessRenderer screen(screenWidth, screenHeight);
    auto client = borderClient();
    for (const std::size_t country : {0u, 1u}) {
        client->view.selectedCountry = country;
        // The whole country in the map area, at a zoom and offset that put nothing on pixel edges.
        Point low{1e300, 1e300};
        Point high{-1e300, -1e300};
        for (const auto& line : client->world.countryOutline(country)) {
            for (const Point p : line) {
                low = {std::min(low.x, p.x), std::min(low.y, p.y)};
                high = {std::max(high.x, p.x), std::max(high.y, p.y)};
            }
        }
        const Point middle = (low + high) * 0.5;
        client->view.camera = Camera{185.3 - middle.x * 13.3, 264.7 - middle.y * 13.3, 13.3, 1, 1};
        drawLayer(*client, screen);
        const auto painted = goldMask(*client, screen);
        drawLayer(*client, screen, true);
        const auto triangles = goldMask(*client, screen);
        std::size_t gold = 0;
        const auto near = [&](const std::vector<bool>& mask, int x, int y) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if (mask[std::size_t(y + dy) * screenWidth + std::size_t(x + dx)]) {
                        return true;
                    }
                }
            }
            return false;
        };
        for (int y = 1; y + 1 < screenHeight; ++y) {
            for (int x = 1; x + 1 < screenWidth; ++x) {
                const std::size_t i = std::size_t(y) * screenWidth + std::size_t(x);
                gold += painted[i];
                EXPECT_TRUE(!painted[i] || near(triangles, x, y)) << country << ": " << x << ", " << y;
                EXPECT_TRUE(!triangles[i] || near(painted, x, y)) << country << ": " << x << ", " << y;
            }
        }
        EXPECT_GT(gold, 1000u) << country;
    }
}

TEST(CountryBorder, DisputedOutlineIsDashedAndTheDashesPanWithTheMap) {
    const HeadlessRenderer screen(screenWidth, screenHeight);
    auto client = borderClient();
    const auto runs = [&](int x) {
        // Gold and gap runs along the middle of the vertical edge (the corners' strokes left out).
        std::vector<std::pair<bool, int>> found;
        for (int y = 240; y <= 261; ++y) {
            const bool lit = sameColor(screen.pixel(x, y), gold);
            EXPECT_TRUE(lit || sameColor(screen.pixel(x, y), black)) << y;
            if (found.empty() || found.back().first != lit) {
                found.push_back({lit, 0});
            }
            ++found.back().second;
        }
        return found;
    };
    client->view.selectedCountry = 0;
    centreVerticalEdge(*client, 0, 200, 250);
    drawLayer(*client, screen);
    EXPECT_EQ(runs(200), (std::vector<std::pair<bool, int>>{{true, 22}}));

    client->view.selectedCountry = 1;
    centreVerticalEdge(*client, 1, 200, 250);
    drawLayer(*client, screen);
    const auto dashes = runs(200);
    ASSERT_GE(dashes.size(), 3u);
    for (std::size_t k = 1; k + 1 < dashes.size(); ++k) {
        if (dashes[k].first) {
            EXPECT_TRUE(dashes[k].second == 8 || dashes[k].second == 9) << k << ": " << dashes[k].second;
        } else {
            EXPECT_TRUE(dashes[k].second == 5 || dashes[k].second == 6) << k << ": " << dashes[k].second;
        }
    }
    // A pan by whole pixels moves the picture, which then only gets the strips that came into view;
    // drawn afresh at the new view, every pixel of the outline has moved by the pan and no other.
    const auto before = goldMask(*client, screen);
    client->view.camera.x += 7;
    client->view.camera.y -= 3;
    drawLayer(*client, screen);
    const auto moved = goldMask(*client, screen);
    ++client->world.generation;
    drawLayer(*client, screen);
    EXPECT_EQ(client->mapView.borders().drawCalls(), 1u);
    const auto after = goldMask(*client, screen);
    EXPECT_EQ(moved, after);
    const SDL_Rect clip = toSdl(client->view.mapClip());
    for (int y = clip.y + 10; y < clip.y + clip.h - 10; ++y) {
        for (int x = clip.x + 10; x < clip.x + clip.w - 10; ++x) {
            ASSERT_EQ(before[std::size_t(y) * screenWidth + std::size_t(x)],
                      after[std::size_t(y - 3) * screenWidth + std::size_t(x + 7)])
                << x << ", " << y;
        }
    }
}

TEST(CountryBorder, PictureIsRedrawnOnlyWhenTheViewCountryOrMapChanges) {
    const HeadlessRenderer screen(screenWidth, screenHeight);
    auto client = borderClient();
    // Both countries in view.
    centreVerticalEdge(*client, 0, 100, 250, 5);
    const auto draws = [&] {
        drawLayer(*client, screen);
        return client->mapView.borders().drawCalls();
    };
    EXPECT_EQ(draws(), 0u); // nothing selected or hovered
    client->view.hover.country = 0;
    EXPECT_EQ(draws(), 1u);
    EXPECT_EQ(draws(), 0u);
    // The kept picture is still shown.
    EXPECT_TRUE(sameColor(screen.pixel(100, 250), gold));
    // A selection wins over the pointer: hovering elsewhere changes nothing.
    client->view.selectedCountry = 0;
    client->view.hover.country = 1;
    EXPECT_EQ(draws(), 0u);
    client->view.camera.x += 1;
    EXPECT_EQ(draws(), 1u);
    EXPECT_EQ(draws(), 0u);
    client->view.selectedCountry.reset();
    EXPECT_EQ(draws(), 1u); // now the hovered one
    ++client->world.generation;
    EXPECT_EQ(draws(), 1u);
    client->view.width += 10;
    EXPECT_EQ(draws(), 1u);
    // Back to the first country at an unchanged view: drawn once more, then kept.
    client->view.hover.country = 0;
    EXPECT_EQ(draws(), 1u);
    EXPECT_EQ(draws(), 0u);
    client->view.hover.country.reset();
    EXPECT_EQ(draws(), 0u);
    EXPECT_TRUE(sameColor(screen.pixel(100, 250), black));
}

namespace {

// A flag list of n identifiers "F0" ... and an atlas of the given size whose cell i is filled with
// the colour (i, 100, 200).
void writeFlags(const std::filesystem::path& dir, int n, int width, int height) {
    json ids = json::array();
    for (int i = 0; i < n; ++i) {
        ids.push_back("F" + std::to_string(i));
    }
    std::ofstream(dir / "flags.json") << ids.dump();
    const SurfaceHandle atlas(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
    ASSERT_TRUE(atlas);
    for (int i = 0; i < n; ++i) {
        const SDL_Rect cell{32 * (i % 16), 24 * (i / 16), 32, 24};
        SDL_FillRect(atlas.get(), &cell, SDL_MapRGBA(atlas->format, Uint8(i), 100, 200, 255));
    }
    ASSERT_EQ(SDL_SaveBMP(atlas.get(), (dir / "flags.bmp").string().c_str()), 0) << SDL_GetError();
}

} // namespace

// Moving only the painted part of a picture clear elsewhere gives what moving the whole picture and
// clearing what came into view gives: pans either way, across the area's edges and out of it.
TEST(CountryBorder, ScrollingThePaintedPartMatchesAWholeScroll) {
    const SDL_Rect area{3, 40, 90, 60};
    const SDL_Rect painted{50, 45, 30, 20};
    MapPicture start;
    start.resize(area);
    std::fill(start.pixels.begin(), start.pixels.end(), 0u);
    for (int y = painted.y; y < painted.y + painted.h; ++y) {
        for (int x = painted.x; x < painted.x + painted.w; ++x) {
            *start.at({x, y, 1, 1}) = std::uint32_t(y * 1000 + x);
        }
    }
    for (const PixelPan pan : {PixelPan{8, 3}, PixelPan{-8, -3}, PixelPan{25, 0}, PixelPan{0, -30}, PixelPan{-60, 12},
                               PixelPan{89, 0}}) {
        MapPicture whole = start;
        const auto wholeFresh = whole.scroll(pan);
        for (const SDL_Rect& part : wholeFresh) {
            for (int y = part.y; y < part.y + part.h; ++y) {
                std::fill_n(whole.at({part.x, y, part.w, 1}), part.w, 0u);
            }
        }
        MapPicture moved = start;
        SDL_Rect nowPainted = painted;
        const auto fresh = moved.scrollPainted(pan, nowPainted);
        EXPECT_EQ(moved.pixels, whole.pixels) << pan.dx << ", " << pan.dy;
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            EXPECT_TRUE(SDL_RectEquals(&fresh[i], &wholeFresh[i]));
        }
        SDL_Rect expected{painted.x + pan.dx, painted.y + pan.dy, painted.w, painted.h};
        if (!SDL_IntersectRect(&expected, &area, &expected)) {
            expected = {};
        }
        EXPECT_TRUE(SDL_RectEquals(&nowPainted, &expected)) << pan.dx << ", " << pan.dy;
    }
}

TEST(CountryFlags, AtlasSizeFollowsTheListAndFlagsDrawInAFrame) {
    const HeadlessRenderer screen(200, 100);
    const korvan::testing::ScratchDirectory dir("flags");
    CountryFlags flags;
    // 17 flags take two rows: 512 x 48; one row is too short, and so is a narrower picture.
    const std::string invalid = (dir / "flags.bmp").string() + ": Ungueltiger Flaggenatlas (";
    writeFlags(dir.path(), 17, 512, 24);
    EXPECT_EQ(korvan::testing::errorOf([&] { flags.load(screen.get(), dir.path()); }).rfind(invalid, 0), 0u);
    writeFlags(dir.path(), 17, 480, 48);
    EXPECT_EQ(korvan::testing::errorOf([&] { flags.load(screen.get(), dir.path()); }).rfind(invalid, 0), 0u);
    writeFlags(dir.path(), 17, 512, 48);
    flags.load(screen.get(), dir.path());
    EXPECT_EQ(flags.ids.size(), 17u);

    clear(screen);
    flags.draw(screen.get(), "F16", 50, 40); // row 1, column 0
    flags.draw(screen.get(), "F3", 120, 40);
    flags.draw(screen.get(), "XYZ", 10, 10);
    EXPECT_TRUE(sameColor(screen.pixel(50, 40), SDL_Color{16, 100, 200, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(81, 63), SDL_Color{16, 100, 200, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(82, 63), muted)); // the frame around the 32 x 24 cell
    EXPECT_TRUE(sameColor(screen.pixel(49, 39), muted));
    EXPECT_TRUE(sameColor(screen.pixel(83, 65), black));
    EXPECT_TRUE(sameColor(screen.pixel(120, 40), SDL_Color{3, 100, 200, 255}));
    // An unknown identifier draws neither flag nor frame.
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 44; ++x) {
            ASSERT_TRUE(sameColor(screen.pixel(x, y), black)) << x << ", " << y;
        }
    }

    // A broken list or a missing picture fails naming its file and keeps the atlas.
    const std::string list = (dir / "flags.json").string() + ": Ungueltige Flaggenliste: ";
    std::ofstream(dir / "flags.json") << R"({"F0": 1})";
    EXPECT_EQ(korvan::testing::errorOf([&] { flags.load(screen.get(), dir.path()); }),
              list + "JSON-Wert hat den falschen Typ: flags (Liste erwartet)");
    std::ofstream(dir / "flags.json", std::ios::binary) << std::string_view("[\"F0\"]\0 not json {{{", 20);
    EXPECT_EQ(korvan::testing::errorOf([&] { flags.load(screen.get(), dir.path()); }).rfind(list + "Ungueltiges JSON: ", 0),
              0u);
    writeFlags(dir.path(), 17, 512, 48);
    std::filesystem::remove(dir / "flags.bmp");
    EXPECT_NE(korvan::testing::errorOf([&] { flags.load(screen.get(), dir.path()); }).find("flags.bmp"),
              std::string::npos);
    EXPECT_EQ(flags.ids.size(), 17u);
    EXPECT_TRUE(flags.cellOf("F16"));
}

TEST(CountryFlags, ShippedAtlasNamesCountries) {
    const HeadlessRenderer screen(64, 64);
    const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    CountryFlags flags;
    flags.load(screen.get(), data);
    const Countries countries = Countries::load(data / "countries.json");
    ASSERT_FALSE(flags.ids.empty());
    for (const std::string& id : flags.ids) {
        EXPECT_TRUE(std::any_of(countries.entries.begin(), countries.entries.end(),
                                [&](const Country& c) { return c.id == id; }))
            << id;
    }
    EXPECT_TRUE(flags.cellOf("AUT"));
}
