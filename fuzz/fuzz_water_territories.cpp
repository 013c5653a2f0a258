// Fuzz target: water-territories.json on each fixture map, asked for every field of it.
#include "fuzz_support.hpp"
#include "geography/water_territories.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feedWithFixture(data, size, [](const korvan::fuzz::Fixture& chosen, std::istream& input) {
        const korvan::WaterTerritories waters =
            korvan::WaterTerritories::load(chosen.map, korvan::fuzz::fixtureCountries(), input);
        const korvan::Map& map = chosen.map;
        for (int r = 0; r < map.height(); ++r) {
            for (int c = 0; c < map.width(); ++c) {
                const korvan::Hex cell = map.hexAt(c, r);
                static_cast<void>(waters.atHex(cell, map.width(), map.height()));
                static_cast<void>(waters.isMarineAtHex(cell, map.width(), map.height()));
                static_cast<void>(waters.isInteriorAtHex(cell, map.width(), map.height()));
            }
        }
    });
    return 0;
}
