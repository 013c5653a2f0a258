// Fuzz target: units.json on each fixture map.
#include "fuzz_support.hpp"
#include "forces/army.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feedWithFixture(data, size, [](const korvan::fuzz::Fixture& chosen, std::istream& input) {
        korvan::Army::load(chosen.map, input);
    });
    return 0;
}
