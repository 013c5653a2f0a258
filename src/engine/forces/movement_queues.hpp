// Priority queues of the uniform-cost searches: ties in cost pop by (q, r).
#pragma once

#include "core/hex.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace korvan {

// Queue entry of the uniform-cost searches; ties in cost go to the smaller q, then the smaller r.
struct SearchEntry {
    int cost = 0;
    Hex hex;

    friend bool operator>(const SearchEntry& a, const SearchEntry& b) {
        if (a.cost != b.cost) {
            return a.cost > b.cost;
        }
        return a.hex.q != b.hex.q ? a.hex.q > b.hex.q : a.hex.r > b.hex.r;
    }
};

// Min-heap over a caller-owned buffer, so repeated searches reuse one allocation.
class SearchQueue {
public:
    void clear() { heap_.clear(); }
    bool empty() const { return heap_.empty(); }
    void push(SearchEntry entry) {
        heap_.push_back(entry);
        std::push_heap(heap_.begin(), heap_.end(), std::greater<>{});
    }
    SearchEntry pop() {
        std::pop_heap(heap_.begin(), heap_.end(), std::greater<>{});
        const SearchEntry top = heap_.back();
        heap_.pop_back();
        return top;
    }

private:
    std::vector<SearchEntry> heap_;
};

// The same order as SearchQueue for searches whose steps cost 0 to maxStep: a ring of buckets by
// cost (Dial's queue). Every entry of a cost is pushed before the first of them is popped (steps
// of 0 aside, which are inserted in order), so sorting a bucket by (q, r) once when the search
// reaches it gives the heap's order without its per-pop cost.
class BucketQueue {
public:
    void reset(int maxStep) {
        std::size_t ring = 1;
        while (ring <= std::size_t(std::max(maxStep, 0))) {
            ring *= 2;
        }
        buckets_.resize(std::max(ring, buckets_.size()));
        for (auto& bucket : buckets_) {
            bucket.clear();
        }
        mask_ = ring - 1;
        cost_ = 0;
        next_ = 0;
        sorted_ = false;
        size_ = 0;
    }

    bool empty() const { return size_ == 0; }

    void push(SearchEntry entry) {
        std::vector<std::uint64_t>& bucket = buckets_[std::size_t(entry.cost) & mask_];
        const std::uint64_t key = orderKey(entry.hex);
        if (entry.cost == cost_ && sorted_) {
            // A free step while its bucket is being popped: keep the rest of the bucket in order.
            const auto rest = bucket.begin() + std::ptrdiff_t(next_);
            bucket.insert(std::lower_bound(rest, bucket.end(), key), key);
        } else {
            bucket.push_back(key);
        }
        ++size_;
    }

    SearchEntry pop() {
        for (;;) {
            std::vector<std::uint64_t>& bucket = buckets_[std::size_t(cost_) & mask_];
            if (!sorted_) {
                std::sort(bucket.begin(), bucket.end());
                sorted_ = true;
            }
            if (next_ < bucket.size()) {
                --size_;
                return {cost_, fromOrderKey(bucket[next_++])};
            }
            bucket.clear();
            ++cost_;
            next_ = 0;
            sorted_ = false;
        }
    }

private:
    // Unsigned keys that sort like HexLess: q, then r, with the sign bits flipped.
    static std::uint64_t orderKey(Hex h) {
        return (std::uint64_t(std::uint32_t(h.q) ^ 0x80000000u) << 32) | (std::uint32_t(h.r) ^ 0x80000000u);
    }
    static Hex fromOrderKey(std::uint64_t key) {
        return {static_cast<std::int32_t>(std::uint32_t(key >> 32) ^ 0x80000000u),
                static_cast<std::int32_t>(std::uint32_t(key) ^ 0x80000000u)};
    }

    std::vector<std::vector<std::uint64_t>> buckets_;
    std::size_t mask_ = 0;
    int cost_ = 0;          // the bucket being popped
    std::size_t next_ = 0;  // its next entry
    bool sorted_ = false;
    std::size_t size_ = 0;
};

} // namespace korvan
