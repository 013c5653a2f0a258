// Runs of equal values written and read back: every run length around the eight-byte steps, and
// every way a file can claim more than it holds.
#include "core/byte_stream.hpp"

#include <gtest/gtest.h>

using namespace korvan;

namespace {

template <typename T>
std::vector<T> runsOfEveryLength() {
    std::vector<T> values;
    T value = 0;
    for (std::size_t length = 1; length <= 40; ++length) {
        values.insert(values.end(), length, value);
        value = static_cast<T>(value + 1 + (length % 3) * 100); // neighbours differ, some in a high byte
    }
    values.push_back(value); // a last run of one
    return values;
}

template <typename T>
void expectRoundTrip() {
    const auto all = runsOfEveryLength<T>();
    for (const std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(9), all.size()}) {
        const std::vector<T> values(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(size));
        ByteWriter out;
        out.putRuns(values);
        ByteReader in(out.bytes());
        EXPECT_EQ(in.getRuns<T>(values.size(), [](T) { return true; }), values) << size;
        EXPECT_TRUE(in.atEnd());
    }
}

} // namespace

TEST(ByteStream, RunsComeBackExactly) {
    expectRoundTrip<std::uint8_t>();
    expectRoundTrip<std::uint16_t>();
}

TEST(ByteStream, ReadsNothingTheBytesDoNotHold) {
    ByteWriter out;
    out.putRuns(std::vector<std::uint8_t>{1, 1, 2});
    const std::string bytes = out.bytes();
    const auto any = [](std::uint8_t) { return true; };
    EXPECT_THROW(ByteReader(bytes).getRuns<std::uint8_t>(4, any), std::runtime_error); // another count
    EXPECT_THROW(ByteReader(bytes.substr(0, bytes.size() - 1)).getRuns<std::uint8_t>(3, any), std::runtime_error);
    EXPECT_THROW(ByteReader(bytes).getRuns<std::uint8_t>(3, [](std::uint8_t v) { return v != 2; }), std::runtime_error);
    // A run longer than the values left.
    ByteWriter longRun;
    longRun.put<std::uint64_t>(3);
    longRun.put<std::uint8_t>(1);
    longRun.put<std::uint64_t>(4);
    EXPECT_THROW(ByteReader(longRun.bytes()).getRuns<std::uint8_t>(3, any), std::runtime_error);
    // A vector claiming more than the bytes hold, or more than its limit.
    ByteWriter vector;
    vector.putVector(std::vector<std::uint32_t>{1, 2, 3});
    EXPECT_THROW(ByteReader(vector.bytes().substr(0, 16)).getVector<std::uint32_t>(10), std::runtime_error);
    EXPECT_THROW(ByteReader(vector.bytes()).getVector<std::uint32_t>(2), std::runtime_error);
    EXPECT_EQ(ByteReader(vector.bytes()).getVector<std::uint32_t>(3), (std::vector<std::uint32_t>{1, 2, 3}));
    // An empty vector (a map without rivers) comes back empty, and the reader is at the end.
    ByteWriter empty;
    empty.putVector(std::vector<std::uint32_t>{});
    ByteReader emptyReader(empty.bytes());
    EXPECT_TRUE(emptyReader.getVector<std::uint32_t>(3).empty());
    EXPECT_TRUE(emptyReader.atEnd());
}
