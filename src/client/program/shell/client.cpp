// The commands that span the game and the view: selection with focus, turns, restart, bridges and
// the searches that jump the view.
#include "shell/client.hpp"

#include "game/save_files.hpp"
#include "input/input.hpp"
#include "view_state/sidebar_lists.hpp"

#include <algorithm>
#include <stdexcept>

namespace korvan {

namespace {

// Focus scale of a selected unit: its field and the neighbours fill the view.
constexpr double unitFocusScale = 18;
// Fixed focus of the operation view: Wien, at a scale that shows Austria.
constexpr Point operationFocus{16.3738, 48.2082};
constexpr double operationScale = 4;
constexpr const char* autosaveName = "autosave.json";
constexpr const char* quickSaveName = "schnellspeicher.json";

} // namespace

Client::Client(LoadedWorld loaded)
    : world(std::move(loaded.world)), game(world, std::move(loaded.scenario)), view(world), mapView(world, game, view) {
    view.picking = &mapView;
    view.updateHover();
}

Client::Client(Map map, std::vector<City> cities) : Client(LoadedWorld{World(std::move(map), std::move(cities)), {}}) {}

void Client::event(const SDL_Event& e) { handleEvent(*this, e); }

void Client::selectUnit(int id, bool focus) {
    if (!game.selectUnit(id)) {
        return;
    }
    view.legendVisible = false;
    view.selectedCity.reset();
    const auto& units = game.army.units();
    const auto row = std::find_if(units.begin(), units.end(), [&](const Unit& u) { return u.id == id; });
    view.unitListOffset = revealRow(listFirst(view.unitListOffset, unitListRows(), units.size()),
                                    static_cast<std::size_t>(row - units.begin()), unitListRows());
    if (focus) {
        view.centerOn(world.gameWorld(game.army.find(id)->position), std::max(view.camera.scale, unitFocusScale));
    }
    view.updateHover();
}

void Client::nextUnit() {
    if (const auto next = game.nextUnit()) {
        selectUnit(*next, true);
    }
}

void Client::moveTo(Hex target) { game.moveTo(target); }

void Client::attackUnit(int id) {
    game.attackUnit(id);
    view.updateHover();
}

void Client::askEndTurn() {
    if (!game.battle) {
        return;
    }
    if (!endTurnWarned) {
        if (const int able = game.unitsAbleToAct(); able > 0) {
            endTurnWarned = true;
            game.movementMessage = (able == 1 ? std::string("Noch 1 Einheit kann") : "Noch " + std::to_string(able) +
                                                                                            " Einheiten koennen") +
                                   " handeln. Enter erneut: Zug beenden";
            return;
        }
    }
    endTurn();
}

void Client::askRestart() {
    if (game.battle && !game.decided() && !restartAsked) {
        restartAsked = true;
        game.movementMessage = "Partie verwerfen und neu beginnen? Nochmals N druecken";
        return;
    }
    restartAsked = false;
    restartBattle();
}

void Client::endTurn() {
    if (!game.battle) {
        return;
    }
    endTurnWarned = false;
    game.endTurn();
    if (autosave && !game.decided() && game.battle->activeSide() == blueSide) {
        // The summary of Red's turn stays in the status line unless the save fails.
        const std::string told = game.movementMessage;
        if (saveAs(autosaveName)) {
            game.movementMessage = told;
        }
    }
    view.updateHover();
}

bool Client::saveAs(const char* name) {
    try {
        return game.saveTo(saveDirectory() / name);
    } catch (const std::exception& error) {
        game.movementMessage = std::string("Speichern fehlgeschlagen: ") + error.what();
        return false;
    }
}

void Client::quickSave() { saveAs(quickSaveName); }

void Client::quickLoad() {
    try {
        game.loadFrom(saveDirectory() / quickSaveName);
    } catch (const std::exception& error) {
        game.movementMessage = std::string("Laden fehlgeschlagen: ") + error.what();
    }
    view.updateHover();
}

void Client::restartBattle() {
    const bool worldMap = world.map.isWorld();
    if (!game.restart()) {
        return;
    }
    view.dragging = false;
    selectUnit(1, worldMap);
    if (!worldMap) {
        view.fit();
    }
}

void Client::undo() {
    game.undo();
    view.updateHover();
}

void Client::buildBridge() {
    const bool closeEnough = view.camera.scale >= bridgeZoom;
    const bool pointed = closeEnough && view.onMap(view.mouse);
    game.buildBridge(pointed ? mapView.riverAt(view.mouse, false) : std::nullopt, closeEnough);
}

void Client::clearSelection() {
    game.clearUnitSelection();
    view.selectedCity.reset();
    view.selectedCountry.reset();
}

void Client::focusGeography(Point lonLat, double scale) {
    const Hex h = world.map.hexAtGeography(lonLat);
    view.centerOn(hexCenter(h), Camera::clampScale(scale));
    clearSelection();
    view.dragging = false;
    view.updateHover();
}

void Client::focusOperation() {
    if (!world.map.isWorld()) {
        return;
    }
    game.bridgeMode = false;
    game.movementMessage.clear();
    view.hover.city.reset();
    focusGeography(game.operation ? game.operation->focus : operationFocus, operationScale);
}

void Client::startOperation(std::size_t city) {
    pendingOperation_.reset();
    game.startOperation(generateOperation(world, game.army.types(), city));
    const std::string started = game.movementMessage;
    focusOperation();
    game.movementMessage = started;
}

void Client::startOperation(const std::string& cityName) {
    startOperation(cityNamed(world, cityName));
}

void Client::requestOperation() {
    const std::optional<std::size_t> city = view.hover.city ? view.hover.city : view.selectedCity;
    if (!city || !world.map.isWorld()) {
        pendingOperation_.reset();
        game.movementMessage = "Operation: erst eine Stadt waehlen";
        return;
    }
    if (pendingOperation_ != city) {
        pendingOperation_ = city;
        game.movementMessage = "O noch einmal: Operation um " + world.cities[*city].name;
        return;
    }
    try {
        startOperation(*city);
    } catch (const OperationRefused& refused) {
        game.movementMessage = refused.what();
    }
}

void Client::focusCity(const std::string& name) {
    if (!world.map.isWorld()) {
        throw std::runtime_error("Stadt nicht gefunden: " + upper(name));
    }
    const std::size_t index = cityNamed(world, name);
    view.citiesVisible = true;
    focusGeography(world.cities[index].geography, 1.5);
    const Point position = world.cityWorld(index);
    view.panTo(position);
    view.selectedCity = index;
    game.selected = world.gameAt(position);
}

} // namespace korvan
