// Fuzz target: seas.json and lakes.json (one loader), with raster and point look-ups of what loaded.
#include "fuzz_support.hpp"
#include "geography/seas.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        const korvan::Seas seas = korvan::Seas::load(input);
        const int w = seas.gridWidth();
        const int h = seas.gridHeight();
        for (const korvan::Hex cell : {korvan::Hex{0, 0}, korvan::Hex{w - 1, 0}, korvan::Hex{-(h / 2), h - 1},
                                       korvan::Hex{w, h / 2}, korvan::Hex{-w, h}}) {
            static_cast<void>(seas.atHex(cell, w, h));
            static_cast<void>(seas.containsHex(cell, w, h));
        }
        static_cast<void>(seas.at({15.0, 48.0}));
    });
    return 0;
}
