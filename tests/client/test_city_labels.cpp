// City markers and labels: the label search around a marker, priorities and retries, which copies
// of which cities show, the marker images and a frame of the city layer.
#include "shell/client.hpp"
#include "error_of.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "map_fixtures.hpp"
#include "program_runner.hpp"
#include "cities/city_graphics.hpp"
#include "cities/city_labels.hpp"
#include "kit/font.hpp"
#include "kit/label_pictures.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>

using namespace korvan;
using namespace korvan::testing;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

City city(const std::string& name, Point geography = {}, int tier = 0, bool capital = false) {
    City c;
    c.id = name;
    c.name = name;
    c.geography = geography;
    c.tier = tier;
    c.capital = capital;
    return c;
}


} // namespace

namespace korvan {
std::ostream& operator<<(std::ostream& out, const LabelRect& r) {
    return out << '{' << r.x << ", " << r.y << ", " << r.w << ", " << r.h << '}';
}
} // namespace korvan

TEST(CityLabels, RectanglesAreHalfOpenSoSharedEdgesDoNotOverlap) {
    const LabelRect a{10, 20, 5, 4};
    EXPECT_TRUE(a.contains(10, 20));
    EXPECT_TRUE(a.contains(14, 23));
    EXPECT_FALSE(a.contains(15, 23));
    EXPECT_FALSE(a.contains(14, 24));
    EXPECT_FALSE(a.overlaps({15, 20, 5, 4}));
    EXPECT_FALSE(a.overlaps({10, 24, 5, 4}));
    EXPECT_FALSE(a.overlaps({5, 20, 5, 4}));
    EXPECT_TRUE(a.overlaps({14, 23, 5, 4}));
    EXPECT_TRUE(a.overlaps({11, 21, 1, 1}));
}

TEST(CityLabels, EightCandidatesInOrderThenNone) {
    // Marker radius 4: labels keep 8 pixels from the centre; divisions truncate (7 / 2 = 3).
    const LabelRect viewport{0, 0, 400, 400};
    const std::array<LabelRect, 8> expected{{{208, 197, 31, 7},
                                             {161, 197, 31, 7},
                                             {185, 185, 31, 7},
                                             {185, 208, 31, 7},
                                             {208, 185, 31, 7},
                                             {161, 185, 31, 7},
                                             {208, 208, 31, 7},
                                             {161, 208, 31, 7}}};
    std::vector<LabelRect> occupied;
    for (const LabelRect& candidate : expected) {
        EXPECT_EQ(placeCityLabel(200, 200, 31, 7, viewport, occupied, 4), candidate);
        // A single pixel in its middle blocks this candidate and no other.
        occupied.push_back({candidate.x + candidate.w / 2, candidate.y + candidate.h / 2, 1, 1});
    }
    EXPECT_FALSE(placeCityLabel(200, 200, 31, 7, viewport, occupied, 4));
}

TEST(CityLabels, ThreePixelsOfAirAndMoreThanAPixelInsideTheViewport) {
    const LabelRect right{208, 197, 30, 7};
    const LabelRect left{162, 197, 30, 7};
    const auto place = [&](std::vector<LabelRect> occupied, LabelRect area = {0, 0, 400, 400}) {
        return placeCityLabel(200, 200, 30, 7, area, occupied, 4);
    };
    EXPECT_EQ(place({{238, 197, 10, 7}}), left) << "a label sharing the right edge";
    EXPECT_EQ(place({{240, 197, 10, 7}}), left) << "two pixels of air";
    EXPECT_EQ(place({{241, 197, 10, 7}}), right) << "three pixels of air";
    EXPECT_EQ(place({{208, 206, 30, 7}}), left) << "two pixels of air below";
    EXPECT_EQ(place({{208, 207, 30, 7}}), right) << "three pixels of air below";
    // The right label ends at x = 238: it needs a viewport reaching past 239.
    EXPECT_EQ(place({}, {0, 0, 240, 400}), right);
    EXPECT_EQ(place({}, {0, 0, 239, 400}), left);
    // The left label starts at x = 162: the viewport must start left of 161.
    EXPECT_EQ(place({right}, {160, 0, 240, 400}), left);
    EXPECT_EQ(place({right}, {161, 0, 239, 400}), (LabelRect{185, 185, 30, 7}));
    // With both sides taken, the label above (top at 185) needs the viewport's top above 184.
    EXPECT_EQ(place({right, left}, {0, 183, 400, 400}), (LabelRect{185, 185, 30, 7}));
    EXPECT_EQ(place({right, left}, {0, 184, 400, 400}), (LabelRect{185, 208, 30, 7}));
}

TEST(CityLabels, ImportantCitiesReserveMarkerAndLabelFirstAndTheChosenOneAlwaysGetsAName) {
    // City 0 at (100, 100) with the markers of cities 1 to 8 on its eight label places.
    std::vector<City> cities{city("AB")};
    std::vector<CityPlacement> placements{{0, 100, 100, 2, std::nullopt, 0}};
    const std::array<std::array<int, 2>, 8> around{
        {{114, 100}, {86, 100}, {100, 88}, {100, 111}, {114, 88}, {86, 88}, {114, 111}, {86, 111}}};
    for (const auto [x, y] : around) {
        placements.push_back({cities.size(), x, y, 2, std::nullopt, 0});
        cities.push_back(city(""));
    }
    const LabelRect viewport{0, 0, 400, 400};
    const auto labelled = [&](std::optional<std::size_t> selected, std::optional<std::size_t> hovered,
                              LabelObstacles obstacles = {}) {
        auto result = placements;
        CityLabelScratch scratch;
        labelCityPlacements(result, cities, viewport, selected, hovered, scratch, obstacles);
        return result;
    };
    const auto indices = [](const std::vector<CityPlacement>& result) {
        std::vector<std::size_t> order;
        for (const CityPlacement& p : result) {
            order.push_back(p.index);
        }
        return order;
    };

    // Among equals the first city takes its place right of its marker; the neighbour whose marker
    // would lie on that label is left out, the others keep their markers.
    const auto plain = labelled(std::nullopt, std::nullopt);
    ASSERT_EQ(plain[0].index, 0u);
    EXPECT_EQ(plain[0].label, (LabelRect{108, 93, 24, 14}));
    EXPECT_EQ(indices(plain), (std::vector<std::size_t>{0, 2, 3, 4, 5, 6, 7, 8}));

    // Selected, then hovered, then capitals, then by population.
    EXPECT_EQ(indices(labelled(5, 3)).front(), 5u);
    EXPECT_EQ(indices(labelled(5, 3))[1], 3u);
    cities[7].capital = true;
    cities[2].population = 5000;
    const auto ranked = indices(labelled(std::nullopt, std::nullopt));
    EXPECT_EQ((std::vector<std::size_t>{ranked[0], ranked[1]}), (std::vector<std::size_t>{7, 2}));
    cities[7].capital = false;
    cities[2].population = 0;

    // Objectives on every place: a lesser city gets no name, the chosen one its name over them at its
    // own scale; units it never covers.
    std::vector<LabelRect> blocks;
    for (const auto [x, y] : around) {
        blocks.push_back({x - 6, y - 6, 13, 13});
    }
    const auto underObjectives = labelled(std::nullopt, std::nullopt, {{}, blocks});
    EXPECT_FALSE(underObjectives[0].label);
    const auto chosen = labelled(0, std::nullopt, {{}, blocks});
    EXPECT_EQ(chosen[0].scale, 2);
    EXPECT_EQ(chosen[0].label, (LabelRect{108, 93, 24, 14}));
    EXPECT_FALSE(labelled(0, std::nullopt, {blocks, {}})[0].label);

    // With room, scale 2 stays; too wide for the viewport at 2, the label drops to scale 1.
    std::vector<CityPlacement> lone{{0, 100, 100, 2, std::nullopt, 0}};
    const std::vector<City> named{city("ABCDEFGHIJ")};
    labelCityPlacements(lone, named, viewport, std::nullopt, std::nullopt);
    EXPECT_EQ(lone[0].label, (LabelRect{108, 93, 120, 14}));
    lone[0].scale = 2;
    labelCityPlacements(lone, named, {0, 0, 150, 200}, std::nullopt, std::nullopt);
    EXPECT_EQ(lone[0].scale, 1);
    EXPECT_EQ(lone[0].label, (LabelRect{32, 97, 60, 7}));
}

TEST(CityLabels, CrowdedViewLeavesNoLabelOnALabelMarkerOrUnit) {
    // Hundreds of cities on a map area as the window shows it, names up to 24 letters, and units:
    // no label covers another label, a marker that is drawn or a unit; no drawn marker covers another.
    const LabelRect viewport{0, 82, 1010, 734};
    std::mt19937 generator(7);
    std::vector<City> cities;
    std::vector<CityPlacement> placements;
    for (std::size_t i = 0; i < 600; ++i) {
        cities.push_back(city(std::string(1 + generator() % 24, 'X'), {}, int(i % 3), i % 50 == 0));
        cities.back().population = static_cast<std::int64_t>(generator() % 100000);
        const int x = 5 + static_cast<int>(generator() % 1001);
        const int y = 87 + static_cast<int>(generator() % 725);
        placements.push_back({i, x, y, 2, std::nullopt, i % 3 == 0 ? 0 : 23});
    }
    std::vector<LabelRect> units;
    for (int k = 0; k < 30; ++k) {
        units.push_back({static_cast<int>(generator() % 1000), 82 + static_cast<int>(generator() % 700), 22, 19});
    }
    CityLabelScratch scratch;
    labelCityPlacements(placements, cities, viewport, 17, 33, scratch, {units, {}});

    std::vector<LabelRect> markers;
    std::vector<LabelRect> labels;
    for (const CityPlacement& p : placements) {
        const int r = markerRadius(p.symbolSize);
        markers.push_back({p.x - r, p.y - r, 2 * r + 1, 2 * r + 1});
        if (p.label) {
            labels.push_back(*p.label);
        }
    }
    const auto overlapping = [](const std::vector<LabelRect>& a, const std::vector<LabelRect>& b, bool same) {
        int count = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            for (std::size_t j = same ? i + 1 : 0; j < b.size(); ++j) {
                count += a[i].overlaps(b[j]);
            }
        }
        return count;
    };
    EXPECT_EQ(overlapping(labels, labels, true), 0);
    EXPECT_EQ(overlapping(labels, markers, false), 0);
    EXPECT_EQ(overlapping(labels, units, false), 0);
    EXPECT_EQ(overlapping(markers, markers, true), 0);
    EXPECT_GT(labels.size(), 100u);
    EXPECT_TRUE(placements[0].label && placements[0].index == 17) << "the selected city leads and is named";
}

TEST(CityLabels, ZoomDecidesTiersLabelScaleAndSizeClass) {
    EXPECT_EQ(cityZoom(1, 4.99).tierLimit, 0);
    EXPECT_EQ(cityZoom(1, 5).tierLimit, 1);
    EXPECT_EQ(cityZoom(1, 13.99).tierLimit, 1);
    EXPECT_EQ(cityZoom(1, 14).tierLimit, 2);
    EXPECT_EQ(cityZoom(13.99, 200).tierLimit, 2);
    EXPECT_EQ(cityZoom(14, 200).tierLimit, 3);
    EXPECT_EQ(cityZoom(1, 11.99).labelScale, 1);
    EXPECT_EQ(cityZoom(1, 12).labelScale, 2);
    EXPECT_EQ(markerRadius(0), 4);
    EXPECT_EQ(markerRadius(9), 4);
    EXPECT_EQ(markerRadius(10), 5);
    EXPECT_EQ(markerRadius(23), 11);

    EXPECT_EQ(CityGraphics::sizeStyle(19'999), 0);
    EXPECT_EQ(CityGraphics::sizeStyle(20'000), 1);
    EXPECT_EQ(CityGraphics::sizeStyle(99'999), 1);
    EXPECT_EQ(CityGraphics::sizeStyle(100'000), 2);
    EXPECT_EQ(CityGraphics::sizeStyle(999'999), 2);
    EXPECT_EQ(CityGraphics::sizeStyle(1'000'000), 3);
}

TEST(CityLabels, CopiesNeedFivePixelsOfMapAreaAndRepeatWithThePeriod) {
    // Identity camera on a 1280 x 850 window: the map area spans x 0..1010, y 82..816.
    const Camera camera{0, 0, 1, 1, 1};
    const auto copies = [&](Point world, double period = 1e9) {
        std::vector<CityPlacement> placements;
        appendCityCopies(placements, 7, world, camera, period, 1280, 850, 2, 0);
        return placements;
    };
    EXPECT_TRUE(copies({4, 300}).empty());
    ASSERT_EQ(copies({5, 300}).size(), 1u);
    EXPECT_EQ(copies({1005, 87}).size(), 1u);
    EXPECT_TRUE(copies({1005.5, 300}).empty());
    EXPECT_TRUE(copies({500, 86.9}).empty());
    EXPECT_EQ(copies({500, 811}).size(), 1u);
    EXPECT_TRUE(copies({500, 811.1}).empty());
    const CityPlacement p = copies({5.5, 300.4})[0];
    EXPECT_EQ(p.index, 7u);
    EXPECT_EQ(p.x, 6);
    EXPECT_EQ(p.y, 300);
    EXPECT_EQ(p.scale, 2);
    EXPECT_FALSE(p.label);

    // A world 100 units wide shows ten copies, whichever copy the city is given in.
    for (const double x : {50.0, 1050.0, -950.0}) {
        const auto repeated = copies({x, 300}, 100);
        ASSERT_EQ(repeated.size(), 10u) << x;
        EXPECT_EQ(repeated.front().x, 50);
        EXPECT_EQ(repeated.back().x, 950);
    }
}

TEST(CityGraphics, LoadersCheckSizeAndAlphaAndDrawTheRightCell) {
    HeadlessRenderer screen(64, 64);
    SDL_Renderer* renderer = screen.get();
    const ScratchDirectory images("city_images");
    writeImage(images / "opaque.bmp", 256, 256, SDL_PIXELFORMAT_RGB24, {255, 0, 0, 255});
    writeImage(images / "small.bmp", 256, 255, SDL_PIXELFORMAT_ARGB8888, {255, 0, 0, 255});
    writeImage(images / "wide.bmp", 1024, 255, SDL_PIXELFORMAT_ARGB8888, {255, 0, 0, 255});
    writeImage(images / "marker.bmp", 256, 256, SDL_PIXELFORMAT_ARGB8888, {255, 0, 0, 255});

    CityGraphics graphics;
    graphics.draw(renderer, {32, 32}, 20, 1); // nothing loaded: nothing drawn
    // Each refusal names the file and what it should be.
    const auto refused = [&](const std::string& error, const char* file, const std::string& invalid) {
        return error.rfind((images / file).string() + ": " + invalid + " (", 0) == 0;
    };
    EXPECT_TRUE(refused(errorOf([&] { graphics.load(renderer, images.path(), "opaque.bmp"); }), "opaque.bmp",
                        "Ungueltige Stadtgrafik"));
    EXPECT_TRUE(refused(errorOf([&] { graphics.load(renderer, images.path(), "small.bmp"); }), "small.bmp",
                        "Ungueltige Stadtgrafik"));
    EXPECT_TRUE(refused(errorOf([&] { graphics.load(renderer, images.path(), "wide.bmp"); }), "wide.bmp",
                        "Ungueltige Stadtgrafik"));
    EXPECT_TRUE(refused(errorOf([&] { graphics.loadSizes(renderer, images.path(), "marker.bmp"); }), "marker.bmp",
                        "Ungueltige Stadtgroessen-Grafik"));
    EXPECT_TRUE(refused(errorOf([&] { graphics.loadSizes(renderer, images.path(), "wide.bmp"); }), "wide.bmp",
                        "Ungueltige Stadtgroessen-Grafik"));
    const std::string missing = errorOf([&] { graphics.load(renderer, images.path(), "fehlt.bmp"); });
    EXPECT_EQ(missing, "Bilddatei nicht lesbar: " + (images / "fehlt.bmp").string());

    // The size cells in four colours; the general marker red.
    const std::array<SDL_Color, 4> cells{{{0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}, {0, 255, 255, 255}}};
    const SurfaceHandle sheet(SDL_CreateRGBSurfaceWithFormat(0, 1024, 256, 32, SDL_PIXELFORMAT_ARGB8888));
    for (int s = 0; s < 4; ++s) {
        const SDL_Rect cell{256 * s, 0, 256, 256};
        SDL_FillRect(sheet.get(), &cell, SDL_MapRGBA(sheet->format, cells[s].r, cells[s].g, cells[s].b, 255));
    }
    ASSERT_EQ(SDL_SaveBMP(sheet.get(), (images / "sizes.bmp").string().c_str()), 0);
    graphics.load(renderer, images.path(), "marker.bmp");
    const auto drawnColor = [&](int style) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        graphics.draw(renderer, {32, 32}, 20, style);
        SDL_RenderFlush(renderer);
        return screen.pixel(32, 32);
    };
    EXPECT_TRUE(sameColor(drawnColor(2), {255, 0, 0, 255})) << "no size sheet: the general marker";
    graphics.loadSizes(renderer, images.path(), "sizes.bmp");
    for (int s = 0; s < 4; ++s) {
        EXPECT_TRUE(sameColor(drawnColor(s), cells[std::size_t(s)])) << s;
    }
    EXPECT_TRUE(sameColor(drawnColor(-1), {255, 0, 0, 255}));
    EXPECT_TRUE(sameColor(drawnColor(4), {255, 0, 0, 255}));
    // size x size pixels around the centre: 20 pixels from 22 to 41.
    EXPECT_TRUE(sameColor(screen.pixel(22, 22), {255, 0, 0, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(41, 41), {255, 0, 0, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(21, 32), {0, 0, 0, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(42, 32), {0, 0, 0, 255}));
}

TEST(CityLayer, LowZoomShowsCapitalsAndTheSelectedCityInTheirColours) {
    // One field per degree; at scale 2 a degree is 3 pixels wide, so only tier 0 shows.
    Client client(mapFromJson(uniformWorld(360, 180)),
                  {city("Hauptstadt", {10, 10}, 0, true), city("Kleinstadt", {14, 10}, 2),
                   city("Dorf", {18, 10}, 2), city("Grossstadt", {22, 10}, 0)});
    client.focusGeography({16, 10}, 2);
    const auto shown = [&] {
        std::vector<std::size_t> indices;
        for (const CityPlacement& p : client.mapView.cities().placements(client.mapView.scene())) {
            indices.push_back(p.index);
        }
        std::sort(indices.begin(), indices.end());
        return indices;
    };
    EXPECT_EQ(shown(), (std::vector<std::size_t>{0, 3}));
    client.view.selectedCity = 2;
    EXPECT_EQ(shown(), (std::vector<std::size_t>{0, 2, 3}));
    client.view.citiesVisible = false;
    EXPECT_TRUE(shown().empty());
    client.view.citiesVisible = true;

    HeadlessRenderer screen(client.view.width, client.view.height);
    client.mapView.cities().draw(client.mapView.frame(screen.get()));
    client.mapView.cities().drawLabels(client.mapView.frame(screen.get()));
    SDL_RenderFlush(screen.get());
    const auto placements = client.mapView.cities().placements(client.mapView.scene());
    const auto at = [&](std::size_t index) {
        return *std::find_if(placements.begin(), placements.end(), [&](const auto& p) { return p.index == index; });
    };
    const CityPlacement capital = at(0);
    const CityPlacement selected = at(2);
    const CityPlacement plain = at(3);
    const SDL_Color capitalColor{232, 204, 136, 255};
    EXPECT_EQ(placements.front().index, 2u) << "the selected city is placed first";
    EXPECT_EQ(selected.symbolSize, 0);
    // Capital: dark square, a ring and a dot; others: a filled square.
    EXPECT_TRUE(sameColor(screen.pixel(capital.x, capital.y), capitalColor));
    EXPECT_TRUE(sameColor(screen.pixel(capital.x - 3, capital.y), capitalColor));
    EXPECT_TRUE(sameColor(screen.pixel(capital.x - 2, capital.y), mapBackground));
    EXPECT_TRUE(sameColor(screen.pixel(capital.x - 4, capital.y), mapBackground));
    EXPECT_TRUE(sameColor(screen.pixel(plain.x - 2, plain.y), ink));
    EXPECT_TRUE(sameColor(screen.pixel(plain.x - 3, plain.y), mapBackground));
    EXPECT_TRUE(sameColor(screen.pixel(selected.x, selected.y), gold));
    // Labels on their dark plates, in the marker's colour (the first letter's left column).
    for (const auto& [p, color] : {std::pair{capital, capitalColor}, {selected, gold}, {plain, ink}}) {
        ASSERT_TRUE(p.label);
        EXPECT_TRUE(sameColor(screen.pixel(p.label->x - 2, p.label->y - 2), mapBackground));
        EXPECT_TRUE(sameColor(screen.pixel(p.label->x, p.label->y + p.scale * 3), color)) << p.index;
    }
}

TEST(CityLayer, OtherMapsMarkTheirCityFieldsFromZoom14) {
    Client client(forces::makeMap({"ppppp", "ppcpp", "ppppp"}));
    HeadlessRenderer screen(client.view.width, client.view.height);
    client.mapView.images().cityGraphics.load(screen.get(), dataDirectory, CityGraphics::markerFile);
    const auto centrePixel = [&](double scale) {
        client.view.centerOn(hexCenter({2, 1}), scale);
        SDL_SetRenderDrawColor(screen.get(), 0, 0, 0, 255);
        SDL_RenderClear(screen.get());
        client.mapView.cities().draw(client.mapView.frame(screen.get()));
    client.mapView.cities().drawLabels(client.mapView.frame(screen.get()));
        SDL_RenderFlush(screen.get());
        const Point s = client.view.camera.toScreen(hexCenter({2, 1}));
        return screen.pixel(int(s.x), int(s.y));
    };
    EXPECT_TRUE(sameColor(centrePixel(13.9), {0, 0, 0, 255}));
    EXPECT_EQ(client.view.citySymbolSize(), 0);
    EXPECT_FALSE(sameColor(centrePixel(20), {0, 0, 0, 255}));
    EXPECT_EQ(client.view.citySymbolSize(), 32);
    EXPECT_TRUE(client.mapView.cities().placements(client.mapView.scene()).empty());
}

TEST(CityLabels, LabelPicturesEqualTheDrawnPlatesAlsoAfterTheAtlasFills) {
    LabelPictures pictures;
    const SDL_Color plate{13, 23, 26, 255};
    expectCopiesEqualDrawing(400, 60, [&](SDL_Renderer* drawn, SDL_Renderer* copied) {
        // Long names fill the atlas every eight hundred labels or so: it starts over on the way.
        for (int k = 0; k < 1300; ++k) {
            const std::string name = "STADT NUMMER " + std::to_string(k) + " AM LANGEN FLUSS";
            const int scale = 1 + k % 2;
            const SDL_Rect label{3 + k % 7, 3 + k % 11 * 4, int(name.size()) * 6 * scale, 7 * scale};
            const SDL_Color color = k % 3 ? ink : gold;
            rect(drawn, {label.x - 2, label.y - 2, label.w + 4, label.h + 4}, plate);
            text(drawn, label.x, label.y, name, color, scale);
            pictures.draw(copied, label, name, color, plate, scale);
        }
        // Wider than the first atlas and than the larger one.
        for (const int repeat : {15, 30, 15}) {
            std::string name;
            for (int k = 0; k < repeat; ++k) {
                name += "LANGER NAME ";
            }
            const SDL_Rect label{-200, 30, int(name.size()) * 6, 7};
            rect(drawn, {label.x - 2, label.y - 2, label.w + 4, label.h + 4}, plate);
            text(drawn, label.x, label.y, name, ink, 1);
            pictures.draw(copied, label, name, ink, plate, 1);
        }
    });
}
