// Reading data files: only regular files (or pipes where allowed), never blocking, never past the
// cap; and writing files whole or not at all.
#include "core/files/data_file.hpp"
#include "core/files/file_write.hpp"
#include "error_of.hpp"
#include "program_runner.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvan;
using korvan::testing::errorOf;
using korvan::testing::ScratchDirectory;

TEST(DataFile, RegularFilesUpToTheCapAndNothingElse) {
    const ScratchDirectory dir("data_file");
    const auto file = dir / "zehn.json";
    std::ofstream(file) << "0123456789";
    EXPECT_EQ(readDataFile(file, 10, "fehlt"), "0123456789");
    EXPECT_EQ(errorOf([&] { readDataFile(file, 9, "fehlt"); }),
              file.string() + ": Datei zu gross (hoechstens 9 Bytes)");
    const auto link = dir / "link.json";
    std::filesystem::create_symlink(file, link);
    EXPECT_EQ(readDataFile(link, 10, "fehlt"), "0123456789");

    EXPECT_EQ(errorOf([&] { readDataFile(dir / "nichts.json", 10, "fehlt"); }), "fehlt");
    EXPECT_EQ(errorOf([&] { readDataFile(dir.path(), 10, "fehlt"); }), dir.path().string() + ": ist ein Verzeichnis, keine Datei");
    EXPECT_EQ(errorOf([&] { readDataFile("/dev/zero", 10, "fehlt"); }), "/dev/zero: keine regulaere Datei");
    // A FIFO without a writer: refused at once, not waited for.
    const auto fifo = dir / "fifo.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(errorOf([&] { readDataFile(fifo, 10, "fehlt"); }), fifo.string() + ": keine regulaere Datei");
    EXPECT_EQ(readDataFile(fifo, 10, "fehlt", FileSource::AlsoPipe), ""); // no writer: it has ended
}

TEST(DataFile, APipeIsReadToItsEndButNotPastTheCap) {
    for (const std::size_t cap : {std::size_t(100'000), std::size_t(99'999)}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        const pid_t writer = fork();
        if (writer == 0) {
            close(ends[0]);
            const std::string text(100'000, 'x');
            static_cast<void>(write(ends[1], text.data(), text.size()));
            _exit(0);
        }
        close(ends[1]);
        const std::filesystem::path path = "/proc/self/fd/" + std::to_string(ends[0]);
        const std::string error = errorOf([&] { EXPECT_EQ(readDataFile(path, cap, "fehlt", FileSource::AlsoPipe).size(), 100'000u); });
        EXPECT_EQ(error, cap < 100'000 ? path.string() + ": Datei zu gross (hoechstens 99999 Bytes)" : "") << cap;
        close(ends[0]);
        waitpid(writer, nullptr, 0);
    }
}

TEST(DataFile, AFileIsWrittenWholeOrLeftAsItWas) {
    const ScratchDirectory dir("file_write");
    const auto file = dir / "bild.bmp";
    writeFileWhole(file, "alt");
    writeFileWhole(file, "neu");
    EXPECT_EQ(korvan::testing::readFile(file), "neu");
    const auto nowhere = dir / "fehlt" / "bild.bmp";
    EXPECT_EQ(errorOf([&] { writeFileWhole(nowhere, "x"); }).rfind(nowhere.string() + ": ", 0), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
