// Runs a shell command line (korvan.bin with pipes, limits or redirections) in a child process
// under a time budget and reports how it ended and its peak memory.
#pragma once

#include "memory_budget.hpp"
#include "program_runner.hpp"

#include <chrono>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korvan::testing {

struct BudgetedRun {
    ProgramRun run;
    bool finished = false;       // ended by itself within the time budget
    double seconds = 0;          // wall time until it ended or was stopped
    long peakMegabytes = 0;      // the largest resident size of the command's processes
};

// Runs `sh -c command` with standard output and error captured; a run still going after
// `seconds` is killed with its process group. The address space of each process is limited to
// addressMegabytes (not under AddressSanitizer), so a run-away allocation fails instead of
// swapping the machine.
inline BudgetedRun runWithin(const std::string& command, double seconds, std::size_t addressMegabytes = 4096) {
    const ScratchDirectory scratch("budgeted");
    const auto out = scratch / "out.txt";
    const auto err = scratch / "err.txt";
    const std::string line = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy; export SDL_VIDEODRIVER SDL_AUDIODRIVER; " +
                             command + " > '" + out.string() + "' 2> '" + err.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
#ifndef KORVAN_ADDRESS_SANITIZER
        const rlim_t limit = rlim_t(addressMegabytes) << 20;
        const rlimit bounds{limit, limit};
        setrlimit(RLIMIT_AS, &bounds);
#else
        static_cast<void>(addressMegabytes);
#endif
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    BudgetedRun result;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (done == child) {
            result.finished = true;
            result.seconds = elapsed;
            break;
        }
        if (done < 0 || elapsed > seconds) {
            kill(-child, SIGKILL);
            wait4(child, &status, 0, &usage);
            result.seconds = elapsed;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The shell's usage includes that of the processes it waited for, korvan.bin among them.
    result.peakMegabytes = usage.ru_maxrss / 1024;
    result.run.exitCode = result.finished && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.run.out = readFile(out);
    result.run.err = readFile(err);
    return result;
}

} // namespace korvan::testing
