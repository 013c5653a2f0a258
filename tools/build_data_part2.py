"""Build the second half of Korvan's data set from world.json, the geodata and the flag set.

cities.json, urban.json, city-parameters.json, units.json, battles.json, flags.json, flags.bmp,
terrain-icons-v4.bmp, city-marker.bmp, city-size-markers.bmp and the regional map donau-wien.json
(see tools/README.md). It reads
the world.json that the first half wrote into the output directory, so the urban areas use
exactly the City fields of the shipped map.

With --cities-only it rewrites just the three city files (a few seconds; no flag set needed).

Usage: /usr/bin/python3 tools/build_data_part2.py [--geodata DIR] [--out DIR] [--previews DIR]
                                                  [--flag-icons TGZ] [--cities-only]
"""

import argparse
import json
import os
import sys
import time
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))

import build_regional_map  # noqa: E402

from worldgen import (artwork, bmp, cities, cityparams, flags, scenario, urban,  # noqa: E402
                      validate)
from worldgen.encode import dumps_document  # noqa: E402
from worldgen.playgrid import PlayGrid, place_anchored_cities  # noqa: E402
from worldgen.sources import Geodata  # noqa: E402

REPO = Path(__file__).resolve().parent.parent
DEFAULT_FLAGS = REPO / "build" / f"{flags.PACKAGE}-{flags.VERSION}.tgz"
# Play-grid window around Wien that holds every unit and objective (stored rows and columns).
SCENARIO_ROWS = range(840, 900)
SCENARIO_COLUMNS = range(2300, 2420)


class Log:
    """Stage timing on standard error."""

    def __init__(self):
        self.start = self.last = time.time()

    def __call__(self, message):
        now = time.time()
        print(f"[{now - self.start:7.1f}s +{now - self.last:5.1f}s] {message}", file=sys.stderr)
        self.last = now


def replace_file(path, data):
    """Write bytes next to the target and move them over it."""
    tmp = path.with_suffix(path.suffix + ".tmp")
    tmp.write_bytes(data)
    os.replace(tmp, path)
    return len(data)


def write_json(path, doc, check, line_keys=()):
    """Serialise, re-read and check a document, then replace the file."""
    if isinstance(doc, list):  # flags.json is a bare array, one entry per line
        text = "[\n" + ",\n".join(json.dumps(v) for v in doc) + "\n]\n"
    else:
        text = dumps_document(doc, line_keys)
    result = check(json.loads(text))
    return result, replace_file(path, text.encode("ascii"))


def write_bmp(path, rgba, check):
    data = bmp.bmp_bytes(rgba)
    check(data)
    return replace_file(path, data)


def build(geodata, out, previews=None, flag_icons=DEFAULT_FLAGS, log=None, cities_only=False):
    """Writes the eleven files into ``out`` (only the three city files with ``cities_only``);
    returns the statistics."""
    log = log or Log()
    geo = Geodata(geodata)
    out = Path(out)
    sizes, stats = {}, {}

    loaded = validate.check_map(json.loads((out / "world.json").read_text()))
    terrain = loaded.terrain.astype(np.uint8)
    height, width = terrain.shape
    grid = PlayGrid(width, height)
    log(f"world.json read: {width} x {height}, play grid {grid.width} x {grid.height}")

    build_cities(geo, out, terrain, grid, sizes, stats, log)
    if cities_only:
        stats["bytes"] = sizes
        return stats

    window = grid.terrain(terrain, SCENARIO_ROWS, SCENARIO_COLUMNS)

    def terrain_at(q, r):
        row, column = r - SCENARIO_ROWS[0], q + r // 2 - SCENARIO_COLUMNS[0]
        if not (0 <= row < window.shape[0] and 0 <= column < window.shape[1]):
            raise scenario.ScenarioError(f"Feld ({q}, {r}) liegt ausserhalb des Szenarioausschnitts")
        return int(window[row, column])

    positions, objective_hexes = scenario.unit_positions(grid, terrain_at)
    placed, sizes["units.json"] = write_json(
        out / "units.json", scenario.units_document(grid, positions),
        lambda d: validate.check_units(d, grid, terrain_at), ("types", "world_units"))
    goals, sizes["battles.json"] = write_json(
        out / "battles.json", scenario.battles_document(grid, objective_hexes),
        lambda d: validate.check_battles(d, grid, terrain_at, placed))
    stats["units"] = {"blue": sum(s == 0 for s, _ in placed), "red": sum(s == 1 for s, _ in placed)}
    stats["objectives"] = [name for name, _ in goals]
    log(f"units.json, battles.json: {stats['units']} units, {len(goals)} objectives, "
        f"{scenario.ROUND_LIMIT} rounds")

    country_ids = json.loads((out / "countries.json").read_text())["countries"]
    country_ids = [c["id"] for c in country_ids]
    flag_count, flag_sizes = build_flags(geo, out, flag_icons, country_ids, previews)
    sizes.update(flag_sizes)
    stats["flags"] = flag_count
    log(f"flags: {flag_count} of {len(country_ids)} countries")

    atlas = artwork.terrain_atlas()
    marker = artwork.city_marker()
    markers = artwork.city_size_markers()
    for name, image, size in (("terrain-icons-v4.bmp", atlas, (1024, 768)),
                              ("city-marker.bmp", marker, (256, 256)),
                              ("city-size-markers.bmp", markers, (1024, 256))):
        sizes[name] = write_bmp(out / name, image,
                                lambda d, n=name, s=size: validate.check_alpha_bmp(d, *s, n))
    if previews:
        folder = Path(previews)
        # 256 colours keep the committed pictures small.
        artwork.preview_atlas(atlas).quantize(256).save(folder / "preview_terrain_icons.png",
                                                        optimize=True)
        artwork.preview_markers(marker, markers).quantize(64).save(
            folder / "preview_city_markers.png", optimize=True)
    log("artwork written")
    regional = build_regional_map.build(geodata, out)
    sizes[regional["file"]] = regional["bytes"]
    stats["regional_map"] = {k: v for k, v in regional.items() if k not in ("file", "bytes")}
    log(f"{regional['file']}: {regional['river_sides']} river sides, {regional['road_fields']} road fields")
    stats["bytes"] = sizes
    return stats


def build_cities(geo, out, terrain, grid, sizes, stats, log):
    """cities.json, urban.json and city-parameters.json from the places layer and the terrain.

    Each city carries its own parameters; the three files are checked together the way start-up
    reads them, for a world map and for an operational map (--map), where only the urban
    centres make up the city list.
    """
    height, width = terrain.shape
    records = cities.city_records(geo.layer("ne_10m_populated_places"))
    missing = sorted(set(cityparams.FORTRESSES) - {r["id"] for r in records})
    if missing:
        raise validate.DataError(f"fortress cities not in cities.json: {missing}")
    cityparams.add_parameters(records, cityparams.country_lookup(geo.layer("ne_10m_admin_0_countries")))
    cities_doc = cities.cities_document(records)
    ids, sizes["cities.json"] = write_json(out / "cities.json", cities_doc, validate.check_cities,
                                           ("cities",))
    stats["cities"] = len(ids)
    stats["capitals"] = sum(r["capital"] for r in records)
    stats["tiers"] = [sum(r["tier"] == t for r in records) for t in range(3)]
    log(f"cities.json: {len(ids)} cities, {stats['capitals']} capitals, tiers {stats['tiers']}")

    result = urban.urban_areas(terrain, [(r["longitude"], r["latitude"], r["population"])
                                         for r in records], grid)
    place_anchored_cities(grid, result.anchors)  # start-up's placement must succeed
    urban_doc = urban.urban_document(records, result, width, height)
    fields, sizes["urban.json"] = write_json(
        out / "urban.json", urban_doc, lambda d: validate.check_urban(d, terrain, ids),
        ("cities", "fields"))
    stats["urban_centres"] = len(result.centres)
    stats["urban_fields"] = len(fields)
    stats["urban_fields_unnamed"] = result.unnamed
    stats["city_clusters"] = result.clusters
    log(f"urban.json: {len(result.centres)} centres, {len(fields)} City fields "
        f"({result.unnamed} without a centre) in {result.clusters} clusters")

    def check_startup(doc):
        expected = {r["id"]: [r[k] for k in cityparams.PARAMETER_KEYS] for r in records}
        for world_map in (True, False):
            for city in validate.startup_cities(cities_doc, urban_doc, doc, world_map):
                if [city[k] for k in cityparams.PARAMETER_KEYS] != expected[city["id"]]:
                    raise validate.DataError(f"{city['id']}: Stadtparameter gehen beim Laden verloren")
        return len(doc["cities"])

    count, sizes["city-parameters.json"] = write_json(
        out / "city-parameters.json", cityparams.overrides_document(), check_startup, ("cities",))
    stats["city_parameter_entries"] = count
    log(f"city-parameters.json: {count} overrides; parameters in the city files")


def build_flags(geo, out, package, country_ids, previews=None):
    """flags.json and flags.bmp for the countries of countries.json, in that order."""
    svgs = flags.read_package(package)
    props = {f["properties"]["ADM0_A3"]: f["properties"] for f in geo.layer("ne_10m_admin_0_countries")}
    ids, images = [], []
    for cid in country_ids:
        code = flags.flag_code(props.get(cid, {}), svgs)
        if code is not None:
            ids.append(cid)
            images.append(flags.rasterise(svgs[code]))
    atlas = flags.flag_atlas(images)
    sizes = {}
    _, sizes["flags.json"] = write_json(out / "flags.json", ids,
                                        lambda d: validate.check_flags(d, None, country_ids))
    sizes["flags.bmp"] = write_bmp(out / "flags.bmp", atlas,
                                   lambda d: validate.check_flags(ids, d, country_ids))
    if previews:
        from PIL import Image

        picture = Image.fromarray(atlas).convert("RGB").quantize(256)
        picture.save(Path(previews) / "preview_flags.png", optimize=True)
    return len(ids), sizes


def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geodata", default=str(REPO.parent / "shared" / "geodata"),
                        help="geodata directory (default: ../shared/geodata)")
    parser.add_argument("--out", default=str(REPO / "data"), help="data directory (default: data)")
    parser.add_argument("--previews", default=None, help="write the preview pictures here")
    parser.add_argument("--flag-icons", default=str(DEFAULT_FLAGS),
                        help=f"the {flags.PACKAGE} {flags.VERSION} npm tarball "
                             f"(default: build/{DEFAULT_FLAGS.name})")
    parser.add_argument("--cities-only", action="store_true",
                        help="rewrite only cities.json, urban.json and city-parameters.json")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse(argv)
    log = Log()
    stats = build(args.geodata, args.out, args.previews, args.flag_icons, log, args.cities_only)
    print(json.dumps(stats, indent=1))
    log("done")
    return 0


if __name__ == "__main__":
    sys.exit(main())
