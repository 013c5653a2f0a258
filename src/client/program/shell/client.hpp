// The program's top object: the world with the game played on it, how the player looks at it, the
// map view that draws both, and the commands that span them. Input turns SDL events into these.
#pragma once

#include "game/game.hpp"
#include "map_view/map_view.hpp"
#include "view_state/view_state.hpp"
#include "world/world.hpp"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

class Client {
public:
    // The game on a loaded world, fitted to the whole map; the images are loaded separately.
    explicit Client(LoadedWorld loaded);
    // A world of one map and its cities, without a scenario.
    explicit Client(Map map, std::vector<City> cities = {});
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Input dispatch; every event ends with the camera wrap and a hover update.
    void event(const SDL_Event& e);
    // One frame. Drawing changes no game or view state, only the map view's caches.
    void render(SDL_Renderer* renderer) { mapView.draw(renderer); }

    // Selects a unit, centred with focus, at unit zoom unless already closer; the legend gives way to the unit list.
    void selectUnit(int id, bool focus);
    // Selects and centres the next Blue unit.
    void nextUnit();
    void moveTo(Hex target);
    void attackUnit(int id);
    // Ends Blue's turn; the computer plays its whole turn inside this call and hands it back.
    void endTurn();
    // Enter: the first press in a turn with Blue units that may still act only warns.
    void askEndTurn();
    // N: during a running game the first press only asks; a second N starts over.
    void askRestart();
    // A new game on the maps as loaded: built bridges are gone, units and scenario start over. The
    // camera stays on the world map, which shows the first unit; other maps are fitted again.
    void restartBattle();
    // Takes back Blue's last move of this turn; the camera stays.
    void undo();
    // The quick save in the save folder (F5, F9); the status line tells the result, the camera stays.
    void quickSave();
    void quickLoad();
    // Bridges the river side under the pointer.
    void buildBridge();
    // Forgets every selection: field, city, country and unit.
    void clearSelection();

    // An operation around a city: the game starts over on it, focused. Throws OperationRefused, and
    // a runtime error for an unknown name, leaving the game as it was.
    void startOperation(std::size_t city);
    void startOperation(const std::string& cityName);
    // The O key: with a city selected or under the pointer, a first press asks and a second starts.
    void requestOperation();

    // Searches and focus changes that jump the view; the searches throw when nothing matches.
    void focusGeography(Point lonLat, double scale);
    void focusOperation();
    void focusCity(const std::string& name);
    void focusCountry(const std::string& code) { view.focusCountry(code); }
    void updateHover() { view.updateHover(); }

    World world;
    Game game;
    ViewState view;
    MapView mapView;
    bool running = true;
    // When the picture next changes without input (SDL ticks, 0 for never), such as a message timing
    // out: the run loop draws no frame while nothing happens but wakes for this one.
    std::uint32_t timedChange = 0;
    // Saves at the start of every Blue turn after the first; only the interactive game sets it.
    bool autosave = false;
    bool restartAsked = false;  // the next N starts over; any other key or click forgets it
    bool endTurnWarned = false; // Enter ends the turn now, units able to act or not

private:
    // Writes the game to this file of the save folder; false (the status line says why) on failure.
    bool saveAs(const char* name);

    std::optional<std::size_t> pendingOperation_; // the city a first O asked about
};

} // namespace korvan
