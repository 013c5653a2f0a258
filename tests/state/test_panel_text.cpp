// Panel texts from the hover state.
#include "view_state/hover_text.hpp"
#include "view_state/sidebar_lists.hpp"

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

TEST(PanelText, CombatLogEntriesWrapBetweenWords) {
    const std::string entry = "Aufklaerungsbataillon 3 -> Panzergrenadierbataillon 12: -4 / Gegenfeuer -1 - "
                              "Panzergrenadierbataillon 12 VERNICHTET";
    const std::vector<LogLine> lines = combatLogLines({"Kurz", entry, std::string(45, 'X')}, 38);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_FALSE(lines[0].continued);
    EXPECT_EQ(lines[1].text, "Aufklaerungsbataillon 3 ->");
    EXPECT_FALSE(lines[1].continued);
    // Every piece of the long entry ends at a word's end, continued ones hold two characters less,
    // and nothing is lost but the blanks between the lines.
    std::string joined;
    std::size_t k = 1;
    for (; k < lines.size() && (k == 1 || lines[k].continued); ++k) {
        EXPECT_LE(lines[k].text.size(), lines[k].continued ? 36u : 38u);
        EXPECT_NE(lines[k].text.back(), ' ');
        joined += (joined.empty() ? "" : " ") + lines[k].text;
    }
    EXPECT_EQ(joined, entry);
    // A word longer than a line is cut hard.
    EXPECT_EQ(lines[k].text, std::string(38, 'X'));
    EXPECT_EQ(lines[k + 1].text, std::string(7, 'X'));
    EXPECT_TRUE(lines[k + 1].continued);
}
