"""Checks of the written data files, the same checks the program's loaders apply.

Every check raises ``DataError`` with the loader's message (plus a little context),
so a file that passes here also loads in the program.

>>> check_map({"schema_version": 3, "width": 2, "height": 1, "name": "T", "layout": "odd-r",
...            "wrap_horizontal": True, "kind": "world", "terrain_rows": ["w1p1"],
...            "river_edges": []}).width
2
"""

import math
import re

import numpy as np

from .encode import MASK_ALPHABET, TERRAIN_ALPHABET, WIDTH_ALPHABET

__all__ = [
    "DataError",
    "LoadedMap",
    "check_map",
    "check_tile_map",
    "check_bridge_names",
    "check_countries",
    "check_water_territories",
    "check_seas",
    "check_river_names",
    "check_name",
    "NAME_CHARACTERS",
    "check_cities",
    "check_urban",
    "check_city_parameters",
    "startup_cities",
    "check_units",
    "check_battles",
    "check_alpha_bmp",
    "check_flags",
]

WATER = TERRAIN_ALPHABET.index("w")
# Names are limited to what every loader and the bitmap font accept.
NAME_CHARACTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -."
_NAME_RE = re.compile(r"^[A-Za-z0-9 .\-]+$")
_RUN_RE = re.compile(r"(.)(\d*)")


class DataError(ValueError):
    """A data file breaks a rule of its loader."""


def _integer(value, what="Ganzzahl"):
    if isinstance(value, bool) or not isinstance(value, int) or not -100000 <= value <= 100000:
        raise DataError(f"{what}: Ganzzahl im gueltigen Bereich erwartet")
    return value


def _string(value, what):
    if not isinstance(value, str):
        raise DataError(f"{what}: Zeichenkette erwartet")
    return value


def check_name(name, what, limit=80):
    """A display name: 1..limit characters from NAME_CHARACTERS."""
    _string(name, what)
    if not 1 <= len(name) <= limit or not _NAME_RE.match(name):
        raise DataError(f"{what}: ungueltiger Name {name!r}")
    return name


def _decode_runs(text, alphabet, width, what):
    if not isinstance(text, str):
        raise DataError(f"{what}: Zeichenkette erwartet")
    values = np.empty(width, dtype=np.int64)
    column = 0
    for code, digits in _RUN_RE.findall(text):
        value = alphabet.find(code)
        if value < 0:
            raise DataError(f"{what}: Unbekannter RLE-Code")
        if not digits or int(digits) <= 0 or int(digits) > 2**31 - 1 or int(digits) > width - column:
            raise DataError(f"{what}: Ungueltige RLE-Laenge")
        count = int(digits)
        values[column : column + count] = value
        column += count
    if column != width:
        raise DataError(f"{what}: RLE-Reihe muss genau width Felder abdecken")
    return values


class LoadedMap:
    """What the map loader keeps of a schema-3 world map: terrain and river edges."""

    def __init__(self, width, height, terrain):
        self.width = width
        self.height = height
        self.terrain = terrain
        self.edges = {}  # (smaller cell, larger cell) -> [width class, bridge]

    def cell(self, q, r):
        """Cell index of a contained axial hex, or None."""
        if not 0 <= r < self.height:
            return None
        column = q + r // 2
        if not 0 <= column < self.width:
            return None
        return r * self.width + column

    def edge(self, q1, r1, q2, r2):
        """The edge record between two stored hexes, or None (hexes are not wrapped)."""
        a, b = self.cell(q1, r1), self.cell(q2, r2)
        if a is None or b is None:
            return None
        return self.edges.get((min(a, b), max(a, b)))

    def neighbour_cell(self, cell, direction):
        """Cell of the canonical forward neighbour (0 east, 1 below right, 2 below left)."""
        r, c = divmod(cell, self.width)
        q = c - r // 2
        dq, dr = ((1, 0), (0, 1), (-1, 1))[direction]
        q, r = q + dq, r + dr
        if not 0 <= r < self.height:
            return None
        column = (q + r // 2) % self.width
        return r * self.width + column

    def is_water(self, cell):
        return self.terrain.flat[cell] == WATER


def _rows(doc, key, height, message):
    rows = doc[key]
    if not isinstance(rows, list) or len(rows) != height:
        raise DataError(message)
    return rows


def check_map(doc):
    """Checks of the map loader for a compact (schema 3) world map; returns a LoadedMap."""
    if not isinstance(doc, dict):
        raise DataError("Karte muss ein JSON-Objekt sein")
    version = doc.get("schema_version")
    if version is None or _integer(version, "schema_version") not in (1, 2, 3):
        raise DataError("Nicht unterstuetzte Karten-Schemaversion (erwartet: 1 bis 3)")
    if version != 3:
        raise DataError("nur Schema 3 wird hier geprueft")
    width, height = _integer(doc["width"], "width"), _integer(doc["height"], "height")
    if not (1 <= width <= 8192 and 1 <= height <= 8192) or width * height > 32_000_000:
        raise DataError("Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder")
    name = _string(doc["name"], "name")
    if not 1 <= len(name.encode("utf-8")) <= 100:
        raise DataError("Kartenname muss 1 bis 100 Zeichen enthalten")
    if doc.get("layout", "axial") not in ("axial", "odd-r"):
        raise DataError("Unbekanntes Kartenlayout")
    if doc.get("wrap_horizontal", False) is not True or doc.get("layout") != "odd-r":
        raise DataError("Weltkarte benoetigt horizontalen Uebergang mit odd-r-Layout")
    if doc.get("kind", "operational") != "world":
        raise DataError("Schema 3 erwartet eine kompakte Weltkarte")
    if "tiles" in doc:
        raise DataError("Schema 3 erwartet eine kompakte Weltkarte")
    rows = _rows(doc, "terrain_rows", height, "Ungueltige Anzahl Gelaendereihen")
    terrain = np.empty((height, width), dtype=np.int64)
    for r, text in enumerate(rows):
        terrain[r] = _decode_runs(text, TERRAIN_ALPHABET, width, f"terrain_rows[{r}]")
    loaded = LoadedMap(width, height, terrain)
    if not isinstance(doc.get("river_edges"), list):
        raise DataError("river_edges muss ein Array sein")
    if doc["river_edges"]:
        raise DataError("explizite river_edges werden von der Pipeline nicht geschrieben")

    def each_bit(key, message, alphabet, bits):
        rows = _rows(doc, key, height, message)
        for r, text in enumerate(rows):
            values = _decode_runs(text, alphabet, width, f"{key}[{r}]")
            for c in np.flatnonzero(values):
                for direction in range(3):
                    part = (int(values[c]) >> (bits * direction)) & ((1 << bits) - 1)
                    if part:
                        yield r * width + int(c), direction, part, f"{key}[{r}] Spalte {c}"

    if "river_rows" in doc:
        for cell, direction, _, where in each_bit(
            "river_rows", "Ungueltige Anzahl Flussreihen", MASK_ALPHABET, 1
        ):
            other = loaded.neighbour_cell(cell, direction)
            if other is None:
                raise DataError(f"{where}: Flusskante ausserhalb der Karte")
            if other == cell:
                raise DataError(f"{where}: Flusskante muss benachbarte Felder verbinden")
            key = (min(cell, other), max(cell, other))
            if key in loaded.edges:
                raise DataError(f"{where}: Doppelte Flusskante")
            loaded.edges[key] = [1, False]
    if "river_width_rows" in doc:
        for cell, direction, value, where in each_bit(
            "river_width_rows", "Ungueltige Anzahl Flussbreitenreihen", WIDTH_ALPHABET, 2
        ):
            other = loaded.neighbour_cell(cell, direction)
            key = None if other is None else (min(cell, other), max(cell, other))
            if key not in loaded.edges:
                raise DataError(f"{where}: Breitenklasse ohne Flusskante")
            loaded.edges[key][0] = value
    if "bridge_rows" in doc:
        for cell, direction, _, where in each_bit(
            "bridge_rows", "Ungueltige Anzahl Brueckenreihen", MASK_ALPHABET, 1
        ):
            other = loaded.neighbour_cell(cell, direction)
            key = None if other is None else (min(cell, other), max(cell, other))
            if key not in loaded.edges:
                raise DataError(f"{where}: Bruecke ohne zugehoerigen Fluss")
            if loaded.is_water(cell) or loaded.is_water(other):
                raise DataError(f"{where}: Bruecke benoetigt zwei Landufer")
            loaded.edges[key][1] = True
    return loaded


_AXIAL_STEPS = ((1, 0), (1, -1), (0, -1), (-1, 0), (-1, 1), (0, 1))


def check_tile_map(doc):
    """Checks of the map loader for a non-wrapping schema-1 map (tiles with roads) in the odd-r
    layout; returns a LoadedMap with an extra ``roads`` array (0 none, 1 road, 2 road and bridge)."""
    if not isinstance(doc, dict) or doc.get("schema_version") != 1 or isinstance(doc.get("schema_version"), bool):
        raise DataError("Schema 1 erwartet")
    width, height = _integer(doc["width"], "width"), _integer(doc["height"], "height")
    if not (1 <= width <= 8192 and 1 <= height <= 8192) or width * height > 32_000_000:
        raise DataError("Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder")
    if not 1 <= len(_string(doc["name"], "name").encode("utf-8")) <= 100:
        raise DataError("Kartenname muss 1 bis 100 Zeichen enthalten")
    if doc.get("layout") != "odd-r" or doc.get("wrap_horizontal", False) is not False \
            or doc.get("kind", "operational") != "operational":
        raise DataError("nur nicht umlaufende odd-r-Einsatzkarten werden hier geprueft")
    if "terrain_rows" in doc:
        raise DataError("terrain_rows benoetigt Schema 2")
    loaded = LoadedMap(width, height, np.full((height, width), -1, dtype=np.int64))
    loaded.roads = np.zeros((height, width), dtype=np.int64)
    tiles = doc["tiles"]
    if not isinstance(tiles, list) or len(tiles) != width * height:
        raise DataError("Fuer jedes Hexfeld muss genau ein Eintrag in tiles existieren")
    for i, tile in enumerate(tiles):
        cell = loaded.cell(_integer(tile["q"], "q"), _integer(tile["r"], "r"))
        if cell is None:
            raise DataError(f"tiles[{i}]: Ungueltige Hexkoordinate in tiles")
        if loaded.terrain.flat[cell] >= 0:
            raise DataError(f"tiles[{i}]: Doppeltes Hexfeld in tiles")
        if tile.get("terrain") not in TERRAIN_IDS:
            raise DataError(f"tiles[{i}]: Unbekanntes Gelaende: {tile.get('terrain')}")
        road, bridge = tile.get("road", False), tile.get("bridge", False)
        if not (isinstance(road, bool) and isinstance(bridge, bool)):
            raise DataError(f"tiles[{i}]: road und bridge muessen boolesch sein")
        if bridge and not road:
            raise DataError(f"tiles[{i}]: Eine Bruecke benoetigt eine Strasse")
        loaded.terrain.flat[cell] = TERRAIN_IDS.index(tile["terrain"])
        loaded.roads.flat[cell] = int(road) + int(bridge)
    if not isinstance(doc.get("river_edges"), list):
        raise DataError("river_edges muss ein Array sein")
    for i, edge in enumerate(doc["river_edges"]):
        (q1, r1), (q2, r2) = ((_integer(edge[k]["q"], "q"), _integer(edge[k]["r"], "r")) for k in "ab")
        a, b = loaded.cell(q1, r1), loaded.cell(q2, r2)
        if a is None or b is None:
            raise DataError(f"river_edges[{i}]: Flusskante ausserhalb der Karte")
        if (q2 - q1, r2 - r1) not in _AXIAL_STEPS:
            raise DataError(f"river_edges[{i}]: Flusskante muss benachbarte Felder verbinden")
        width_class = _integer(edge.get("width_class", 1), "width_class")
        if not 1 <= width_class <= 3:
            raise DataError(f"river_edges[{i}]: Flussbreite muss Klasse 1 bis 3 sein")
        bridge = edge.get("bridge", False)
        if bridge and (loaded.is_water(a) or loaded.is_water(b)):
            raise DataError(f"river_edges[{i}]: Kantenbruecke benoetigt zwei Landfelder")
        key = (min(a, b), max(a, b))
        if key in loaded.edges:
            raise DataError(f"river_edges[{i}]: Doppelte Flusskante")
        loaded.edges[key] = [width_class, bool(bridge)]
    return loaded


def check_bridge_names(doc, loaded):
    """Checks of the bridge-name loader on the "bridge_names" key of a map document."""
    entries = doc.get("bridge_names")
    if entries is None:
        return 0
    if doc["width"] != loaded.width or doc["height"] != loaded.height:
        raise DataError("Brueckennamen passen nicht zur Karte")
    seen = set()
    for i, entry in enumerate(entries):
        if not isinstance(entry, list) or len(entry) != 5:
            raise DataError(f"bridge_names[{i}]: Ungueltiger Brueckenname")
        q1, r1, q2, r2 = (_integer(v, f"bridge_names[{i}]") for v in entry[:4])
        edge = loaded.edge(q1, r1, q2, r2)
        if edge is None or not edge[1]:
            raise DataError(f"bridge_names[{i}]: Brueckenname ohne Bruecke")
        names = entry[4]
        if not isinstance(names, list) or not names:
            raise DataError(f"bridge_names[{i}]: Leerer Brueckenname")
        for name in names:
            if not isinstance(name, str) or not name:
                raise DataError(f"bridge_names[{i}]: Leerer Brueckenname")
            check_name(name, f"bridge_names[{i}]")
        key = (loaded.cell(q1, r1), loaded.cell(q2, r2))
        key = (min(key), max(key))
        if key in seen:
            raise DataError(f"bridge_names[{i}]: Doppelte Brueckennamenskante")
        seen.add(key)
    return len(seen)


def _check_polygons(polygons, what, messages):
    coordinate, ring_message, empty = messages
    if not isinstance(polygons, list):
        raise DataError(f"{what}: polygons muss ein Array sein")
    for p, polygon in enumerate(polygons):
        if not isinstance(polygon, list) or not polygon:
            raise DataError(f"{what} Polygon {p}: {empty}")
        for ring in polygon:
            if not isinstance(ring, list) or len(ring) < 4:
                raise DataError(f"{what} Polygon {p}: {ring_message}")
            for point in ring:
                if not isinstance(point, list) or len(point) < 2:
                    raise DataError(f"{what} Polygon {p}: Punkt mit zwei Zahlen erwartet")
                lon, lat = point[0], point[1]
                for v in (lon, lat):
                    if isinstance(v, bool) or not isinstance(v, (int, float)):
                        raise DataError(f"{what} Polygon {p}: Zahl erwartet")
                if not (math.isfinite(lon) and math.isfinite(lat)) or abs(lon) > 180 or abs(lat) > 90:
                    raise DataError(f"{what} Polygon {p}: {coordinate}")


_COUNTRY_MESSAGES = ("Ungueltige Laenderkoordinate", "Ungueltiger Laenderring", "Leeres Laenderpolygon")
_WATER_MESSAGES = ("Ungueltige Gewaesserkoordinate", "Ungueltiger Gewaesserring", "Leeres Gewaesserpolygon")
COUNTRY_STATUSES = ("country", "dependent", "disputed")
AREA_STATUSES = ("disputed", "claim", "special")


def check_countries(doc):
    """Checks of the country loader plus our own rules; returns the list of ids."""
    if doc.get("schema_version") != 1:
        raise DataError("Unbekanntes Laenderschema")
    ids = []
    for key, statuses in (("countries", COUNTRY_STATUSES), ("disputed_areas", AREA_STATUSES)):
        entries = doc.get(key, []) if key == "disputed_areas" else doc[key]
        seen = set()
        for i, country in enumerate(entries):
            what = f"{key}[{i}]"
            cid = _string(country["id"], what)
            if not cid or cid in seen:
                raise DataError(f"{what}: leere oder doppelte id {cid!r}")
            seen.add(cid)
            check_name(country["name"], what)
            if country.get("status", "country") not in statuses:
                raise DataError(f"{what}: unbekannter Status {country.get('status')!r}")
            _string(country.get("sovereign_id", cid), what)
            _check_polygons(country["polygons"], what, _COUNTRY_MESSAGES)
            if key == "countries":
                ids.append(cid)
    for i, country in enumerate(doc["countries"]):
        if country.get("sovereign_id", country["id"]) not in ids:
            raise DataError(f"countries[{i}]: sovereign_id ohne Land")
    return ids


_SPAN_MESSAGES = {
    "spans": ("Ungueltige Gewaesser-Laenderzeile", "Ungueltige Gewaesser-Laenderzuordnung",
              "Ueberlappende Gewaesser-Laenderzuordnung"),
    "marine_spans": ("Ungueltige marine Laenderzeile", "Ungueltige marine Laenderzuordnung",
                     "Ueberlappende marine Laenderzuordnung"),
    "land_spans": ("Ungueltige Land-Ergaenzungszeile", "Ungueltige Land-Ergaenzungszuordnung",
                   "Ueberlappende Land-Ergaenzungszuordnung"),
    "interior_water_spans": ("Ungueltige Binnenwasser-Ergaenzung", "Ungueltige Binnenwasser-Zuordnung",
                             "Ueberlappende Binnenwasser-Zuordnung"),
}


def _read_spans(spans, key, width, height, owners):
    shape, bounds, overlap = _SPAN_MESSAGES[key]
    rows = {}
    for i, span in enumerate(spans):
        if not isinstance(span, list) or len(span) != 4:
            raise DataError(f"{key}[{i}]: {shape}")
        row, start, count, owner = (_integer(v, f"{key}[{i}]") for v in span)
        if not (0 <= row < height and start >= 0 and count >= 1 and start + count <= width
                and 0 <= owner < owners):
            raise DataError(f"{key}[{i}]: {bounds}")
        previous = rows.setdefault(row, [])
        if previous and start < previous[-1][1]:
            raise DataError(f"{key}[{i}]: {overlap}")
        previous.append((start, start + count, owner))
    return rows


def _lookup(rows, row, column):
    for start, end, owner in rows.get(row, ()):
        if start <= column < end:
            return owner
    return None


def check_water_territories(doc, width, height, country_ids):
    """Checks of the water-territory loader; returns the four row tables."""
    if doc.get("schema_version") != 1 or doc["width"] != width or doc["height"] != height:
        raise DataError("Gewaesser-Laender passen nicht zur Karte")
    codes = doc["countries"]
    for code in codes:
        if code not in country_ids:
            raise DataError(f"Unbekanntes Gewaesserland: {code}")
    tables = {}
    for key in ("spans", "marine_spans", "land_spans", "interior_water_spans"):
        if key == "spans" or key in doc:
            tables[key] = _read_spans(doc[key], key, width, height, len(codes))
        else:
            tables[key] = {}
    for row, spans in tables["interior_water_spans"].items():
        for start, end, owner in spans:
            for column in range(start, end):
                if (_lookup(tables["spans"], row, column) != owner
                        or _lookup(tables["marine_spans"], row, column) is not None):
                    raise DataError("Binnenwasser widerspricht der Laenderzuordnung")
    return tables


def check_seas(doc):
    """Checks of the seas and lakes loader; returns the number of areas."""
    if doc.get("schema_version") != 1:
        raise DataError("Unbekanntes Gewaesserschema")
    width, height = doc.get("width", 0), doc.get("height", 0)
    _integer(width, "width")
    _integer(height, "height")
    if not (0 <= width <= 8192 and 0 <= height <= 8192) or width * height > 32_000_000:
        raise DataError("Ungueltige Gewaesserrastergroesse")

    def check_span(span, message):
        if not isinstance(span, list) or len(span) != 3:
            raise DataError(message)
        row, start, count = (_integer(v, message) for v in span)
        if not (0 <= row < height and 0 <= start < width and count >= 1 and start + count <= width):
            raise DataError(message)

    ids = set()
    for i, area in enumerate(doc["areas"]):
        what = f"areas[{i}]"
        aid = _string(area["id"], what)
        if not aid or aid in ids:
            raise DataError(f"{what}: leere oder doppelte id {aid!r}")
        ids.add(aid)
        check_name(area["name"], what)
        _check_polygons(area["polygons"], what, _WATER_MESSAGES)
        if "hex_spans" in area:
            if width == 0 or height == 0:
                raise DataError("Fehlendes Gewaesserraster")
            for span in area["hex_spans"]:
                check_span(span, f"{what}: Ungueltige Seerasterzeile")
        _string(area.get("kind", ""), what)
        if not isinstance(area.get("detail", False), bool):
            raise DataError(f"{what}: detail muss boolesch sein")
    if "water_hex_spans" in doc:
        if width == 0 or height == 0:
            raise DataError("Fehlendes Binnengewaesserraster")
        for span in doc["water_hex_spans"]:
            check_span(span, "Ungueltige Binnengewaesserrasterzeile")
    return len(doc["areas"])


def check_river_names(doc, loaded):
    """Checks of the river-name loader against the loaded map; returns the named edge count."""
    if (doc.get("schema_version") != 1 or doc["width"] != loaded.width
            or doc["height"] != loaded.height):
        raise DataError("Flussnamen passen nicht zur Weltkarte")
    names = doc["names"]
    for i, name in enumerate(names):
        check_name(name, f"names[{i}]")
    seen = set()
    for i, entry in enumerate(doc["edges"]):
        if not isinstance(entry, list) or len(entry) != 5:
            raise DataError(f"edges[{i}]: Ungueltige Flussnamenskante")
        q1, r1, q2, r2, index = (_integer(v, f"edges[{i}]") for v in entry)
        if loaded.edge(q1, r1, q2, r2) is None or not 0 <= index < len(names) or not names[index]:
            raise DataError(f"edges[{i}]: Ungueltige Flussnamenszuordnung")
        a, b = loaded.cell(q1, r1), loaded.cell(q2, r2)
        key = (min(a, b), max(a, b))
        if key in seen:
            raise DataError(f"edges[{i}]: Doppelte Flussnamenszuordnung")
        seen.add(key)
    return len(seen)


# --- cities, urban areas and city parameters ----------------------------------------------

CITY_PARAMETERS = (("population", 0, 10_000_000_000), ("size_class", 1, 4), ("industry", 0, 5),
                   ("infrastructure", 0, 5), ("fortification", 0, 5))


def _is_integer(value):
    return isinstance(value, int) and not isinstance(value, bool)


def _is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


def _city_parameters(obj, what):
    for key, low, high in CITY_PARAMETERS:
        if key in obj and not (_is_integer(obj[key]) and low <= obj[key] <= high):
            raise DataError(f"{what}: Ungueltiger Stadtparameter: {key}")


def _city_object(obj, what, seen, need_tier=True):
    if not isinstance(obj, dict):
        raise DataError(f"{what}: Stadtobjekt erwartet")
    cid = _string(obj.get("id"), f"{what} id")
    if not cid or len(cid.encode("utf-8")) > 64 or cid in seen:
        raise DataError(f"{what}: Leere, zu lange oder doppelte Stadt-ID")
    seen.add(cid)
    name = _string(obj.get("name"), f"{what} name")
    if not 1 <= len(name) <= 80 or not _NAME_RE.match(name):
        raise DataError(f"{what}: Stadtname muss darstellbaren ASCII-Text enthalten")
    lon, lat = obj.get("longitude"), obj.get("latitude")
    if not (_is_number(lon) and _is_number(lat)):
        raise DataError(f"{what}: Stadtkoordinaten muessen Zahlen sein")
    if not (math.isfinite(lon) and math.isfinite(lat) and -180 <= lon <= 180 and -90 <= lat <= 90):
        raise DataError(f"{what}: Ungueltige Stadtkoordinaten")
    if not isinstance(obj.get("capital"), bool):
        raise DataError(f"{what}: capital muss boolesch sein")
    if need_tier and not (_is_integer(obj.get("tier")) and 0 <= obj["tier"] <= 2):
        raise DataError(f"{what}: Ungueltige Stadt-Prioritaet")
    _city_parameters(obj, what)
    return cid


def check_cities(doc):
    """Checks of loadCities on cities.json; returns the ids in file order."""
    version = doc.get("schema_version")
    if not (_is_integer(version) and version == 1):
        raise DataError("Unbekanntes Staedteschema")
    cities = doc.get("cities")
    if not isinstance(cities, list) or len(cities) > 100_000:
        raise DataError("Ungueltige Staedteliste")
    seen = set()
    return [_city_object(c, f"cities[{i}]", seen) for i, c in enumerate(cities)]


def check_urban(doc, terrain=None, city_ids=()):
    """Checks of UrbanAreas::load, plus ours: the raster is the world map's, the fields are
    exactly its City fields, and every centre is a city of cities.json. Returns the
    {cell key: centre} table."""
    if not _is_number(doc.get("schema_version")) or doc["schema_version"] != 1:
        raise DataError("Unbekanntes Stadtgebietsschema")
    width, height = doc.get("width"), doc.get("height")
    if not (_is_integer(width) and _is_integer(height) and 1 <= width <= 8192
            and 1 <= height <= 8192 and width * height <= 32_000_000):
        raise DataError("Ungueltiges Stadtraster")
    seen = set()
    centres = doc.get("cities")
    if not isinstance(centres, list) or len(centres) > 100_000:
        raise DataError("Ungueltige Staedtedaten: Ungueltige Staedteliste")
    ids = [_city_object(c, f"Stadtgebiet {i}", seen, need_tier=False) for i, c in enumerate(centres)]
    fields = {}
    for i, entry in enumerate(doc["fields"]):
        if not (isinstance(entry, list) and len(entry) == 3 and all(map(_is_integer, entry))):
            raise DataError(f"fields[{i}]: Ungueltiges Stadtfeld")
        row, column, centre = entry
        if not (0 <= row < height and 0 <= column < width and -1 <= centre < len(ids)):
            raise DataError(f"fields[{i}]: Ungueltiges Stadtfeld")
        key = row * width + column
        if key in fields:
            raise DataError(f"fields[{i}]: Doppeltes Stadtfeld")
        fields[key] = centre
    if terrain is not None:
        if terrain.shape != (height, width):
            raise DataError("Stadtraster passt nicht zur Weltkarte")
        city = set(np.flatnonzero(terrain.ravel() == TERRAIN_ALPHABET.index("c")).tolist())
        if set(fields) != city:
            raise DataError(f"Stadtfelder weichen von der Weltkarte ab: "
                            f"{len(set(fields) - city)} zu viel, {len(city - set(fields))} fehlen")
    known = set(city_ids)
    if known and any(cid not in known for cid in ids):
        raise DataError("Stadtgebietszentrum ohne Stadt in cities.json")
    return fields


def check_city_parameters(doc, city_ids):
    """Checks of applyCityParameters against the merged city list; returns the entry count."""
    if not _is_number(doc.get("schema_version")) or doc["schema_version"] != 1 \
            or not isinstance(doc.get("cities"), list):
        raise DataError("Ungueltiges Stadtparameterschema")
    known, handled = set(city_ids), set()
    for i, entry in enumerate(doc["cities"]):
        cid = entry.get("id") if isinstance(entry, dict) else None
        if cid not in known or cid in handled:
            raise DataError(f"cities[{i}]: Unbekannte oder doppelte Stadtparameter-ID: {cid}")
        handled.add(cid)
        _city_parameters(entry, f"cities[{i}]")
    return len(handled)


_CITY_DEFAULTS = {"population": 0, "size_class": 1, "industry": 1, "infrastructure": 1,
                  "fortification": 0}
URBAN_CENTRE_TIER = 3


def _city_record(obj, tier):
    record = dict(_CITY_DEFAULTS)
    record.update({k: v for k, v in obj.items() if k != "tier"})
    record["tier"] = tier
    return record


def startup_cities(cities_doc, urban_doc, parameters_doc, world_map=True):
    """The city list start-up builds, with the loaders' checks; returns the merged records.

    A world map starts from cities.json, any other map from no cities. The urban centres are
    merged in by id (a known id takes the centre's record but keeps its tier, a new id is
    appended with tier 3), then city-parameters.json is applied by id to the merged list.
    Every record carries all five parameters, the program's defaults filled in.
    """
    merged = []
    if world_map:
        check_cities(cities_doc)
        merged = [_city_record(c, c["tier"]) for c in cities_doc["cities"]]
    check_urban(urban_doc)
    index = {c["id"]: i for i, c in enumerate(merged)}
    for centre in urban_doc["cities"]:
        i = index.get(centre["id"])
        if i is None:
            index[centre["id"]] = len(merged)
            merged.append(_city_record(centre, URBAN_CENTRE_TIER))
        else:
            merged[i] = _city_record(centre, merged[i]["tier"])
    check_city_parameters(parameters_doc, [c["id"] for c in merged])
    for entry in parameters_doc["cities"]:
        merged[index[entry["id"]]].update((k, v) for k, v in entry.items() if k != "id")
    return merged


# --- army and scenario --------------------------------------------------------------------

TERRAIN_IDS = ("plain", "forest", "hills", "mountain", "city", "water", "farmland", "wetland",
               "desert", "ice", "scrub")


def _unit_number(value, low, high, what):
    if not (_is_integer(value) and low <= value <= high):
        raise DataError(f"{what}: Ungueltiger Einheiten-Zahlenwert")
    return value


def _unit_name(value, what, limit=48):
    _string(value, what)
    if not 1 <= len(value.encode("utf-8")) <= limit or not re.fullmatch(r"[A-Za-z0-9 .\-]+", value):
        raise DataError(f"{what}: Einheitenname muss 1 bis {limit} darstellbare Zeichen enthalten")
    return value


def check_units(doc, grid, terrain_at):
    """Checks of Army::load on a world map; returns [(side, play-grid hex)] per unit.

    ``grid`` is a playgrid.PlayGrid, ``terrain_at(q, r)`` the play grid's terrain value of a
    canonical hex (the shipped world map has no roads, so the terrain alone decides).
    """
    _unit_number(doc.get("schema_version"), 1, 1, "schema_version")
    types = doc.get("types")
    if not isinstance(types, list) or not 1 <= len(types) <= 32:
        raise DataError("Ungueltige Einheitentypen")
    by_id = {}
    for i, t in enumerate(types):
        what = f"types[{i}]"
        tid = _string(t.get("id"), what)
        _unit_name(t.get("name"), what)
        if not tid or tid in by_id:
            raise DataError(f"{what}: Doppelter oder leerer Einheitentyp")
        if t.get("class") not in ("tank", "infantry", "recon"):
            raise DataError(f"{what}: Unbekannte Einheitenklasse")
        _unit_number(t.get("movement"), 1, 20, what)
        _unit_number(t.get("road_cost"), 1, 20, what)
        for key, high in (("attack_soft", 50), ("attack_hard", 50), ("defense", 50), ("range", 8),
                          ("ammo", 100)):
            if key in t:
                _unit_number(t[key], 1, high, what)
        costs = t.get("costs")
        if not isinstance(costs, dict) or any(k not in costs for k in TERRAIN_IDS):
            raise DataError(f"{what}: costs braucht alle elf Gelaendeschluessel")
        for key in TERRAIN_IDS:
            if costs[key] is not None:
                _unit_number(costs[key], 1, 20, what)
        if costs["water"] is not None:
            raise DataError(f"{what}: M2-Bodeneinheiten koennen nicht ueber Wasser fahren")
        by_id[tid] = t
    units = doc.get("world_units")
    if not isinstance(units, list) or len(units) > 256:
        raise DataError("Ungueltige Einheitenliste")
    ids, placed, out = set(), {}, []
    for i, u in enumerate(units):
        what = f"world_units[{i}]"
        uid = _unit_number(u.get("id"), 1, 100_000, what)
        side = _unit_number(u.get("side"), 0, 1, what)
        _unit_name(u.get("name"), what)
        if uid in ids:
            raise DataError(f"{what}: Doppelte Einheiten-ID")
        ids.add(uid)
        t = by_id.get(u.get("type"))
        if t is None:
            raise DataError(f"{what}: Unbekannter Einheitentyp: {u.get('type')}")
        if "strength" in u:
            _unit_number(u["strength"], 1, 10, what)
        if "ammo" in u:
            _unit_number(u["ammo"], 0, t.get("ammo", 8), what)
        lon, lat = u.get("longitude"), u.get("latitude")
        if not (_is_number(lon) and _is_number(lat)):
            raise DataError(f"{what}: Geokoordinaten muessen Zahlen sein")
        if not (math.isfinite(lon) and -180 <= lon <= 180):
            raise DataError(f"{what}: Ungueltige Einheiten-Geokoordinate")
        hex_ = grid.hex_at_geography(lon, lat)
        if t["costs"][TERRAIN_IDS[terrain_at(*hex_)]] is None:
            raise DataError(f"{what}: Einheit auf unzugaenglichem Startfeld")
        if hex_ in placed:
            raise DataError(f"{what}: Mehrere Einheiten auf einem Feld")
        placed[hex_] = side
        out.append((side, hex_))
    return out


def check_battles(doc, grid, terrain_at, units=()):
    """Checks of Battle::load and construction for the world scenario; returns its objectives
    as (name, play-grid hex). ``units`` is what check_units returned."""
    if not (_is_integer(doc.get("schema_version")) and doc["schema_version"] == 1):
        raise DataError("Unbekanntes Szenarioschema")
    world = doc["world"]
    limit, seed, objectives = world.get("round_limit"), world.get("seed"), world.get("objectives")
    if not (_is_integer(limit) and 1 <= limit <= 1000 and _is_integer(seed)
            and 0 <= seed <= 4_294_967_295 and isinstance(objectives, list) and len(objectives) <= 8):
        raise DataError("Ungueltige Szenariowerte")
    if not objectives:
        raise DataError("Ungueltiges Szenario")
    holders = dict((hex_, side) for side, hex_ in units)
    out = []
    for i, o in enumerate(objectives):
        what = f"objectives[{i}]"
        lon, lat = o.get("longitude"), o.get("latitude")
        if not (_is_number(lon) and _is_number(lat)):
            raise DataError(f"{what}: Koordinaten muessen Zahlen sein")
        hex_ = grid.hex_at_geography(lon, lat)
        name = o.get("name")
        if (not isinstance(name, str) or not re.fullmatch(r"[A-Za-z0-9 .\-]{1,28}", name)
                or TERRAIN_IDS[terrain_at(*hex_)] == "water" or hex_ in [h for _, h in out]):
            raise DataError(f"{what}: Ungueltiges Szenarioziel")
        if holders.get(hex_, 1) != 1:
            raise DataError(f"{what}: Startbelegung widerspricht Zielbesitzer")
        out.append((name, hex_))
    return out


# --- images -------------------------------------------------------------------------------


def check_alpha_bmp(data, width, height, what):
    """A BMP that SDL_LoadBMP reads with an alpha mask, of exactly width x height pixels."""
    from .bmp import read_header

    h = read_header(data)
    if (h.width, h.height) != (width, height):
        raise DataError(f"{what}: {h.width} x {h.height} statt {width} x {height}")
    if h.bits != 32 or h.compression != 3 or h.header_size < 108 or h.alpha_mask != 0xFF000000:
        raise DataError(f"{what}: kein 32-Bit-BMP mit Alphamaske")
    return h


def check_flags(ids, data, country_ids):
    """flags.json against the country list and, given its bytes, flags.bmp (the loader's size
    rule: 512 pixels wide, 24 per started row of 16 flags)."""
    if not isinstance(ids, list) or not all(isinstance(i, str) for i in ids):
        raise DataError("flags.json muss eine Liste von Zeichenketten sein")
    if len(set(ids)) != len(ids) or not set(ids) <= set(country_ids):
        raise DataError("flags.json: doppelte oder unbekannte Laender-ID")
    if data is not None:
        check_alpha_bmp(data, 512, 24 * ((len(ids) + 15) // 16), "flags.bmp")
    return len(ids)
