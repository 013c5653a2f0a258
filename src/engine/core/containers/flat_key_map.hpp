// An open-addressing hash map from 64-bit keys to 32-bit values, for the hot lookups of grid derivation.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

namespace korvan {

// Insert-only; grows at half load; values below 2^32 - 1. Much faster than std::unordered_map for
// millions of small entries because it never allocates per entry.
class FlatKeyMap {
public:
    explicit FlatKeyMap(std::size_t expected = 16) { rehash(capacityFor(expected)); }

    // Returns the stored value and whether the key was new (then value was stored).
    std::pair<std::uint32_t, bool> tryEmplace(std::uint64_t key, std::uint32_t value) {
        if (value == noValue) {
            throw std::length_error("FlatKeyMap: Wert ausserhalb des Bereichs");
        }
        if ((size_ + 1) * 2 > slots_.size()) {
            rehash(std::max<std::size_t>(slots_.size() * 2, 16));
        }
        std::size_t i = slotFor(key);
        while (slots_[i].used()) {
            if (slots_[i].key() == key) {
                return {slots_[i].value, false};
            }
            i = (i + 1) & mask_;
        }
        slots_[i] = Slot(key, value);
        ++size_;
        return {value, true};
    }

    std::optional<std::uint32_t> find(std::uint64_t key) const {
        if (slots_.empty()) {
            return std::nullopt; // moved from
        }
        std::size_t i = slotFor(key);
        while (slots_[i].used()) {
            if (slots_[i].key() == key) {
                return slots_[i].value;
            }
            i = (i + 1) & mask_;
        }
        return std::nullopt;
    }

    // Starts loading the slot a key hashes to: lookups of a batch of keys, each announced a little
    // ahead, wait for memory together instead of one after another.
    void prefetch(std::uint64_t key) const {
        if (!slots_.empty()) {
            __builtin_prefetch(&slots_[slotFor(key)]);
        }
    }

    std::size_t size() const { return size_; }

    // Empties the map but keeps its table, for maps rebuilt every frame.
    void clear() {
        std::fill(slots_.begin(), slots_.end(), Slot{});
        size_ = 0;
    }

    void reserve(std::size_t expected) {
        if (capacityFor(expected) > slots_.size()) {
            rehash(capacityFor(expected));
        }
    }

private:
    // The largest value marks an empty slot; values are indices and never reach it.
    static constexpr std::uint32_t noValue = std::numeric_limits<std::uint32_t>::max();

    // 12 bytes instead of an aligned 64-bit key's 16: the derivation's tables hold up to a million.
    struct Slot {
        std::uint32_t keyLow = 0;
        std::uint32_t keyHigh = 0;
        std::uint32_t value = noValue;

        Slot() = default;
        Slot(std::uint64_t key, std::uint32_t v)
            : keyLow(static_cast<std::uint32_t>(key)), keyHigh(static_cast<std::uint32_t>(key >> 32)), value(v) {}
        std::uint64_t key() const { return (std::uint64_t(keyHigh) << 32) | keyLow; }
        bool used() const { return value != noValue; }
    };

    static std::size_t capacityFor(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < expected * 2) {
            capacity *= 2;
        }
        return capacity;
    }

    std::size_t slotFor(std::uint64_t key) const {
        // Fibonacci hashing spreads the structured vertex keys over the table.
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;
        shift_ = 64;
        for (std::size_t c = capacity; c > 1; c >>= 1) {
            --shift_;
        }
        size_ = 0;
        for (const Slot& slot : old) {
            if (slot.used()) {
                tryEmplace(slot.key(), slot.value);
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    int shift_ = 64;
    std::size_t size_ = 0;
};

} // namespace korvan
