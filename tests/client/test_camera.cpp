// The camera transform, the latitude stretch and the client's view operations.
#include "shell/client.hpp"
#include "map_fixtures.hpp"

#include <gtest/gtest.h>

#include <set>

using namespace korvan;
using namespace korvan::testing;

namespace {

Map operational(int width, int height, bool wrap) {
    nlohmann::json tiles = nlohmann::json::array();
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            tiles.push_back({{"q", c - r / 2}, {"r", r}, {"terrain", "plain"}});
        }
    }
    return mapFromJson({{"schema_version", 1}, {"width", width}, {"height", height}, {"name", "Region"},
                        {"layout", "odd-r"}, {"wrap_horizontal", wrap}, {"tiles", tiles},
                        {"river_edges", nlohmann::json::array()}});
}

std::set<std::pair<int, int>> visibleStored(const Client& client) {
    std::set<std::pair<int, int>> stored;
    client.view.forVisible([&](Hex, Hex s) { stored.insert({s.q, s.r}); });
    return stored;
}

} // namespace

TEST(Camera, ZoomKeepsTheAnchorAndClampsTheScale) {
    Camera camera{10, 20, 3, 0.8, 1.2};
    const Point anchor{400, 300};
    const Point before = camera.toWorld(anchor);
    camera.zoom(1.7, anchor);
    const Point after = camera.toWorld(anchor);
    EXPECT_NEAR(after.x, before.x, 1e-9);
    EXPECT_NEAR(after.y, before.y, 1e-9);
    EXPECT_DOUBLE_EQ(camera.scale, 5.1);
    camera.zoom(1000, anchor);
    EXPECT_DOUBLE_EQ(camera.scale, Camera::maxScale);
    camera.zoom(1e-9, anchor);
    EXPECT_DOUBLE_EQ(camera.scale, Camera::minScale);
    const Point p{12.5, -3.25};
    const Point back = camera.toWorld(camera.toScreen(p));
    EXPECT_NEAR(back.x, p.x, 1e-9);
    EXPECT_NEAR(back.y, p.y, 1e-9);
}

TEST(Camera, WorldVerticalScaleBlendsWithZoom) {
    EXPECT_DOUBLE_EQ(worldVerticalScale(2000, 0.27), 1.0);
    EXPECT_DOUBLE_EQ(worldVerticalScale(2000, 0.01), 1.0);
    EXPECT_NEAR(worldVerticalScale(2000, 1.8), 1.500542, 1e-6);
    EXPECT_NEAR(worldVerticalScale(2000, 85), 1.500542, 1e-6);
    const double middle = worldVerticalScale(2000, 1.0);
    EXPECT_GT(middle, 1.0);
    EXPECT_LT(middle, 1.5);
}

TEST(ClientView, ZoomAtTheLimitsChangesNothing) {
    Client client(mapFromJson(uniformWorld(72, 36)));
    client.view.camera.scale = Camera::maxScale;
    const Camera before = client.view.camera;
    client.view.zoom(1.15, {300, 300});
    EXPECT_EQ(client.view.camera, before);
    client.view.camera.scale = Camera::minScale;
    const Camera low = client.view.camera;
    client.view.zoom(0.5, {300, 300});
    EXPECT_EQ(client.view.camera, low);
}

TEST(ClientView, ZoomKeepsTheWorldPointUnderTheAnchor) {
    Client client(mapFromJson(uniformWorld(720, 360)));
    const Point anchor{500, 400};
    for (int step = 0; step < 40; ++step) {
        const Point before = client.view.camera.toWorld(anchor);
        client.view.zoom(1.15, anchor);
        const Point after = client.view.camera.toWorld(anchor);
        EXPECT_NEAR(after.x, before.x, 1e-6 * std::max(1.0, std::abs(before.x)));
        EXPECT_NEAR(after.y, before.y, 1e-6 * std::max(1.0, std::abs(before.y)));
        EXPECT_DOUBLE_EQ(client.view.camera.verticalScale, worldVerticalScale(360, client.view.camera.scale));
    }
}

TEST(ClientView, FitShowsEveryFieldWithMargin) {
    for (const auto& [w, h] : {std::pair{1280, 850}, std::pair{1000, 800}, std::pair{2000, 900}}) {
        Client client(mapFromJson(uniformWorld(72, 36)));
        client.view.width = w;
        client.view.height = h;
        client.view.fit();
        EXPECT_DOUBLE_EQ(client.view.camera.verticalScale, 1.0);
        EXPECT_DOUBLE_EQ(client.view.camera.horizontalScale, 36 * sqrt3 / 72);
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (int r = 0; r < 36; ++r) {
            for (int c = 0; c < 72; ++c) {
                const Point p = client.view.camera.toScreen(hexCenter(client.world.map.hexAt(c, r)));
                EXPECT_TRUE(client.view.onMap(p));
                left = std::min(left, p.x), right = std::max(right, p.x);
                top = std::min(top, p.y), bottom = std::max(bottom, p.y);
            }
        }
        // 32 pixels on the tighter axis, centred on both.
        const double marginX = std::min(left, w - 270 - right);
        const double marginY = std::min(top - 82, h - 34 - bottom);
        EXPECT_GE(std::min(marginX, marginY), 32 - 1e-6);
        EXPECT_NEAR(left, w - 270 - right, 1e-6);
        EXPECT_NEAR(top - 82, h - 34 - bottom, 1e-6);
    }
}

TEST(ClientView, OnMapBounds) {
    Client client(mapFromJson(uniformWorld(8, 4)));
    EXPECT_TRUE(client.view.onMap({0, 82}));
    EXPECT_FALSE(client.view.onMap({1280 - 270, 400}));
    EXPECT_FALSE(client.view.onMap({100, 850 - 34}));
    EXPECT_FALSE(client.view.onMap({-0.5, 400}));
    EXPECT_FALSE(client.view.onMap({100, 81.99}));
    EXPECT_TRUE(client.view.onMap({1009.99, 815.99}));
}

TEST(ClientView, PanningOneWorldWidthShowsTheSameFields) {
    Client client(mapFromJson(uniformWorld(40, 20)));
    client.view.centerOn({10, 15}, 20);
    const auto before = visibleStored(client);
    std::vector<Hex> drawnBefore;
    client.view.forVisible([&](Hex drawn, Hex) { drawnBefore.push_back(drawn); });
    client.view.camera.x -= client.world.map.period() * client.view.camera.scale * client.view.camera.horizontalScale;
    EXPECT_EQ(visibleStored(client), before);
    std::vector<Hex> drawnAfter;
    client.view.forVisible([&](Hex drawn, Hex) { drawnAfter.push_back(drawn); });
    ASSERT_EQ(drawnAfter.size(), drawnBefore.size());
    EXPECT_EQ(drawnAfter.front().q, drawnBefore.front().q + 40);
}

TEST(ClientView, WrapKeepsTheOffsetSmallWithoutMovingThePicture) {
    Client client(mapFromJson(uniformWorld(40, 20)));
    const double period = 40 * sqrt3 * client.view.camera.scale * client.view.camera.horizontalScale;
    client.view.camera.x = 2.5 * period;
    const auto before = visibleStored(client);
    client.view.wrapCamera();
    EXPECT_NEAR(client.view.camera.x, 0.5 * period, 1e-6);
    EXPECT_EQ(visibleStored(client), before);
    client.view.camera.x = -2.25 * period;
    client.view.wrapCamera();
    EXPECT_NEAR(client.view.camera.x, -0.25 * period, 1e-6);
}

TEST(ClientView, NonWorldMapsKeepPlainScalesAndStayClamped) {
    Client client(operational(12, 10, false));
    EXPECT_FALSE(client.world.playGrid);
    EXPECT_DOUBLE_EQ(client.view.camera.horizontalScale, 1.0);
    client.view.zoom(1.15, {300, 300});
    EXPECT_DOUBLE_EQ(client.view.camera.verticalScale, 1.0);
    const Camera before = client.view.camera;
    client.focusOperation();
    EXPECT_EQ(client.view.camera, before);
    int count = 0;
    client.view.camera.scale = 0.5; // everything fits, and nothing outside the stored columns is visited
    client.view.forVisible([&](Hex drawn, Hex stored) {
        EXPECT_EQ(drawn, stored);
        ++count;
    });
    EXPECT_EQ(count, 120);
}

TEST(ClientView, PlayGridMappingRoundTrips) {
    Client client(mapFromJson(uniformWorld(72, 36)));
    ASSERT_TRUE(client.world.playGrid);
    const Map& grid = client.world.gameMap();
    EXPECT_EQ(&grid, &*client.world.playGrid);
    for (int r = 0; r < grid.height(); r += 7) {
        for (int c = 0; c < grid.width(); c += 5) {
            const Hex h = grid.hexAt(c, r);
            EXPECT_EQ(client.world.gameAt(client.world.gameWorld(h)), h);
        }
    }
    // The game camera draws a play-grid point where the world camera draws its world equivalent.
    const Hex h = grid.hexAt(10, 10);
    const Point viaGame = client.view.gameCamera().toScreen(hexCenter(h));
    const Point viaWorld = client.view.camera.toScreen(client.world.gameWorld(h));
    EXPECT_NEAR(viaGame.x, viaWorld.x, 1e-9);
    EXPECT_NEAR(viaGame.y, viaWorld.y, 1e-9);
    EXPECT_FALSE(client.world.gameAt({0, -50}));
}

TEST(ClientView, FocusOperationCentresWien) {
    Client client(mapFromJson(uniformWorld(72, 36)));
    client.game.selected = Hex{1, 1};
    client.game.bridgeMode = true;
    client.game.movementMessage = "x";
    client.focusOperation();
    EXPECT_DOUBLE_EQ(client.view.camera.scale, 4);
    EXPECT_FALSE(client.game.selected);
    EXPECT_FALSE(client.game.bridgeMode);
    EXPECT_TRUE(client.game.movementMessage.empty());
    const Hex wien = client.world.map.hexAtGeography({16.3738, 48.2082});
    const Point centre = client.view.camera.toScreen(hexCenter(wien));
    EXPECT_NEAR(centre.x, (1280 - 270) / 2.0, 1e-6);
    EXPECT_NEAR(centre.y, (850 - 116) / 2.0 + 82, 1e-6);
}

TEST(WorldOverview, ViewportWrapsTheDateLine) {
    const WorldOverview mini{100, 50, {10, 20, 200, 100}};
    EXPECT_TRUE(mini.viewport({5, 10}, {5, 20}).empty());
    EXPECT_TRUE(mini.viewport({5, 60}, {10, 70}).empty());
    const auto whole = mini.viewport({-300, -10}, {300, 100});
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_DOUBLE_EQ(whole[0].w, 200);
    EXPECT_DOUBLE_EQ(whole[0].h, 100);
    const auto split = mini.viewport({-10, 4}, {20, 24});
    ASSERT_EQ(split.size(), 2u);
    EXPECT_DOUBLE_EQ(split[0].x, 10 + 180);
    EXPECT_DOUBLE_EQ(split[0].w, 20);
    EXPECT_DOUBLE_EQ(split[1].x, 10);
    EXPECT_DOUBLE_EQ(split[1].w, 40);
    EXPECT_DOUBLE_EQ(split[0].y, 20 + 100 * 5 / 50.0);
    const Point p = mini.toWorld(mini.toMini({30, 7}));
    EXPECT_NEAR(p.x, 30, 1e-9);
    EXPECT_NEAR(p.y, 7, 1e-9);
    EXPECT_NEAR(mini.toMini({130, 7}).x, mini.toMini({30, 7}).x, 1e-9);
}
