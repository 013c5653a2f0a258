"""The world scenario: forces, objectives and the checks of the army and scenario loaders."""

import copy

import pytest

from worldgen import scenario, validate
from worldgen.playgrid import PlayGrid
from worldgen.scenario import ScenarioError

PLAIN, MOUNTAIN, WATER = 0, 3, 5


@pytest.fixture(scope="module")
def grid():
    return PlayGrid(4320, 2160)


def flat(q, r):
    return PLAIN


@pytest.fixture(scope="module")
def documents(grid):
    units, objectives = scenario.unit_positions(grid, flat)
    return scenario.units_document(grid, units), scenario.battles_document(grid, objectives)


def test_forces_and_objectives_fit_the_operation(grid):
    units, objectives = scenario.unit_positions(grid, flat)
    sides = [u[0] for u in scenario.UNITS]
    assert 10 <= sides.count(0) <= 30 and 10 <= sides.count(1) <= 30
    assert 3 <= len(objectives) <= 8 and "Wien" in scenario.OBJECTIVES
    kinds = {t["id"]: t["class"] for t in scenario.UNIT_TYPES}
    for side in (0, 1):
        assert {kinds[u[1]] for u in scenario.UNITS if u[0] == side} == {"tank", "infantry", "recon"}
    # Blue attacks from the west: every unit starts west of Wien, the force as a whole west
    # of every objective.
    blue_x = [q + r / 2 for (q, r), s in zip(units, sides) if s == 0]
    wien = objectives[scenario.OBJECTIVES.index("Wien")]
    assert max(blue_x) < wien[0] + wien[1] / 2
    assert sum(blue_x) / len(blue_x) < min(q + r / 2 for q, r in objectives)
    assert len({u[2] for u in scenario.UNITS}) == len(scenario.UNITS)


def test_rivers_and_terrain_matter_in_the_costs():
    for t in scenario.UNIT_TYPES:
        costs = t["costs"]
        assert costs["water"] is None
        assert costs["forest"] >= costs["plain"] and costs["hills"] >= costs["plain"]
    tank = next(t for t in scenario.UNIT_TYPES if t["id"] == "kampfpanzer")
    assert tank["costs"]["mountain"] is None and tank["costs"]["forest"] == 3


def test_unit_on_an_impassable_or_shared_field_is_refused(grid, monkeypatch):
    first = scenario.unit_positions(grid, flat)[0][0]
    with pytest.raises(ScenarioError, match="unzugaenglich"):
        scenario.unit_positions(grid, lambda q, r: WATER if (q, r) == first else PLAIN)
    units = list(scenario.UNITS)
    units[1] = units[1][:4] + units[0][4:]  # the second unit onto the first one's field
    monkeypatch.setattr(scenario, "UNITS", units)
    with pytest.raises(ScenarioError, match="besetzt"):
        scenario.unit_positions(grid, flat)


def test_documents_pass_the_loader_checks_and_point_back_to_their_fields(grid, documents):
    units_doc, battles_doc = documents
    placed = validate.check_units(units_doc, grid, flat)
    assert [h for _, h in placed] == scenario.unit_positions(grid, flat)[0]
    goals = validate.check_battles(battles_doc, grid, flat, placed)
    assert [name for name, _ in goals] == scenario.OBJECTIVES
    assert battles_doc["world"]["round_limit"] == scenario.ROUND_LIMIT


@pytest.mark.parametrize("change,message", [
    (lambda d: d.__setitem__("schema_version", 1.0), "Zahlenwert"),
    (lambda d: d["types"][0]["costs"].__setitem__("water", 1), "nicht ueber Wasser"),
    (lambda d: d["types"][0]["costs"].pop("scrub"), "alle elf"),
    (lambda d: d["types"][0].__setitem__("range", 0), "Zahlenwert"),
    (lambda d: d["types"][1].__setitem__("id", d["types"][0]["id"]), "Doppelter oder leerer"),
    (lambda d: d["world_units"][0].__setitem__("name", "Einheit \u00e4"), "Einheitenname"),
    (lambda d: d["world_units"][0].__setitem__("type", "panzer"), "Unbekannter Einheitentyp: panzer"),
    (lambda d: d["world_units"][1].update(id=d["world_units"][0]["id"]), "Doppelte Einheiten-ID"),
    (lambda d: d["world_units"][1].update(longitude=d["world_units"][0]["longitude"],
                                          latitude=d["world_units"][0]["latitude"]), "Mehrere Einheiten"),
    (lambda d: d["world_units"][0].__setitem__("longitude", "16"), "Zahlen sein"),
])
def test_units_checks(grid, documents, change, message):
    doc = copy.deepcopy(documents[0])
    change(doc)
    with pytest.raises(validate.DataError, match=message):
        validate.check_units(doc, grid, flat)


def test_unit_on_mountain_is_refused_for_tanks_only(grid, documents):
    doc = documents[0]
    tank_field = grid.hex_at_geography(doc["world_units"][1]["longitude"], doc["world_units"][1]["latitude"])
    with pytest.raises(validate.DataError, match="unzugaenglichem Startfeld"):
        validate.check_units(doc, grid, lambda q, r: MOUNTAIN if (q, r) == tank_field else PLAIN)


@pytest.mark.parametrize("change,message", [
    (lambda w: w.__setitem__("seed", -5), "Szenariowerte"),
    (lambda w: w.__setitem__("seed", 7.0), "Szenariowerte"),
    (lambda w: w.__setitem__("round_limit", 1001), "Szenariowerte"),
    (lambda w: w["objectives"].extend(w["objectives"][:3]), "Szenariowerte"),  # nine objectives
    (lambda w: w.__setitem__("objectives", []), "Ungueltiges Szenario"),
    (lambda w: w["objectives"].append(dict(w["objectives"][0], name="Nochmal")), "Szenarioziel"),
    (lambda w: w["objectives"][0].__setitem__("name", "X" * 29), "Szenarioziel"),
])
def test_battle_checks(grid, documents, change, message):
    doc = copy.deepcopy(documents[1])
    change(doc["world"])
    with pytest.raises(validate.DataError, match=message):
        validate.check_battles(doc, grid, flat)


def test_objective_held_by_a_blue_unit_is_refused(grid, documents):
    units_doc, battles_doc = documents
    placed = validate.check_units(units_doc, grid, flat)
    blue_field = next(h for side, h in placed if side == 0)
    lon, lat = grid.geography(*blue_field)
    doc = copy.deepcopy(battles_doc)
    doc["world"]["objectives"][0].update(longitude=lon, latitude=lat)
    with pytest.raises(validate.DataError, match="Startbelegung widerspricht Zielbesitzer"):
        validate.check_battles(doc, grid, flat, placed)
    with pytest.raises(validate.DataError, match="Szenarioziel"):
        validate.check_battles(doc, grid, lambda q, r: WATER)
