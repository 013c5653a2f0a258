// Fuzz target: cities.json.
#include "fuzz_support.hpp"
#include "places/cities.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        korvan::loadCities(input);
    });
    return 0;
}
