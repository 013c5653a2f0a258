"""Scan-line rasterisation: coverage shares, holes, the seam and the country pass rule."""

import numpy as np
import pytest
from conftest import square
from numpy.testing import assert_allclose

from worldgen import raster

# 360 x 180 grid: one-degree fields.  Row r has its centres at latitude 89.5 - r;
# even rows have centres on whole longitudes, odd rows on half degrees.


def test_polygons_of_reads_both_geometry_types_and_skips_degenerate_rings():
    poly = {"type": "Polygon", "coordinates": [square(0, 0, 1, 1).tolist(), [[0, 0], [1, 1]]]}
    multi = {"type": "MultiPolygon", "coordinates": [[square(0, 0, 1, 1).tolist()]] * 2}
    assert len(raster.polygons_of(poly)) == 1 and len(raster.polygons_of(poly)[0]) == 1
    assert len(raster.polygons_of(multi)) == 2
    assert raster.polygons_of(None) == []
    with pytest.raises(ValueError, match="LineString"):
        raster.polygons_of({"type": "LineString", "coordinates": []})


def test_coverage_of_a_square_split_between_fields():
    # Odd row 89 (latitude 0.5): fields span [c - 180, c - 179]; the square covers
    # half of field 180 and half of field 181.
    cov = raster.coverage_grid([[square(0.5, 0, 1.5, 1)]], 360, 180, 4)
    assert_allclose(cov[89, 180:182], [0.5, 0.5])
    assert cov.sum() == pytest.approx(1.0)


def test_hole_is_not_covered_and_overlaps_count_once():
    ring = square(-2, -2, 2, 2)
    hole = square(-1, -1, 1, 1)
    cov = raster.coverage_grid([[ring, hole]], 360, 180, 4)
    assert cov.sum() == pytest.approx(16 - 4)
    doubled = raster.coverage_grid([[ring], [ring]], 360, 180, 4)
    assert doubled.max() == pytest.approx(1.0)


def test_coverage_wraps_across_the_antimeridian():
    # Even row 88 (latitude 1.5): field 0 spans [-180.5, -179.5], half of it east of 180.
    east = raster.coverage_grid([[square(179.5, 1, 180, 2)]], 360, 180, 4)
    assert east[88, 0] == pytest.approx(0.5)
    both = raster.coverage_grid([[square(179.5, 1, 180, 2)], [square(-180, 1, -179.5, 2)]], 360, 180, 4)
    assert both[88, 0] == pytest.approx(1.0)
    assert both.sum() == pytest.approx(1.0)


def test_feature_coverage_keeps_features_apart():
    feat, row, col, share = raster.feature_coverage(
        [[[square(0, 0, 1, 1)]], [[square(0, 0, 1, 1)]], []], 360, 180, 4)
    assert sorted(set(feat.tolist())) == [0, 1]
    assert_allclose(share, 1.0)
    assert set(zip(row.tolist(), col.tolist())) == {(89, 180)}


def test_empty_input_gives_empty_results():
    assert raster.coverage_grid([], 36, 18, 2).sum() == 0
    feat, row, col, share = raster.feature_coverage([], 36, 18, 2)
    assert len(feat) == len(share) == 0
    assert (raster.country_pass([], 36, 18) == raster.NO_OWNER).all()


def test_country_pass_claims_centres_in_half_open_intervals():
    # Even row 88 has centres on whole longitudes: x0 = 0 is claimed, x1 = 3 is not.
    grid = raster.country_pass([[[square(0, 1, 3, 2)]]], 360, 180)
    assert np.flatnonzero(grid[88] == 0).tolist() == [180, 181, 182]
    assert (grid[[87, 89]] == raster.NO_OWNER).all()


def test_country_pass_first_country_keeps_contested_fields():
    first = [[square(0, 0, 4, 4)]]
    second = [[square(2, 0, 6, 4)]]
    grid = raster.country_pass([first, second], 360, 180)
    assert grid[88, 182] == 0 and grid[88, 185] == 1
    grid = raster.country_pass([second, first], 360, 180)
    assert grid[88, 182] == 0 and grid[88, 181] == 1


def test_country_pass_leaves_lake_holes_open():
    grid = raster.country_pass([[[square(-5, -5, 5, 5), square(-1, -1, 1, 1)]]], 360, 180)
    assert grid[89, 180] == raster.NO_OWNER  # centre (0.5, 0.5) lies in the hole
    assert grid[89, 183] == 0


def test_vertex_exactly_on_a_scan_line_adds_no_stray_crossing():
    # The apex lies on the centre line of row 89 (latitude 0.5): the row stays empty,
    # the row below is filled symmetrically.
    triangle = np.array([[0.0, 0.5], [4.0, -3.0], [-4.0, -3.0], [0.0, 0.5]])
    grid = raster.country_pass([[[triangle]]], 360, 180)
    assert (grid[89] == raster.NO_OWNER).all()
    assert np.flatnonzero(grid[90] == 0).tolist() == [179, 180, 181]
