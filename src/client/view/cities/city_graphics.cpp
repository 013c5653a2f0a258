// Loading and drawing the city marker sprites.
#include "cities/city_graphics.hpp"

#include "sdl/bmp_file.hpp"

#include <stdexcept>

namespace korvan {

namespace {

// A BMP of exactly width x height pixels with an alpha mask, as a blended, linearly scaled texture.
TextureHandle loadSprite(SDL_Renderer* renderer, const std::filesystem::path& file, int width, int height,
                         const char* invalid) {
    const SurfaceHandle surface = loadBmpFile(file, {width, height, true}, invalid);
    if (surface->format->Amask == 0) {
        throw std::runtime_error(file.string() + ": " + invalid + " (ohne Alphakanal)");
    }
    TextureHandle texture(SDL_CreateTextureFromSurface(renderer, surface.get()));
    if (!texture || SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND) != 0 ||
        SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeLinear) != 0) {
        throwSdlError();
    }
    return texture;
}

} // namespace

void CityGraphics::load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory,
                        const std::string& fileName) {
    texture = loadSprite(renderer, dataDirectory / fileName, cell, cell, "Ungueltige Stadtgrafik");
}

void CityGraphics::loadSizes(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory,
                             const std::string& fileName) {
    sizes = loadSprite(renderer, dataDirectory / fileName, 4 * cell, cell, "Ungueltige Stadtgroessen-Grafik");
}

void CityGraphics::draw(SDL_Renderer* renderer, Point center, double size, int style) const {
    const SDL_FRect area{static_cast<float>(center.x - size / 2), static_cast<float>(center.y - size / 2),
                         static_cast<float>(size), static_cast<float>(size)};
    int result = 0;
    if (style >= 0 && style <= 3 && sizes) {
        const SDL_Rect source{cell * style, 0, cell, cell};
        result = SDL_RenderCopyF(renderer, sizes.get(), &source, &area);
    } else if (texture) {
        result = SDL_RenderCopyF(renderer, texture.get(), nullptr, &area);
    }
    if (result != 0) {
        throwSdlError();
    }
}

int CityGraphics::sizeStyle(std::int64_t population) {
    if (population < 20'000) {
        return 0;
    }
    if (population < 100'000) {
        return 1;
    }
    return population < 1'000'000 ? 2 : 3;
}

} // namespace korvan
