// The images in the order start-up reads them: flags, terrain art, city markers.
#include "map_view/images.hpp"

namespace korvan {

void Images::load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory) {
    flags.load(renderer, dataDirectory);
    terrainArt.load(renderer, dataDirectory);
    cityGraphics.load(renderer, dataDirectory, CityGraphics::markerFile);
    cityGraphics.loadSizes(renderer, dataDirectory, CityGraphics::sizesFile);
}

} // namespace korvan
