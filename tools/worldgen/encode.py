"""Compact encodings of the data files: run-length rows, edge masks and spans.

>>> rle_row(np.array([5, 5, 0, 0, 0]), TERRAIN_ALPHABET)
'w2p3'
>>> decode_row('w2p3', TERRAIN_ALPHABET, 5)
[5, 5, 0, 0, 0]
>>> spans_of_row(np.array([0, 1, 1, 0, 1]))
[(1, 2), (4, 1)]
"""

import numpy as np

__all__ = [
    "TERRAIN_ALPHABET",
    "MASK_ALPHABET",
    "WIDTH_ALPHABET",
    "EncodeError",
    "rle_row",
    "rle_rows",
    "decode_row",
    "spans_of_row",
    "labelled_spans",
    "edge_rows",
]

TERRAIN_ALPHABET = "pfhmcwasdib"
MASK_ALPHABET = "abcdefgh"
WIDTH_ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,-."


class EncodeError(ValueError):
    """A value cannot be written in the requested encoding."""


def rle_row(values, alphabet):
    """Run-length string of one row: code character followed by the run length."""
    values = np.asarray(values)
    if values.size == 0:
        raise EncodeError("empty row")
    if values.min() < 0 or values.max() >= len(alphabet):
        raise EncodeError(f"value outside the alphabet {alphabet!r}")
    change = np.flatnonzero(values[1:] != values[:-1]) + 1
    starts = np.r_[0, change]
    lengths = np.diff(np.r_[starts, values.size])
    return "".join(f"{alphabet[values[s]]}{n}" for s, n in zip(starts, lengths))


def rle_rows(grid, alphabet):
    """Run-length strings of all rows of a 2-D grid, top row first."""
    return [rle_row(row, alphabet) for row in np.asarray(grid)]


def decode_row(text, alphabet, width):
    """Values of one run-length row; raises EncodeError like the map loader would."""
    out = []
    i = 0
    while i < len(text):
        value = alphabet.find(text[i])
        if value < 0:
            raise EncodeError("Unbekannter RLE-Code")
        j = i + 1
        while j < len(text) and text[j].isdigit():
            j += 1
        if j == i + 1:
            raise EncodeError("Ungueltige RLE-Laenge")
        count = int(text[i + 1 : j])
        if count <= 0 or count > 2**31 - 1 or count > width - len(out):
            raise EncodeError("Ungueltige RLE-Laenge")
        out.extend([value] * count)
        i = j
    if len(out) != width:
        raise EncodeError("RLE-Reihe muss genau width Felder abdecken")
    return out


def spans_of_row(mask):
    """(start, count) of the runs of true values in a boolean row."""
    mask = np.asarray(mask, dtype=bool)
    padded = np.r_[False, mask, False]
    change = np.flatnonzero(padded[1:] != padded[:-1])
    return [(int(a), int(b - a)) for a, b in zip(change[0::2], change[1::2])]


def labelled_spans(labels, empty=-1):
    """[row, start, count, label] runs of equal labels other than ``empty`` in a grid."""
    labels = np.asarray(labels)
    out = []
    for r, row in enumerate(labels):
        change = np.flatnonzero(row[1:] != row[:-1]) + 1
        starts = np.r_[0, change]
        ends = np.r_[change, row.size]
        for s, e in zip(starts, ends):
            if row[s] != empty:
                out.append([r, int(s), int(e - s), int(row[s])])
    return out


def edge_rows(height, width, cells, directions, values, bits_per_direction, alphabet):
    """Run-length rows of per-field edge values.

    Every edge is given by its owner field (``cells`` = row * width + column), its
    forward direction 0..2 and a value; the field's code is the sum of
    ``value << (bits_per_direction * direction)``.  Returns the row strings.
    """
    cells = np.asarray(cells, dtype=np.int64)
    directions = np.asarray(directions, dtype=np.int64)
    values = np.asarray(values, dtype=np.int64)
    limit = 1 << bits_per_direction
    if len(values) and (values.min() < 0 or values.max() >= limit):
        raise EncodeError("edge value does not fit its bits")
    codes = np.zeros(height * width, dtype=np.int64)
    shifted = values << (bits_per_direction * directions)
    key = cells * 3 + directions
    if len(np.unique(key)) != len(key):
        raise EncodeError("edge given twice")
    np.add.at(codes, cells, shifted)
    return rle_rows(codes.reshape(height, width), alphabet)


def dumps_document(doc, line_keys=()):
    """Strict JSON text of a document, compact, with the arrays named in ``line_keys``
    written one element per line so that diffs stay readable."""
    import json

    def compact(value):
        return json.dumps(value, ensure_ascii=True, separators=(",", ":"), allow_nan=False)

    parts = []
    for key, value in doc.items():
        if key in line_keys and isinstance(value, list) and value:
            body = ",\n".join(compact(v) for v in value)
            parts.append(f"{compact(key)}:[\n{body}\n]")
        else:
            parts.append(f"{compact(key)}:{compact(value)}")
    return "{\n" + ",\n".join(parts) + "\n}\n"
