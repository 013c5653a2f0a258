// What the information panel names under the pointer, on the shipped world.
#include "shell/client.hpp"
#include "error_of.hpp"
#include "headless_renderer.hpp"
#include "kit/palette.hpp"
#include "shell/startup.hpp"
#include "view_state/hover_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace korvan {
namespace {

class ShippedHover : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        renderer = std::make_unique<testing::HeadlessRenderer>(1280, 850);
        const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
        client = createClient(renderer->get(), WorldSources{data, {}, false}).release();
    }
    static void TearDownTestSuite() {
        delete client;
        client = nullptr;
        renderer.reset();
    }

    // The world point of a geographic position, on the stored world copy.
    static Point worldOf(Point lonLat) {
        const Map& m = client->world.map;
        return {(lonLat.x + 180) / 360 * m.width() * sqrt3, ((90 - lonLat.y) * m.height() / 180 - 0.5) * 1.5};
    }

    // Centres the view on a place at the given scale and puts the pointer on it.
    static Client& pointAt(Point lonLat, double scale, Point offset = {0, 0}) {
        client->focusGeography(lonLat, scale);
        client->view.mouse = client->view.camera.toScreen(worldOf(lonLat)) + offset;
        client->updateHover();
        return *client;
    }

    // Searches the pointer positions around a place (a square of +-radius pixels) for one that
    // satisfies found(client).
    template <typename Found>
    static bool searchAround(Point lonLat, double scale, int radius, Found&& found) {
        for (int dy = -radius; dy <= radius; dy += 2) {
            for (int dx = -radius; dx <= radius; dx += 2) {
                if (found(pointAt(lonLat, scale, {double(dx), double(dy)}))) {
                    return true;
                }
            }
        }
        return false;
    }

    static std::string countryId(const std::optional<std::size_t>& index) {
        return index ? client->world.countries.entries.at(*index).id : "";
    }

    static inline std::unique_ptr<testing::HeadlessRenderer> renderer;
    static inline Client* client = nullptr;
};

const Point wien{16.3738, 48.2082};
const Point bodensee{9.35, 47.6};
const Point sognefjord{5.5, 61.11};
const Point karlsbruecke{14.4114, 50.0865};
const Point atlantic{-35.0, 40.0};

TEST_F(ShippedHover, CountriesCitiesAndTheirPanels) {
    Client& c = pointAt({14.5, 47.3}, 4); // Steiermark
    EXPECT_EQ(countryId(c.view.hover.country), "AUT");
    HoverPanelText panel = hoverPanelText(c.world, c.view);
    EXPECT_TRUE(panel.countryOnly);
    EXPECT_EQ(panel.heading, "LAND UNTER MAUS");
    EXPECT_EQ(countrySelectionLabel(c.world, c.view),
              "LAND: " + c.world.countries.entries[*c.view.hover.country].name.substr(0, 26));

    // A world copy east of the seam names the same country.
    c.view.camera.x -= c.world.map.width() * sqrt3 * c.view.camera.scale * c.view.camera.horizontalScale;
    c.view.mouse = c.view.camera.toScreen(worldOf({14.5, 47.3}) + Point{c.world.map.width() * sqrt3, 0});
    c.updateHover();
    EXPECT_EQ(countryId(c.view.hover.country), "AUT");

    ASSERT_TRUE(searchAround(wien, 4, 8, [](const Client& k) { return k.view.hover.city.has_value(); }));
    panel = hoverPanelText(c.world, c.view);
    EXPECT_EQ(panel.heading, "STADT UNTER MAUS");
    EXPECT_FALSE(panel.countryOnly);
    EXPECT_EQ(countryId(c.view.hover.country), "AUT");
}

TEST_F(ShippedHover, WatersByTheirKind) {
    Client& c = pointAt(bodensee, 8);
    EXPECT_EQ(c.view.hover.lake.value_or(""), "Bodensee");
    EXPECT_EQ(waterHoverHeading(c.world, c.view.hover), "SEE UNTER MAUS");
    EXPECT_EQ(waterFieldName(c.world, c.view.hover), "SEE"); // the field line agrees with the panel
    EXPECT_FALSE(c.view.hover.river); // a lake hides the river running through it

    ASSERT_TRUE(searchAround(sognefjord, 8, 40, [](const Client& k) { return k.view.hover.sea.has_value(); }));
    EXPECT_EQ(waterHoverHeading(c.world, c.view.hover), "FJORD UNTER MAUS");
    EXPECT_NE(upper(*c.view.hover.sea).find("SOGNEFJORD"), std::string::npos);
    EXPECT_TRUE(c.view.hover.nationalWater);
    EXPECT_EQ(countryId(c.view.hover.country), "NOR");

    ASSERT_TRUE(searchAround({-57.0, -34.8}, 4, 40, [](const Client& k) { return k.view.hover.lake.has_value(); }));
    EXPECT_EQ(*c.view.hover.lake, "Rio de la Plata");
    EXPECT_EQ(waterHoverHeading(c.world, c.view.hover), "FLUSSARM UNTER MAUS");

    pointAt(atlantic, 4);
    EXPECT_FALSE(c.view.hover.country);
    EXPECT_TRUE(c.view.hover.sea);
    EXPECT_EQ(waterHoverHeading(c.world, c.view.hover), "MEER UNTER MAUS");
}

// An urban field of no city of its own is named after the largest city of its area: around Wien, Wien.
TEST_F(ShippedHover, UrbanFieldsAreNamedAfterTheirLargestCity) {
    const World& world = client->world;
    const Map& game = world.gameMap();
    const auto wienField = std::find_if(world.cityFields.begin(), world.cityFields.end(),
                                   [&](const auto& entry) { return world.cities[entry.second].name == "Wien"; });
    ASSERT_NE(wienField, world.cityFields.end());
    const Hex centre = game.hexAt(wienField->first % game.width(), wienField->first / game.width());
    std::optional<Hex> unnamed;
    for (const Hex step : neighbourSteps) {
        const Hex h{centre.q + step.q, centre.r + step.r};
        if (game.terrainAt(h) == Terrain::City && !world.cityFields.contains(h.r * game.width() + game.column(h))) {
            unnamed = h;
        }
    }
    ASSERT_TRUE(unnamed) << "Wien's field has an unnamed urban neighbour";
    EXPECT_EQ(urbanAreaName(world, *unnamed), "Wien");
}

TEST_F(ShippedHover, RiversAndBridgesFromScaleTwo) {
    const Point donau{16.45, 48.19};
    ASSERT_TRUE(searchAround(donau, 12, 40, [](const Client& k) { return k.view.hover.river == "Donau"; }));
    const HoverPanelText panel = hoverPanelText(client->world, client->view);
    EXPECT_EQ(panel.heading, "FLUSS UNTER MAUS");
    EXPECT_EQ(panel.name, std::vector<std::string>{"Donau"});
    // The same pointer below scale 2 names no river.
    EXPECT_FALSE(
        searchAround(donau, 1.5, 40, [](const Client& k) { return k.view.hover.river || k.view.hover.bridge; }));

    ASSERT_TRUE(searchAround(karlsbruecke, 18, 40, [](const Client& k) {
        const auto lines = bridgeHoverLines(k.world, k.view.hover);
        return !lines.empty() && lines.front() == "Karlsbruecke";
    }));
    EXPECT_EQ(bridgeHoverLines(client->world, client->view.hover),
              (std::vector<std::string>{"Karlsbruecke", "Fluss: Moldau"}));
}

TEST_F(ShippedHover, DisputedAreasAreNamedInTheTopBar) {
    const auto goldInLine = [] {
        int count = 0;
        for (int y = 70; y < 77; ++y) {
            for (int x = 520; x < 900; ++x) {
                count += testing::sameColor(renderer->pixel(x, y), gold);
            }
        }
        return count;
    };
    pointAt({34.1, 45.3}, 4); // Krim
    client->render(renderer->get());
    EXPECT_GT(goldInLine(), 20);
    pointAt({14.5, 47.3}, 4);
    client->render(renderer->get());
    EXPECT_EQ(goldInLine(), 0);
}

TEST_F(ShippedHover, CountryAndCitySearches) {
    client->focusCountry("aut");
    ASSERT_TRUE(client->view.selectedCountry);
    EXPECT_EQ(countryId(client->view.selectedCountry), "AUT");
    const Point centre = client->view.camera.toWorld(client->view.mapAreaCentre());
    EXPECT_EQ(countryId(client->world.countries.at(reducedLongitude(client->world.geographyAt(centre)))), "AUT");

    EXPECT_EQ(testing::errorOf([] { client->focusCountry("xyz"); }), "Land nicht gefunden: XYZ");
    EXPECT_EQ(testing::errorOf([] { client->focusCity("Atlantis"); }), "Stadt nicht gefunden: ATLANTIS");

    client->focusCity("wien");
    ASSERT_TRUE(client->view.selectedCity);
    EXPECT_EQ(client->world.cities[*client->view.selectedCity].name, "Wien");
    EXPECT_FALSE(client->view.selectedCountry); // jumping to a city clears the other selections
    EXPECT_TRUE(client->game.selected);
}

} // namespace
} // namespace korvan
