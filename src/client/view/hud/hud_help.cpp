// The help over the map: every key and mouse action and the rules in short.
#include "hud/hud.hpp"

#include "kit/font.hpp"
#include "kit/palette.hpp"
#include "kit/primitives.hpp"

#include <array>

namespace korvan {

namespace {

constexpr std::array helpLines{
    "MAUS",
    "  LINKS: EINHEIT WAEHLEN / ZIEHEN / FEIND ANGREIFEN",
    "  RECHTS ODER MITTE ZIEHEN: KARTE VERSCHIEBEN   RAD: ZOOM",
    "  MITTE MIT EINHEIT: ABWAEHLEN   MINIMAP: HINSPRINGEN",
    "TASTEN",
    "  U: NAECHSTE EINHEIT (ZUERST DIE NOCH HANDLUNGSFAEHIGEN)",
    "  ENTER / R: ZUG BEENDEN   RUECKTASTE / STRG+Z: BEWEGUNG ZURUECK",
    "  F5: SPEICHERN   F9: SCHNELLSPEICHER LADEN   N N: NEUE PARTIE",
    "  B: BRUECKE BAUEN   H: KAMPFPROTOKOLL   L: GELAENDE   C: STAEDTE",
    "  PFEILE / WASD: VERSCHIEBEN   + / -: ZOOM   HOME: GANZE KARTE",
    "  TAB: OPERATION   ESC: AUSWAHL AUFHEBEN   F1 / ?: HILFE",
    "  O O: OPERATION UM DIE STADT UNTER DER MAUS ODER DIE GEWAEHLTE",
    "REGELN",
    "  JEDE EINHEIT ZIEHT EINMAL UND GREIFT DANACH HOECHSTENS EINMAL AN.",
    "  EIN ANGRIFF BEENDET IHRE BEWEGUNG.",
    "  FLUESSE SPERREN OHNE BRUECKE. DER VERTEIDIGER SCHIESST ZURUECK",
    "  WENN ER MUNITION UND REICHWEITE HAT. DECKUNG: WALD, HUEGEL, BERG, STADT.",
    "  BLAU SIEGT MIT ALLEN ZIELORTEN ODER WENN ROT KEINE EINHEIT MEHR HAT.",
    "  HAELT ROT NACH DER LETZTEN RUNDE NOCH EIN ZIEL, SIEGT ROT.",
    "  ZURUECKNEHMEN: NUR BEWEGUNGEN DIESES ZUGES BIS ZUM ERSTEN ANGRIFF",
    "  ODER BRUECKENBAU. AUTOSPEICHERN ZU BEGINN JEDES BLAUEN ZUGES.",
};
constexpr int lineHeight = 15;

} // namespace

void Hud::drawHelp(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const ViewState& view = frame.view;
    const int width = 480;
    const int height = 58 + lineHeight * static_cast<int>(helpLines.size());
    const int left = std::max(8, (view.width - sidebarWidth - width) / 2);
    const int top = topbarHeight + 12;
    rect(renderer, {left, top, width, height}, barBackground);
    text(renderer, left + 16, top + 12, "HILFE", gold, 2);
    text(renderer, left + 300, top + 16, "F1 / ESC: SCHLIESSEN", muted, 1);
    int y = top + 42;
    for (const char* line : helpLines) {
        text(renderer, left + 16, y, line, line[0] == ' ' ? ink : gold, 1);
        y += lineHeight;
    }
}

} // namespace korvan
