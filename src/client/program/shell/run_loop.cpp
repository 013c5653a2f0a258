// Event pumping with merged mouse motion, frame drawing, screenshots and the self-test hooks.
#include "shell/run_loop.hpp"

#include "core/files/file_write.hpp"
#include "sdl/sdl_handles.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace korvan {

namespace {

// The self-test looks at the world from above the Gulf of Guinea, at a scale that shows a continent.
constexpr Point selfTestFocus{0, 0};
constexpr double selfTestScale = 4;
constexpr double tourStopMilliseconds = 2500;
// Frames drawn at the start whatever happens: the fourth is the settled start view.
constexpr int startFrames = 4;
// The pause after a frame, which paces frames while input keeps coming.
constexpr int framePause = 8;

} // namespace

RunLoop::RunLoop(Client& client_, SDL_Renderer* renderer_, bool smoke_, std::string imagePath_,
                 std::string cityFocus_, int unitFocus_, std::string countryFocus_)
    : client(client_),
      renderer(renderer_),
      smoke(smoke_),
      imagePath(std::move(imagePath_)),
      cityFocus(std::move(cityFocus_)),
      countryFocus(std::move(countryFocus_)),
      unitFocus(unitFocus_) {}

bool RunLoop::tick() {
    try {
        if (smoke && frame == 3) {
            startSelfTest();
        }
        // Drawing changes nothing: without an event or a timed change the frame would be the last one.
        if (!pumpEvents() && !frameDue()) {
            return false;
        }
        if (timedChangeDue()) {
            client.timedChange = 0; // this frame shows it
        }
        client.render(renderer);
        if (!smoke && !imagePath.empty() && frame == 3) {
            // The fourth frame is the settled start view; it is saved before it is shown.
            screenshot(renderer, client.view.width, client.view.height, imagePath);
            client.running = false;
        }
        if (smoke && frame == 5) {
            runSelfTestChecks();
        } else if (tour && tourStop >= 0) {
            advanceTour();
        }
        SDL_RenderPresent(renderer);
        ++frame;
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        exitCode = 1;
        client.running = false;
        SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "korvan: %s", e.what());
        return false;
    }
}

void RunLoop::pause(bool drew) const {
    if (drew || frameDue()) {
        SDL_Delay(framePause);
        return;
    }
    // Peeks without taking the event: the next tick takes it with the rest of the queue.
    SDL_WaitEventTimeout(nullptr, idleWait(SDL_GetTicks(), client.timedChange));
}

bool RunLoop::frameDue() const {
    return frame < startFrames || smoke || tour || !imagePath.empty() || timedChangeDue();
}

bool RunLoop::timedChangeDue() const {
    return client.timedChange != 0 && SDL_TICKS_PASSED(SDL_GetTicks(), client.timedChange);
}

bool RunLoop::pumpEvents() {
    SDL_Event event;
    bool any = false;
    while (pollMergedEvent(event)) {
        client.event(event);
        any = true;
    }
    return any;
}

int idleWait(std::uint32_t now, std::uint32_t timedChange) {
    if (timedChange == 0) {
        return idleWaitLimit;
    }
    const auto left = static_cast<std::int32_t>(timedChange - now);
    return std::clamp(left, std::int32_t{0}, std::int32_t{idleWaitLimit});
}

bool pollMergedEvent(SDL_Event& event) {
    if (!SDL_PollEvent(&event)) {
        return false;
    }
    if (event.type != SDL_MOUSEMOTION) {
        return true;
    }
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
           next.type == SDL_MOUSEMOTION) {
        SDL_PollEvent(&next);
        event.motion.x = next.motion.x;
        event.motion.y = next.motion.y;
        event.motion.xrel += next.motion.xrel;
        event.motion.yrel += next.motion.yrel;
    }
    return true;
}

void RunLoop::startSelfTest() {
    if (client.world.map.isWorld()) {
        client.focusGeography(selfTestFocus, selfTestScale);
    }
    initialScale = client.view.camera.scale;
    probe = injectInput(client);
}

void RunLoop::runSelfTestChecks() {
    checkInjectedInput(client, probe);
    runCheckGroups(client, renderer);
    // The view after the checks, with the start options as a normal start applies them.
    if (!cityFocus.empty()) {
        client.focusCity(cityFocus);
    }
    if (unitFocus != 0) {
        client.selectUnit(unitFocus, true);
    }
    if (!countryFocus.empty()) {
        client.focusCountry(countryFocus);
    }
    client.render(renderer);
    if (!imagePath.empty()) {
        screenshot(renderer, client.view.width, client.view.height, imagePath);
    }
    const int mapWidth = client.world.map.width();
    const int mapHeight = client.world.map.height();
    reportPass("Hover, Auswahl, Zoomanker, Drag; Karte " + std::to_string(mapWidth) + "x" + std::to_string(mapHeight));
    if (tour) {
        SDL_Log("Test mode: SDL-Pruefungen bestanden (Hover, Auswahl, Zoomanker, Drag), Karte %dx%d", mapWidth,
                mapHeight);
        tourStop = 0;
        tourStep();
        tourStart = SDL_GetTicks();
    } else {
        client.running = false;
    }
}

void RunLoop::advanceTour() {
    if (SDL_GetTicks() - tourStart < static_cast<std::uint32_t>(static_cast<int>(tourStopMilliseconds / tourSpeed))) {
        return;
    }
    ++tourStop;
    if (tourStop >= tourStopCount) {
        SDL_Log("Test mode: passed");
        client.running = false;
    } else {
        tourStep();
        tourStart = SDL_GetTicks();
    }
}

void screenshot(SDL_Renderer* renderer, int width, int height, const std::string& path) {
    const SurfaceHandle surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!surface) {
        throwSdlError();
    }
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, surface->pixels, surface->pitch) != 0) {
        throwSdlError();
    }
    // Encoded in memory and written whole: a disk that fills up half-way leaves no broken picture.
    std::string bytes(std::size_t(width) * std::size_t(height) * 4 + 1024, '\0');
    SDL_RWops* memory = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    if (memory == nullptr) {
        throwSdlError();
    }
    const bool saved = SDL_SaveBMP_RW(surface.get(), memory, 0) == 0;
    const Sint64 size = SDL_RWtell(memory);
    SDL_RWclose(memory);
    if (!saved || size <= 0) {
        throwSdlError();
    }
    bytes.resize(static_cast<std::size_t>(size));
    writeFileWhole(path, bytes);
}

void push(SDL_Event event) {
    if (SDL_PushEvent(&event) < 0) {
        throwSdlError();
    }
}

} // namespace korvan
