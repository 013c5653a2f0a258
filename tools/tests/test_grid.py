"""Field geometry: centres, neighbours across the seam, edge owners and hexagon corners."""

import numpy as np
import pytest
from numpy.testing import assert_allclose

from worldgen import grid


def test_field_centres_follow_odd_rows_half_a_column_east():
    assert grid.field_lonlat(0, 0, 4320, 2160) == pytest.approx((-180.0, 90 - 90 / 2160))
    lon, lat = grid.field_lonlat(0, 1, 4320, 2160)
    assert lon == pytest.approx(-180 + 0.5 / 12)
    assert lat == pytest.approx(90 - 1.5 / 12)
    # The last column of an odd row sits half a field before the seam.
    assert grid.field_lonlat(4319, 1, 4320, 2160)[0] == pytest.approx(180 - 0.5 / 12)


def test_field_centres_land_on_hex_centres_in_world_units():
    rows = np.array([0, 1, 2, 7])
    cols = np.array([0, 5, 11, 3])
    lon, lat = grid.field_lonlat(cols, rows, 12, 8)
    x, y = grid.lonlat_to_world(lon, lat, 12, 8)
    q = grid.offset_to_axial(cols, rows)
    assert_allclose(x, grid.SQRT3 * (q + rows / 2))
    assert_allclose(y, 1.5 * rows)
    hq, hr = grid.world_to_hex(x, y)
    assert hq.tolist() == q.tolist() and hr.tolist() == rows.tolist()


@pytest.mark.parametrize("row", [0, 1, 2, 3])
def test_forward_neighbours_wrap_at_the_seam(row):
    width = 10
    east = grid.neighbour(width - 1, row, 0, width)
    assert east == (0, row)
    below_right = grid.neighbour(width - 1, row, 1, width)
    below_left = grid.neighbour(0, row, 2, width)
    # Even rows lie half a field west of the odd rows below them.
    assert below_right == ((width - 1 + row % 2) % width, row + 1)
    assert below_left == ((row % 2 - 1) % width, row + 1)


@pytest.mark.parametrize("col,row", [(0, 0), (5, 1), (9, 2), (0, 3)])
def test_each_edge_has_exactly_one_owner(col, row):
    width = 10
    owners = set()
    q = col - row // 2
    for dq, dr in ((1, 0), (1, -1), (0, -1), (-1, 0), (-1, 1), (0, 1)):
        r = row + dr
        other = ((q + dq + r // 2) % width, r)
        (oc, orow), direction = grid.edge_direction((col, row), other, width)
        assert grid.neighbour(oc, orow, direction, width) in {(col, row), other}
        assert (oc, orow) in {(col, row), other}
        owners.add(((oc, orow), direction))
    assert len(owners) == 6


def test_edge_direction_refuses_fields_that_are_not_neighbours():
    with pytest.raises(ValueError, match="not neighbours"):
        grid.edge_direction((0, 0), (2, 0), 10)


def test_vertex_graph_is_symmetric_and_sides_separate_neighbours():
    xs, ys = grid.hex_corners(3, 4)
    corners = list(zip(xs.tolist(), ys.tolist()))
    for i, u in enumerate(corners):
        v = corners[(i + 1) % 6]
        assert v in grid.vertex_neighbours(*u)
        assert u in grid.vertex_neighbours(*v)
        a, b = grid.edge_fields(u, v)
        assert (3, 4) in (a, b)
        other = b if a == (3, 4) else a
        assert (other[0] - 3, other[1] - 4) in {(1, 0), (1, -1), (0, -1), (-1, 0), (-1, 1), (0, 1)}


def test_sides_in_outline_order_face_east_first():
    # Corner 1 to corner 2 is the east side, corner 0 to 1 the north-east side.
    xs, ys = grid.hex_corners(0, 0)
    c = list(zip(xs.tolist(), ys.tolist()))
    assert set(grid.edge_fields(c[1], c[2])) == {(0, 0), (1, 0)}
    assert set(grid.edge_fields(c[0], c[1])) == {(0, 0), (1, -1)}


def test_nearest_vertex_of_a_corner_and_of_points_near_it():
    xs, ys = grid.hex_corners(2, 2)
    for cx, cy in zip(xs, ys):
        x, y = cx * grid.SQRT3 / 2, cy / 2
        for dx, dy in ((0, 0), (0.1, 0.05), (-0.1, -0.1)):
            vx, vy = grid.nearest_vertex(np.array([x + dx]), np.array([y + dy]))
            assert (int(vx[0]), int(vy[0])) == (cx, cy)


def test_world_to_hex_rounds_points_inside_the_hexagon():
    x, y = grid.SQRT3 * (4 + 3 / 2), 1.5 * 3
    q, r = grid.world_to_hex(np.array([x, x + 0.8, x, x - 0.5]), np.array([y, y, y + 0.9, y - 0.5]))
    assert q.tolist() == [4, 4, 4, 4] and r.tolist() == [3, 3, 3, 3]


def test_vertex_functions_refuse_hex_centres():
    with pytest.raises(ValueError):
        grid.vertex_neighbours(0, 3)
    with pytest.raises(ValueError):
        grid.edge_fields((0, 1), (5, 10))
