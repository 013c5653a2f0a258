"""Countries and disputed areas (countries.json) with field-exact simplified polygons.

Polygons are simplified with a Douglas-Peucker pass in which a chord may replace a
stretch of boundary only if no field centre lies between the two.  Every field
centre therefore stays on the same side of every boundary, and the program's
polygon pass claims exactly the same fields as with the full source polygons.

>>> country_status("Sovereign country"), country_status("Dependency"), country_status("Indeterminate")
('country', 'dependent', 'disputed')
"""

import numpy as np

from .names import ascii_name
from .simplify import douglas_peucker

__all__ = [
    "country_status",
    "area_status",
    "field_centres",
    "inside",
    "simplify_ring",
    "simplify_polygon",
    "country_records",
    "disputed_names",
    "disputed_records",
    "countries_document",
]

DECIMALS = 4  # coordinates are written to 1e-4 degrees (about 11 m)

_COUNTRY_STATUS = {
    "Sovereign country": "country",
    "Country": "country",
    "Sovereignty": "country",
    "Dependency": "dependent",
    "Lease": "dependent",
    "Disputed": "disputed",
    "Indeterminate": "disputed",
}
_AREA_STATUS = {
    "Admin-0 claim area": "claim",
    "Admin-0 overlay": "special",
    "Admin-0 lease": "special",
    "Admin-0 breakaway and disputed": "disputed",
    "Admin-0 indeterminant": "disputed",
}


def country_status(kind):
    """Status of a country from the Natural Earth TYPE field (unknown types: country)."""
    return _COUNTRY_STATUS.get(kind, "country")


def area_status(featurecla):
    """Status of a disputed area from its feature class (unknown classes: disputed)."""
    return _AREA_STATUS.get(featurecla, "disputed")


def field_centres(lon0, lon1, lat0, lat1, width, height):
    """Longitudes and latitudes of all field centres inside a box (longitudes unwrapped)."""
    r0 = max(int(np.ceil((90.0 - lat1) * height / 180.0 - 0.5)), 0)
    r1 = min(int(np.floor((90.0 - lat0) * height / 180.0 - 0.5)), height - 1)
    if r1 < r0:
        return np.zeros(0), np.zeros(0)
    c0 = int(np.floor((lon0 + 180.0) * width / 360.0 - 0.5))
    c1 = int(np.ceil((lon1 + 180.0) * width / 360.0))
    rows = np.arange(r0, r1 + 1)[:, None]
    cols = np.arange(c0, c1 + 1)[None, :]
    lon = (cols + 0.5 * (rows % 2)) * 360.0 / width - 180.0
    lat = np.broadcast_to(90.0 - (rows + 0.5) * 180.0 / height, lon.shape)
    keep = (lon >= lon0) & (lon <= lon1) & (lat >= lat0) & (lat <= lat1)
    return lon[keep], lat[keep]


def inside(px, py, ring, block=4_000_000):
    """Even-odd test of points against a ring, with the country pass's crossing rule."""
    px = np.asarray(px, dtype=np.float64)
    py = np.asarray(py, dtype=np.float64)
    ring = np.asarray(ring, dtype=np.float64)
    keep = np.roll(ring[:, 1], 1) != ring[:, 1]
    xj, yj = np.roll(ring[:, 0], 1)[keep][:, None], np.roll(ring[:, 1], 1)[keep][:, None]
    xi, yi = ring[keep, 0][:, None], ring[keep, 1][:, None]
    out = np.zeros(px.shape, dtype=bool)
    step = max(1, block // max(len(xi), 1))
    for s in range(0, len(px), step):
        qx, qy = px[None, s : s + step], py[None, s : s + step]
        cross = (yj > qy) != (yi > qy)
        x = xj + (xi - xj) * (qy - yj) / (yi - yj)
        out[s : s + step] = (cross & (qx < x)).sum(axis=0) % 2 == 1
    return out


def _piece_is_safe(original, simplified, width, height):
    """No field centre lies between an original piece and its simplified version."""
    region = np.vstack([original, simplified[::-1]])
    lo = region.min(axis=0)
    hi = region.max(axis=0)
    px, py = field_centres(lo[0], hi[0], lo[1], hi[1], width, height)
    if len(px) == 0:
        return True
    return not inside(px, py, region).any()


def constrained_simplify(points, width, height, cap, decimals=DECIMALS):
    """Douglas-Peucker on an open polyline where a chord must also keep field centres.

    A chord replaces the points between its ends only when none of them is farther
    than ``cap`` from it and no field centre lies between the chord and those points.
    Kept points are rounded to ``decimals`` unless rounding would move a boundary
    across a field centre.  Returns the simplified polyline (both ends kept).
    """
    points = np.asarray(points, dtype=np.float64)
    rounded = np.round(points, decimals)
    for s in range(0, len(points) - 1, 32):
        window = slice(s, min(s + 33, len(points)))
        if not _piece_is_safe(points[window], rounded[window], width, height):
            rounded[window] = points[window]  # rare: a centre within rounding distance

    def chord_ok(i, j, worst):
        return worst <= cap and _piece_is_safe(rounded[i : j + 1], rounded[[i, j]], width, height)

    return douglas_peucker(rounded, chord_ok)


CAP = 0.1  # degrees: no simplified boundary strays further from the source


def simplify_ring(ring, width, height, cap=CAP, decimals=DECIMALS):
    """Closed ring simplified without moving any field centre across it.

    Returns a closed ring (first point repeated at the end) of at least 4 points.
    """
    ring = np.asarray(ring, dtype=np.float64)
    if len(ring) > 1 and np.array_equal(ring[0], ring[-1]):
        ring = ring[:-1]
    n = len(ring)
    if n < 3:
        raise ValueError("ring with fewer than 3 distinct points")
    closed = np.vstack([ring, ring[:1]])
    # Three pieces at least, so that a ring never collapses below three corners.
    bounds = np.unique(np.linspace(0, n, 4).astype(int))
    out = []
    for a, b in zip(bounds[:-1], bounds[1:]):
        out.append(constrained_simplify(closed[a : b + 1], width, height, cap, decimals)[:-1])
    return np.vstack(out + [out[0][:1]])


def simplify_polygon(rings, width, height):
    """List of simplified rings of a polygon (outer ring first)."""
    return [simplify_ring(r, width, height) for r in rings]


def _ring_list(ring):
    return [[float(x), float(y)] for x, y in ring]


def _sovereign_ids(features):
    ids = {f["properties"]["ADM0_A3"] for f in features}
    by_admin = {f["properties"]["ADMIN"]: f["properties"]["ADM0_A3"] for f in features}
    out = {}
    for f in features:
        p = f["properties"]
        sov = p["SOV_A3"]
        out[p["ADM0_A3"]] = sov if sov in ids else by_admin.get(p["SOVEREIGNT"], p["ADM0_A3"])
    return out


def country_records(features, polygons, width, height):
    """Country objects of countries.json, in the order of the source layer.

    ``polygons`` lists the (unsimplified) polygons of each feature.  Returns the
    records and, per record, the simplified polygons as arrays.
    """
    sovereign = _sovereign_ids(features)
    records, shapes = [], []
    for f, polys in zip(features, polygons):
        p = f["properties"]
        simplified = [simplify_polygon(rings, width, height) for rings in polys]
        name = ascii_name(p.get("NAME_DE")) or ascii_name(p.get("NAME")) or p["ADM0_A3"]
        records.append({
            "id": p["ADM0_A3"],
            "name": name,
            "status": country_status(p.get("TYPE")),
            "sovereign_id": sovereign[p["ADM0_A3"]],
            "polygons": [[_ring_list(r) for r in rings] for rings in simplified],
        })
        shapes.append(simplified)
    return records, shapes


def _words(text):
    return {w for w in ascii_name(text or "").lower().replace("-", " ").split() if len(w) > 2}


def _joined_name_matches(props):
    own = _words(props.get("BRK_NAME")) | _words(props.get("NAME"))
    return bool(_words(props.get("NAME_EN")) & own)


def disputed_names(features):
    """Names of the disputed areas: the joined German name unless the join is doubtful.

    The German names were joined by code from a newer edition, whose codes were
    partly reassigned.  A German name given to several areas belongs only to those
    whose joined English name shares a word with their own name; the others, and
    areas without a German name, keep their own (English) name.
    """
    props = [f["properties"] for f in features]
    uses = {}
    for p in props:
        if p.get("NAME_DE"):
            uses[p["NAME_DE"]] = uses.get(p["NAME_DE"], 0) + 1
    out = []
    for p in props:
        german = p.get("NAME_DE")
        own = ascii_name(p.get("BRK_NAME") or p.get("NAME"))
        if german and (uses[german] == 1 or _joined_name_matches(p)):
            out.append(ascii_name(german) or own)
        else:
            out.append(own)
    return out


def disputed_records(features, polygons, width, height):
    """Disputed-area objects of countries.json, in the order of the source layer."""
    records = []
    names = disputed_names(features)
    for f, polys, name in zip(features, polygons, names):
        p = f["properties"]
        simplified = [simplify_polygon(rings, width, height) for rings in polys]
        records.append({
            "id": p["BRK_A3"],
            "name": name or p["BRK_A3"],
            "status": area_status(p.get("featurecla")),
            "sovereign_id": p.get("ADM0_A3") or p["BRK_A3"],
            "polygons": [[_ring_list(r) for r in rings] for rings in simplified],
        })
    return records


def countries_document(countries, disputed):
    """The countries.json document."""
    return {"schema_version": 1, "countries": countries, "disputed_areas": disputed}
