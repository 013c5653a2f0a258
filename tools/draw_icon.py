"""Draw the desktop icon from the game's own terrain art: seven hex fields around a city.

A flower of seven pointy-top fields, each cut from its cell of data/terrain-icons-v4.bmp (the
atlas maps a field's hexagon onto the middle 78 % of a cell's height, as the renderer does),
with the map's dark field borders and a gold rim. Drawn at 1024 pixels and reduced, so the
small sizes stay smooth. Writes packaging/korvan-256.png and packaging/korvan-48.png.

Usage: /usr/bin/python3 tools/draw_icon.py [--atlas data/terrain-icons-v4.bmp] [--out packaging]
"""

import argparse
import math
import sys
from pathlib import Path

from PIL import Image, ImageDraw

REPO = Path(__file__).resolve().parent.parent
SIZES = (256, 48)
CANVAS = 1024
CELL = 256
CELL_RADIUS = 0.78 * CELL / 2  # circumradius of a field's hexagon inside its atlas cell
# Atlas cells in the terrain enumeration order.
PLAIN, FOREST, HILLS, MOUNTAIN, CITY, WATER, FARMLAND = range(7)
GOLD = (240, 194, 99, 255)  # the palette's gold
BORDER = (19, 31, 34, 255)  # the map background between fields

# (column offset, row) of the seven fields, with the terrain cell each shows.
FIELDS = (((-0.5, -1), MOUNTAIN), ((0.5, -1), FOREST),
          ((-1.0, 0), HILLS), ((0.0, 0), CITY), ((1.0, 0), WATER),
          ((-0.5, 1), FARMLAND), ((0.5, 1), PLAIN))


def hexagon(cx, cy, r):
    """Corners of a pointy-top hexagon."""
    return [(cx + r * math.cos(math.radians(60 * k - 90)), cy + r * math.sin(math.radians(60 * k - 90)))
            for k in range(6)]


def draw(atlas):
    r = CANVAS / 5.3  # the flower is 5 radii high and 3 sqrt(3) radii wide, with a margin
    centre = CANVAS / 2
    icon = Image.new("RGBA", (CANVAS, CANVAS), (0, 0, 0, 0))
    scale = r / CELL_RADIUS
    size = round(CELL * scale)
    for (dx, row), cell in FIELDS:
        cx, cy = centre + dx * math.sqrt(3) * r, centre + row * 1.5 * r
        texture = atlas.crop(((cell % 4) * CELL, (cell // 4) * CELL, (cell % 4 + 1) * CELL, (cell // 4 + 1) * CELL))
        texture = texture.resize((size, size), Image.LANCZOS)
        mask = Image.new("L", (size, size), 0)
        ImageDraw.Draw(mask).polygon(hexagon(size / 2, size / 2, r), fill=255)
        icon.paste(texture, (round(cx - size / 2), round(cy - size / 2)), mask)
    pen = ImageDraw.Draw(icon)
    for (dx, row), _ in FIELDS:
        corners = hexagon(centre + dx * math.sqrt(3) * r, centre + row * 1.5 * r, r)
        pen.line(corners + corners[:1], fill=BORDER, width=round(r * 0.07), joint="curve")
    # The gold rim follows the outline of the flower: the outer sides of the six outer fields.
    rim = []
    for (dx, row), _ in FIELDS:
        if (dx, row) == (0.0, 0):
            continue
        cx, cy = centre + dx * math.sqrt(3) * r, centre + row * 1.5 * r
        for a, b in zip(hexagon(cx, cy, r), hexagon(cx, cy, r)[1:] + hexagon(cx, cy, r)[:1]):
            mx, my = (a[0] + b[0]) / 2 - centre, (a[1] + b[1]) / 2 - centre
            if math.hypot(mx, my) > 1.6 * r:  # a side facing away from the middle field
                rim.append((a, b))
    for a, b in rim:
        pen.line([a, b], fill=GOLD, width=round(r * 0.09))
    for a, _ in rim:
        w = r * 0.045
        pen.ellipse([a[0] - w, a[1] - w, a[0] + w, a[1] + w], fill=GOLD)
    return icon


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--atlas", default=str(REPO / "data" / "terrain-icons-v4.bmp"))
    parser.add_argument("--out", default=str(REPO / "packaging"))
    args = parser.parse_args(argv)
    icon = draw(Image.open(args.atlas).convert("RGBA"))
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    for size in SIZES:
        icon.resize((size, size), Image.LANCZOS).save(out / f"korvan-{size}.png", optimize=True)
        print(out / f"korvan-{size}.png")
    return 0


if __name__ == "__main__":
    sys.exit(main())
