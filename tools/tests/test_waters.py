"""National waters, land additions, lake names and lake rasters."""

import numpy as np
import pytest

from worldgen import waters


def test_nearest_owner_wraps_east_west():
    owner = np.array([[3, -1, -1, -1, -1, -1, -1, -1]])
    targets = owner < 0
    got = waters.nearest_owner(owner, targets, pad=8)
    assert (got == 3).all()
    none = waters.nearest_owner(np.full((2, 3), -1), np.ones((2, 3), dtype=bool))
    assert (none == -1).all()


def test_marine_belt_is_about_twelve_miles_wide():
    # 0.5 degree fields near the equator: 55.6 km per field, so only direct neighbours count.
    height, width = 360, 720
    land_owner = np.full((height, width), -1)
    land_owner[180, 100] = 0
    sea = land_owner < 0
    marine = waters.marine_owner(land_owner, sea, km=60.0)
    assert marine[180, 101] == 0 and marine[181, 100] == 0
    assert marine[180, 102] == -1 and marine[180, 100] == -1  # land itself is not marine


def test_territories_split_water_between_neighbours():
    water = np.array([[False, False, True, True, True, False, False]] * 3)
    owner = np.array([[0, 0, -1, -1, -1, 1, -1]] * 3)  # the last land column is unclaimed
    inland = np.zeros_like(water)
    inland[1, 2:5] = True
    parts = waters.territories(water, owner, inland)
    assert parts["land"][:, 6].tolist() == [1, 1, 1]
    assert (parts["land"][:, :6] == -1).all()
    # Row 1 is a lake: interior, not marine; its middle goes to one of the neighbours.
    assert parts["interior"][1, 2] == 0 and parts["interior"][1, 4] == 1
    assert (parts["marine"][1] == -1).all()
    # Rows of 60 degrees are far wider than the territorial belt: no marine water here.
    assert (parts["national"] == np.where(parts["marine"] >= 0, parts["marine"], parts["interior"])).all()
    assert (parts["national"][inland] >= 0).all()
    assert ((parts["interior"] >= 0) & (parts["marine"] >= 0)).sum() == 0


def test_territory_document_lists_spans_by_row():
    grids = {k: np.full((2, 4), -1) for k in ("national", "marine", "land", "interior")}
    grids["national"][1, 1:3] = 0
    grids["marine"][1, 1:3] = 0
    doc = waters.territory_document(["AUT"], grids)
    assert doc["spans"] == [[1, 1, 2, 0]] and doc["marine_spans"] == [[1, 1, 2, 0]]
    assert doc["land_spans"] == [] and doc["width"] == 4


@pytest.mark.parametrize("props,name", [
    ({"name_de": "Bodensee", "name": "Bodensee"}, "Bodensee"),
    ({"name_de": "Starnberger", "name": "Starnberger See"}, "Starnberger See"),
    ({"name_de": "Oberer", "name": "Lake Superior"}, "Oberer See"),
    ({"name_de": None, "name": "Neusiedler See"}, "Neusiedler See"),
    ({"name_de": None, "name": None, "name_en": None}, ""),
])
def test_lake_names(props, name):
    assert waters.lake_name(props) == name


def test_spans_of_cells_merge_neighbouring_columns():
    rows = np.array([2, 0, 0, 0, 2])
    cols = np.array([5, 3, 1, 2, 7])
    assert waters.spans_of_cells(rows, cols) == [[0, 1, 3], [2, 5, 1], [2, 7, 1]]
    assert waters.spans_of_cells(np.array([]), np.array([])) == []


def test_field_winners_prefer_the_larger_share_on_water_only():
    water = np.array([[True, True, False]])
    coverage = (np.array([0, 1, 1, 0]), np.array([0, 0, 0, 0]), np.array([0, 0, 1, 2]),
                np.array([0.6, 0.4, 0.9, 1.0]))
    assert waters.field_winners(coverage, water).tolist() == [[0, 1, -1]]


def test_simplified_rings_stay_closed():
    ring = np.c_[np.cos(np.linspace(0, 6.28, 200)), np.sin(np.linspace(0, 6.28, 200))]
    polys = waters.simplified_rings([[ring]], 0.05)
    out = polys[0][0]
    assert out[0] == out[-1] and 4 <= len(out) < 200
