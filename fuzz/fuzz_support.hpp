// What every loader fuzz target shares: feeding the input as a file, and small valid maps (with an
// army and two countries) for the loaders that check a file against them.
#pragma once

#include "forces/army.hpp"
#include "places/cities.hpp"
#include "geography/countries.hpp"
#include "map/map.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

namespace korvan::fuzz {

struct Fixture {
    const char* label;
    Map map;
    Army army;
};

// A small world map (odd-r, wrapping, compact rows with rivers and a named bridge), its play grid,
// an odd-r and an axial operational map; each with two units and rivers, one of them bridged.
inline constexpr std::size_t fixtureCount = 4;
const Fixture& fixture(std::size_t index);
// Two countries, "AA" and "BB", for the water territories.
const Countries& fixtureCountries();
// Two cities, "wien" and "graz", for the city parameters and the urban centres.
const std::vector<City>& fixtureCities();

// Asks a lookup by river-side index for every side of the map and for the first index beyond.
template <typename Names>
void askEverySide(const Names& names, const Map& map) {
    for (std::size_t edge = 0; edge <= map.rivers().size(); ++edge) {
        static_cast<void>(names.at(edge));
    }
}

// Runs the loader on the bytes as a file. A std::exception is a clean rejection; with
// KORVAN_FUZZ_VERBOSE set its message is printed, to read why a seed or a finding was refused.
template <typename Load>
void feed(const std::uint8_t* data, std::size_t size, Load&& load) {
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    try {
        load(input);
    } catch (const std::exception& error) {
        static const bool verbose = std::getenv("KORVAN_FUZZ_VERBOSE") != nullptr;
        if (verbose) {
            std::fprintf(stderr, "rejected: %s\n", error.what());
        }
    }
}

// As feed, for loaders that need a map: the first byte picks the fixture, the rest is the file.
template <typename Load>
void feedWithFixture(const std::uint8_t* data, std::size_t size, Load&& load) {
    if (size == 0) {
        return;
    }
    const Fixture& chosen = fixture(data[0] % fixtureCount);
    feed(data + 1, size - 1, [&](std::istream& input) { load(chosen, input); });
}

} // namespace korvan::fuzz
