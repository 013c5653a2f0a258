"""City parameters: industry, infrastructure and fortification of every city by rule.

The values are written into each city's own object (cities.json and, for an urban centre,
urban.json). city-parameters.json is applied by id to the city list of whatever map the program
starts on, and with an operational map (--map) that list holds only the urban centres, so an id
of cities.json alone would stop start-up there; the file therefore carries no overrides.

The rule reads only open attributes: the city's population and, from the Natural Earth
countries layer, its country's economy group (ECONOMY) and income group (INCOME_GRP); a short
curated list of historic fortress cities sets their fortification.

* size step: 0 below 20,000 people, 1 below 100,000, 2 below a million, 3 below five
  million, 4 from five million;
* industry = size step + 1 for developed economies (G7 and others) and the BRIC states,
  - 1 for the least developed, else + 0; limited to 0..5;
* infrastructure = size step + 2 for high-income OECD members, + 1 for other high and
  upper-middle incomes, - 1 for low incomes, + 1 for a national capital; limited to 0..5;
* fortification = the curated value, else 1 for a national capital, else 0.

>>> city_parameters({"population": 2_400_000, "capital": True, "id": "aut-wien"},
...                 ("2. Developed region: nonG7", "1. High income: OECD"))
{'industry': 4, 'infrastructure': 5, 'fortification': 3}
"""

from .cities import PARAMETER_DEFAULTS

__all__ = ["PARAMETER_KEYS", "FORTRESSES", "ECONOMY_BONUS", "INCOME_BONUS", "size_step", "country_lookup",
           "city_parameters", "add_parameters", "overrides_document"]

# Historic fortress cities: the programme's fortification 2..5 (5: fortress that dominated a
# strait or a capital's defence for centuries). Ids are those of cities.json.
FORTRESSES = {
    "mlt-valletta": 5,  # bastions of the Knights of St. John
    "gib-gibraltar": 5,  # rock fortress at the strait
    "rus-sewastopol": 4,  # naval fortress, sieges of 1854-55 and 1941-42
    "fra-metz": 4,  # Vauban and the ring of forts
    "lux-luxemburg": 4,  # "Gibraltar of the North"
    "srb-belgrad": 4,  # Kalemegdan at the Save and the Donau
    "bel-antwerpen": 4,  # national redoubt
    "deu-koblenz": 4,  # Ehrenbreitstein and the Prussian system of forts
    "can-quebec": 4,  # citadel
    "col-cartagena": 4,  # Spanish colonial walls and forts
    "tur-istanbul": 4,  # Theodosian land walls
    "blr-brest": 4,  # Brest-Litowsk fortress
    "aut-wien": 3,  # bastion ring of the sieges of 1529 and 1683
    "rus-kaliningrad": 3,  # Koenigsberg fortress
    "deu-ingolstadt": 3,  # Bavarian state fortress
    "deu-ulm": 3,  # federal fortress
    "deu-mainz": 3,  # federal fortress
    "deu-magdeburg": 3,  # Prussian fortress on the Elbe
    "cze-olmuetz": 3,  # Habsburg fortress
    "hun-eger": 3,  # castle of the siege of 1552
    "hrv-osijek": 3,  # Tvrda
    "hrv-dubrovnik": 3,  # city walls
    "rou-karlsburg": 3,  # Alba Carolina citadel
    "bgr-schumen": 3,  # fortress of the Ottoman quadrilateral
    "bgr-russe": 3,  # fortress of the Ottoman quadrilateral on the Donau
    "ita-verona": 3,  # Quadrilatero
    "fra-lille": 3,  # Vauban citadel
    "fra-besancon": 3,  # Vauban citadel
    "fra-strassburg": 3,  # Vauban and the German ring of forts
    "esp-badajoz": 3,  # border fortress
    "est-narva": 3,  # Hermannsfeste and Iwangorod
    "rus-wyborg": 3,  # castle and fortress
    "tur-kars": 3,  # citadel
    "tur-erzurum": 3,  # fortress of eastern Anatolia
    "cub-havanna": 3,  # Morro and La Cabana
    "isr-jerusalem": 3,  # Old City walls
    "chn-xian": 3,  # Ming city wall
    "chn-nanjing": 3,  # Ming city wall
}

PARAMETER_KEYS = tuple(PARAMETER_DEFAULTS)
ECONOMY_BONUS = {"1": 1, "2": 1, "3": 1, "4": 0, "5": 0, "6": 0, "7": -1}
INCOME_BONUS = {"1": 2, "2": 1, "3": 1, "4": 0, "5": -1}


def size_step(population):
    """0 below 20,000, 1 below 100,000, 2 below a million, 3 below five million, else 4."""
    for step, limit in enumerate((20_000, 100_000, 1_000_000, 5_000_000)):
        if population < limit:
            return step
    return 4


def _group(text):
    """Leading number of a Natural Earth group text ("2. Developed region: nonG7" -> "2")."""
    return str(text or "").split(".", 1)[0].strip()


def country_lookup(country_features):
    """Function (ADM0_A3, SOV_A3, ISO_A2) -> (economy, income) of the countries layer.

    The places layer is older than the countries layer; a code it uses that the countries
    layer no longer has is matched by sovereign, then by ISO code (South Sudan: SSD, SS).
    """
    by_a3, by_iso = {}, {}
    for feature in country_features:
        p = feature["properties"]
        groups = (p.get("ECONOMY"), p.get("INCOME_GRP"))
        by_a3.setdefault(p.get("ADM0_A3"), groups)
        iso = p.get("ISO_A2_EH") if p.get("ISO_A2") in (None, "-99") else p.get("ISO_A2")
        if iso and iso != "-99":
            by_iso.setdefault(iso, groups)

    def lookup(a3, sovereign=None, iso=None):
        return by_a3.get(a3) or by_a3.get(sovereign) or by_iso.get(iso) or (None, None)

    return lookup


def city_parameters(city, groups):
    """Industry, infrastructure and fortification of a city record by the rule above."""
    economy, income = groups
    step = size_step(city["population"])
    capital = bool(city["capital"])
    industry = step + ECONOMY_BONUS.get(_group(economy), 0)
    infrastructure = step + INCOME_BONUS.get(_group(income), 0) + (1 if capital else 0)
    fortification = FORTRESSES.get(city["id"], 1 if capital else 0)
    return {"industry": min(max(industry, 0), 5),
            "infrastructure": min(max(infrastructure, 0), 5),
            "fortification": fortification}


def add_parameters(cities, lookup):
    """Sets "industry", "infrastructure" and "fortification" on every city record.

    ``lookup`` is a country_lookup function; each city record carries "country" and may carry
    "sovereign" and "iso" codes.
    """
    for city in cities:
        city.update(city_parameters(city, lookup(city.get("country"), city.get("sovereign"),
                                                 city.get("iso"))))
    return cities


def overrides_document():
    """city-parameters.json: no overrides (each city file carries its cities' own values)."""
    return {"schema_version": 1, "cities": []}
