"""Places whose terrain a world map must get right; used as a check after each build.

>>> field_of(16.37, 48.21, 4320, 2160)
(2356, 501)
"""

import numpy as np

from .terrain import TERRAIN_NAMES

__all__ = ["LANDMARKS", "field_of", "check_landmarks"]

# (place, longitude, latitude, expected terrain, share): the field nearest to the
# point must have that terrain, and at least the given share of the 5 x 5 fields
# around it (cities are smaller than the window).
LANDMARKS = (
    ("Sahara", 10.0, 23.0, "desert", 0.5),
    ("Amazonas", -65.0, -5.0, "forest", 0.5),
    ("Alpen", 10.0, 46.5, "mountain", 0.5),
    ("Himalaya", 86.0, 28.0, "mountain", 0.5),
    ("Groenland", -40.0, 72.0, "ice", 0.5),
    ("Ukraine", 32.0, 49.0, "farmland", 0.5),
    ("Iowa", -93.5, 42.0, "farmland", 0.5),
    ("Everglades", -80.8, 25.9, "wetland", 0.5),
    ("Wien", 16.37, 48.21, "city", 0.25),
    ("Paris", 2.35, 48.86, "city", 0.25),
)


def field_of(lon, lat, width, height):
    """(column, row) of the field whose centre is nearest to a point."""
    row = int(np.clip(np.floor((90.0 - lat) * height / 180.0), 0, height - 1))
    col = int(np.round((lon + 180.0) * width / 360.0 - 0.5 * (row % 2))) % width
    return col, row


def check_landmarks(terrain):
    """List of (place, expected, found at the point, share of expected around it, passed)."""
    height, width = terrain.shape
    out = []
    for place, lon, lat, expected, least in LANDMARKS:
        col, row = field_of(lon, lat, width, height)
        rows = np.clip(np.arange(row - 2, row + 3), 0, height - 1)
        cols = np.arange(col - 2, col + 3) % width
        window = terrain[np.ix_(rows, cols)]
        value = TERRAIN_NAMES.index(expected)
        share = float((window == value).mean())
        found = TERRAIN_NAMES[terrain[row, col]]
        out.append((place, expected, found, share, found == expected and share >= least))
    return out
