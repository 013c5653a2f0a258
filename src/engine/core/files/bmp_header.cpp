// Reading the fields of a BMP header and checking them against the expected picture.
#include "core/files/bmp_header.hpp"

#include <cstdint>

namespace korvan {

namespace {

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t k = size; k-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
    }
    return value;
}

std::string pixels(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " Pixel";
}

} // namespace

std::string bmpHeaderProblem(std::string_view file, BmpShape expected) {
    constexpr std::size_t fileHeader = 14;
    constexpr std::uint32_t uncompressed = 0;
    constexpr std::uint32_t bitFields = 3;
    if (file.size() < fileHeader + 40 || file.substr(0, 2) != "BM") {
        return "keine BMP-Datei";
    }
    const std::uint32_t infoSize = littleEndian(file, 14, 4);
    if (infoSize < 40 || infoSize > 124 || file.size() < fileHeader + infoSize) {
        return "unbekannter BMP-Kopf";
    }
    const auto width = static_cast<std::int32_t>(littleEndian(file, 18, 4));
    const auto height = static_cast<std::int32_t>(littleEndian(file, 22, 4));
    const std::int64_t rows = height < 0 ? -std::int64_t(height) : std::int64_t(height);
    if (width != expected.width || rows != expected.height) {
        return pixels(width, rows) + " statt " + pixels(expected.width, expected.height);
    }
    const std::uint32_t planes = littleEndian(file, 26, 2);
    const std::uint32_t bits = littleEndian(file, 28, 2);
    if (planes != 1 || (bits != 32 && (expected.alpha || bits != 24))) {
        return std::to_string(bits) + " Bit je Pixel statt " + (expected.alpha ? "32" : "24 oder 32");
    }
    const std::uint32_t compression = littleEndian(file, 30, 4);
    if (compression != uncompressed && compression != bitFields) {
        return "komprimierte BMP-Datei";
    }
    const std::uint32_t offset = littleEndian(file, 10, 4);
    const std::uint64_t rowBytes = (std::uint64_t(width) * bits + 31) / 32 * 4;
    if (offset < fileHeader + infoSize || std::uint64_t(offset) + rowBytes * std::uint64_t(rows) > file.size()) {
        return "Datei kuerzer als ihre Pixel";
    }
    return "";
}

} // namespace korvan
