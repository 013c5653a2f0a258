// Command-line parsing and the usage text.
#include "shell/command_line.hpp"

#include <cstdlib>

namespace korvan {

const char* const usageText =
    "Brannok: Varnholt - Basiskampf\n"
    "korvan.bin [--map DATEI.json] [--city NAME] [--country CODE] [--unit ID] [--smoke-test] [--screenshot DATEI.bmp]\n"
    "           [--log DATEI] [--testmode [--demo-speed F]]\n"
    "--log DATEI: Meldungen mit Zeitstempel zusaetzlich in DATEI schreiben.\n"
    "--testmode: Pruefungen des Smoke-Tests, dann eine feste Tour ueber die Karte\n"
    "            (Welt, Europa, Oesterreich, Wien, Detailzoom, Einheit) und Ende;\n"
    "            speichert nichts. --demo-speed F verkuerzt die Tour um den Faktor F.\n"
    "            Exit-Code 0 = bestanden (\"Test mode: passed\" im Log),\n"
    "            1 = nicht bestanden, 2 = ungueltiger Aufruf.\n"
    "--country CODE: Land waehlen und einpassen (z. B. AUT).\n"
    "--screenshot DATEI.bmp ohne --smoke-test: Startansicht speichern und beenden.\n"
    "--benchmark-pan / --benchmark-zoom: Verschieben oder Zoom messen.\n"
    "Enter: Zug beenden. N: neue Partie. H: Kampfprotokoll.\n"
    "Tab oder Schaltflaeche: Wien / Oesterreich fokussieren. Home: ganze Karte.\n";

namespace {

// Accepts the whole text as a number > 0; an unconvertible text keeps the earlier speed but is
// still refused, an empty text keeps it silently.
void readTourSpeed(const std::string& text, double& speed) {
    if (text.empty()) {
        return;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value > 0)) {
        throw UsageError("Ungueltiger Wert fuer --demo-speed: " + text);
    }
    speed = value;
}

} // namespace

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help") {
            options.help = true;
            return options;
        } else if (argument == "--benchmark-zoom") {
            options.benchmarkZoom = true;
        } else if (argument == "--benchmark-pan") {
            options.benchmarkPan = true;
        } else if (argument == "--smoke-test") {
            options.smoke = true;
        } else if (argument == "--testmode") {
            options.smoke = true;
            options.testMode = true;
        } else if (argument == "--log" && hasValue) {
            options.logPath = arguments[++i];
        } else if (argument == "--demo-speed" && hasValue) {
            readTourSpeed(arguments[++i], options.tourSpeed);
        } else if (argument == "--country" && hasValue) {
            options.countryFocus = arguments[++i];
        } else if (argument == "--map" && hasValue) {
            options.mapPath = arguments[++i];
        } else if (argument == "--screenshot" && hasValue) {
            options.screenshotPath = arguments[++i];
        } else if (argument == "--city" && hasValue) {
            options.cityFocus = arguments[++i];
        } else if (argument == "--unit" && hasValue) {
            options.unitText = arguments[++i];
        } else {
            throw UsageError("Unbekannte oder unvollstaendige Option: " + argument);
        }
    }
    return options;
}

int parseUnitId(const std::string& text) {
    std::size_t used = 0;
    // std::stoi accepts leading blanks and a sign, and throws its own error without any digits.
    const int id = std::stoi(text, &used, 10);
    if (used != text.size() || id < 1) {
        throw std::runtime_error("Ungueltige Einheiten-ID");
    }
    return id;
}

} // namespace korvan
