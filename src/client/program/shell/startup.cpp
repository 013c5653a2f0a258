// Start-up: options, log, SDL and the data directory; then the world loads on its own thread while the
// window, the renderer and the images are made; then the client, the focus options and the run loop.
#include "shell/startup.hpp"

#include "shell/client.hpp"
#include "operations/operation.hpp"
#include "modes/benchmark_modes.hpp"
#include "shell/command_line.hpp"
#include "shell/log_output.hpp"
#include "shell/machine/renderer_choice.hpp"
#include "shell/machine/program_identity.hpp"
#include "shell/machine/renderer_probe.hpp"
#include "shell/run_loop.hpp"
#include "modes/self_test.hpp"
#include "sdl/sdl_handles.hpp"
#include "world/world_cache.hpp"

#include <SDL.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

namespace korvan {

namespace {

// The fixed text of the log's first line; --version prints the configured version (versionLine).
constexpr const char* versionText = "0.0.0-53-g1826b7c";
constexpr const char* windowTitle = "Brannok: Varnholt | M3";
constexpr int windowWidth = 1280;
constexpr int windowHeight = 850;
constexpr int minimumWidth = 1000;
constexpr int minimumHeight = 800;

WindowHandle createWindow() {
    WindowHandle window(SDL_CreateWindow(windowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                                         windowHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE));
    if (!window) {
        throwSdlError();
    }
    SDL_SetWindowMinimumSize(window.get(), minimumWidth, minimumHeight);
    return window;
}

// Whether this machine may have a GPU; assumed where its devices cannot be looked at.
bool graphicsDeviceOnThisMachine() {
#if defined(__linux__)
    return graphicsDevicePresent("/dev");
#else
    return true;
#endif
}

void logSoftwareChoice(const std::string& gpu) {
    if (gpu.empty()) {
        SDL_Log("Renderer: kein Grafikgeraet gefunden, daher SDL-Software-Renderer");
    } else {
        SDL_Log("Renderer: OpenGL rastert hier auf der CPU (%s), daher SDL-Software-Renderer", gpu.c_str());
    }
    // Shown through the window surface itself, not through one more GL texture upload.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
}

// The accelerated renderer, or SDL's software renderer where the accelerated one rasterises on the
// CPU. Without a graphics device it can do nothing else (noGpu). Otherwise the probe's child tells
// without loading the GL driver here; without a probe the GL renderer is made and asked, and then the
// window is made anew, which lets SDL unload the driver.
RendererHandle createRenderer(WindowHandle& window, RendererProbe& probe, bool noGpu) {
    const char* userDriver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    RendererHandle renderer;
    if (noGpu) {
        logSoftwareChoice({});
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    } else if (probe.started() && preferSoftwareRenderer(userDriver, probe.glRenderer())) {
        logSoftwareChoice(probe.glRenderer());
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    } else {
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    }
    // Without the probe's answer (no fork here, or its child failed) the renderer is asked itself.
    if (renderer && !noGpu && (!probe.started() || probe.glRenderer().empty())) {
        const std::string gpu = glRendererName(renderer.get());
        if (preferSoftwareRenderer(userDriver, gpu)) {
            logSoftwareChoice(gpu);
            renderer.reset();
            window.reset();
            window = createWindow();
            renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
        }
    }
    if (!renderer) {
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    }
    if (!renderer) {
        throwSdlError();
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer.get(), &info) == 0) {
        SDL_Log("Renderer: %s%s", info.name, (info.flags & SDL_RENDERER_SOFTWARE) ? " (software)" : "");
    }
    return renderer;
}

// Generates the operation around a city and writes its two files, without a window.
void exportOperationFiles(const WorldSources& sources, const std::string& cityName, const std::filesystem::path& folder) {
    const LoadedWorld loaded = World::load(sources);
    const std::size_t city = cityNamed(loaded.world, cityName);
    const GeneratedOperation operation = generateOperation(loaded.world, loaded.scenario.army.types(), city);
    exportOperation(operation, folder);
    SDL_Log("%s: units.json und battles.json in %s geschrieben", operation.name.c_str(), folder.string().c_str());
}

} // namespace

std::unique_ptr<Client> createClient(SDL_Renderer* renderer, const WorldSources& sources) {
    auto client = std::make_unique<Client>(World::load(sources));
    Images images;
    images.load(renderer, sources.dataDirectory);
    client->mapView.setImages(std::move(images));
    return client;
}

namespace {

// Everything after the options: returns the exit code, throws for start-up errors.
int startAndRun(const Options& options) {
    if (!options.logPath.empty()) {
        logFilePath = options.logPath;
        logFile.open(options.logPath, std::ios::out | std::ios::trunc);
        if (!logFile) {
            throw UsageError("Log-Datei kann nicht angelegt werden: " + options.logPath);
        }
    }
    SDL_Log("Korvan %s", versionText);
    if (options.testMode) {
        SDL_Log("Test mode: Pruefungen und Tour ueber die Karte");
    }
    const int unitFocus = options.unitText.empty() ? 0 : parseUnitId(options.unitText);

    // The software renderer draws into the window surface itself; by default SDL would still show
    // that surface through an accelerated texture, one more full-window upload per frame (most of a
    // frame's time on a headless or GPU-less machine). An explicit setting of the hint still wins.
    if (const char* driver = SDL_getenv("SDL_RENDER_DRIVER"); driver && SDL_strcasecmp(driver, "software") == 0) {
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    }
    // Only the default choice needs the GL renderer's name; the child must start before SDL and
    // before the world's thread. On a machine without a graphics device there is nothing to ask: the
    // child's GL driver would only compete with the world's loading for the processor.
    const char* userDriver = SDL_getenv("SDL_RENDER_DRIVER");
    const bool defaultChoice = (userDriver == nullptr || *userDriver == '\0') && options.exportOperationPath.empty();
    const bool noGpu = defaultChoice && !graphicsDeviceOnThisMachine();
    RendererProbe probe = defaultChoice && !noGpu ? RendererProbe::start() : RendererProbe();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        throwSdlError();
    }
    const SdlLifetime sdl;
    const SdlText basePath(SDL_GetBasePath());
    if (!basePath) {
        throwSdlError();
    }
    WorldSources sources{std::filesystem::path(basePath.get()) / "data", options.mapPath, !options.mapPath.empty()};
    if (const std::filesystem::path cache = userCacheDirectory(); !cache.empty()) {
        sources.cacheFile = cache / "world.bin";
        sources.programIdentity = programIdentity();
    }
    if (!options.exportOperationPath.empty()) {
        exportOperationFiles(sources, options.operationCity, options.exportOperationPath);
        return 0;
    }

    // The world loads on a thread of its own while the window, the renderer and the images are made
    // here (SDL wants them on this thread). The world's errors are reported first, as its files come
    // first in the data directory's order.
    std::future<LoadedWorld> loading = std::async(std::launch::async, [&sources] { return World::load(sources); });
    WindowHandle window;
    RendererHandle renderer;
    Images images;
    std::exception_ptr displayFailure;
    try {
        window = createWindow();
        renderer = createRenderer(window, probe, noGpu);
        images.load(renderer.get(), sources.dataDirectory);
    } catch (...) {
        displayFailure = std::current_exception();
    }
    LoadedWorld loaded = loading.get();
    // A world derived afresh is written to the cache beside the first frames; the program waits for
    // it before it ends, so no half-written file stays behind.
    std::jthread cacheWriter;
    if (!loaded.cacheParts.empty()) {
        cacheWriter = std::jthread([parts = std::move(loaded.cacheParts), key = loaded.cacheKey, file = sources.cacheFile] {
            writeWorldCache(file, key, parts);
        });
    }
    if (displayFailure) {
        std::rethrow_exception(displayFailure);
    }
    const auto client = std::make_unique<Client>(std::move(loaded));
    client->mapView.setImages(std::move(images));
    if (options.smoke && client->world.map.isWorld()) {
        checkStartView(*client);
    }
    if (!options.operationCity.empty()) {
        client->startOperation(options.operationCity);
    }
    if (!options.loadPath.empty()) {
        client->game.loadFile(options.loadPath);
        SDL_Log("Spielstand geladen: %s (%s)", options.loadPath.c_str(), client->game.battle->status().c_str());
    }
    if (unitFocus != 0 && client->game.army.find(unitFocus) == nullptr) {
        throw std::runtime_error("Einheit nicht gefunden");
    }
    // Not in smoke mode, --city, --unit and --country are focused here, in this order; the self-test
    // applies them itself later.
    if (!options.smoke) {
        if (!options.cityFocus.empty()) {
            client->focusCity(options.cityFocus);
        }
        if (unitFocus != 0) {
            client->selectUnit(unitFocus, true);
        }
        if (!options.countryFocus.empty()) {
            client->focusCountry(options.countryFocus);
        }
    }

    if (options.benchmarkPan || options.benchmarkZoom) {
        runBenchmark(*client, renderer.get(), options.benchmarkZoom ? BenchmarkKind::Zoom : BenchmarkKind::Pan,
                     options.cityFocus, std::cout);
        return 0;
    }

    client->autosave = !options.smoke && options.screenshotPath.empty();
    RunLoop loop(*client, renderer.get(), options.smoke, options.screenshotPath, options.cityFocus, unitFocus,
                 options.countryFocus);
    loop.tour = options.testMode;
    loop.tourSpeed = options.tourSpeed;
    while (client->running) {
        const bool drew = loop.tick();
        // After the last frame there is nothing to pace.
        if (client->running) {
            loop.pause(drew);
        }
    }
    if (options.testMode && loop.exitCode != 0) {
        SDL_Log("Test mode: failed");
    }
    return loop.exitCode;
}

} // namespace

int runProgram(int argc, char** argv) {
    SDL_LogSetOutputFunction(logOutput, nullptr);
    bool testMode = false;
    try {
        const Options options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help || options.version) {
            std::fputs(options.help ? usageText : versionLine, stdout);
            // Output that cannot be written (a full device, a closed pipe) is a failure.
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "korvan: Ausgabe kann nicht geschrieben werden");
                return 1;
            }
            return 0;
        }
        testMode = options.testMode;
        return startAndRun(options);
    } catch (const UsageError& e) {
        SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "korvan: %s", e.what());
        return 2;
    } catch (const std::exception& e) {
        SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "korvan: %s", e.what());
        if (testMode) {
            SDL_Log("Test mode: failed");
        }
        return 1;
    }
}

} // namespace korvan
