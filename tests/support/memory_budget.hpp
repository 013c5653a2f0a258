// Running a loader under a memory budget: a small file that makes the program reserve gigabytes
// shows up as an allocation failure instead of a slow, swapping test.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define KORVAN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVAN_ADDRESS_SANITIZER 1
#endif
#endif

namespace korvan::testing {

// Runs the action in a child process whose address space may grow by at most the budget, and
// returns the message it failed with, "" when it succeeded. AddressSanitizer's shadow memory
// cannot live under an address-space limit, so under it the action runs without one.
template <typename Action>
std::string errorWithinBudget(std::size_t megabytes, Action&& action) {
    int channel[2];
    if (pipe(channel) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
#ifndef KORVAN_ADDRESS_SANITIZER
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) {
                pages = 0;
            }
            std::fclose(statm);
        }
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(megabytes) * 1024 * 1024;
        const rlimit bounds{limit, limit};
        setrlimit(RLIMIT_AS, &bounds);
#else
        static_cast<void>(megabytes);
#endif
        std::string message;
        try {
            action();
        } catch (const std::exception& error) {
            message = error.what();
        }
        std::size_t written = 0;
        while (written < message.size()) {
            const ssize_t n = write(channel[1], message.data() + written, message.size() - written);
            if (n <= 0) {
                break;
            }
            written += std::size_t(n);
        }
        _exit(0);
    }
    close(channel[1]);
    std::string message;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, std::size_t(n));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "child process ended abnormally";
    }
    return message;
}

} // namespace korvan::testing
