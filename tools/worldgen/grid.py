"""Geometry of the odd-r world grid: field centres, neighbours, edges and hexagon corners.

The world map has ``W`` columns and ``H`` rows.  Field (column c, row r) lies at
longitude ``(c + 0.5 * (r % 2)) * 360 / W - 180`` and latitude
``90 - (r + 0.5) * 180 / H``; its axial coordinates are ``q = c - r // 2``.

World units put hex centres at ``x = sqrt(3) * (q + r / 2)``, ``y = 1.5 * r``.
Hexagon corners ("vertices") are addressed by the integers ``X = 2x / sqrt(3)`` and
``Y = 2y``; a centre has ``X = 2q + r`` and ``Y = 3r``, so vertices are exact integer
pairs and the east-west period is ``2 * W`` in X.

>>> field_lonlat(0, 0, 4320, 2160)
(-180.0, 89.95833333333333)
>>> neighbour(4319, 1, 0, 4320)
(0, 1)
"""

import numpy as np

__all__ = [
    "SQRT3",
    "field_lonlat",
    "lonlat_to_world",
    "world_to_hex",
    "offset_to_axial",
    "axial_to_offset",
    "neighbour",
    "edge_direction",
    "hex_corners",
    "nearest_vertex",
    "vertex_neighbours",
    "edge_fields",
    "vertex_fields",
]

SQRT3 = 3.0**0.5

# Corner offsets (dX, dY) of a hexagon around its centre, corner 0 at the top and
# then clockwise on screen (y grows downwards).
CORNER_DX = np.array([0, 1, 1, 0, -1, -1])
CORNER_DY = np.array([-2, -1, 1, 2, 1, -1])


def field_lonlat(col, row, width, height):
    """Longitude and latitude of the centre of field (col, row); works on arrays."""
    col = np.asarray(col, dtype=np.float64)
    row = np.asarray(row)
    lon = (col + 0.5 * (row % 2)) * 360.0 / width - 180.0
    lat = 90.0 - (row + 0.5) * 180.0 / height
    if lon.ndim == 0 and np.ndim(lat) == 0:
        return float(lon), float(lat)
    return lon, lat


def lonlat_to_world(lon, lat, width, height):
    """World units (x, y) of a geographic point; the field centres map onto hex centres."""
    lon = np.asarray(lon, dtype=np.float64)
    lat = np.asarray(lat, dtype=np.float64)
    x = SQRT3 * (lon + 180.0) * width / 360.0
    y = 1.5 * ((90.0 - lat) * height / 180.0 - 0.5)
    return x, y


def world_to_hex(x, y):
    """Axial (q, r) of the hexagon containing world point (x, y), by cube rounding."""
    x = np.asarray(x, dtype=np.float64)
    y = np.asarray(y, dtype=np.float64)
    fq = x / SQRT3 - y / 3.0
    fr = y * 2.0 / 3.0
    fs = -fq - fr

    def round_away(v):
        return np.where(v >= 0, np.floor(v + 0.5), -np.floor(-v + 0.5))

    q, r, s = round_away(fq), round_away(fr), round_away(fs)
    dq, dr, ds = abs(q - fq), abs(r - fr), abs(s - fs)
    fix_q = (dq > dr) & (dq > ds)
    fix_r = ~fix_q & (dr > ds)
    q = np.where(fix_q, -r - s, q)
    r = np.where(fix_r, -q - s, r)
    return q.astype(np.int64), r.astype(np.int64)


def offset_to_axial(col, row):
    """Axial q of the field at (col, row) of an odd-r map."""
    return col - row // 2


def axial_to_offset(q, r, width):
    """Stored column (wrapped into [0, width)) of axial hex (q, r)."""
    return (q + r // 2) % width


# Forward directions of the river rows: 0 east (q+1, r), 1 below right (q, r+1),
# 2 below left (q-1, r+1).  Each edge is stored once, at the field above or west of it.
FORWARD = ((1, 0), (0, 1), (-1, 1))


def neighbour(col, row, direction, width):
    """Stored (col, row) of the neighbour of a field in forward direction 0, 1 or 2."""
    dq, dr = FORWARD[direction]
    q = offset_to_axial(col, row) + dq
    r = row + dr
    return axial_to_offset(q, r, width), r


def edge_direction(a, b, width):
    """Owner field and forward direction of the edge between neighbouring fields.

    ``a`` and ``b`` are (col, row) pairs.  Returns ((col, row), direction) with the
    owner being the field the river rows store the edge at.  Raises ValueError when
    the fields are not neighbours.
    """
    for first, second in ((a, b), (b, a)):
        for d in range(3):
            if neighbour(first[0], first[1], d, width) == (second[0] % width, second[1]):
                return (first[0], first[1]), d
    raise ValueError(f"fields {a} and {b} are not neighbours")


def hex_corners(q, r):
    """Integer vertex coordinates (X, Y) of the six corners of hex (q, r)."""
    cx = 2 * np.asarray(q) + np.asarray(r)
    cy = 3 * np.asarray(r)
    return cx[..., None] + CORNER_DX, cy[..., None] + CORNER_DY


def nearest_vertex(x, y):
    """Integer vertex (X, Y) nearest to world point(s) (x, y).

    The nearest lattice vertex is always a corner of the hexagon containing the point.
    """
    x = np.asarray(x, dtype=np.float64)
    y = np.asarray(y, dtype=np.float64)
    q, r = world_to_hex(x, y)
    vx, vy = hex_corners(q, r)
    dx = vx * (SQRT3 / 2.0) - x[..., None]
    dy = vy * 0.5 - y[..., None]
    best = np.argmin(dx * dx + dy * dy, axis=-1)
    take = np.expand_dims(best, -1)
    return (np.take_along_axis(vx, take, -1)[..., 0], np.take_along_axis(vy, take, -1)[..., 0])


def vertex_neighbours(vx, vy):
    """The three vertices joined to vertex (vx, vy) by a hexagon side."""
    if vy % 3 == 1:  # top corner of the hex below it
        return [(vx - 1, vy + 1), (vx + 1, vy + 1), (vx, vy - 2)]
    if vy % 3 == 2:  # bottom corner of the hex above it
        return [(vx - 1, vy - 1), (vx + 1, vy - 1), (vx, vy + 2)]
    raise ValueError(f"({vx}, {vy}) is a hex centre, not a vertex")


def _centre_to_axial(cx, cy):
    r = cy // 3
    return (cx - r) // 2, r


def vertex_fields(vx, vy):
    """Axial hexes (q, r) of the three fields meeting at a vertex."""
    if vy % 3 == 1:
        centres = [(vx, vy + 2), (vx - 1, vy - 1), (vx + 1, vy - 1)]
    elif vy % 3 == 2:
        centres = [(vx, vy - 2), (vx - 1, vy + 1), (vx + 1, vy + 1)]
    else:
        raise ValueError(f"({vx}, {vy}) is a hex centre, not a vertex")
    return [_centre_to_axial(cx, cy) for cx, cy in centres]


def edge_fields(u, v):
    """Axial hexes (q, r) on both sides of the hexagon side between vertices u and v."""
    a = vertex_fields(*u)
    b = set(vertex_fields(*v))
    shared = [h for h in a if h in b]
    if len(shared) != 2:
        raise ValueError(f"vertices {u} and {v} are not joined by a hexagon side")
    return shared[0], shared[1]
