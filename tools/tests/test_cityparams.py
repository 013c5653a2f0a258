"""City parameters follow the documented rule and leave out what the defaults already say."""

import pytest

from worldgen import cityparams, validate

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


def test_document_omits_default_cities_and_passes_the_loader_checks():
    cities_ = [city(50_000, cid="a"), city(5_000, cid="b")]
    lookup = cityparams.country_lookup([])
    doc = cityparams.parameters_document(cities_, lookup)
    assert [e["id"] for e in doc["cities"]] == ["b"]  # a gets 1/1/0, the program's defaults
    assert validate.check_city_parameters(doc, ["a", "b"]) == 1
    with pytest.raises(validate.DataError, match="Unbekannte oder doppelte Stadtparameter-ID: b"):
        validate.check_city_parameters(doc, ["a"])
    doc["cities"].append({"id": "a", "industry": 6})
    with pytest.raises(validate.DataError, match="Ungueltiger Stadtparameter: industry"):
        validate.check_city_parameters(doc, ["a", "b"])
