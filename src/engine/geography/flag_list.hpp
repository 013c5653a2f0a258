// The list of the flag atlas: country identifiers in the order of the atlas cells.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace korvan {

// A JSON list of 1 to maxFlags identifiers of 1 to 64 bytes each; anything else throws
// "Ungueltige Flaggenliste: " and what is wrong.
std::vector<std::string> loadFlagList(std::istream& input);
std::vector<std::string> loadFlagList(const std::filesystem::path& file);

inline constexpr std::size_t maxFlags = 4096;

} // namespace korvan
