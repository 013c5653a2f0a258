"""Run-length rows, edge masks and span lists as the loaders read them."""

import json

import numpy as np
import pytest

from worldgen import encode
from worldgen.encode import MASK_ALPHABET, TERRAIN_ALPHABET, WIDTH_ALPHABET


@pytest.mark.parametrize("row", [[0], [5] * 7, [5, 5, 0, 0, 0, 10, 4], list(range(11)) * 3])
def test_terrain_rows_round_trip(row):
    text = encode.rle_row(np.array(row), TERRAIN_ALPHABET)
    assert encode.decode_row(text, TERRAIN_ALPHABET, len(row)) == row


def test_long_runs_use_decimal_counts():
    assert encode.rle_row(np.full(4320, 5), TERRAIN_ALPHABET) == "w4320"


def test_values_outside_the_alphabet_are_refused():
    with pytest.raises(encode.EncodeError):
        encode.rle_row(np.array([11]), TERRAIN_ALPHABET)
    with pytest.raises(encode.EncodeError):
        encode.rle_row(np.array([], dtype=int), TERRAIN_ALPHABET)


@pytest.mark.parametrize("text,message", [
    ("p5w", "Ungueltige RLE-Laenge"),
    ("p0w8", "Ungueltige RLE-Laenge"),
    ("p9", "Ungueltige RLE-Laenge"),
    ("x8", "Unbekannter RLE-Code"),
    ("p3", "RLE-Reihe muss genau width Felder abdecken"),
])
def test_decoder_messages_match_the_loader(text, message):
    with pytest.raises(encode.EncodeError, match=message):
        encode.decode_row(text, TERRAIN_ALPHABET, 8)


def test_edge_rows_pack_directions_into_bits():
    # Field 1 of row 0: east (bit 0) and below left (bit 2); field 2: below right.
    rows = encode.edge_rows(2, 4, [1, 1, 2], [0, 2, 1], [1, 1, 1], 1, MASK_ALPHABET)
    assert rows == ["a1f1c1a1", "a4"]


def test_width_rows_hold_two_bits_per_direction():
    rows = encode.edge_rows(1, 3, [0, 0, 2], [0, 2, 1], [3, 2, 2], 2, WIDTH_ALPHABET)
    # field 0: 3 | 2 << 4 = 35; field 2: 2 << 2 = 8
    assert rows == [WIDTH_ALPHABET[35] + "1A1" + WIDTH_ALPHABET[8] + "1"]


def test_edge_rows_refuse_duplicates_and_oversized_values():
    with pytest.raises(encode.EncodeError, match="twice"):
        encode.edge_rows(1, 3, [0, 0], [1, 1], [1, 1], 1, MASK_ALPHABET)
    with pytest.raises(encode.EncodeError, match="bits"):
        encode.edge_rows(1, 3, [0], [1], [2], 1, MASK_ALPHABET)


def test_spans_of_a_row_and_of_labelled_grids():
    assert encode.spans_of_row([True, True, False, True]) == [(0, 2), (3, 1)]
    assert encode.spans_of_row([False, False]) == []
    grid = np.array([[-1, 0, 0, 1], [2, 2, -1, -1]])
    assert encode.labelled_spans(grid) == [[0, 1, 2, 0], [0, 3, 1, 1], [1, 0, 2, 2]]


def test_documents_are_strict_json_with_one_row_per_line():
    doc = {"a": 1, "rows": ["w3", "p3"], "empty": []}
    text = encode.dumps_document(doc, ("rows", "empty"))
    assert json.loads(text) == doc
    assert '\n"w3",\n"p3"\n' in text
    with pytest.raises(ValueError):
        encode.dumps_document({"x": float("nan")})
