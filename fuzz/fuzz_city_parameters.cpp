// Fuzz target: city-parameters.json, applied to the cities of the fixture.
#include "fuzz_support.hpp"
#include "places/cities.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        std::vector<korvan::City> cities = korvan::fuzz::fixtureCities();
        korvan::applyCityParameters(cities, input);
    });
    return 0;
}
