"""Urban areas: City fields shared out among city centres, as the program will anchor them."""

import numpy as np
import pytest

from worldgen import playgrid, urban, validate
from worldgen.playgrid import CITY, WATER

W, H = 24, 12


def centre_of(col, row):
    """Longitude and latitude of a field centre of the 24 x 12 test world."""
    return (col + 0.5 * (row % 2)) * 360 / W - 180, 90 - (row + 0.5) * 180 / H


@pytest.fixture
def world():
    terrain = np.zeros((H, W), dtype=np.uint8)
    terrain[4, 5:10] = CITY  # a town strip shared by two cities
    terrain[8, 15:17] = CITY  # built-up land far from any city
    terrain[2, 23] = terrain[2, 0] = CITY  # a town across the seam
    terrain[10, :] = WATER
    return terrain


def key(col, row):
    return row * W + col


def test_fields_go_to_the_nearest_centre_of_their_cluster(world):
    cities_ = [centre_of(5, 4) + (900,), centre_of(9, 4) + (500,), centre_of(0, 2) + (100,)]
    result = urban.urban_areas(world, cities_)
    assert result.centres == [0, 1, 2]
    owner = result.fields
    assert [owner[key(c, 4)] for c in range(5, 10)] == [0, 0, 0, 1, 1]  # col 7: equally far, the larger city
    assert owner[key(23, 2)] == owner[key(0, 2)] == 2  # one cluster across the seam
    assert owner[key(15, 8)] == owner[key(16, 8)] == -1 and result.unnamed == 2
    assert set(owner) == set(np.flatnonzero(world.ravel() == CITY).tolist())


def test_a_city_left_without_an_anchor_is_no_centre(world):
    # The second city sits two fields east of the strip: every field it reaches is nearer the first.
    cities_ = [centre_of(9, 4) + (1000,), centre_of(11, 4) + (5000,)]
    result = urban.urban_areas(world, cities_)
    assert result.centres == [0]
    assert all(owner in (0, -1) for owner in result.fields.values())


def test_a_city_on_water_reaches_four_fields(world):
    terrain = world.copy()
    terrain[4, 11:14] = WATER
    far = [centre_of(13, 4) + (100,)]  # water, four fields east of the strip's end
    assert urban.urban_areas(terrain, far).centres == [0]
    terrain[4, 13] = 0
    assert urban.urban_areas(terrain, far).centres == []  # on land: out of reach


def test_centres_are_anchored_and_placed_on_separate_play_fields(world):
    cities_ = [centre_of(5, 4) + (900,), centre_of(9, 4) + (500,), centre_of(0, 2) + (100,)]
    result = urban.urban_areas(world, cities_)
    points = [cities_[j][:2] for j in result.centres]
    assert playgrid.city_tile_anchors(world, points, result.fields) == result.anchors
    grid = playgrid.PlayGrid(W, H)
    assert len(playgrid.place_anchored_cities(grid, result.anchors)) == 3


def test_document_passes_the_loader_checks(world):
    records = [{"id": f"c{j}", "name": f"Stadt {j}", "longitude": lon, "latitude": lat,
                "capital": False, "tier": 2, "population": pop, "size_class": 2}
               for j, (lon, lat, pop) in enumerate([centre_of(5, 4) + (900,), centre_of(9, 4) + (500,)])]
    result = urban.urban_areas(world, [(r["longitude"], r["latitude"], r["population"]) for r in records])
    doc = urban.urban_document(records, result, W, H)
    assert "tier" not in doc["cities"][0]
    fields = validate.check_urban(doc, world, ["c0", "c1"])
    assert fields == result.fields


@pytest.mark.parametrize("change,message", [
    (lambda d: d["fields"].append(list(d["fields"][0])), "Doppeltes Stadtfeld"),
    (lambda d: d["fields"].append([0, 0, 0]), "weichen von der Weltkarte ab"),
    (lambda d: d["fields"][0].__setitem__(2, 5), "Ungueltiges Stadtfeld"),
    (lambda d: d.__setitem__("width", 8193), "Ungueltiges Stadtraster"),
    (lambda d: d.__setitem__("schema_version", 2), "Unbekanntes Stadtgebietsschema"),
    (lambda d: d["cities"][0].__setitem__("id", "elsewhere"), "ohne Stadt in cities.json"),
])
def test_urban_checks(world, change, message):
    records = [{"id": "c0", "name": "Stadt", "longitude": centre_of(5, 4)[0],
                "latitude": centre_of(5, 4)[1], "capital": False, "population": 1, "size_class": 1}]
    result = urban.urban_areas(world, [(records[0]["longitude"], records[0]["latitude"], 1)])
    doc = urban.urban_document(records, result, W, H)
    assert validate.check_urban(dict(doc, schema_version=1.0), world, ["c0"])  # 1.0 is accepted
    change(doc)
    with pytest.raises(validate.DataError, match=message):
        validate.check_urban(doc, world, ["c0"])


def test_a_large_city_contains_the_fields_around_it_even_where_a_suburb_is_nearer():
    terrain = np.zeros((2160, 4320), dtype=np.uint8)  # the real grid: fields of about 6 by 9 km
    terrain[501, 2100:2111] = CITY
    row_lat = 90 - 501.5 / 12

    def lon(col):
        return (col + 0.5) / 12 - 180

    big, suburb = (lon(2106), row_lat, 2_400_000), (lon(2103), row_lat, 25_000)
    result = urban.urban_areas(terrain, [big, suburb])
    owner = [result.fields[501 * 4320 + c] for c in range(2100, 2111)]
    # 2104 is one field from the suburb but inside the city's 20 km radius.
    assert owner == [1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
