// Four multiply-rotate lanes over 32-byte stripes, then the tail and a final mix: some gigabytes a
// second, so the ten megabytes of data files cost a few milliseconds.
#include "core/files/content_hash.hpp"

#include <bit>
#include <cstring>

namespace korvan {

namespace {

constexpr std::uint64_t prime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t prime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t prime3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t prime4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t prime5 = 0x27D4EB2F165667C5ull;

std::uint64_t read64(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint32_t read32(const char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t input) {
    return std::rotl(lane + input * prime2, 31) * prime1;
}

std::uint64_t merge(std::uint64_t hash, std::uint64_t lane) { return (hash ^ round(0, lane)) * prime1 + prime4; }

} // namespace

std::uint64_t contentHash(std::string_view bytes, std::uint64_t seed) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    std::uint64_t hash;
    if (bytes.size() >= 32) {
        std::uint64_t lanes[4] = {seed + prime1 + prime2, seed + prime2, seed, seed - prime1};
        for (; end - p >= 32; p += 32) {
            for (int k = 0; k < 4; ++k) {
                lanes[k] = round(lanes[k], read64(p + 8 * k));
            }
        }
        hash = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
        for (const std::uint64_t lane : lanes) {
            hash = merge(hash, lane);
        }
    } else {
        hash = seed + prime5;
    }
    hash += bytes.size();
    for (; end - p >= 8; p += 8) {
        hash = std::rotl(hash ^ round(0, read64(p)), 27) * prime1 + prime4;
    }
    if (end - p >= 4) {
        hash = std::rotl(hash ^ (read32(p) * prime1), 23) * prime2 + prime3;
        p += 4;
    }
    for (; p < end; ++p) {
        hash = std::rotl(hash ^ (static_cast<unsigned char>(*p) * prime5), 11) * prime1;
    }
    hash ^= hash >> 33;
    hash *= prime2;
    hash ^= hash >> 29;
    hash *= prime3;
    return hash ^ (hash >> 32);
}

} // namespace korvan
