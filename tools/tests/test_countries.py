"""Country records: statuses, names, sovereigns and field-exact simplification."""

import numpy as np
import pytest
from conftest import square

from worldgen import countries, raster


def wiggly_ring(n=400, seed=3):
    """A closed, star-shaped ring with a noisy boundary around (10 E, 45 N)."""
    rng = np.random.default_rng(seed)
    angle = np.linspace(0, 2 * np.pi, n, endpoint=False)
    radius = 2.0 + 0.3 * np.sin(7 * angle) + rng.normal(0, 0.02, n)
    ring = np.c_[10 + radius * np.cos(angle), 45 + radius * np.sin(angle)]
    return np.vstack([ring, ring[:1]])


@pytest.mark.parametrize("width,height", [(4320, 2160), (360, 180)])
def test_simplified_ring_claims_exactly_the_same_fields(width, height):
    ring = wiggly_ring()
    hole = square(9.5, 44.5, 10.5, 45.5)
    simple = countries.simplify_polygon([ring, hole], width, height)
    before = raster.country_pass([[[ring, hole]]], width, height)
    after = raster.country_pass([[simple]], width, height)
    assert (before == after).all()
    assert len(simple[0]) < len(ring)
    assert all(len(r) >= 4 and np.array_equal(r[0], r[-1]) for r in simple)


def test_tiny_ring_keeps_three_corners():
    ring = square(10.001, 45.001, 10.002, 45.002)
    simple = countries.simplify_ring(ring, 4320, 2160)
    assert len(simple) >= 4 and len({tuple(p) for p in simple}) >= 3


def test_simplified_boundary_stays_within_the_cap():
    ring = wiggly_ring(2000)
    simple = countries.simplify_ring(ring, 360, 180)  # few centres: the cap governs
    a, b = simple[:-1][None], simple[1:][None]
    p = ring[:, None]
    t = np.clip(((p - a) * (b - a)).sum(-1) / ((b - a) ** 2).sum(-1), 0, 1)
    dist = np.hypot(*(a + (b - a) * t[..., None] - p).transpose(2, 0, 1)).min(axis=1)
    assert dist.max() <= countries.CAP + 1e-3
    assert len(simple) < len(ring) / 5


def test_field_centres_in_a_box():
    lon, lat = countries.field_centres(-1.0, 1.0, 0.0, 1.0, 360, 180)
    # Row 89 (latitude 0.5) is odd: centres at -0.5 and 0.5.
    assert sorted(lon.tolist()) == [-0.5, 0.5] and set(lat.tolist()) == {0.5}


def test_inside_uses_the_half_open_crossing_rule():
    ring = square(0, 0, 2, 2)
    got = countries.inside(np.array([0.0, 1.0, 2.0, 1.0]), np.array([1.0, 1.0, 1.0, 2.0]), ring)
    assert got.tolist() == [True, True, False, False]


@pytest.mark.parametrize("kind,status", [
    ("Sovereign country", "country"), ("Country", "country"), ("Sovereignty", "country"),
    ("Dependency", "dependent"), ("Lease", "dependent"), ("Disputed", "disputed"),
    ("Indeterminate", "disputed"), ("Something new", "country"),
])
def test_country_status(kind, status):
    assert countries.country_status(kind) == status


def test_area_status():
    assert countries.area_status("Admin-0 claim area") == "claim"
    assert countries.area_status("Admin-0 lease") == "special"
    assert countries.area_status("Admin-0 breakaway and disputed") == "disputed"


def feature(adm, sov, sovereignt, admin, kind="Country", name_de=None):
    return {"properties": {"ADM0_A3": adm, "SOV_A3": sov, "SOVEREIGNT": sovereignt, "ADMIN": admin,
                           "TYPE": kind, "NAME_DE": name_de, "NAME": admin}}


def test_country_records_map_sovereign_codes_to_country_ids():
    feats = [feature("FRA", "FR1", "France", "France", name_de="Frankreich"),
             feature("PYF", "FR1", "France", "French Polynesia", "Dependency",
                     "Französisch-Polynesien"),
             feature("AUT", "AUT", "Austria", "Austria", "Sovereign country", "Österreich")]
    polys = [[[square(0, 0, 1, 1)]]] * 3
    records, shapes = countries.country_records(feats, polys, 360, 180)
    assert [(r["id"], r["name"], r["status"], r["sovereign_id"]) for r in records] == [
        ("FRA", "Frankreich", "country", "FRA"),
        ("PYF", "Franzoesisch-Polynesien", "dependent", "FRA"),
        ("AUT", "Oesterreich", "country", "AUT")]
    assert len(shapes) == 3


def test_disputed_names_reject_a_doubtful_join():
    def area(brk, name, en, de):
        return {"properties": {"BRK_NAME": brk, "NAME": name, "NAME_EN": en, "NAME_DE": de}}

    features = [
        area("Kashmir", "India", "Kashmir", "Kaschmir"),
        area("Northern Areas", "Pakistan", "Gilgit-Baltistan", "Gilgit-Baltistan"),  # renamed, unique
        area("Spratly Is.", "Spratly Is.", "Wake Island", "Wake"),  # code reassigned
        area("Wake Atoll", "Wake Atoll", "Wake Island", "Wake"),
        area("Donbass", "Ukraine", None, None),
    ]
    assert countries.disputed_names(features) == [
        "Kaschmir", "Gilgit-Baltistan", "Spratly Is.", "Wake", "Donbass"]
