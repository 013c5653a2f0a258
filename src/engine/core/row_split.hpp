// Splits the rows of a large raster between this thread and one helper thread: drawing the map on
// the CPU (software renderer) and sampling the play grid would otherwise leave the other core idle.
#pragma once

#include <cstddef>
#include <exception>
#include <thread>

namespace korvan {

// Calls fill(begin, end) for row ranges that together cover 0..rows - 1, each row exactly once; the
// ranges may run at the same time, so fill must only write its own rows. Small rasters, and
// machines with one core, are filled in one go on this thread.
template <typename Fill>
void fillRowsInParallel(int rows, std::size_t pixels, Fill&& fill) {
    constexpr std::size_t worthASecondThread = 200'000;
    if (rows < 2 || pixels < worthASecondThread || std::thread::hardware_concurrency() < 2) {
        fill(0, rows);
        return;
    }
    const int middle = rows / 2;
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            fill(0, middle);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        fill(middle, rows);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace korvan
