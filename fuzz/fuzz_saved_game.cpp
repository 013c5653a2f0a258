// Fuzz target: a saved game read against each fixture map and its army; what reads back must write
// out and read again to the same text, and its units must be put in place or refused cleanly.
#include "fuzz_support.hpp"
#include "world/saved_game.hpp"

#include <cstdlib>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feedWithFixture(data, size, [](const korvan::fuzz::Fixture& chosen, std::istream& input) {
        std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
        const korvan::SaveChecks checks{std::nullopt, chosen.map.rivers().size()};
        const korvan::SavedGame save = korvan::readSave(std::move(text), checks);
        const std::string written = korvan::saveText(save);
        if (korvan::saveText(korvan::readSave(written, checks)) != written) {
            std::abort(); // a save the game wrote must read back unchanged
        }
        korvan::Army army = chosen.army;
        army.restoreUnits(chosen.map, save.units);
    });
    return 0;
}
