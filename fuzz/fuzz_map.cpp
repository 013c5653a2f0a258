// Fuzz target: Map files: world.json and any --map file.
#include "fuzz_support.hpp"
#include "map/map.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        korvan::Map::load(input);
    });
    return 0;
}
