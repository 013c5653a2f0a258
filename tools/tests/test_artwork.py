"""BMP files SDL reads with alpha, and the drawn terrain atlas and city markers."""

import math

import numpy as np
import pytest

from worldgen import artwork, bmp, validate
from worldgen.artwork import CELL, FOOTPRINT, TERRAIN_COLOURS


def test_bmp_round_trip_and_header_sdl_reads_with_alpha():
    rgba = np.zeros((3, 5, 4), dtype=np.uint8)
    rgba[0, 0] = (10, 20, 30, 40)  # top left
    rgba[2, 4] = (200, 100, 50, 255)  # bottom right
    data = bmp.bmp_bytes(rgba)
    header = bmp.read_header(data)
    assert (header.width, header.height, header.bits, header.compression) == (5, 3, 32, 3)
    assert header.header_size == 124 and header.alpha_mask == 0xFF000000
    assert header.masks == (0x00FF0000, 0x0000FF00, 0x000000FF)
    assert not header.top_down  # bottom-up rows, as SDL_SaveBMP writes them too
    assert len(data) == header.offset + 5 * 3 * 4
    assert (bmp.read_pixels(data) == rgba).all()
    validate.check_alpha_bmp(data, 5, 3, "test")


def test_a_bmp_without_alpha_mask_is_refused():
    data = bytearray(bmp.bmp_bytes(np.zeros((2, 2, 4), dtype=np.uint8)))
    data[14 + 52:14 + 56] = bytes(4)  # clear the alpha mask of the V5 header
    with pytest.raises(validate.DataError, match="Alphamaske"):
        validate.check_alpha_bmp(bytes(data), 2, 2, "test")
    with pytest.raises(validate.DataError, match="statt 4 x 2"):
        validate.check_alpha_bmp(bmp.bmp_bytes(np.zeros((2, 2, 4), np.uint8)), 4, 2, "test")


def test_hexagon_footprint_covers_78_percent_of_the_cell_height():
    mask = artwork.hexagon_mask(CELL)
    rows = np.flatnonzero(mask.any(axis=1))
    columns = np.flatnonzero(mask.any(axis=0))
    assert rows[-1] - rows[0] + 1 == pytest.approx(FOOTPRINT * CELL, abs=2)
    assert columns[-1] - columns[0] + 1 == pytest.approx(FOOTPRINT * CELL * math.sqrt(3) / 2, abs=2)


@pytest.fixture(scope="module")
def cells():
    return {c: artwork.terrain_cell(c) for c in (1, 3, 6, 9, 11)}


def test_cells_are_opaque_over_the_field_and_its_joins_and_clear_at_the_border(cells):
    # A join strip reaches 24 % of the way to the neighbour's centre: in the donor's frame that
    # is at most 1.139 circumradii from the centre (at the corners).
    y, x = np.mgrid[0:CELL, 0:CELL] + 0.5
    reach = np.hypot(x - CELL / 2, y - CELL / 2) <= 1.14 * FOOTPRINT * CELL / 2
    for cell in cells.values():
        assert cell.shape == (CELL, CELL, 4)
        assert (cell[..., 3][reach] == 255).all()
        border = np.r_[cell[0, :, 3], cell[-1, :, 3], cell[:, 0, 3], cell[:, -1, 3]]
        assert border.max() == 0  # linear filtering never pulls in the next cell


def test_cells_average_to_the_flat_terrain_colour(cells):
    hexagon = artwork.hexagon_mask(CELL)
    for index, cell in cells.items():
        mean = cell[..., :3][hexagon].mean(axis=0)
        target = TERRAIN_COLOURS[1 if index == 11 else index]
        assert np.abs(mean - target).max() < 4, index
        assert cell[..., :3][hexagon].std() > 8  # a picture, not a flat colour


def test_drawing_is_reproducible(cells):
    assert (artwork.terrain_cell(3) == cells[3]).all()


def test_city_markers():
    marker = artwork.city_marker()
    sizes = artwork.city_size_markers()
    assert marker.shape == (256, 256, 4) and sizes.shape == (256, 1024, 4)
    assert marker[0, 0, 3] == 0 and marker[128, 128, 3] == 255
    covered = [(sizes[:, s * 256:(s + 1) * 256, 3] > 0).mean() for s in range(4)]
    assert covered == sorted(covered) and covered[0] < 0.35 < covered[3]  # larger class, larger sign
