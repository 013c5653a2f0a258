// korvan.bin against hostile files in place of its data: endless streams, FIFOs, directories, giant
// sizes and picture headers, broken JSON. Each ends start-up with exit code 1, a message naming the
// file, and within a memory budget; a stuck start-up is stopped by the time budget and fails.
#include "budgeted_run.hpp"
#include "program_runner.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace korvan::testing;
namespace fs = std::filesystem;

namespace {

constexpr double stuckSeconds = 30; // far beyond any start-up: only a hang reaches it
constexpr long budgetMegabytes = 400;

// The line of the start-up error, or "" without one.
std::string errorLine(const std::string& err) {
    const auto at = err.find("ERROR: korvan: ");
    return at == std::string::npos ? "" : err.substr(at, err.find('\n', at) - at);
}

void expectRefusedNamingFile(const BudgetedRun& run, const fs::path& file, const std::string& says,
                             const std::string& label) {
    EXPECT_TRUE(run.finished) << label << ": still running after " << stuckSeconds << " s";
    EXPECT_EQ(run.run.exitCode, 1) << label << "\n" << run.run.err;
    const std::string line = errorLine(run.run.err);
    EXPECT_NE(line.find(file.string()), std::string::npos) << label << "\n" << run.run.err;
    EXPECT_NE(line.find(says), std::string::npos) << label << "\n" << run.run.err;
#ifndef KORVAN_ADDRESS_SANITIZER
    EXPECT_LT(run.peakMegabytes, budgetMegabytes) << label;
#endif
}

// A BMP header claiming width x height pixels of 32 bits, followed by `bytes` of nothing.
std::string bmpHeaderOnly(int width, int height, std::size_t bytes) {
    std::string file(bytes, '\0');
    const auto put = [&](std::size_t at, std::uint32_t value, int size) {
        for (int k = 0; k < size; ++k) {
            file[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
        }
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(bytes), 4);
    put(10, 138, 4);
    put(14, 124, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 32, 2);
    put(30, 3, 4);
    return file;
}

struct HostileFile {
    std::string file;
    std::string says;
    std::function<void(const fs::path&)> make;
};

void replaceWith(const fs::path& path, const std::string& content) {
    fs::remove(path);
    std::ofstream(path, std::ios::binary) << content;
}

} // namespace

TEST(ProgramHostileFiles, EveryKindEndsStartUpNamingTheFileWithinBudget) {
    const ScratchInstall install("hostile");
    const std::string countries = readFile(fs::path(KORVAN_BINARY).parent_path() / "data" / "countries.json");
    const std::vector<HostileFile> cases{
        {"units.json", "keine regulaere Datei", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
        {"countries.json", "Datei zu gross", [](const fs::path& p) {
             std::ofstream(p) << "[";
             fs::resize_file(p, std::uintmax_t(2) << 30); // sparse: costs no disk
         }},
        {"lakes.json", "keine regulaere Datei", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"flags.bmp", "keine regulaere Datei", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"seas.json", "ist ein Verzeichnis", [](const fs::path& p) { fs::create_directory(p); }},
        {"city-marker.bmp", "20000 x 20000 Pixel statt 256 x 256",
         [](const fs::path& p) { replaceWith(p, bmpHeaderOnly(20000, 20000, 262282)); }},
        {"terrain-icons-v4.bmp", "Ungueltiger Gelaendeatlas",
         [](const fs::path& p) { replaceWith(p, bmpHeaderOnly(1024, 768, 3'000'000)); }},
        {"flags.json", "Flaggenliste fehlt", [](const fs::path&) {}},
        {"countries.json", "Name zu lang", [&countries](const fs::path& p) {
             std::string text = countries;
             const std::string name = R"("name":")";
             text.insert(text.find(name) + name.size(), std::string(1 << 20, 'X'));
             replaceWith(p, text);
         }},
        {"urban.json", "Stadtname", [](const fs::path& p) {
             replaceWith(p, R"({"schema_version": 1, "width": 4320, "height": 2160, "cities": [{"id": "a",
                 "name": "<A>", "longitude": 1, "latitude": 2, "capital": false}], "fields": []})");
         }},
    };
    std::vector<HostileFile> all = cases;
    // Broken JSON in every file read at start-up.
    for (const char* file : {"world.json", "cities.json", "countries.json", "water-territories.json", "seas.json",
                             "lakes.json", "river-names.json", "urban.json", "city-parameters.json", "units.json",
                             "battles.json", "flags.json"}) {
        all.push_back({file, "JSON", [](const fs::path& p) { replaceWith(p, "{\"schema_version\": 1,"); }});
    }
    const auto shipped = fs::path(KORVAN_BINARY).parent_path() / "data";
    for (const HostileFile& hostile : all) {
        const fs::path path = install.data() / hostile.file;
        fs::remove(path);
        hostile.make(path);
        const BudgetedRun run = runWithin(quoted(install.binary()) + " --screenshot " +
                                              quoted(install.data() / "never.bmp") + " < /dev/null",
                                          stuckSeconds);
        expectRefusedNamingFile(run, path, hostile.says, hostile.file + " (" + hostile.says + ")");
        fs::remove_all(path);
        fs::create_symlink(shipped / hostile.file, path);
    }
}

TEST(ProgramHostileFiles, AMapIsReadOnceSoItMayComeFromAPipe) {
    const ScratchDirectory maps("piped_map");
    std::ofstream(maps / "insel.json") << R"({"schema_version": 3, "width": 8, "height": 4, "name": "Insel",
        "layout": "odd-r", "wrap_horizontal": true, "kind": "world", "river_edges": [],
        "terrain_rows": ["w8", "w2p4w2", "w3p3w2", "w8"]})";
    const auto piped = runWithin("cat " + quoted(maps / "insel.json") + " | " + quoted(KORVAN_BINARY) +
                                     " --map /dev/stdin --screenshot " + quoted(maps / "s.bmp"),
                                 stuckSeconds);
    EXPECT_EQ(piped.run.exitCode, 0) << piped.run.err;
    EXPECT_TRUE(fs::exists(maps / "s.bmp"));
    // An endless device as the map is neither a file nor a pipe.
    const auto endless = runWithin(quoted(KORVAN_BINARY) + " --map /dev/zero < /dev/null", stuckSeconds);
    expectRefusedNamingFile(endless, "/dev/zero", "weder Datei noch Pipe", "--map /dev/zero");
}

TEST(ProgramHostileFiles, AScreenshotThatCannotBeWrittenWholeLeavesNothing) {
    const ScratchDirectory shots("short_disk");
    // A file size limit of 64 KB stands in for a disk that fills up half-way through the picture.
    const auto run = runWithin("trap '' XFSZ; ulimit -f 128; exec " + quoted(KORVAN_BINARY) + " --screenshot " +
                                   quoted(shots / "shot.bmp") + " < /dev/null",
                               stuckSeconds);
    EXPECT_EQ(run.run.exitCode, 1) << run.run.err;
    EXPECT_NE(errorLine(run.run.err).find((shots / "shot.bmp").string()), std::string::npos) << run.run.err;
    EXPECT_TRUE(fs::is_empty(shots.path()));
}

TEST(ProgramHostileFiles, BadUnitIdsAndOutputThatCannotBeWritten) {
    for (const char* id : {"abc", "99999999999999999999", "-99999999999999999999", "0"}) {
        const auto run = runProgram(std::string("--unit ") + id);
        EXPECT_EQ(run.exitCode, 1) << id;
        EXPECT_EQ(errorLine(run.err), "ERROR: korvan: Ungueltige Einheiten-ID") << id << "\n" << run.err;
    }
    const auto help = runWithin("{ " + quoted(KORVAN_BINARY) + " --help > /dev/full; }", stuckSeconds);
    EXPECT_EQ(help.run.exitCode, 1) << help.run.err;
    // A log that stops taking lines is named once on standard error; the program goes on.
    const ScratchDirectory shots("full_log");
    const auto logged = runWithin(quoted(KORVAN_BINARY) + " --log /dev/full --screenshot " +
                                      quoted(shots / "shot.bmp") + " < /dev/null",
                                  stuckSeconds);
    EXPECT_EQ(logged.run.exitCode, 0) << logged.run.err;
    const std::string warning = "WARN: Log-Datei nimmt keine Zeilen mehr an: /dev/full\n";
    const auto first = logged.run.err.find(warning);
    EXPECT_NE(first, std::string::npos) << logged.run.err;
    EXPECT_EQ(logged.run.err.find(warning, first + 1), std::string::npos) << logged.run.err;
}
