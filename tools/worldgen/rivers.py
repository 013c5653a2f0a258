"""River network along field sides: selection, tracing, joining and width classes.

A river runs along hexagon sides.  Each centre line is sampled densely, every sample
is moved to its nearest hexagon corner (vertex), gaps between consecutive corners are
closed by the shortest path over sides and loops are cut, which gives a chain of
sides that follows the line within half a side.  Sides with water on either bank are
dropped, so a chain ends where the river reaches the sea or a lake.

>>> from .grid import SQRT3
>>> path = trace_path(np.array([0.0, SQRT3 * 2]), np.array([1.5, 1.5]), 10)
>>> len(path) >= 3
True
"""

import heapq
from collections import deque
from dataclasses import dataclass, field

import numpy as np

from .grid import edge_fields, lonlat_to_world, nearest_vertex, vertex_fields, vertex_neighbours
from .names import ascii_name

__all__ = [
    "RiverLine",
    "select_rivers",
    "trace_path",
    "remove_loops",
    "RiverNetwork",
    "trace_lines",
    "touching_lines",
    "join_ends",
    "accumulate",
    "upstream_sides",
    "width_class",
    "lake_numbers",
    "build_network",
    "side_records",
    "drainage_summary",
]

SAMPLE_STEP = 0.25  # world units between samples; a hexagon side is 1 long


@dataclass
class RiverLine:
    """One selected centre line with what the network needs to know about it."""

    lines: list  # list of (n, 2) lon/lat arrays
    name: str | None
    rank: int  # base width class 1..3 from scalerank / strokeweig
    priority: int  # lower wins when two lines share a side (name and width)
    river: str  # identity of the river, for bridges: the name or the layer's river number


# Selection rules (see tools/README.md):
# - main layer: rivers and lake centre lines of scalerank 0..9 (the world atlas set);
#   intermittent rivers and canals are left out;
# - Europe supplement: named rivers of at least 200 km;
# - North America supplement: named rivers of at least 400 km.
MAIN_MAX_SCALERANK = 9
SUPPLEMENT_MIN_KM = {"europe": 200.0, "north_america": 400.0}
MAIN_CLASSES = ("River", "Lake Centerline")
SUPPLEMENT_PRIORITY = 20  # supplement lines yield to main-layer lines of any scalerank
SUPPLEMENT_CLASSES = ("River", "Lake Centerline")


def _lines(geometry):
    if geometry is None:
        return []
    if geometry["type"] == "LineString":
        parts = [geometry["coordinates"]]
    elif geometry["type"] == "MultiLineString":
        parts = geometry["coordinates"]
    else:
        raise ValueError(f"not a line geometry: {geometry['type']}")
    return [np.asarray(p, dtype=np.float64)[:, :2] for p in parts if len(p) >= 2]


def line_km(line):
    """Length of a lon/lat polyline in kilometres (spherical approximation)."""
    lat = np.radians(line[:, 1])
    dx = np.diff(line[:, 0]) * np.cos(0.5 * (lat[1:] + lat[:-1])) * 111.2
    dy = np.diff(line[:, 1]) * 111.2
    return float(np.hypot(dx, dy).sum())


def _name(props):
    for key in ("name_de", "name"):
        value = props.get(key)
        if value:
            name = ascii_name(value)
            if name:
                return name
    return None


def main_rank(scalerank):
    """Base width class of a main-layer river: scalerank 0 to 4, the great rivers, get 2."""
    return 2 if scalerank <= 4 else 1


def supplement_rank(strokeweig):
    """Base width class of a supplement river from its stroke weight."""
    return 2 if (strokeweig or 0) >= 0.3 else 1


def select_rivers(main, europe, north_america):
    """RiverLines of the three layers (lists of GeoJSON features) by the rules above."""
    out = []
    for f in main:
        p = f["properties"]
        if p.get("featurecla") not in MAIN_CLASSES or p.get("scalerank", 99) > MAIN_MAX_SCALERANK:
            continue
        name = _name(p)
        river = name or f"main-{p.get('rivernum')}"
        out.append(RiverLine(_lines(f["geometry"]), name, main_rank(p["scalerank"]),
                             p["scalerank"], river))
    for layer, features in (("europe", europe), ("north_america", north_america)):
        groups = {}
        for f in features:
            p = f["properties"]
            if p.get("featurecla") not in SUPPLEMENT_CLASSES:
                continue
            name = _name(p)
            if name is None:
                continue
            groups.setdefault((name, p.get("rivernum")), []).append(f)
        for (name, _), members in sorted(groups.items(), key=lambda kv: str(kv[0])):
            lines = [ln for f in members for ln in _lines(f["geometry"])]
            if sum(line_km(ln) for ln in lines) < SUPPLEMENT_MIN_KM[layer]:
                continue
            weight = max(f["properties"].get("strokeweig") or 0 for f in members)
            out.append(RiverLine(lines, name, supplement_rank(weight), SUPPLEMENT_PRIORITY, name))
    return out


def _unwrap(x, period):
    d = np.diff(x)
    jumps = np.round(d / period) * period
    return x - np.r_[0.0, np.cumsum(jumps)]


def _norm(v, width):
    return (v[0] % (2 * width), v[1])


def _bfs(start, goal_test, width, max_depth, allowed=None):
    """Shortest vertex path from start to the first vertex passing goal_test."""
    start = _norm(start, width)
    if goal_test(start):
        return [start]
    parent = {start: None}
    frontier = deque([(start, 0)])
    while frontier:
        v, depth = frontier.popleft()
        if depth >= max_depth:
            continue
        for n in vertex_neighbours(*v):
            n = _norm(n, width)
            if n in parent or (allowed is not None and not allowed(v, n)):
                continue
            parent[n] = v
            if goal_test(n):
                path = [n]
                while parent[path[-1]] is not None:
                    path.append(parent[path[-1]])
                return path[::-1]
            frontier.append((n, depth + 1))
    return None


def trace_path(x, y, width):
    """Vertex path (list of (X, Y)) following a polyline given in world units."""
    x = _unwrap(np.asarray(x, dtype=np.float64), width * 3**0.5)
    y = np.asarray(y, dtype=np.float64)
    seg = np.hypot(np.diff(x), np.diff(y))
    n = np.maximum(np.ceil(seg / SAMPLE_STEP).astype(np.int64), 1)
    t = np.concatenate([np.arange(k) / k for k in n] + [np.array([1.0])]) if len(n) else np.array([0.0])
    idx = np.r_[np.repeat(np.arange(len(n)), n), len(n) - 1] if len(n) else np.array([0])
    if len(n):
        sx = x[idx] + (x[np.minimum(idx + 1, len(x) - 1)] - x[idx]) * t
        sy = y[idx] + (y[np.minimum(idx + 1, len(y) - 1)] - y[idx]) * t
    else:
        sx, sy = x, y
    vx, vy = nearest_vertex(sx, sy)
    vx = vx % (2 * width)
    keep = np.r_[True, (vx[1:] != vx[:-1]) | (vy[1:] != vy[:-1])]
    verts = list(zip(vx[keep].tolist(), vy[keep].tolist()))
    path = [verts[0]]
    for v in verts[1:]:
        u = path[-1]
        if v in [_norm(n, width) for n in vertex_neighbours(*u)]:
            path.append(v)
            continue
        step = _bfs(u, lambda w, v=v: w == v, width, 8)
        if step is None:  # cannot happen for consecutive samples; keep the line going
            path.append(v)
        else:
            path.extend(step[1:])
    return remove_loops(path)


def remove_loops(path):
    """Cut every loop out of a vertex path, so that no vertex occurs twice."""
    out = []
    where = {}
    for v in path:
        if v in where:
            cut = where[v]
            for w in out[cut + 1:]:
                del where[w]
            del out[cut + 1:]
            continue
        where[v] = len(out)
        out.append(v)
    return out


def _cell(hexagon, width, height):
    q, r = hexagon
    if not 0 <= r < height:
        return None
    return r * width + (q + r // 2) % width


@dataclass
class RiverNetwork:
    """River sides of the world grid with their attributes, built line by line."""

    width: int
    height: int
    water: np.ndarray  # bool (height, width): field is water
    edges: dict = field(default_factory=dict)  # (cell a, cell b) sorted -> edge index
    ends: list = field(default_factory=list)  # per edge: (vertex u, vertex v)
    rank: list = field(default_factory=list)  # base width class per edge
    priority: list = field(default_factory=list)
    name: list = field(default_factory=list)
    river: list = field(default_factory=list)
    vertex_edges: dict = field(default_factory=dict)  # vertex -> set of edge indices
    vertex_lines: dict = field(default_factory=dict)  # vertex -> set of line numbers
    main: list = field(default_factory=list)  # per edge: from the main layer

    def side_cells(self, u, v):
        """Cells on both banks of the side u-v, or None when one lies off the map."""
        a, b = edge_fields(u, v)
        ca, cb = _cell(a, self.width, self.height), _cell(b, self.width, self.height)
        if ca is None or cb is None:
            return None
        return ca, cb

    def land_side(self, u, v):
        """Both banks of side u-v are land fields on the map."""
        cells = self.side_cells(u, v)
        return cells is not None and not self.water.flat[cells[0]] and not self.water.flat[cells[1]]

    def wet(self, v):
        """A vertex touching water or the map's top or bottom edge."""
        for h in vertex_fields(*v):
            c = _cell(h, self.width, self.height)
            if c is None or self.water.flat[c]:
                return True
        return False

    def add_side(self, u, v, line, number):
        """Add side u-v for line ``number``; False when a bank is water or off the map."""
        cells = self.side_cells(u, v)
        if cells is None or self.water.flat[cells[0]] or self.water.flat[cells[1]]:
            return False
        self.vertex_lines.setdefault(u, set()).add(number)
        self.vertex_lines.setdefault(v, set()).add(number)
        key = (min(cells), max(cells))
        index = self.edges.get(key)
        if index is None:
            index = len(self.ends)
            self.edges[key] = index
            self.ends.append((u, v))
            self.rank.append(line.rank)
            self.priority.append(line.priority)
            self.name.append(line.name)
            self.river.append(line.river)
            self.main.append(line.priority < SUPPLEMENT_PRIORITY)
            self.vertex_edges.setdefault(u, set()).add(index)
            self.vertex_edges.setdefault(v, set()).add(index)
            return True
        self.rank[index] = max(self.rank[index], line.rank)
        self.main[index] = self.main[index] or line.priority < SUPPLEMENT_PRIORITY
        if line.priority < self.priority[index] or (self.name[index] is None and line.name):
            self.priority[index] = line.priority
            self.name[index] = line.name or self.name[index]
            self.river[index] = line.river
        return True

    def add_path(self, path, line, number):
        """Add the land sides of a vertex path; returns the indices of the sides added."""
        added = []
        for u, v in zip(path, path[1:]):
            if self.add_side(u, v, line, number):
                added.append(self.edges[self._key(u, v)])
        return added

    def _key(self, u, v):
        cells = self.side_cells(u, v)
        return (min(cells), max(cells))


def accumulate(ends, elevation_of, weights=None):
    """Upstream side count of every side of a river graph.

    ``ends`` lists the two vertices of every side (any hashable values).  Each
    connected part of the graph drains to its lowest vertex (``elevation_of``),
    normally the mouth at the sea or the lake the river ends in; flow follows the
    graph from there.  The value of a side is the total weight (default 1 per side)
    of the sides upstream of it, itself included.
    """
    weights = np.ones(len(ends)) if weights is None else np.asarray(weights, dtype=np.float64)
    adjacency = {}
    for i, (u, v) in enumerate(ends):
        adjacency.setdefault(u, []).append((v, i))
        adjacency.setdefault(v, []).append((u, i))
    parent = {}
    order = []
    seen = set()
    for start in adjacency:
        if start in seen:
            continue
        component = []
        stack = [start]
        seen.add(start)
        while stack:
            v = stack.pop()
            component.append(v)
            for n, _ in adjacency[v]:
                if n not in seen:
                    seen.add(n)
                    stack.append(n)
        # The outlet is the lowest vertex; chain ends win near-ties against the stem.
        root = min(component, key=lambda v: (elevation_of(v) - (len(adjacency[v]) == 1), str(v)))
        parent[root] = None
        queue = deque([root])
        while queue:
            v = queue.popleft()
            order.append(v)
            for n, i in adjacency[v]:
                if n not in parent:
                    parent[n] = (v, i)
                    queue.append(n)
    upstream = {v: 0.0 for v in adjacency}
    value = np.zeros(len(ends), dtype=np.float64)
    for v in reversed(order):
        link = parent[v]
        if link is not None:
            p, i = link
            value[i] = upstream[v] + weights[i]
            upstream[p] += upstream[v] + weights[i]
    for i, (u, v) in enumerate(ends):
        if value[i] == 0:  # a side off the drainage tree (braid, delta arm)
            value[i] = min(upstream[u], upstream[v]) + weights[i]
    return value


def upstream_sides(network, lake_of, elevation):
    """Upstream main-layer side count of every side, flowing through lakes.

    ``lake_of`` gives for a cell the number of its lake (0 for land and the open
    sea); chain ends touching the same lake are joined through it, so the Rhine
    below the Bodensee counts the Alpine Rhine.  Supplement sides get 0.
    ``elevation`` is the field elevation grid; the lowest vertex of a network is
    its outlet (a lake counts with its lowest shore).
    """
    width, height = network.width, network.height

    def land_elevation(v):
        vals = []
        for q, r in vertex_fields(*v):
            if 0 <= r < height:
                c = (q + r // 2) % width
                if not network.water[r, c]:
                    vals.append(float(elevation[r, c]))
        return float(np.mean(vals)) if vals else 0.0

    main = [i for i, m in enumerate(network.main) if m]
    ends = [network.ends[i] for i in main]
    weights = [1.0] * len(ends)
    degree = {}
    for u, v in ends:
        degree[u] = degree.get(u, 0) + 1
        degree[v] = degree.get(v, 0) + 1
    lake_level = {}
    for v, d in degree.items():
        if d != 1:
            continue
        lakes = set()
        for q, r in vertex_fields(*v):
            if 0 <= r < height:
                lake = int(lake_of[r, (q + r // 2) % width])
                if lake:
                    lakes.add(lake)
        for lake in lakes:
            node = ("lake", lake)
            ends.append((v, node))
            weights.append(0.0)
            lake_level[node] = min(lake_level.get(node, np.inf), land_elevation(v))

    def elevation_of(v):
        if v in lake_level:
            return lake_level[v]
        return land_elevation(v)

    value = accumulate(ends, elevation_of, weights)
    out = np.zeros(len(network.ends), dtype=np.int64)
    out[main] = np.rint(value[: len(main)]).astype(np.int64)
    return out


# Upstream side counts for the wide classes: about 700 km and 1,800 km of river
# network above a side (a side is 5 to 9 km long).
CLASS2_UPSTREAM = 100
CLASS3_UPSTREAM = 250


def width_class(rank, upstream):
    """Width class of a side: its line's base class, raised by the network above it."""
    rank = np.asarray(rank)
    upstream = np.asarray(upstream)
    by_size = 1 + (upstream >= CLASS2_UPSTREAM) + (upstream >= CLASS3_UPSTREAM)
    return np.maximum(rank, by_size).astype(np.int64)


def trace_lines(network, lines):
    """Trace every RiverLine into the network.

    Returns one record per traced part: (line number, first vertex, last vertex,
    first lon/lat, last lon/lat).
    """
    ends = []
    for number, line in enumerate(lines):
        for part in line.lines:
            x, y = lonlat_to_world(part[:, 0], part[:, 1], network.width, network.height)
            path = trace_path(x, y, network.width)
            if len(path) >= 2:
                network.add_path(path, line, number)
            ends.append((number, path[0], path[-1], tuple(part[0]), tuple(part[-1])))
    return ends


def _point_segment_distance(p, a, b):
    ab = b - a
    t = np.clip(((p - a) * ab).sum(axis=1) / np.maximum((ab * ab).sum(axis=1), 1e-18), 0, 1)
    closest = a + ab * t[:, None]
    return np.hypot(*(closest - p).T)


def touching_lines(lines, points, tolerance):
    """For every (line number, lon, lat) point: the other line numbers passing within tolerance."""
    cell = max(tolerance * 4, 0.05)
    buckets = {}
    segments = []
    for number, line in enumerate(lines):
        for part in line.lines:
            for a, b in zip(part[:-1], part[1:]):
                index = len(segments)
                segments.append((a, b, number))
                lo = np.floor(np.minimum(a, b) / cell).astype(int)
                hi = np.floor(np.maximum(a, b) / cell).astype(int)
                for i in range(lo[0], hi[0] + 1):
                    for j in range(lo[1], hi[1] + 1):
                        buckets.setdefault((i, j), []).append(index)
    out = []
    for number, lon, lat in points:
        key = (int(np.floor(lon / cell)), int(np.floor(lat / cell)))
        found = set()
        candidates = [s for di in (-1, 0, 1) for dj in (-1, 0, 1)
                      for s in buckets.get((key[0] + di, key[1] + dj), ())]
        candidates = [s for s in set(candidates) if segments[s][2] != number]
        if candidates:
            a = np.array([segments[s][0] for s in candidates])
            b = np.array([segments[s][1] for s in candidates])
            d = _point_segment_distance(np.array([lon, lat]), a, b)
            found = {segments[s][2] for s, dist in zip(candidates, d) if dist <= tolerance}
        out.append(found)
    return out


def _cheapest(network, start, goal_test, cost_of, max_cost):
    """Cheapest vertex path over land sides from start to a vertex passing goal_test."""
    start = _norm(start, network.width)
    best = {start: 0.0}
    parent = {start: None}
    heap = [(0.0, start)]
    while heap:
        cost, v = heapq.heappop(heap)
        if cost > best.get(v, np.inf):
            continue
        if goal_test(v):
            path = [v]
            while parent[path[-1]] is not None:
                path.append(parent[path[-1]])
            return path[::-1]
        for n in vertex_neighbours(*v):
            n = _norm(n, network.width)
            if not network.land_side(v, n):
                continue
            c = cost + cost_of(v, n)
            if c <= max_cost and c < best.get(n, np.inf):
                best[n] = c
                parent[n] = v
                heapq.heappush(heap, (c, n))
    return None


JUNCTION_TOLERANCE = 0.02  # degrees: a line end this close to another line joins it
JUNCTION_STEPS = 6  # sides searched to join a tributary to its river
MOUTH_COST = 40.0  # cost budget to lead a river end down its estuary to open water


def join_ends(network, lines, ends, landshare, near_water):
    """Join line ends to the rivers and waters they end at in the source.

    An end that the source draws on another line is led over at most JUNCTION_STEPS
    land sides to that line's sides.  An end that the source draws at the sea or a
    lake (``near_water`` of its lon/lat) is led to the nearest vertex touching water,
    along the cheapest path where each side costs 0.2 plus the mean land share of its
    banks, so the path follows estuaries too narrow to be water fields.
    Returns counts of what happened.
    """
    points = []
    for number, _, _, p0, p1 in ends:
        points.append((number, p0[0], p0[1]))
        points.append((number, p1[0], p1[1]))
    touching = touching_lines(lines, points, JUNCTION_TOLERANCE)
    stats = {"at_water": 0, "at_river": 0, "led_to_river": 0, "led_to_water": 0,
             "open": 0, "source": 0}

    def side_cost(u, v):
        a, b = network.side_cells(u, v)
        return 0.2 + 0.5 * (landshare.flat[a] + landshare.flat[b])

    for k, (number, first, last, p0, p1) in enumerate(ends):
        for vertex, point, others in ((first, p0, touching[2 * k]), (last, p1, touching[2 * k + 1])):
            vertex = _norm(vertex, network.width)
            line = lines[number]
            if network.wet(vertex):
                stats["at_water"] += 1
                continue
            if others:
                if network.vertex_lines.get(vertex, set()) & others:
                    stats["at_river"] += 1
                    continue
                path = _bfs(vertex, lambda w: bool(network.vertex_lines.get(w, set()) & others),
                            network.width, JUNCTION_STEPS, allowed=network.land_side)
                if path is not None:
                    network.add_path(path, line, number)
                    stats["led_to_river"] += 1
                    continue
            if near_water(*point):
                path = _cheapest(network, vertex, network.wet, side_cost, MOUTH_COST)
                if path is not None:
                    network.add_path(path, line, number)
                    stats["led_to_water"] += 1
                    continue
                stats["open"] += 1
            elif others:
                stats["open"] += 1
            else:
                stats["source"] += 1
    return stats


def lake_numbers(water, keep_largest=False):
    """Number of the water body of every cell (8-connected groups), 0 for land.

    Unless ``keep_largest`` is set, the largest body is taken for the open sea and
    also gets 0.
    """
    from scipy import ndimage

    labels, count = ndimage.label(water, structure=np.ones((3, 3)))
    if count and not keep_largest:
        sizes = np.bincount(labels.ravel())
        sizes[0] = 0
        labels[labels == int(np.argmax(sizes))] = 0
    return labels


def near_water_test(water, landshare, radius=1, threshold=0.9):
    """Function (lon, lat) -> whether the source draws water within ``radius`` fields."""
    height, width = water.shape

    def near(lon, lat):
        r = int(np.clip((90.0 - lat) * height / 180.0, 0, height - 1))
        c = int(np.floor((lon + 180.0) * width / 360.0))
        rows = np.clip(np.arange(r - radius, r + radius + 1), 0, height - 1)
        cols = np.arange(c - radius, c + radius + 1) % width
        window = np.ix_(rows, cols)
        return bool(water[window].any() or landshare[window].min() < threshold)

    return near


def build_network(main, europe, north_america, water, landshare, elevation, inland):
    """The whole river stage: select, trace, join and classify.

    ``inland`` marks the water fields of lakes and inland seas, through which the
    drainage is followed.  Returns (network, width classes per side, statistics).
    """
    height, width = water.shape
    lines = select_rivers(main, europe, north_america)
    network = RiverNetwork(width, height, water)
    ends = trace_lines(network, lines)
    stats = join_ends(network, lines, ends, landshare, near_water_test(water, landshare))
    upstream = upstream_sides(network, lake_numbers(inland, keep_largest=True), elevation)
    classes = width_class(network.rank, upstream)
    stats["lines"] = len(lines)
    stats["sides"] = len(network.ends)
    stats["systems"], stats["systems_reaching_water"] = drainage_summary(network)
    return network, classes, stats


def side_records(network):
    """Owner cell and forward direction (0..2) of every side, for the river rows."""
    from .grid import edge_direction

    width = network.width
    owners = np.zeros(len(network.ends), dtype=np.int64)
    directions = np.zeros(len(network.ends), dtype=np.int64)
    for (a, b), index in network.edges.items():
        ra, ca = divmod(a, width)
        rb, cb = divmod(b, width)
        (c, r), d = edge_direction((ca, ra), (cb, rb), width)
        owners[index] = r * width + c
        directions[index] = d
    return owners, directions


def drainage_summary(network):
    """(number of connected river systems, how many of them reach the sea or a lake)."""
    parent = {}

    def find(v):
        while parent.setdefault(v, v) != v:
            parent[v] = parent[parent[v]]
            v = parent[v]
        return v

    for u, v in network.ends:
        ru, rv = find(u), find(v)
        if ru != rv:
            parent[ru] = rv
    wet_roots = {find(v) for v in list(parent) if network.wet(v)}
    roots = {find(v) for v in list(parent)}
    return len(roots), len(wet_roots)
