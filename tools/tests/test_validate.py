"""The file checks mirror the program's loaders: each one refuses what the loader refuses."""

import copy

import pytest

from worldgen import validate
from worldgen.validate import DataError


def edges_doc(doc, rivers, widths=None, bridges=None):
    doc = copy.deepcopy(doc)
    doc["river_rows"] = rivers
    if widths is not None:
        doc["river_width_rows"] = widths
    if bridges is not None:
        doc["bridge_rows"] = bridges
    return doc


QUIET = ["a12"] * 6


def test_a_valid_world_map_loads_with_its_edges(small_world):
    # Row 1: field 3 east (to 4) and below right; row 2 field 4 east.
    rivers = ["a12", "a3d1a8", "a4b1a7", "a12", "a12", "a12"]
    loaded = validate.check_map(edges_doc(small_world, rivers, ["A12"] * 6, QUIET))
    assert len(loaded.edges) == 3
    assert all(e == [1, False] for e in loaded.edges.values())


def test_edges_across_the_seam_join_the_last_and_first_column(small_world):
    rivers = ["a11b1", "a12", "a12", "a12", "a12", "a12"]
    loaded = validate.check_map(edges_doc(small_world, rivers))
    assert (0, 11) in loaded.edges
    assert loaded.edge(11, 0, 0, 0) is not None and loaded.edge(12, 0, 0, 0) is None


@pytest.mark.parametrize("change,message", [
    ({"schema_version": 4}, "Schemaversion"),
    ({"schema_version": 3.0}, "Ganzzahl"),
    ({"width": 8192, "height": 3907}, "Karte zu gross"),
    ({"name": "x" * 101}, "Kartenname"),
    ({"name": "Ö" * 51}, "Kartenname"),
    ({"layout": "axial"}, "odd-r"),
    ({"kind": "operational"}, "kompakte Weltkarte"),
    ({"terrain_rows": ["w12"] * 5}, "Gelaendereihen"),
    ({"river_edges": {}}, "river_edges"),
])
def test_header_checks(small_world, change, message):
    doc = dict(small_world, **change)
    with pytest.raises(DataError, match=message):
        validate.check_map(doc)


def test_river_leaving_the_bottom_row_is_off_the_map(small_world):
    rivers = ["a12"] * 5 + ["c1a11"]
    with pytest.raises(DataError, match="ausserhalb der Karte"):
        validate.check_map(edges_doc(small_world, rivers))


def test_same_edge_twice_on_a_map_two_fields_wide(small_world):
    doc = dict(small_world, width=2, terrain_rows=["p2"] * 6)
    with pytest.raises(DataError, match="Doppelte Flusskante"):
        validate.check_map(edges_doc(doc, ["b2"] + ["a2"] * 5))


def test_width_class_needs_its_edge(small_world):
    rivers = ["a12", "a3b1a8", "a12", "a12", "a12", "a12"]
    ok = validate.check_map(edges_doc(small_world, rivers, ["A12", "A3D1A8"] + ["A12"] * 4))
    assert list(ok.edges.values()) == [[3, False]]
    with pytest.raises(DataError, match="Breitenklasse ohne Flusskante"):
        validate.check_map(edges_doc(small_world, rivers, ["A12", "A3M1A8"] + ["A12"] * 4))


def test_bridges_need_a_river_and_two_land_banks(small_world):
    rivers = ["a12", "b1a1b1a9", "a12", "a12", "a12", "a12"]
    doc = edges_doc(small_world, rivers, None, ["a12", "a2b1a9"] + ["a12"] * 4)
    assert validate.check_map(doc).edges[(14, 15)] == [1, True]
    with pytest.raises(DataError, match="zwei Landufer"):  # field 1 of row 1 is water
        validate.check_map(edges_doc(small_world, rivers, None, ["a12", "b1a11"] + ["a12"] * 4))
    with pytest.raises(DataError, match="ohne zugehoerigen Fluss"):
        validate.check_map(edges_doc(small_world, rivers, None, ["a12", "a3b1a8"] + ["a12"] * 4))


def test_bridge_names_refer_to_bridged_edges(small_world):
    doc = edges_doc(small_world, ["a12", "a2b1a9"] + ["a12"] * 4, None,
                    ["a12", "a2b1a9"] + ["a12"] * 4)
    loaded = validate.check_map(doc)
    # Field (column 2, row 1) has q = 2; its east neighbour is (3, 1).
    doc["bridge_names"] = [[3, 1, 2, 1, ["Alte Bruecke", "Neue Bruecke"]]]
    assert validate.check_bridge_names(doc, loaded) == 1
    for entries, message in (
        ([[2, 1, 4, 1, ["X"]]], "ohne Bruecke"),
        ([[2, 1, 3, 1, []]], "Leerer Brueckenname"),
        ([[2, 1, 3, 1, [""]]], "Leerer Brueckenname"),
        ([[2, 1, 3, 1]], "Ungueltiger Brueckenname"),
        ([[2, 1, 3, 1, ["A"]], [3, 1, 2, 1, ["B"]]], "Doppelte Brueckennamenskante"),
        ([[2, 1, 3, 1, ["Bruecke/Steg"]]], "ungueltiger Name"),
    ):
        doc["bridge_names"] = entries
        with pytest.raises(DataError, match=message):
            validate.check_bridge_names(doc, loaded)


def country(cid, ring, **extra):
    return {"id": cid, "name": cid.title(), "polygons": [[ring]], **extra}


RING = [[0, 0], [1, 0], [1, 1], [0, 0]]


def test_country_file_checks():
    good = {"schema_version": 1, "countries": [country("AUT", RING), country("ABC", RING,
            status="dependent", sovereign_id="AUT")]}
    assert validate.check_countries(good) == ["AUT", "ABC"]
    for doc, message in (
        (dict(good, schema_version=2), "Laenderschema"),
        ({"schema_version": 1, "countries": [country("A", RING[1:])]}, "Laenderring"),
        ({"schema_version": 1, "countries": [country("A", [[0, 0], [1, 90.000001], [1, 1], [0, 0]])]},
         "Laenderkoordinate"),
        ({"schema_version": 1, "countries": [dict(country("A", RING), polygons=[[]])]}, "Leeres"),
        ({"schema_version": 1, "countries": [country("A", RING), country("A", RING)]}, "doppelte id"),
        ({"schema_version": 1, "countries": [country("A", RING, sovereign_id="B")]}, "sovereign_id"),
        ({"schema_version": 1, "countries": [country("A", RING, status="claim")]}, "Status"),
    ):
        with pytest.raises(DataError, match=message):
            validate.check_countries(doc)


def territory(**spans):
    return {"schema_version": 1, "width": 10, "height": 4, "countries": ["AUT", "DEU"], "spans": [],
            **spans}


def test_water_territory_checks():
    ids = ["DEU", "AUT"]
    good = territory(spans=[[0, 0, 3, 0], [0, 3, 2, 1]], marine_spans=[[0, 0, 2, 0]],
                     interior_water_spans=[[0, 2, 1, 0], [0, 3, 2, 1]])
    assert set(validate.check_water_territories(good, 10, 4, ids)) >= {"spans", "land_spans"}
    for doc, message in (
        (territory(), None),
        (dict(territory(), countries=["aut"]), "Unbekanntes Gewaesserland"),
        (territory(spans=[[0, 5, 2, 0], [0, 1, 2, 0]]), "Ueberlappende Gewaesser-Laenderzuordnung"),
        (territory(land_spans=[[0, 9, 2, 0]]), "Ungueltige Land-Ergaenzungszuordnung"),
        (territory(marine_spans=[[0, 0, 0, 0]]), "Ungueltige marine Laenderzuordnung"),
        (territory(spans=[[0, 0, 2]]), "Ungueltige Gewaesser-Laenderzeile"),
        (territory(spans=[[0, 0, 3, 0]], marine_spans=[[0, 0, 1, 0]],
                   interior_water_spans=[[0, 0, 2, 0]]), "widerspricht"),
        (territory(spans=[[0, 0, 3, 0]], interior_water_spans=[[0, 0, 2, 1]]), "widerspricht"),
    ):
        if message is None:
            validate.check_water_territories(doc, 10, 4, ids)
            continue
        with pytest.raises(DataError, match=message):
            validate.check_water_territories(doc, 10, 4, ids)
    with pytest.raises(DataError, match="passen nicht zur Karte"):
        validate.check_water_territories(territory(), 11, 4, ids)


def test_seas_and_lakes_checks():
    area = {"id": "1", "name": "Bodensee", "polygons": [[RING]], "kind": "lake", "detail": True}
    good = {"schema_version": 1, "width": 10, "height": 4,
            "areas": [dict(area, hex_spans=[[0, 0, 10]])], "water_hex_spans": [[3, 9, 1]]}
    assert validate.check_seas(good) == 1
    for doc, message in (
        ({"schema_version": 1, "areas": [dict(area, hex_spans=[[0, 0, 1]])]}, "Fehlendes Gewaesserraster"),
        (dict(good, water_hex_spans=[[4, 0, 1]]), "Binnengewaesserrasterzeile"),
        (dict(good, areas=[dict(area, hex_spans=[[0, 10, 1]])]), "Seerasterzeile"),
        (dict(good, width=8193), "Gewaesserrastergroesse"),
        (dict(good, areas=[dict(area, name="Boden\u00adsee")]), "ungueltiger Name"),
        (dict(good, areas=[dict(area, polygons=[[RING[:3]]])]), "Gewaesserring"),
    ):
        with pytest.raises(DataError, match=message):
            validate.check_seas(doc)


def test_river_name_checks(small_world):
    loaded = validate.check_map(edges_doc(small_world, ["a12", "a2b1a9"] + ["a12"] * 4))
    doc = {"schema_version": 1, "width": 12, "height": 6, "names": ["Donau", "Rhein"],
           "edges": [[3, 1, 2, 1, 0]]}
    assert validate.check_river_names(doc, loaded) == 1
    for edges, message in (
        ([[2, 1, 3, 1, 2]], "Flussnamenszuordnung"),
        ([[2, 1, 4, 1, 0]], "Flussnamenszuordnung"),
        ([[2, 1, 3, 1, 0], [3, 1, 2, 1, 1]], "Doppelte Flussnamenszuordnung"),
        ([[2, 1, 3, 1]], "Flussnamenskante"),
    ):
        with pytest.raises(DataError, match=message):
            validate.check_river_names(dict(doc, edges=edges), loaded)
    with pytest.raises(DataError, match="passen nicht zur Weltkarte"):
        validate.check_river_names(dict(doc, width=13), loaded)
