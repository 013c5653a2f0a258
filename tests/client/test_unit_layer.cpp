// Unit icons, the unit layer's plates and state squares, and the reach overlay.
#include "shell/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "kit/palette.hpp"
#include "units/unit_icons.hpp"
#include "units/unit_pictures.hpp"
#include "overlays/reach_layer.hpp"
#include "view_state/sidebar_lists.hpp"
#include "hud/hud.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using korvan::testing::HeadlessRenderer;
using korvan::testing::sameColor;
using korvan::testing::expectCopiesEqualDrawing;

TEST(UnitIcons, BoxesFollowTheDesignGridAtEverySize) {
    std::vector<IconBox> boxes;
    unitIconBoxes(UnitClass::Tank, 0, 100, 100, 48, true, boxes);
    ASSERT_EQ(boxes.size(), 4u + 28u);
    // The shadow: design (1, 4, 30, 27) scaled by 1.5 around the centre, halves rounded away from zero.
    EXPECT_EQ(boxes[0].rect.x, 100 - 23);
    EXPECT_EQ(boxes[0].rect.y, 100 - 18);
    EXPECT_EQ(boxes[0].rect.w, 46); // right edge 100 + 23
    EXPECT_TRUE(sameColor(boxes[1].color, gold)); // selected border
    unitIconBoxes(UnitClass::Recon, 1, 100, 100, 48, false, boxes);
    EXPECT_TRUE(sameColor(boxes[1].color, {77, 94, 91, 255}));
    EXPECT_EQ(boxes.size(), 4u + 22u);
    for (const UnitClass kind : {UnitClass::Tank, UnitClass::Infantry, UnitClass::Recon}) {
        unitIconBoxes(kind, 0, 50, 50, 24, false, boxes);
        for (const IconBox& box : boxes) {
            EXPECT_GE(box.rect.w, 1);
            EXPECT_GE(box.rect.h, 1);
        }
    }
}

TEST(UnitLayer, ReachFillsFieldsAndDrawsSharedEdgesOnce) {
    const Map map = forces::makeMap({"pppp", "pppp"});
    MovementRange range;
    range[{1, 0}] = {0, {1, 0}}; // the unit's own field
    range[{2, 0}] = {1, {1, 0}};
    range[{2, 1}] = {1, {1, 0}};
    const Camera camera{10, 10, 20, 1, 1};
    const ReachMesh mesh = reachGeometry(map, camera, range, Hex{2, 1}, -100, 100);
    ASSERT_EQ(mesh.vertices.size(), 14u);
    EXPECT_EQ(mesh.indices.size(), 36u);
    EXPECT_EQ(mesh.edges.size(), 11u); // two hexagons share one side
    EXPECT_EQ(mesh.vertices[0].color.a, 38);
    EXPECT_EQ(mesh.vertices[7].color.a, 74); // the hovered field is brighter
}

TEST(UnitLayer, PlatesAndStateSquares) {
    HeadlessRenderer screen(1000, 800);
    Client client(forces::makeMap({"pppppp", "pppppp", "pppppp"}));
    client.view.width = 1000;
    client.view.height = 800;
    client.game.army = forces::makeArmy(client.world.map, {{1, 0, "tank", {2, 1}}});
    client.view.centerOn(hexCenter({2, 1}), 44); // fields wide enough for the 48-pixel icon
    client.selectUnit(1, false);
    client.moveTo({3, 1});
    ASSERT_TRUE(client.game.army.find(1)->moved);
    client.render(screen.get());
    const Point s = client.view.camera.toScreen(hexCenter({3, 1}));
    const int x = static_cast<int>(std::lround(s.x));
    const int y = static_cast<int>(std::lround(s.y));
    EXPECT_TRUE(sameColor(screen.pixel(x - 24 + 1, y + 21 + 1), {13, 23, 26, 255})); // plate
    EXPECT_TRUE(sameColor(screen.pixel(x + 24 - 12 - 6 + 2, y + 21 + 6), muted));  // moved
    EXPECT_TRUE(sameColor(screen.pixel(x + 24 - 6 - 3 + 2, y + 21 + 6), gold));    // may still attack
    EXPECT_TRUE(sameColor(screen.pixel(x - 24, y - 20), gold));                    // selected border
}

TEST(Sidebar, UnitRowsShowTheSelection) {
    HeadlessRenderer screen(1000, 800);
    Client client(forces::makeMap({"pppppp", "pppppp", "pppppp"}));
    client.view.width = 1000;
    client.view.height = 800;
    client.game.army = forces::makeArmy(client.world.map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {5, 2}}});
    client.game.battle = forces::makeBattle(client.world.map, client.game.army, {Hex{3, 1}});
    client.selectUnit(2, false);
    client.render(screen.get());
    const int rowX = 1000 - 256 + 200; // right of the row's text
    EXPECT_TRUE(sameColor(screen.pixel(rowX, 285 + 2), {30, 46, 49, 255}));
    EXPECT_TRUE(sameColor(screen.pixel(rowX, 285 + unitRowHeight + 2), {53, 68, 65, 255}));
    // The small icon of the selected unit: its border's top row, 7 pixels above the centre.
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 247, 285 + unitRowHeight + 7 - 7), gold));
    EXPECT_FALSE(sameColor(screen.pixel(1000 - 247, 285 + 7 - 7), gold));
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 20, 800 - 60), {44, 64, 65, 255})); // action button
}

// A long army scrolls with the wheel over the list and to the selected unit; clicks pick from the
// rows shown.
TEST(Sidebar, LongUnitListsScrollAndClicksFollowTheRowsShown) {
    Client client(forces::makeMap({"pppppppppppppppppppppppppppppp", "pppppppppppppppppppppppppppppp"}));
    std::vector<forces::UnitEntry> units;
    for (int k = 0; k < 30; ++k) {
        units.push_back({k + 1, 0, "tank", {k, 0}});
    }
    client.game.army = forces::makeArmy(client.world.map, units);
    const std::size_t rows = unitListRows();
    EXPECT_EQ(unitListFirst(client.game, client.view), 0u);
    client.selectUnit(30, false);
    EXPECT_EQ(unitListFirst(client.game, client.view), 30 - rows);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.x = client.view.width - 100;
    click.button.y = unitListTop + unitRowHeight * int(rows - 1) + 3; // the last row shown
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, 30);
    click.button.y = unitListTop + 3; // the first row shown
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, int(30 - rows + 1));
    click.button.y = unitListTop + unitRowHeight * int(rows) + 1; // below the list: no row
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, int(30 - rows + 1));

    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1; // up: earlier rows
    client.view.mouse = {double(client.view.width - 100), double(unitListTop + 20)};
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = client.view.width - 100;
    motion.motion.y = unitListTop + 20;
    client.event(motion);
    client.event(wheel);
    EXPECT_EQ(unitListFirst(client.game, client.view), 30 - rows - 3);
    click.button.y = unitListTop + 3;
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, int(30 - rows - 3 + 1));
    for (int k = 0; k < 20; ++k) {
        client.event(wheel);
    }
    EXPECT_EQ(unitListFirst(client.game, client.view), 0u);
}

TEST(UnitIcons, AtlasCopiesEqualTheDrawnBoxes) {
    UnitIconAtlas atlas;
    expectCopiesEqualDrawing(120, 80, [&](SDL_Renderer* drawn, SDL_Renderer* copied) {
        int x = 30;
        for (const UnitClass kind : {UnitClass::Tank, UnitClass::Infantry}) {
            drawUnitIcon(drawn, kind, 1, x, 40, 48, kind == UnitClass::Tank);
            atlas.draw(copied, kind, 1, x, 40, 48, kind == UnitClass::Tank);
            x += 55;
        }
    });
}

TEST(UnitIcons, CachedUnitPicturesEqualTheDrawnOnesAlsoOverlappingAndAfterTheCacheFills) {
    UnitPictureCache cache;
    expectCopiesEqualDrawing(160, 100, [&](SDL_Renderer* drawn, SDL_Renderer* copied) {
        // More distinct pictures than the cache holds, each drawn over the one before.
        for (int k = 0; k < 300; ++k) {
            const UnitPicture picture{k % 3 == 0 ? UnitClass::Tank : UnitClass::Recon, k % 2, k % 5 == 0, k % 11,
                                      k % 4 == 1, k % 7 == 2};
            const int x = 30 + k % 9 * 11;
            drawUnitPicture(drawn, picture, x, 35, 48);
            cache.draw(copied, picture, x, 35, 48);
        }
    });
}

TEST(Sidebar, TwelveRowsAndTheObjectivesLineFitAboveThePanels) {
    EXPECT_GE(unitListRows(), 12u);
    EXPECT_LE(objectivesTop(unitListRows()) + 7, sidebarPanelTop);
    // Scrolling never passes the last row and brings a row into view with the least movement.
    EXPECT_EQ(listFirst(40, 12, 28), 16u);
    EXPECT_EQ(listFirst(3, 12, 8), 0u);
    EXPECT_EQ(revealRow(5, 4, 12), 4u);
    EXPECT_EQ(revealRow(5, 16, 12), 5u);
    EXPECT_EQ(revealRow(5, 17, 12), 6u);
}
