// Save files: their folder, atomic replacement with a backup, and bounded reading.
#include "game/save_files.hpp"

#include "core/files/data_file.hpp"
#include "core/files/file_write.hpp"

#include <cstdlib>
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
    std::error_code error;
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), error);
        if (error) {
            throw std::runtime_error("Speicherordner nicht anlegbar: " + file.string());
        }
    }
    // The previous save stays as a backup; the new one replaces it whole or not at all.
    if (fs::is_regular_file(file, error)) {
        fs::path backup = file;
        backup += ".bak";
        fs::copy_file(file, backup, fs::copy_options::overwrite_existing, error);
        if (error) {
            throw std::runtime_error("Sicherung des alten Spielstands fehlgeschlagen: " + file.string());
        }
    }
    writeFileWhole(file, text);
}

std::string readSaveFile(const fs::path& file, std::size_t maxBytes) {
    // Read as the data files are: a FIFO, a directory or an endless stream is refused, not waited on.
    return readDataFile(file, maxBytes, "Spielstand nicht gefunden: " + file.string());
}

} // namespace korvan
