"""Cut the regional operational map data/donau-wien.json out of data/world.json.

60 x 40 fields of the world map around the Donau crossings of Wien (from Linz to beyond
Bratislava, from Brno to Graz) with their terrain, river sides, bridges and bridge names, and the
Natural Earth major highways as roads (see worldgen/regional.py). Start it with
`korvan.bin --map data/donau-wien.json`. Takes a few seconds.

Usage: /usr/bin/python3 tools/build_regional_map.py [--geodata DIR] [--out DIR]
"""

import argparse
import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from worldgen import regional, validate  # noqa: E402
from worldgen.encode import dumps_document  # noqa: E402
from worldgen.sources import Geodata  # noqa: E402

REPO = Path(__file__).resolve().parent.parent
FILE = "donau-wien.json"
NAME = "Donau bei Wien"
CENTRE = (16.37, 48.21)  # Wien, Reichsbruecke
SIZE = (60, 40)
ROADS = "ne_10m_roads_major_highways"


def build(geodata, out):
    """Writes the map into ``out``; returns its statistics."""
    out = Path(out)
    world_doc = json.loads((out / "world.json").read_text())
    world = validate.check_map(world_doc)
    origin = regional.window_origin(*CENTRE, world.width, world.height, *SIZE)
    roads = regional.road_paths(Geodata(geodata).layer(ROADS), world.width, world.height)
    doc = regional.regional_map(world_doc, world, origin, SIZE, NAME, roads)
    text = dumps_document(doc, ("tiles", "river_edges", "bridge_names"))
    loaded = validate.check_tile_map(json.loads(text))
    named = validate.check_bridge_names(json.loads(text), loaded)
    tmp = out / (FILE + ".tmp")
    tmp.write_text(text, encoding="ascii")
    tmp.replace(out / FILE)
    return {"file": FILE, "origin": origin, "size": SIZE, "river_sides": len(loaded.edges),
            "bridges": sum(bridged for _, bridged in loaded.edges.values()), "named_bridges": named,
            "road_fields": int((loaded.roads > 0).sum()), "bytes": len(text)}


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geodata", default=str(REPO.parent / "shared" / "geodata"),
                        help="geodata directory (default: ../shared/geodata)")
    parser.add_argument("--out", default=str(REPO / "data"),
                        help="data directory holding world.json (default: data)")
    args = parser.parse_args(argv)
    print(json.dumps(build(args.geodata, args.out), indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
