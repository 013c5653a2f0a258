// Start-up and hover costs of the geography layers on a synthetic world of real size.
#include "places/cities.hpp"
#include "geography/countries.hpp"
#include "geography/country_grid.hpp"
#include "geography/water_territories.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h> // getpid: a private temporary file name

namespace {

using namespace korvan;

constexpr int worldWidth = 4320;
constexpr int worldHeight = 2160;
constexpr double pi = 3.141592653589793;

// 240 countries on a 24 x 10 lattice of 15 degree cells. Ten of them are large, reach well into
// their neighbours' cells and carry 12,000 vertices each; the others have 1,000. Every country has
// three small islands, every fourth a lake: about 380,000 vertices in all, some 7 MB of text with
// four decimals, over four times the shipped countries.json and within the loader's 8 MB cap.
class SyntheticCountries {
public:
    SyntheticCountries() : random_(1234) {
        text_ = "{\"schema_version\":1,\"countries\":[";
        int index = 0;
        for (int cy = 0; cy < 10; ++cy) {
            for (int cx = 0; cx < 24; ++cx, ++index) {
                addCountry(index, {-180.0 + 15.0 * (cx + 0.5), -75.0 + 15.0 * (cy + 0.5)});
            }
        }
        text_ += "]}";
    }

    const std::string& text() const { return text_; }
    std::size_t vertices() const { return vertices_; }

private:
    void addCountry(int index, Point centre) {
        const bool large = index % 24 == 11;
        text_ += index == 0 ? "" : ",";
        text_ +=
            "{\"id\":\"C" + std::to_string(index) + "\",\"name\":\"Land " + std::to_string(index) + "\",\"polygons\":[";
        text_ += "[";
        ring(centre, large ? 14.0 : 7.0, large ? 12000 : 1000, 0.25);
        if (index % 4 == 0) {
            text_ += ",";
            ring(centre, 1.5, 80, 0.2);
        }
        text_ += "]";
        for (int k = 0; k < 3; ++k) {
            const double angle = 2 * pi * (k + 0.3) / 3;
            text_ += ",[";
            ring({centre.x + 6.8 * std::cos(angle), centre.y + 6.8 * std::sin(angle)}, 0.4, 40, 0.3);
            text_ += "]";
        }
        text_ += "]}";
    }

    // A closed, wobbly ring: a few random harmonics plus a little per-vertex noise.
    void ring(Point centre, double radius, int points, double roughness) {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        double phase[3];
        for (double& p : phase) {
            p = 2 * pi * unit(random_);
        }
        text_ += "[";
        char buffer[64];
        for (int k = 0; k < points; ++k) {
            const double angle = 2 * pi * k / points;
            const double wobble = 0.5 * std::sin(3 * angle + phase[0]) + 0.3 * std::sin(7 * angle + phase[1]) +
                                  0.2 * std::sin(17 * angle + phase[2]) + 0.3 * (unit(random_) - 0.5);
            const double r = radius * (1.0 + roughness * wobble);
            const double x = std::clamp(centre.x + r * std::cos(angle), -180.0, 180.0);
            const double y = std::clamp(centre.y + r * std::sin(angle), -90.0, 90.0);
            std::snprintf(buffer, sizeof buffer, "%s[%.4f,%.4f]", k == 0 ? "" : ",", x, y);
            text_ += buffer;
        }
        text_ += "]";
        vertices_ += std::size_t(points);
    }

    std::mt19937 random_;
    std::string text_;
    std::size_t vertices_ = 0;
};

std::string worldJson(const std::vector<std::uint8_t>& land) {
    std::string text = "{\"schema_version\":3,\"width\":" + std::to_string(worldWidth) +
                       ",\"height\":" + std::to_string(worldHeight) +
                       ",\"name\":\"Synthetische Erde\",\"layout\":\"odd-r\",\"wrap_horizontal\":true,"
                       "\"kind\":\"world\",\"river_edges\":[],\"terrain_rows\":[";
    for (int r = 0; r < worldHeight; ++r) {
        text += r == 0 ? "\"" : ",\"";
        for (int c = 0; c < worldWidth;) {
            const std::uint8_t value = land[std::size_t(r) * worldWidth + std::size_t(c)];
            int count = 1;
            while (c + count < worldWidth && land[std::size_t(r) * worldWidth + std::size_t(c + count)] == value) {
                ++count;
            }
            text += (value != 0 ? 'p' : 'w') + std::to_string(count);
            c += count;
        }
        text += "\"";
    }
    return text + "]}";
}

// National water: up to four water fields off every coast belong to the coast's country, the
// outer two of them marine.
std::string waterJson(const CountryGrid& grid, std::size_t countryCount) {
    std::string spans;
    std::string marine;
    const auto& cells = grid.cells();
    const auto add = [](std::string& list, int row, int start, int count, int owner) {
        list += (list.empty() ? "[" : ",[") + std::to_string(row) + "," + std::to_string(start) + "," +
                std::to_string(count) + "," + std::to_string(owner) + "]";
    };
    for (int r = 0; r < worldHeight; ++r) {
        const std::uint16_t* row = cells.data() + std::size_t(r) * worldWidth;
        int c = 0;
        while (c < worldWidth) {
            if (CountryGrid::inTerritory(row[c])) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < worldWidth && !CountryGrid::inTerritory(row[c])) {
                ++c;
            }
            const int length = c - start;
            const int west = start > 0 ? row[start - 1] : -1;
            const int east = c < worldWidth ? row[c] : -1;
            const int band = std::min(4, length / 2);
            if (band >= 1 && west >= 0) {
                add(spans, r, start, band, west);
                if (band > 2) {
                    add(marine, r, start + 2, band - 2, west);
                }
            }
            if (band >= 1 && east >= 0) {
                add(spans, r, c - band, band, east);
                if (band > 2) {
                    add(marine, r, c - band, band - 2, east);
                }
            }
        }
    }
    std::string codes;
    for (std::size_t k = 0; k < countryCount; ++k) {
        codes += (k == 0 ? "\"C" : ",\"C") + std::to_string(k) + "\"";
    }
    return "{\"schema_version\":1,\"width\":" + std::to_string(worldWidth) +
           ",\"height\":" + std::to_string(worldHeight) + ",\"countries\":[" + codes + "],\"spans\":[" + spans +
           "],\"marine_spans\":[" + marine + "]}";
}

// Everything the benchmarks share, generated once: countries, a world whose land is their
// territory, coastal waters, 10,000 cities and 10,000 land points.
struct SyntheticGeography {
    SyntheticCountries source;
    Countries countries;
    Map map;
    WaterTerritories water;
    std::vector<City> cities;
    std::vector<Point> landPoints;
    std::filesystem::path countriesFile;

    SyntheticGeography() {
        countriesFile =
            std::filesystem::temp_directory_path() / ("korvan_bench_countries_" + std::to_string(::getpid()) + ".json");
        std::ofstream(countriesFile, std::ios::binary) << source.text();
        countries = Countries::load(countriesFile);

        // The land is what the countries claim on an all-plain world.
        std::istringstream plain(worldJson(std::vector<std::uint8_t>(std::size_t(worldWidth) * worldHeight, 1)));
        const Map allLand = Map::load(plain);
        const CountryGrid claimed = CountryGrid::build(allLand, countries, nullptr, {});
        std::vector<std::uint8_t> land(claimed.cells().size());
        for (std::size_t k = 0; k < land.size(); ++k) {
            land[k] = CountryGrid::inTerritory(claimed.cells()[k]) ? 1 : 0;
        }
        std::istringstream world(worldJson(land));
        map = Map::load(world);
        std::istringstream waterText(waterJson(claimed, countries.entries.size()));
        water = WaterTerritories::load(map, countries, waterText);

        std::mt19937 random(99);
        std::vector<std::size_t> landCells;
        for (std::size_t k = 0; k < land.size(); ++k) {
            if (land[k] != 0) {
                landCells.push_back(k);
            }
        }
        std::uniform_real_distribution<double> jitter(-0.02, 0.02);
        for (int k = 0; k < 20000; ++k) {
            const std::size_t cell = landCells[random() % landCells.size()];
            const Point centre = map.geography(map.hexAt(int(cell % worldWidth), int(cell / worldWidth)));
            const Point p{std::clamp(centre.x + jitter(random), -180.0, 180.0), centre.y + jitter(random)};
            if (k % 2 == 0) {
                landPoints.push_back(p);
            } else {
                City city;
                city.id = city.name = "S" + std::to_string(k);
                city.geography = p;
                cities.push_back(city);
            }
        }
    }

    ~SyntheticGeography() {
        std::error_code ignored;
        std::filesystem::remove(countriesFile, ignored);
    }
};

const SyntheticGeography& geography() {
    static const auto instance = std::make_unique<SyntheticGeography>();
    return *instance;
}

void BM_CountryGridBuild(benchmark::State& state) {
    const SyntheticGeography& g = geography();
    CountryGrid::Statistics last;
    for (auto _ : state) {
        const CountryGrid grid = CountryGrid::build(g.map, g.countries, &g.water, g.cities);
        last = grid.statistics();
        benchmark::DoNotOptimize(grid.cells().data());
    }
    state.counters["polygon_ms"] = last.polygonMilliseconds;
    state.counters["water_city_ms"] = last.waterMilliseconds;
    state.counters["enclosure_ms"] = last.enclosedMilliseconds;
    state.counters["vertices"] = double(g.source.vertices());
    state.counters["cities"] = double(g.cities.size());
}
BENCHMARK(BM_CountryGridBuild)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The outline traced when the pointer first reaches a country: one of the large countries and a
// small one, joined into polylines as the border layer asks for them.
void BM_CountryOutline(benchmark::State& state) {
    const SyntheticGeography& g = geography();
    static const CountryGrid grid = CountryGrid::build(g.map, g.countries, &g.water, g.cities);
    const auto country = static_cast<std::size_t>(state.range(0));
    std::size_t points = 0;
    for (auto _ : state) {
        const auto lines = grid.outlineLines(g.map, country, 512);
        points = 0;
        for (const auto& line : lines) {
            points += line.size();
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.counters["points"] = double(points);
}
BENCHMARK(BM_CountryOutline)->Arg(11)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_CountriesAtLandPoint(benchmark::State& state) {
    const SyntheticGeography& g = geography();
    std::size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(g.countries.at(g.landPoints[k]));
        k = (k + 1) % g.landPoints.size();
    }
}
BENCHMARK(BM_CountriesAtLandPoint)->Unit(benchmark::kMicrosecond);

void BM_CountriesLoad(benchmark::State& state) {
    const SyntheticGeography& g = geography();
    for (auto _ : state) {
        const Countries loaded = Countries::load(g.countriesFile);
        benchmark::DoNotOptimize(loaded.entries.data());
    }
    state.counters["megabytes"] = double(g.source.text().size()) / 1e6;
}
BENCHMARK(BM_CountriesLoad)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
