// Loading the data files: one way to open and read them, bounded and without blocking, to hand the
// text to a loader's stream overload, and to fail.
#pragma once

#include <cstddef>
#include <exception>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace korvan {

// Every loader fails with a plain std::runtime_error carrying its German message.
[[noreturn]] inline void failLoad(std::string_view message) { throw std::runtime_error(std::string(message)); }

// Runs `read`; any error it throws comes back as "<prefix><error>".
template <typename Read>
auto withErrorPrefix(std::string_view prefix, Read&& read) {
    try {
        return read();
    } catch (const std::exception& error) {
        failLoad(std::string(prefix) + error.what());
    }
}

// What may stand at a data file's path besides a regular file (a symbolic link to one is one).
enum class FileSource {
    RegularOnly,
    AlsoPipe, // a pipe or FIFO the user names, such as /dev/stdin or <(command): read until it ends
};

// The whole content of a file of at most maxBytes. The file is opened without blocking, so a FIFO
// in place of a data file is refused instead of waiting for a writer; a file that grows while read
// is read no further than one byte past the cap. Fails with `missing` when the file cannot be
// opened, and with "<path>: <reason>" when it is a directory, not a regular file, too big or
// unreadable.
std::string readDataFile(const std::filesystem::path& path, std::size_t maxBytes, const std::string& missing,
                         FileSource source = FileSource::RegularOnly);

// Hands a file's text, read before, as a stream to `read`; its errors come back as "<path>: <error>".
template <typename Read>
auto loadText(const std::filesystem::path& path, std::string text, Read&& read) {
    std::istringstream input(std::move(text));
    return withErrorPrefix(path.string() + ": ", [&] { return read(input); });
}

// A loader's path overload: reads the file as readDataFile does and hands it to `read`, usually the
// loader's stream overload, as loadText does.
template <typename Read>
auto loadDataFile(const std::filesystem::path& path, std::size_t maxBytes, const std::string& missing, Read&& read) {
    return loadText(path, readDataFile(path, maxBytes, missing), std::forward<Read>(read));
}

} // namespace korvan
