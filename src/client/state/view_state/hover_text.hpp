// The texts the panels take from what lies under the pointer.
#pragma once

#include "view_state/view_state.hpp"
#include "world/world.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

// Breaks a panel text into lines of at most `length` characters, each ending at its last blank
// (a blank at the very start does not count) or cut hard; the next line drops one leading blank,
// or all of them with dropAllBlanks. Text beyond maxLines lines is left out, and the last line
// ends in "..." instead.
std::vector<std::string> wrapPanelText(const std::string& text, std::size_t length, bool dropAllBlanks,
                                       std::size_t maxLines = std::size_t(-1));

// What the hover panel names: its heading, the name broken into lines, and the hovered country,
// which is the name itself when nothing else is under the pointer.
struct HoverPanelText {
    std::string heading;
    std::vector<std::string> name;
    std::optional<std::size_t> country;
    bool countryOnly = false;
};
HoverPanelText hoverPanelText(const World& world, const ViewState& view);

// An urban field's area by the name of its most populous city; a placeholder without one.
std::string urbanAreaName(const World& world, Hex field);
// The kind of water the panel names under the pointer ("SEE", "MEER", ...), for the field line,
// which then agrees with the panel; empty over land.
std::string waterFieldName(const World& world, const Hover& hover);

// The heading for hovered water ("SEE UNTER MAUS", "FJORD UNTER MAUS", ...); empty over land.
std::string waterHoverHeading(const World& world, const Hover& hover);
// The hovered bridge's names (or what it crosses), at most three lines, then its river.
std::vector<std::string> bridgeHoverLines(const World& world, const Hover& hover);
// "LAND: ..." or "GEBIET: ..." for the selected, else the hovered country; empty without one.
std::string countrySelectionLabel(const World& world, const ViewState& view);

} // namespace korvan
