// The message an action fails with, for tests that check exact error texts.
#pragma once

#include <exception>
#include <string>

namespace korvan::testing {

// The message of the exception an action throws, or "" when it throws none.
template <typename Action>
std::string errorOf(Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

} // namespace korvan::testing
