// Input dispatch: keys, mouse buttons, dragging, wheel and window events; merged motion in the run loop.
#include "shell/client.hpp"
#include "input/synthetic_events.hpp"
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
    const Camera fitted = client.view.camera;
    client.event(keyEvent(SDLK_a));
    EXPECT_DOUBLE_EQ(client.view.camera.x, fitted.x + 45);
    client.event(keyEvent(SDLK_RIGHT));
    client.event(keyEvent(SDLK_RIGHT));
    EXPECT_DOUBLE_EQ(client.view.camera.x, fitted.x - 45);
    client.event(keyEvent(SDLK_w));
    client.event(keyEvent(SDLK_DOWN));
    client.event(keyEvent(SDLK_DOWN));
    EXPECT_DOUBLE_EQ(client.view.camera.y, fitted.y - 45);
    client.event(keyEvent(SDLK_HOME));
    EXPECT_EQ(client.view.camera, fitted);
}

TEST_F(ClientInput, ZoomKeysAndWheel) {
    const double start = client.view.camera.scale;
    client.event(keyEvent(SDLK_PLUS));
    EXPECT_DOUBLE_EQ(client.view.camera.scale, start * 1.15);
    client.event(keyEvent(SDLK_KP_MINUS));
    EXPECT_NEAR(client.view.camera.scale, start, 1e-12);

    client.event(motionEvent(400, 300, 0, 0));
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    client.event(wheel);
    EXPECT_NEAR(client.view.camera.scale, start * 1.15 * 1.15, 1e-9);
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    client.event(wheel);
    EXPECT_NEAR(client.view.camera.scale, start, 1e-9);
    // Over the sidebar the wheel does nothing.
    client.event(motionEvent(1200, 300, 0, 0));
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    client.event(wheel);
    EXPECT_NEAR(client.view.camera.scale, start, 1e-9);
}

TEST_F(ClientInput, TogglesAndEscape) {
    client.event(keyEvent(SDLK_b));
    EXPECT_TRUE(client.game.bridgeMode);
    client.event(keyEvent(SDLK_c));
    EXPECT_FALSE(client.view.citiesVisible);
    client.event(keyEvent(SDLK_h));
    EXPECT_TRUE(client.game.showLog);
    client.event(keyEvent(SDLK_l));
    EXPECT_TRUE(client.view.legendVisible);
    client.game.selected = Hex{3, 3};
    client.view.selectedCity = 4;
    client.game.movementMessage = "Zu weit";
    client.event(keyEvent(SDLK_ESCAPE));
    EXPECT_FALSE(client.game.bridgeMode);
    EXPECT_FALSE(client.game.selected);
    EXPECT_FALSE(client.view.selectedCity);
    EXPECT_TRUE(client.game.movementMessage.empty());
    client.event(keyEvent(SDLK_q)); // unbound
    client.event(SDL_Event{});
    EXPECT_TRUE(client.running);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    client.event(quit);
    EXPECT_FALSE(client.running);
}

TEST_F(ClientInput, DraggingWithRightOrMiddleButton) {
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 400, 300));
    EXPECT_TRUE(client.view.dragging);
    const Camera before = client.view.camera;
    client.event(motionEvent(410, 295, 10, -5));
    EXPECT_DOUBLE_EQ(client.view.camera.x, before.x + 10);
    EXPECT_DOUBLE_EQ(client.view.camera.y, before.y - 5);
    client.event(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 410, 295));
    EXPECT_FALSE(client.view.dragging);
    client.event(motionEvent(420, 295, 10, 0));
    EXPECT_DOUBLE_EQ(client.view.camera.x, before.x + 10);

    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 400, 300));
    EXPECT_TRUE(client.view.dragging);
    client.event(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(client.view.dragging);
    // Not over the map area: no drag.
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1100, 300));
    EXPECT_FALSE(client.view.dragging);
}

TEST_F(ClientInput, MiddleClickWithASelectedUnitOnlyDeselects) {
    client.game.selectedUnit = 3;
    client.game.selected = Hex{1, 1};
    client.game.movementMessage = "Ziel erreicht";
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 400, 300));
    EXPECT_FALSE(client.game.selectedUnit);
    EXPECT_FALSE(client.game.selected);
    EXPECT_TRUE(client.game.movementMessage.empty());
    EXPECT_FALSE(client.view.dragging);
}

TEST_F(ClientInput, OperationButtonFocusesAndTheClickGoesOn) {
    // x = W - 19, y = 61: the last pixel row of the button; the click then reaches the minimap test.
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1280 - 19, 61));
    EXPECT_DOUBLE_EQ(client.view.camera.scale, 4);
    const Camera focused = client.view.camera;
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1280 - 19, 62));
    EXPECT_EQ(client.view.camera, focused);
}

TEST_F(ClientInput, MinimapClickPansThere) {
    const WorldOverview mini = client.view.miniGeometry();
    client.view.camera.scale = 10;
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, int(mini.area.x + 121), int(mini.area.y + 60)));
    const Point target = mini.toWorld({mini.area.x + 121, mini.area.y + 60});
    const Point centre = client.view.camera.toScreen(target);
    EXPECT_NEAR(centre.x, (1280 - 270) / 2.0, 1e-6);
    EXPECT_NEAR(centre.y, (850 - 116) / 2.0 + 82, 1e-6);
}

TEST_F(ClientInput, LeftClickOnTheMapMarksTheField) {
    client.event(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 500, 400));
    ASSERT_TRUE(client.game.selected);
    EXPECT_EQ(client.game.selected, client.world.gameAt(client.view.camera.toWorld({500, 400})));
    // The hover names the world-map hex, which the play grid coarsens.
    EXPECT_EQ(client.view.hover.field, client.world.map.canonical(worldToHex(client.view.camera.toWorld({500, 400}))));
}

TEST_F(ClientInput, ResizeKeepsTheViewCentredAndLeavingClearsThePointer) {
    const Camera before = client.view.camera;
    client.event(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1480, 950));
    EXPECT_DOUBLE_EQ(client.view.camera.x, before.x + 100);
    EXPECT_DOUBLE_EQ(client.view.camera.y, before.y + 50);
    EXPECT_EQ(client.view.width, 1480);
    EXPECT_EQ(client.view.height, 950);
    client.event(motionEvent(300, 300, 0, 0));
    EXPECT_TRUE(client.view.hover.field);
    client.event(windowEvent(SDL_WINDOWEVENT_LEAVE));
    EXPECT_EQ(client.view.mouse, (Point{-1, -1}));
    EXPECT_FALSE(client.view.hover.field);
}

TEST(RunLoopEvents, MouseMotionsMergeUntilAnotherEvent) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (int i = 1; i <= 20; ++i) {
        push(motionEvent(100 + i, 200 - i, 1, -1));
    }
    push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 121, 180));
    push(motionEvent(5, 5, 2, 2));
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
