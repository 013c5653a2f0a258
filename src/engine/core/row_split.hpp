// Splits the rows of a large raster between this thread and one helper thread: drawing the map on
// the CPU (software renderer) and sampling the play grid would otherwise leave the other core idle.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>

namespace korvan {

namespace rowsplit {

// A job for the helper: call(context).
struct Job {
    void (*call)(void*) = nullptr;
    void* context = nullptr;
};

// The process's kept helper thread, started at its first job: starting a thread for every raster
// cost about as much as a panned frame's strips. Returns false, and runs nothing, when the helper is
// busy (another thread's raster, or a fill that splits again) or cannot be used (in a forked child).
bool startOnHelper(Job job);

// Waits until the job started by the last successful startOnHelper of this thread has returned.
void waitForHelper();

// Whether the machine has a second core to split with, asked once.
bool secondCore();

} // namespace rowsplit

// Calls fill(begin, end) for row ranges that together cover 0..rows - 1, each row exactly once; the
// ranges may run at the same time, so fill must only write its own rows. Small rasters, and
// machines with one core, are filled in one go on this thread.
template <typename Fill>
void fillRowsInParallel(int rows, std::size_t pixels, Fill&& fill) {
    constexpr std::size_t worthASecondThread = 200'000;
    if (rows < 2 || pixels < worthASecondThread || !rowsplit::secondCore()) {
        fill(0, rows);
        return;
    }
    const int middle = rows / 2;
    std::exception_ptr failure;
    auto upper = [&] {
        try {
            fill(0, middle);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    using Upper = decltype(upper);
    const rowsplit::Job job{[](void* context) { (*static_cast<Upper*>(context))(); }, &upper};
    std::thread spare; // only when the kept helper is busy
    const bool kept = rowsplit::startOnHelper(job);
    if (!kept) {
        spare = std::thread(upper);
    }
    const auto join = [&] {
        if (kept) {
            rowsplit::waitForHelper();
        } else {
            spare.join();
        }
    };
    try {
        fill(middle, rows);
    } catch (...) {
        join();
        throw;
    }
    join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// Like fillRowsInParallel, for rasters whose rows cost unevenly (open sea beside coasts and river
// mouths): both threads take the next band of bandRows rows until none is left, so neither waits
// long for the other. fill is called once per band and must not rely on which thread calls it.
// The helper first runs aside(), work of its own that shares nothing with the rows, and joins the
// bands when it is done: the caller's thread takes as many more as that leaves it.
template <typename Fill, typename Aside>
void fillRowBandsBeside(int rows, std::size_t pixels, int bandRows, Aside&& aside, Fill&& fill) {
    std::atomic<int> next{0};
    // Two takers, the helper's part first, or one on a machine or raster too small to split.
    fillRowsInParallel(2, pixels, [&](int taker, int) {
        if (taker == 0) {
            aside();
        }
        for (int begin = next.fetch_add(bandRows); begin < rows; begin = next.fetch_add(bandRows)) {
            fill(begin, std::min(begin + bandRows, rows));
        }
    });
}

template <typename Fill>
void fillRowBandsInParallel(int rows, std::size_t pixels, int bandRows, Fill&& fill) {
    fillRowBandsBeside(rows, pixels, bandRows, [] {}, fill);
}

} // namespace korvan
