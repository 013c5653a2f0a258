// Terrain rendering: the atlas, icon texture coordinates, join strips, polygon clipping, play-grid
// pieces and a headless frame of the terrain layer.
#include "shell/client.hpp"
#include "error_of.hpp"
#include "map_fixtures.hpp"
#include "cities/city_footprint.hpp"
#include "kit/palette.hpp"
#include "terrain/terrain_display.hpp"
#include "terrain/terrain_geometry.hpp"
#include "terrain/terrain_icons.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>
#include <filesystem>

using namespace korvan;
using namespace korvan::testing;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
const std::string atlasMessage = "Ungueltiger Gelaendeatlas oder fehlende Transparenz";

// A software renderer drawing into a surface whose pixels the test reads back.
struct Canvas {
    Canvas(int w, int h)
        : surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888)),
          renderer(SDL_CreateSoftwareRenderer(surface.get())) {}
    SDL_Color pixel(int x, int y) const {
        SDL_RenderFlush(renderer.get());
        const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        SDL_Color c;
        SDL_GetRGBA(reinterpret_cast<const Uint32*>(row)[x], surface->format, &c.r, &c.g, &c.b, &c.a);
        return c;
    }
    SurfaceHandle surface;
    RendererHandle renderer;
};

bool sameColor(SDL_Color a, SDL_Color b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

// A regional (non-world) odd-r map; terrain(column, row) gives each field's terrain id.
template <typename TerrainOf>
Map region(int width, int height, TerrainOf terrain) {
    nlohmann::json tiles = nlohmann::json::array();
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            tiles.push_back({{"q", c - r / 2}, {"r", r}, {"terrain", terrain(c, r)}});
        }
    }
    return mapFromJson({{"schema_version", 1}, {"width", width}, {"height", height}, {"name", "Region"},
                        {"layout", "odd-r"}, {"wrap_horizontal", false}, {"tiles", tiles},
                        {"river_edges", nlohmann::json::array()}});
}

// The atlas cell (column, row) a texture coordinate lies in.
std::pair<int, int> cellOf(const SDL_Vertex& v) {
    return {static_cast<int>(std::floor(v.tex_coord.x * 4)), static_cast<int>(std::floor(v.tex_coord.y * 3))};
}

std::filesystem::path writeAtlas(const std::string& name, int w, int h, Uint32 format) {
    const auto directory = std::filesystem::temp_directory_path() / "korvan_terrain_atlas" / name;
    std::filesystem::create_directories(directory);
    const SurfaceHandle image(SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format));
    SDL_SaveBMP(image.get(), (directory / TerrainArt::fileName).string().c_str());
    return directory;
}

const std::array<Point, 6> unitHex = corners(Hex{0, 0});

std::array<Point, 6> hexAt(Point centre, double radius) {
    std::array<Point, 6> result;
    for (std::size_t i = 0; i < 6; ++i) {
        result[i] = centre + unitHex[i] * radius;
    }
    return result;
}

double area(const std::vector<Point>& polygon) {
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i];
        const Point b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2;
}

} // namespace

TEST(TerrainArt, RejectsAtlasWithoutAlphaOrOfWrongSize) {
    Canvas canvas(4, 4);
    TerrainArt art;
    // Refused naming the file, before it is decoded.
    for (const auto& [name, height, format] : {std::tuple{"opaque", 768, Uint32(SDL_PIXELFORMAT_RGB24)},
                                               std::tuple{"small", 767, Uint32(SDL_PIXELFORMAT_ARGB8888)}}) {
        const auto directory = writeAtlas(name, 1024, height, format);
        EXPECT_EQ(errorOf([&] { art.load(canvas.renderer.get(), directory); })
                      .rfind((directory / "terrain-icons-v4.bmp").string() + ": " + atlasMessage + " (", 0),
                  0u)
            << name;
    }
    const std::string missing = errorOf([&] { art.load(canvas.renderer.get(), dataDirectory / "nirgends"); });
    EXPECT_FALSE(missing.empty());
    EXPECT_NE(missing, atlasMessage);
    EXPECT_EQ(art.get(), nullptr);

    art.load(canvas.renderer.get(), dataDirectory);
    ASSERT_NE(art.get(), nullptr);
    SDL_BlendMode mode{};
    SDL_GetTextureBlendMode(art.get(), &mode);
    EXPECT_EQ(mode, SDL_BLENDMODE_BLEND);
}

TEST(TerrainDisplay, ValuesOutsideTheTableShowInInkWithoutLabel) {
    EXPECT_EQ(label(Terrain::Ice), "EIS / SCHNEE");
    for (const int value : {-1, terrainCount}) {
        EXPECT_TRUE(sameColor(color(static_cast<Terrain>(value)), ink)) << value;
        EXPECT_EQ(label(static_cast<Terrain>(value)), "") << value;
    }
}

TEST(TerrainIcons, FieldCoversTheMiddleOfItsCellAndForestAlternates) {
    // A pointy hexagon is taller than wide: its corners span 11 % .. 89 % of the cell vertically.
    const auto uv = terrainTextureUV(hexAt({300, 200}, 20));
    EXPECT_EQ(uv[0], (Point{0.5, 0.5}));
    EXPECT_NEAR(uv[1].y, 0.11, 1e-12);
    EXPECT_NEAR(uv[4].y, 0.89, 1e-12);
    EXPECT_NEAR(uv[2].x - uv[6].x, 0.78 * sqrt3 / 2, 1e-12);

    TerrainIcons legend(nullptr);
    legend.add(Terrain::Plain, {40, 60}, 20, 0);
    ASSERT_EQ(legend.vertices.size(), 7u);
    EXPECT_FLOAT_EQ(legend.vertices[1].position.x, 40); // corner 0: the top, half the size above
    EXPECT_FLOAT_EQ(legend.vertices[1].position.y, 50);

    // The variant hash is pinned: it picks the art of every field, also at negative q.
    EXPECT_EQ(terrainVariation({-3, 5}), 0x514F99B3u);
    EXPECT_EQ(terrainVariation({1, 0}), 0x641ED1CAu);

    for (const std::uint32_t variation : {0u, 1u, 2u, 3u, 4u, 7u, 0xFFFFFFFFu}) {
        TerrainIcons icons(nullptr);
        icons.addTile(Terrain::Forest, hexAt({50, 50}, 10), variation);
        ASSERT_EQ(icons.vertices.size(), 7u);
        ASSERT_EQ(icons.indices.size(), 18u);
        const auto expected = variation % 3 == 1 ? std::pair{3, 2} : std::pair{1, 0};
        for (const SDL_Vertex& v : icons.vertices) {
            EXPECT_EQ(cellOf(v), expected) << variation;
        }
    }
}

TEST(TerrainIcons, VariantsShiftAndMirrorWithinTheCell) {
    const Point centre = terrainVariantUV({0.5, 0.5}, 0, false);
    EXPECT_NEAR(centre.x, 0.485, 1e-12);
    EXPECT_NEAR(centre.y, 0.485, 1e-12);
    const Point shifted = terrainVariantUV({0.5, 0.5}, 0x1100u, false);
    EXPECT_NEAR(shifted.x, 0.515, 1e-12);
    EXPECT_NEAR(shifted.y, 0.5, 1e-12);

    for (std::uint32_t variation = 0; variation < 0x4000; variation += 0x17) {
        for (const Terrain t : {Terrain::Hills, Terrain::Farmland}) {
            TerrainIcons icons(nullptr);
            icons.addTile(t, hexAt({0, 0}, 30), variation);
            for (const SDL_Vertex& v : icons.vertices) {
                EXPECT_EQ(cellOf(v), (std::pair{static_cast<int>(t) % 4, static_cast<int>(t) / 4}));
            }
            // Corner 1 lies right of the centre; only farmland with bit 4 set flips it left.
            const bool flipped = icons.vertices[2].tex_coord.x < icons.vertices[0].tex_coord.x;
            EXPECT_EQ(flipped, t == Terrain::Farmland && (variation & 0x10) != 0) << variation;
        }
    }
}

TEST(TerrainIcons, JoinStripFadesOverAQuarterOfTheWayToTheCentre) {
    const auto receiving = hexAt({100, 100}, 40);
    const auto donating = hexAt({100 + 40 * sqrt3 * 0.5, 100 - 60}, 40);
    const Point z{100, 100};
    TerrainIcons icons(nullptr);
    icons.addTransition(Terrain::Plain, receiving, donating, 0, 0, true, true);
    ASSERT_EQ(icons.vertices.size(), 32u); // 4 segments x 2 bands x 4 vertices
    ASSERT_EQ(icons.indices.size(), 48u);
    const auto alpha = [&](int k, int band, int v) {
        return icons.vertices[std::size_t(k * 8 + band * 4 + v)].color.a;
    };
    EXPECT_EQ(alpha(0, 0, 0), 85);
    EXPECT_EQ(alpha(0, 0, 1), 128);
    EXPECT_EQ(alpha(0, 0, 3), 21);
    EXPECT_EQ(alpha(3, 0, 0), 128);
    EXPECT_EQ(alpha(3, 0, 1), 85);
    EXPECT_EQ(alpha(1, 1, 0), 32);
    EXPECT_EQ(alpha(1, 1, 2), 0);
    const SDL_Vertex inner = icons.vertices[3 * 8 + 4 + 2]; // the far end of the edge, deepest band
    const Point expected = receiving[1] + (z - receiving[1]) * 0.24;
    EXPECT_NEAR(inner.position.x, expected.x, 1e-3);
    EXPECT_NEAR(inner.position.y, expected.y, 1e-3);
    // The strip samples the donor's frame: the shared edge lies at the donor's lower corners.
    const auto donorUV = terrainTextureUV(donating);
    EXPECT_NEAR(icons.vertices[0].tex_coord.x, donorUV[5].x * 0.25, 1e-6);
    EXPECT_NEAR(icons.vertices[0].tex_coord.y, donorUV[5].y / 3, 1e-6);
}

TEST(TerrainJoins, SixStripsWhenSurroundedNoneWhenAlone) {
    // 3 x 3 odd-r: the middle field (1, 1) has all six neighbours on the map.
    const auto stripsOfMiddle = [](Map m) {
        Client client(std::move(m));
        client.view.centerOn(hexCenter({1, 1}), 40);
        TerrainIcons icons(nullptr);
        addSameTerrainJoins(client.mapView.scene(), icons);
        const Point middle = client.view.camera.toScreen(hexCenter({1, 1}));
        std::vector<std::pair<int, int>> ends; // per strip of the middle field: start and end opacity
        for (std::size_t s = 0; s < icons.vertices.size(); s += 32) {
            Point mean;
            for (std::size_t v = s; v < s + 32; ++v) {
                mean = mean + Point{icons.vertices[v].position.x, icons.vertices[v].position.y} * (1.0 / 32);
            }
            // A strip lies 0.88 apothems from its own field's centre and 1.12 from its neighbour's.
            if (std::hypot(mean.x - middle.x, mean.y - middle.y) < 40 * sqrt3 / 2) {
                ends.push_back({icons.vertices[s].color.a, icons.vertices[s + 25].color.a});
            }
        }
        return ends;
    };
    const auto surrounded = stripsOfMiddle(region(3, 3, [](int, int) { return "forest"; }));
    const std::vector<std::pair<int, int>> expected{{128, 128}, {85, 128}, {85, 128}, {85, 128}, {85, 128}, {85, 85}};
    EXPECT_EQ(surrounded, expected);
    EXPECT_TRUE(
        stripsOfMiddle(region(3, 3, [](int c, int r) { return c == 1 && r == 1 ? "water" : "forest"; })).empty());
    EXPECT_TRUE(stripsOfMiddle(region(3, 3, [](int, int) { return "city"; })).empty());
}

TEST(TerrainClip, ConvexMaskCutsInsideAndOutside) {
    const std::vector<Point> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    // Clockwise on screen (y down); its lower edge y = 2 halves the square.
    const std::vector<Point> triangle{{2, -2}, {6, 2}, {-2, 2}};
    const auto cut = clipCityPolygon(square, triangle);
    EXPECT_NEAR(area(cut), 8, 1e-12);
    for (const Point p : cut) {
        EXPECT_LE(p.y, 2 + 1e-12);
    }
    const std::vector<Point> big{{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
    EXPECT_EQ(clipCityPolygon(square, big), square);
    const std::vector<Point> far{{20, 20}, {24, 20}, {24, 24}};
    EXPECT_TRUE(clipCityPolygon(square, far).empty());
}

TEST(TerrainPlayGrid, EachGameFieldTakesItsLandPictureWithTheWaterCutIn) {
    // Water rows among forest: every game field is covered once by its land picture, and the
    // water of the world fields is laid over it in pieces cut to the field.
    std::vector<std::string> rows(36, "f72");
    for (int r = 10; r < 20; ++r) {
        rows[std::size_t(r)] = "f30w12f30";
    }
    Client client(mapFromJson(compactWorld(72, rows)));
    ASSERT_TRUE(client.world.playGrid);
    client.view.centerOn(hexCenter({30, 15}), 20);
    TerrainScratch scratch;
    addPlayGridIcons(client.mapView.scene(), scratch);
    const TerrainIcons& icons = scratch.batch;
    double land = 0;
    double water = 0;
    for (std::size_t i = 0; i < icons.indices.size(); i += 3) {
        const auto p = [&](std::size_t k) {
            const SDL_FPoint v = icons.vertices[std::size_t(icons.indices[i + k])].position;
            return Point{v.x, v.y};
        };
        const auto cell = cellOf(icons.vertices[std::size_t(icons.indices[i])]);
        (cell == std::pair{1, 1} ? water : land) += area({p(0), p(1), p(2)});
    }
    int fields = 0;
    client.view.forVisibleGame([&](Hex, Hex) { ++fields; });
    const Camera g = client.view.gameCamera();
    const double fieldArea = 1.5 * sqrt3 * (g.scale * g.horizontalScale) * (g.scale * g.verticalScale);
    EXPECT_GT(fields, 0);
    EXPECT_NEAR(land / (fields * fieldArea), 1.0, 1e-4);
    EXPECT_GT(water, 0.05 * land);
    EXPECT_LT(water, land);
}

TEST(TerrainFrame, FlatColoursBelowZoom14AndIconsFrom14) {
    EXPECT_FALSE(terrainDetail(false, 13.9).icons);
    EXPECT_FALSE(terrainDetail(false, 13.9).joins);
    EXPECT_TRUE(terrainDetail(false, 14).icons);
    EXPECT_TRUE(terrainDetail(false, 14).joins);
    EXPECT_FALSE(terrainDetail(true, 13.9).playGrid);
    EXPECT_TRUE(terrainDetail(true, 14).playGrid);
    EXPECT_FALSE(terrainDetail(true, 14).flat);

    Canvas canvas(470, 316); // a map area of 200 x 200 pixels
    Client client(region(5, 5, [](int c, int) { return c < 2 ? "water" : "hills"; }));
    client.view.width = 470;
    client.view.height = 316;
    client.mapView.images().terrainArt.load(canvas.renderer.get(), dataDirectory);
    const auto probe = [&](double scale) {
        client.view.centerOn(hexCenter({1, 2}), scale);
        client.mapView.terrain().draw(client.mapView.frame(canvas.renderer.get()));
        const Point water = client.view.camera.toScreen(hexCenter({0, 2}));
        const Point hills = client.view.camera.toScreen(hexCenter({2, 2}));
        return std::pair{canvas.pixel(int(water.x), int(water.y)), canvas.pixel(int(hills.x), int(hills.y))};
    };
    const auto [water, hills] = probe(13.9);
    EXPECT_TRUE(sameColor(water, color(Terrain::Water)));
    EXPECT_TRUE(sameColor(hills, color(Terrain::Hills)));
    EXPECT_TRUE(sameColor(canvas.pixel(5, 5), {0, 0, 0, 0})) << "the clip keeps the top bar untouched";
    const auto [waterIcon, hillsIcon] = probe(14);
    EXPECT_FALSE(sameColor(waterIcon, color(Terrain::Water)));
    EXPECT_FALSE(sameColor(hillsIcon, color(Terrain::Hills)));
}
