"""City list (cities.json) from the Natural Earth populated places and a few Austrian towns.

Every place becomes one city: German name in ASCII, national capital from ADM0CAP, population
from POP_MAX, size class from the population, display tier from capital status and rank, and an
id made of the country code and the name, unique and stable from build to build.

>>> size_class(999_999), size_class(1_000_000)
(3, 4)
>>> city_id("AUT", "St. Poelten")
'aut-st-poelten'
"""

import re

from .names import ascii_name

__all__ = [
    "SUPPLEMENT",
    "TIER0_POPULATION",
    "TIER1_POPULATION",
    "TIER1_SCALERANK",
    "size_class",
    "tier_of",
    "city_id",
    "german_name",
    "place_record",
    "city_records",
    "CITY_KEYS",
    "PARAMETER_DEFAULTS",
    "city_object",
    "cities_document",
]

# Tier 0: national capitals and the largest world cities; tier 1: cities of a million or more
# and the places Natural Earth ranks highest (scalerank 0-3); tier 2: all others.
TIER0_POPULATION = 5_000_000
TIER1_POPULATION = 1_000_000
TIER1_SCALERANK = 3
MAX_ID = 64

# Austrian towns that the 1:10m places layer leaves out but the operation around Wien needs
# (objectives, the Donau towns) and the larger towns of the country: name, longitude, latitude,
# population (Statistik Austria, 1 January 2023, rounded to hundreds).
SUPPLEMENT = (
    ("St. Poelten", 15.6256, 48.2047, 56_100),
    ("Krems an der Donau", 15.6142, 48.4092, 25_100),
    ("Tulln an der Donau", 16.0580, 48.3320, 16_800),
    ("Melk", 15.3439, 48.2269, 5_600),
    ("Ybbs an der Donau", 15.0833, 48.1667, 5_700),
    ("Amstetten", 14.8721, 48.1229, 23_900),
    ("Klosterneuburg", 16.3253, 48.3053, 27_600),
    ("Stockerau", 16.2108, 48.3858, 17_000),
    ("Korneuburg", 16.3331, 48.3453, 13_600),
    ("Schwechat", 16.4786, 48.1411, 21_000),
    ("Moedling", 16.2831, 48.0856, 20_900),
    ("Baden", 16.2344, 48.0075, 26_000),
    ("Bruck an der Leitha", 16.7794, 48.0256, 8_300),
    ("Hainburg an der Donau", 16.9419, 48.1469, 6_900),
    ("Gaenserndorf", 16.7203, 48.3392, 12_000),
    ("Mistelbach", 16.5767, 48.5700, 12_000),
    ("Hollabrunn", 16.0792, 48.5628, 12_200),
    ("Horn", 15.6564, 48.6628, 6_500),
    ("Zwettl", 15.1689, 48.6033, 10_800),
    ("Neunkirchen", 16.0817, 47.7269, 12_900),
    ("Enns", 14.4753, 48.2131, 12_300),
    ("Steyr", 14.4214, 48.0389, 38_000),
    ("Wels", 14.0289, 48.1575, 63_000),
    ("Traun", 14.2397, 48.2217, 25_000),
    ("Leonding", 14.2528, 48.2792, 29_000),
    ("Leoben", 15.0972, 47.3817, 25_000),
    ("Villach", 13.8558, 46.6103, 65_000),
    ("Dornbirn", 9.7417, 47.4125, 51_000),
    ("Feldkirch", 9.5981, 47.2378, 35_000),
)


def size_class(population):
    """1 below 20,000, 2 below 100,000, 3 below a million, 4 from a million on."""
    if population < 20_000:
        return 1
    if population < 100_000:
        return 2
    if population < 1_000_000:
        return 3
    return 4


def tier_of(capital, population, scalerank):
    """Display tier: 0 shows first when zooming in, 2 last."""
    if capital or population >= TIER0_POPULATION:
        return 0
    if population >= TIER1_POPULATION or (scalerank is not None and scalerank <= TIER1_SCALERANK):
        return 1
    return 2


def city_id(country, name):
    """Lower-case country code and name joined by hyphens: 'aut-wien'."""
    slug = re.sub(r"[^a-z0-9]+", "-", name.lower()).strip("-")
    return f"{(country or 'xxx').lower()}-{slug}"[:MAX_ID].rstrip("-")


# Some German names are the titles of encyclopaedia articles: "Praefektur Tokio", "Boaco (Stadt)".
_ADMIN_PREFIX = re.compile(r"^(Präfektur|Bezirk|Distrikt|Provinz|Gouvernement)\s+")
_QUALIFIER = re.compile(r"\s*\([^)]*\)\s*$")


def german_name(props):
    """ASCII display name: the German name without qualifiers, else the local name."""
    german = _QUALIFIER.sub("", _ADMIN_PREFIX.sub("", props.get("NAME_DE") or ""))
    return (ascii_name(german) or ascii_name(props.get("NAME"))
            or ascii_name(props.get("NAMEASCII")))


def place_record(props):
    """City fields of one populated-places feature, before ids are made unique."""
    name = german_name(props)
    population = max(int(props.get("POP_MAX") or 0), 0)
    capital = int(props.get("ADM0CAP") or 0) == 1
    return {
        "country": props.get("ADM0_A3") or "",
        "sovereign": props.get("SOV_A3"),
        "iso": props.get("ISO_A2"),
        "name": name,
        "longitude": round(float(props["LONGITUDE"]), 4),
        "latitude": round(float(props["LATITUDE"]), 4),
        "capital": capital,
        "tier": tier_of(capital, population, props.get("SCALERANK")),
        "population": population,
        "size_class": size_class(population),
    }


def city_records(features, supplement=SUPPLEMENT):
    """All cities in display order (tier, then population, largest first), with unique ids.

    ``features`` are the populated-places features; ``supplement`` adds (name, longitude,
    latitude, population) towns of Austria. Places without any usable name are left out.
    The list order is the program's drawing and labelling priority.
    """
    records = [place_record(f["properties"]) for f in features]
    for name, lon, lat, population in supplement:
        records.append({"country": "AUT", "name": name, "longitude": lon, "latitude": lat,
                        "capital": False, "tier": tier_of(False, population, None),
                        "population": population, "size_class": size_class(population)})
    records = [r for r in records if r["name"]]
    records.sort(key=lambda r: (r["tier"], -r["population"], r["name"], r["longitude"], r["latitude"]))
    seen = set()
    for record in records:
        base = city_id(record["country"], record["name"])
        cid, n = base, 1
        while cid in seen:
            n += 1
            cid = f"{base[:MAX_ID - 4]}-{n}"
        seen.add(cid)
        record["id"] = cid
    return records


CITY_KEYS = ("id", "name", "longitude", "latitude", "capital", "tier", "population", "size_class")
# The program's values for a city object without these keys.
PARAMETER_DEFAULTS = {"industry": 1, "infrastructure": 1, "fortification": 0}


def city_object(record, keys=CITY_KEYS):
    """One city object: ``keys`` and every parameter that differs from the program's default.

    A city carries its own parameters in cities.json and, when it is an urban centre, in
    urban.json too: a centre replaces the cities.json record at start-up, and with an
    operational map (--map) the centres are the whole city list.
    """
    obj = {k: record[k] for k in keys}
    obj.update((k, record[k]) for k, default in PARAMETER_DEFAULTS.items()
               if record.get(k, default) != default)
    return obj


def cities_document(records):
    """cities.json: schema 1 and the city objects in list order."""
    return {"schema_version": 1, "cities": [city_object(r) for r in records]}
