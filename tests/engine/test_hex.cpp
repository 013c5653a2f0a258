// Hex coordinates, rounding and terrain identifiers.
#include "core/hex.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

using namespace korvan;

TEST(Hex, CentreRoundsBackToItsHex) {
    for (int r = -7; r <= 7; ++r) {
        for (int q = -7; q <= 7; ++q) {
            EXPECT_EQ(worldToHex(hexCenter({q, r})), (Hex{q, r})) << q << "," << r;
        }
    }
}

TEST(Hex, CornerPointsBelongToAMeetingHexDeterministically) {
    const Hex h{3, -2};
    const auto points = corners(h);
    for (const Point corner : points) {
        const Hex got = worldToHex(corner);
        EXPECT_LE(hexDistance(got, h), 1);
        EXPECT_EQ(worldToHex(corner), got);
    }
    // Corner 0 is the top vertex, one unit above the centre.
    EXPECT_NEAR(points[0].x, hexCenter(h).x, 1e-12);
    EXPECT_NEAR(points[0].y, hexCenter(h).y - 1.0, 1e-12);
    // Clockwise on screen (y down): corner 1 lies to the right of corner 0.
    EXPECT_GT(points[1].x, points[0].x);
}

TEST(Hex, PointsInsideAHexagonRoundToIt) {
    const Hex h{-4, 5};
    const Point c = hexCenter(h);
    for (int i = 0; i < 36; ++i) {
        const double a = i * 10.0 * 3.141592653589793 / 180.0;
        // The inscribed circle has radius sqrt(3)/2.
        const Point p{c.x + 0.85 * std::cos(a), c.y + 0.85 * std::sin(a)};
        EXPECT_EQ(worldToHex(p), h);
    }
}

TEST(Hex, DistanceIsSymmetricAndNeighboursAreOneApart) {
    const Hex a{2, -3};
    for (const Hex step : neighbourSteps) {
        EXPECT_EQ(hexDistance(a, a + step), 1);
    }
    EXPECT_EQ(hexDistance({0, 0}, {3, -1}), hexDistance({3, -1}, {0, 0}));
    EXPECT_EQ(hexDistance({0, 0}, {2, 2}), 4);
}

TEST(Terrain, IdentifiersRoundTripAndRejectUnknown) {
    for (int v = 0; v < terrainCount; ++v) {
        const auto t = static_cast<Terrain>(v);
        EXPECT_EQ(readTerrain(std::string(terrainId(t))), t);
    }
    EXPECT_EQ(terrainId(Terrain::Scrub), "scrub");
    EXPECT_THROW(terrainId(static_cast<Terrain>(11)), std::invalid_argument);
    try {
        readTerrain("Forest");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Unbekanntes Gelaende: Forest");
    }
}

TEST(Terrain, TileByteKeepsTheDocumentedBits) {
    EXPECT_EQ(packTile(Terrain::Scrub, true, true), 10 | 0x10 | 0x20);
    const Tile t = unpackTile(packTile(Terrain::Wetland, true, false));
    EXPECT_EQ(t.terrain, Terrain::Wetland);
    EXPECT_TRUE(t.road);
    EXPECT_FALSE(t.bridge);
}
