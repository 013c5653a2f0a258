"""Test setup: make the worldgen package importable and provide tiny shared fixtures."""

import sys
from pathlib import Path

import numpy as np
import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))


def square(x0, y0, x1, y1):
    """Closed ring of an axis-parallel rectangle in lon/lat."""
    return np.array([[x0, y0], [x1, y0], [x1, y1], [x0, y1], [x0, y0]], dtype=np.float64)


@pytest.fixture
def small_world():
    """A 12 x 6 world map document (30 degree fields) with land in the middle rows."""
    return {
        "schema_version": 3,
        "width": 12,
        "height": 6,
        "name": "Test",
        "layout": "odd-r",
        "wrap_horizontal": True,
        "kind": "world",
        "terrain_rows": ["w12", "w2p8w2", "w2p4c2p2w2", "w2p8w2", "w12", "w12"],
        "river_edges": [],
    }
