"""Scan-line rasterisation of polygons onto the world grid, whole or supersampled.

Every routine uses the even-odd rule on horizontal scan lines: an edge from vertex j
(the previous one) to vertex i crosses the scan line at latitude ``lat`` when
``(y_j > lat) != (y_i > lat)``, at ``x_j + (x_i - x_j) * (lat - y_j) / (y_i - y_j)``;
the crossings of one polygon on one line are sorted and filled in pairs, a sample
being inside when its longitude lies in ``[x0, x1)``.  This is the rule the country
grid of the program applies to field centres, so ``country_pass`` reproduces it
bit for bit.

>>> square = [[np.array([[0.0, 0.0], [1.0, 0.0], [1.0, 1.0], [0.0, 1.0], [0.0, 0.0]])]]
>>> cov = coverage_grid(square, 360, 180, 4)
>>> float(cov[89, 180]), float(cov[89, 181])
(1.0, 0.0)
"""

import numpy as np

__all__ = [
    "polygons_of",
    "scan_intervals",
    "field_pieces",
    "coverage_grid",
    "feature_coverage",
    "country_pass",
]


def polygons_of(geometry):
    """List of polygons (each a list of rings as (n, 2) float arrays) of a GeoJSON geometry."""
    if geometry is None:
        return []
    kind = geometry["type"]
    if kind == "Polygon":
        parts = [geometry["coordinates"]]
    elif kind == "MultiPolygon":
        parts = geometry["coordinates"]
    else:
        raise ValueError(f"not a polygon geometry: {kind}")
    out = []
    for part in parts:
        rings = [np.asarray(ring, dtype=np.float64)[:, :2] for ring in part if len(ring) >= 3]
        if rings:
            out.append(rings)
    return out


def _wrapped_copies(polygons, margin):
    """Polygons plus copies shifted by +360 / -360 for those near the antimeridian.

    Returns the list of polygons and, per entry, the index of the polygon it copies.
    """
    out, origin = [], []
    for index, poly in enumerate(polygons):
        out.append(poly)
        origin.append(index)
        lo = min(r[:, 0].min() for r in poly)
        hi = max(r[:, 0].max() for r in poly)
        if lo < -180.0 + margin:
            out.append([r + np.array([360.0, 0.0]) for r in poly])
            origin.append(index)
        if hi > 180.0 - margin:
            out.append([r - np.array([360.0, 0.0]) for r in poly])
            origin.append(index)
    return out, np.asarray(origin, dtype=np.int64)


def _edges(polygons):
    """Concatenated edges (x_j, y_j, x_i, y_i, polygon index) of all rings."""
    xs1, ys1, xs2, ys2, ids = [], [], [], [], []
    for index, poly in enumerate(polygons):
        for ring in poly:
            prev = np.roll(ring, 1, axis=0)
            xs1.append(prev[:, 0])
            ys1.append(prev[:, 1])
            xs2.append(ring[:, 0])
            ys2.append(ring[:, 1])
            ids.append(np.full(len(ring), index, dtype=np.int64))
    if not ids:
        empty = np.zeros(0)
        return empty, empty, empty, empty, np.zeros(0, dtype=np.int64)
    return (np.concatenate(xs1), np.concatenate(ys1), np.concatenate(xs2),
            np.concatenate(ys2), np.concatenate(ids))


def scan_intervals(polygons, row_lat, column_of, nrows, ncols):
    """Filled column intervals of every polygon on every scan line.

    ``row_lat(j)`` gives the latitude of scan line j (decreasing with j, uniformly
    spaced), ``column_of(x, j)`` the fractional column of longitude x on line j, a
    sample column c being inside when ``column_of(x0) <= c < column_of(x1)``.
    Returns int arrays (polygon, line, start, end), end exclusive, clipped to
    [0, ncols]; empty intervals are dropped.
    """
    x1, y1, x2, y2, ids = _edges(polygons)
    keep = y1 != y2
    x1, y1, x2, y2, ids = x1[keep], y1[keep], x2[keep], y2[keep], ids[keep]
    top = row_lat(np.array([0]))[0]
    step = top - row_lat(np.array([1]))[0]
    t1 = (top - y1) / step
    t2 = (top - y2) / step
    lo = np.floor(np.minimum(t1, t2)).astype(np.int64)
    hi = np.floor(np.maximum(t1, t2)).astype(np.int64) + 1
    lo = np.clip(lo, 0, nrows)
    hi = np.clip(hi + 1, 0, nrows)  # hi exclusive, one line of margin for rounding
    counts = np.maximum(hi - lo, 0)
    total = int(counts.sum())
    if total == 0:
        z = np.zeros(0, dtype=np.int64)
        return z, z, z, z
    edge = np.repeat(np.arange(len(counts)), counts)
    offset = np.arange(total) - np.repeat(np.cumsum(counts) - counts, counts)
    line = lo[edge] + offset
    lat = row_lat(line)
    ya, yb = y1[edge], y2[edge]
    hit = (ya > lat) != (yb > lat)
    edge, line, lat = edge[hit], line[hit], lat[hit]
    xa, ya, xb, yb = x1[edge], y1[edge], x2[edge], y2[edge]
    x = xa + (xb - xa) * (lat - ya) / (yb - ya)
    col = np.ceil(column_of(x, line)).astype(np.int64)
    poly = ids[edge]
    order = np.lexsort((col, line, poly))
    poly, line, col = poly[order], line[order], col[order]
    # Pair the crossings of each (polygon, line); an odd leftover is dropped.
    key = poly * (nrows + 1) + line
    starts = np.flatnonzero(np.r_[True, key[1:] != key[:-1]])
    sizes = np.diff(np.r_[starts, len(key)])
    rank = np.arange(len(key)) - np.repeat(starts, sizes)
    usable = rank < np.repeat(sizes - sizes % 2, sizes)
    poly, line, col, rank = poly[usable], line[usable], col[usable], rank[usable]
    first = rank % 2 == 0
    a = np.clip(col[first], 0, ncols)
    b = np.clip(col[~first], 0, ncols)
    p, ln = poly[first], line[first]
    nonempty = b > a
    return p[nonempty], ln[nonempty], a[nonempty], b[nonempty]


def field_pieces(polygons, width, height, k, rows=None):
    """Covered share of every field touched by any polygon, supersampled k x k.

    Returns (polygon, row, col, fraction) with one entry per polygon and field,
    fractions in (0, 1].  ``rows`` = (r0, r1) limits the work to those field rows.
    Polygons are taken separately; overlaps between them are not merged.
    """
    r0, r1 = rows if rows is not None else (0, height)
    polys, origin = _wrapped_copies(polygons, 1.0)
    dlat = 180.0 / (height * k)
    half = k // 2
    west = -180.0 - 180.0 / width  # fine column 0 starts half a field west of -180
    nfine = width * k + half

    def row_lat(j):
        return 90.0 - (r0 * k + j + 0.5) * dlat

    def column_of(x, j):
        return (x - west) * (width * k) / 360.0 - 0.5

    poly, line, a, b = scan_intervals(polys, row_lat, column_of, (r1 - r0) * k, nfine)
    row = r0 + line // k
    off = np.where(row % 2 == 1, half, 0)
    # Even rows use fine columns [0, width*k), odd rows [half, width*k + half).
    a = np.maximum(a, off)
    b = np.minimum(b, width * k + off)
    keep = b > a
    poly, row, off, a, b = poly[keep], row[keep], off[keep], a[keep], b[keep]
    f0 = (a - off) // k
    f1 = (b - 1 - off) // k
    n = f1 - f0 + 1
    idx = np.repeat(np.arange(len(n)), n)
    f = np.repeat(f0, n) + (np.arange(int(n.sum())) - np.repeat(np.cumsum(n) - n, n))
    lo = np.maximum(a[idx], f * k + off[idx])
    hi = np.minimum(b[idx], (f + 1) * k + off[idx])
    length = hi - lo
    col = f % width
    key_poly = origin[poly[idx]]
    key = (key_poly * height + row[idx]) * width + col
    uniq, inv = np.unique(key, return_inverse=True)
    total = np.bincount(inv, weights=length).astype(np.float64) / (k * k)
    upoly = uniq // (height * width)
    rem = uniq % (height * width)
    return upoly, rem // width, rem % width, np.minimum(total, 1.0)


def coverage_grid(polygons, width, height, k, band=240):
    """Share of each field covered by the union of the polygons, as a float32 grid.

    Overlapping polygons count once where they overlap by less than a field; the
    sum is clipped to 1.
    """
    out = np.zeros((height, width), dtype=np.float32)
    if not polygons:
        return out
    for r0 in range(0, height, band):
        r1 = min(height, r0 + band)
        lat_hi = 90.0 - r0 * 180.0 / height
        lat_lo = 90.0 - r1 * 180.0 / height
        chosen = [p for p in polygons
                  if p[0][:, 1].max() >= lat_lo and p[0][:, 1].min() <= lat_hi]
        if not chosen:
            continue
        _, row, col, frac = field_pieces(chosen, width, height, k, rows=(r0, r1))
        np.add.at(out, (row, col), frac.astype(np.float32))
    np.minimum(out, 1.0, out=out)
    return out


def feature_coverage(polygons_by_feature, width, height, k):
    """Per-feature field coverage: (feature, row, col, fraction) for all features.

    ``polygons_by_feature`` is a list whose entry i holds the polygons of feature i.
    """
    flat, owner = [], []
    for i, polys in enumerate(polygons_by_feature):
        flat.extend(polys)
        owner.extend([i] * len(polys))
    if not flat:
        z = np.zeros(0, dtype=np.int64)
        return z, z, z, np.zeros(0)
    poly, row, col, frac = field_pieces(flat, width, height, k)
    feature = np.asarray(owner, dtype=np.int64)[poly]
    key = (feature * height + row) * width + col
    uniq, inv = np.unique(key, return_inverse=True)
    total = np.minimum(np.bincount(inv, weights=frac), 1.0)
    feat = uniq // (height * width)
    rem = uniq % (height * width)
    return feat, rem // width, rem % width, total


NO_OWNER = -1


def country_pass(countries, width, height):
    """Owner of every field after the program's polygon pass (first country wins).

    ``countries`` lists, in file order, each country's polygons exactly as written
    to countries.json.  Fields whose centre lies in no polygon get NO_OWNER.
    """
    flat, owner = [], []
    for index, polys in enumerate(countries):
        flat.extend(polys)
        owner.extend([index] * len(polys))
    grid = np.full((height, width), NO_OWNER, dtype=np.int32)
    if not flat:
        return grid

    def row_lat(r):
        return 90.0 - (r + 0.5) * 180.0 / height

    def column_of(x, r):
        shift = np.where(r % 2 == 1, 0.5, 0.0)
        return (180.0 + x) * width / 360.0 - shift

    poly, row, a, b = scan_intervals(flat, row_lat, column_of, height, width)
    country = np.asarray(owner, dtype=np.int64)[poly]
    # Later writes win, so write in reverse file order to let the first country keep a field.
    order = np.lexsort((-np.arange(len(country)), -country))
    for i in order:
        grid[row[i], a[i]:b[i]] = country[i]
    return grid
