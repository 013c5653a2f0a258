// Opening the data files: a file that cannot be read fails with its loader's own message.
#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace korvan {

inline std::ifstream openDataFile(const std::filesystem::path& path, const std::string& failure) {
    std::ifstream input(path, std::ios::binary);
    if (!input) {
        throw std::runtime_error(failure);
    }
    return input;
}

} // namespace korvan
