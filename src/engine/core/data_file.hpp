// Loading the data files: one way to open them, to read them through a stream reader, and to fail.
#pragma once

#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvan {

// Every loader fails with a plain std::runtime_error carrying its German message.
[[noreturn]] inline void failLoad(std::string_view message) { throw std::runtime_error(std::string(message)); }

inline std::ifstream openDataFile(const std::filesystem::path& path, const std::string& failure) {
    std::ifstream input(path, std::ios::binary);
    if (!input) {
        failLoad(failure);
    }
    return input;
}

// Runs `read`; any error it throws comes back as "<prefix><error>".
template <typename Read>
auto withErrorPrefix(std::string_view prefix, Read&& read) {
    try {
        return read();
    } catch (const std::exception& error) {
        failLoad(std::string(prefix) + error.what());
    }
}

// Whether a read error of an opened file is passed on as it is or as "<path>: <error>".
enum class ReadErrors { AsThrown, NamingFile };

// A loader's path overload: opens the file, failing with `missing` when it cannot, then hands the
// stream to `read`, usually the loader's stream overload.
template <typename Read>
auto loadDataFile(const std::filesystem::path& path, const std::string& missing, Read&& read,
                  ReadErrors errors = ReadErrors::AsThrown) {
    std::ifstream input = openDataFile(path, missing);
    if (errors == ReadErrors::AsThrown) {
        return read(input);
    }
    return withErrorPrefix(path.string() + ": ", [&] { return read(input); });
}

} // namespace korvan
