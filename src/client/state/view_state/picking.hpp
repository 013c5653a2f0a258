// What the map shows under a screen point, as drawn: the view answers, hover and input ask. Labels
// and river strokes are placed when they are drawn, so only the drawing side can tell what was hit;
// asking may bring what it keeps of the last frame up to date.
#pragma once

#include "core/hex.hpp"

#include <cstddef>
#include <optional>

namespace korvan {

class Picking {
public:
    virtual ~Picking() = default;
    // The city whose label, marker or play-grid field lies under the point.
    virtual std::optional<std::size_t> cityAt(Point screen) = 0;
    // The world-map river edge of the bridge drawn under the point.
    virtual std::optional<std::size_t> bridgeAt(Point screen) = 0;
    // The world-map river edge of the river drawn under the point; precise: on its stroke only, else
    // the nearest side within reach (where a bridge could go).
    virtual std::optional<std::size_t> riverAt(Point screen, bool precise) = 0;

protected:
    Picking() = default;
    Picking(const Picking&) = default;
    Picking& operator=(const Picking&) = default;
};

} // namespace korvan
