// Runs korvan.bin headless and captures what it prints and how it ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace korvan::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream input(path, std::ios::binary);
    std::ostringstream text;
    text << input.rdbuf();
    return text.str();
}

// A fresh scratch directory per test, removed on destruction.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("korvan_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Arguments are passed through the shell, each single-quoted.
inline ProgramRun runProgram(const std::string& arguments, const std::filesystem::path& binary = KORVAN_BINARY) {
    const ScratchDirectory scratch("run");
    const auto out = scratch / "out.txt";
    const auto err = scratch / "err.txt";
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" + binary.string() + "' " +
                                arguments + " > '" + out.string() + "' 2> '" + err.string() + "' < /dev/null";
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// A copy of korvan.bin with its own data directory: the shipped files linked in, any of them replaceable.
// The program finds its data beside its own executable, so the binary itself is copied.
class ScratchInstall {
public:
    explicit ScratchInstall(const std::string& name) : dir_(name) {
        std::filesystem::copy_file(KORVAN_BINARY, binary());
        std::filesystem::create_directories(data());
        const std::filesystem::path shipped = std::filesystem::path(KORVAN_BINARY).parent_path() / "data";
        for (const auto& entry : std::filesystem::directory_iterator(shipped)) {
            std::filesystem::create_symlink(std::filesystem::absolute(entry.path()), data() / entry.path().filename());
        }
    }

    std::filesystem::path binary() const { return dir_ / "korvan.bin"; }
    std::filesystem::path data() const { return dir_ / "data"; }

    void replace(const std::string& file, const std::string& content) const {
        std::filesystem::remove(data() / file);
        std::ofstream(data() / file) << content;
    }

    void remove(const std::string& file) const { std::filesystem::remove(data() / file); }

    ProgramRun run(const std::string& arguments = "") const { return runProgram(arguments, binary()); }

private:
    ScratchDirectory dir_;
};

} // namespace korvan::testing
