// Unit icons, the unit layer's plates and state squares, and the reach overlay.
#include "shell/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "kit/palette.hpp"
#include "units/unit_icons.hpp"
#include "units/unit_pictures.hpp"
#include "overlays/reach_layer.hpp"

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
    client.view.centerOn(hexCenter({2, 1}), 14);
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
    EXPECT_TRUE(sameColor(screen.pixel(rowX, 285 + 31 + 2), {53, 68, 65, 255}));
    // The small icon of the selected unit: its border's left column, 12 pixels left of the centre.
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 243 - 12, 299 + 31), gold));
    EXPECT_FALSE(sameColor(screen.pixel(1000 - 243 - 12, 299), gold));
    EXPECT_TRUE(sameColor(screen.pixel(1000 - 20, 800 - 60), {44, 64, 65, 255})); // action button
}

// A long army scrolls the six rows so the selected unit stays in view; clicks pick from the rows shown.
TEST(Sidebar, LongUnitListsScrollWithTheSelection) {
    Client client(forces::makeMap({"ppppppppp", "ppppppppp"}));
    std::vector<forces::UnitEntry> units;
    for (int k = 0; k < 9; ++k) {
        units.push_back({k + 1, 0, "tank", {k, 0}});
    }
    client.game.army = forces::makeArmy(client.world.map, units);
    EXPECT_EQ(unitListFirst(client.game, unitListSize(client.game)), 0u);
    client.selectUnit(9, false);
    EXPECT_EQ(unitListFirst(client.game, unitListSize(client.game)), 3u);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.x = client.view.width - 100;
    click.button.y = unitListTop + unitRowHeight * 5 + 3; // the last row shown
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, 9);
    click.button.y = unitListTop + 3; // the first row shown: the army's fourth unit
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, 4);
    click.button.y = unitListTop + unitRowHeight * 6 + 3; // below the list: no row
    client.event(click);
    EXPECT_EQ(client.game.selectedUnit, 4);
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

TEST(Sidebar, ObjectivesTakeRowsAwayOnlyWhenTheyWouldReachThePanels) {
    EXPECT_EQ(unitListRows(0), 6u);
    EXPECT_EQ(unitListRows(2), 6u);
    EXPECT_EQ(objectivesTop(6), 475);
    EXPECT_EQ(unitListRows(3), 5u);
    EXPECT_EQ(unitListRows(6), 4u); // the shipped scenario
    EXPECT_EQ(unitListRows(8), 3u);
    for (std::size_t n = 0; n <= 8; ++n) {
        const int lastLine =
            objectivesTop(unitListRows(n)) + objectiveLineHeight * (int(std::max<std::size_t>(n, 1)) - 1);
        EXPECT_LE(lastLine + 7, sidebarPanelTop) << n;
    }
}
