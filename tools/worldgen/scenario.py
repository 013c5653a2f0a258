"""The world scenario (units.json, battles.json): Operation Donau, Blue's attack on Wien.

Blue comes from the west along the Donau, from the hills between Amstetten and Melk; Red
holds Wien, the towns around it and a forward position at St. Poelten. Between them lie
the hills of the Alpine foreland, the forest of the Wienerwald and the Donau itself, which
has no bridge between Linz and Wien: the open farmland of the Tullner Feld along its south
bank and the valleys towards Baden are the ways through. Units are placed by formation: a
place and hex steps from the play-grid field of that place, so each unit stands on a chosen
field of the grid the program derives from world.json; the file stores the longitude and
latitude of that field's centre.

>>> [t["id"] for t in UNIT_TYPES]
['kampfpanzer', 'panzergrenadiere', 'jaeger', 'spaehpanzer', 'panzerjaeger']
"""

from .playgrid import PlayGrid

__all__ = ["UNIT_TYPES", "PLACES", "UNITS", "OBJECTIVES", "ROUND_LIMIT", "SEED",
           "ScenarioError", "unit_positions", "units_document", "battles_document"]

TERRAIN_KEYS = ("plain", "forest", "hills", "mountain", "city", "water", "farmland", "wetland",
                "desert", "ice", "scrub")


def _costs(plain, forest, hills, mountain, city, farmland, wetland, desert, ice, scrub):
    values = (plain, forest, hills, mountain, city, None, farmland, wetland, desert, ice, scrub)
    return dict(zip(TERRAIN_KEYS, values))


# Tracks are fast on open ground and slow in forest; infantry pays little for rough ground.
UNIT_TYPES = [
    {"id": "kampfpanzer", "name": "Kampfpanzer", "class": "tank", "movement": 8, "road_cost": 1,
     "attack_soft": 8, "attack_hard": 10, "defense": 9, "range": 1, "ammo": 6,
     "costs": _costs(1, 3, 2, None, 2, 1, 4, 2, 3, 2)},
    {"id": "panzergrenadiere", "name": "Panzergrenadiere", "class": "infantry", "movement": 7,
     "road_cost": 1, "attack_soft": 8, "attack_hard": 6, "defense": 7, "range": 1, "ammo": 8,
     "costs": _costs(1, 2, 2, 4, 1, 1, 3, 2, 3, 1)},
    {"id": "jaeger", "name": "Jaeger", "class": "infantry", "movement": 4, "road_cost": 1,
     "attack_soft": 7, "attack_hard": 5, "defense": 8, "range": 1, "ammo": 8,
     "costs": _costs(1, 1, 1, 2, 1, 1, 2, 2, 2, 1)},
    {"id": "spaehpanzer", "name": "Spaehpanzer", "class": "recon", "movement": 10, "road_cost": 1,
     "attack_soft": 5, "attack_hard": 4, "defense": 5, "range": 2, "ammo": 6,
     "costs": _costs(1, 3, 2, None, 1, 1, 4, 1, 3, 1)},
    {"id": "panzerjaeger", "name": "Panzerjaeger", "class": "tank", "movement": 7, "road_cost": 1,
     "attack_soft": 5, "attack_hard": 12, "defense": 7, "range": 2, "ammo": 6,
     "costs": _costs(1, 3, 2, None, 2, 1, 4, 2, 3, 2)},
]

# Reference places: longitude and latitude.
PLACES = {
    "Wien": (16.3666, 48.2000),
    "St. Poelten": (15.6256, 48.2047),
    "Tulln an der Donau": (16.0580, 48.3320),
    "Korneuburg": (16.3331, 48.3453),
    "Moedling": (16.2831, 48.0856),
    "Schwechat": (16.4786, 48.1411),
    "Amstetten": (14.8721, 48.1229),
    "Horn": (15.6564, 48.6628),
}

# The objectives, all held by Red at the start.
OBJECTIVES = ["St. Poelten", "Tulln an der Donau", "Korneuburg", "Wien", "Moedling", "Schwechat"]
# Fourteen rounds give the scripted attack of tests/test_scenario_playthrough.cpp about even
# chances through the forest and hills between Amstetten and Wien.
ROUND_LIMIT = 14
OPERATION_ROUND_LIMIT = 13  # the one-objective fallback of operational maps
SEED = 1683

# (side, type, name, place, dq, dr): side 0 Blue, 1 Red; the unit stands dq, dr hex steps
# from the play-grid field of the place.
UNITS = [
    # Blue, main body in the hills of the Mostviertel around Amstetten, south of the Donau.
    (0, "spaehpanzer", "Aufklaerungsbataillon 4", "Amstetten", 3, 0),
    (0, "kampfpanzer", "Panzerbataillon 14", "Amstetten", 2, 0),
    (0, "kampfpanzer", "Panzerbataillon 33", "Amstetten", 1, 0),
    (0, "kampfpanzer", "Panzerbataillon 35", "Amstetten", 2, 1),
    (0, "panzergrenadiere", "Panzergrenadierbataillon 13", "Amstetten", 0, 0),
    (0, "panzergrenadiere", "Panzergrenadierbataillon 35", "Amstetten", 1, 1),
    (0, "panzergrenadiere", "Panzergrenadierbataillon 9", "Amstetten", 0, 1),
    (0, "jaeger", "Jaegerbataillon 17", "Amstetten", -1, 0),
    (0, "jaeger", "Jaegerbataillon 24", "Amstetten", -1, 1),
    (0, "panzerjaeger", "Panzerjaegerkompanie 3", "Amstetten", -2, 0),
    (0, "spaehpanzer", "Aufklaerungsbataillon 7", "Amstetten", -2, 1),
    # Blue, northern group in the Waldviertel at Horn, north of the Donau.
    (0, "spaehpanzer", "Aufklaerungskompanie Horn", "Horn", 1, 0),
    (0, "kampfpanzer", "Panzerbataillon 6", "Horn", 0, 0),
    (0, "panzergrenadiere", "Panzergrenadierbataillon 17", "Horn", 0, 1),
    (0, "jaeger", "Jaegerbataillon 25", "Horn", -1, 0),
    # Red, forward position at St. Poelten and the Donau towns.
    (1, "jaeger", "Landwehrbataillon St. Poelten", "St. Poelten", 0, 0),
    (1, "spaehpanzer", "Spaehzug Traisen", "St. Poelten", -1, 0),
    (1, "jaeger", "Jaegerbataillon Tulln", "Tulln an der Donau", 0, 0),
    (1, "jaeger", "Jaegerbataillon Korneuburg", "Korneuburg", 0, 0),
    (1, "panzergrenadiere", "Panzergrenadierbataillon Marchfeld", "Korneuburg", -1, -1),
    (1, "spaehpanzer", "Spaehzug Weinviertel", "Korneuburg", -2, -1),
    # Red, Wien and its southern approaches.
    (1, "jaeger", "Gardebataillon Wien", "Wien", 0, 0),
    (1, "panzergrenadiere", "Panzergrenadierbataillon Wien", "Wien", -1, 0),
    (1, "kampfpanzer", "Panzerbataillon Donau", "Wien", -2, 1),
    (1, "panzerjaeger", "Panzerjaeger Floridsdorf", "Wien", 1, -1),
    (1, "jaeger", "Jaegerbataillon Wienerwald", "Wien", -4, 1),
    (1, "jaeger", "Jaegerbataillon Moedling", "Moedling", 0, 0),
    (1, "kampfpanzer", "Panzerbataillon Schwechat", "Schwechat", 0, 0),
]


class ScenarioError(ValueError):
    """A unit or objective does not fit the play grid (water, impassable or shared field)."""


def unit_positions(grid, terrain_at):
    """Play-grid hex of every unit and objective: ([(q, r) per unit], [(q, r) per objective]).

    ``terrain_at(q, r)`` gives the play grid's terrain value of a canonical hex. Raises
    ScenarioError for a field a unit cannot enter, two units on one field, or an objective on
    water.
    """
    types = {t["id"]: t for t in UNIT_TYPES}
    taken, units = {}, []
    for side, type_id, name, place, dq, dr in UNITS:
        q0, r0 = grid.hex_at_geography(*PLACES[place])
        hex_ = grid.canonical(q0 + dq, r0 + dr)
        cost = types[type_id]["costs"][TERRAIN_KEYS[terrain_at(*hex_)]]
        if cost is None:
            raise ScenarioError(f"{name}: Startfeld {hex_} ist fuer {type_id} unzugaenglich")
        if hex_ in taken:
            raise ScenarioError(f"{name}: Feld {hex_} schon von {taken[hex_]} besetzt")
        taken[hex_] = name
        units.append(hex_)
    objectives = []
    for place in OBJECTIVES:
        hex_ = grid.hex_at_geography(*PLACES[place])
        if TERRAIN_KEYS[terrain_at(*hex_)] == "water" or hex_ in objectives:
            raise ScenarioError(f"Ziel {place} auf Wasser oder doppelt: {hex_}")
        holder = taken.get(hex_)
        if holder is not None and UNITS[[u[2] for u in UNITS].index(holder)][0] != 1:
            raise ScenarioError(f"Ziel {place} von Blau besetzt")
        objectives.append(hex_)
    return units, objectives


def _field_point(grid, hex_):
    lon, lat = grid.geography(*hex_)
    point = (round(lon, 4), round(lat, 4))
    if grid.hex_at_geography(*point) != hex_:
        raise ScenarioError(f"Feldmitte von {hex_} fuehrt nicht zurueck")
    return point


def units_document(grid, positions):
    """units.json: the unit types and the world units (no units for operational maps)."""
    units = []
    for n, ((side, type_id, name, _, _, _), hex_) in enumerate(zip(UNITS, positions), start=1):
        lon, lat = _field_point(grid, hex_)
        units.append({"id": n, "side": side, "name": name, "type": type_id,
                      "longitude": lon, "latitude": lat})
    return {"schema_version": 1, "types": UNIT_TYPES, "world_units": units, "operation_units": []}


def battles_document(grid, objective_hexes):
    """battles.json: the world scenario, and a one-objective fallback for operational maps."""
    objectives = []
    for place, hex_ in zip(OBJECTIVES, objective_hexes):
        lon, lat = _field_point(grid, hex_)
        objectives.append({"name": place, "longitude": lon, "latitude": lat})
    return {
        "schema_version": 1,
        "world": {"round_limit": ROUND_LIMIT, "seed": SEED, "objectives": objectives},
        "operation": {"round_limit": OPERATION_ROUND_LIMIT, "seed": SEED,
                      "objectives": [{"name": "Hoehe 241", "q": 0, "r": 0}]},
    }


def default_grid():
    """The play grid of the shipped world map (4320 x 2160 fields)."""
    return PlayGrid(4320, 2160)
