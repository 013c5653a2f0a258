// Fuzz target: urban.json, with its centres merged into the cities of the fixture.
#include "fuzz_support.hpp"
#include "places/cities.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        const korvan::UrbanAreas areas = korvan::UrbanAreas::load(input);
        std::vector<korvan::City> cities = korvan::fuzz::fixtureCities();
        korvan::mergeUrbanCenters(cities, areas);
    });
    return 0;
}
