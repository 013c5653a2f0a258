// The city marker sprites: one general marker and four size-class markers, drawn at any size.
#pragma once

#include "core/hex.hpp"
#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace korvan {

struct CityGraphics {
    static constexpr const char* markerFile = "city-marker.bmp";
    static constexpr const char* sizesFile = "city-size-markers.bmp";
    static constexpr int cell = 256;        // every marker is a 256 x 256 cell
    static constexpr int generalStyle = -1; // any style outside 0..3 draws the general marker

    // Load an image from the data directory into texture (256 x 256) or sizes (1024 x 256). A file
    // of another size or without alpha throws "Ungueltige Stadtgrafik" or
    // "Ungueltige Stadtgroessen-Grafik"; an unreadable one SDL's error.
    void load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory, const std::string& fileName);
    void loadSizes(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory, const std::string& fileName);

    // A marker of size x size pixels centred at center: the size-class cell for a style of 0 to 3
    // when the size markers are loaded, else the general marker. Nothing before a marker is loaded.
    void draw(SDL_Renderer* renderer, Point center, double size, int style) const;

    // The size class of a population: 0 below 20 000, 1 below 100 000, 2 below a million, else 3.
    static int sizeStyle(std::int64_t population);

    TextureHandle texture;
    TextureHandle sizes;
};

} // namespace korvan
