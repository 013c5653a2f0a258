"""City parameters follow the documented rule and leave out what the defaults already say."""

import pytest

from worldgen import cities, cityparams, urban, validate

OECD = ("1. Developed region: G7", "1. High income: OECD")
POOR = ("7. Least developed region", "5. Low income")


def city(pop, capital=False, cid="x-stadt"):
    return {"id": cid, "population": pop, "capital": capital, "country": "XXX"}


@pytest.mark.parametrize("pop,groups,capital,expected", [
    (19_999, OECD, False, (1, 2, 0)),
    (20_000, OECD, False, (2, 3, 0)),
    (2_000_000, OECD, True, (4, 5, 1)),  # infrastructure 3 + 2 + 1 is capped at 5
    (8_000_000, OECD, False, (5, 5, 0)),
    (5_000, POOR, False, (0, 0, 0)),  # never below 0
    (500_000, POOR, True, (1, 2, 1)),
    (500_000, (None, None), False, (2, 2, 0)),  # unknown groups add nothing
])
def test_rule(pop, groups, capital, expected):
    values = cityparams.city_parameters(city(pop, capital), groups)
    assert (values["industry"], values["infrastructure"], values["fortification"]) == expected


def test_fortress_cities_take_their_curated_value():
    assert cityparams.city_parameters(city(400_000, cid="mlt-valletta"), OECD)["fortification"] == 5
    assert cityparams.city_parameters(city(2_400_000, True, "aut-wien"), OECD)["fortification"] == 3
    assert all(2 <= v <= 5 for v in cityparams.FORTRESSES.values())


def test_country_lookup_falls_back_to_sovereign_and_iso_code():
    features = [{"properties": {"ADM0_A3": "SDS", "ISO_A2": "SS", "ECONOMY": "7. x", "INCOME_GRP": "5. y"}},
                {"properties": {"ADM0_A3": "NOR", "ISO_A2": "-99", "ISO_A2_EH": "NO",
                                "ECONOMY": "2. x", "INCOME_GRP": "1. y"}}]
    lookup = cityparams.country_lookup(features)
    assert lookup("SSD", "SSD", "SS") == ("7. x", "5. y")  # the places layer's older code
    assert lookup("SJM", "NOR", "SJ") == ("2. x", "1. y")  # Svalbard: its sovereign
    assert lookup("NOR") == ("2. x", "1. y")
    assert lookup("ZZZ") == (None, None)


def test_cities_carry_their_own_values_into_every_start_up_mode():
    """Each city's values reach the merged list both on a world map and on an operational map,
    where the urban centres alone are the city list; the override file names nobody."""
    def record(cid, pop, capital=False):
        return {"id": cid, "name": cid.title(), "longitude": 16.0, "latitude": 48.0,
                "capital": capital, "tier": 2, "population": pop, "size_class": 2, "country": "XXX"}

    records = [record("mlt-valletta", 6_000), record("dorf", 5_000), record("stadt", 50_000)]
    cityparams.add_parameters(records, lambda *codes: (None, None))
    cities_doc = cities.cities_document(records)
    centres = urban.UrbanResult([0, 2], {0: 0, 1: 1}, [(0, 0), (1, 0)], 2, 0)
    urban_doc = urban.urban_document(records, centres, 8, 4)
    overrides = cityparams.overrides_document()
    assert "industry" not in cities_doc["cities"][2]  # the defaults 1/1/0 are left out
    values = lambda c: (c["industry"], c["infrastructure"], c["fortification"])  # noqa: E731
    world = validate.startup_cities(cities_doc, urban_doc, overrides, world_map=True)
    assert [values(c) for c in world] == [(0, 0, 5), (0, 0, 0), (1, 1, 0)]
    assert [c["tier"] for c in world] == [2, 2, 2]  # centres keep their cities.json tier
    operational = validate.startup_cities(cities_doc, urban_doc, overrides, world_map=False)
    assert [(c["id"], c["tier"], values(c)) for c in operational] == [
        ("mlt-valletta", 3, (0, 0, 5)), ("stadt", 3, (1, 1, 0))]
    # An override for a city that is no urban centre only works on a world map.
    overrides["cities"].append({"id": "dorf", "fortification": 2})
    assert values(validate.startup_cities(cities_doc, urban_doc, overrides)[1]) == (0, 0, 2)
    with pytest.raises(validate.DataError, match="Unbekannte oder doppelte Stadtparameter-ID: dorf"):
        validate.startup_cities(cities_doc, urban_doc, overrides, world_map=False)
    overrides["cities"].append({"id": "stadt", "industry": 6})
    with pytest.raises(validate.DataError, match="Ungueltiger Stadtparameter: industry"):
        validate.startup_cities(cities_doc, urban_doc, overrides)
