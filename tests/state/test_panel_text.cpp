// Panel texts from the hover state.
#include "view_state/hover_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvan;

namespace {

TEST(PanelText, LinesBreakAtTheLastBlankOrHard) {
    EXPECT_EQ(wrapPanelText(std::string(30, 'A'), 29, false),
              (std::vector<std::string>{std::string(29, 'A'), "A"}));
    const std::string spaced = "ABCDEFGHIJ " + std::string(25, 'B');
    EXPECT_EQ(wrapPanelText(spaced, 29, false), (std::vector<std::string>{"ABCDEFGHIJ", std::string(25, 'B')}));
    // One blank is dropped after a break, or all of them for bridge names.
    EXPECT_EQ(wrapPanelText(std::string(29, 'C') + "  D", 29, false),
              (std::vector<std::string>{std::string(29, 'C'), " D"}));
    EXPECT_EQ(wrapPanelText(std::string(29, 'C') + "  D", 29, true),
              (std::vector<std::string>{std::string(29, 'C'), "D"}));
    EXPECT_EQ(wrapPanelText(" " + std::string(40, 'E'), 29, false).front(), " " + std::string(28, 'E'));
    EXPECT_EQ(upper("Wien-Ost äb"), "WIEN-OST äB");
}

} // namespace
