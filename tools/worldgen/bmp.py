"""32-bit BMP files with an alpha channel, written and read back for the checks.

The images are written with a BITMAPV5HEADER, BI_BITFIELDS compression and the masks
R 0x00FF0000, G 0x0000FF00, B 0x000000FF, A 0xFF000000; SDL_LoadBMP reads such a file into a
surface whose format has that alpha mask, which is what the program's image loaders demand.

>>> import numpy as np
>>> data = bmp_bytes(np.zeros((2, 3, 4), dtype=np.uint8))
>>> header = read_header(data)
>>> (header.width, header.height, header.bits, header.alpha_mask == 0xFF000000)
(3, 2, 32, True)
"""

import struct
from collections import namedtuple

import numpy as np

__all__ = ["BmpError", "BmpHeader", "bmp_bytes", "read_header", "read_pixels"]

V5_HEADER = 124
BI_BITFIELDS = 3
MASKS = (0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
LCS_SRGB = 0x73524742
PIXELS_PER_METRE = 2835  # 72 dpi

BmpHeader = namedtuple("BmpHeader", "width height bits compression header_size offset masks "
                                    "alpha_mask top_down")


class BmpError(ValueError):
    """A file is not a BMP the program's loaders accept."""


def bmp_bytes(rgba):
    """BMP file contents of an RGBA image (height x width x 4, uint8, top row first)."""
    rgba = np.asarray(rgba, dtype=np.uint8)
    if rgba.ndim != 3 or rgba.shape[2] != 4:
        raise BmpError(f"RGBA image expected, got shape {rgba.shape}")
    height, width = rgba.shape[:2]
    pixels = rgba[::-1, :, [2, 1, 0, 3]].tobytes()  # bottom-up rows, B G R A bytes
    info = struct.pack("<IiiHHIIiiII", V5_HEADER, width, height, 1, 32, BI_BITFIELDS,
                       len(pixels), PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)
    info += struct.pack("<IIIII", *MASKS, LCS_SRGB)
    info += bytes(36) + bytes(12)  # colour space end points and gamma (unused for sRGB)
    info += struct.pack("<IIII", 4, 0, 0, 0)  # rendering intent LCS_GM_IMAGES, no profile
    assert len(info) == V5_HEADER
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + pixels


def read_header(data):
    """The header fields of a BMP file that decide how SDL_LoadBMP reads it."""
    if len(data) < 54 or data[:2] != b"BM":
        raise BmpError("keine BMP-Datei")
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    masks = (0, 0, 0, 0)
    if size >= 108:
        masks = struct.unpack_from("<IIII", data, 54)
    elif compression == BI_BITFIELDS:
        masks = struct.unpack_from("<III", data, 54) + (0,)
    return BmpHeader(width, abs(height), bits, compression, size, offset, masks[:3], masks[3],
                     height < 0)


def read_pixels(data):
    """RGBA pixels (top row first) of a 32-bit BMP written with the masks above."""
    h = read_header(data)
    if h.bits != 32 or h.compression != BI_BITFIELDS or h.masks != MASKS[:3]:
        raise BmpError("nur 32-Bit-BMP mit Standardmasken")
    raw = np.frombuffer(data, dtype=np.uint8, count=h.width * h.height * 4, offset=h.offset)
    image = raw.reshape(h.height, h.width, 4)[:, :, [2, 1, 0, 3]]
    return image if h.top_down else image[::-1]
