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

// A panel has room for a few lines: text beyond them is left out, and only then does the last line
// end in an ellipsis.
TEST(PanelText, AtMostTheLinesThatFitTheLastOneEllipsedWhenTextIsLeftOut) {
    const std::string exact(6 * 29, 'A');
    EXPECT_EQ(wrapPanelText(exact, 29, false, 6), std::vector<std::string>(6, std::string(29, 'A')));
    const auto cut = wrapPanelText(exact + " B", 29, false, 6);
    ASSERT_EQ(cut.size(), 6u);
    EXPECT_EQ(cut.back(), std::string(26, 'A') + "...");
    // A megabyte name costs six lines of work, not eighty thousand.
    const auto huge = wrapPanelText(std::string(1 << 20, 'N'), 29, true, 3);
    EXPECT_EQ(huge, (std::vector<std::string>{std::string(29, 'N'), std::string(29, 'N'), std::string(26, 'N') + "..."}));
    EXPECT_TRUE(wrapPanelText("Wien", 29, false, 0).empty());
}

} // namespace
