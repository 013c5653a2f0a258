"""The regional map: a window of the world map with its rivers, bridges, names and roads."""

import json

import pytest

from worldgen import regional, validate
from worldgen.encode import dumps_document

W, H = 8, 6


def centre(col, row):
    return (col + 0.5 * (row % 2)) * 360 / W - 180, 90 - (row + 0.5) * 180 / H


@pytest.fixture
def world_doc():
    # Water at (3, 3) and (4, 3); a bridged wide river side (2, 2)-(3, 2) with a name and an
    # open narrow one (5, 4)-(6, 4).
    return {
        "schema_version": 3, "width": W, "height": H, "name": "Test", "layout": "odd-r",
        "wrap_horizontal": True, "kind": "world", "river_edges": [],
        "terrain_rows": ["p8", "p8", "f8", "p3w2p3", "h8", "p8"],
        "river_rows": ["a8", "a8", "a2b1a5", "a8", "a5b1a2", "a8"],
        "river_width_rows": ["A8", "A8", "A2D1A5", "A8", "A5B1A2", "A8"],
        "bridge_rows": ["a8", "a8", "a2b1a5", "a8", "a8", "a8"],
        "bridge_names": [[1, 2, 2, 2, ["Steinbruecke"]]],
    }


def cut(world_doc, roads=()):
    world = validate.check_map(world_doc)
    doc = regional.regional_map(world_doc, world, (1, 2), (6, 3), "Ausschnitt", roads)
    doc = json.loads(dumps_document(doc, ("tiles",)))
    return doc, validate.check_tile_map(doc)


def test_the_window_keeps_terrain_rivers_bridges_and_names(world_doc):
    doc, loaded = cut(world_doc)
    assert (doc["width"], doc["height"], doc["kind"], doc["layout"]) == (6, 3, "operational", "odd-r")
    assert "wrap_horizontal" not in doc
    # Row 0 of the window is world row 2 (forest); row 1 has the water at world columns 3 and 4.
    assert [validate.TERRAIN_IDS[t] for t in loaded.terrain[1]] == ["plain", "plain", "water", "water",
                                                                     "plain", "plain"]
    assert loaded.edge(1, 0, 2, 0) == [3, True]  # world (2, 2)-(3, 2): axial shifted with the window
    assert loaded.edge(3, 2, 4, 2) == [1, False]  # world (5, 4)-(6, 4) on the odd row
    assert len(loaded.edges) == 2
    assert doc["bridge_names"] == [[1, 0, 2, 0, ["Steinbruecke"]]]
    assert validate.check_bridge_names(doc, loaded) == 1
    assert not loaded.roads.any()


def test_roads_bridge_the_rivers_and_waters_they_cross(world_doc):
    roads = regional.road_paths(
        [{"geometry": {"type": "LineString", "coordinates": [centre(4, 4), centre(7, 4)]}},
         {"geometry": {"type": "MultiLineString", "coordinates": [[centre(2, 3), centre(5, 3)]]}}],
        W, H, step=1.0)
    assert roads == [[(4, 4), (5, 4), (6, 4), (7, 4)], [(2, 3), (3, 3), (4, 3), (5, 3)]]
    doc, loaded = cut(world_doc, roads)
    assert loaded.edge(3, 2, 4, 2) == [1, True]
    assert list(loaded.roads[2]) == [0, 0, 0, 1, 1, 1]  # world column 7 lies outside the window
    assert list(loaded.roads[1]) == [0, 1, 2, 2, 1, 0]  # road and bridge on the two water fields


def test_a_road_that_grazes_a_field_leaves_it_out():
    # Down the seam between two columns: every sample alternates between neighbouring fields.
    line = [(-45.0 + 0.01, 75.0), (-45.0 - 0.01, 15.0), (-45.0 + 0.01, -45.0)]
    path = regional.road_paths([{"geometry": {"type": "LineString", "coordinates": line}}], W, H,
                               step=0.5)[0]
    assert all(regional._adjacent(a, b, W) for a, b in zip(path, path[1:]))
    assert not any(regional._adjacent(a, c, W) for a, c in zip(path, path[2:]))
    assert path[0][1] == 0 and path[-1][1] == 4


def test_window_origin_starts_on_an_even_row_and_an_odd_one_is_refused(world_doc):
    assert regional.window_origin(16.37, 48.21, 4320, 2160, 60, 40) == (2326, 480)
    assert regional.window_origin(0.0, 89.9, 4320, 2160, 60, 40)[1] == 0  # clamped to the map
    with pytest.raises(ValueError):
        regional.regional_map(world_doc, validate.check_map(world_doc), (0, 1), (4, 2), "X")


@pytest.mark.parametrize("change,message", [
    (lambda d: d["tiles"][0].update(bridge=True), "Eine Bruecke benoetigt eine Strasse"),
    (lambda d: d["tiles"][1].update(q=0), "Doppeltes Hexfeld in tiles"),
    (lambda d: d["tiles"][2].update(q=-2), "Ungueltige Hexkoordinate in tiles"),
    (lambda d: d["river_edges"][0]["b"].update(q=3), "Flusskante muss benachbarte Felder verbinden"),
    (lambda d: d["river_edges"].append(dict(d["river_edges"][0])), "Doppelte Flusskante"),
    (lambda d: d["river_edges"].append({"a": {"q": 1, "r": 1}, "b": {"q": 2, "r": 1}, "bridge": True}),
     "Kantenbruecke benoetigt zwei Landfelder"),
])
def test_tile_map_checks_follow_the_loader(world_doc, change, message):
    doc, _ = cut(world_doc)
    change(doc)
    with pytest.raises(validate.DataError, match=message):
        validate.check_tile_map(doc)
