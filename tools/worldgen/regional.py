"""A regional operational map cut from the world map: terrain, rivers, bridges and roads.

The window keeps the world map's fields one for one. It starts on an even row, so its own odd-r
rows line up with the world's and every neighbour stays a neighbour: world field (column c,
row r) becomes field (c - c0, r - r0) of the window, and axial hexes only shift. The map is of
kind "operational" (no geographic coordinates, no wrap) and written in schema 1, the schema that
carries roads:

* terrain: the world field's terrain;
* rivers: every world river side between two fields of the window, with its width class, its
  bridge and its bridge names;
* roads: the fields the Natural Earth major highways pass through (sampled every 0.01 degree); a
  river side the highway crosses between two road fields is bridged, and a road on a water field
  carries a bridge, so a road is always passable.

>>> window_origin(16.37, 48.21, 4320, 2160, 60, 40)
(2326, 480)
"""

import math

import numpy as np

from .grid import lonlat_to_world, world_to_hex
from .validate import TERRAIN_IDS

__all__ = ["ROAD_STEP", "window_origin", "road_paths", "regional_map"]

ROAD_STEP = 0.01  # degrees between road samples; a field is 1/12 degree wide


def window_origin(lon, lat, world_width, world_height, columns, rows):
    """First column and (even) first row of a window of columns x rows fields centred on a point."""
    x, y = lonlat_to_world(lon, lat, world_width, world_height)
    q, r = (int(v) for v in world_to_hex(x, y))
    column = q + r // 2
    first_row = min(max(r - rows // 2, 0), world_height - rows)
    first_row -= first_row % 2
    return column - columns // 2, first_row


def _lines(geometry):
    if geometry["type"] == "LineString":
        return [geometry["coordinates"]]
    if geometry["type"] == "MultiLineString":
        return geometry["coordinates"]
    return []


def road_paths(features, world_width, world_height, step=ROAD_STEP):
    """World fields (column, row) along each highway line, in order, repeats removed."""
    paths = []
    for feature in features:
        for line in _lines(feature["geometry"]):
            points = np.asarray(line, dtype=np.float64)
            if len(points) < 2:
                continue
            samples = [points[:1]]
            for a, b in zip(points[:-1], points[1:]):
                n = max(1, math.ceil(float(np.hypot(*(b - a))) / step))
                t = np.arange(1, n + 1, dtype=np.float64)[:, None] / n
                samples.append(a + (b - a) * t)
            lon, lat = np.concatenate(samples).T
            q, r = world_to_hex(*lonlat_to_world(lon, lat, world_width, world_height))
            cells = [c for c in zip(((q + r // 2) % world_width).tolist(), r.tolist())
                     if 0 <= c[1] < world_height]
            paths.append(_thinned([c for i, c in enumerate(cells) if i == 0 or c != cells[i - 1]],
                                  world_width))
    return paths


def _adjacent(a, b, width):
    (ca, ra), (cb, rb) = a, b
    dq = (cb - rb // 2) - (ca - ra // 2)
    dq = (dq + width // 2) % width - width // 2  # across the seam
    return (dq, rb - ra) in ((1, 0), (1, -1), (0, -1), (-1, 0), (-1, 1), (0, 1))


def _thinned(path, width):
    """The path without the fields it only grazes: a field is left out when the fields before
    and after it are neighbours. The program links every two neighbouring road fields, so a
    grazed corner would show as a triangle of roads."""
    kept = path[:1]
    for i in range(1, len(path)):
        if i + 1 < len(path) and _adjacent(kept[-1], path[i + 1], width):
            continue
        kept.append(path[i])
    return kept


def regional_map(world_doc, world, origin, size, name, roads=()):
    """Schema-1 operational map document of the window ``origin`` (column, even row) and ``size``
    (columns, rows) of a loaded world map (``validate.LoadedMap`` of ``world_doc``).

    ``roads`` are paths of world fields (``road_paths``).
    """
    c0, r0 = origin
    columns, rows = size
    if r0 % 2:
        raise ValueError("the window must start on an even row")
    def local(cell):
        """Cell of the window for a world cell, or None outside."""
        r, c = divmod(cell, world.width)
        c = (c - c0) % world.width
        if not (0 <= r - r0 < rows and c < columns):
            return None
        return (r - r0) * columns + c

    def axial(cell):
        r, c = divmod(cell, columns)
        return {"q": c - r // 2, "r": r}

    edges = {}
    for (a, b), (width_class, bridge) in world.edges.items():
        la, lb = local(a), local(b)
        if la is not None and lb is not None:
            edges[(min(la, lb), max(la, lb))] = [width_class, bridge]

    terrain = np.array([[world.terrain[r0 + r, (c0 + c) % world.width] for c in range(columns)]
                        for r in range(rows)], dtype=np.int64)
    water = TERRAIN_IDS.index("water")
    road = np.zeros(rows * columns, dtype=bool)
    for path in roads:
        cells = [local(r * world.width + c) for c, r in path]
        for cell in cells:
            if cell is not None:
                road[cell] = True
        for a, b in zip(cells, cells[1:]):
            edge = None if a is None or b is None else edges.get((min(a, b), max(a, b)))
            if edge is not None and terrain.flat[a] != water and terrain.flat[b] != water:
                edge[1] = True

    tiles = []
    for cell in range(rows * columns):
        tile = dict(axial(cell), terrain=TERRAIN_IDS[terrain.flat[cell]])
        if road[cell]:
            tile["road"] = True
            if terrain.flat[cell] == water:
                tile["bridge"] = True
        tiles.append(tile)

    bridge_names = []
    for q1, r1, q2, r2, names in world_doc.get("bridge_names", []):
        a, b = world.cell(q1, r1), world.cell(q2, r2)
        la, lb = local(a), local(b)
        if la is not None and lb is not None:
            first, second = axial(la), axial(lb)
            bridge_names.append([first["q"], first["r"], second["q"], second["r"], names])

    doc = {
        "schema_version": 1,
        "width": columns,
        "height": rows,
        "name": name,
        "layout": "odd-r",
        "kind": "operational",
        "tiles": tiles,
        "river_edges": [dict(a=axial(a), b=axial(b), width_class=w, **({"bridge": True} if bridged else {}))
                        for (a, b), (w, bridged) in sorted(edges.items())],
    }
    if bridge_names:
        doc["bridge_names"] = bridge_names
    return doc
