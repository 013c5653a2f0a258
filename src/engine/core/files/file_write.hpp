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
// Whether the bytes reach the disk before the rename. A file that checks itself when read (a cache
// with a checksum) may skip it: after a crash it is refused and made again instead of waited for.
enum class Flush { ToDisk, Skip };

// The same for a file made of pieces, written one after another.
void writeFileWhole(const std::filesystem::path& path, std::span<const std::string_view> pieces,
                    Flush flush = Flush::ToDisk);

} // namespace korvan
