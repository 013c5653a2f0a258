"""Bridges over river sides: one per river at every river town, plus well-known named bridges.

There is no road layer, so crossings are put where towns are: a town of the
populated-places layer whose position lies within ``TOWN_REACH`` world units of a
river side gets, for every river passing that close, the nearest side of it whose
banks are both land.  Big towns get more than one crossing per river.

>>> crossings_for(5_000)
0
>>> crossings_for(250_000), crossings_for(2_000_000)
(1, 2)
"""

import numpy as np

from .grid import SQRT3, lonlat_to_world

__all__ = [
    "NAMED_BRIDGES",
    "TOWN_REACH",
    "MIN_POPULATION",
    "crossings_for",
    "side_midpoints",
    "town_bridges",
    "named_bridges",
]

MIN_POPULATION = 10_000  # smaller places of the layer get no crossing of their own
TOWN_REACH = 1.25  # world units (a hexagon side is 1) between a town and its river


def crossings_for(population):
    """Number of crossings a town gets over each river at it."""
    if population < MIN_POPULATION:
        return 0
    if population >= 1_000_000:
        return 2
    return 1


# Well-known bridges at their real positions: (name, river, longitude, latitude).
NAMED_BRIDGES = (
    ("Reichsbruecke", "Donau", 16.4100, 48.2265),
    ("Floridsdorfer Bruecke", "Donau", 16.3855, 48.2480),
    ("Nordbruecke", "Donau", 16.3745, 48.2525),
    ("Brigittenauer Bruecke", "Donau", 16.3925, 48.2385),
    ("Praterbruecke", "Donau", 16.4330, 48.2080),
    ("Nibelungenbruecke", "Donau", 14.2850, 48.3085),
    ("VOEST-Bruecke", "Donau", 14.3035, 48.3110),
    ("Kettenbruecke", "Donau", 19.0436, 47.4990),
    ("Elisabethbruecke", "Donau", 19.0500, 47.4903),
    ("Freiheitsbruecke", "Donau", 19.0556, 47.4858),
    ("Margaretenbruecke", "Donau", 19.0474, 47.5144),
    ("Petoefibruecke", "Donau", 19.0656, 47.4772),
    ("Arpadbruecke", "Donau", 19.0600, 47.5340),
    ("Most SNP", "Donau", 17.1046, 48.1383),
    ("Steinerne Bruecke", "Donau", 12.0969, 49.0222),
    ("Mittlere Bruecke", "Rhein", 7.5893, 47.5600),
    ("Wettsteinbruecke", "Rhein", 7.5934, 47.5562),
    ("Johanniterbruecke", "Rhein", 7.5826, 47.5634),
    ("Dreirosenbruecke", "Rhein", 7.5870, 47.5680),
    ("Hohenzollernbruecke", "Rhein", 6.9656, 50.9413),
    ("Deutzer Bruecke", "Rhein", 6.9680, 50.9368),
    ("Severinsbruecke", "Rhein", 6.9720, 50.9290),
    ("Zoobruecke", "Rhein", 6.9745, 50.9495),
    ("Muelheimer Bruecke", "Rhein", 6.9800, 50.9625),
    ("Theodor-Heuss-Bruecke", "Rhein", 8.2790, 50.0036),
    ("Augustusbruecke", "Elbe", 13.7410, 51.0552),
    ("Blaues Wunder", "Elbe", 13.8085, 51.0527),
    ("Karlsbruecke", "Moldau", 14.4114, 50.0865),
    ("Tower Bridge", "Themse", -0.0754, 51.5055),
    ("London Bridge", "Themse", -0.0877, 51.5079),
    ("Pont Neuf", "Seine", 2.3414, 48.8575),
    ("Pont Alexandre III", "Seine", 2.3136, 48.8639),
    ("Eiserner Steg", "Main", 8.6838, 50.1087),
    ("Engelsbruecke", "Tiber", 12.4663, 41.9014),
    ("Qasr-al-Nil-Bruecke", "Nil", 31.2295, 30.0437),
    ("Eads Bridge", "Mississippi", -90.1794, 38.6293),
    ("Crescent City Connection", "Mississippi", -90.0590, 29.9430),
)
NAMED_REACH = 3.0  # world units: a named bridge must lie this close to its river


def side_midpoints(ends):
    """World coordinates (x, y) of the midpoints of sides given by integer vertices."""
    ends = np.asarray(ends, dtype=np.float64).reshape(-1, 2, 2)
    mx = (ends[:, 0, 0] + ends[:, 1, 0]) * (SQRT3 / 4.0)
    my = (ends[:, 0, 1] + ends[:, 1, 1]) / 4.0
    return mx, my


def _wrapped_distance(mx, my, x, y, period):
    dx = np.abs(mx - x) % period
    dx = np.minimum(dx, period - dx)
    return np.hypot(dx, my - y)


def town_bridges(mx, my, river, bridgeable, towns, width, height):
    """Sides to bridge for the towns.

    ``mx``, ``my``: side midpoints; ``river``: river identity per side;
    ``bridgeable``: both banks land; ``towns``: (lon, lat, population) triples.
    Returns a dict side index -> number of towns it serves, and the number of river
    towns (towns with a crossing due) that found no side with two land banks.
    """
    from scipy.spatial import cKDTree

    period = width * SQRT3
    river = np.asarray(river, dtype=object)
    chosen = {}
    unserved = 0
    if len(mx) == 0:
        return chosen, unserved
    span = float(np.max(my)) + 10.0
    tree = cKDTree(np.c_[np.mod(mx, period), my - np.min(my)], boxsize=[period, 2 * span])
    for lon, lat, population in towns:
        count = crossings_for(population)
        if count == 0:
            continue
        x, y = lonlat_to_world(lon, lat, width, height)
        point = [float(x) % period, float(y) - float(np.min(my))]
        near = tree.query_ball_point(point, TOWN_REACH + 1.0)
        if not near:
            continue
        near = np.asarray(near)
        d = _wrapped_distance(mx[near], my[near], float(x), float(y), period)
        rivers_here = sorted({river[i] for i in near[d <= TOWN_REACH]})
        served = False
        for name in rivers_here:
            own = (river[near] == name) & bridgeable[near]
            candidates = near[own]
            for i in candidates[np.argsort(d[own], kind="stable")][:count]:
                chosen[int(i)] = chosen.get(int(i), 0) + 1
                served = True
        unserved += bool(rivers_here) and not served
    return chosen, unserved


def named_bridges(mx, my, names, bridgeable, width, height, bridges=NAMED_BRIDGES):
    """Side index -> list of bridge names; bridges whose river is not found are reported.

    Each named bridge goes to the nearest side of its river with both banks land.
    Returns (mapping, list of names that found no side).
    """
    period = width * SQRT3
    names = np.asarray(names, dtype=object)
    out, missing = {}, []
    for name, river, lon, lat in bridges:
        x, y = lonlat_to_world(lon, lat, width, height)
        d = _wrapped_distance(mx, my, float(x), float(y), period)
        own = np.flatnonzero((names == river) & bridgeable & (d <= NAMED_REACH))
        if len(own) == 0:
            missing.append(name)
            continue
        best = int(own[np.argmin(d[own])])
        out.setdefault(best, []).append(name)
    return out, missing
