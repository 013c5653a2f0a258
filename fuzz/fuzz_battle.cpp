// Fuzz target: battles.json on each fixture map and its army.
#include "fuzz_support.hpp"
#include "forces/battle.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feedWithFixture(data, size, [](const korvan::fuzz::Fixture& chosen, std::istream& input) {
        const korvan::Battle battle = korvan::Battle::load(chosen.map, chosen.army, input);
        static_cast<void>(battle.status());
    });
    return 0;
}
