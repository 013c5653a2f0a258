"""Render the README's screenshots with the program's own --screenshot, headless, as PNG.

Each view is one start of korvan.bin with its options under SDL's offscreen video driver and the
software renderer (the same picture on every machine); the BMP it saves becomes a PNG of at most
256 colours, which keeps the pixel font sharp and the files small.

Usage: /usr/bin/python3 tools/screenshots.py [--binary build/korvan.bin] [--out docs/screenshots]
"""

import argparse
import os
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image

REPO = Path(__file__).resolve().parent.parent

# File name, options ("{data}" is the data directory beside the program), caption.
VIEWS = (
    ("world", [], "The start view: the whole world with capitals and large cities"),
    ("europe", ["--city", "Wien"], "`--city Wien`: the city view shows the continent around the selected city"),
    ("austria", ["--country", "AUT"], "`--country AUT`: Austria selected, outlined and fitted, with its flag"),
    ("operation", ["--unit", "1"], "`--unit 1`: the operation around Wien, a Blue unit selected with its reach"),
    # contact-save.json is a game saved (F5) after two rounds in which the tests' scripted Blue played
    # against the computer; a save belongs to its maps and scenario, so it is saved anew when they change.
    ("contact", ["--load", "{tools}/contact-save.json", "--unit", "2"],
     "`--load tools/contact-save.json --unit 2`: round 3 at zoom 18, both sides in contact at St. Poelten"),
    ("operation-nairobi", ["--operation", "Nairobi", "--unit", "1"],
     "`--operation Nairobi --unit 1`: an operation generated around Nairobi, Blue's first unit selected"),
    ("regional", ["--map", "{data}/donau-wien.json"],
     "`--map data/donau-wien.json`: the regional map of the Donau crossings at Wien, with roads"),
)

ENVIRONMENT = {"SDL_VIDEODRIVER": "offscreen", "SDL_RENDER_DRIVER": "software", "SDL_AUDIODRIVER": "dummy"}


def render(binary, options, bmp):
    """Starts the program on one view; raises with its log when it fails."""
    data = Path(binary).resolve().parent / "data"
    tools = Path(__file__).resolve().parent
    arguments = [str(binary)] + [o.format(data=data, tools=tools) for o in options] + ["--screenshot", str(bmp)]
    run = subprocess.run(arguments, env=dict(os.environ, **ENVIRONMENT), capture_output=True, text=True,
                         timeout=120, check=False)
    if run.returncode != 0 or not bmp.is_file():
        raise RuntimeError(f"{' '.join(arguments)} ended with {run.returncode}:\n{run.stderr}")


def to_png(bmp, png, colours=256):
    """A palette PNG without dithering: flat map colours and text stay exact."""
    picture = Image.open(bmp).convert("RGB")
    picture.quantize(colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).save(png, optimize=True)
    return picture.size


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=str(REPO / "build" / "korvan.bin"))
    parser.add_argument("--out", default=str(REPO / "docs" / "screenshots"))
    args = parser.parse_args(argv)
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        for name, options, _ in VIEWS:
            bmp = Path(scratch) / f"{name}.bmp"
            render(args.binary, options, bmp)
            size = to_png(bmp, out / f"{name}.png")
            print(f"{out / name}.png: {size[0]} x {size[1]}, {(out / f'{name}.png').stat().st_size} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
