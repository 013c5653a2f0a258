"""The committed data files pass every loader check and show the landmarks right."""

import json
from pathlib import Path

import pytest

from worldgen import landmarks, validate

DATA = Path(__file__).resolve().parents[2] / "data"
FILES = ("world.json", "river-names.json", "countries.json", "water-territories.json",
         "seas.json", "lakes.json")



def test_every_shipped_file_is_there():
    # The data set is committed: a missing file fails here instead of skipping the checks below.
    missing = [f for f in FILES + SECOND_HALF if not (DATA / f).is_file()]
    assert not missing, f"missing from data/: {missing}"


@pytest.fixture(scope="module")
def world():
    doc = json.loads((DATA / "world.json").read_text())
    return doc, validate.check_map(doc)


def load(name):
    return json.loads((DATA / name).read_text())


def test_world_map_and_bridge_names(world):
    doc, loaded = world
    assert (doc["name"], doc["width"], doc["height"]) == ("Erde", 4320, 2160)
    assert validate.check_bridge_names(doc, loaded) >= 5
    assert sum(1 for _, bridged in loaded.edges.values() if bridged) > 500


def test_landmarks(world):
    failed = [m for m in landmarks.check_landmarks(world[1].terrain) if not m[4]]
    assert failed == []


def test_river_names_fit_the_map(world):
    doc = load("river-names.json")
    assert validate.check_river_names(doc, world[1]) > 0
    assert {"Donau", "Rhein"} <= set(doc["names"])


def test_countries_and_water_territories():
    countries = load("countries.json")
    ids = validate.check_countries(countries)
    assert "AUT" in ids
    austria = countries["countries"][ids.index("AUT")]
    assert austria["name"] == "Oesterreich" and austria["status"] == "country"
    statuses = {a["status"] for a in countries["disputed_areas"]}
    assert statuses <= {"disputed", "claim", "special"}
    validate.check_water_territories(load("water-territories.json"), 4320, 2160, ids)


def test_seas_and_lakes():
    assert validate.check_seas(load("seas.json")) > 50
    lakes = load("lakes.json")
    assert validate.check_seas(lakes) > 100
    names = {a["name"] for a in lakes["areas"]}
    assert {"Bodensee", "Genfersee"} <= names
    assert any(a.get("kind") == "river_arm" for a in lakes["areas"])


@pytest.mark.parametrize("river,lon,lat", [
    ("Donau", 16.41, 48.22), ("Donau", 19.05, 47.50), ("Rhein", 6.97, 50.94),
    ("Nil", 31.23, 30.05), ("Amazonas", -59.9, -3.14), ("Mississippi", -90.18, 38.63),
])
def test_great_rivers_are_wide_on_their_lower_courses(world, river, lon, lat):
    _, loaded = world
    doc = load("river-names.json")
    wanted = doc["names"].index(river)
    row = int((90 - lat) * 12)
    col = int((lon + 180) * 12)
    classes = []
    for q1, r1, q2, r2, name in doc["edges"]:
        if name == wanted and abs(r1 - row) <= 3 and abs(q1 + r1 // 2 - col) <= 3:
            classes.append(loaded.edge(q1, r1, q2, r2)[0])
    assert classes and max(classes) == 3


# --- cities, urban areas, scenario, flags and artwork -------------------------------------

SECOND_HALF = ("cities.json", "urban.json", "city-parameters.json", "units.json", "battles.json",
               "flags.json", "flags.bmp", "terrain-icons-v4.bmp", "city-marker.bmp",
               "city-size-markers.bmp", "donau-wien.json")


@pytest.fixture(scope="module")
def city_list():
    doc = load("cities.json")
    return doc, validate.check_cities(doc)


def test_cities_with_german_names_and_capitals(city_list):
    doc, ids = city_list
    by_name = {c["name"]: c for c in doc["cities"]}
    wien = by_name["Wien"]
    assert wien["capital"] and wien["tier"] == 0 and wien["id"] == "aut-wien"
    assert {"Muenchen", "St. Poelten", "Koeln", "Prag"} <= set(by_name)
    assert sum(c["capital"] for c in doc["cities"]) >= 190
    assert all(c["size_class"] == 4 for c in doc["cities"] if c["population"] >= 1_000_000)


def test_urban_areas_are_the_city_fields_and_every_centre_gets_its_own_play_field(world, city_list):
    from worldgen import playgrid

    doc = load("urban.json")
    _, loaded = world
    fields = validate.check_urban(doc, loaded.terrain, city_list[1])
    centres = [(c["longitude"], c["latitude"]) for c in doc["cities"]]
    anchors = playgrid.city_tile_anchors(loaded.terrain, centres, fields)
    assert all(a is not None for a in anchors)
    grid = playgrid.PlayGrid(loaded.width, loaded.height)
    placed = playgrid.place_anchored_cities(grid, anchors)  # start-up's own mapping
    assert len(placed) == len(centres)
    wien = [c["id"] for c in doc["cities"]].index("aut-wien")
    assert sum(1 for j in fields.values() if j == wien) >= 8


@pytest.mark.parametrize("world_map", [True, False], ids=["world", "operational-map"])
def test_city_files_load_in_every_start_up_mode(world_map):
    # Without --map (and with a world map given to --map) the list starts from cities.json;
    # with an operational map it holds only the urban centres.
    merged = validate.startup_cities(load("cities.json"), load("urban.json"),
                                     load("city-parameters.json"), world_map)
    assert len(merged) == (7372 if world_map else 1940)
    by_id = {c["id"]: c for c in merged}
    wien = by_id["aut-wien"]
    assert (wien["industry"], wien["infrastructure"], wien["fortification"]) == (4, 5, 3)
    assert wien["tier"] == (0 if world_map else 3)
    assert sum(c["industry"] != 1 or c["infrastructure"] != 1 or c["fortification"] != 0
               for c in merged) > (6000 if world_map else 1800)


def test_scenario_units_stand_on_the_play_grid(world):
    from worldgen import playgrid

    _, loaded = world
    grid = playgrid.PlayGrid(loaded.width, loaded.height)
    rows, columns = range(840, 900), range(2300, 2420)
    window = grid.terrain(loaded.terrain, rows, columns)

    def terrain_at(q, r):
        return int(window[r - rows[0], q + r // 2 - columns[0]])

    placed = validate.check_units(load("units.json"), grid, terrain_at)
    goals = validate.check_battles(load("battles.json"), grid, terrain_at, placed)
    assert 3 <= len(goals) <= 8 and "Wien" in [name for name, _ in goals]
    for side in (0, 1):
        assert 10 <= sum(1 for s, _ in placed if s == side) <= 30


def test_flags_match_the_countries():
    ids = load("flags.json")
    country_ids = [c["id"] for c in load("countries.json")["countries"]]
    assert validate.check_flags(ids, (DATA / "flags.bmp").read_bytes(), country_ids) >= 240
    assert {"AUT", "DEU", "FRA", "TWN"} <= set(ids)


@pytest.mark.parametrize("name,size", [("terrain-icons-v4.bmp", (1024, 768)),
                                       ("city-marker.bmp", (256, 256)),
                                       ("city-size-markers.bmp", (1024, 256))])
def test_images_load_with_their_alpha_mask(name, size):
    # SDL_LoadBMP gives a surface with an alpha mask for a 32-bit BITMAPV4/V5 file with
    # BI_BITFIELDS and the alpha mask 0xFF000000; the program refuses images without one.
    validate.check_alpha_bmp((DATA / name).read_bytes(), *size, name)


def test_regional_map_is_the_world_around_wien(world):
    from worldgen import regional

    doc = load("donau-wien.json")
    loaded = validate.check_tile_map(doc)
    assert (doc["width"], doc["height"], doc["kind"]) == (60, 40, "operational")
    c0, r0 = regional.window_origin(16.37, 48.21, 4320, 2160, 60, 40)
    world_map = world[1]
    assert (loaded.terrain == world_map.terrain[r0:r0 + 40, c0:c0 + 60]).all()
    inside = [k for k in world_map.edges if all(r0 <= c // 4320 < r0 + 40 and c0 <= c % 4320 < c0 + 60
                                                for c in k)]
    assert len(loaded.edges) == len(inside) > 300
    assert validate.check_bridge_names(doc, loaded) >= 3
    assert {"Reichsbruecke", "Nordbruecke"} <= {n for entry in doc["bridge_names"] for n in entry[4]}
    assert (loaded.roads > 0).sum() > 100  # the A1, A2, A4 and their neighbours
