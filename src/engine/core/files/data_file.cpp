// Reading a data file whole, within its size cap, refusing what is not a file.
#include "core/files/data_file.hpp"

#include <simdjson.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvan {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::string megabytes(std::size_t bytes) {
    return bytes % (1 << 20) == 0 ? std::to_string(bytes >> 20) + " MB" : std::to_string(bytes) + " Bytes";
}

} // namespace

std::string readDataFile(const std::filesystem::path& path, std::size_t maxBytes, const std::string& missing,
                         FileSource source) {
    const std::string named = path.string() + ": ";
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        failLoad(missing);
    }
    const bool pipe = S_ISFIFO(info.st_mode);
    if (S_ISDIR(info.st_mode)) {
        failLoad(named + "ist ein Verzeichnis, keine Datei");
    }
    if (!S_ISREG(info.st_mode) && !(pipe && source == FileSource::AlsoPipe)) {
        failLoad(named + (source == FileSource::AlsoPipe ? "weder Datei noch Pipe" : "keine regulaere Datei"));
    }
    const std::string tooBig = named + "Datei zu gross (hoechstens " + megabytes(maxBytes) + ")";
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        failLoad(tooBig);
    }
    // A pipe is read as it comes: it was opened without blocking only so that opening never waits.
    if (pipe && ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK) != 0) {
        failLoad(named + "Lesefehler: " + std::strerror(errno));
    }
    // Room for the JSON parser's padding is kept behind the text, so it need not copy it.
    constexpr std::size_t padding = simdjson::SIMDJSON_PADDING;
    constexpr std::size_t block = 1 << 16;
    std::string text;
    text.reserve((pipe ? block : static_cast<std::size_t>(info.st_size)) + 1 + padding);
    for (;;) {
        const std::size_t used = text.size();
        const std::size_t spare = text.capacity() - used;
        const std::size_t room = std::min(spare > 0 ? spare : block, maxBytes + 1 - used);
        text.resize(used + room);
        const ssize_t got = ::read(file.get(), text.data() + used, room);
        if (got < 0 && errno == EINTR) {
            text.resize(used);
            continue;
        }
        if (got < 0) {
            failLoad(named + "Lesefehler: " + std::strerror(errno));
        }
        text.resize(used + static_cast<std::size_t>(got));
        if (text.size() > maxBytes) {
            failLoad(tooBig);
        }
        if (got == 0) {
            return text;
        }
    }
}

} // namespace korvan
