// The GL renderer probe: a forked child opens SDL's accelerated renderer, writes its GL_RENDERER
// string into a pipe and exits without cleaning up.
#include "shell/machine/renderer_probe.hpp"

#if defined(__linux__)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <utility>

namespace korvan {

std::string glRendererName(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) {
        return {};
    }
    using GetString = const unsigned char*(SDLCALL*)(unsigned int);
    constexpr unsigned int glRendererEnum = 0x1F01; // GL_RENDERER
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(glRendererEnum) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : "";
}

RendererProbe::RendererProbe(RendererProbe&& other) noexcept
    : child_(std::exchange(other.child_, -1)), pipe_(std::exchange(other.pipe_, -1)), read_(other.read_),
      name_(std::move(other.name_)) {}

#if defined(__linux__)

namespace {

void silent(void*, int, SDL_LogPriority, const char*) {}

// The child's whole life: it shares the parent's log file and standard streams, so it writes
// nothing but the pipe, and leaves by _exit so no buffer or destructor of the parent's runs twice.
[[noreturn]] void probeInChild(int out) {
    SDL_LogSetOutputFunction(silent, nullptr);
    std::string name;
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        if (SDL_Window* window = SDL_CreateWindow("", 0, 0, 64, 64, SDL_WINDOW_HIDDEN)) {
            if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) {
                name = glRendererName(renderer);
            }
        }
    }
    std::size_t written = 0;
    while (written < name.size()) {
        const ssize_t n = write(out, name.data() + written, name.size() - written);
        if (n <= 0 && errno != EINTR) {
            break;
        }
        written += n > 0 ? std::size_t(n) : 0;
    }
    _exit(0);
}

} // namespace

RendererProbe RendererProbe::start() {
    RendererProbe probe;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return probe;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        probeInChild(ends[1]);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return probe;
    }
    probe.child_ = child;
    probe.pipe_ = ends[0];
    return probe;
}

const std::string& RendererProbe::glRenderer() {
    if (!read_ && pipe_ >= 0) {
        // A driver that hangs costs at most this long; then the child is ended and the string is "".
        constexpr int patienceMs = 10000;
        char buffer[512];
        for (;;) {
            pollfd ready{pipe_, POLLIN, 0};
            const int polled = poll(&ready, 1, patienceMs);
            if (polled < 0 && errno == EINTR) {
                continue;
            }
            if (polled <= 0) {
                kill(child_, SIGKILL);
                name_.clear();
                break;
            }
            const ssize_t n = read(pipe_, buffer, sizeof buffer);
            if (n > 0 && name_.size() < 4096) {
                name_.append(buffer, std::size_t(n));
            } else if (n == 0 || (n < 0 && errno != EINTR)) {
                break;
            }
        }
        close(pipe_);
        pipe_ = -1;
    }
    read_ = true;
    return name_;
}

RendererProbe::~RendererProbe() {
    if (pipe_ >= 0) {
        close(pipe_);
    }
    if (child_ > 0) {
        while (waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

#else

RendererProbe RendererProbe::start() { return {}; }

const std::string& RendererProbe::glRenderer() {
    read_ = true;
    return name_;
}

RendererProbe::~RendererProbe() = default;

#endif

} // namespace korvan
