// The commands that span the game and the view: selection with focus, turns, restart, bridges and
// the searches that jump the view.
#include "shell/client.hpp"

#include "input/input.hpp"

#include <algorithm>
#include <stdexcept>

namespace korvan {

namespace {

// Focus scale of a selected unit: its field and the neighbours fill the view.
constexpr double unitFocusScale = 18;
// Fixed focus of the operation view: Wien, at a scale that shows Austria.
constexpr Point operationFocus{16.3738, 48.2082};
constexpr double operationScale = 4;

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
    if (focus) {
        view.centerOn(world.gameWorld(game.army.find(id)->position), unitFocusScale);
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

void Client::endTurn() {
    if (!game.battle) {
        return;
    }
    game.endTurn();
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
    const auto city = findCityByName(world, cityName);
    if (!city) {
        throw std::runtime_error("Stadt nicht gefunden: " + upper(cityName));
    }
    startOperation(*city);
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
    const auto found = findCityByName(world, name);
    if (!found || !world.map.isWorld()) {
        throw std::runtime_error("Stadt nicht gefunden: " + upper(name));
    }
    const std::size_t index = *found;
    view.citiesVisible = true;
    focusGeography(world.cities[index].geography, 1.5);
    const Point position = world.cityWorld(index);
    view.panTo(position);
    view.selectedCity = index;
    game.selected = world.gameAt(position);
}

} // namespace korvan
