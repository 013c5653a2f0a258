"""Terrain of every field: water, ice, city, mountain, hills and the land-cover classes.

Pure functions turn source rasters into field grids (row 0 = north, odd rows half a
column east); ``classify`` applies the rules in one place.

Terrain values follow the map file alphabet "pfhmcwasdib":

>>> TERRAIN_CODES[WATER], TERRAIN_CODES[FARMLAND]
('w', 'a')
"""

import numpy as np
from scipy import ndimage

__all__ = [
    "TERRAIN_CODES", "PLAIN", "FOREST", "HILLS", "MOUNTAIN", "CITY", "WATER",
    "FARMLAND", "WETLAND", "DESERT", "ICE", "SCRUB", "TERRAIN_NAMES",
    "COVER_GROUPS", "overlap_table", "landcover_fractions", "elevation_fields",
    "is_city", "is_mountain", "is_hills", "cover_terrain", "classify",
]

TERRAIN_CODES = "pfhmcwasdib"
(PLAIN, FOREST, HILLS, MOUNTAIN, CITY, WATER, FARMLAND, WETLAND, DESERT, ICE,
 SCRUB) = range(11)
TERRAIN_NAMES = ("plain", "forest", "hills", "mountain", "city", "water", "farmland",
                 "wetland", "desert", "ice", "scrub")

# IGBP classes of MCD12C1 grouped by the terrain they stand for.
COVER_GROUPS = {
    "water": (0,),
    "forest": (1, 2, 3, 4, 5, 8),  # 8 woody savanna: 30-60 % tree cover
    "scrub": (6, 7),
    "plain": (9, 10),
    "wetland": (11,),
    "farmland": (12, 14),
    "urban": (13,),
    "ice": (15,),
    "barren": (16,),
}


def overlap_table(cells, cell_size, origin, pixels, pixel_size, pixel_origin, wrap):
    """Which pixels cover each cell, and how much: (index, weight), both (cells, m).

    Cell i spans [origin + i*cell_size, origin + (i+1)*cell_size); pixel j likewise,
    in the same unit.  Weights of a cell add up to 1; unused slots have weight 0.
    With ``wrap`` the pixel axis is periodic, else it is clamped at its ends.
    """
    ratio = cell_size / pixel_size
    slots = int(np.ceil(ratio)) + 1
    index = np.zeros((cells, slots), dtype=np.int64)
    weight = np.zeros((cells, slots), dtype=np.float32)
    a = (origin + np.arange(cells) * cell_size - pixel_origin) / pixel_size
    b = a + ratio
    first = np.floor(a).astype(np.int64)
    for k in range(slots):
        j = first + k
        share = np.clip(np.minimum(b, j + 1) - np.maximum(a, j), 0.0, None) / ratio
        index[:, k] = j % pixels if wrap else np.clip(j, 0, pixels - 1)
        weight[:, k] = share
    return index, weight


def _resample(values, table, axis):
    index, weight = table
    out = None
    for k in range(index.shape[1]):
        if not weight[:, k].any():
            continue
        part = np.take(values, index[:, k], axis=axis)
        w = weight[:, k][:, None] if axis == 0 else weight[:, k][None, :]
        out = part * w if out is None else out + part * w
    return out


def landcover_fractions(classes, width, height):
    """Share of every cover group per field, as float32 grids keyed like COVER_GROUPS.

    ``classes`` is the global IGBP raster, row 0 at 90 N, column 0 at 180 W.  Each
    field takes its pixels weighted by overlap (odd rows half a field east).
    """
    ph, pw = classes.shape
    rows_table = overlap_table(height, 180.0 / height, 0.0, ph, 180.0 / ph, 0.0, False)
    field = 360.0 / width
    even_table = overlap_table(width, field, -field / 2, pw, 360.0 / pw, 0.0, True)
    odd_table = overlap_table(width, field, 0.0, pw, 360.0 / pw, 0.0, True)
    group = np.zeros(17, dtype=np.int8)
    names = list(COVER_GROUPS)
    for g, members in enumerate(COVER_GROUPS.values()):
        group[list(members)] = g
    labels = group[classes]
    out = {}
    for g, name in enumerate(names):
        rows = _resample((labels == g).astype(np.float32), rows_table, 0)
        grid = np.empty((height, width), dtype=np.float32)
        grid[0::2] = _resample(rows[0::2], even_table, 1)
        grid[1::2] = _resample(rows[1::2], odd_table, 1)
        out[name] = grid
    return out


def _grid_neighbours(f, n, wrap):
    """Grid points around the fractional grid index ``f``: (i0, i1, t) with ``f = i0 + t``.

    A point that lies on a grid point, up to rounding, takes that point alone (i0 == i1,
    t == 0): flooring an index like 2159.9999999 would pick the point west of it.
    Otherwise i0 and i1 are the points either side.  ``wrap`` makes the axis periodic;
    else indices are clamped to the ends of the axis.
    """
    f = np.asarray(f, dtype=np.float64)
    nearest = np.rint(f)
    on_point = np.abs(f - nearest) < 1e-6
    below = np.floor(f)
    if not wrap:
        below = np.clip(below, 0, n - 2)
    i0 = np.where(on_point, nearest, below).astype(np.int64)
    i1 = np.where(on_point, i0, i0 + 1)
    t = np.where(on_point, 0.0, f - below)
    if wrap:
        return i0 % n, i1 % n, t
    return np.clip(i0, 0, n - 1), np.clip(i1, 0, n - 1), t


def elevation_fields(etopo, width, height, relief_radius=2):
    """Mean elevation and local relief (metres) per field from the ETOPO5 raster.

    ``etopo`` has row 0 at 90 N and column 0 at 0 E in steps of 1/12 degree, both poles
    included.  Elevation is bilinear at the field centre; relief is the range of
    elevations (sea floor counted as 0 m) within ``relief_radius`` grid points of the
    grid points nearest the centre: the point itself where the centre lies on one (even
    rows, on the world grid), else the two points either side of it (odd rows).  Either
    way the window is symmetric about the centre.
    """
    rows, cols = etopo.shape
    step_lat = 180.0 / (rows - 1)
    step_lon = 360.0 / cols
    land = np.maximum(etopo, 0.0)
    size = 2 * relief_radius + 1
    high = ndimage.maximum_filter(land, size=size, mode=("nearest", "wrap"))
    low = ndimage.minimum_filter(land, size=size, mode=("nearest", "wrap"))
    r = np.arange(height)
    c = np.arange(width)
    lon = (c[None, :] + 0.5 * (r[:, None] % 2)) * 360.0 / width - 180.0
    lat = 90.0 - (r[:, None] + 0.5) * 180.0 / height
    fy = np.broadcast_to((90.0 - lat) / step_lat, lon.shape)
    fx = np.mod(lon, 360.0) / step_lon
    y0, y1, ty = _grid_neighbours(fy, rows, wrap=False)
    x0, x1, tx = _grid_neighbours(fx, cols, wrap=True)

    def bilinear(a):
        top = a[y0, x0] * (1 - tx) + a[y0, x1] * tx
        bottom = a[y1, x0] * (1 - tx) + a[y1, x1] * tx
        return (top * (1 - ty) + bottom * ty).astype(np.float32)

    elevation = bilinear(etopo)
    relief = np.maximum(
        np.maximum(high[y0, x0], high[y0, x1]), np.maximum(high[y1, x0], high[y1, x1])
    ) - np.minimum(
        np.minimum(low[y0, x0], low[y0, x1]), np.minimum(low[y1, x0], low[y1, x1])
    )
    return elevation, relief.astype(np.float32)


def is_city(urban_cover, urban_polygons):
    """Built-up field: the rule shared with the stage that builds urban.json.

    ``urban_cover`` is the field's share of MODIS class 13 (urban and built-up),
    ``urban_polygons`` its share covered by the Natural Earth urban areas.  A field
    is city when the land cover says it is mostly built-up, or when both sources
    agree on a substantial built-up share.
    """
    urban_cover = np.asarray(urban_cover)
    urban_polygons = np.asarray(urban_polygons)
    return (urban_cover >= 0.5) | ((urban_cover >= 0.25) & (urban_polygons >= 0.4))


def is_mountain(elevation, relief):
    """High, rugged fields: Alps, Himalaya, Andes, Rockies, and the high plateaus."""
    elevation = np.asarray(elevation)
    relief = np.asarray(relief)
    return (
        (elevation >= 3000)
        | ((elevation >= 1500) & (relief >= 900))
        | ((elevation >= 800) & (relief >= 1500))
    )


def is_hills(elevation, relief):
    """Uneven land below mountain level: uplands and the foothills of ranges."""
    elevation = np.asarray(elevation)
    relief = np.asarray(relief)
    return (relief >= 500) | ((elevation >= 600) & (relief >= 300))


def cover_terrain(fractions):
    """Terrain from the land cover alone: the land group with the largest share.

    Wetlands are patchy at this scale, so a wetland share of 0.35 is enough.
    Barren land counts as desert; a field without any land share is plain.
    """
    names = ("forest", "scrub", "plain", "wetland", "farmland", "urban", "ice", "barren")
    terrain = (FOREST, SCRUB, PLAIN, WETLAND, FARMLAND, PLAIN, ICE, DESERT)
    stack = np.stack([np.asarray(fractions[n], dtype=np.float32) for n in names])
    best = np.argmax(stack, axis=0)
    out = np.asarray(terrain, dtype=np.uint8)[best]
    out[stack.max(axis=0) <= 0] = PLAIN
    out[np.asarray(fractions["wetland"]) >= 0.35] = WETLAND
    return out


def classify(land, ice_cover, fractions, urban_polygons, elevation, relief):
    """Terrain value of every field.

    Order of the rules: water (``land`` false), ice (glacier or shelf polygons, or
    mostly permanent snow in the land cover), city, mountain, hills, then the land
    cover group.  ``ice_cover`` is the share covered by glacier and ice-shelf polygons.
    """
    land = np.asarray(land, dtype=bool)
    out = cover_terrain(fractions)
    hills = is_hills(elevation, relief)
    out[hills] = HILLS
    out[is_mountain(elevation, relief)] = MOUNTAIN
    out[is_city(fractions["urban"], urban_polygons)] = CITY
    snow = np.asarray(fractions["ice"])
    landshare = 1.0 - np.asarray(fractions["water"])
    ice = (np.asarray(ice_cover) >= 0.5) | (snow >= 0.5 * np.maximum(landshare, 1e-6))
    out[ice] = ICE
    out[~land] = WATER
    return out


def keep_small_parts(mask, feature, row, col, share, min_area, value=True):
    """Give every sizeable feature that vanished from ``mask`` its best-covered field.

    ``feature``, ``row``, ``col`` and ``share`` list the covered share of each field per
    feature (as from ``raster.feature_coverage``).  A feature covering at least
    ``min_area`` fields in total, none of whose fields has ``mask == value``, gets
    the field it covers most set to ``value``.  Returns the number of fields set.
    """
    if len(feature) == 0:
        return 0
    nfeat = int(feature.max()) + 1
    area = np.bincount(feature, weights=share, minlength=nfeat)
    present = np.bincount(feature, weights=(mask[row, col] == value), minlength=nfeat) > 0
    order = np.lexsort((-share, feature))
    first = np.r_[True, feature[order][1:] != feature[order][:-1]]
    best = order[first]
    wanted = (area[feature[best]] >= min_area) & ~present[feature[best]]
    chosen = best[wanted]
    mask[row[chosen], col[chosen]] = value
    return int(len(chosen))


# Fields covered at least this much by land (including minor islands, minus lakes)
# or by an ice shelf are land; smaller islands and lakes keep one field when they
# cover at least the given share of a field in total.
LAND_SHARE = 0.5
KEEP_ISLAND_AREA = 0.25
KEEP_LAKE_AREA = 0.5
SUPERSAMPLE = 4  # 4 x 4 samples per field for polygon coverage


def terrain_grid(layers, etopo, classes, width, height, k=SUPERSAMPLE):
    """All terrain rasters of the world grid from the loaded sources.

    ``layers`` maps layer names to lists of polygons per feature (each polygon a list
    of rings); ``etopo`` and ``classes`` are the raw rasters (see sources.Geodata).
    Returns a dict with "terrain" and the grids later stages use: "inland" (water
    fields that are more lake or enclosed sea than open sea), "landshare", "lakes",
    "elevation", "relief", "urban_cover", "urban_polygons".
    """
    from .raster import coverage_grid, feature_coverage

    parts = [[p] for name in ("land", "minor_islands") for polys in layers[name] for p in polys]
    feat, row, col, share = feature_coverage(parts, width, height, k)
    land_cover = np.zeros((height, width), dtype=np.float32)
    np.add.at(land_cover, (row, col), share.astype(np.float32))
    np.minimum(land_cover, 1.0, out=land_cover)

    lake_features = [polys for name in ("lakes", "lakes_europe", "lakes_north_america")
                     for polys in layers[name]]
    lfeat, lrow, lcol, lshare = feature_coverage(lake_features, width, height, k)
    lakes = np.zeros((height, width), dtype=np.float32)
    np.maximum.at(lakes, (lrow, lcol), lshare.astype(np.float32))

    shelf = coverage_grid([p for polys in layers["ice_shelves"] for p in polys], width, height, k)
    glacier = coverage_grid([p for polys in layers["glaciers"] for p in polys], width, height, k)
    urban_polygons = coverage_grid([p for polys in layers["urban"] for p in polys], width, height, k)

    # Water enclosed by the land polygons themselves (the Caspian Sea is a hole of the
    # land layer, not a lake) counts as inland water like the lakes.
    holes = coverage_grid([[ring] for polys in layers["land"] for p in polys for ring in p[1:]],
                          width, height, k)
    landshare = np.clip(land_cover - lakes, 0.0, 1.0)
    sea_share = np.clip(1.0 - land_cover - holes, 0.0, 1.0)
    land = (landshare + shelf) >= LAND_SHARE
    islands = keep_small_parts(land, feat, row, col, share, KEEP_ISLAND_AREA, True)
    lake_mask = ~land
    kept_lakes = keep_small_parts(lake_mask, lfeat, lrow, lcol, lshare, KEEP_LAKE_AREA, True)
    land = ~lake_mask

    fractions = landcover_fractions(classes, width, height)
    elevation, relief = elevation_fields(etopo, width, height)
    ice_cover = np.minimum(glacier + shelf, 1.0)
    terrain = classify(land, ice_cover, fractions, urban_polygons, elevation, relief)
    inland = (terrain == WATER) & (np.minimum(lakes + holes, 1.0) >= sea_share)
    return {
        "terrain": terrain,
        "inland": inland,
        "landshare": landshare,
        "lakes": lakes,
        "elevation": elevation,
        "relief": relief,
        "urban_cover": fractions["urban"],
        "urban_polygons": urban_polygons,
        "kept_islands": islands,
        "kept_lakes": kept_lakes,
    }
