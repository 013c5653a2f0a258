"""The world map document (world.json, schema 3) from terrain, river sides and bridges."""

import numpy as np

from .encode import MASK_ALPHABET, TERRAIN_ALPHABET, WIDTH_ALPHABET, edge_rows, rle_rows

__all__ = ["WORLD_NAME", "world_document"]

WORLD_NAME = "Erde"


def world_document(terrain, owners, directions, classes, bridged, bridge_names, axial_pairs):
    """The map document.

    ``owners``/``directions`` give each river side's owner cell and forward
    direction, ``classes`` its width class (1..3), ``bridged`` a bool per side;
    ``bridge_names`` maps side index -> names, ``axial_pairs`` side index ->
    (q1, r1, q2, r2) of its two fields.
    """
    height, width = terrain.shape
    owners = np.asarray(owners, dtype=np.int64)
    directions = np.asarray(directions, dtype=np.int64)
    classes = np.asarray(classes, dtype=np.int64)
    bridged = np.asarray(bridged, dtype=bool)
    wide = classes > 1  # class 1 is what river_rows create; only wider sides are listed
    doc = {
        "schema_version": 3,
        "name": WORLD_NAME,
        "width": int(width),
        "height": int(height),
        "layout": "odd-r",
        "wrap_horizontal": True,
        "kind": "world",
        "terrain_rows": rle_rows(terrain, TERRAIN_ALPHABET),
        "river_edges": [],
        "river_rows": edge_rows(height, width, owners, directions,
                                np.ones(len(owners), dtype=np.int64), 1, MASK_ALPHABET),
        "river_width_rows": edge_rows(height, width, owners[wide], directions[wide],
                                      classes[wide], 2, WIDTH_ALPHABET),
        "bridge_rows": edge_rows(height, width, owners[bridged], directions[bridged],
                                 np.ones(int(bridged.sum()), dtype=np.int64), 1, MASK_ALPHABET),
        "bridge_names": [
            [*map(int, axial_pairs(i)), list(names)] for i, names in sorted(bridge_names.items())
        ],
    }
    return doc
