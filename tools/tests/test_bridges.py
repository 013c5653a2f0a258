"""Crossings at river towns and named bridges on the nearest side of their river."""

import numpy as np
import pytest

from worldgen import bridges, grid

WIDTH, HEIGHT = 360, 180


def sides_along_row(row, cols):
    """Vertex pairs of the north-east sides of fields (col, row): one short river."""
    ends = []
    for c in cols:
        xs, ys = grid.hex_corners(c - row // 2, row)
        ends.append(((int(xs[0]), int(ys[0])), (int(xs[1]), int(ys[1]))))
    return ends


def town_at_side(mx, my, i, dx=0.0, dy=0.0):
    lon = (mx[i] + dx) / grid.SQRT3 * 360.0 / WIDTH - 180.0
    lat = 90.0 - ((my[i] + dy) / 1.5 + 0.5) * 180.0 / HEIGHT
    return lon, lat


@pytest.mark.parametrize("population,count", [(0, 0), (9_999, 0), (10_000, 1), (999_999, 1),
                                              (1_000_000, 2)])
def test_crossings_by_population(population, count):
    assert bridges.crossings_for(population) == count


def test_side_midpoints_in_world_units():
    ends = sides_along_row(10, [5])
    mx, my = bridges.side_midpoints(ends)
    cx, cy = grid.SQRT3 * 5, 1.5 * 10  # even row: the centre of column c is at sqrt(3) * c
    assert np.hypot(mx[0] - cx, my[0] - cy) == pytest.approx(grid.SQRT3 / 2)


def test_a_town_bridges_the_nearest_land_side_of_each_river():
    ends = sides_along_row(10, range(20, 30)) + sides_along_row(14, range(20, 30))
    mx, my = bridges.side_midpoints(ends)
    river = ["Inn"] * 10 + ["Salzach"] * 10
    bridgeable = np.ones(20, dtype=bool)
    bridgeable[3] = False  # a water bank right at the town
    town = town_at_side(mx, my, 3)
    chosen, unserved = bridges.town_bridges(mx, my, river, bridgeable,
                                            [(*town, 50_000)], WIDTH, HEIGHT)
    assert set(chosen) <= set(range(10)) and len(chosen) == 1
    assert min(abs(i - 3) for i in chosen) == 1
    assert unserved == 0
    big, _ = bridges.town_bridges(mx, my, river, np.ones(20, dtype=bool),
                                  [(*town, 2_000_000)], WIDTH, HEIGHT)
    assert sorted(big) == [2, 3] or sorted(big) == [3, 4]


def test_towns_away_from_rivers_and_small_towns_get_nothing():
    ends = sides_along_row(10, range(20, 30))
    mx, my = bridges.side_midpoints(ends)
    far = town_at_side(mx, my, 5, dy=-3.0)
    near = town_at_side(mx, my, 5)
    chosen, unserved = bridges.town_bridges(mx, my, ["A"] * 10, np.ones(10, dtype=bool),
                                            [(*far, 500_000), (*near, 5_000)], WIDTH, HEIGHT)
    assert chosen == {} and unserved == 0
    chosen, unserved = bridges.town_bridges(mx, my, ["A"] * 10, np.zeros(10, dtype=bool),
                                            [(*near, 500_000)], WIDTH, HEIGHT)
    assert chosen == {} and unserved == 1


def test_town_on_the_seam_finds_the_river_across_it():
    ends = sides_along_row(10, [WIDTH - 1, 0, 1])
    mx, my = bridges.side_midpoints(ends)
    lon, lat = town_at_side(mx, my, 1)
    chosen, _ = bridges.town_bridges(mx, my, ["A"] * 3, np.ones(3, dtype=bool),
                                     [(lon + 360.0 if lon < -179 else lon, lat, 20_000)], WIDTH, HEIGHT)
    assert len(chosen) == 1


def test_named_bridges_group_on_sides_and_report_missing_rivers():
    ends = sides_along_row(10, range(20, 30))
    mx, my = bridges.side_midpoints(ends)
    lon, lat = town_at_side(mx, my, 4)
    table = (("Alte Bruecke", "Inn", lon, lat), ("Neue Bruecke", "Inn", lon + 0.01, lat),
             ("Ferne Bruecke", "Inn", lon + 20, lat), ("Rheinbruecke", "Rhein", lon, lat))
    named, missing = bridges.named_bridges(mx, my, ["Inn"] * 10, np.ones(10, dtype=bool),
                                           WIDTH, HEIGHT, table)
    assert named == {4: ["Alte Bruecke", "Neue Bruecke"]}
    assert missing == ["Ferne Bruecke", "Rheinbruecke"]


def test_curated_bridges_cover_the_required_cities():
    rivers_by_name = {}
    for name, river, lon, lat in bridges.NAMED_BRIDGES:
        rivers_by_name.setdefault(river, []).append((lon, lat))
        assert -180 <= lon <= 180 and -90 <= lat <= 90

    def near(river, lon, lat):
        return any(abs(a - lon) < 0.3 and abs(b - lat) < 0.3 for a, b in rivers_by_name[river])

    assert near("Donau", 16.37, 48.21) and near("Donau", 14.29, 48.31) and near("Donau", 19.05, 47.5)
    assert near("Rhein", 7.59, 47.56) and near("Rhein", 6.96, 50.94)
