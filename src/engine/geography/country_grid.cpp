// Building the country grid: polygon scan lines, water and land spans, city fields, enclosed gaps.
#include "geography/country_grid.hpp"

#include "core/byte_stream.hpp"
#include "geography/country_grid_enclosure.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace korvan {

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Scan latitudes of the rows (falling from north to south) and where an edge crosses them.
class ScanRows {
public:
    explicit ScanRows(const Map& map) {
        latitude_.reserve(static_cast<std::size_t>(map.height()));
        for (int r = 0; r < map.height(); ++r) {
            latitude_.push_back(map.geography(map.hexAt(0, r)).y);
        }
        const std::size_t n = latitude_.size();
        step_ = n > 1 ? (latitude_.front() - latitude_.back()) / double(n - 1) : 1.0;
    }

    double latitude(int row) const { return latitude_[std::size_t(row)]; }
    int height() const { return int(latitude_.size()); }

    // The first row whose latitude lies below the value; a direct estimate, corrected against the table.
    int firstBelow(double value) const {
        const int n = height();
        double estimate = std::ceil((latitude_.front() - value) / step_);
        int r = estimate < 0 ? 0 : estimate > n ? n : int(estimate);
        while (r > 0 && latitude_[std::size_t(r) - 1] < value) {
            --r;
        }
        while (r < n && latitude_[std::size_t(r)] >= value) {
            ++r;
        }
        return r;
    }

    // Rows [first, last) where the edge from a to b crosses: (a.y > lat) differs from (b.y > lat),
    // that is min(a.y, b.y) <= lat < max(a.y, b.y).
    std::pair<int, int> crossedRows(Point a, Point b) const {
        if (a.y == b.y) {
            return {0, 0};
        }
        return {firstBelow(std::max(a.y, b.y)), firstBelow(std::min(a.y, b.y))};
    }

private:
    std::vector<double> latitude_;
    double step_ = 1.0;
};

// Scratch buffers of the polygon pass, reused from polygon to polygon.
struct Crossings {
    std::vector<std::pair<int, int>> edgeRows;
    std::vector<int> perRow; // offsets into values, one more entry than rows
    std::vector<int> filled;
    std::vector<double> values;
};

// Scan-line fill of the polygons. Each edge is entered once into the rows it crosses, so a
// polygon costs its vertices plus its crossings rather than vertices times rows; the crossings of
// a row are paired after sorting, all rings together (holes fall out of the pairing).
class PolygonPass {
public:
    PolygonPass(const Map& map, std::vector<std::uint16_t>& cells) : scan_(map), cells_(cells), width_(map.width()) {}

    std::size_t claimed() const { return claimed_; }

    void claim(const CountryPolygon& polygon, std::uint16_t country) {
        int firstRow = scan_.height();
        int lastRow = 0; // exclusive
        auto& edgeRows = buffers_.edgeRows;
        edgeRows.clear();
        for (const auto& ring : polygon.rings) {
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const auto rows = scan_.crossedRows(ring[j], ring[i]);
                edgeRows.push_back(rows);
                if (rows.first < rows.second) {
                    firstRow = std::min(firstRow, rows.first);
                    lastRow = std::max(lastRow, rows.second);
                }
            }
        }
        if (firstRow >= lastRow) {
            return;
        }
        sortCrossings(polygon, firstRow, lastRow);
        for (int r = firstRow; r < lastRow; ++r) {
            const int begin = buffers_.perRow[std::size_t(r - firstRow)];
            const int end = buffers_.perRow[std::size_t(r - firstRow) + 1];
            // An unpaired last crossing (a degenerate ring) is ignored.
            for (int k = begin; k + 1 < end; k += 2) {
                claimSpan(r, buffers_.values[std::size_t(k)], buffers_.values[std::size_t(k) + 1], country);
            }
        }
    }

private:
    // Buckets the crossings of all rings by row (counting sort) and sorts each row's bucket.
    void sortCrossings(const CountryPolygon& polygon, int firstRow, int lastRow) {
        auto& perRow = buffers_.perRow;
        perRow.assign(std::size_t(lastRow - firstRow) + 1, 0);
        for (const auto& [a, b] : buffers_.edgeRows) {
            if (a < b) {
                ++perRow[std::size_t(a - firstRow)];
                --perRow[std::size_t(b - firstRow)];
            }
        }
        int running = 0;
        int offset = 0;
        for (auto& entry : perRow) {
            running += entry;
            entry = offset;
            offset += running;
        }
        buffers_.filled.assign(perRow.begin(), perRow.end() - 1);
        buffers_.values.resize(std::size_t(offset));
        std::size_t edge = 0;
        for (const auto& ring : polygon.rings) {
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++, ++edge) {
                const auto [a, b] = buffers_.edgeRows[edge];
                const Point pj = ring[j];
                const Point pi = ring[i];
                for (int r = a; r < b; ++r) {
                    const double lat = scan_.latitude(r);
                    buffers_.values[std::size_t(buffers_.filled[std::size_t(r - firstRow)]++)] =
                        pj.x + (pi.x - pj.x) * (lat - pj.y) / (pi.y - pj.y);
                }
            }
        }
        for (std::size_t k = 0; k + 1 < perRow.size(); ++k) {
            std::sort(buffers_.values.begin() + perRow[k], buffers_.values.begin() + perRow[k + 1]);
        }
    }

    // Claims the free cells whose centre longitude lies in [x0, x1).
    void claimSpan(int row, double x0, double x1, std::uint16_t country) {
        const double shift = row % 2 != 0 ? 0.5 : 0.0;
        const double first = std::max(std::ceil((180.0 + x0) * width_ / 360.0 - shift), 0.0);
        const double last = std::min(std::ceil((180.0 + x1) * width_ / 360.0 - shift) - 1.0, double(width_ - 1));
        std::uint16_t* cells = cells_.data() + std::size_t(row) * std::size_t(width_);
        for (int c = int(first); c <= int(last); ++c) {
            if (cells[c] == CountryGrid::noOwner) {
                cells[c] = country;
                ++claimed_;
            }
        }
    }

    ScanRows scan_;
    std::vector<std::uint16_t>& cells_;
    int width_;
    Crossings buffers_;
    std::size_t claimed_ = 0;
};

void checkWaterOwners(const WaterTerritories& water, std::size_t countryCount) {
    for (int r = 0; r < water.height(); ++r) {
        for (const auto* spans : {&water.waterSpans(r), &water.landSpans(r)}) {
            for (const auto& span : *spans) {
                if (span.owner >= countryCount) {
                    throw std::invalid_argument("Gewaesser-Laender passen nicht zum Laenderraster");
                }
            }
        }
    }
}

void waterPass(const Map& map, const WaterTerritories& water, std::vector<std::uint16_t>& cells,
               CountryGrid::Statistics& statistics) {
    const int width = map.width();
    const auto& tiles = map.tileBytes();
    const auto isWater = [&](std::size_t index) {
        return static_cast<Terrain>(tiles[index] & tileTerrainMask) == Terrain::Water;
    };
    std::vector<std::uint8_t> fresh(std::size_t(width), 0);
    std::vector<int> freshColumns;
    for (int r = 0; r < map.height(); ++r) {
        const std::size_t base = std::size_t(r) * std::size_t(width);
        freshColumns.clear();
        for (const auto& span : water.waterSpans(r)) {
            for (int c = span.start; c < span.end; ++c) {
                if (cells[base + std::size_t(c)] == CountryGrid::noOwner && isWater(base + std::size_t(c))) {
                    cells[base + std::size_t(c)] = static_cast<std::uint16_t>(span.owner);
                    fresh[std::size_t(c)] = 1;
                    freshColumns.push_back(c);
                    ++statistics.waterFields;
                }
            }
        }
        if (!freshColumns.empty()) {
            for (const auto& span : water.marineSpans(r)) {
                for (int c = span.start; c < span.end; ++c) {
                    if (fresh[std::size_t(c)] != 0) {
                        cells[base + std::size_t(c)] |= CountryGrid::marineBit;
                        --statistics.waterFields;
                        ++statistics.marineFields;
                    }
                }
            }
            for (const int c : freshColumns) {
                fresh[std::size_t(c)] = 0;
            }
        }
        for (const auto& span : water.landSpans(r)) {
            for (int c = span.start; c < span.end; ++c) {
                if (cells[base + std::size_t(c)] == CountryGrid::noOwner && !isWater(base + std::size_t(c))) {
                    cells[base + std::size_t(c)] = static_cast<std::uint16_t>(span.owner);
                    ++statistics.landFields;
                }
            }
        }
    }
}

// A city's own field goes to the country holding the city's point, unless a country holds it as land.
void settlementPass(const Map& map, const Countries& countries, std::span<const City> settlements,
                    std::vector<std::uint16_t>& cells, CountryGrid::Statistics& statistics) {
    for (const City& city : settlements) {
        const Point p = city.geography;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || p.y < -90.0 || p.y > 90.0) {
            continue; // in no polygon, and without a field
        }
        std::uint16_t& cell = cells[map.storageIndex(map.hexAtGeography(city.geography))];
        // Territory keeps its owner anyway: only then is the polygon test (the costly part) needed.
        if (CountryGrid::inTerritory(cell)) {
            continue;
        }
        if (const auto country = countries.at(city.geography)) {
            cell = static_cast<std::uint16_t>(*country);
            ++statistics.settlementFields;
        }
    }
}

} // namespace

std::array<int, 6> adjacentCells(const Map& map, int column, int row) {
    std::array<int, 6> result{};
    const int width = map.width();
    const int height = map.height();
    for (std::size_t i = 0; i < neighbourSteps.size(); ++i) {
        const int r = row + neighbourSteps[i].r;
        if (r < 0 || r >= height) {
            result[i] = -1;
            continue;
        }
        int c = column + neighbourSteps[i].q + r / 2 - row / 2;
        if (c < 0 || c >= width) {
            if (!map.wraps()) {
                result[i] = -1;
                continue;
            }
            c = (width + c % width) % width;
        }
        result[i] = r * width + c;
    }
    return result;
}

CountryGrid CountryGrid::build(const Map& map, const Countries& countries, const WaterTerritories* water,
                               std::span<const City> settlements) {
    if (!map.isWorld() || !map.offsetRows()) {
        throw std::invalid_argument("Laenderraster nur fuer Weltkarten");
    }
    if (countries.entries.size() > maxCountries) {
        throw std::invalid_argument("Zu viele Laender fuer das Laenderraster");
    }
    // Checked before any pass: a foreign water raster or owner index must not touch the cells.
    if (water != nullptr) {
        if (water->width() != map.width() || water->height() != map.height()) {
            throw std::invalid_argument("Gewaesser-Laender passen nicht zum Laenderraster");
        }
        checkWaterOwners(*water, countries.entries.size());
    }
    CountryGrid grid;
    grid.width_ = map.width();
    grid.height_ = map.height();
    grid.cells_.assign(std::size_t(grid.width_) * std::size_t(grid.height_), noOwner);
    Statistics& statistics = grid.statistics_;

    auto start = Clock::now();
    PolygonPass polygons(map, grid.cells_);
    for (std::size_t c = 0; c < countries.entries.size(); ++c) {
        // Country-major order claims the same cells as row-major: each cell keeps its first claimant.
        for (const CountryPolygon& polygon : countries.entries[c].polygons) {
            polygons.claim(polygon, static_cast<std::uint16_t>(c));
        }
    }
    statistics.polygonFields = polygons.claimed();
    statistics.polygonMilliseconds = millisecondsSince(start);

    start = Clock::now();
    if (water != nullptr) {
        waterPass(map, *water, grid.cells_, statistics);
    }
    settlementPass(map, countries, settlements, grid.cells_, statistics);
    statistics.waterMilliseconds = millisecondsSince(start);

    start = Clock::now();
    fillEnclosedGaps(grid.cells_, grid.width_, grid.height_, map.wraps(), statistics);
    statistics.enclosedMilliseconds = millisecondsSince(start);

    grid.rows_.assign(countries.entries.size(), {grid.height_, -1});
    for (int r = 0; r < grid.height_; ++r) {
        const std::uint16_t* row = grid.cells_.data() + std::size_t(r) * std::size_t(grid.width_);
        for (int c = 0; c < grid.width_; ++c) {
            if (inTerritory(row[c])) {
                auto& span = grid.rows_[row[c]];
                span.first = std::min(span.first, r);
                span.second = r;
            }
        }
    }
    return grid;
}

std::optional<std::size_t> CountryGrid::cellIndex(const Map& map, Hex h) const {
    if (!matches(map)) {
        return std::nullopt;
    }
    const auto stored = map.canonical(h);
    if (!stored || !map.contains(*stored)) {
        return std::nullopt;
    }
    return map.storageIndex(*stored);
}

std::optional<std::size_t> CountryGrid::owner(const Map& map, Hex h) const {
    const auto index = cellIndex(map, h);
    if (!index) {
        return std::nullopt;
    }
    const std::uint16_t cell = cells_[*index] & ownerMask;
    return cell != noOwner ? std::optional<std::size_t>(cell) : std::nullopt;
}

std::optional<std::size_t> CountryGrid::territory(const Map& map, Hex h) const {
    const auto index = cellIndex(map, h);
    if (!index || !inTerritory(cells_[*index])) {
        return std::nullopt;
    }
    return cells_[*index];
}

std::optional<std::pair<int, int>> CountryGrid::rows(std::size_t country) const {
    if (country >= rows_.size() || rows_[country].second < 0) {
        return std::nullopt;
    }
    return rows_[country];
}

namespace {

// The counts of the statistics, in the cache's order.
template <typename Statistics>
auto statisticsCounts(Statistics& s) {
    return std::array{&s.polygonFields,    &s.waterFields,        &s.landFields,     &s.marineFields,
                      &s.settlementFields, &s.enclosedComponents, &s.enclosedFields, &s.openComponents,
                      &s.openFields};
}

} // namespace

void CountryGrid::writeCache(ByteWriter& out) const {
    out.put<std::int32_t>(width_);
    out.put<std::int32_t>(height_);
    out.putRuns(cells_);
    out.put<std::uint64_t>(rows_.size());
    for (const auto& [first, last] : rows_) {
        out.put<std::int32_t>(first);
        out.put<std::int32_t>(last);
    }
    // The counts only: a grid from the cache took no time to build.
    for (const std::size_t* count : statisticsCounts(statistics_)) {
        out.put<std::uint64_t>(*count);
    }
}

CountryGrid CountryGrid::readCache(ByteReader& in, const Map& map, std::size_t countries) {
    CountryGrid grid;
    grid.width_ = in.get<std::int32_t>();
    grid.height_ = in.get<std::int32_t>();
    if (grid.width_ != map.width() || grid.height_ != map.height()) {
        ByteReader::fail();
    }
    grid.cells_ = in.getRuns<std::uint16_t>(std::size_t(grid.width_) * std::size_t(grid.height_), [&](std::uint16_t cell) {
        return (cell & ownerMask) == noOwner || (cell & ownerMask) < countries;
    });
    if (in.get<std::uint64_t>() != countries) {
        ByteReader::fail();
    }
    grid.rows_.reserve(countries);
    for (std::size_t k = 0; k < countries; ++k) {
        const auto first = in.get<std::int32_t>();
        const auto last = in.get<std::int32_t>();
        if (last != -1 && (first < 0 || first > last || last >= grid.height_)) {
            ByteReader::fail();
        }
        grid.rows_.emplace_back(first, last);
    }
    for (std::size_t* count : statisticsCounts(grid.statistics_)) {
        *count = in.get<std::uint64_t>();
    }
    return grid;
}

} // namespace korvan
