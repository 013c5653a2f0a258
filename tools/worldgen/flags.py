"""Country flags (flags.json, flags.bmp) rasterised from the flag-icons SVG set.

Source: the npm package flag-icons 7.5.0 (MIT license, (c) 2013 Panayiotis Lipiridis), whose
4:3 flags (flags/4x3/<iso>.svg) fit the 32 x 24 pixel cells exactly. A country's flag is the
one of its ISO 3166-1 code in the countries layer (ISO_A2, else ISO_A2_EH, which gives France,
Norway, Kosovo and Taiwan their codes and small territories their sovereign's flag); countries
without a code in the set (Somaliland, the sovereign base areas, unclaimed or disputed spots)
get no flag. Each SVG is rendered by rsvg-convert at 128 x 96 pixels, laid over white and
reduced by averaging 4 x 4 pixels. The atlas is 512 pixels wide with 16 flags per row, cell i
at (32 (i mod 16), 24 (i div 16)), in the order of countries.json.

>>> flag_code({"ISO_A2": "-99", "ISO_A2_EH": "FR"}, {"fr", "de"})
'fr'
>>> atlas_size(17)
(512, 48)
"""

import hashlib
import io
import subprocess
import tarfile

import numpy as np
from PIL import Image

__all__ = [
    "PACKAGE",
    "VERSION",
    "SHA256",
    "FLAG_W",
    "FLAG_H",
    "FlagError",
    "read_package",
    "flag_code",
    "rasterise",
    "atlas_size",
    "flag_atlas",
]

PACKAGE = "flag-icons"
VERSION = "7.5.0"
SHA256 = "c0b80bf0e08006a60f56621d6bc49f8c7131f4d1fef6737a165a673431f4b518"
FLAG_W, FLAG_H = 32, 24
PER_ROW = 16
OVERSAMPLE = 4


class FlagError(RuntimeError):
    """The flag package is missing, altered, or a flag cannot be rendered."""


def read_package(path):
    """{iso code: SVG bytes} of the 4:3 flags in the package tarball; checks its SHA-256."""
    data = open(path, "rb").read()
    digest = hashlib.sha256(data).hexdigest()
    if digest != SHA256:
        raise FlagError(f"{path}: SHA-256 {digest}, expected {PACKAGE} {VERSION} ({SHA256})")
    flags = {}
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:gz") as archive:
        for member in archive.getmembers():
            name = member.name
            if member.isfile() and name.startswith("package/flags/4x3/") and name.endswith(".svg"):
                flags[name.rsplit("/", 1)[1][:-4]] = archive.extractfile(member).read()
    if not flags:
        raise FlagError(f"{path}: no flags/4x3 SVG files")
    return flags


def flag_code(props, available):
    """Lower-case flag code of a countries-layer record, or None when the set has none."""
    for key in ("ISO_A2", "ISO_A2_EH"):
        code = str(props.get(key) or "").lower()
        if len(code) == 2 and code in available:
            return code
    return None


def rasterise(svg, converter="rsvg-convert"):
    """32 x 24 RGBA pixels of one SVG flag (opaque)."""
    width, height = FLAG_W * OVERSAMPLE, FLAG_H * OVERSAMPLE
    try:
        png = subprocess.run([converter, "-w", str(width), "-h", str(height), "-f", "png"],
                             input=svg, capture_output=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError) as error:
        raise FlagError(f"{converter} failed: {error}") from error
    image = Image.open(io.BytesIO(png)).convert("RGBA")
    if image.size != (width, height):
        image = image.resize((width, height), Image.BICUBIC)
    white = Image.new("RGBA", image.size, (255, 255, 255, 255))
    flat = Image.alpha_composite(white, image)
    return np.asarray(flat.resize((FLAG_W, FLAG_H), Image.BOX))


def atlas_size(count):
    """Width and height of the atlas for ``count`` flags."""
    return PER_ROW * FLAG_W, FLAG_H * ((count + PER_ROW - 1) // PER_ROW)


def flag_atlas(flags):
    """The atlas of a list of 24 x 32 RGBA flags; unused cells stay transparent."""
    width, height = atlas_size(len(flags))
    atlas = np.zeros((height, width, 4), dtype=np.uint8)
    for i, flag in enumerate(flags):
        y, x = FLAG_H * (i // PER_ROW), FLAG_W * (i % PER_ROW)
        atlas[y:y + FLAG_H, x:x + FLAG_W] = flag
    return atlas
