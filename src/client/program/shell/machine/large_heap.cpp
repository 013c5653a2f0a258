// Reserving the heap at start and asking for huge pages for it (Linux with glibc only).
#include "shell/machine/large_heap.hpp"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define KORVAN_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define KORVAN_OWN_ALLOCATOR 1
#endif
#endif

namespace korvan {

#if defined(__linux__) && defined(__GLIBC__) && !defined(KORVAN_OWN_ALLOCATOR)

void prepareLargeHeap() {
    constexpr std::size_t block = std::size_t(16) << 20;
    constexpr std::size_t blocks = 24; // 384 MB of address space; only what is used becomes memory
    constexpr std::uintptr_t hugePage = std::uintptr_t(2) << 20;

    // One heap for all threads (the play grid is derived on a second one), grown by the program
    // break instead of separate mappings for large blocks (32 MB is glibc's largest threshold),
    // and never shrunk again: what start-up frees is reused by the next table.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);

    auto* const first = static_cast<char*>(sbrk(0));
    std::array<void*, blocks> reserved{};
    for (void*& p : reserved) {
        p = std::malloc(block); // address space only: nothing is written
    }
    for (void* p : reserved) {
        std::free(p);
    }
    auto* const last = static_cast<char*>(sbrk(0));
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(first) + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(last) & ~(hugePage - 1);
    if (end > start) {
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE); // a refusal only costs speed
    }
}

#else

void prepareLargeHeap() {}

#endif

} // namespace korvan
