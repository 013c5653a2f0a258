// What lies under the pointer.
#include "client.hpp"

namespace korvan {

void Client::updateHover() {
    hovered.reset();
    if (onMap(mouse)) {
        hovered = gameAt(camera.toWorld(mouse));
    }
}

Point Client::cityWorld(std::size_t) const { return {}; }

} // namespace korvan
