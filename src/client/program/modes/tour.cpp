// The fixed camera tour of test mode: world, Europe, Austria, Wien, a detail zoom, a unit.
#include "shell/run_loop.hpp"

#include <stdexcept>

namespace korvan {

namespace {

constexpr Point europe{12, 50};
constexpr double europeScale = 0.5;
constexpr Point upperRhineAtBasel{7.6, 47.6};
constexpr double detailScale = 18;

void require(bool condition, const char* message) {
    if (!condition) {
        throw std::runtime_error(message);
    }
}

} // namespace

void RunLoop::tourStep() {
    const char* name = "";
    switch (tourStop) {
    case 0:
        client.view.fit();
        name = "ganze Weltkarte";
        break;
    case 1:
        client.focusGeography(europe, europeScale);
        name = "Europa";
        break;
    case 2:
        client.focusCountry("AUT");
        require(client.view.selectedCountry && *client.view.selectedCountry < client.world.countries.entries.size() &&
                    client.world.countries.entries[*client.view.selectedCountry].id == "AUT",
                "Tour: Oesterreich nicht ausgewaehlt");
        name = "Oesterreich";
        break;
    case 3:
        client.focusCity("Wien");
        require(client.view.selectedCity.has_value(), "Tour: Wien nicht ausgewaehlt");
        name = "Wien";
        break;
    case 4:
        client.focusGeography(upperRhineAtBasel, detailScale);
        name = "Oberrhein bei Basel, Detailzoom";
        break;
    default:
        if (client.game.army.units().empty()) {
            client.view.fit();
            name = "ganze Weltkarte (keine Einheiten)";
        } else {
            const int first = client.game.army.units().front().id;
            client.selectUnit(first, true);
            require(client.game.selectedUnit == first, "Tour: Einheit nicht ausgewaehlt");
            name = "erste Einheit";
        }
        break;
    }
    SDL_Log("Test mode: Tour %d/%d: %s", tourStop + 1, tourStopCount, name);
}

} // namespace korvan
