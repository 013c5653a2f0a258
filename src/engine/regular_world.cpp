// Resampling a world map onto the regular play grid.
#include "map.hpp"

#include <stdexcept>

namespace korvan {

Map Map::regularWorld(const Map&, double) { throw std::logic_error("not yet"); }

} // namespace korvan
