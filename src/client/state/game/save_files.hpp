// Where saved games live and how they reach the disk: whole files, replaced atomically, bounded on reading.
#pragma once

#include <filesystem>
#include <string>

namespace korvan {

// $XDG_DATA_HOME/korvan, or ~/.local/share/korvan when that is unset or not absolute.
std::filesystem::path saveDirectory();

// Writes beside the file, flushes, then renames over it; a file already there is kept as "<name>.bak".
// Throws a German message naming the file on any failure, leaving the old file in place.
void writeSaveFile(const std::filesystem::path& file, const std::string& text);

// The whole file, refused unread beyond `maxBytes`; throws a German message naming the file.
std::string readSaveFile(const std::filesystem::path& file, std::size_t maxBytes);

} // namespace korvan
