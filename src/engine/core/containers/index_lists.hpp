// Short lists of values, one per owner, kept in one flat array.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace korvan {

// A derived world links hundreds of thousands of river sides to each other, mostly one to one, and
// its river network has as many vertices: a vector per list would cost as many allocations and
// several times the memory.
template <typename Value>
class FlatLists {
public:
    using Pair = std::pair<std::uint32_t, Value>; // (owner, value)

    FlatLists() = default;

    // One list per owner 0..owners - 1 from (owner, value) pairs; each list keeps the pairs' order.
    // Every owner must be below owners.
    FlatLists(std::size_t owners, const std::vector<Pair>& pairs)
        : FlatLists(gather(
              owners, pairs.size(), [&](std::size_t k) { return pairs[k].first; },
              [&](std::size_t k) { return pairs[k].second; })) {}

    // The same from items 0..count - 1 given by two functions, item k belonging to ownerOf(k) with
    // the value valueOf(k): large lists need no array of pairs first.
    template <typename OwnerOf, typename ValueOf>
    static FlatLists gather(std::size_t owners, std::size_t count, const OwnerOf& ownerOf, const ValueOf& valueOf) {
        FlatLists lists;
        lists.first_.assign(owners + 1, 0);
        lists.values_.resize(count);
        for (std::size_t k = 0; k < count; ++k) {
            ++lists.first_[ownerOf(k) + 1];
        }
        for (std::size_t k = 1; k < lists.first_.size(); ++k) {
            lists.first_[k] += lists.first_[k - 1];
        }
        std::vector<std::uint32_t> next(lists.first_.begin(), lists.first_.end() - 1);
        for (std::size_t k = 0; k < count; ++k) {
            lists.values_[next[ownerOf(k)]++] = valueOf(k);
        }
        return lists;
    }

    // From the two arrays starts() and values() gave; false where they do not form lists.
    static bool fromParts(std::vector<std::uint32_t> first, std::vector<Value> values, FlatLists& out) {
        if (!first.empty() && (first.front() != 0 || first.back() != values.size())) {
            return false;
        }
        if (first.empty() && !values.empty()) {
            return false;
        }
        for (std::size_t k = 1; k < first.size(); ++k) {
            if (first[k] < first[k - 1]) {
                return false;
            }
        }
        out.first_ = std::move(first);
        out.values_ = std::move(values);
        return true;
    }

    std::size_t size() const { return first_.empty() ? 0 : first_.size() - 1; }
    const std::vector<std::uint32_t>& starts() const { return first_; }
    const std::vector<Value>& values() const { return values_; }

    // Empty for an owner beyond the last.
    std::span<const Value> operator[](std::size_t owner) const {
        if (owner >= size()) {
            return {};
        }
        return {values_.data() + first_[owner], values_.data() + first_[owner + 1]};
    }

private:
    std::vector<std::uint32_t> first_; // where each owner's list starts in values_, and the end
    std::vector<Value> values_;
};

using IndexLists = FlatLists<std::uint32_t>;

} // namespace korvan
