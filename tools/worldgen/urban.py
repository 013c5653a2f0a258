"""Urban areas (urban.json): every City field of the world map given to a named city centre.

City fields form clusters (fields joined by a side, across the east-west seam too). A city
takes part in every cluster that has a field within its anchor reach of the city's own field
(2 fields, 4 when the city's point lies on water: the reach ``cityTileAnchors`` allows). Each
field of a cluster belongs to the city taking part in it whose built-up edge is nearest: the
distance in kilometres from the city's point minus the radius of a disc that holds its
population at 2,000 people per square kilometre (Wien: 20 km, a town of 25,000: 2 km). So a
field inside a large city's radius belongs to that city even where a suburb's point is
closer, and beyond all radii the nearest city wins. A cluster that no city reaches stays
unnamed (-1). A city that ends up without a field it could be anchored to is no centre, and
the fields are shared out again without it. So every centre is anchored in the program, and
the check with the program's own placement proves that no two centres meet on one play-grid
field.

>>> import numpy as np
>>> terrain = np.full((4, 8), 0, dtype=np.uint8); terrain[1, 2:4] = CITY
>>> result = urban_areas(terrain, [(-112.5, 45.0, 1000)])
>>> result.fields
{10: 0, 11: 0}
"""

from collections import namedtuple

import numpy as np

from .cities import city_object
from .playgrid import (CITY, WATER, PlacementError, PlayGrid, city_tile_anchors,
                       file_hex_at_geography, place_anchored_cities, play_field_key)

__all__ = ["UrbanResult", "city_clusters", "urban_areas", "urban_document"]

# Axial neighbour steps, the order of the program's searches.
STEPS = ((1, 0), (1, -1), (0, -1), (-1, 0), (-1, 1), (0, 1))

URBAN_DENSITY = 2000.0  # people per square kilometre of a city's built-up disc
KM_PER_DEGREE = 111.32

UrbanResult = namedtuple("UrbanResult", "centres fields anchors clusters unnamed")
UrbanResult.__doc__ = """Centres (indices into the input cities, in input order), fields {cell key:
centre position in ``centres`` or -1}, anchors (axial hex per centre), the number of clusters
and the number of cluster fields no centre reaches."""


def _neighbour_keys(key, width, height):
    r, column = divmod(key, width)
    q = column - r // 2
    for dq, dr in STEPS:
        nr = r + dr
        if 0 <= nr < height:
            yield nr * width + (q + dq + nr // 2) % width


def city_clusters(terrain):
    """Cluster number of every City field: {cell key: cluster}, clusters in key order."""
    height, width = terrain.shape
    keys = np.flatnonzero(np.asarray(terrain).ravel() == CITY).tolist()
    cluster = {}
    count = 0
    for start in keys:
        if start in cluster:
            continue
        cluster[start] = count
        stack = [start]
        while stack:
            key = stack.pop()
            for n in _neighbour_keys(key, width, height):
                if n not in cluster and terrain.flat[n] == CITY:
                    cluster[n] = count
                    stack.append(n)
        count += 1
    return cluster, count


def _reach_fields(home, reach, width, height):
    """Cell keys of the fields within ``reach`` of an axial hex (wrapping east-west)."""
    q0, r0 = home
    for dr in range(-reach, reach + 1):
        r = r0 + dr
        if not 0 <= r < height:
            continue
        for dq in range(max(-reach, -reach - dr), min(reach, reach - dr) + 1):
            yield r * width + (q0 + dq + r // 2) % width


def urban_areas(terrain, cities, grid=None):
    """Centres and field owners for a world terrain grid.

    ``cities`` lists (longitude, latitude, population) in priority order; ties in distance go
    to the larger city, then the earlier one. ``grid`` is the play grid to check the placement
    on (default: the grid the program derives from a map of this size).
    """
    terrain = np.asarray(terrain)
    height, width = terrain.shape
    grid = grid or PlayGrid(width, height)
    cluster, count = city_clusters(terrain)
    members = [[] for _ in range(count)]
    for key, c in cluster.items():
        members[c].append(key)
    points = [(lon, lat) for lon, lat, _ in cities]

    attached = [[] for _ in range(count)]
    for j, (lon, lat, _) in enumerate(cities):
        home = file_hex_at_geography(lon, lat, width, height)
        reach = 4 if terrain[home[1], (home[0] + home[1] // 2) % width] == WATER else 2
        joined = {cluster[k] for k in _reach_fields(home, reach, width, height) if k in cluster}
        for c in sorted(joined):
            attached[c].append(j)

    city_lon = np.array([lon for lon, _ in points], dtype=np.float64)
    city_lat = np.array([lat for _, lat in points], dtype=np.float64)
    radius = np.sqrt(np.array([pop for _, _, pop in cities], dtype=np.float64)
                     / (np.pi * URBAN_DENSITY))
    rank = np.array([-pop for _, _, pop in cities], dtype=np.float64)

    active = {j for c in attached for j in c}
    while True:
        owner = {}
        for c, keys in enumerate(members):
            candidates = np.array([j for j in attached[c] if j in active], dtype=np.int64)
            keys = np.array(keys, dtype=np.int64)
            if len(candidates) == 0:
                owner.update(dict.fromkeys(keys.tolist(), -1))
                continue
            r = keys // width
            lon = (keys % width + 0.5 * (r % 2)) * 360.0 / width - 180.0
            lat = 90.0 - (r + 0.5) * 180.0 / height
            dlon = lon[:, None] - city_lon[candidates][None, :]
            dlon -= 360.0 * np.round(dlon / 360.0)
            dlat = lat[:, None] - city_lat[candidates][None, :]
            cos = np.cos(np.radians(0.5 * (lat[:, None] + city_lat[candidates][None, :])))
            km = KM_PER_DEGREE * np.hypot(dlon * cos, dlat)
            edge = km - radius[candidates][None, :]
            # Nearest edge first, then the larger city, then the earlier one.
            order = np.lexsort((np.broadcast_to(candidates, edge.shape),
                                np.broadcast_to(rank[candidates], edge.shape), edge), axis=1)
            best = candidates[order[:, 0]]
            owner.update(zip(keys.tolist(), best.tolist()))
        anchors = city_tile_anchors(terrain, points, owner)
        dropped = {j for j in active if anchors[j] is None}
        if not dropped:
            try:
                place_anchored_cities(grid, [anchors[j] for j in sorted(active)])
            except PlacementError:
                dropped = _colliding(grid, anchors, sorted(active))
        if not dropped:
            break
        active -= dropped

    centres = sorted(active)
    position = {j: i for i, j in enumerate(centres)}
    fields = {k: (position[j] if j >= 0 else -1) for k, j in sorted(owner.items())}
    unnamed = sum(1 for j in fields.values() if j < 0)
    return UrbanResult(centres, fields, [anchors[j] for j in centres], count, unnamed)


def _colliding(grid, anchors, order):
    """The later of every two centres that would share a play-grid field."""
    taken, later = set(), set()
    for j in order:
        key = play_field_key(grid, anchors[j])
        if key is None or key in taken:
            later.add(j)
        taken.add(key)
    return later


URBAN_CENTRE_KEYS = ("id", "name", "longitude", "latitude", "capital", "population", "size_class")


def urban_document(cities, result, width, height):
    """urban.json: the centres (full city records with their parameters, without tier) and the
    owner of every field."""
    return {
        "schema_version": 1,
        "width": int(width),
        "height": int(height),
        "cities": [city_object(cities[j], URBAN_CENTRE_KEYS) for j in result.centres],
        "fields": [[key // width, key % width, j] for key, j in result.fields.items()],
    }
