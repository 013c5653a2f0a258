// Building the client: the play grid is derived from a world map and the whole map is fitted.
#include "client/client.hpp"

namespace korvan {

std::optional<Map> playGridFor(const Map& world) {
    if (!world.isWorld()) {
        return std::nullopt;
    }
    return Map::regularWorld(world, playGridRatio(world.width(), world.height()));
}

Client::Client(Map world, std::vector<City> cityList)
    : map(std::move(world)), regularMap(playGridFor(map)), cities(std::move(cityList)) {
    fit();
}

Client::Client(Map world, std::vector<City> cityList, PlayGridLater)
    : map(std::move(world)), cities(std::move(cityList)) {
    fit();
}

void Client::setPlayGrid(std::optional<Map> grid) {
    regularMap = std::move(grid);
    ++mapGeneration;
    fit();
}

} // namespace korvan
