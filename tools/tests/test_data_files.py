"""The committed data files pass every loader check and show the landmarks right."""

import json
from pathlib import Path

import pytest

from worldgen import landmarks, validate

DATA = Path(__file__).resolve().parents[2] / "data"
FILES = ("world.json", "river-names.json", "countries.json", "water-territories.json",
         "seas.json", "lakes.json")

pytestmark = pytest.mark.skipif(not all((DATA / f).is_file() for f in FILES),
                                reason="data files not built")


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
