// Items handled a few places behind their arrival, for lookups in tables far larger than the caches:
// whoever pushes an item starts loading what it will need, and the loads of several items overlap.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

namespace korvan {

// Calls handle(item) for every pushed item, in the order pushed, at most Ahead pushes late.
template <typename Item, std::size_t Ahead, typename Handle>
class LookAhead {
public:
    explicit LookAhead(Handle handle) : handle_(std::move(handle)) {}

    void push(Item item) {
        if (waiting_ == Ahead) {
            handleOldest();
        }
        items_[(oldest_ + waiting_) % Ahead] = std::move(item);
        ++waiting_;
    }

    // Handles the items still waiting.
    void finish() {
        while (waiting_ > 0) {
            handleOldest();
        }
    }

private:
    void handleOldest() {
        Item& item = items_[oldest_];
        oldest_ = (oldest_ + 1) % Ahead;
        --waiting_;
        try {
            handle_(item);
        } catch (...) {
            waiting_ = 0; // the items behind a failed one are never handled
            throw;
        }
    }

    Handle handle_;
    std::array<Item, Ahead> items_{};
    std::size_t oldest_ = 0;
    std::size_t waiting_ = 0;
};

} // namespace korvan
