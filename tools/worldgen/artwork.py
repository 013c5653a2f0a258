"""Procedural artwork: the terrain atlas and the two city marker images.

Everything is drawn from fixed seeds with numpy and PIL, so a rebuild gives the same pixels.
Pictures are drawn at twice the size and reduced, which smooths their edges.

Terrain atlas (terrain-icons-v4.bmp, 1024 x 768): 4 x 3 cells of 256 x 256, cell c at column
c mod 4, row c div 4, cells 0-10 the terrains in their enumeration order, cell 11 a second
forest. The program maps a field's hexagon onto the middle 78 % of a cell (its height), so
each motif sits in that pointy-top hexagon; the texture continues beyond it, because the
joins between fields of one terrain sample a strip around the hexagon, and fades to
transparent only at the cell border, where linear filtering would reach the next cell.
Every cell is shifted afterwards so that its mean colour inside the hexagon is the terrain's
flat colour of the renderer, and the overview raster and the icons agree.

>>> atlas = terrain_atlas()
>>> atlas.shape, int(atlas[384, 640, 3]), int(atlas[0, 0, 3])
((768, 1024, 4), 255, 0)
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

__all__ = [
    "CELL",
    "FOOTPRINT",
    "TERRAIN_COLOURS",
    "hexagon_mask",
    "terrain_cell",
    "terrain_atlas",
    "city_marker",
    "city_size_markers",
    "preview_atlas",
    "preview_markers",
]

CELL = 256
SS = 2  # drawing scale
N = CELL * SS
FOOTPRINT = 0.78  # share of the cell height the field's hexagon covers
R = FOOTPRINT * N / 2  # hexagon circumradius in drawing pixels

# Flat colours of the renderer, by terrain value.
TERRAIN_COLOURS = (
    (111, 133, 91), (50, 88, 70), (153, 141, 102), (120, 130, 134), (145, 139, 121),
    (56, 108, 139), (173, 164, 101), (74, 118, 113), (200, 175, 124), (205, 222, 225),
    (134, 143, 99),
)
INK = (220, 229, 224)
DARK = (19, 31, 34)
GOLD = (240, 194, 99)

_Y, _X = np.mgrid[0:N, 0:N].astype(np.float32) + 0.5
_DX, _DY = _X - N / 2, _Y - N / 2


def hexagon_mask(size=N, radius=None):
    """Boolean mask of the pointy-top field hexagon centred in a square of ``size`` pixels."""
    radius = FOOTPRINT * size / 2 if radius is None else radius
    y, x = np.mgrid[0:size, 0:size].astype(np.float32) + 0.5
    dx, dy = np.abs(x - size / 2), np.abs(y - size / 2)
    apothem = radius * math.sqrt(3) / 2
    return (dx <= apothem) & (dx * 0.5 + dy * math.sqrt(3) / 2 <= apothem)


def _noise(rng, octaves=5, base=4, persistence=0.55):
    """Fractal value noise in [-1, 1] over the drawing square."""
    out = np.zeros((N, N), dtype=np.float32)
    amplitude, total = 1.0, 0.0
    for o in range(octaves):
        cells = base * 2**o
        grid = rng.random((cells + 1, cells + 1)).astype(np.float32)
        layer = np.asarray(Image.fromarray(grid, mode="F").resize((N, N), Image.BICUBIC))
        out += amplitude * (layer - 0.5)
        total += amplitude * 0.5
        amplitude *= persistence
    return np.clip(out / total, -1, 1)


def _colour(base, factor):
    """Base colour times a brightness field (H x W) -> float RGB image."""
    return np.asarray(base, dtype=np.float32)[None, None, :] * factor[..., None]


def _hillshade(height, azimuth=315.0, altitude=45.0, z=1.0):
    """Lambert shading of a height field lit from the north-west (0..1)."""
    gy, gx = np.gradient(height * z)
    slope = np.arctan(np.hypot(gx, gy))
    aspect = np.arctan2(-gx, gy)
    az, alt = math.radians(azimuth), math.radians(altitude)
    shade = np.sin(alt) * np.cos(slope) + np.cos(alt) * np.sin(slope) * np.cos(az - aspect)
    return np.clip(shade, 0, 1)


def _lattice(rng, spacing, jitter, margin=0):
    """Jittered points of a hexagonal lattice over the drawing square, top to bottom."""
    points = []
    row_height = spacing * math.sqrt(3) / 2
    rows = int((N + 2 * margin) / row_height) + 2
    for j in range(rows):
        y = -margin + j * row_height
        offset = spacing / 2 if j % 2 else 0
        for i in range(int((N + 2 * margin) / spacing) + 2):
            x = -margin + i * spacing + offset
            points.append((x + rng.uniform(-jitter, jitter), y + rng.uniform(-jitter, jitter)))
    points.sort(key=lambda p: p[1])
    return points


def _layer():
    image = Image.new("RGBA", (N, N), (0, 0, 0, 0))
    return image, ImageDraw.Draw(image)


def _over(rgb, layer):
    """Composite an RGBA PIL layer over a float RGB image."""
    a = np.asarray(layer, dtype=np.float32)
    alpha = a[..., 3:4] / 255.0
    return rgb * (1 - alpha) + a[..., :3] * alpha


def _jitter_colour(rng, colour, spread):
    return tuple(int(np.clip(c * (1 + rng.uniform(-spread, spread)), 0, 255)) for c in colour)


# --- the terrains -------------------------------------------------------------------------


def _plain(rng):
    noise = _noise(rng, 5, 3)
    rgb = _colour((111, 136, 88), 1 + 0.10 * noise)
    layer, draw = _layer()
    for _ in range(1400):
        x, y = rng.uniform(0, N, 2)
        length = rng.uniform(6, 14)
        angle = math.radians(rng.uniform(-25, 25))
        shade = rng.choice([0.78, 0.86, 1.12, 1.22])
        colour = tuple(int(min(255, c * shade)) for c in (104, 132, 80))
        draw.line([(x, y), (x + length * math.sin(angle), y - length * math.cos(angle))],
                  fill=colour + (200,), width=2)
    for _ in range(60):  # a few flowers
        x, y = rng.uniform(0, N, 2)
        colour = [(226, 214, 120), (220, 226, 214), (196, 150, 170)][rng.integers(3)]
        draw.ellipse([x - 2.5, y - 2.5, x + 2.5, y + 2.5], fill=colour + (220,))
    return _over(rgb, layer)


def _tree_crowns(rng, rgb, spacing, crown, palette, conifer=False):
    shadow, draw_shadow = _layer()
    trees, draw = _layer()
    for x, y in _lattice(rng, spacing, spacing * 0.28, margin=60):
        size = crown * rng.uniform(0.8, 1.15)
        colour = _jitter_colour(rng, palette[rng.integers(len(palette))], 0.08)
        dark = tuple(int(c * 0.62) for c in colour)
        light = tuple(int(min(255, c * 1.32)) for c in colour)
        if conifer:
            draw_shadow.ellipse([x - size * 0.55 + 12, y + size * 0.55, x + size * 0.75 + 12,
                                 y + size * 1.05], fill=(10, 25, 18, 150))
            draw.line([(x, y + size * 1.0), (x, y + size * 0.6)], fill=(70, 52, 36, 255), width=5)
            for tier in range(3):
                top = y - size * (1.05 - 0.45 * tier)
                base_y = y + size * (0.05 + 0.28 * tier)
                half = size * (0.38 + 0.16 * tier)
                draw.polygon([(x, top), (x + half, base_y), (x - half, base_y)], fill=colour + (255,))
                draw.polygon([(x, top), (x + half, base_y), (x + half * 0.15, base_y)],
                             fill=dark + (255,))
                draw.line([(x, top), (x - half, base_y)], fill=light + (255,), width=2)
        else:
            draw_shadow.ellipse([x - size + 14, y - size * 0.7 + 18, x + size + 18, y + size + 14],
                                fill=(10, 25, 18, 160))
            draw.ellipse([x - size, y - size, x + size, y + size], fill=dark + (255,))
            draw.ellipse([x - size * 0.93, y - size, x + size * 0.8, y + size * 0.82],
                         fill=colour + (255,))
            for _ in range(5):  # leaf clusters, lit from the upper left
                a = rng.uniform(0, 2 * math.pi)
                d = rng.uniform(0.1, 0.5) * size
                r = size * rng.uniform(0.28, 0.42)
                cx, cy = x + d * math.cos(a) - size * 0.15, y + d * math.sin(a) - size * 0.15
                draw.ellipse([cx - r, cy - r, cx + r, cy + r],
                             fill=tuple(int(min(255, c * rng.uniform(1.05, 1.25))) for c in colour)
                             + (255,))
            r = size * 0.22
            cx, cy = x - size * 0.38, y - size * 0.42
            draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=light + (200,))
    shadow = shadow.filter(ImageFilter.GaussianBlur(6))
    return _over(_over(rgb, shadow), trees)


def _forest(rng):
    ground = _colour((42, 70, 52), 1 + 0.15 * _noise(rng, 4, 4))
    palette = [(62, 112, 68), (74, 122, 62), (54, 100, 70), (88, 126, 66)]
    return _tree_crowns(rng, ground, 78, 40, palette)


def _conifers(rng):
    ground = _colour((40, 64, 50), 1 + 0.15 * _noise(rng, 4, 4))
    palette = [(44, 92, 66), (38, 84, 62), (52, 100, 70)]
    return _tree_crowns(rng, ground, 62, 42, palette, conifer=True)


def _bumps(peaks, sharp=False, aspect=1.15):
    height = np.zeros((N, N), dtype=np.float32)
    for x, y, radius, h in peaks:
        d = np.hypot(_X - x, (_Y - y) * aspect) / radius
        height += h * (np.clip(1 - d, 0, 1) ** 1.3 if sharp else np.exp(-d * d * 2.2))
    return height


def _hills(rng):
    c = N / 2
    peaks = [(c - 10, c - 10, 150, 1.0), (c - 170, c + 90, 120, 0.75), (c + 150, c + 80, 125, 0.8),
             (c + 80, c - 170, 110, 0.7), (c - 150, c - 140, 105, 0.65), (c + 230, c - 40, 95, 0.55),
             (c - 250, c - 10, 100, 0.55), (c + 20, c + 220, 110, 0.6), (c - 60, c + 250, 90, 0.5)]
    peaks = [(x + rng.uniform(-12, 12), y + rng.uniform(-12, 12), r, h) for x, y, r, h in peaks]
    # Ridges run east-west: the hills are stretched along x.
    height = _bumps(peaks, aspect=1.9) * 210 + 5 * _noise(rng, 5, 6)
    shade = _hillshade(height, azimuth=315, altitude=38, z=1.0)
    grass = 1 + 0.06 * _noise(rng, 5, 6)
    rgb = _colour((156, 144, 100), (0.55 + 0.75 * shade) * grass)
    layer, draw = _layer()
    for _ in range(700):  # grass on the slopes
        x, y = rng.uniform(0, N, 2)
        draw.line([(x, y), (x + rng.uniform(-3, 3), y - rng.uniform(5, 10))],
                  fill=(112, 118, 72, 100), width=2)
    return _over(rgb, layer)


def _peak(rng, x, top, base_y, half, rock, snow_share):
    """One mountain seen from the south as an RGBA layer: a jagged silhouette, a lit west face,
    a shaded east face and snow above a ragged snow line."""
    def jagged(p0, p1, steps, amount):
        points = [p0]
        for k in range(1, steps):
            t = k / steps
            points.append((p0[0] + (p1[0] - p0[0]) * t + rng.uniform(-amount, amount),
                           p0[1] + (p1[1] - p0[1]) * t + rng.uniform(-amount, amount) * 0.5))
        points.append(p1)
        return points

    apex = (x, top)
    west = jagged((x - half, base_y), apex, 6, half * 0.06)
    east = jagged(apex, (x + half * 1.05, base_y), 6, half * 0.06)
    ridge = jagged(apex, (x + half * rng.uniform(0.05, 0.25), base_y), 5, half * 0.05)
    masks = []
    for polygon in (west + ridge[1:], ridge + east[::-1][:-1]):
        mask = Image.new("L", (N, N), 0)
        ImageDraw.Draw(mask).polygon(polygon, fill=255)
        masks.append(np.asarray(mask, dtype=np.float32) / 255)
    snow_y = top + (base_y - top) * snow_share
    line = jagged((x - half * 1.2, snow_y), (x + half * 1.2, snow_y), 9, half * 0.12)
    snow = Image.new("L", (N, N), 0)
    ImageDraw.Draw(snow).polygon([(x - half * 1.2, -10), (x + half * 1.2, -10)] + line[::-1], fill=255)
    snow = np.asarray(snow, dtype=np.float32)[..., None] / 255
    lit, dark = masks
    colours = (np.asarray(rock, dtype=np.float32) * 1.25, np.asarray(rock, dtype=np.float32) * 0.72)
    snows = (np.asarray((244, 247, 250), dtype=np.float32), np.asarray((172, 188, 204), dtype=np.float32))
    rgb = np.zeros((N, N, 3), dtype=np.float32)
    for face, colour, white in zip((lit, dark), colours, snows):
        rgb += face[..., None] * (colour * (1 - snow) + white * snow)
    alpha = np.clip(lit + dark, 0, 1)
    rgba = np.dstack([np.clip(rgb / np.maximum(alpha, 1e-6)[..., None], 0, 255), alpha * 255])
    return Image.fromarray(rgba.astype(np.uint8), "RGBA")


def _mountain(rng):
    ground = _colour((104, 112, 110), 1 + 0.14 * _noise(rng, 5, 6))
    c = N / 2
    rock = (124, 132, 138)
    rgb = ground
    for x, top, base_y, half, snow in ((c - 160, c - 100, c + 120, 150, 0.36),
                                       (c + 175, c - 80, c + 130, 145, 0.33),
                                       (c + 15, c - 215, c + 175, 200, 0.42),
                                       (c - 110, c + 10, c + 235, 135, 0.28),
                                       (c + 150, c + 40, c + 250, 120, 0.25),
                                       (c - 270, c + 90, c + 290, 110, 0.2),
                                       (c + 300, c + 120, c + 300, 110, 0.2)):
        layer = _peak(rng, x + rng.uniform(-6, 6), top, base_y, half, _jitter_colour(rng, rock, 0.06),
                      snow)
        rgb = _over(rgb, layer)
    texture = 1 + 0.10 * _noise(rng, 5, 10)
    return rgb * texture[..., None]


def _city(rng):
    rgb = _colour((128, 124, 112), 1 + 0.05 * _noise(rng, 3, 4))
    layer, draw = _layer()
    block = 74
    for j in range(-1, N // block + 2):
        for i in range(-1, N // block + 2):
            x0, y0 = i * block + 10, j * block + 10
            for _ in range(rng.integers(2, 5)):
                w, h = rng.uniform(18, 38), rng.uniform(16, 34)
                x, y = x0 + rng.uniform(0, block - 24 - w / 2), y0 + rng.uniform(0, block - 24 - h / 2)
                roofs = [(168, 96, 78), (150, 146, 138), (176, 120, 92)]
                roof = _jitter_colour(rng, roofs[rng.integers(3)], 0.1)
                draw.rectangle([x + 5, y + 5, x + w + 5, y + h + 5], fill=(60, 58, 52, 160))
                draw.rectangle([x, y, x + w, y + h], fill=roof + (255,))
                ridge = tuple(int(c * 0.8) for c in roof) + (255,)
                draw.line([(x, y + h / 2), (x + w, y + h / 2)], fill=ridge, width=2)
    return _over(rgb, layer)


def _water(rng):
    noise = _noise(rng, 5, 3)
    depth = 1 + 0.08 * noise + 0.05 * np.sin((_X * 0.3 + _Y) / 26.0)
    rgb = _colour((56, 108, 139), depth)
    layer, draw = _layer()
    for x, y in _lattice(rng, 58, 18, margin=40):
        w = rng.uniform(16, 26)
        bright = rng.uniform(0.85, 1.0)
        draw.arc([x - w, y - w * 0.45, x + w, y + w * 0.45], 200, 340,
                 fill=(int(150 * bright), int(196 * bright), int(214 * bright), 190), width=3)
        draw.arc([x - w * 0.8, y + 2, x + w * 0.8, y + w * 0.5], 200, 340,
                 fill=(36, 78, 106, 140), width=2)
    return _over(rgb, layer.filter(ImageFilter.GaussianBlur(0.8)))


def _farmland(rng):
    palette = [(196, 178, 92), (152, 160, 82), (170, 140, 92), (188, 172, 108), (206, 190, 112),
               (140, 150, 86)]
    angle = math.radians(rng.uniform(8, 16))
    u = _DX * math.cos(angle) + _DY * math.sin(angle)
    v = -_DX * math.sin(angle) + _DY * math.cos(angle)
    # Strips of varying width across, cut into fields of varying length along.
    rgb = np.zeros((N, N, 3), dtype=np.float32)
    hedge = np.zeros((N, N), dtype=bool)
    edges_u = np.cumsum(rng.uniform(70, 130, 16)) - 700
    edges_u = edges_u[(edges_u > -450) & (edges_u < 450)]
    col = np.searchsorted(edges_u, u)
    for k in range(len(edges_u) + 1):
        strip = col == k
        cuts = np.cumsum(rng.uniform(60, 150, 16)) - 700 + rng.uniform(0, 60)
        row = np.searchsorted(cuts, v)
        for m in range(len(cuts) + 1):
            field = strip & (row == m)
            if not field.any():
                continue
            colour = np.asarray(palette[rng.integers(len(palette))], dtype=np.float32)
            furrow_dir = rng.integers(2)
            coord = u if furrow_dir else v
            period = rng.uniform(7, 11)
            stripes = 1 + 0.07 * np.sin(coord[field] * 2 * math.pi / period)
            rgb[field] = colour * stripes[:, None]
        for cut in cuts:
            hedge |= strip & (np.abs(v - cut) < 2.5)
    for edge in edges_u:
        hedge |= np.abs(u - edge) < 3
    rgb *= (1 + 0.05 * _noise(rng, 4, 5))[..., None]
    rgb[hedge] = rgb[hedge] * 0.55 + np.asarray((70, 96, 50), dtype=np.float32) * 0.45
    return rgb


def _wetland(rng):
    rgb = _colour((74, 114, 92), 1 + 0.12 * _noise(rng, 5, 4))
    water = _noise(rng, 4, 5)
    level = 0.2
    pools = np.clip((water - level) / 0.04, 0, 1)[..., None]
    pool_rgb = _colour((62, 112, 138), 1 + 0.06 * _noise(rng, 3, 6))
    rgb = rgb * (1 - pools) + pool_rgb * pools
    rim = np.clip(1 - np.abs(water - level) / 0.025, 0, 1)[..., None]
    rgb = rgb * (1 - 0.4 * rim) + np.asarray((150, 168, 116), dtype=np.float32) * 0.4 * rim
    layer, draw = _layer()
    for x, y in _lattice(rng, 46, 15, margin=30):
        if water[int(min(max(y, 0), N - 1)), int(min(max(x, 0), N - 1))] > level - 0.05:
            continue
        for _ in range(rng.integers(5, 9)):  # a tuft of reeds
            bx = x + rng.uniform(-10, 10)
            h = rng.uniform(22, 40)
            lean = rng.uniform(-7, 7)
            green = _jitter_colour(rng, (120, 138, 62), 0.15)
            draw.line([(bx, y), (bx + lean, y - h)], fill=green + (255,), width=3)
            if rng.random() < 0.22:
                draw.line([(bx + lean * 0.92, y - h * 0.92), (bx + lean * 0.75, y - h * 0.7)],
                          fill=(96, 70, 44, 255), width=5)
    return _over(rgb, layer)


def _desert(rng):
    warp = _noise(rng, 3, 2) * 60
    phase = (_X * 0.55 + _Y * 0.85 + warp) / 62.0
    ridge = (phase - np.floor(phase))  # saw tooth: gentle windward slope, steep lee side
    height = np.where(ridge < 0.78, ridge / 0.78, (1 - ridge) / 0.22) * 40
    height += 6 * _noise(rng, 5, 6)
    shade = _hillshade(height, azimuth=250, altitude=35, z=1.0)
    sand = 1 + 0.04 * _noise(rng, 5, 10)
    rgb = _colour((204, 178, 124), (0.76 + 0.38 * shade) * sand)
    grain = rng.normal(0, 5, (N, N)).astype(np.float32)
    return rgb + grain[..., None]


def _ice(rng):
    rgb = _colour((206, 224, 228), 1 + 0.05 * _noise(rng, 5, 4))
    points = rng.uniform(-40, N + 40, (46, 2))
    # Distance to the nearest and second nearest point: crack lines where they are equal.
    d = np.sort(np.stack([np.hypot(_X - px, _Y - py) for px, py in points]), axis=0)
    crack = np.clip(1 - (d[1] - d[0]) / 3.0, 0, 1)
    crack *= 0.55 + 0.45 * (_noise(rng, 4, 6) > -0.2)
    shade = np.clip(d[0] / 90.0, 0, 1)  # cells slightly darker towards their edges
    rgb = rgb * (1.04 - 0.08 * shade)[..., None]
    line = np.asarray((120, 150, 170), dtype=np.float32)
    rgb = rgb * (1 - 0.55 * crack[..., None]) + line * 0.55 * crack[..., None]
    return rgb


def _scrub(rng):
    noise = _noise(rng, 5, 5)
    rgb = _colour((146, 142, 98), 1 + 0.10 * noise)
    speck = rng.random((N, N)) < 0.03
    rgb[speck] *= 0.82
    shadow, draw_shadow = _layer()
    bushes, draw = _layer()
    for x, y in _lattice(rng, 64, 26, margin=30):
        for _ in range(rng.integers(1, 3)):
            bx, by = x + rng.uniform(-14, 14), y + rng.uniform(-10, 10)
            r = rng.uniform(10, 19)
            colour = _jitter_colour(rng, (94, 116, 66), 0.12)
            draw_shadow.ellipse([bx - r + 7, by - r * 0.6 + 9, bx + r + 7, by + r * 0.9 + 9],
                                fill=(60, 58, 34, 150))
            for _ in range(4):
                ox, oy = rng.uniform(-r * 0.5, r * 0.5, 2)
                rr = r * rng.uniform(0.45, 0.7)
                draw.ellipse([bx + ox - rr, by + oy - rr, bx + ox + rr, by + oy + rr],
                             fill=colour + (255,))
            rr = r * 0.35
            draw.ellipse([bx - r * 0.35 - rr, by - r * 0.35 - rr, bx - r * 0.35 + rr, by - r * 0.35 + rr],
                         fill=tuple(int(min(255, c * 1.3)) for c in colour) + (220,))
    return _over(_over(rgb, shadow.filter(ImageFilter.GaussianBlur(4))), bushes)


PAINTERS = (_plain, _forest, _hills, _mountain, _city, _water, _farmland, _wetland, _desert,
            _ice, _scrub, _conifers)
_HEX = hexagon_mask()


def _alpha():
    """Opaque inside a circle well beyond the hexagon, fading out before the cell border."""
    r = np.hypot(_DX, _DY)
    inner, outer = 0.925 * N / 2, 0.985 * N / 2
    alpha = np.clip((outer - r) / (outer - inner), 0, 1)
    return alpha


def terrain_cell(index):
    """One 256 x 256 RGBA cell of the atlas (cell 11 is the second forest)."""
    rng = np.random.default_rng(4000 + index)
    rgb = PAINTERS[index](rng).astype(np.float32)
    target = np.asarray(TERRAIN_COLOURS[1 if index == 11 else index], dtype=np.float32)
    mean = rgb[_HEX].mean(axis=0)
    rgb = rgb + (target - mean)  # keep the detail, match the flat colour on average
    rgba = np.dstack([np.clip(rgb, 0, 255), _alpha() * 255])
    image = Image.fromarray(np.round(rgba).astype(np.uint8), "RGBA")
    return np.asarray(image.resize((CELL, CELL), Image.BOX))


def terrain_atlas():
    """The whole atlas, 768 x 1024 x 4 (rows, columns, RGBA)."""
    atlas = np.zeros((3 * CELL, 4 * CELL, 4), dtype=np.uint8)
    for c in range(12):
        row, column = divmod(c, 4)
        atlas[row * CELL:(row + 1) * CELL, column * CELL:(column + 1) * CELL] = terrain_cell(c)
    return atlas


# --- city markers -------------------------------------------------------------------------


def _house(draw, x, y, w, h, colour, window):
    """A house with a pitched roof; (x, y) is the bottom left corner."""
    draw.rectangle([x, y - h, x + w, y], fill=colour)
    draw.polygon([(x - w * 0.12, y - h), (x + w / 2, y - h - w * 0.55), (x + w * 1.12, y - h)],
                 fill=colour)
    draw.rectangle([x + w * 0.36, y - h * 0.42, x + w * 0.64, y], fill=window)


def _tower(draw, x, y, w, h, colour, window, floors=0):
    draw.rectangle([x, y - h, x + w, y], fill=colour)
    for f in range(floors):
        wy = y - h + 10 * SS + f * 12 * SS
        if wy > y - 12 * SS:
            break
        for wx in (x + w * 0.22, x + w * 0.6):
            draw.rectangle([wx, wy, wx + w * 0.18, wy + 5 * SS], fill=window)


def _badge(size_share, ring, ring_colour=INK):
    """A dark disc with a light ring, RGBA drawing square, and its radius."""
    image, draw = _layer()
    c, r = N / 2, size_share * N / 2
    draw.ellipse([c - r, c - r, c + r, c + r], fill=DARK + (255,))
    draw.ellipse([c - r, c - r, c + r, c + r], outline=ring_colour + (255,), width=int(ring * SS))
    return image, draw, r


def _finish(image):
    return np.asarray(image.resize((CELL, CELL), Image.BOX))


def city_marker():
    """The general city marker: a skyline of three buildings in a ringed disc, 256 x 256 RGBA."""
    image, draw, r = _badge(0.94, 13)
    c = N / 2
    ground = c + r * 0.42
    ink = INK + (255,)
    window = DARK + (255,)
    _house(draw, c - r * 0.62, ground, r * 0.34, r * 0.34, ink, window)
    _tower(draw, c - r * 0.2, ground, r * 0.36, r * 0.86, ink, window, floors=5)
    draw.polygon([(c - r * 0.2, ground - r * 0.86), (c - r * 0.02, ground - r * 1.08),
                  (c + r * 0.16, ground - r * 0.86)], fill=ink)
    _house(draw, c + r * 0.24, ground, r * 0.34, r * 0.5, ink, window)
    draw.rectangle([c - r * 0.74, ground, c + r * 0.7, ground + r * 0.09], fill=GOLD + (255,))
    return _finish(image)


def _size_marker(style):
    ink = INK + (255,)
    window = DARK + (255,)
    c = N / 2
    if style == 0:  # village: one house
        image, draw, r = _badge(0.56, 9)
        _house(draw, c - r * 0.34, c + r * 0.42, r * 0.68, r * 0.52, ink, window)
    elif style == 1:  # town: houses and a church
        image, draw, r = _badge(0.70, 10)
        ground = c + r * 0.45
        _house(draw, c - r * 0.7, ground, r * 0.42, r * 0.36, ink, window)
        draw.rectangle([c - r * 0.16, ground - r * 0.82, c + r * 0.12, ground], fill=ink)
        draw.polygon([(c - r * 0.2, ground - r * 0.82), (c - r * 0.02, ground - r * 1.12),
                      (c + r * 0.16, ground - r * 0.82)], fill=ink)
        _house(draw, c + r * 0.26, ground, r * 0.42, r * 0.42, ink, window)
    elif style == 2:  # city: a row of tall buildings
        image, draw, r = _badge(0.84, 11)
        ground = c + r * 0.45
        for x, w, h in ((-0.72, 0.3, 0.55), (-0.38, 0.3, 0.95), (-0.04, 0.3, 0.72), (0.3, 0.36, 0.5)):
            _tower(draw, c + r * x, ground, r * w, r * h, ink, window, floors=4)
        draw.rectangle([c - r * 0.76, ground, c + r * 0.7, ground + r * 0.08], fill=GOLD + (255,))
    else:  # metropolis: high-rises in a double ring
        image, draw, r = _badge(0.98, 8, GOLD)
        inner = r - 16 * SS
        draw.ellipse([c - inner, c - inner, c + inner, c + inner], outline=INK + (255,), width=6 * SS)
        ground = c + r * 0.45
        for x, w, h in ((-0.66, 0.22, 0.6), (-0.4, 0.24, 1.02), (-0.12, 0.26, 1.18), (0.18, 0.22, 0.84),
                        (0.42, 0.22, 0.56)):
            _tower(draw, c + r * x, ground, r * w, r * h, ink, window, floors=6)
        draw.line([(c + r * 0.01, ground - r * 1.18), (c + r * 0.01, ground - r * 1.34)],
                  fill=ink, width=3 * SS)
        draw.rectangle([c - r * 0.7, ground, c + r * 0.66, ground + r * 0.08], fill=GOLD + (255,))
    return _finish(image)


def city_size_markers():
    """The four size-class markers side by side, 256 x 1024 RGBA (class s at x = 256 s)."""
    return np.concatenate([_size_marker(s) for s in range(4)], axis=1)


# --- previews -----------------------------------------------------------------------------


def _checker(width, height, size=16):
    y, x = np.mgrid[0:height, 0:width]
    light = ((x // size + y // size) % 2).astype(bool)
    out = np.empty((height, width, 3), dtype=np.float32)
    out[:] = (44, 52, 56)
    out[light] = (64, 74, 78)
    return out


def _composite(rgba, background):
    a = rgba[..., 3:4].astype(np.float32) / 255
    return (rgba[..., :3] * a + background * (1 - a)).astype(np.uint8)


def preview_atlas(atlas):
    """The atlas on a checkerboard with the field hexagons outlined, above a patch of tiles."""
    height, width = atlas.shape[:2]
    top = Image.fromarray(_composite(atlas, _checker(width, height)))
    draw = ImageDraw.Draw(top)
    r = FOOTPRINT * CELL / 2
    for c in range(12):
        cx, cy = (c % 4) * CELL + CELL / 2, (c // 4) * CELL + CELL / 2
        corners = [(cx + r * math.cos(math.radians(60 * i - 90)),
                    cy + r * math.sin(math.radians(60 * i - 90))) for i in range(6)]
        draw.polygon(corners, outline=(255, 255, 255))
    patch = _tile_patch(atlas)
    out = Image.new("RGB", (width, height + patch.height), (30, 36, 38))
    out.paste(top, (0, 0))
    out.paste(patch, ((width - patch.width) // 2, height))
    return out


def _tile_patch(atlas, size=64):
    """A small map of hexagon tiles cut from the atlas, as the renderer shows fields."""
    layout = ["mmhhffbbdd", "mhhfffpbdd", "hhfkfppaad", "wwhpkpaaai", "wwwssaaiii"]
    codes = {"p": 0, "f": 1, "h": 2, "m": 3, "w": 5, "a": 6, "s": 7, "d": 8, "i": 9, "b": 10, "k": 11}
    r = size / 2
    width = int(math.sqrt(3) * r * (len(layout[0]) + 0.5)) + 8
    height = int(1.5 * r * len(layout) + r) + 8
    canvas = Image.new("RGBA", (width, height), (30, 36, 38, 255))
    cell_size = int(round(size / FOOTPRINT))
    for row, text in enumerate(layout):
        for col, ch in enumerate(text):
            c = codes[ch]
            cell = atlas[(c // 4) * CELL:(c // 4 + 1) * CELL, (c % 4) * CELL:(c % 4 + 1) * CELL]
            tile = Image.fromarray(cell, "RGBA").resize((cell_size, cell_size), Image.BILINEAR)
            mask = Image.fromarray((hexagon_mask(cell_size, r) * 255).astype(np.uint8), "L")
            cx = 4 + math.sqrt(3) * r * (col + 0.5 * (row % 2)) + math.sqrt(3) * r / 2
            cy = 4 + r + 1.5 * r * row
            canvas.paste(tile, (int(round(cx - cell_size / 2)), int(round(cy - cell_size / 2))), mask)
    return canvas.convert("RGB")


def preview_markers(marker, sizes):
    """Both marker images at full size and at the small sizes the map draws them."""
    width = CELL * 5 + 40
    out = Image.new("RGB", (width, CELL + 120), (30, 36, 38))
    for x, image in ((0, marker),) + tuple((CELL * (s + 1) + 40, sizes[:, s * CELL:(s + 1) * CELL])
                                              for s in range(4)):
        tile = Image.fromarray(_composite(image, _checker(CELL, CELL)))
        out.paste(tile, (x, 0))
        for k, small in enumerate((22, 36, 64)):
            icon = Image.fromarray(image, "RGBA").resize((small, small), Image.BILINEAR)
            out.paste(icon, (x + 20 + k * 80, CELL + 20 + (64 - small) // 2), icon)
    return out
