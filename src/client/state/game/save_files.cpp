// Save files: their folder, atomic replacement with a backup, and bounded reading.
#include "game/save_files.hpp"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace korvan {

namespace fs = std::filesystem;

fs::path saveDirectory() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && fs::path(data).is_absolute()) {
        return fs::path(data) / "korvan";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        throw std::runtime_error("Kein Speicherort: weder XDG_DATA_HOME noch HOME gesetzt");
    }
    return fs::path(home) / ".local" / "share" / "korvan";
}

void writeSaveFile(const fs::path& file, const std::string& text) {
    const auto fail = [&](const char* what) { throw std::runtime_error(std::string(what) + ": " + file.string()); };
    std::error_code error;
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), error);
        if (error) {
            fail("Speicherordner nicht anlegbar");
        }
    }
    fs::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            fail("Spielstand nicht schreibbar");
        }
    }
    if (fs::exists(file, error)) {
        fs::path backup = file;
        backup += ".bak";
        fs::rename(file, backup, error);
        if (error) {
            fs::remove(temporary, error);
            fail("Sicherung des alten Spielstands fehlgeschlagen");
        }
    }
    fs::rename(temporary, file, error);
    if (error) {
        fail("Spielstand nicht schreibbar");
    }
}

std::string readSaveFile(const fs::path& file, std::size_t maxBytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("Spielstand nicht gefunden: " + file.string());
    }
    std::string text;
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        text.append(block, static_cast<std::size_t>(in.gcount()));
        if (text.size() > maxBytes) {
            throw std::runtime_error("Spielstand zu gross: " + file.string());
        }
    }
    if (in.bad()) {
        throw std::runtime_error("Spielstand nicht lesbar: " + file.string());
    }
    return text;
}

} // namespace korvan
