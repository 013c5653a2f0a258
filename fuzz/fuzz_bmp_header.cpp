// Fuzz target: the header check every picture passes before it is decoded. The first byte picks
// the expected picture; an accepted header must describe exactly it, with its pixels in the file.
#include "core/files/bmp_header.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

std::int64_t field(std::string_view file, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t k = size; k-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(file[at + k]);
    }
    return size == 4 ? std::int64_t(static_cast<std::int32_t>(value)) : std::int64_t(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static constexpr std::array<korvan::BmpShape, 6> shapes{{
        {2, 2, false}, {3, 1, true}, {256, 256, true}, {1024, 256, true}, {1024, 768, true}, {512, 384, false}}};
    if (size == 0) {
        return 0;
    }
    const korvan::BmpShape expected = shapes[data[0] % shapes.size()];
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    if (!korvan::bmpHeaderProblem(file, expected).empty()) {
        return 0;
    }
    const std::int64_t width = field(file, 18, 4);
    const std::int64_t height = field(file, 22, 4);
    const std::int64_t bits = field(file, 28, 2);
    const std::int64_t offset = field(file, 10, 4) & 0xFFFFFFFF;
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    const bool exact = file.substr(0, 2) == "BM" && width == expected.width &&
                       (height == expected.height || height == -std::int64_t(expected.height)) &&
                       (bits == 32 || (bits == 24 && !expected.alpha));
    if (!exact || offset + rowBytes * expected.height > std::int64_t(file.size())) {
        std::abort();
    }
    return 0;
}
