// A file written beside its place and renamed into it.
#include "core/files/file_write.hpp"

#include "core/files/data_file.hpp"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace korvan {

void writeFileWhole(const std::filesystem::path& path, std::string_view bytes) {
    writeFileWhole(path, std::span<const std::string_view>(&bytes, 1));
}

void writeFileWhole(const std::filesystem::path& path, std::span<const std::string_view> pieces, Flush flush) {
    static std::atomic<unsigned> counter{0};
    const std::string named = path.string() + ": ";
    // Hidden and unique per process and call, in the same folder so that the rename is atomic.
    const std::filesystem::path temporary =
        path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                              std::to_string(counter++) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        failLoad(named + "kann nicht angelegt werden: " + std::strerror(errno));
    }
    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        failLoad(named + "Schreiben fehlgeschlagen: " + std::strerror(error));
    };
    for (const std::string_view bytes : pieces) {
        for (std::size_t written = 0; written < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                fail(n < 0 ? errno : ENOSPC);
            }
            written += static_cast<std::size_t>(n);
        }
    }
    if (flush == Flush::ToDisk && ::fsync(fd) != 0 && errno != EINVAL) {
        fail(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        failLoad(named + "Schreiben fehlgeschlagen: " + std::strerror(error));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        failLoad(named + "kann nicht ersetzt werden: " + std::strerror(error));
    }
}

} // namespace korvan
