"""Classification rules and the resampling of elevation and land cover onto fields."""

import numpy as np
import pytest
from numpy.testing import assert_allclose, assert_array_equal

from worldgen import terrain as t


def fractions(**shares):
    names = ("water", "forest", "scrub", "plain", "wetland", "farmland", "urban", "ice", "barren")
    return {n: np.array([[shares.get(n, 0.0)]], dtype=np.float32) for n in names}


def classify_one(land=True, ice_cover=0.0, urban_polygons=0.0, elevation=200.0, relief=50.0, **shares):
    out = t.classify(np.array([[land]]), np.array([[ice_cover]]), fractions(**shares),
                     np.array([[urban_polygons]]), np.array([[elevation]]), np.array([[relief]]))
    return t.TERRAIN_NAMES[out[0, 0]]


@pytest.mark.parametrize("shares,expected", [
    ({"forest": 0.6, "farmland": 0.4}, "forest"),
    ({"farmland": 0.5, "plain": 0.3, "forest": 0.2}, "farmland"),
    ({"barren": 0.9}, "desert"),
    ({"scrub": 0.5, "plain": 0.2}, "scrub"),
    ({"farmland": 0.6, "wetland": 0.35}, "wetland"),
    ({"water": 1.0}, "plain"),  # a field the polygons call land but MODIS calls water
])
def test_land_cover_majority(shares, expected):
    assert classify_one(**shares) == expected


def test_rule_order_water_ice_city_mountain():
    assert classify_one(land=False, urban=1.0, urban_polygons=1.0) == "water"
    assert classify_one(ice_cover=0.6, urban=1.0) == "ice"
    assert classify_one(ice=0.6, water=0.2, forest=0.2) == "ice"
    assert classify_one(urban=0.7, elevation=3500, relief=2000) == "city"
    assert classify_one(forest=1.0, elevation=3200, relief=100) == "mountain"
    assert classify_one(forest=1.0, elevation=700, relief=350) == "hills"


@pytest.mark.parametrize("cover,polygons,expected", [
    (0.5, 0.0, True), (0.49, 0.0, False), (0.25, 0.4, True), (0.24, 1.0, False), (0.3, 0.39, False),
])
def test_city_needs_built_up_land_cover(cover, polygons, expected):
    assert bool(t.is_city(cover, polygons)) is expected


@pytest.mark.parametrize("elevation,relief,mountain,hills", [
    (3000, 0, True, False),  # high plateau
    (1500, 900, True, True),  # alpine
    (1499, 900, False, True),
    (800, 1500, True, True),  # steep coastal range
    (200, 499, False, False),
    (200, 500, False, True),
    (600, 300, False, True),
    (599, 300, False, False),
])
def test_relief_classes(elevation, relief, mountain, hills):
    assert bool(t.is_mountain(elevation, relief)) is mountain
    assert bool(t.is_hills(elevation, relief)) is hills


def dense(table, pixels):
    index, weight = table
    out = np.zeros((len(index), pixels))
    for k in range(index.shape[1]):
        np.add.at(out, (np.arange(len(index)), index[:, k]), weight[:, k])
    return out


def test_overlap_tables_split_cells_between_pixels():
    w = dense(t.overlap_table(2, 1.0, 0.0, 3, 2.0 / 3.0, 0.0, False), 3)
    assert_allclose(w.sum(axis=1), 1.0, rtol=1e-6)
    assert_allclose(w[0], [2 / 3, 1 / 3, 0], rtol=1e-6)
    wrapped = dense(t.overlap_table(2, 1.0, -0.5, 2, 1.0, 0.0, True), 2)
    assert_allclose(wrapped, [[0.5, 0.5], [0.5, 0.5]])
    # Cells finer than pixels take one pixel each.
    fine = dense(t.overlap_table(4, 0.5, 0.0, 2, 1.0, 0.0, False), 2)
    assert_allclose(fine, [[1, 0], [1, 0], [0, 1], [0, 1]])


def test_landcover_fractions_shift_odd_rows_half_a_field():
    classes = np.zeros((2, 8), dtype=np.uint8)  # 4 x 2 fields of 2 x 1 pixels
    classes[:, 2:4] = 12  # cropland in pixels 2 and 3
    fr = t.landcover_fractions(classes, 4, 2)
    # Even rows: field c spans [90c - 225, 90c - 135] degrees, odd rows start 45 degrees later.
    assert_allclose(fr["farmland"][0], [0.0, 0.5, 0.5, 0.0])
    assert_allclose(fr["farmland"][1], [0.0, 1.0, 0.0, 0.0])
    assert_allclose(fr["water"] + fr["farmland"], 1.0)


def test_elevation_is_bilinear_and_relief_ignores_the_sea_floor():
    etopo = np.zeros((5, 8), dtype=np.float32)  # 45 degree steps, poles included
    etopo[2, 0] = 1000.0
    etopo[2, 4] = -4000.0
    elevation, relief = t.elevation_fields(etopo, 8, 4, relief_radius=1)
    # Field (row 2, column 4) is centred at 0 E, 22.5 S: half way to the 1000 m point.
    assert elevation[2, 4] == pytest.approx(500.0)
    # Odd rows are shifted: field (row 1, column 4) lies at 22.5 E, 22.5 N.
    assert elevation[1, 4] == pytest.approx(250.0)
    assert relief[2, 4] == pytest.approx(1000.0)
    assert relief[2, 0] == pytest.approx(0.0)  # at 180 E, next to the trench only


def test_keep_small_parts_rescues_only_sizeable_vanished_features():
    mask = np.zeros((3, 3), dtype=bool)
    mask[0, 0] = True
    feature = np.array([0, 0, 1, 1, 2, 3])
    row = np.array([0, 0, 1, 1, 2, 0])
    col = np.array([0, 1, 1, 2, 2, 0])
    share = np.array([0.9, 0.2, 0.2, 0.3, 0.1, 0.4])
    kept = t.keep_small_parts(mask, feature, row, col, share, 0.25)
    # Feature 0 is present already, 1 vanished (0.5 in total), 2 is too small, 3 shares (0, 0).
    assert kept == 1
    assert mask[1, 2] and not mask[2, 2] and not mask[1, 1]


def relief_world(rows, cols, height, width, fill):
    """elevation_fields on a synthetic raster of ``rows`` x ``cols`` points set by ``fill``."""
    etopo = np.zeros((rows, cols), dtype=np.float32)
    fill(etopo)
    return t.elevation_fields(etopo, width, height, relief_radius=2)


def centred_window_columns(row, col, width, cols):
    """Grid columns within two points of the points nearest a field's centre, by exact arithmetic."""
    # With one field per grid column, field column c is centred on point c + width/2 (even
    # rows) or half way between that point and the next (odd rows).
    k = col + width // 2
    last = k + 2 if row % 2 == 0 else k + 3
    return {j % cols for j in range(k - 2, last + 1)}


@pytest.mark.parametrize("width", [24, 360, 4320])
def test_relief_window_is_centred_on_every_row(width):
    # A ridge along a single grid column: only the fields whose centred window reaches it
    # see relief, even and odd rows alike, at every longitude (floating-point columns
    # like 2159.9999999 included, which floor() would put one column west).
    rows, height = 13, 12
    for ridge in (0, 7, width // 2 - 1, width - 1):
        _, relief = relief_world(rows, width, height, width,
                                 lambda e: e.__setitem__((slice(None), ridge), 1000.0))
        for row in (4, 5):
            expected = np.array([ridge in centred_window_columns(row, c, width, width)
                                 for c in range(width)])
            assert_array_equal(relief[row] > 0, expected, err_msg=f"row {row}, ridge {ridge}")
            # Five fields see the ridge from an even row (centred on a point), six from an odd.
            assert expected.sum() == (5 if row % 2 == 0 else 6)


def test_single_peak_is_seen_alike_from_even_and_odd_rows():
    # A 2000 m peak at 0 E, 0 N on a 1-degree raster (one field per grid column).
    rows, cols, height, width = 181, 360, 180, 360
    elevation, relief = relief_world(rows, cols, height, width,
                                     lambda e: e.__setitem__((90, 0), 2000.0))
    rough = relief > 0
    # Rows 87..92 have centres within 2.5 points of the peak's row (centres lie between rows).
    assert_array_equal(np.flatnonzero(rough.any(axis=1)), np.arange(87, 93))
    for row in range(87, 93):
        cols_seen = np.flatnonzero(rough[row])
        centre = 180 if row % 2 == 0 else 179.5  # field column centred on 0 E
        # Symmetric about the peak: as far east as west of it, 2 or 2.5 columns.
        assert cols_seen.min() + cols_seen.max() == pytest.approx(2 * centre)
        assert len(cols_seen) == (5 if row % 2 == 0 else 6)
    # Elevation: an even-row field centred on the peak's column takes it alone and halves
    # it between the rows above and below; the field beside it on the grid gets nothing.
    assert elevation[90, 180] == pytest.approx(1000.0)
    assert elevation[90, 181] == 0.0 and elevation[90, 179] == 0.0
    # Odd-row fields on either side share it, a quarter each way of the bilinear weights.
    assert elevation[89, 179] == pytest.approx(500.0) and elevation[89, 180] == pytest.approx(500.0)
