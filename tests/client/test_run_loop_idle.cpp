// A still window draws nothing: frames come with events, at the start and at the client's timed change.
#include "shell/client.hpp"
#include "headless_renderer.hpp"
#include "input/synthetic_events.hpp"
#include "map_fixtures.hpp"
#include "shell/run_loop.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace korvan;
using namespace korvan::testing;

namespace {

std::vector<std::uint32_t> readBack(SDL_Renderer* renderer, int width, int height) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4), 0);
    return pixels;
}

} // namespace

TEST(RunLoopIdle, FramesOnlyWhenSomethingCanHaveChanged) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const HeadlessRenderer renderer(1280, 850);
    Client client{mapFromJson(uniformWorld(72, 36))};
    RunLoop loop(client, renderer.get(), false, "", "", 0, "");
    for (int frame = 0; frame < 4; ++frame) {
        EXPECT_TRUE(loop.tick()) << frame; // the start frames
    }
    EXPECT_FALSE(loop.tick());
    EXPECT_FALSE(loop.tick());

    // Input draws once; the frame today's loop would draw next is the same picture.
    for (const SDL_Event& input : {keyEvent(SDLK_RIGHT), keyEvent(SDLK_PLUS), motionEvent(400, 300, 5, 5)}) {
        push(input);
        EXPECT_TRUE(loop.tick());
        const auto drawn = readBack(renderer.get(), 1280, 850);
        EXPECT_FALSE(loop.tick());
        client.render(renderer.get());
        EXPECT_EQ(readBack(renderer.get(), 1280, 850), drawn);
    }

    // A timed change draws once when due, not before.
    client.timedChange = SDL_GetTicks() + 100000;
    EXPECT_FALSE(loop.tick());
    client.timedChange = SDL_GetTicks();
    EXPECT_TRUE(loop.tick());
    EXPECT_EQ(client.timedChange, 0u);
    EXPECT_FALSE(loop.tick());
    SDL_Quit();
}

TEST(RunLoopIdle, WaitsUntilTheTimedChangeAtMostTheLimit) {
    EXPECT_EQ(idleWait(1000, 0), idleWaitLimit);
    EXPECT_EQ(idleWait(1000, 1040), 40);
    EXPECT_EQ(idleWait(1000, 1000 + idleWaitLimit + 1), idleWaitLimit);
    EXPECT_EQ(idleWait(1000, 999), 0); // overdue
    // Across the wrap of SDL's 32-bit tick counter.
    EXPECT_EQ(idleWait(0xfffffff0u, 0x10u), 0x20);
    EXPECT_EQ(idleWait(0x10u, 0xfffffff0u), 0);
}
