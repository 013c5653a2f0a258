"""Build Korvan's world data files in data/ from the open geodata (see tools/README.md).

The world map, countries, waters and names first; then build_data_part2.py adds the cities,
urban areas, scenario, flags and artwork on top of the new world.json.

Usage: /usr/bin/python3 tools/build_data.py [--geodata DIR] [--out DIR] [--previews DIR]
                                            [--flag-icons TGZ]
"""

import argparse
import json
import os
import sys
import time
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))

import build_data_part2  # noqa: E402
from worldgen import bridges, countries, encode, landmarks, rivers, terrain, validate, waters  # noqa: E402
from worldgen.names import ascii_name  # noqa: E402
from worldgen.preview import detail_picture, terrain_image  # noqa: E402
from worldgen.raster import polygons_of  # noqa: E402
from worldgen.sources import Geodata  # noqa: E402
from worldgen.world import world_document  # noqa: E402

WIDTH, HEIGHT = 4320, 2160
REPO = Path(__file__).resolve().parent.parent

POLYGON_LAYERS = {
    "land": "ne_10m_land",
    "minor_islands": "ne_10m_minor_islands",
    "lakes": "ne_10m_lakes",
    "lakes_europe": "ne_10m_lakes_europe",
    "lakes_north_america": "ne_10m_lakes_north_america",
    "ice_shelves": "ne_10m_antarctic_ice_shelves_polys",
    "glaciers": "ne_10m_glaciated_areas",
    "urban": "ne_50m_urban_areas",
}


class Log:
    """Stage timing on standard error."""

    def __init__(self):
        self.start = time.time()
        self.last = self.start

    def __call__(self, message):
        now = time.time()
        print(f"[{now - self.start:7.1f}s +{now - self.last:5.1f}s] {message}", file=sys.stderr)
        self.last = now


def write_document(path, doc, check, line_keys=()):
    """Serialise, re-read and check a document, then replace the file atomically."""
    text = encode.dumps_document(doc, line_keys)
    result = check(json.loads(text))
    tmp = path.with_suffix(path.suffix + ".tmp")
    tmp.write_text(text, encoding="ascii")
    os.replace(tmp, path)
    return result, len(text)


def axial_pairs(network):
    """Function side index -> (q1, r1, q2, r2) of the side's two stored fields."""
    cells = {index: key for key, index in network.edges.items()}
    width = network.width

    def pair(index):
        out = []
        for cell in cells[index]:
            r, c = divmod(cell, width)
            out.extend((c - r // 2, r))
        return tuple(out)

    return pair


def build(args):
    log = Log()
    geo = Geodata(args.geodata)
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    layers = {key: [polygons_of(f["geometry"]) for f in geo.layer(name)]
              for key, name in POLYGON_LAYERS.items()}
    log("polygon layers read")
    grids = terrain.terrain_grid(layers, geo.elevation(), geo.landcover(), WIDTH, HEIGHT)
    ter = grids["terrain"]
    water = ter == terrain.WATER
    log(f"terrain: {grids['kept_islands']} small islands and {grids['kept_lakes']} small lakes kept")
    marks = landmarks.check_landmarks(ter)
    for place, expected, found, share, passed in marks:
        if not passed:
            log(f"WARNING: {place} is {found} ({share:.0%} {expected} around it), expected {expected}")

    network, classes, river_stats = rivers.build_network(
        geo.layer("ne_10m_rivers_lake_centerlines"), geo.layer("ne_10m_rivers_europe"),
        geo.layer("ne_10m_rivers_north_america"), water, grids["landshare"], grids["elevation"],
        grids["inland"])
    log(f"rivers: {river_stats}")

    mx, my = bridges.side_midpoints(network.ends)
    bridgeable = np.array([network.land_side(u, v) for u, v in network.ends], dtype=bool)
    towns = [(f["properties"]["LONGITUDE"], f["properties"]["LATITUDE"],
              f["properties"].get("POP_MAX") or 0) for f in geo.layer("ne_10m_populated_places")]
    town, unserved = bridges.town_bridges(mx, my, network.river, bridgeable, towns, WIDTH, HEIGHT)
    named, missing = bridges.named_bridges(mx, my, network.name, bridgeable, WIDTH, HEIGHT)
    bridged = np.zeros(len(network.ends), dtype=bool)
    bridged[list(town)] = True
    bridged[list(named)] = True
    log(f"bridges: {int(bridged.sum())} sides, {len(named)} named, {unserved} river towns "
        "without a side with two land banks"
        + (f", not placed: {missing}" if missing else ""))

    owners, directions = rivers.side_records(network)
    pairs = axial_pairs(network)
    doc = world_document(ter, owners, directions, classes, bridged, named, pairs)

    def check_world(parsed):
        loaded = validate.check_map(parsed)
        validate.check_bridge_names(parsed, loaded)
        return loaded

    loaded, size = write_document(out / "world.json", doc, check_world,
                                  ("terrain_rows", "river_rows", "river_width_rows", "bridge_rows",
                                   "bridge_names"))
    log(f"world.json: {size} bytes, {len(loaded.edges)} river sides")

    river_names = river_names_document(network, pairs)
    named_sides, size_names = write_document(
        out / "river-names.json", river_names,
        lambda d: validate.check_river_names(d, loaded), ("edges",))
    log(f"river-names.json: {size_names} bytes, {named_sides} named sides, "
        f"{len(river_names['names'])} names")

    water_stats = build_geography(geo, out, grids, log)

    stats = {
        "terrain": {terrain.TERRAIN_NAMES[i]: int(n)
                    for i, n in enumerate(np.bincount(ter.ravel(), minlength=11))},
        "river_sides": len(network.ends),
        "width_classes": {int(c): int(n) for c, n in zip(*np.unique(classes, return_counts=True))},
        "bridges": int(bridged.sum()),
        "named_bridge_sides": len(named),
        "bridge_names": sum(len(v) for v in named.values()),
        "named_river_sides": named_sides,
        "river_towns_without_crossing": unserved,
        "landmarks": {place: f"{found} ({share:.0%} {expected})"
                      for place, expected, found, share, _ in marks},
        "bytes": {"world.json": size, "river-names.json": size_names, **water_stats.pop("bytes")},
        **water_stats,
    }

    if args.previews:
        previews(Path(args.previews), ter, network, classes, bridged)
        log("previews written")
    return stats, log


def river_names_document(network, pairs):
    """river-names.json: every named side with the index of its name."""
    names = sorted({n for n in network.name if n})
    index = {n: i for i, n in enumerate(names)}
    edges = [[*map(int, pairs(i)), index[n]] for i, n in enumerate(network.name) if n]
    return {"schema_version": 1, "width": network.width, "height": network.height,
            "names": names, "edges": edges}


RIVER_ARM_WORDS = ("river", "rio ", "estuary")


def build_geography(geo, out, grids, log):
    """countries.json, water-territories.json, lakes.json and seas.json."""
    from worldgen.raster import country_pass, feature_coverage

    ter = grids["terrain"]
    water = ter == terrain.WATER
    height, width = ter.shape
    sizes = {}

    features = geo.layer("ne_10m_admin_0_countries")
    records, shapes = countries.country_records(
        features, [polygons_of(f["geometry"]) for f in features], width, height)
    disputed_features = geo.layer("ne_10m_admin_0_disputed_areas")
    disputed = countries.disputed_records(
        disputed_features, [polygons_of(f["geometry"]) for f in disputed_features], width, height)
    ids, sizes["countries.json"] = write_document(
        out / "countries.json", countries.countries_document(records, disputed),
        validate.check_countries, ("countries", "disputed_areas"))
    log(f"countries.json: {sizes['countries.json']} bytes, {len(records)} countries, "
        f"{len(disputed)} disputed areas")

    owner = country_pass(shapes, width, height)
    inland = grids["inland"]
    parts = waters.territories(water, owner, inland)
    doc = waters.territory_document(ids, parts)
    _, sizes["water-territories.json"] = write_document(
        out / "water-territories.json", doc,
        lambda d: validate.check_water_territories(d, width, height, ids),
        ("spans", "marine_spans", "land_spans", "interior_water_spans"))
    unowned_land = int(((~water) & (owner < 0) & (parts["land"] < 0)).sum())
    log(f"water-territories.json: {sizes['water-territories.json']} bytes, "
        f"{int((parts['land'] >= 0).sum())} land fields added, {unowned_land} land fields unowned")

    # Lakes: the three lake layers, then marine polygons that are river arms or inland seas.
    lake_items = []
    for layer in ("ne_10m_lakes", "ne_10m_lakes_europe", "ne_10m_lakes_north_america"):
        for i, f in enumerate(geo.layer(layer)):
            p = f["properties"]
            kind = "reservoir" if p.get("featurecla") == "Reservoir" else "lake"
            aid = str(p.get("ne_id") or f"{layer[6:]}-{i}")
            lake_items.append((aid, waters.lake_name(p), kind, polygons_of(f["geometry"])))
    marine = geo.layer("ne_10m_geography_marine_polys")
    marine_items = []
    for i, f in enumerate(marine):
        p = f["properties"]
        name = (ascii_name(p.get("name_de")) or ascii_name(p.get("name_en"))
                or ascii_name((p.get("name") or "").title()))
        aid = str(p.get("ne_id") or f"marine-{i}")
        marine_items.append((aid, name, p.get("featurecla") or "", polygons_of(f["geometry"])))
    winner_lakes = waters.field_winners(
        feature_coverage([it[3] for it in lake_items], width, height, terrain.SUPERSAMPLE), water)
    # Oceans are never river arms or inland seas; leaving them out saves most of the work.
    winner_marine = waters.field_winners(
        feature_coverage([[] if it[2] == "ocean" else it[3] for it in marine_items],
                         width, height, 2), water)

    lake_cells = cells_by_feature(winner_lakes, len(lake_items))
    marine_cells = cells_by_feature(winner_marine, len(marine_items))
    lake_areas, sea_areas, taken = [], [], np.zeros(ter.shape, dtype=bool)
    seen_names = {}
    for n, (aid, name, kind, polys) in enumerate(lake_items):
        cells = lake_cells[n]
        if not name or not polys:
            continue
        if name in seen_names and len(cells) == 0:
            continue  # the same lake again in a regional layer
        seen_names[name] = True
        taken.flat[cells] = True
        lake_areas.append((len(cells), waters.area_record(
            aid, name, kind, polys, cells, width, waters.LAKE_TOLERANCE,
            detail=len(cells) < waters.DETAIL_FIELDS)))
    for n, (aid, name, kind, polys) in enumerate(marine_items):
        if not name or not polys:
            continue
        cells = marine_cells[n]
        props = marine[n]["properties"]
        english = ascii_name(props.get("name_en") or props.get("name") or "").lower() + " "
        river_arm = kind == "river" or any(w in english for w in RIVER_ARM_WORDS)
        inland_sea = len(cells) > 0 and inland.flat[cells].mean() >= 0.9
        if river_arm or inland_sea:
            cells = cells[~taken.flat[cells]]
            taken.flat[cells] = True
            lake_areas.append((len(cells), waters.area_record(
                aid, name, "river_arm" if river_arm else "inland_sea", polys, cells, width,
                waters.LAKE_TOLERANCE)))
        else:
            area = sum(abs(_ring_area(r)) for poly in polys for r in poly[:1])
            sea_areas.append((area, waters.area_record(aid, name, kind, polys, None, width,
                                                       waters.SEA_TOLERANCE)))
    used = set()
    for _, record in lake_areas + sea_areas:  # the source repeats some ids across layers
        base, n = record["id"], 1
        while record["id"] in used:
            n += 1
            record["id"] = f"{base}-{n}"
        used.add(record["id"])
    lake_areas.sort(key=lambda t: t[0])  # smaller lakes first: the first area of a cell wins
    sea_areas.sort(key=lambda t: t[0])  # bays and fjords before the seas and oceans around them
    unnamed = np.flatnonzero((inland & ~taken).ravel())
    lakes_doc = waters.seas_document([a for _, a in lake_areas], width, height,
                                     waters.spans_of_cells(unnamed // width, unnamed % width))
    _, sizes["lakes.json"] = write_document(out / "lakes.json", lakes_doc, validate.check_seas,
                                            ("areas", "water_hex_spans"))
    seas_doc = waters.seas_document([a for _, a in sea_areas])
    _, sizes["seas.json"] = write_document(out / "seas.json", seas_doc, validate.check_seas, ("areas",))
    log(f"lakes.json: {sizes['lakes.json']} bytes, {len(lake_areas)} areas; "
        f"seas.json: {sizes['seas.json']} bytes, {len(sea_areas)} areas")
    return {
        "countries": len(records),
        "disputed_areas": len(disputed),
        "land_fields_added": int((parts["land"] >= 0).sum()),
        "unowned_land_fields": unowned_land,
        "marine_fields": int((parts["marine"] >= 0).sum()),
        "interior_water_fields": int((parts["interior"] >= 0).sum()),
        "lake_areas": len(lake_areas),
        "sea_areas": len(sea_areas),
        "unnamed_inland_fields": int(len(unnamed)),
        "bytes": sizes,
    }


def cells_by_feature(winner, count):
    """Per feature number, the sorted cell keys where ``winner`` holds that number."""
    flat = winner.ravel()
    cells = np.flatnonzero(flat >= 0)
    owners = flat[cells]
    order = np.argsort(owners, kind="stable")
    cells, owners = cells[order], owners[order]
    bounds = np.searchsorted(owners, np.arange(count + 1))
    return [cells[bounds[i] : bounds[i + 1]] for i in range(count)]


def _ring_area(ring):
    ring = np.asarray(ring, dtype=np.float64)
    x, y = ring[:, 0], ring[:, 1]
    return 0.5 * float(np.dot(x, np.roll(y, 1)) - np.dot(y, np.roll(x, 1)))


def previews(folder, ter, network, classes, bridged):
    """World picture of the terrain and a Europe close-up with rivers and bridges."""
    from PIL import Image

    folder.mkdir(parents=True, exist_ok=True)
    world = Image.fromarray(terrain_image(ter)).resize((1440, 720), Image.BOX)
    world.quantize(64).save(folder / "preview_world.png", optimize=True)
    europe = detail_picture(ter, network.ends, classes, bridged, -10.0, 30.0, 36.0, 58.0, 2)
    europe.quantize(64).save(folder / "preview_europe.png", optimize=True)


def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geodata", default=str(REPO.parent / "shared" / "geodata"),
                        help="geodata directory (default: ../shared/geodata)")
    parser.add_argument("--out", default=str(REPO / "data"), help="output directory (default: data)")
    parser.add_argument("--previews", default=None,
                        help="also write the preview pictures here")
    parser.add_argument("--flag-icons", default=str(build_data_part2.DEFAULT_FLAGS),
                        help="the flag-icons npm tarball (see build_data_part2.py)")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse(argv)
    stats, log = build(args)
    stats["part2"] = build_data_part2.build(args.geodata, args.out, args.previews, args.flag_icons, log)
    print(json.dumps(stats, indent=1))
    log("done")
    return 0


if __name__ == "__main__":
    sys.exit(main())
