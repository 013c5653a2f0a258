"""Water territories (water-territories.json), seas (seas.json) and lakes (lakes.json).

Ownership of water and of unclaimed land goes to the nearest land field of a
country, so national waters meet at median lines:

* land spans: land fields the country polygons leave unclaimed (coast and island
  slivers) go to the country of the nearest claimed land field;
* marine spans: sea fields within ``TERRITORIAL_KM`` of a country's land;
* interior water spans: every inland water field (lakes, inland seas);
* spans: national water, the union of marine and interior water.

>>> nearest_owner(np.array([[0, -1, -1, 1]]), np.array([[False, True, True, False]]))[0].tolist()
[0, 0, 1, 1]
"""

import numpy as np
from scipy import ndimage

from .encode import labelled_spans
from .names import ascii_name
from .simplify import douglas_peucker

__all__ = [
    "TERRITORIAL_KM",
    "nearest_owner",
    "marine_owner",
    "territories",
    "territory_document",
    "lake_name",
    "simplified_rings",
    "spans_of_cells",
    "field_winners",
    "area_record",
    "seas_document",
]

TERRITORIAL_KM = 22.2  # 12 nautical miles
EARTH_KM_PER_DEGREE = 111.2


def nearest_owner(owner, targets, pad=256):
    """Copy of ``owner`` where every target cell takes the value of the nearest owned cell.

    ``owner`` holds -1 for no owner; distances are counted in cells on a grid that
    wraps east-west.  Targets with no owned cell anywhere keep -1.
    """
    height, width = owner.shape
    pad = min(pad, width)
    wrapped = np.concatenate([owner[:, -pad:], owner, owner[:, :pad]], axis=1)
    source = wrapped >= 0
    out = owner.copy()
    if not source.any():
        return out
    _, (ri, ci) = ndimage.distance_transform_edt(~source, return_indices=True)
    nearest = wrapped[ri, ci][:, pad : pad + width]
    out[targets] = nearest[targets]
    return out


def marine_owner(land_owner, sea, km=TERRITORIAL_KM, band=60):
    """Owner of every sea cell within ``km`` of owned land (else -1).

    Distances use kilometres per row and per column at the band's latitude, so the
    belt keeps its width towards the poles.
    """
    height, width = land_owner.shape
    out = np.full(land_owner.shape, -1, dtype=land_owner.dtype)
    dy = 180.0 / height * EARTH_KM_PER_DEGREE
    rows_pad = int(np.ceil(km / dy)) + 1
    for r0 in range(0, height, band):
        r1 = min(height, r0 + band)
        # Column width at the band's poleward edge, so that the belt is nowhere narrower.
        edge = max(abs(90.0 - r0 * 180.0 / height), abs(90.0 - r1 * 180.0 / height))
        dx = max(360.0 / width * EARTH_KM_PER_DEGREE * np.cos(np.radians(edge)), 0.05)
        cols_pad = min(int(np.ceil(km / dx)) + 1, width)
        a, b = max(0, r0 - rows_pad), min(height, r1 + rows_pad)
        part = land_owner[a:b]
        part = np.concatenate([part[:, -cols_pad:], part, part[:, :cols_pad]], axis=1)
        source = part >= 0
        if not source.any():
            continue
        dist, (ri, ci) = ndimage.distance_transform_edt(
            ~source, sampling=(dy, dx), return_indices=True)
        near = np.where(dist <= km, part[ri, ci], -1)[r0 - a : r1 - a, cols_pad : cols_pad + width]
        out[r0:r1] = np.where(sea[r0:r1], near, -1)
    return out


def territories(terrain_water, polygon_owner, inland):
    """Grids of the water-territory file from the polygon pass and the water mask.

    ``terrain_water``: water fields; ``polygon_owner``: owner after the program's
    polygon pass (-1 none); ``inland``: water fields of lakes and inland seas.
    Returns dict of int grids (-1 = none): "land" (land spans), "marine",
    "interior", "national", and "land_owner" (owner of every land field).
    """
    land = ~terrain_water
    land_claimed = np.where(land, polygon_owner, -1)
    unclaimed = land & (polygon_owner < 0)
    land_owner = nearest_owner(land_claimed, unclaimed)
    land_spans = np.where(unclaimed, land_owner, -1)
    sea = terrain_water & ~inland
    marine = marine_owner(land_owner, sea)
    interior = np.where(inland, nearest_owner(land_owner, inland), -1)
    national = np.where(marine >= 0, marine, interior)
    return {"land": land_spans, "marine": marine, "interior": interior, "national": national,
            "land_owner": land_owner}


def territory_document(codes, grids):
    """The water-territories.json document; owners index into ``codes``."""
    height, width = grids["national"].shape
    return {
        "schema_version": 1,
        "width": int(width),
        "height": int(height),
        "countries": list(codes),
        "spans": labelled_spans(grids["national"]),
        "marine_spans": labelled_spans(grids["marine"]),
        "land_spans": labelled_spans(grids["land"]),
        "interior_water_spans": labelled_spans(grids["interior"]),
    }


def lake_name(props):
    """ASCII name of a lake: the German name, completed where it is only an adjective.

    Some German names of the source are the adjective alone ("Starnberger" for the
    Starnberger See, "Oberer" for the Oberer See); those get " See".
    """
    german = ascii_name(props.get("name_de"))
    if german:
        if german.endswith("er") and " " not in german:
            return german + " See"
        return german
    return ascii_name(props.get("name")) or ascii_name(props.get("name_en"))


def simplified_rings(polygons, tolerance):
    """Polygons as nested lists, each ring simplified (Douglas-Peucker) in three pieces."""
    out = []
    for rings in polygons:
        simple = []
        for ring in rings:
            ring = np.asarray(ring, dtype=np.float64)
            if len(ring) > 1 and np.array_equal(ring[0], ring[-1]):
                ring = ring[:-1]
            if len(ring) < 3:
                continue
            closed = np.vstack([ring, ring[:1]])
            cuts = np.unique(np.linspace(0, len(ring), 4).astype(int))
            parts = [_plain_dp(closed[a : b + 1], tolerance)[:-1] for a, b in zip(cuts[:-1], cuts[1:])]
            result = np.round(np.vstack(parts + [parts[0][:1]]), 4)
            simple.append([[float(x), float(y)] for x, y in result])
        if simple:
            out.append(simple)
    return out


def _plain_dp(points, tolerance):
    return douglas_peucker(points, lambda i, j, worst: worst <= tolerance)


def spans_of_cells(rows, cols):
    """[row, start, count] runs of a set of cells given as row and column arrays."""
    if len(rows) == 0:
        return []
    order = np.lexsort((cols, rows))
    rows, cols = np.asarray(rows)[order], np.asarray(cols)[order]
    new = np.r_[True, (rows[1:] != rows[:-1]) | (cols[1:] != cols[:-1] + 1)]
    starts = np.flatnonzero(new)
    counts = np.diff(np.r_[starts, len(rows)])
    return [[int(rows[s]), int(cols[s]), int(n)] for s, n in zip(starts, counts)]


DETAIL_FIELDS = 100  # lakes smaller than this many fields are drawn by outline too
LAKE_TOLERANCE = 0.005  # degrees
SEA_TOLERANCE = 0.02


def field_winners(coverage, water):
    """Feature that covers each water field most (-1 where none), from feature coverage."""
    height, width = water.shape
    feat, row, col, share = coverage
    ok = water[row, col]
    feat, row, col, share = feat[ok], row[ok], col[ok], share[ok]
    cells = row * width + col
    order = np.lexsort((feat, -share, cells))
    cells = cells[order]
    first = np.r_[True, cells[1:] != cells[:-1]] if len(cells) else np.zeros(0, dtype=bool)
    winner = np.full(height * width, -1, dtype=np.int64)
    winner[cells[first]] = feat[order][first]
    return winner.reshape(height, width)


def area_record(aid, name, kind, polygons, cells, width, tolerance, detail=False):
    """One area object of seas.json / lakes.json; ``cells`` are its cell keys (may be None)."""
    record = {"id": aid, "name": name}
    if kind:
        record["kind"] = kind
    record["polygons"] = simplified_rings(polygons, tolerance)
    if cells is not None:
        cells = np.asarray(cells)
        record["hex_spans"] = spans_of_cells(cells // width, cells % width)
    if detail:
        record["detail"] = True
    return record


def seas_document(areas, width=0, height=0, water_spans=None):
    """A seas.json or lakes.json document."""
    doc = {"schema_version": 1}
    if width and height:
        doc["width"] = int(width)
        doc["height"] = int(height)
    doc["areas"] = areas
    if water_spans is not None:
        doc["water_hex_spans"] = water_spans
    return doc
