"""Small preview pictures of the terrain grid, rivers and bridges (PNG)."""

import numpy as np
from PIL import Image

__all__ = ["TERRAIN_COLOURS", "terrain_image", "crop"]

# One colour per terrain value, in the order of the map alphabet "pfhmcwasdib".
TERRAIN_COLOURS = np.array(
    [
        (178, 196, 112),  # plain
        (46, 110, 52),  # forest
        (164, 138, 88),  # hills
        (120, 96, 80),  # mountain
        (200, 40, 40),  # city
        (52, 96, 150),  # water
        (222, 206, 120),  # farmland
        (70, 140, 120),  # wetland
        (232, 214, 160),  # desert
        (240, 244, 250),  # ice
        (150, 160, 90),  # scrub
    ],
    dtype=np.uint8,
)


def terrain_image(terrain, river_mask=None, bridge_mask=None):
    """RGB array of a terrain grid; rivers and bridges drawn over the fields they touch."""
    rgb = TERRAIN_COLOURS[terrain]
    if river_mask is not None:
        rgb[river_mask] = (30, 60, 200)
    if bridge_mask is not None:
        rgb[bridge_mask] = (255, 140, 0)
    return rgb


def crop(rgb, lon0, lon1, lat0, lat1, scale=1):
    """Part of a world grid picture between the given longitudes and latitudes."""
    height, width = rgb.shape[:2]
    c0 = int((lon0 + 180) / 360 * width)
    c1 = int((lon1 + 180) / 360 * width)
    r0 = int((90 - lat1) / 180 * height)
    r1 = int((90 - lat0) / 180 * height)
    part = rgb[r0:r1, c0:c1]
    img = Image.fromarray(part)
    if scale != 1:
        img = img.resize((img.width * scale, img.height * scale), Image.NEAREST)
    return img


def detail_picture(terrain, ends, classes, bridged, lon0, lon1, lat0, lat1, scale=4):
    """Close-up of a region: fields as offset blocks, river sides as lines, bridges in orange.

    ``ends`` are the integer vertex pairs of the river sides, ``classes`` their width
    classes and ``bridged`` their bridge flags.
    """
    from PIL import ImageDraw

    height, width = terrain.shape
    c0 = int((lon0 + 180) / 360 * width)
    c1 = int((lon1 + 180) / 360 * width)
    r0 = int((90 - lat1) / 180 * height)
    r1 = int((90 - lat0) / 180 * height)
    rgb = TERRAIN_COLOURS[terrain[r0:r1, c0 : c1 + 1]]
    big = np.repeat(rgb, scale, axis=1)
    for i in range(big.shape[0]):
        if (r0 + i) % 2:
            big[i] = np.roll(big[i], scale // 2, axis=0)
    big = np.repeat(big, scale, axis=0)
    img = Image.fromarray(np.ascontiguousarray(big))
    draw = ImageDraw.Draw(img)
    ends = np.asarray(ends, dtype=np.float64).reshape(-1, 2, 2)
    px = (ends[:, :, 0] / 2 - c0) * scale + scale / 2
    py = (ends[:, :, 1] / 3 - r0) * scale + scale / 2
    inside = ((px > -scale) & (px < img.width + scale) & (py > -scale) & (py < img.height + scale)).all(1)
    for i in np.flatnonzero(inside):
        colour = (255, 140, 0) if bridged[i] else (25, 45, 210)
        line_width = int(classes[i]) + (2 if bridged[i] else 0)
        draw.line([(px[i, 0], py[i, 0]), (px[i, 1], py[i, 1])], fill=colour, width=line_width)
    return img
