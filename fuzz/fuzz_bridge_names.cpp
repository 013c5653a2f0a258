// Fuzz target: A map file's bridge_names on each fixture map, asked for every river side.
#include "fuzz_support.hpp"
#include "geography/river_names.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feedWithFixture(data, size, [](const korvan::fuzz::Fixture& chosen, std::istream& input) {
        korvan::fuzz::askEverySide(korvan::BridgeNames::load(chosen.map, input), chosen.map);
    });
    return 0;
}
