// Input dispatch: keys, mouse buttons, dragging, wheel and window events; merged motion in the run loop.
#include "client/client.hpp"
#include "input_events.hpp"
#include "map_fixtures.hpp"
#include "shell/run_loop.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::testing;

namespace {

class ClientInput : public ::testing::Test {
protected:
    Client client{mapFromJson(uniformWorld(72, 36))};
};

} // namespace

TEST_F(ClientInput, PanKeysMoveTheCameraAndHomeFits) {
    const Camera fitted = client.camera;
    client.event(key(SDLK_a));
    EXPECT_DOUBLE_EQ(client.camera.x, fitted.x + 45);
    client.event(key(SDLK_RIGHT));
    client.event(key(SDLK_RIGHT));
    EXPECT_DOUBLE_EQ(client.camera.x, fitted.x - 45);
    client.event(key(SDLK_w));
    client.event(key(SDLK_DOWN));
    client.event(key(SDLK_DOWN));
    EXPECT_DOUBLE_EQ(client.camera.y, fitted.y - 45);
    client.event(key(SDLK_HOME));
    EXPECT_EQ(client.camera, fitted);
}

TEST_F(ClientInput, ZoomKeysAndWheel) {
    const double start = client.camera.scale;
    client.event(key(SDLK_PLUS));
    EXPECT_DOUBLE_EQ(client.camera.scale, start * 1.15);
    client.event(key(SDLK_KP_MINUS));
    EXPECT_NEAR(client.camera.scale, start, 1e-12);

    client.event(motion(400, 300, 0, 0));
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    client.event(wheel);
    EXPECT_NEAR(client.camera.scale, start * 1.15 * 1.15, 1e-9);
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    client.event(wheel);
    EXPECT_NEAR(client.camera.scale, start, 1e-9);
    // Over the sidebar the wheel does nothing.
    client.event(motion(1200, 300, 0, 0));
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    client.event(wheel);
    EXPECT_NEAR(client.camera.scale, start, 1e-9);
}

TEST_F(ClientInput, TogglesAndEscape) {
    client.event(key(SDLK_b));
    EXPECT_TRUE(client.bridgeMode);
    client.event(key(SDLK_c));
    EXPECT_FALSE(client.citiesVisible);
    client.event(key(SDLK_h));
    EXPECT_TRUE(client.showLog);
    client.event(key(SDLK_l));
    EXPECT_TRUE(client.legendVisible);
    client.selected = Hex{3, 3};
    client.selectedCity = 4;
    client.movementMessage = "Zu weit";
    client.event(key(SDLK_ESCAPE));
    EXPECT_FALSE(client.bridgeMode);
    EXPECT_FALSE(client.selected);
    EXPECT_FALSE(client.selectedCity);
    EXPECT_TRUE(client.movementMessage.empty());
    client.event(key(SDLK_q)); // unbound
    client.event(SDL_Event{});
    EXPECT_TRUE(client.running);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    client.event(quit);
    EXPECT_FALSE(client.running);
}

TEST_F(ClientInput, DraggingWithRightOrMiddleButton) {
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 400, 300));
    EXPECT_TRUE(client.dragging);
    const Camera before = client.camera;
    client.event(motion(410, 295, 10, -5));
    EXPECT_DOUBLE_EQ(client.camera.x, before.x + 10);
    EXPECT_DOUBLE_EQ(client.camera.y, before.y - 5);
    client.event(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 410, 295));
    EXPECT_FALSE(client.dragging);
    client.event(motion(420, 295, 10, 0));
    EXPECT_DOUBLE_EQ(client.camera.x, before.x + 10);

    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 400, 300));
    EXPECT_TRUE(client.dragging);
    client.event(window(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(client.dragging);
    // Not over the map area: no drag.
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1100, 300));
    EXPECT_FALSE(client.dragging);
}

TEST_F(ClientInput, MiddleClickWithASelectedUnitOnlyDeselects) {
    client.selectedUnit = 3;
    client.selected = Hex{1, 1};
    client.movementMessage = "Ziel erreicht";
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 400, 300));
    EXPECT_FALSE(client.selectedUnit);
    EXPECT_FALSE(client.selected);
    EXPECT_TRUE(client.movementMessage.empty());
    EXPECT_FALSE(client.dragging);
}

TEST_F(ClientInput, OperationButtonFocusesAndTheClickGoesOn) {
    // x = W - 19, y = 61: the last pixel row of the button; the click then reaches the minimap test.
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1280 - 19, 61));
    EXPECT_DOUBLE_EQ(client.camera.scale, 4);
    const Camera focused = client.camera;
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1280 - 19, 62));
    EXPECT_EQ(client.camera, focused);
}

TEST_F(ClientInput, MinimapClickPansThere) {
    const WorldOverview mini = client.miniGeometry();
    client.camera.scale = 10;
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, int(mini.area.x + 121), int(mini.area.y + 60)));
    const Point target = mini.toWorld({mini.area.x + 121, mini.area.y + 60});
    const Point centre = client.camera.toScreen(target);
    EXPECT_NEAR(centre.x, (1280 - 270) / 2.0, 1e-6);
    EXPECT_NEAR(centre.y, (850 - 116) / 2.0 + 82, 1e-6);
}

TEST_F(ClientInput, LeftClickOnTheMapMarksTheField) {
    client.event(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 500, 400));
    ASSERT_TRUE(client.selected);
    EXPECT_EQ(client.selected, client.gameAt(client.camera.toWorld({500, 400})));
    // The hover names the world-map hex, which the play grid coarsens.
    EXPECT_EQ(client.hovered, client.map.canonical(worldToHex(client.camera.toWorld({500, 400}))));
}

TEST_F(ClientInput, ResizeKeepsTheViewCentredAndLeavingClearsThePointer) {
    const Camera before = client.camera;
    client.event(window(SDL_WINDOWEVENT_SIZE_CHANGED, 1480, 950));
    EXPECT_DOUBLE_EQ(client.camera.x, before.x + 100);
    EXPECT_DOUBLE_EQ(client.camera.y, before.y + 50);
    EXPECT_EQ(client.width, 1480);
    EXPECT_EQ(client.height, 950);
    client.event(motion(300, 300, 0, 0));
    EXPECT_TRUE(client.hovered);
    client.event(window(SDL_WINDOWEVENT_LEAVE));
    EXPECT_EQ(client.mouse, (Point{-1, -1}));
    EXPECT_FALSE(client.hovered);
}

TEST(RunLoopEvents, MouseMotionsMergeUntilAnotherEvent) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (int i = 1; i <= 20; ++i) {
        push(motion(100 + i, 200 - i, 1, -1));
    }
    push(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 121, 180));
    push(motion(5, 5, 2, 2));
    SDL_Event e;
    ASSERT_TRUE(pollMergedEvent(e));
    EXPECT_EQ(e.type, SDL_MOUSEMOTION);
    EXPECT_EQ(e.motion.x, 120);
    EXPECT_EQ(e.motion.y, 180);
    EXPECT_EQ(e.motion.xrel, 20);
    EXPECT_EQ(e.motion.yrel, -20);
    ASSERT_TRUE(pollMergedEvent(e));
    EXPECT_EQ(e.type, SDL_MOUSEBUTTONDOWN);
    ASSERT_TRUE(pollMergedEvent(e));
    EXPECT_EQ(e.motion.xrel, 2);
    EXPECT_FALSE(pollMergedEvent(e));
    SDL_Quit();
}
