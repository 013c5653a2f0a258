// The panels around the map: top bar, sidebar with minimap, legend or unit list, selection and
// hover panels, action button, combat log, result box and status line.
#pragma once

#include "hud/minimap.hpp"
#include "hud/panel_backdrop.hpp"
#include "map_view/scene.hpp"
#include "sdl/sdl_handles.hpp"
#include "units/unit_icons.hpp"

#include <SDL.h>

#include <string>

namespace korvan {

class Hud {
public:
    // Draws every panel over the frame, outside the map clip.
    void draw(const Frame& frame);
    // Drops the textures made for the current renderer.
    void forgetRenderer();
    Minimap& minimap() { return minimap_; }

private:
    void drawLegend(const Frame& frame);
    void drawUnitList(const Frame& frame);
    void drawSelectionPanel(const Frame& frame);
    void drawObjectives(const Frame& frame, int y);
    void drawCombatLog(const Frame& frame);
    void drawStatusLine(const Frame& frame);
    void drawSelectedCountry(const Frame& frame);
    void drawHoverPanel(const Frame& frame);
    void drawUnitHoverPanel(const Frame& frame, const Unit& unit);
    void drawHelp(const Frame& frame);
    void drawBridgePanel(const Frame& frame);
    void drawDisputedLine(const Frame& frame);

    UnitIconAtlas listIcons_; // the unit list's, 24 pixels
    Minimap minimap_;
    PanelBackdrop backdrop_;
};

// The first row the unit list shows, as far as the view scrolls it.
std::size_t unitListFirst(const Game& game, const ViewState& view);

} // namespace korvan
