// The header check every picture passes before it is decoded: exact sizes, depths and lengths.
#include "core/files/bmp_header.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace korvan;

namespace {

// A BMP of width x height pixels: a header of infoSize bytes, then exactly the pixel rows.
std::string bmp(int width, int height, int bits, std::uint32_t compression = 0, std::uint32_t infoSize = 40) {
    const std::size_t rowBytes = (std::size_t(width) * bits + 31) / 32 * 4;
    const std::size_t offset = 14 + infoSize;
    std::string file(offset + rowBytes * std::size_t(height < 0 ? -height : height), '\0');
    const auto put = [&](std::size_t at, std::uint32_t value, int size) {
        for (int k = 0; k < size; ++k) {
            file[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
        }
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, static_cast<std::uint32_t>(offset), 4);
    put(14, infoSize, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(bits), 2);
    put(30, compression, 4);
    return file;
}

} // namespace

TEST(BmpHeader, ExactlyTheExpectedPictureWithAllItsPixels) {
    const BmpShape marker{3, 2, true};
    EXPECT_EQ(bmpHeaderProblem(bmp(3, 2, 32, 3, 124), marker), "");
    EXPECT_EQ(bmpHeaderProblem(bmp(3, -2, 32), marker), ""); // rows top-down
    // Rows are padded to four bytes: 3 pixels of 24 bits take 12 bytes, and the last byte counts.
    const BmpShape flags{3, 2, false};
    const std::string rgb = bmp(3, 2, 24);
    EXPECT_EQ(rgb.size(), 54u + 24u);
    EXPECT_EQ(bmpHeaderProblem(rgb, flags), "");
    EXPECT_EQ(bmpHeaderProblem(rgb.substr(0, rgb.size() - 1), flags), "Datei kuerzer als ihre Pixel");

    // A marker's file claiming 20000 x 20000 pixels.
    std::string giant = bmp(256, 256, 32);
    giant.replace(18, 8, std::string("\x20\x4e\0\0\x20\x4e\0\0", 8));
    EXPECT_EQ(bmpHeaderProblem(giant, {256, 256, true}), "20000 x 20000 Pixel statt 256 x 256 Pixel");
    EXPECT_EQ(bmpHeaderProblem(bmp(3, 2, 24), marker), "24 Bit je Pixel statt 32");
    EXPECT_EQ(bmpHeaderProblem(bmp(3, 2, 8), flags), "8 Bit je Pixel statt 24 oder 32");
    EXPECT_EQ(bmpHeaderProblem(bmp(3, 2, 32, 1), marker), "komprimierte BMP-Datei");
    EXPECT_EQ(bmpHeaderProblem(bmp(3, 20, 32, 0, 12), marker), "unbekannter BMP-Kopf");
    EXPECT_EQ(bmpHeaderProblem("BM", marker), "keine BMP-Datei");
    EXPECT_EQ(bmpHeaderProblem("PK" + bmp(3, 2, 32).substr(2), marker), "keine BMP-Datei");
}
