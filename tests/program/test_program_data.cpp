// korvan.bin against broken or missing data files: each stops start-up with its message and exit code 1.
#include "headless_renderer.hpp"
#include "program_runner.hpp"

#include <gtest/gtest.h>

using namespace korvan::testing;

namespace {

bool logged(const std::string& err, const std::string& line) { return err.find(line + "\n") != std::string::npos; }

} // namespace

TEST(ProgramData, BrokenUnitsFileNamesThePathAndTheRule) {
    const ScratchInstall install("units");
    install.replace("units.json", R"({"schema_version": 2, "types": [], "world_units": []})");
    const auto run = install.run();
    EXPECT_EQ(run.exitCode, 1);
    const std::string path = (install.data() / "units.json").string();
    EXPECT_TRUE(
        logged(run.err, "ERROR: korvan: " + path + ": Ungueltige Einheitendaten: Ungueltiger Einheiten-Zahlenwert"))
        << run.err;
}

TEST(ProgramData, TheFirstBrokenStepWinsThoughFilesLoadWhileThePlayGridIsDerived) {
    const ScratchInstall install("order");
    install.replace("units.json", R"({"schema_version": 2, "types": [], "world_units": []})");
    install.replace("lakes.json", R"({"schema_version": 7})");
    const auto run = install.run("--screenshot " + quoted(install.data() / "never.bmp"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Ungueltige Einheitendaten"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Gewaesserschema"), std::string::npos) << run.err;

    // The urban areas come after the units but are read while the grid is derived.
    const ScratchInstall later("order_urban");
    later.replace("urban.json", R"({"schema_version": 99})");
    later.replace("battles.json", "{}");
    const auto urban = later.run("--screenshot " + quoted(later.data() / "never.bmp"));
    EXPECT_EQ(urban.exitCode, 1);
    EXPECT_TRUE(logged(urban.err, "ERROR: korvan: " + (later.data() / "urban.json").string() +
                                      ": Unbekanntes Stadtgebietsschema"))
        << urban.err;
}

TEST(ProgramData, BrokenOrMissingScenario) {
    const ScratchInstall install("battles");
    install.replace("battles.json", R"({"schema_version": 1, "world": {"round_limit": 0, "seed": 1, "objectives": []}})");
    const auto broken = install.run();
    EXPECT_EQ(broken.exitCode, 1);
    const std::string path = (install.data() / "battles.json").string();
    EXPECT_TRUE(logged(broken.err, "ERROR: korvan: " + path + ": Ungueltige Szenariowerte")) << broken.err;
    install.remove("battles.json");
    const auto missing = install.run();
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(logged(missing.err, "ERROR: korvan: Szenariodaten fehlen: " + path)) << missing.err;
}

TEST(ProgramData, UnitIdsMustNameAUnitAlsoInSmokeMode) {
    const auto run = runProgram("--unit 99999 --smoke-test");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(logged(run.err, "ERROR: korvan: Einheit nicht gefunden")) << run.err;
}

TEST(ProgramData, ACustomMapSkipsUnitsAndScenario) {
    const ScratchInstall install("custom");
    install.remove("units.json");
    install.remove("battles.json");
    const ScratchDirectory maps("custom_map");
    std::ofstream(maps / "insel.json") << R"({"schema_version": 3, "width": 8, "height": 4, "name": "Insel",
        "layout": "odd-r", "wrap_horizontal": true, "kind": "world", "river_edges": [],
        "terrain_rows": ["w8", "w2p4w2", "w3p3w2", "w8"]})";
    const auto run = install.run("--map " + quoted(maps / "insel.json") + " --screenshot " + quoted(maps / "s.bmp"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // Without --map the missing units file stops start-up.
    const auto without = install.run();
    EXPECT_EQ(without.exitCode, 1);
    EXPECT_NE(without.err.find("units.json"), std::string::npos) << without.err;
}

// Each geography file with a wrong schema version stops start-up with its loader's message.
TEST(ProgramData, BrokenGeographyFilesStopStartUp) {
    const ScratchInstall install("geography");
    const std::string wrongSchema = R"({"schema_version": 7})";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"countries.json", "Unbekanntes Laenderschema"},
        {"cities.json", "Ungueltige Staedtedaten: Unbekanntes Staedteschema"},
        {"urban.json", "Unbekanntes Stadtgebietsschema"},
        {"city-parameters.json", "Ungueltiges Stadtparameterschema"},
        {"water-territories.json", "Gewaesser-Laender passen nicht zur Karte"},
        {"seas.json", "Unbekanntes Gewaesserschema"},
        {"lakes.json", "Unbekanntes Gewaesserschema"},
        {"river-names.json", "Flussnamen passen nicht zur Weltkarte"},
    };
    const auto shipped = std::filesystem::path(KORVAN_BINARY).parent_path() / "data";
    for (const auto& [file, message] : cases) {
        install.replace(file, wrongSchema);
        const auto run = install.run("--screenshot " + quoted(install.data() / "never.bmp"));
        EXPECT_EQ(run.exitCode, 1) << file;
        EXPECT_TRUE(logged(run.err, "ERROR: korvan: " + (install.data() / file).string() + ": " + message))
            << file << "\n" << run.err;
        install.remove(file);
        std::filesystem::create_symlink(shipped / file, install.data() / file);
    }
    // Two urban centres claiming one field.
    install.replace("urban.json", R"({"schema_version": 1, "width": 4320, "height": 2160,
        "cities": [{"id": "a", "name": "A", "longitude": 16.37, "latitude": 48.2, "capital": false},
                   {"id": "b", "name": "B", "longitude": 16.37, "latitude": 48.2, "capital": false}],
        "fields": [[501, 2356, 0], [501, 2356, 1]]})");
    const auto twice = install.run("--screenshot " + quoted(install.data() / "never.bmp"));
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_TRUE(logged(twice.err, "ERROR: korvan: " + (install.data() / "urban.json").string() +
                                      ": Doppeltes Stadtfeld"))
        << twice.err;
}

TEST(CityGraphics, BrokenMarkerImagesStopStartUp) {
    const ScratchInstall install("city_marker_files");
    install.remove("city-size-markers.bmp");
    writeImage(install.data() / "city-size-markers.bmp", 1024, 256, SDL_PIXELFORMAT_RGB24, {255, 0, 0, 255});
    const auto run = install.run("--screenshot " + quoted(install.data() / "never.bmp"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("ERROR: korvan: " + (install.data() / "city-size-markers.bmp").string() +
                           ": Ungueltige Stadtgroessen-Grafik (24 Bit je Pixel statt 32)\n"),
              std::string::npos)
        << run.err;
    install.remove("city-marker.bmp");
    const auto missing = install.run("--screenshot " + quoted(install.data() / "never.bmp"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("city-marker.bmp"), std::string::npos) << missing.err;
}
