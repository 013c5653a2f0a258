// The flag atlas: 32 x 24 pixel flags, 16 to a row of a 512 pixel wide picture, named by the
// country identifiers of a list in atlas order.
#pragma once

#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

struct CountryFlags {
    static constexpr const char* listFile = "flags.json";
    static constexpr const char* imageFile = "flags.bmp";
    static constexpr int flagWidth = 32;
    static constexpr int flagHeight = 24;
    static constexpr int perRow = 16;
    static constexpr int atlasWidth = flagWidth * perRow;

    // Reads both files from the data directory, replacing the atlas in use only when both are good.
    // Either fails naming its file; a picture of another size than the list needs with
    // "Ungueltiger Flaggenatlas".
    void load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory);
    // The flag of id with its top-left corner at (x, y), in a one-pixel frame; nothing for an
    // identifier without a flag.
    void draw(SDL_Renderer* renderer, const std::string& id, int x, int y) const;
    // The atlas cell of id: the first entry of ids that equals it.
    std::optional<std::size_t> cellOf(const std::string& id) const;

    TextureHandle texture;
    std::vector<std::string> ids;
};

} // namespace korvan
