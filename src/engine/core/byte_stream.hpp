// Plain values and arrays as bytes in this machine's layout, for a cache this machine reads back:
// written in order, read back with every length checked against what is left.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace korvan {

class ByteWriter {
public:
    template <typename T>
    void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    template <typename T>
    void putVector(const std::vector<T>& values) {
        static_assert(std::is_trivially_copyable_v<T>);
        put<std::uint64_t>(values.size());
        bytes_.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
    }
    // As runs of equal values: a map's rows are long runs of one terrain or one owner.
    template <typename T>
    void putRuns(const std::vector<T>& values) {
        static_assert(std::is_integral_v<T> && 8 % sizeof(T) == 0);
        put<std::uint64_t>(values.size());
        const std::size_t n = values.size();
        for (std::size_t k = 0; k < n;) {
            // Eight bytes at a time through the long runs, then value by value.
            T pattern[8 / sizeof(T)];
            std::fill(std::begin(pattern), std::end(pattern), values[k]);
            std::uint64_t word;
            std::memcpy(&word, pattern, sizeof word);
            std::size_t end = k + 1;
            for (std::uint64_t next; end + 8 / sizeof(T) <= n; end += 8 / sizeof(T)) {
                std::memcpy(&next, values.data() + end, sizeof next);
                if (next != word) {
                    break;
                }
            }
            while (end < n && values[end] == values[k]) {
                ++end;
            }
            put(values[k]);
            put<std::uint64_t>(end - k);
            k = end;
        }
    }
    void putText(std::string_view text) {
        put<std::uint64_t>(text.size());
        bytes_.append(text);
    }
    std::string& bytes() { return bytes_; }
    // Room for this many more bytes, so a big part is not copied while it grows.
    void reserve(std::size_t more) { bytes_.reserve(bytes_.size() + more); }

private:
    std::string bytes_;
};

// Every read past the end, and every count above its limit, throws.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : rest_(bytes) {}

    template <typename T>
    T get() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value;
        std::memcpy(&value, take(sizeof value), sizeof value);
        return value;
    }
    template <typename T>
    std::vector<T> getVector(std::size_t maxCount) {
        const std::uint64_t count = get<std::uint64_t>();
        if (count > maxCount || count > rest_.size() / sizeof(T)) {
            fail();
        }
        std::vector<T> values(count);
        if (count > 0) { // an empty vector's data() may be null, which memcpy must never get
            std::memcpy(values.data(), take(count * sizeof(T)), count * sizeof(T));
        }
        return values;
    }
    // Exactly `count` values, as putRuns wrote them, each one `valid` accepts.
    template <typename T, typename Valid>
    std::vector<T> getRuns(std::size_t count, Valid&& valid) {
        if (get<std::uint64_t>() != count) {
            fail();
        }
        std::vector<T> values;
        values.reserve(count);
        while (values.size() < count) {
            const T value = get<T>();
            const std::uint64_t run = get<std::uint64_t>();
            if (run == 0 || run > count - values.size() || !valid(value)) {
                fail();
            }
            values.insert(values.end(), run, value);
        }
        return values;
    }
    std::string getText(std::size_t maxSize) {
        const std::uint64_t size = get<std::uint64_t>();
        if (size > maxSize) {
            fail();
        }
        return std::string(take(size), size);
    }
    bool atEnd() const { return rest_.empty(); }
    [[noreturn]] static void fail() { throw std::runtime_error("Zwischenspeicher unvollstaendig oder beschaedigt"); }

private:
    const char* take(std::size_t size) {
        if (size > rest_.size()) {
            fail();
        }
        const char* at = rest_.data();
        rest_.remove_prefix(size);
        return at;
    }

    std::string_view rest_;
};

} // namespace korvan
