// The units on the map with their strength plates, from unit zoom on.
#pragma once

#include "map_view/map_layer.hpp"
#include "units/unit_pictures.hpp"

namespace korvan {

class UnitLayer final : public MapLayer {
public:
    void draw(const Frame& frame) override;
    void forgetRenderer() override { pictures_ = UnitPictureCache{}; }

private:
    UnitPictureCache pictures_; // the map's units, as large as their fields allow
};

} // namespace korvan
