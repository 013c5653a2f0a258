// The self-test: the start view, the injected input, and check groups that drive the client through
// its own input dispatch (pointer, buttons, wheel, keys) on the loaded data.
#include "modes/self_test.hpp"

#include "input/synthetic_events.hpp"
#include "shell/run_loop.hpp"
#include "view_state/hover_text.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace korvan {

namespace {

constexpr double wheelStep = 1.15;
constexpr double keyPanStep = 45;

// Places the checks look at, as (longitude, latitude).
constexpr Point wien{16.3738, 48.2082};
constexpr Point steiermark{14.5, 47.3};
constexpr Point donauBeiWien{16.45, 48.19};
constexpr Point bodensee{9.35, 47.6};
constexpr Point atlantic{-35.0, 40.0};
constexpr Point karlsbruecke{14.4114, 50.0865};
constexpr Point fiji{179.6, -17.8}; // just west of the date line, where the world copies meet
constexpr Point sahara{20.0, 21.0};
constexpr Point gulfOfGuinea{-8.0, -2.0};

void require(bool condition, const std::string& message) {
    if (!condition) {
        throw std::runtime_error(message);
    }
}

Point rounded(Point p) { return {std::round(p.x), std::round(p.y)}; }

// One world width in pixels, or 0 when the map does not repeat.
double periodPixels(const Client& client) {
    return client.world.map.wraps()
               ? client.world.map.width() * sqrt3 * client.view.camera.scale * client.view.camera.horizontalScale
               : 0;
}

// How far a world point is drawn from a screen point; on a repeating map the nearest copy counts.
Point screenOffset(const Client& client, Point world, Point screen) {
    Point d = client.view.camera.toScreen(world) - screen;
    if (const double period = periodPixels(client); period > 0) {
        d.x -= std::round(d.x / period) * period;
    }
    return d;
}

bool within(Point d, double tolerance) { return std::abs(d.x) <= tolerance && std::abs(d.y) <= tolerance; }

std::string pointText(Point p) {
    char text[64];
    std::snprintf(text, sizeof text, "%f,%f", p.x, p.y);
    return text;
}

// The drawn frame as ARGB pixels, row by row, at the client's window size.
std::vector<Uint32> readFrame(SDL_Renderer* renderer, int width, int height) {
    std::vector<Uint32> pixels(std::size_t(width) * std::size_t(height));
    const SDL_Rect all{0, 0, width, height};
    if (SDL_RenderReadPixels(renderer, &all, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4) != 0) {
        throwSdlError();
    }
    return pixels;
}

// Mean red, green and blue of the 9 x 9 pixels around a point (moved inside the frame if need be).
std::array<double, 3> meanColour(const std::vector<Uint32>& pixels, int width, int height, Point at) {
    std::array<double, 3> sum{};
    const int cx = std::clamp(static_cast<int>(at.x), 4, width - 5);
    const int cy = std::clamp(static_cast<int>(at.y), 4, height - 5);
    for (int y = cy - 4; y <= cy + 4; ++y) {
        for (int x = cx - 4; x <= cx + 4; ++x) {
            const Uint32 p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
            sum[0] += (p >> 16) & 0xff;
            sum[1] += (p >> 8) & 0xff;
            sum[2] += p & 0xff;
        }
    }
    for (double& s : sum) {
        s /= 81;
    }
    return sum;
}

// Drives the client through Client::event, as the run loop hands over what SDL delivers.
class CheckGroups {
public:
    CheckGroups(Client& client, SDL_Renderer* renderer) : c_(client), renderer_(renderer) {}

    void run() {
        const bool world = c_.world.map.isWorld();
        // The named places belong to the shipped world with its full geography.
        const bool geography = world && !c_.world.countryGrid.empty();
        if (geography) {
            hoverNamesPlaces();
            clickSelectsCountry();
        }
        wheelAndKeysZoomAboutTheirAnchor();
        dragPansByTheDraggedDistance();
        homeFitsAndTabFocuses(geography);
        if (world) {
            minimapClickPans();
        }
        if (geography) {
            bridgeHoverNamesKarlsbruecke();
        }
        if (c_.game.battle && firstBlueUnit()) {
            clickSelectsUnitAndShowsReach();
            clickMovesTurnEndsAndRestart();
        }
    }

private:
    Client& c_;
    SDL_Renderer* renderer_;

    void send(const SDL_Event& e) { c_.event(e); }
    void press(SDL_Keycode code) { send(keyEvent(code)); }
    void pointTo(Point screen) {
        const Point at = rounded(screen);
        send(motionEvent(at, at - c_.view.mouse));
    }
    void click(Uint8 button, Point screen) {
        const Point at = rounded(screen);
        pointTo(at);
        send(buttonEvent(SDL_MOUSEBUTTONDOWN, button, at));
        send(buttonEvent(SDL_MOUSEBUTTONUP, button, at));
    }
    // Presses a button, moves by each step in turn, releases at the end.
    void drag(Uint8 button, Point from, const std::vector<Point>& steps) {
        pointTo(from);
        send(buttonEvent(SDL_MOUSEBUTTONDOWN, button, c_.view.mouse));
        for (const Point step : steps) {
            send(motionEvent(c_.view.mouse + step, step));
        }
        send(buttonEvent(SDL_MOUSEBUTTONUP, button, c_.view.mouse));
    }

    // The field a geographic position falls on, as the focus operations centre it.
    Point fieldOf(Point lonLat) const { return hexCenter(c_.world.map.hexAtGeography(lonLat)); }
    void lookAt(Point lonLat, double scale) { c_.focusGeography(lonLat, scale); }
    std::string countryId(std::optional<std::size_t> index) const {
        return index && *index < c_.world.countries.entries.size() ? c_.world.countries.entries[*index].id : "";
    }

    // Moves the pointer over square rings of growing size around a screen point (every second
    // pixel) until found() holds.
    template <typename Found>
    bool searchPointer(Point centre, int radius, Found&& found) {
        for (int ring = 0; ring <= radius; ring += 2) {
            for (int dy = -ring; dy <= ring; dy += 2) {
                for (int dx = -ring; dx <= ring; dx += 2) {
                    if (std::max(std::abs(dx), std::abs(dy)) != ring) {
                        continue;
                    }
                    pointTo(centre + Point{double(dx), double(dy)});
                    if (found()) {
                        return true;
                    }
                }
            }
        }
        return false;
    }

    // Looks at a place and searches the pointer positions around it.
    template <typename Found>
    bool hoverNear(Point lonLat, double scale, int radius, Found&& found) {
        lookAt(lonLat, scale);
        return searchPointer(c_.view.camera.toScreen(fieldOf(lonLat)), radius, found);
    }

    void hoverNamesPlaces() {
        require(hoverNear(wien, 4, 10,
                          [&] { return c_.view.hover.city && c_.world.cities[*c_.view.hover.city].name == "Wien"; }),
                "Hover nennt Wien nicht");
        require(hoverPanelText(c_.world, c_.view).heading == "STADT UNTER MAUS", "Hover ueber Wien zeigt keine Stadt");
        require(countryId(c_.view.hover.country) == "AUT", "Wien liegt laut Hover nicht in Oesterreich");

        require(hoverNear(donauBeiWien, 12, 40, [&] { return c_.view.hover.river == "Donau"; }),
                "Hover nennt die Donau nicht");
        require(hoverPanelText(c_.world, c_.view).heading == "FLUSS UNTER MAUS",
                "Hover ueber der Donau zeigt keinen Fluss");

        require(hoverNear(bodensee, 8, 6, [&] { return c_.view.hover.lake == "Bodensee"; }),
                "Hover nennt den Bodensee nicht");
        require(waterHoverHeading(c_.world, c_.view.hover) == "SEE UNTER MAUS" && !c_.view.hover.river,
                "Hover ueber dem Bodensee zeigt keinen See");

        require(hoverNear(atlantic, 4, 0, [&] { return c_.view.hover.sea.has_value(); }),
                "Hover nennt im Atlantik kein Meer");
        require(!c_.view.hover.country && waterHoverHeading(c_.world, c_.view.hover) == "MEER UNTER MAUS",
                "Hover ueber dem Atlantik zeigt kein offenes Meer");
        reportPass("Hover nennt Wien in Oesterreich, die Donau, den Bodensee und das offene Meer");
    }

    void clickSelectsCountry() {
        lookAt(steiermark, 4);
        click(SDL_BUTTON_LEFT, c_.view.camera.toScreen(fieldOf(steiermark)));
        require(countryId(c_.view.selectedCountry) == "AUT", "Klick waehlt Oesterreich nicht");
        const std::string label = countrySelectionLabel(c_.world, c_.view);
        require(label.rfind("LAND: ", 0) == 0, "Oberleiste nennt das gewaehlte Land nicht: " + label);
        // The selection outlasts the pointer moving on to another country.
        pointTo(c_.view.camera.toScreen(fieldOf({11.0, 50.5})));
        require(countrySelectionLabel(c_.world, c_.view) == label && countryId(c_.view.hover.country) != "AUT",
                "Die Landauswahl folgt dem Zeiger");
        press(SDLK_ESCAPE);
        require(!c_.view.selectedCountry, "Esc hebt die Landauswahl nicht auf");
        reportPass("Klick waehlt Oesterreich, die Auswahl bleibt beim Weiterbewegen, Esc hebt sie auf");
    }

    void requireUnderPointer(Point world, const char* what) {
        const Point d = screenOffset(c_, world, c_.view.mouse);
        require(within(d, 0.5), std::string(what) + " verschiebt das Feld unter dem Zeiger: Feld=" +
                                    pointText(c_.view.mouse + d) + " Maus=" + pointText(c_.view.mouse));
    }

    void wheelAndKeysZoomAboutTheirAnchor() {
        const bool world = c_.world.map.isWorld();
        const Point centre = c_.view.mapAreaCentre();
        const std::vector<std::pair<Point, Point>> places{{wien, {-180, 95}}, {fiji, {210, -140}}};
        for (const auto& [place, offset] : places) {
            if (world) {
                lookAt(place, 0.2);
            } else {
                press(SDLK_HOME);
            }
            pointTo(centre + offset);
            const Point anchor = c_.view.camera.toWorld(c_.view.mouse);
            // In through the zooms where the latitude stretch changes, then out again.
            for (int step = 0; step < 22; ++step) {
                const double expected = Camera::clampScale(c_.view.camera.scale * wheelStep);
                send(wheelEvent(1));
                require(c_.view.camera.scale == expected, "Mausrad zoomt nicht um 1.15");
                requireUnderPointer(anchor, "Mausrad-Zoom");
            }
            for (int step = 0; step < 7; ++step) {
                send(wheelEvent(-3));
                requireUnderPointer(anchor, "Mausrad-Zoom");
            }
        }
        // At the closest zoom another step changes nothing at all.
        if (world) {
            lookAt(wien, Camera::maxScale);
        }
        while (c_.view.camera.scale < Camera::maxScale) {
            send(wheelEvent(1));
        }
        const Camera atLimit = c_.view.camera;
        send(wheelEvent(1));
        require(c_.view.camera == atLimit, "Zoom ueber die Grenze veraendert die Ansicht");

        // The keys zoom about the middle of the map area's columns, at half the window height.
        if (world) {
            lookAt(wien, 1);
        } else {
            press(SDLK_HOME);
        }
        const Point keyAnchor{(c_.view.width - sidebarWidth) * 0.5, c_.view.height * 0.5};
        const Point keyWorld = c_.view.camera.toWorld(keyAnchor);
        const double before = c_.view.camera.scale;
        press(SDLK_PLUS);
        require(std::abs(c_.view.camera.scale - before * wheelStep) < 1e-9 * before, "Taste + zoomt nicht um 1.15");
        require(within(screenOffset(c_, keyWorld, keyAnchor), 0.5), "Taste + verschiebt die Kartenmitte");
        press(SDLK_MINUS);
        require(std::abs(c_.view.camera.scale - before) < 1e-9 * before, "Taste - hebt + nicht auf");
        require(within(screenOffset(c_, keyWorld, keyAnchor), 0.5), "Taste - verschiebt die Kartenmitte");
        reportPass("Mausrad und +/- zoomen um Zeiger und Kartenmitte, das Feld unter dem Zeiger bleibt");
    }

    // The camera moved by exactly this many pixels since `before`, give or take whole world widths
    // that the camera wrap took off.
    bool shiftedBy(const Camera& before, Point expected) const {
        double dx = c_.view.camera.x - before.x - expected.x;
        if (const double period = periodPixels(c_); period > 0) {
            dx -= std::round(dx / period) * period;
        }
        return std::abs(dx) < 1e-6 && c_.view.camera.y - before.y == expected.y && c_.view.camera.scale == before.scale;
    }

    void dragPansByTheDraggedDistance() {
        const bool world = c_.world.map.isWorld();
        if (world) {
            lookAt(wien, 4);
        } else {
            press(SDLK_HOME);
        }
        const Point start = rounded(c_.view.mapAreaCentre() - Point{150, 60});
        for (const Uint8 button : {Uint8(SDL_BUTTON_RIGHT), Uint8(SDL_BUTTON_MIDDLE)}) {
            pointTo(start);
            const Camera before = c_.view.camera;
            const Point grabbed = c_.view.camera.toWorld(start);
            drag(button, start, {{30, 10}, {-5, 40}, {100, -20}});
            require(shiftedBy(before, {125, 30}) && !c_.view.dragging,
                    "Ziehen verschiebt die Karte um " +
                        pointText({c_.view.camera.x - before.x, c_.view.camera.y - before.y}) + " statt 125,30");
            requireUnderPointer(grabbed, "Ziehen");
            // Released: moving on leaves the view alone.
            const Camera released = c_.view.camera;
            pointTo(start);
            require(c_.view.camera == released, "Nach dem Loslassen zieht die Karte weiter");
        }

        const Camera beforeKeys = c_.view.camera;
        for (const SDL_Keycode key : {SDLK_LEFT, SDLK_a, SDLK_UP, SDLK_w}) {
            press(key);
        }
        require(shiftedBy(beforeKeys, {2 * keyPanStep, 2 * keyPanStep}), "Pfeiltasten verschieben nicht um 45 Pixel");
        for (const SDL_Keycode key : {SDLK_RIGHT, SDLK_d, SDLK_DOWN, SDLK_s}) {
            press(key);
        }
        require(shiftedBy(beforeKeys, {0, 0}), "Pfeiltasten heben sich nicht auf");

        if (world && c_.world.map.wraps()) {
            // Many drags to the east: the offset stays bounded and the place under the pointer is
            // the one the dragged distance leads to.
            lookAt(wien, 1);
            pointTo(start);
            const double startLongitude = c_.world.geographyAt(c_.view.camera.toWorld(start)).x;
            const double degreesPerPixel =
                360.0 / (c_.world.map.width() * sqrt3 * c_.view.camera.scale * c_.view.camera.horizontalScale);
            const int strokes = static_cast<int>(std::ceil(3 * periodPixels(c_) / 400));
            for (int k = 0; k < strokes; ++k) {
                drag(SDL_BUTTON_RIGHT, start, {{200, 0}, {200, 0}});
            }
            pointTo(start);
            const double expected = reducedLongitude({startLongitude - strokes * 400 * degreesPerPixel, 0}).x;
            const double shown = reducedLongitude(c_.world.geographyAt(c_.view.camera.toWorld(start))).x;
            require(std::abs(c_.view.camera.x) <= 2 * periodPixels(c_) + 1e-6 && std::abs(shown - expected) < 1e-6,
                    "Ziehen ueber die Datumsgrenze verliert die Position");
        }
        reportPass("Ziehen mit rechter und mittlerer Taste verschiebt die Karte um die gezogene Strecke, "
                   "auch ueber die Datumsgrenze; Pfeiltasten um 45 Pixel");
    }

    void homeFitsAndTabFocuses(bool geography) {
        if (c_.world.map.isWorld()) {
            lookAt(wien, 12);
        }
        press(SDLK_HOME);
        require(showsWholeMap(c_), "Pos1 zeigt nicht die ganze Karte");
        if (geography) {
            // Land and sea of the whole world are told apart in the drawn frame.
            c_.render(renderer_);
            const auto pixels = readFrame(renderer_, c_.view.width, c_.view.height);
            const auto land =
                meanColour(pixels, c_.view.width, c_.view.height, c_.view.camera.toScreen(fieldOf(sahara)));
            const auto sea =
                meanColour(pixels, c_.view.width, c_.view.height, c_.view.camera.toScreen(fieldOf(gulfOfGuinea)));
            const double difference =
                std::abs(land[0] - sea[0]) + std::abs(land[1] - sea[1]) + std::abs(land[2] - sea[2]);
            require(difference > 30, "Weltansicht zeigt Sahara und Atlantik in gleicher Farbe");
        }
        if (c_.world.map.isWorld()) {

            const auto requireOnWien = [&](const char* how) {
                const bool centred = within(screenOffset(c_, fieldOf(wien), c_.view.mapAreaCentre()), 0.5);
                require(c_.view.camera.scale == 4 && centred && !c_.game.bridgeMode && !c_.game.selectedUnit,
                        std::string(how) + " fokussiert Wien nicht");
            };
            press(SDLK_b);
            require(c_.game.bridgeMode, "Taste B schaltet den Brueckenbau nicht ein");
            press(SDLK_TAB);
            requireOnWien("Tab");
            press(SDLK_HOME);
            click(SDL_BUTTON_LEFT, {c_.view.width - 128.0, 41});
            requireOnWien("Die Schaltflaeche TAB: OPERATION");
            reportPass(geography
                           ? "Pos1 zeigt die ganze Welt mit Land und Meer, Tab und die Schaltflaeche fokussieren Wien"
                           : "Pos1 zeigt die ganze Welt, Tab und die Schaltflaeche fokussieren Wien");
        } else {
            reportPass("Pos1 zeigt die ganze Karte");
        }
    }

    void minimapClickPans() {
        lookAt(wien, 4);
        const double scale = c_.view.camera.scale;
        const WorldOverview mini = c_.view.miniGeometry();
        const Point at = rounded({mini.area.x + mini.area.w * 0.3, mini.area.y + mini.area.h * 0.6});
        const Point target = mini.toWorld(at);
        click(SDL_BUTTON_LEFT, at);
        require(c_.view.camera.scale == scale && within(screenOffset(c_, target, c_.view.mapAreaCentre()), 0.5),
                "Klick auf die Minikarte verschiebt die Ansicht falsch");
        reportPass("Klick auf die Minikarte verschiebt die Ansicht dorthin");
    }

    void bridgeHoverNamesKarlsbruecke() {
        const auto named = [&] {
            const auto lines = bridgeHoverLines(c_.world, c_.view.hover);
            return !lines.empty() && lines.front() == "Karlsbruecke";
        };
        require(hoverNear(karlsbruecke, 18, 40, named), "Hover nennt die Karlsbruecke nicht");
        require(bridgeHoverLines(c_.world, c_.view.hover) == std::vector<std::string>{"Karlsbruecke", "Fluss: Moldau"},
                "Brueckenhover nennt die Moldau nicht");
        // Far out, the same place names neither bridge nor river.
        const Point pointer = c_.view.mouse;
        const Point world = c_.view.camera.toWorld(pointer);
        c_.view.centerOn(world, 1.5);
        pointTo(c_.view.mapAreaCentre());
        require(!c_.view.hover.bridge && !c_.view.hover.river, "Bei Weltzoom werden Bruecken und Fluesse genannt");
        reportPass("Hover nennt bei Detailzoom die Karlsbruecke ueber die Moldau, von weitem keine Bruecke");
    }

    const Unit* firstBlueUnit() const {
        const auto& units = c_.game.army.units();
        const auto found = std::find_if(units.begin(), units.end(), [](const Unit& u) { return u.side == blueSide; });
        return found == units.end() ? nullptr : &*found;
    }

    // Where a unit is drawn: its first on-screen copy.
    std::optional<Point> unitOnScreen(const Unit& unit) const {
        std::optional<Point> found;
        c_.view.unitCopies(unit.position, [&](Point s) {
            if (!found && c_.view.onMap(s)) {
                found = s;
            }
        });
        return found;
    }

    // Screen centres of the reachable fields (other than the unit's own) near the drawn unit that
    // are on the map area and free of unit icons.
    std::vector<std::pair<Hex, Point>> openReach(const Unit& unit, Point unitScreen) const {
        const Point shift = unitScreen - c_.view.camera.toScreen(c_.world.gameWorld(unit.position));
        std::vector<std::pair<Hex, Point>> fields;
        for (const auto& [hex, node] : c_.game.range) {
            const Point s = rounded(c_.view.camera.toScreen(c_.world.gameWorld(hex)) + shift);
            if (node.cost > 0 && c_.view.onMap(s) && !c_.view.unitAt(c_.game.army, s)) {
                fields.emplace_back(hex, s);
            }
        }
        return fields;
    }

    void clickSelectsUnitAndShowsReach() {
        const Unit unit = *firstBlueUnit();
        press(SDLK_HOME);
        press(SDLK_u);
        require(c_.game.selectedUnit == unit.id && c_.view.camera.scale == 18 &&
                    within(screenOffset(c_, c_.world.gameWorld(unit.position), c_.view.mapAreaCentre()), 0.5),
                "Taste U waehlt und zeigt die erste Einheit nicht");
        press(SDLK_ESCAPE);
        require(!c_.game.selectedUnit && c_.game.range.empty(), "Esc hebt die Einheitenauswahl nicht auf");

        const auto screen = unitOnScreen(unit);
        require(screen.has_value(), "Einheit nach Taste U nicht sichtbar");
        click(SDL_BUTTON_LEFT, *screen);
        require(c_.game.selectedUnit == unit.id, "Klick waehlt die Einheit nicht");
        require(movementPreviewVisible(c_.mapView.scene()), "Die gewaehlte Einheit zeigt keine Reichweite");
        const auto reach = openReach(unit, *screen);
        require(reach.size() >= 3, "Zu wenige erreichbare Felder sichtbar");

        // The reach overlay shows: most reachable field centres change colour when the unit is
        // deselected.
        c_.render(renderer_);
        const auto selectedFrame = readFrame(renderer_, c_.view.width, c_.view.height);
        send(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, c_.view.mouse));
        require(!c_.game.selectedUnit && !c_.view.dragging, "Mittelklick hebt die Einheitenauswahl nicht auf");
        send(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, c_.view.mouse));
        c_.render(renderer_);
        const auto plainFrame = readFrame(renderer_, c_.view.width, c_.view.height);
        std::size_t changed = 0;
        for (const auto& [hex, s] : reach) {
            const std::size_t i = std::size_t(s.y) * std::size_t(c_.view.width) + std::size_t(s.x);
            changed += selectedFrame[i] != plainFrame[i];
        }
        require(changed * 2 >= reach.size(), "Die Reichweite wird nicht gezeichnet");
        reportPass("Taste U und Klick waehlen eine Einheit und zeichnen ihre Reichweite, Esc und Mittelklick "
                   "heben die Auswahl auf");
    }

    void clickMovesTurnEndsAndRestart() {
        const Unit unit = *firstBlueUnit();
        std::vector<Hex> startPositions;
        for (const Unit& u : c_.game.army.units()) {
            startPositions.push_back(u.position);
        }
        press(SDLK_u);
        const auto screen = unitOnScreen(unit);
        require(c_.game.selectedUnit == unit.id && screen.has_value(), "Taste U zeigt die erste Einheit nicht");
        click(SDL_BUTTON_LEFT, *screen);
        const auto reach = openReach(unit, *screen);
        require(!reach.empty(), "Kein erreichbares Feld sichtbar");
        // The farthest field the unit can reach.
        const auto target = std::max_element(reach.begin(), reach.end(), [&](const auto& a, const auto& b) {
            return c_.game.range.at(a.first).cost < c_.game.range.at(b.first).cost;
        });
        click(SDL_BUTTON_LEFT, target->second);
        const Unit* moved = c_.game.army.find(unit.id);
        require(moved && moved->position == target->first && moved->moved && c_.game.selected == target->first,
                "Klick zieht die Einheit nicht: " + c_.game.movementMessage);

        // The first Enter warns while other units could still act; the second ends the turn.
        press(SDLK_RETURN);
        const bool warned = c_.game.movementMessage.rfind("Noch ", 0) == 0;
        if (warned) {
            press(SDLK_RETURN);
        }
        const std::string& told = c_.game.movementMessage;
        require(c_.game.battle->finished() ||
                    (warned && c_.game.battle->round() == 2 && c_.game.battle->activeSide() == blueSide &&
                     told.rfind("KI-Zug beendet: ", 0) == 0 && told.ends_with(" Blau am Zug.")),
                "Enter beendet den Zug nicht: " + c_.game.movementMessage);
        require(!c_.game.selectedUnit, "Nach dem Zugende ist noch eine Einheit gewaehlt");

        const unsigned generation = c_.world.generation;
        press(SDLK_n); // asks first in a running game
        if (!c_.game.decided()) {
            press(SDLK_n);
        }
        bool reset = c_.game.battle->round() == 1 && c_.world.generation == generation + 1 &&
                     c_.game.army.units().size() == startPositions.size();
        for (std::size_t k = 0; reset && k < startPositions.size(); ++k) {
            reset = c_.game.army.units()[k].position == startPositions[k] && !c_.game.army.units()[k].moved;
        }
        require(reset, "Taste N stellt die Partie nicht zurueck");
        reportPass("Klick zieht die Einheit, Enter beendet den Zug und die KI zieht, N startet neu");
    }
};

} // namespace

void reportPass(const std::string& description) {
    const std::string line = "PASS SDL: " + description + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

bool showsWholeMap(const Client& client) {
    // The hex centres run from (0, 0) to the extent less one field; fit centres that span.
    const Point extent = client.world.map.worldExtent();
    const Point first = client.view.camera.toScreen({0, 0});
    const Point last = client.view.camera.toScreen({extent.x - sqrt3, extent.y - 2});
    const ScreenRect area = client.view.mapClip();
    // Whole, and not lost in the middle: the map spans at least half the area on one axis.
    const bool large = last.x - first.x >= area.w * 0.5 || last.y - first.y >= area.h * 0.5;
    return client.view.onMap(first) && client.view.onMap(last) && large;
}

void checkStartView(const Client& client) {
    if (!showsWholeMap(client)) {
        throw std::runtime_error("Spielstart zeigt nicht die gesamte Weltkarte");
    }
    if (client.game.selectedUnit) {
        throw std::runtime_error("Spielstart hat bereits eine Einheit ausgewaehlt");
    }
    reportPass("Spielstart zeigt die ganze Welt ohne Einheitenauswahl");
}

InputProbe injectInput(Client& client) {
    const ScreenRect area = client.view.mapClip();
    const Point start{std::floor(area.x + area.w * 0.4), std::floor(area.y + area.h * 0.55)};
    // The field under the start pixel, its centre moved exactly onto that pixel.
    const Point field = hexCenter(worldToHex(client.view.camera.toWorld(start)));
    const Point drawn = client.view.camera.toScreen(field);
    client.view.camera.x += start.x - drawn.x;
    client.view.camera.y += start.y - drawn.y;

    // A drag in three motions (merged into one by the run loop), then two wheel steps in and one out.
    const Point step{20, -12};
    const Point end = start + step * 3;
    push(motionEvent(start, {0, 0}));
    push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, start));
    for (int k = 1; k <= 3; ++k) {
        push(motionEvent(start + step * k, step));
    }
    push(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, end));
    push(wheelEvent(2));
    push(wheelEvent(-1));
    const double zoomedIn = Camera::clampScale(client.view.camera.scale * std::pow(wheelStep, 2));
    return {field, end, Camera::clampScale(zoomedIn * std::pow(wheelStep, -1))};
}

void checkInjectedInput(const Client& client, const InputProbe& probe) {
    if (client.view.mouse != probe.pointer || client.view.dragging ||
        std::abs(client.view.camera.scale - probe.scale) > 1e-9 * probe.scale) {
        throw std::runtime_error("SDL-Interaktionstest fehlgeschlagen");
    }
    const Point drawn = client.view.mouse + screenOffset(client, probe.field, client.view.mouse);
    if (!within(drawn - client.view.mouse, 1)) {
        char text[160];
        std::snprintf(text, sizeof text, "Kamerabewegung oder Zoomanker fehlerhaft: Feld=%f,%f Maus=%f,%f", drawn.x,
                      drawn.y, client.view.mouse.x, client.view.mouse.y);
        throw std::runtime_error(text);
    }
}

void runCheckGroups(Client& client, SDL_Renderer* renderer) { CheckGroups(client, renderer).run(); }

} // namespace korvan
