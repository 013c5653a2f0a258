// The GL renderer string, asked for in a short-lived child process: a GL driver that rasters on the
// CPU (Mesa's llvmpipe and its LLVM, some 130 MB) then never maps into the program itself.
#pragma once

#include <SDL.h>

#include <string>
#include <sys/types.h>

namespace korvan {

// The GL_RENDERER string of an OpenGL renderer just created (its context is current), or "".
std::string glRendererName(SDL_Renderer* renderer);

class RendererProbe {
public:
    // Starts the child, which opens a hidden window with SDL's accelerated renderer and sends back
    // its GL renderer string. Call before SDL_Init and before any thread starts (it forks). Starts
    // nothing where the process cannot be forked safely (other systems than Linux).
    static RendererProbe start();

    RendererProbe() = default;
    RendererProbe(RendererProbe&& other) noexcept;
    RendererProbe& operator=(RendererProbe&&) = delete;
    RendererProbe(const RendererProbe&) = delete;
    ~RendererProbe(); // reaps the child

    bool started() const { return child_ > 0; }
    // The string the child sent; waits for it. "" when the child found no OpenGL renderer or failed.
    const std::string& glRenderer();

private:
    pid_t child_ = -1;
    int pipe_ = -1;
    bool read_ = false;
    std::string name_;
};

} // namespace korvan
