// The enclosure pass of the country grid: gaps surrounded by one country become its territory.
#pragma once

#include "geography/country_grid.hpp"

#include <cstdint>
#include <vector>

namespace korvan {

// Works on maximal runs of non-territory cells per row joined by union-find, so the cost follows
// the number of runs rather than of cells. Fills every gap component that touches territory of
// exactly one country and neither the outside above the top row or below the bottom row nor, on
// a non-wrapping raster, the left or right edge; counts enclosed and open components in statistics.
void fillEnclosedGaps(std::vector<std::uint16_t>& cells, int width, int height, bool wraps,
                      CountryGrid::Statistics& statistics);

} // namespace korvan
