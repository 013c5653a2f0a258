// Building the client: the play grid is derived from a world map and the whole map is fitted.
#include "client.hpp"

namespace korvan {

namespace {

// The play grid's row stretch: the full-detail latitude factor over the world's horizontal scale.
std::optional<Map> playGridFor(const Map& world) {
    if (!world.isWorld()) {
        return std::nullopt;
    }
    const double horizontal = world.height() * sqrt3 / world.width();
    return Map::regularWorld(world, worldVerticalScale(world.height(), Camera::maxScale) / horizontal);
}

} // namespace

Client::Client(Map world, std::vector<City> cityList)
    : map(std::move(world)), regularMap(playGridFor(map)), cities(std::move(cityList)) {
    fit();
}

} // namespace korvan
