// The cache file: a header with a magic, the format, the key, the sizes of the four parts and the
// checksum over them, then the parts (world map, play grid, river names, country grid).
#include "world/world_cache.hpp"

#include "core/byte_stream.hpp"
#include "core/files/content_hash.hpp"
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "core/files/file_write.hpp"

#include <cstdlib>
#include <exception>
#include <system_error>
#include <utility>

namespace korvan {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t magic = 0x3157444E41564B4Bull; // "KKVANDW1"
// Counts changes of the file's layout; the program's identity covers changes of the derivation.
constexpr std::uint32_t format = 1;
constexpr std::size_t headerSize = 8 + 4 + 4 + 8 + 4 * 8 + 8;
// The shipped world's file is some twenty megabytes.
constexpr std::size_t cacheCap = 256 * fileCaps::megabyte;

struct KeyedFile {
    const char* name;
    std::size_t cap;
};

// Every file a derived part depends on besides the map: river names; countries, water territories
// and the cities (with urban centres and parameters) for the country grid.
constexpr std::array<KeyedFile, 6> keyedFiles{{{"river-names.json", fileCaps::riverNames},
                                               {"countries.json", fileCaps::geography},
                                               {"water-territories.json", fileCaps::geography},
                                               {"cities.json", fileCaps::cities},
                                               {"urban.json", fileCaps::urbanAreas},
                                               {"city-parameters.json", fileCaps::small}}};

// A part read to its end and no further.
template <typename Read>
auto readWhole(std::string_view part, Read&& read) {
    ByteReader in(part);
    auto value = read(in);
    if (!in.atEnd()) {
        ByteReader::fail();
    }
    return value;
}

// Over the parts' own hashes, so the parts need not stand in one string to be checked.
template <typename Parts>
std::uint64_t checksum(const Parts& parts) {
    std::array<std::uint64_t, 4> hashes{};
    for (std::size_t k = 0; k < hashes.size(); ++k) {
        hashes[k] = contentHash(parts[k]);
    }
    return contentHash(std::string_view(reinterpret_cast<const char*>(hashes.data()), sizeof hashes));
}

} // namespace

fs::path userCacheDirectory() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && fs::path(cache).is_absolute()) {
        return fs::path(cache) / "korvan";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        return {};
    }
    return fs::path(home) / ".cache" / "korvan";
}

std::optional<std::uint64_t> worldCacheKey(std::string_view programIdentity, std::string_view mapText,
                                           const fs::path& dataDirectory) {
    std::uint64_t key = contentHash(programIdentity, format);
    key = contentHash(mapText, key);
    try {
        for (const KeyedFile& file : keyedFiles) {
            key = contentHash(file.name, key);
            key = contentHash(readDataFile(dataDirectory / file.name, file.cap, file.name), key);
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return key;
}

std::optional<WorldCache> WorldCache::open(const fs::path& file, std::uint64_t key) {
    try {
        WorldCache cache;
        cache.bytes_ = readDataFile(file, cacheCap, file.string());
        const std::string_view bytes = cache.bytes_;
        ByteReader header(bytes.substr(0, headerSize));
        if (header.get<std::uint64_t>() != magic || header.get<std::uint32_t>() != format ||
            header.get<std::uint32_t>() != 0 || header.get<std::uint64_t>() != key) {
            return std::nullopt;
        }
        std::size_t at = headerSize;
        for (std::string_view& part : cache.parts_) {
            const auto size = header.get<std::uint64_t>();
            if (size > bytes.size() - at) {
                return std::nullopt;
            }
            part = bytes.substr(at, size);
            at += size;
        }
        if (at != bytes.size() || checksum(cache.parts_) != header.get<std::uint64_t>()) {
            return std::nullopt;
        }
        return cache;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

Map WorldCache::map() const {
    return readWhole(parts_[MapPart], [](ByteReader& in) { return Map::readCache(in); });
}

Map WorldCache::playGrid() const {
    return readWhole(parts_[PlayGridPart], [](ByteReader& in) { return Map::readCache(in); });
}

RiverNames WorldCache::riverNames(const Map& map) const {
    return readWhole(parts_[NamesPart], [&](ByteReader& in) { return RiverNames::readCache(in, map); });
}

CountryGrid WorldCache::countryGrid(const Map& map, std::size_t countries) const {
    return readWhole(parts_[CountryGridPart], [&](ByteReader& in) {
        if (in.get<std::uint64_t>() != countries) {
            ByteReader::fail();
        }
        return CountryGrid::readCache(in, map, countries);
    });
}

WorldCacheParts::WorldCacheParts(const Map& map, const RiverNames& names, std::size_t countryCount,
                                 const CountryGrid& grid) {
    ByteWriter mapPart;
    map.writeCache(mapPart);
    map_ = std::move(mapPart.bytes());
    ByteWriter namesPart;
    names.writeCache(namesPart);
    names_ = std::move(namesPart.bytes());
    ByteWriter gridPart;
    gridPart.put<std::uint64_t>(countryCount);
    grid.writeCache(gridPart);
    countryGrid_ = std::move(gridPart.bytes());
}

std::vector<std::string> WorldCacheParts::finish(const Map& playGrid) {
    ByteWriter playGridPart;
    playGrid.writeCache(playGridPart);
    // In the order of WorldCache::Part.
    std::vector<std::string> parts;
    parts.push_back(std::move(map_));
    parts.push_back(std::move(playGridPart.bytes()));
    parts.push_back(std::move(names_));
    parts.push_back(std::move(countryGrid_));
    return parts;
}

std::string worldCacheHeader(std::uint64_t key, const std::vector<std::string>& parts) {
    ByteWriter header;
    header.put(magic);
    header.put(format);
    header.put<std::uint32_t>(0);
    header.put(key);
    for (const std::string& part : parts) {
        header.put<std::uint64_t>(part.size());
    }
    header.put(checksum(parts));
    return std::move(header.bytes());
}

bool writeWorldCache(const fs::path& file, std::uint64_t key, const std::vector<std::string>& parts) {
    if (parts.size() != 4) {
        return false;
    }
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        return false;
    }
    try {
        const std::string header = worldCacheHeader(key, parts);
        const std::array<std::string_view, 5> pieces{header, parts[0], parts[1], parts[2], parts[3]};
        // The checksum refuses a file a crash left unwritten, so the program need not wait for the disk.
        writeFileWhole(file, pieces, Flush::Skip);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace korvan
