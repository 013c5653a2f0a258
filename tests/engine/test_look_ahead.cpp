#include "core/containers/look_ahead.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace korvan {
namespace {

// Items come out in order and never more than Ahead pushes late; a failing item ends the run, and the
// items pushed after it are never handled, not even by finish.
TEST(LookAhead, InOrderAtMostAheadLateAndNothingAfterAFailure) {
    std::vector<int> handled;
    const auto handle = [&](int item) {
        if (item == 7) {
            throw std::runtime_error("seven");
        }
        handled.push_back(item);
    };
    LookAhead<int, 3, decltype(handle)> items(handle);
    for (int k = 0; k < 6; ++k) {
        items.push(k);
        EXPECT_EQ(handled.size(), std::size_t(k >= 3 ? k - 2 : 0));
    }
    items.finish();
    EXPECT_EQ(handled, (std::vector<int>{0, 1, 2, 3, 4, 5}));

    handled.clear();
    LookAhead<int, 3, decltype(handle)> failing(handle);
    for (int k = 7; k < 10; ++k) {
        failing.push(k);
    }
    EXPECT_THROW(failing.push(10), std::runtime_error);
    failing.finish();
    EXPECT_TRUE(handled.empty());
}

} // namespace
} // namespace korvan
