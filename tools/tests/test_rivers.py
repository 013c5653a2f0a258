"""River tracing: chains of sides, loops, water banks, joining, drainage and width classes."""

import numpy as np
import pytest

from worldgen import grid, rivers


def line_feature(coords, **props):
    base = {"featurecla": "River", "scalerank": 5, "name": None, "name_de": None, "rivernum": 1}
    base.update(props)
    return {"geometry": {"type": "LineString", "coordinates": coords}, "properties": base}


def assert_chain(path):
    for u, v in zip(path, path[1:]):
        assert v in [(x % 200, y) for x, y in grid.vertex_neighbours(*u)], (u, v)
    assert len(set(path)) == len(path)


@pytest.mark.parametrize("x,y", [
    ([0.3, 20.0], [7.2, 7.2]),  # along a row
    ([5.0, 5.0], [2.0, 30.0]),  # across rows
    ([1.0, 9.0, 3.0, 12.0], [3.0, 11.0, 19.0, 25.0]),  # a zigzag
])
def test_traced_paths_are_connected_chains_close_to_the_line(x, y):
    path = rivers.trace_path(np.array(x), np.array(y), 100)
    assert_chain(path)
    vx = np.array([p[0] for p in path]) * grid.SQRT3 / 2
    vy = np.array([p[1] for p in path]) / 2
    assert np.hypot(vx[0] - x[0], vy[0] - y[0]) <= 1.0
    assert np.hypot(vx[-1] - x[-1], vy[-1] - y[-1]) <= 1.0


def test_trace_crosses_the_seam_without_a_gap():
    width = 100
    period = width * grid.SQRT3
    path = rivers.trace_path(np.array([period - 3.0, period + 3.0]), np.array([10.5, 10.5]), width)
    assert_chain([(x, y) for x, y in path])
    assert len(path) < 12


def test_remove_loops_keeps_the_first_visit():
    assert rivers.remove_loops([1, 2, 3, 2, 4]) == [1, 2, 4]
    assert rivers.remove_loops([1, 2, 1, 3, 4, 5, 3, 6]) == [1, 3, 6]
    assert rivers.remove_loops([]) == []


def make_network(water_cells=()):
    water = np.zeros((20, 40), dtype=bool)
    for r, c in water_cells:
        water[r, c] = True
    return rivers.RiverNetwork(40, 20, water)


LINE = rivers.RiverLine([], "Donau", 1, 2, "Donau")


def test_sides_with_a_water_bank_are_dropped():
    net = make_network([(5, 10)])
    xs, ys = grid.hex_corners(10 - 5 // 2, 5)  # corners of field (column 10, row 5)
    corners = list(zip(xs.tolist(), ys.tolist()))
    assert not net.add_side(corners[0], corners[1], LINE, 0)
    assert net.ends == [] and net.wet(corners[0])
    xs, ys = grid.hex_corners(3, 8)
    corners = list(zip(xs.tolist(), ys.tolist()))
    assert net.add_side(corners[1], corners[2], LINE, 0)
    assert not net.wet(corners[1])


def test_shared_sides_keep_the_wider_class_and_the_main_name():
    net = make_network()
    xs, ys = grid.hex_corners(3, 8)
    u, v = (int(xs[1]), int(ys[1])), (int(xs[2]), int(ys[2]))
    net.add_side(u, v, rivers.RiverLine([], None, 1, 20, "x"), 0)
    net.add_side(v, u, rivers.RiverLine([], "Inn", 2, 8, "Inn"), 1)
    net.add_side(u, v, rivers.RiverLine([], "Salzach", 1, 20, "Salzach"), 2)
    assert len(net.ends) == 1
    assert (net.rank[0], net.name[0], net.main[0]) == (2, "Inn", True)


def test_sides_off_the_top_or_bottom_row_are_not_added():
    net = make_network()
    xs, ys = grid.hex_corners(0, 0)
    assert not net.add_side((int(xs[5]), int(ys[5])), (int(xs[0]), int(ys[0])), LINE, 0)
    assert net.wet((int(xs[0]), int(ys[0])))  # the map edge counts as an outlet


def test_selection_rules():
    main = [
        line_feature([[0, 0], [1, 1]], scalerank=9, name_de="Moldau"),
        line_feature([[0, 0], [1, 1]], scalerank=10, name_de="Bach"),
        line_feature([[0, 0], [1, 1]], featurecla="River (Intermittent)", name="Wadi"),
        line_feature([[0, 0], [1, 1]], featurecla="Canal", name="Kanal"),
        line_feature([[0, 0], [1, 1]], scalerank=4, name="Rhine", name_de="Rhein", rivernum=7),
    ]
    long_line = [[10.0, 48.0], [13.0, 48.0]]  # about 220 km
    europe = [
        line_feature(long_line, scalerank=10, name="Isar", strokeweig=0.2, rivernum=3),
        line_feature(long_line, scalerank=10, name=None, rivernum=4),
        line_feature([[10.0, 48.0], [10.5, 48.0]], scalerank=10, name="Kurz", rivernum=5),
    ]
    lines = rivers.select_rivers(main, europe, [])
    assert [(ln.name, ln.rank, ln.priority) for ln in lines] == [
        ("Moldau", 1, 9), ("Rhein", 2, 4), ("Isar", 1, rivers.SUPPLEMENT_PRIORITY)]
    assert lines[0].river == "Moldau"


def test_drainage_counts_upstream_sides_towards_the_lowest_end():
    # A main stem a-b-c-d with a tributary e-b; d is the mouth (lowest).
    ends = [("a", "b"), ("b", "c"), ("c", "d"), ("e", "b")]
    height = {"a": 500, "b": 300, "c": 100, "d": 0, "e": 800}
    up = rivers.accumulate(ends, height.get)
    assert up.tolist() == [1, 3, 4, 1]


def test_drainage_passes_zero_weight_links_and_handles_loops():
    ends = [("a", "b"), ("b", "lake"), ("lake", "c"), ("c", "d"), ("c", "x"), ("x", "d")]
    height = {"a": 400, "b": 380, "lake": 350, "c": 200, "d": 0, "x": 100}
    up = rivers.accumulate(ends, height.get, [1, 0, 0, 1, 1, 1])
    assert up[3] == 2 and up[0] == 1  # the lake links add nothing
    assert up[4] >= 1 and up[5] >= 1  # the braid side gets a count too


def test_width_class_rises_with_the_network_above():
    rank = [1, 1, 1, 2, 3]
    up = [0, rivers.CLASS2_UPSTREAM, rivers.CLASS3_UPSTREAM, 0, 0]
    assert rivers.width_class(rank, up).tolist() == [1, 2, 3, 2, 3]


def test_touching_lines_finds_the_line_a_tributary_ends_on():
    lines = [rivers.RiverLine([np.array([[0.0, 0.0], [2.0, 0.0]])], "A", 1, 1, "A"),
             rivers.RiverLine([np.array([[1.0, 1.0], [1.0, 0.001]])], "B", 1, 1, "B")]
    found = rivers.touching_lines(lines, [(1, 1.0, 0.001), (1, 1.0, 1.0), (0, 0.0, 0.0)], 0.02)
    assert found == [{0}, set(), set()]


def test_a_river_ending_short_of_the_sea_is_led_to_it():
    width, height = 40, 20
    water = np.zeros((height, width), dtype=bool)
    water[:, 30:] = True
    landshare = np.where(water, 0.0, 1.0)
    net = rivers.RiverNetwork(width, height, water)
    y = 1.5 * 10
    line = rivers.RiverLine([], "Fluss", 1, 5, "Fluss")
    path = rivers.trace_path(np.array([10.0, 40.0]), np.array([y, y]), width)
    net.add_path(path, line, 0)
    end = path[-1]
    assert not net.wet(end)
    lon, lat = 180.0, 0.0
    stats = rivers.join_ends(net, [line], [(0, path[0], end, (lon, lat), (lon, lat))], landshare,
                             lambda lon, lat: True)
    assert stats["led_to_water"] >= 1
    tips = [v for v in net.vertex_edges if len(net.vertex_edges[v]) == 1]
    assert any(net.wet(v) for v in tips)


def test_lake_numbers_leave_the_sea_out():
    water = np.zeros((6, 10), dtype=bool)
    water[:, :4] = True  # sea
    water[2, 7] = True  # a lake
    labels = rivers.lake_numbers(water)
    assert (labels[:, :4] == 0).all() and labels[2, 7] > 0


def test_drainage_summary_counts_systems_that_reach_water():
    net = make_network([(10, 20)])
    xs, ys = grid.hex_corners(20 - 5, 10)  # field (column 20, row 10) is water
    corners = list(zip(xs.tolist(), ys.tolist()))
    # A chain ending at a corner of the water field, and a separate dry chain.
    up = grid.vertex_neighbours(*corners[0])
    start = [v for v in up if v not in corners][0]
    net.add_side(start, corners[0], LINE, 0)
    xs, ys = grid.hex_corners(3, 3)
    net.add_side((int(xs[1]), int(ys[1])), (int(xs[2]), int(ys[2])), LINE, 1)
    assert rivers.drainage_summary(net) == (2, 1)
