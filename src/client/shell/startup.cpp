// Start-up in its fixed order: options, log, SDL, data directory, map, window, renderer, client, data layers.
#include "shell/startup.hpp"

#include "geography/city_anchors.hpp"
#include "client/client.hpp"
#include "shell/benchmark_modes.hpp"
#include "shell/command_line.hpp"
#include "shell/log_output.hpp"
#include "shell/run_loop.hpp"
#include "shell/self_test.hpp"
#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>

namespace korvan {

namespace {

// The fixed text of the log's first line; --version prints the configured version (versionLine).
constexpr const char* versionText = "0.0.0-53-g1826b7c";
constexpr const char* windowTitle = "Brannok: Varnholt | M3";
constexpr int windowWidth = 1280;
constexpr int windowHeight = 850;
constexpr int minimumWidth = 1000;
constexpr int minimumHeight = 800;

RendererHandle createRenderer(SDL_Window* window) {
    RendererHandle renderer(SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    if (!renderer) {
        renderer.reset(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
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

// The city list complete: urban centres join it, the parameters apply, and urban centres get their
// fields of the loaded map as anchors. Needs only the loaded map.
void completeCities(Client& client, const std::filesystem::path& dataDirectory) {
    client.urbanAreas = UrbanAreas::load(dataDirectory / "urban.json");
    client.urbanCityIndices = mergeUrbanCenters(client.cities, client.urbanAreas);
    applyCityParameters(client.cities, dataDirectory / "city-parameters.json");
    client.cityAnchors.assign(client.cities.size(), std::nullopt);
    if (!client.map.isWorld()) {
        return;
    }
    const auto anchors = cityTileAnchors(client.map, client.urbanAreas);
    for (std::size_t j = 0; j < anchors.size(); ++j) {
        client.cityAnchors[client.urbanCityIndices[j]] = anchors[j];
    }
}

// Cities on the play grid: anchored cities take their fields (two on one field is an error), cities
// on water get a point on the nearest shore.
void placeCitiesOnGrid(Client& client) {
    if (!client.map.isWorld()) {
        return;
    }
    CityFieldPlacement placement = placeAnchoredCities(client.gameMap(), client.cityAnchors);
    client.cityCenters = std::move(placement.centers);
    client.cityFields = std::move(placement.fields);
    client.cityShore.assign(client.cities.size(), std::nullopt);
    for (std::size_t k = 0; k < client.cities.size(); ++k) {
        if (!client.cityAnchors[k]) {
            client.cityShore[k] = shorePoint(client.gameMap(), client.cityWorld(k));
        }
    }
}

// The layers that need only the world map, in their fixed order: they load while the play grid is
// being derived. A custom map (--map) plays no scenario: it has no water territories, river names or
// country grid.
void loadWorldLayers(Client& client, SDL_Renderer* renderer, const std::filesystem::path& dataDirectory,
                     const std::filesystem::path& mapPath, bool customMap) {
    if (client.map.isWorld()) {
        client.countries = Countries::load(dataDirectory / "countries.json");
    }
    if (!customMap) {
        client.waterTerritories =
            WaterTerritories::load(client.map, client.countries, dataDirectory / "water-territories.json");
    }
    client.seas = Seas::load(dataDirectory / "seas.json");
    client.lakes = Seas::load(dataDirectory / "lakes.json");
    if (!customMap) {
        client.riverNames = RiverNames::load(client.map, dataDirectory / "river-names.json");
    }
    client.bridgeNames = BridgeNames::load(client.map, mapPath);
    client.flags.load(renderer, dataDirectory);
    client.terrainArt.load(renderer, dataDirectory);
    client.cityGraphics.load(renderer, dataDirectory, CityGraphics::markerFile);
    client.cityGraphics.loadSizes(renderer, dataDirectory, CityGraphics::sizesFile);
}

} // namespace

std::unique_ptr<Client> createClient(Map world, SDL_Renderer* renderer, const std::filesystem::path& dataDirectory,
                                     const std::filesystem::path& mapPath, bool customMap) {
    std::vector<City> cities = world.isWorld() ? loadCities(dataDirectory / "cities.json") : std::vector<City>{};
    auto client = std::make_unique<Client>(std::move(world), std::move(cities), Client::PlayGridLater{});
    client->dataDirectory = dataDirectory;
    // The play grid is the longest step of start-up: it is derived on a second thread while
    // everything that needs only the loaded map is read and built here. Errors still come in the
    // order of the steps, whatever finished first: the grid's, then the units' (which need the
    // grid), then those of the files loaded meanwhile, of placing the cities on the grid, and of
    // the country grid.
    const Map& worldMap = client->map;
    std::future<std::optional<Map>> grid = std::async(std::launch::async, [&worldMap] { return playGridFor(worldMap); });
    std::exception_ptr filesFailure;
    std::exception_ptr countryGridFailure;
    try {
        loadWorldLayers(*client, renderer, dataDirectory, mapPath, customMap);
        completeCities(*client, dataDirectory);
    } catch (...) {
        filesFailure = std::current_exception();
    }
    if (!filesFailure && !customMap && client->map.isWorld()) {
        try {
            client->countryGrid =
                CountryGrid::build(client->map, client->countries, &client->waterTerritories, client->cities);
        } catch (...) {
            countryGridFailure = std::current_exception();
        }
    }
    client->setPlayGrid(grid.get());
    if (!customMap) {
        client->army = Army::load(client->gameMap(), dataDirectory / "units.json");
    }
    if (filesFailure) {
        std::rethrow_exception(filesFailure);
    }
    placeCitiesOnGrid(*client);
    if (countryGridFailure) {
        std::rethrow_exception(countryGridFailure);
    }
    if (!customMap) {
        client->battle = Battle::load(client->gameMap(), client->army, dataDirectory / "battles.json");
    }
    client->updateHover();
    return client;
}

namespace {

// Everything after the options: returns the exit code, throws for start-up errors.
int startAndRun(const Options& options) {
    if (!options.logPath.empty()) {
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
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        throwSdlError();
    }
    const SdlLifetime sdl;
    const SdlText basePath(SDL_GetBasePath());
    if (!basePath) {
        throwSdlError();
    }
    const std::filesystem::path dataDirectory = std::filesystem::path(basePath.get()) / "data";
    const bool customMap = !options.mapPath.empty();
    const std::filesystem::path mapPath = customMap ? std::filesystem::path(options.mapPath) : dataDirectory / "world.json";
    Map world = Map::load(mapPath);

    const WindowHandle window(SDL_CreateWindow(windowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                                               windowHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE));
    if (!window) {
        throwSdlError();
    }
    SDL_SetWindowMinimumSize(window.get(), minimumWidth, minimumHeight);
    const RendererHandle renderer = createRenderer(window.get());

    const auto client = createClient(std::move(world), renderer.get(), dataDirectory, mapPath, customMap);
    if (options.smoke && client->map.isWorld()) {
        checkStartView(*client);
    }
    if (unitFocus != 0 && client->army.find(unitFocus) == nullptr) {
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

    RunLoop loop(*client, renderer.get(), options.smoke, options.screenshotPath, options.cityFocus, unitFocus,
                 options.countryFocus);
    loop.tour = options.testMode;
    loop.tourSpeed = options.tourSpeed;
    while (client->running) {
        loop.tick();
        SDL_Delay(8);
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
        if (options.help) {
            std::fputs(usageText, stdout);
            return 0;
        }
        if (options.version) {
            std::fputs(versionLine, stdout);
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
