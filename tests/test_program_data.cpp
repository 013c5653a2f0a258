// korvan.bin against broken or missing data files: each stops start-up with its message and exit code 1.
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
    EXPECT_TRUE(logged(run.err, "ERROR: korvan: " + path + ": Ungueltige Einheitendaten: Ungueltiger Einheiten-Zahlenwert"))
        << run.err;
}

TEST(ProgramData, BrokenOrMissingScenario) {
    const ScratchInstall install("battles");
    install.replace("battles.json", R"({"schema_version": 1, "world": {"round_limit": 0, "seed": 1, "objectives": []}})");
    const auto broken = install.run();
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(logged(broken.err, "ERROR: korvan: Ungueltige Szenariowerte")) << broken.err;
    install.remove("battles.json");
    const auto missing = install.run();
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(logged(missing.err, "ERROR: korvan: Szenariodaten fehlen")) << missing.err;
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
