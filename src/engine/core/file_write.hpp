// Writing a file whole or not at all.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <span>
#include <string_view>

namespace korvan {

// Writes the bytes to a new file beside path and renames it to path once all of them are written,
// so a reader never sees half a file. On any failure (a full disk, a missing folder) the new file
// is removed, path is left as it was, and "<path>: <German reason>" is thrown.
void writeFileWhole(const std::filesystem::path& path, std::string_view bytes);
// The same for a file made of pieces, written one after another.
void writeFileWhole(const std::filesystem::path& path, std::span<const std::string_view> pieces);

} // namespace korvan
