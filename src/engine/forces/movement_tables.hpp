// Flat hash tables keyed by hex, reused across searches without touching their memory.
#pragma once

#include "core/hex.hpp"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace korvan {

// Open-addressing hash map from Hex to V. clear() is O(1) (generation stamps), so one table can
// serve many searches without touching its memory.
template <typename V>
class HexTable {
public:
    explicit HexTable(std::size_t expected = 64) { allocate(capacityFor(expected)); }

    void clear() {
        size_ = 0;
        if (++generation_ == 0) {
            for (Slot& slot : slots_) {
                slot.stamp = 0;
            }
            generation_ = 1;
        }
    }

    std::size_t size() const { return size_; }

    const V* find(Hex h) const {
        const std::uint64_t key = pack(h);
        for (std::size_t i = home(key);; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.stamp != generation_) {
                return nullptr;
            }
            if (slot.key == key) {
                return &slot.value;
            }
        }
    }
    V* find(Hex h) { return const_cast<V*>(std::as_const(*this).find(h)); }

    // The value stored for h, inserting `value` first if h is new; second tells whether it was.
    std::pair<V*, bool> insert(Hex h, const V& value) {
        if ((size_ + 1) * 2 > slots_.size()) {
            grow();
        }
        const std::uint64_t key = pack(h);
        for (std::size_t i = home(key);; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.stamp != generation_) {
                slot = {key, generation_, value};
                ++size_;
                return {&slot.value, true};
            }
            if (slot.key == key) {
                return {&slot.value, false};
            }
        }
    }

    template <typename F>
    void forEach(F&& action) const {
        for (const Slot& slot : slots_) {
            if (slot.stamp == generation_) {
                action(unpack(slot.key), slot.value);
            }
        }
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t stamp = 0;
        V value{};
    };

    static std::uint64_t pack(Hex h) { return (std::uint64_t(std::uint32_t(h.q)) << 32) | std::uint32_t(h.r); }
    static Hex unpack(std::uint64_t key) {
        return {static_cast<std::int32_t>(key >> 32), static_cast<std::int32_t>(key & 0xffffffffu)};
    }
    static std::size_t capacityFor(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < expected * 2) {
            capacity *= 2;
        }
        return capacity;
    }
    // Fibonacci hashing: neighbouring hexes land far apart, which keeps probe runs short.
    std::size_t home(std::uint64_t key) const { return std::size_t((key * 0x9E3779B97F4A7C15ull) >> shift_); }

    void allocate(std::size_t capacity) {
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;
        shift_ = 64;
        for (std::size_t c = capacity; c > 1; c /= 2) {
            --shift_;
        }
        generation_ = 1;
        size_ = 0;
    }

    void grow() {
        std::vector<Slot> old = std::move(slots_);
        const std::uint32_t oldGeneration = generation_;
        allocate(old.size() * 2);
        for (const Slot& slot : old) {
            if (slot.stamp == oldGeneration) {
                insert(unpack(slot.key), slot.value);
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    int shift_ = 64;
    std::uint32_t generation_ = 1;
    std::size_t size_ = 0;
};

// A table over hexes kept in dense blocks of 16 x 16 fields, found through a small hash of block
// keys. Searches that spread from a few points touch few blocks and neighbours share a block, so
// look-ups stay in cache where a hash per field would miss. Fields never written read as `empty`;
// clear() keeps the memory for the next search.
template <typename V>
class HexBlockTable {
public:
    explicit HexBlockTable(V empty) : empty_(empty) {}

    void clear() {
        blocks_.clear();
        used_ = 0;
    }

    // Null when the field's block was never touched (the field then reads as empty).
    const V* find(Hex h) const {
        const std::uint32_t* block = blocks_.find(blockKey(h));
        return block != nullptr ? &storage_[*block * blockFields + offset(h)] : nullptr;
    }

    V& at(Hex h) {
        const auto [block, inserted] = blocks_.insert(blockKey(h), static_cast<std::uint32_t>(used_));
        if (inserted) {
            if ((used_ + 1) * blockFields > storage_.size()) {
                storage_.resize((used_ + 1) * blockFields);
            }
            std::fill_n(storage_.begin() + std::ptrdiff_t(used_ * blockFields), blockFields, empty_);
            ++used_;
        }
        return storage_[*block * blockFields + offset(h)];
    }

private:
    static constexpr int blockShift = 4;
    static constexpr std::size_t blockFields = std::size_t(1) << (2 * blockShift);

    // Arithmetic shifts floor negative coordinates, so every hex has exactly one block.
    static Hex blockKey(Hex h) { return {h.q >> blockShift, h.r >> blockShift}; }
    static std::size_t offset(Hex h) {
        constexpr int mask = (1 << blockShift) - 1;
        return std::size_t(((h.r & mask) << blockShift) | (h.q & mask));
    }

    V empty_;
    HexTable<std::uint32_t> blocks_{256};
    std::vector<V> storage_;
    std::size_t used_ = 0;
};

} // namespace korvan
