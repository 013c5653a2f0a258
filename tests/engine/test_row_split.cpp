#include "core/row_split.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace korvan {
namespace {

constexpr std::size_t large = 1'000'000; // above the size worth a second thread

// Every row filled exactly once, however the calls nest or overlap.
std::vector<int> filledRows(int rows, int nestedRows) {
    std::vector<int> counts(std::size_t(rows), 0);
    fillRowsInParallel(rows, large, [&](int begin, int end) {
        for (int row = begin; row < end; ++row) {
            ++counts[std::size_t(row)];
        }
        if (nestedRows > 0) { // the kept helper is busy with the outer split here
            std::vector<int> inner = filledRows(nestedRows, 0);
            for (const int count : inner) {
                EXPECT_EQ(count, 1);
            }
        }
    });
    return counts;
}

TEST(RowSplit, EveryRowOnceAlsoNestedAndFromSeveralThreads) {
    for (const int rows : {1, 2, 3, 701}) {
        for (const int count : filledRows(rows, 0)) {
            EXPECT_EQ(count, 1) << rows << " rows";
        }
    }
    for (const int count : filledRows(50, 9)) {
        EXPECT_EQ(count, 1);
    }
    std::atomic<int> wrong{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t) {
        callers.emplace_back([&wrong] {
            for (int round = 0; round < 200; ++round) {
                for (const int count : filledRows(64, 0)) {
                    wrong += count != 1;
                }
            }
        });
    }
    for (std::thread& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

TEST(RowSplit, AFailureInEitherHalfReachesTheCallerAndTheHelperServesOn) {
    for (const int failing : {0, 99}) { // the helper's half, then the caller's
        EXPECT_THROW(fillRowsInParallel(100, large,
                                        [failing](int begin, int end) {
                                            if (failing >= begin && failing < end) {
                                                throw std::runtime_error("row failed");
                                            }
                                        }),
                     std::runtime_error);
        for (const int count : filledRows(100, 0)) {
            EXPECT_EQ(count, 1);
        }
    }
}

// Bands are taken whole and in any order by either thread: together they still cover every row once,
// and the work aside runs once, whether the rows are split or not.
TEST(RowSplit, BandsCoverEveryRowOnceAndOnlyTheLastIsShort) {
    for (const auto& [rows, band] : {std::pair{0, 24}, std::pair{5, 24}, std::pair{24, 24}, std::pair{701, 24},
                                    std::pair{701, 1}}) {
        std::vector<std::atomic<int>> counts(static_cast<std::size_t>(rows));
        std::atomic<int> shortBands{0};
        std::atomic<int> asides{0};
        fillRowBandsBeside(rows, rows > 100 ? large : 10, band, [&] { ++asides; }, [&](int begin, int end) {
            EXPECT_EQ(begin % band, 0);
            shortBands += end - begin != band;
            for (int row = begin; row < end; ++row) {
                ++counts[std::size_t(row)];
            }
        });
        for (const auto& count : counts) {
            EXPECT_EQ(count.load(), 1) << rows << " rows in bands of " << band;
        }
        EXPECT_EQ(shortBands.load(), rows % band != 0 ? 1 : 0) << rows << " rows in bands of " << band;
        EXPECT_EQ(asides.load(), 1);
    }
}

} // namespace
} // namespace korvan
