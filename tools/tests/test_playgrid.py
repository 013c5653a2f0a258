"""The Python play grid agrees with the program's grid derivation, hex look-ups and city placement.

Expected values were read from the program (Map::regularWorld on the shipped world.json,
hexAtGeography, and the start-up placement of world-map city fields near Wien).
"""

import math

import numpy as np
import pytest

from worldgen import playgrid
from worldgen.playgrid import CITY, WATER, PlacementError, PlayGrid


@pytest.fixture(scope="module")
def grid():
    return PlayGrid(4320, 2160)


def test_grid_size_and_scales_of_the_world_map(grid):
    assert (grid.width, grid.height) == (4321, 3743)
    assert grid.scale_x == 4320 / 4321
    assert grid.scale_y == pytest.approx(0.57700808258671954, rel=0, abs=1e-16)


@pytest.mark.parametrize("lon,lat,play,world", [
    (16.3738, 48.2082, (1923, 868), (2106, 501)),  # Wien, the operation's focus
    (15.6256, 48.2047, (1914, 868), (2097, 501)),
    (-180.0, 90.0, (0, 0), (0, 0)),
    (179.99, -89.9, (-1870, 3740), (-1079, 2158)),  # last column: wraps to negative q
    (0.0, 0.0, (1225, 1871), (1620, 1080)),
    (-74.0, 40.7, (760, 1024), (977, 591)),
    (139.7, 35.7, (3273, 1128), (3511, 651)),
])
def test_geographic_lookups_match_the_program(grid, lon, lat, play, world):
    assert grid.hex_at_geography(lon, lat) == play
    assert playgrid.file_hex_at_geography(lon, lat, 4320, 2160) == world


@pytest.mark.parametrize("world,play", [
    ((2106, 500), (1923, 867)), ((2105, 501), (1922, 868)), ((2108, 501), (1925, 868)),
    ((2104, 502), (1921, 870)), ((2104, 503), (1920, 872)),
])
def test_city_fields_land_where_start_up_puts_them(grid, world, play):
    key = playgrid.play_field_key(grid, world)
    assert key == grid.key(*play)


def test_world_to_hex_rounds_halves_away_from_zero_like_the_program():
    # On the side between (0, 0) and (1, 0) the product with 1/sqrt(3) falls just below 0.5.
    assert playgrid.world_to_hex(0.5 * playgrid.SQRT3, 0.0) == (0, 0)
    assert playgrid.world_to_hex(1.5, 0.0) == (1, 0)  # fq = 0.866: past the side
    assert playgrid.round_half_away(2.5) == 3.0 and playgrid.round_half_away(-2.5) == -3.0
    # The largest double below 0.5 must not round up (floor(x + 0.5) would).
    below = math.nextafter(0.5, 0.0)
    assert playgrid.round_half_away(below) == 0.0
    assert playgrid.round_half_away(-below) == 0.0


def test_every_hex_centre_maps_to_its_own_hex():
    q, r = np.meshgrid(np.arange(-7, 8), np.arange(-5, 6))
    x, y = playgrid.hex_centre(q, r)
    got_q, got_r = playgrid.world_to_hex(x, y)
    assert (got_q == q).all() and (got_r == r).all()


def test_canonical_wraps_columns_and_drops_rows_off_the_grid():
    grid = PlayGrid(12, 6)
    assert grid.canonical(-1, 0) == (grid.width - 1, 0)
    assert grid.canonical(0, 3) == grid.canonical(grid.width, 3)
    assert grid.canonical(0, -1) is None and grid.canonical(0, grid.height) is None


def test_terrain_sampling_keeps_every_city_field_and_never_invents_one():
    source = np.zeros((12, 24), dtype=np.uint8)
    source[:2] = WATER
    source[5, 3] = source[5, 4] = source[8, 20] = CITY
    grid = PlayGrid(24, 12)
    sampled = grid.terrain(source)
    assert sampled.shape == (grid.height, grid.width)
    assert int((sampled == CITY).sum()) == 3
    assert (sampled == WATER).any() and set(np.unique(sampled)) <= {0, CITY, WATER}
    window = grid.terrain(source, range(5, 9), range(2, 8))
    assert (window == sampled[5:9, 2:8]).all()


def test_anchor_is_the_centre_field_nearest_the_city_point_within_reach():
    terrain = np.zeros((10, 20), dtype=np.uint8)
    width, height = 20, 10
    terrain[4, 5:9] = CITY
    lon, lat = (6 + 0.0) * 360 / width - 180, 90 - 4.5 * 180 / height  # centre of (col 6, row 4)
    keys = {4 * width + c: 0 for c in range(5, 9)}
    anchors = playgrid.city_tile_anchors(terrain, [(lon, lat)], keys)
    assert anchors == [(6 - 2, 4)]
    # Three fields away on land is out of reach ...
    far = {4 * width + 9: 0}
    terrain[4, 9] = CITY
    assert playgrid.city_tile_anchors(terrain, [(lon, lat)], far) == [None]
    # ... but within reach when the city's own field is water.
    terrain[4, 6] = WATER
    assert playgrid.city_tile_anchors(terrain, [(lon, lat)], far) == [(9 - 2, 4)]


def test_two_cities_on_one_play_field_are_refused():
    grid = PlayGrid(4320, 2160)
    fields = playgrid.place_anchored_cities(grid, [(2106, 500), None, (2105, 501)])
    assert sorted(fields.values()) == [0, 2]
    with pytest.raises(PlacementError, match="Mehrere Staedte auf einem Stadtfeld"):
        playgrid.place_anchored_cities(grid, [(2106, 500), (2106, 500)])
