"""The program's regular play grid in Python: size, terrain, hex look-ups and city placement.

The program plays on a grid that ``Map::regularWorld`` derives from world.json at start-up.
This module repeats, bit for bit, what the pipeline needs of it: the grid size and scales,
``worldToHex`` with its exact rounding, ``canonical``, ``hexAtGeography`` on the world map and on
the play grid, the terrain pass (not the river tracing), ``cityTileAnchors`` and the start-up
step that puts every anchored city on its own play-grid field. Floating-point expressions keep
the program's order of operations so that results agree at the boundaries too.

>>> grid = PlayGrid(4320, 2160)
>>> (grid.width, grid.height)
(4321, 3743)
>>> grid.hex_at_geography(16.3738, 48.2082)
(1923, 868)
"""

import math

import numpy as np

__all__ = [
    "SQRT3",
    "CITY",
    "WATER",
    "PlacementError",
    "round_half_away",
    "world_to_hex",
    "world_vertical_scale",
    "PlayGrid",
    "file_hex_at_geography",
    "city_tile_anchors",
    "play_field_key",
    "place_anchored_cities",
    "hex_distance",
]

SQRT3 = 1.7320508075688772
INV_SQRT3 = 0.5773502691896257  # the factor worldToHex multiplies with
VIENNA_LATITUDE = 48.2082
MAX_SCALE = 85.0  # Camera::maxScale: the play grid is built for full detail
MAX_DIMENSION = 8192
CITY, WATER = 4, 5


class PlacementError(ValueError):
    """Two cities would stand on one play-grid field ("Mehrere Staedte auf einem Stadtfeld")."""


def round_half_away(v):
    """Nearest integer, halves away from zero, computed as the program does (exact)."""
    v = np.asarray(v, dtype=np.float64)
    whole = np.trunc(v)
    rest = v - whole
    return whole + (rest >= 0.5) - (rest <= -0.5)


def world_to_hex(x, y):
    """Axial (q, r) of the hexagon containing world point (x, y); arrays or scalars."""
    x = np.asarray(x, dtype=np.float64)
    y = np.asarray(y, dtype=np.float64)
    fq = x * INV_SQRT3 - y / 3.0
    fr = y * 2.0 / 3.0
    fs = -fq - fr
    q, r, s = round_half_away(fq), round_half_away(fr), round_half_away(fs)
    dq, dr, ds = np.abs(q - fq), np.abs(r - fr), np.abs(s - fs)
    fix_q = (dq > dr) & (dq > ds)
    fix_r = ~fix_q & (dr > ds)
    q = np.where(fix_q, -r - s, q)
    r = np.where(fix_r, -q - s, r)
    if q.ndim == 0:
        return int(q), int(r)
    return q.astype(np.int64), r.astype(np.int64)


def hex_centre(q, r):
    """World units of a hex centre, as ``hexCenter`` computes them."""
    return SQRT3 * (q + r / 2.0), 1.5 * r


def world_vertical_scale(map_height, zoom):
    """The camera's latitude stretch at a zoom (1 far out, 1/cos 48.2082 deg fully in)."""
    detail = min(max((map_height * zoom / 3600.0 - 0.15) / 0.85, 0.0), 1.0)
    cosine = math.cos(VIENNA_LATITUDE * 3.141592653589793 / 180.0)
    return 1.0 / (detail * cosine + (1.0 - detail))


def hex_distance(a, b, width=None):
    """Axial hex distance; with ``width`` the shorter way across the east-west seam."""
    dr = b[1] - a[1]
    shifts = (0,) if width is None else (0, -width, width)
    best = None
    for shift in shifts:
        dq = b[0] - a[0] + shift
        d = (abs(dq) + abs(dr) + abs(dq + dr)) // 2
        best = d if best is None else min(best, d)
    return best


def file_hex_at_geography(lon, lat, width, height):
    """``hexAtGeography`` on a world map read from a file: axial (q, r) of the stored field."""
    a = math.fmod(lon + 180.0, 360.0)
    if a < 0:
        a += 360.0
    row = min(max(int(height * (90.0 - lat) / 180.0), 0), height - 1)
    column = int(round_half_away(width * a / 360.0 - (row % 2) * 0.5)) % width
    return column - row // 2, row


class PlayGrid:
    """Size and scales of the play grid derived from a world map of width x height fields."""

    def __init__(self, source_width, source_height):
        horizontal = source_height * SQRT3 / source_width
        ratio = world_vertical_scale(source_height, MAX_SCALE) / horizontal
        self.source_width = source_width
        self.source_height = source_height
        self.width = min(source_width + 1, MAX_DIMENSION)
        self.scale_x = float(source_width) / self.width
        self.scale_y = self.scale_x / ratio
        self.height = int(math.ceil((source_height - 1) / self.scale_y)) + 1

    def canonical(self, q, r):
        """Stored representative of a hex, or None off the grid (the grid wraps east-west)."""
        if r < 0 or r >= self.height:
            return None
        shift = r // 2
        c = (q + shift) % self.width
        return c - shift, r

    def key(self, q, r):
        """Field key of a canonical hex: row * width + column."""
        return r * self.width + q + r // 2

    def grid_point(self, x, y):
        """Source world units to grid units."""
        return x / self.scale_x, y / self.scale_y

    def hex_at_geography(self, lon, lat):
        """``hexAtGeography`` on the play grid: the canonical hex under a longitude/latitude."""
        if not (math.isfinite(lon) and math.isfinite(lat) and -90.0 <= lat <= 90.0):
            raise ValueError("Ungueltige Geokoordinaten")
        a = math.fmod(lon + 180.0, 360.0)
        if a < 0:
            a += 360.0
        q, r = world_to_hex(self.source_width * a * SQRT3 / 360.0 / self.scale_x,
                            (self.source_height * (90.0 - lat) / 180.0 - 0.5) * 1.5 / self.scale_y)
        return self.canonical(q, min(max(r, 0), self.height - 1))

    def geography(self, q, r):
        """Longitude and latitude of a play-grid field centre."""
        lon = (q + r / 2.0) * self.scale_x * 360.0 / self.source_width - 180.0
        lat = 90.0 - (0.5 + r * self.scale_y) * 180.0 / self.source_height
        return lon, lat

    def terrain(self, source, rows=None, columns=None):
        """Terrain of play-grid fields sampled from the world map's terrain grid.

        ``source`` is the world map's terrain (height x width, stored columns). ``rows`` and
        ``columns`` are ranges of the play grid (default: all); the result has their shape.
        City fields are set from every source city field, as the program does.
        """
        rows = range(self.height) if rows is None else rows
        columns = range(self.width) if columns is None else columns
        rr, cc = np.meshgrid(np.asarray(rows, dtype=np.int64), np.asarray(columns, dtype=np.int64),
                             indexing="ij")
        q = cc - rr // 2
        x, y = hex_centre(q, rr)
        sq, sr = world_to_hex(x * self.scale_x, y * self.scale_y)
        sr = np.clip(sr, 0, self.source_height - 1)
        sc = (sq + sr // 2) % self.source_width
        out = np.asarray(source)[sr, sc].astype(np.uint8)
        out[out == CITY] = 0  # the terrain bits cleared: plain
        crow, ccol = np.nonzero(np.asarray(source) == CITY)
        cx, cy = hex_centre(ccol - crow // 2, crow)
        gq, gr = world_to_hex(cx / self.scale_x, cy / self.scale_y)
        inside = (gr >= 0) & (gr < self.height)
        gq, gr = gq[inside], gr[inside]
        gc = (gq + gr // 2) % self.width
        r0, c0 = rows[0], columns[0]
        pick = (gr >= r0) & (gr <= rows[-1]) & (gc >= c0) & (gc <= columns[-1])
        out[gr[pick] - r0, gc[pick] - c0] = CITY
        return out


def city_tile_anchors(terrain, centres, fields):
    """World-map field that each urban centre is anchored to, or None (``cityTileAnchors``).

    ``terrain`` is the world map's terrain grid, ``centres`` a list of (longitude, latitude),
    ``fields`` maps cell key (row * width + column) to a centre index or -1.
    """
    height, width = terrain.shape
    period = SQRT3 * width
    homes = []
    for lon, lat in centres:
        q, r = file_hex_at_geography(lon, lat, width, height)
        on_water = terrain[r, (q + r // 2) % width] == WATER
        homes.append(((q, r), 4 if on_water else 2))
    best = [math.inf] * len(centres)
    best_key = [-1] * len(centres)
    anchors = [None] * len(centres)
    for key, j in fields.items():
        if j < 0:
            continue
        r, column = divmod(key, width)
        if terrain[r, column] != CITY:
            continue
        q = column - r // 2
        home, limit = homes[j]
        if hex_distance(home, (q, r), width) > limit:
            continue
        lon, lat = centres[j]
        dx = math.remainder((q + 0.5 * r) * SQRT3 - (180.0 + lon) * SQRT3 * width / 360.0, period)
        dy = 1.5 * r - (height * (90.0 - lat) / 180.0 - 0.5) * 1.5
        score = dx * dx + dy * dy
        if score < best[j] or (score == best[j] and key < best_key[j]):
            best[j], best_key[j], anchors[j] = score, key, (q, r)
    return anchors


def play_field_key(grid, anchor):
    """Play-grid field key of the city anchored at a world-map hex, or None off the grid."""
    x, y = hex_centre(*anchor)
    field = grid.canonical(*world_to_hex(*grid.grid_point(x, y)))
    return None if field is None else grid.key(*field)


def place_anchored_cities(grid, anchors):
    """Play-grid field key of every anchored city, as start-up places them.

    Returns {field key: city index}; raises PlacementError where two cities meet on one field.
    """
    fields = {}
    for k, anchor in enumerate(anchors):
        if anchor is None:
            continue
        key = play_field_key(grid, anchor)
        if key is None:
            raise PlacementError(f"Mehrere Staedte auf einem Stadtfeld: Stadt {k} ausserhalb")
        if key in fields:
            raise PlacementError(
                f"Mehrere Staedte auf einem Stadtfeld: Staedte {fields[key]} und {k}")
        fields[key] = k
    return fields
