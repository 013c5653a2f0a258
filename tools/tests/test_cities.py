"""City list: German ASCII names, tiers, size classes and stable unique ids."""

import pytest

from worldgen import cities, validate


def place(name, name_de=None, pop=50_000, capital=0, scalerank=7, country="AUT", lon=16.0, lat=48.0):
    return {"properties": {"NAME": name, "NAME_DE": name_de, "NAMEASCII": name, "POP_MAX": pop,
                           "ADM0CAP": capital, "SCALERANK": scalerank, "ADM0_A3": country,
                           "SOV_A3": country, "ISO_A2": "AT", "LONGITUDE": lon, "LATITUDE": lat}}


@pytest.mark.parametrize("name_de,name,expected", [
    ("Wien", "Vienna", "Wien"),
    ("München", "Munich", "Muenchen"),
    ("Präfektur Tokio", "Tokyo", "Tokio"),
    ("Boaco (Stadt)", "Boaco", "Boaco"),
    ("Distrikt Jaén", "Jaén", "Jaen"),
    (None, "Bắc Kạn", "Bac Kan"),
    ("", "'s-Hertogenbosch", "s-Hertogenbosch"),
])
def test_names_are_german_and_plain_ascii(name_de, name, expected):
    record = cities.place_record(place(name, name_de)["properties"])
    assert record["name"] == expected
    validate.check_name(record["name"], "name")


@pytest.mark.parametrize("capital,pop,scalerank,tier", [
    (1, 20_000, 9, 0),  # every national capital
    (0, 5_000_000, 5, 0),  # the largest world cities
    (0, 4_999_999, 5, 1),
    (0, 1_000_000, 8, 1),
    (0, 300_000, 3, 1),  # ranked high by the source
    (0, 999_999, 4, 2),
])
def test_tiers(capital, pop, scalerank, tier):
    assert cities.tier_of(capital, pop, scalerank) == tier


@pytest.mark.parametrize("pop,size", [(0, 1), (19_999, 1), (20_000, 2), (99_999, 2), (100_000, 3),
                                      (999_999, 3), (1_000_000, 4)])
def test_size_class_follows_the_marker_styles(pop, size):
    assert cities.size_class(pop) == size


def test_list_order_ids_and_fallbacks():
    features = [
        place("Springfield", pop=100_000, country="USA", lon=-89.6),
        place("Vienna", "Wien", pop=2_400_000, capital=1, scalerank=1),
        place("Springfield", pop=150_000, country="USA", lon=-72.5),
        place("Nowhere", None, pop=-99),
        {"properties": dict(place("x")["properties"], NAME="", NAME_DE="", NAMEASCII="")},
    ]
    records = cities.city_records(features, supplement=(("St. Poelten", 15.6256, 48.2047, 56_100),))
    ids = [r["id"] for r in records]
    # Tier first, then the larger population; same country and name get a number.
    assert ids[0] == "aut-wien"
    assert ids[1:3] == ["usa-springfield", "usa-springfield-2"]
    assert records[1]["longitude"] == -72.5
    assert "aut-st-poelten" in ids and len(records) == 5  # the nameless place is left out
    assert [r for r in records if r["name"] == "Nowhere"][0]["population"] == 0
    assert records == cities.city_records(features, supplement=(("St. Poelten", 15.6256, 48.2047,
                                                                  56_100),))


def test_ids_are_cut_to_64_bytes_and_stay_unique():
    long_name = "A" * 90
    records = cities.city_records([place(long_name), place(long_name, lon=10.0)], supplement=())
    ids = [r["id"] for r in records]
    assert len(set(ids)) == 2 and all(len(i) <= 64 for i in ids)


def test_the_document_passes_the_loader_checks():
    records = cities.city_records([place("Vienna", "Wien", 2_400_000, 1)])
    doc = cities.cities_document(records)
    assert validate.check_cities(doc) == [r["id"] for r in records]
    assert set(doc["cities"][0]) == set(cities.CITY_KEYS)  # no pipeline-only keys leak out
    records[0].update(industry=4, infrastructure=1, fortification=3)
    assert cities.cities_document(records)["cities"][0].keys() == set(cities.CITY_KEYS) | {"industry",
                                                                                             "fortification"}
