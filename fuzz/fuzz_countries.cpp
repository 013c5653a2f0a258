// Fuzz target: countries.json, with a point look-up of what loaded.
#include "fuzz_support.hpp"
#include "geography/countries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        const korvan::Countries countries = korvan::Countries::load(input);
        static_cast<void>(countries.at({15.0, 48.0}));
        static_cast<void>(countries.disputedAt({15.0, 48.0}));
    });
    return 0;
}
