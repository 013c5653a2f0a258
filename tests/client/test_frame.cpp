// The dot font, the frame around the map and the small map overlays.
#include "shell/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "kit/font.hpp"
#include "hud/panel_backdrop.hpp"
#include "kit/primitives.hpp"
#include "overlays/map_overlays.hpp"
#include "kit/palette.hpp"
#include "sdl/window_pixels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace korvan;
using korvan::testing::HeadlessRenderer;
using korvan::testing::sameColor;

namespace {

constexpr SDL_Color black{0, 0, 0, 255};
constexpr SDL_Color white{255, 255, 255, 255};

} // namespace

TEST(Font, EveryLetterDigitAndMarkHasADistinctGlyphInFiveColumns) {
    const std::array<std::uint8_t, 7> blank{};
    std::vector<std::array<std::uint8_t, 7>> seen;
    for (const char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-:./+><()=!?%',")) {
        const auto rows = glyphRows(static_cast<unsigned char>(c));
        EXPECT_NE(rows, blank) << c;
        EXPECT_TRUE(std::all_of(rows.begin(), rows.end(), [](std::uint8_t row) { return row < 0x20; })) << c;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), rows), 0) << c;
        seen.push_back(rows);
        if (c >= 'A' && c <= 'Z') {
            EXPECT_EQ(glyphRows(static_cast<unsigned char>(c - 'A' + 'a')), rows) << c;
        }
    }
    // What the font has no glyph for takes a blank cell, bytes of UTF-8 included.
    for (const unsigned char c : std::string(" |\xC3\xA4")) {
        EXPECT_EQ(glyphRows(c), blank) << int(c);
    }
}

TEST(Font, DotsAdvanceAndLineFeed) {
    HeadlessRenderer screen(80, 60);
    SDL_SetRenderDrawColor(screen.get(), 0, 0, 0, 255);
    SDL_RenderClear(screen.get());
    // " l" at scale 2: the blank is an empty cell, so L starts 12 pixels right; the line feed
    // goes back to x and 20 pixels down.
    text(screen.get(), 4, 3, " l\n.", white, 2);
    auto lit = [&](int x, int y) { return sameColor(screen.pixel(x, y), white); };
    for (int x = 4; x < 16; ++x) {
        for (int y = 3; y < 17; ++y) {
            ASSERT_FALSE(lit(x, y)) << x << ", " << y;
        }
    }
    EXPECT_TRUE(lit(16, 3) && lit(17, 4) && lit(16, 16)); // L's left column, top to bottom
    EXPECT_FALSE(lit(18, 3));
    EXPECT_TRUE(lit(24, 16) && lit(25, 15)); // L's foot reaches the fifth column
    EXPECT_TRUE(lit(8, 35) && lit(9, 36));   // the dot: column 2, row 6 of the next line
    EXPECT_FALSE(lit(8, 33));
}

TEST(Overlay, PathAcrossTheSeamStaysOneLine) {
    const Map world = forces::makeWorld(10, 4);
    const double period = world.period();
    // From the last column over the seam to the first, with a repeated field in between.
    const PathPoints path = pathWorldPoints(world, {Hex{9, 0}, Hex{9, 0}, Hex{0, 0}, Hex{1, 0}}, 3 * period + 1);
    ASSERT_EQ(path.world.size(), 3u);
    EXPECT_EQ(path.fields, (std::vector<Hex>{{9, 0}, {0, 0}, {1, 0}}));
    for (std::size_t k = 1; k < path.world.size(); ++k) {
        EXPECT_NEAR(path.world[k].x - path.world[k - 1].x, sqrt3, 1e-9);
    }
    // The copy nearest the view's middle, three periods east.
    EXPECT_NEAR(path.world[1].x, 3 * period, 1e-9);

    const Map region = forces::makeMap({"ppp", "ppp"});
    const PathPoints flat = pathWorldPoints(region, {Hex{0, 0}, Hex{1, 0}}, 1000);
    EXPECT_NEAR(flat.world[1].x, sqrt3, 1e-9);
}

TEST(Overlay, UnitPicturesFitTheirFieldsAtEveryZoom) {
    // The full icon needs room for its plate; below that a counter; any picture leaves a pixel of
    // air to the next field in its row and to the rows above and below.
    EXPECT_EQ(unitFootprintFor(76, 66), unitIconFootprint(48));
    EXPECT_EQ(unitIconFootprint(48).height, 23 + 21 + 18);
    for (double width = 17; width < 90; width += 0.7) {
        const UnitFootprint f = unitFootprintFor(width, width * 0.866);
        EXPECT_LE(f.width, width - 2) << width;
        EXPECT_LE(f.height, width * 0.866 - 2) << width;
        EXPECT_LE(f.width, largestUnitIcon);
        EXPECT_EQ(f.icon, f.width >= smallestUnitIcon && f.height >= unitIconFootprint(smallestUnitIcon).height);
    }
    // Bounds round the centre half away from zero, as the pictures are drawn.
    const ScreenRect large = ViewState::unitBounds({100.5, 50.4}, unitIconFootprint(48));
    EXPECT_EQ(large, (ScreenRect{77, 27, 48, 62}));
    const ScreenRect counter = ViewState::unitBounds({10, 10}, unitCounterFootprint(22, 19));
    EXPECT_EQ(counter, (ScreenRect{-1, 1, 22, 19}));
}

TEST(Overlay, MovementPreviewNeedsAMovableUnitUpClose) {
    Client client(forces::makeMap({"ppppp", "ppppp", "ppppp"}));
    client.game.army = forces::makeArmy(client.world.map, {{1, 0, "tank", {1, 1}}, {2, 1, "tank", {4, 2}}});
    client.view.camera.scale = 14;
    client.game.selectedUnit = 1;
    client.game.range = client.game.army.reachable(client.world.map, 1);
    EXPECT_TRUE(movementPreviewVisible(client.mapView.scene()));
    client.view.camera.scale = 13.9;
    EXPECT_FALSE(movementPreviewVisible(client.mapView.scene()));
    client.view.camera.scale = 14;
    client.game.battle = forces::makeBattle(client.world.map, client.game.army, {Hex{2, 0}});
    EXPECT_TRUE(movementPreviewVisible(client.mapView.scene()));
    client.game.selectedUnit = 2; // Red is the computer's
    EXPECT_FALSE(movementPreviewVisible(client.mapView.scene()));
    client.game.selectedUnit = 1;
    client.game.range.clear();
    EXPECT_FALSE(movementPreviewVisible(client.mapView.scene()));
}

TEST(Frame, PanelsAroundTheMapAndObjectives) {
    HeadlessRenderer screen(1000, 800);
    Client client(forces::makeMap({"ppppp", "ppppp", "ppppp"}));
    client.view.width = 1000;
    client.view.height = 800;
    client.game.army = forces::makeArmy(client.world.map, {{1, 0, "tank", {0, 0}}});
    client.game.battle = forces::makeBattle(client.world.map, client.game.army, {Hex{2, 1}});
    client.view.fit();
    client.render(screen.get());

    EXPECT_TRUE(sameColor(screen.pixel(500, 5), barBackground));
    EXPECT_TRUE(sameColor(screen.pixel(500, 790), barBackground));
    EXPECT_TRUE(sameColor(screen.pixel(990, 400), sidebarBackground));
    EXPECT_TRUE(sameColor(screen.pixel(26 + 3 * 1, 17 + 3 * 0), ink)); // the title's B, top row
    // The objective: a gold frame around the owner's colour at its field centre.
    const Point centre = client.view.camera.toScreen(hexCenter({2, 1}));
    const int x = static_cast<int>(centre.x);
    const int y = static_cast<int>(centre.y);
    EXPECT_TRUE(sameColor(screen.pixel(x - 6, y), gold));
    EXPECT_TRUE(sameColor(screen.pixel(x, y), redSideColor));
    // The frame leaves no clip behind for whoever draws next.
    EXPECT_FALSE(SDL_RenderIsClipEnabled(screen.get()));
}

// Whatever renderer the machine offers (OpenGL under the offscreen driver here): cached layers
// drawn into textures must reach the bottom of the map area, where a flipped clip would cut them.
TEST(Frame, CachedLayersFillTheWholeMapAreaOnTheDefaultRenderer) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const WindowHandle window(SDL_CreateWindow("Frame", 0, 0, 1000, 800, SDL_WINDOW_HIDDEN));
    ASSERT_TRUE(window) << SDL_GetError();
    const RendererHandle renderer(SDL_CreateRenderer(window.get(), -1, 0));
    ASSERT_TRUE(renderer) << SDL_GetError();
    Client client(forces::makeMap(std::vector<std::string>(40, std::string(60, 'f'))));
    client.view.width = 1000;
    client.view.height = 800;
    client.view.centerOn(hexCenter({30, 20}), 12);
    client.render(renderer.get());
    const auto pixelAt = [&](int x, int y) {
        const SDL_Rect one{x, y, 1, 1};
        Uint32 value = 0;
        EXPECT_EQ(SDL_RenderReadPixels(renderer.get(), &one, SDL_PIXELFORMAT_ARGB8888, &value, 4), 0);
        return SDL_Color{Uint8(value >> 16), Uint8(value >> 8), Uint8(value), 255};
    };
    const SDL_Color forest{50, 88, 70, 255};
    for (const int y : {90, 400, 800 - 36}) {
        EXPECT_TRUE(sameColor(pixelAt(300, y), forest)) << y << ": " << pixelAt(300, y);
    }
    EXPECT_TRUE(sameColor(pixelAt(300, 40), barBackground));
}

TEST(Frame, PanelBackdropCopiesWhatAFillPaints) {
    HeadlessRenderer copied(300, 200);
    HeadlessRenderer filled(300, 200);
    PanelBackdrop backdrop;
    // More sizes and colours than it keeps, each asked twice, and a translucent one it fills itself.
    for (int round = 0; round < 2; ++round) {
        for (int k = 0; k < 8; ++k) {
            const SDL_Rect area{5 * k, 7 * k, 120 + 9 * k, 60 + 5 * k};
            const SDL_Color color{Uint8(20 * k), Uint8(200 - 15 * k), 77, Uint8(k == 3 ? 128 : 255)};
            SDL_SetRenderDrawBlendMode(copied.get(), SDL_BLENDMODE_BLEND);
            SDL_SetRenderDrawBlendMode(filled.get(), SDL_BLENDMODE_BLEND);
            backdrop.fill(copied.get(), true, area, color);
            rect(filled.get(), area, color);
        }
    }
    for (int y = 0; y < 200; y += 3) {
        for (int x = 0; x < 300; x += 3) {
            const SDL_Color a = copied.pixel(x, y);
            const SDL_Color b = filled.pixel(x, y);
            ASSERT_TRUE(sameColor(a, b)) << x << ", " << y;
        }
    }
}

// On the software renderer a picture goes straight into the window's pixels: after what was queued
// before it and under what is queued after, each pixel where its ring stores it. A render target,
// or another renderer, leaves the window as it was.
TEST(Frame, PictureCopiedIntoTheWindowLiesBetweenWhatIsDrawnBeforeAndAfter) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const WindowHandle window(SDL_CreateWindow("Window", 0, 0, 64, 48, SDL_WINDOW_HIDDEN));
    ASSERT_TRUE(window) << SDL_GetError();
    const RendererHandle renderer(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    ASSERT_TRUE(renderer) << SDL_GetError();
    const SDL_Rect area{10, 8, 30, 20};
    std::vector<std::uint32_t> stored(std::size_t(area.w * area.h));
    for (std::size_t i = 0; i < stored.size(); ++i) {
        stored[i] = 0xFF000000u | std::uint32_t(i * 2654435761u >> 8);
    }
    const PixelRing picture{stored, area.w, area.h, {7, 5}};
    const auto pixelAt = [&](int x, int y) {
        const SDL_Rect one{x, y, 1, 1};
        Uint32 value = 0;
        EXPECT_EQ(SDL_RenderReadPixels(renderer.get(), &one, SDL_PIXELFORMAT_ARGB8888, &value, 4), 0);
        return value | 0xFF000000u;
    };
    const auto clear = [&] {
        SDL_SetRenderDrawColor(renderer.get(), 1, 2, 3, 255);
        SDL_RenderClear(renderer.get());
    };
    clear();
    ASSERT_TRUE(copyIntoWindow(renderer.get(), picture, area));
    const SDL_Rect over{30, 20, 20, 20};
    SDL_SetRenderDrawColor(renderer.get(), 200, 100, 50, 255);
    SDL_RenderFillRect(renderer.get(), &over);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const SDL_Point p{x, y};
            const std::uint32_t want = SDL_PointInRect(&p, &over)   ? 0xFFC86432u
                                       : SDL_PointInRect(&p, &area) ? picture.at(x - area.x, y - area.y)
                                                                    : 0xFF010203u;
            ASSERT_EQ(pixelAt(x, y), want) << x << ", " << y;
        }
    }

    const TextureHandle target(
        SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, 64, 48));
    ASSERT_EQ(SDL_SetRenderTarget(renderer.get(), target.get()), 0);
    EXPECT_FALSE(copyIntoWindow(renderer.get(), picture, area));
    SDL_SetRenderTarget(renderer.get(), nullptr);
    HeadlessRenderer memory(64, 48);
    EXPECT_FALSE(copyIntoWindow(memory.get(), picture, area));
}
