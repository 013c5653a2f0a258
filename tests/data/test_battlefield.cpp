// The shipped battlefield as a player reads it: whole unit pictures, the capitals around Wien named
// clear of each other, twelve units in the sidebar.
#include "drawn_text.hpp"
#include "headless_renderer.hpp"
#include "kit/palette.hpp"
#include "shell/client.hpp"
#include "shell/startup.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace korvan;
using namespace korvan::testing;

namespace {

constexpr SDL_Color counterEdge{13, 23, 26, 255};
constexpr SDL_Color labelPlate{19, 31, 34, 255};
constexpr SDL_Color capitalColor{232, 204, 136, 255};

std::unique_ptr<Client> shippedClient(const HeadlessRenderer& screen) {
    const std::filesystem::path data = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";
    return createClient(screen.get(), WorldSources{data, {}, false});
}

bool inside(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

} // namespace

// As `--unit 1` starts: every picture in the map area keeps its four corners in its own frame colour,
// so none lies on another, and the selected unit's gold frame shows all round.
TEST(Battlefield, UnitPicturesAtTheOperationZoomNeverCoverEachOther) {
    HeadlessRenderer screen(1280, 850);
    const auto client = shippedClient(screen);
    client->selectUnit(1, true);
    client->render(screen.get());
    const ViewState& view = client->view;
    const UnitFootprint footprint = view.unitFootprint();
    std::vector<ScreenRect> drawn;
    for (const Unit& unit : client->game.army.units()) {
        view.unitCopies(unit.position, [&](Point s) {
            const ScreenRect b = ViewState::unitBounds(s, footprint);
            if (!inside(b, view.mapClip())) {
                return;
            }
            for (const ScreenRect& other : drawn) {
                EXPECT_FALSE(b.overlaps(other)) << unit.name;
            }
            drawn.push_back(b);
            const bool selected = unit.id == 1;
            const SDL_Color edge = selected ? gold : counterEdge;
            const int right = b.x + b.w - 1;
            const int bottom = b.y + b.h - 1;
            for (const auto& [x, y] : {std::pair{b.x, b.y}, {right, b.y}, {b.x, bottom}, {right, bottom}}) {
                EXPECT_TRUE(sameColor(screen.pixel(x, y), edge)) << unit.name << " at " << x << ", " << y;
            }
            if (selected) {
                for (int x = b.x; x <= right; ++x) {
                    ASSERT_TRUE(sameColor(screen.pixel(x, b.y), gold) && sameColor(screen.pixel(x, bottom), gold)) << x;
                }
                for (int y = b.y; y <= bottom; ++y) {
                    ASSERT_TRUE(sameColor(screen.pixel(b.x, y), gold) && sameColor(screen.pixel(right, y), gold)) << y;
                }
            }
        });
    }
    EXPECT_FALSE(footprint.icon) << "the operation zoom shows counters";
    EXPECT_GE(drawn.size(), 20u);
}

// As `--city Wien` starts: Wien and the capitals around it are named, dot for dot, and no label lies
// on another label, a drawn city marker or a unit.
TEST(Battlefield, CityViewOfWienNamesTheCapitalsAroundItClearOfEverything) {
    HeadlessRenderer screen(1280, 850);
    const auto client = shippedClient(screen);
    client->focusCity("Wien");
    client->render(screen.get());
    const auto& placements = client->mapView.cities().placements(client->mapView.scene());
    std::vector<ScreenRect> labels;
    std::vector<ScreenRect> markers;
    for (const CityPlacement& p : placements) {
        const int r = markerRadius(p.symbolSize);
        markers.push_back({p.x - r, p.y - r, 2 * r + 1, 2 * r + 1});
        if (p.label) {
            labels.push_back(*p.label);
        }
    }
    for (const auto& [name, color] : {std::pair{"Wien", gold}, {"Berlin", capitalColor}, {"Prag", capitalColor},
                                      {"Budapest", capitalColor}}) {
        const auto found = std::find_if(placements.begin(), placements.end(), [&](const CityPlacement& p) {
            return client->world.cities[p.index].name == name && p.label;
        });
        ASSERT_NE(found, placements.end()) << name;
        EXPECT_TRUE(drawnText(screen, found->label->x, found->label->y, upper(name), found->scale, color, labelPlate));
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            EXPECT_FALSE(labels[i].overlaps(labels[j])) << i << ", " << j;
        }
        for (const ScreenRect& marker : markers) {
            EXPECT_FALSE(labels[i].overlaps(marker)) << i;
        }
    }
    const UnitFootprint footprint = client->view.unitFootprint();
    for (const Unit& unit : client->game.army.units()) {
        client->view.unitCopies(unit.position, [&](Point s) {
            for (const ScreenRect& label : labels) {
                EXPECT_FALSE(client->view.camera.scale >= unitZoom &&
                             label.overlaps(ViewState::unitBounds(s, footprint)));
            }
        });
    }
}

// At 1280 x 850 the sidebar names at least twelve of the scenario's units, one row each.
TEST(Battlefield, SidebarListsTwelveUnits) {
    HeadlessRenderer screen(1280, 850);
    const auto client = shippedClient(screen);
    client->game.showLog = false;
    client->render(screen.get());
    const auto& units = client->game.army.units();
    ASSERT_GT(units.size(), 12u);
    for (std::size_t k = 0; k < 12; ++k) {
        const bool chosen = client->game.selectedUnit == units[k].id;
        const SDL_Color row = chosen ? SDL_Color{53, 68, 65, 255} : SDL_Color{30, 46, 49, 255};
        EXPECT_TRUE(drawnText(screen, 1280 - 236, unitListTop + unitRowHeight * int(k) + 4,
                              units[k].name.substr(0, 18), 1, ink, row))
            << k;
    }
}
