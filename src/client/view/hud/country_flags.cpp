// Loading and drawing the flag atlas.
#include "hud/country_flags.hpp"

#include "kit/palette.hpp"

#include "geography/flag_list.hpp"
#include "sdl/bmp_file.hpp"

#include <algorithm>

namespace korvan {

void CountryFlags::load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory) {
    std::vector<std::string> loadedIds = loadFlagList(dataDirectory / listFile);
    const auto rows = static_cast<int>((loadedIds.size() + perRow - 1) / perRow);
    const SurfaceHandle image = loadBmpFile(dataDirectory / imageFile, {atlasWidth, flagHeight * rows, false},
                                            "Ungueltiger Flaggenatlas");
    TextureHandle created(SDL_CreateTextureFromSurface(renderer, image.get()));
    if (!created) {
        throwSdlError();
    }
    texture = std::move(created);
    ids = std::move(loadedIds);
}

std::optional<std::size_t> CountryFlags::cellOf(const std::string& id) const {
    const auto found = std::find(ids.begin(), ids.end(), id);
    if (found == ids.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - ids.begin());
}

void CountryFlags::draw(SDL_Renderer* renderer, const std::string& id, int x, int y) const {
    const auto cell = cellOf(id);
    if (!cell || !texture) {
        return;
    }
    const SDL_Rect frame{x - 1, y - 1, flagWidth + 2, flagHeight + 2};
    SDL_SetRenderDrawColor(renderer, muted.r, muted.g, muted.b, muted.a);
    SDL_RenderDrawRect(renderer, &frame);
    const int i = static_cast<int>(*cell);
    const SDL_Rect source{flagWidth * (i % perRow), flagHeight * (i / perRow), flagWidth, flagHeight};
    const SDL_Rect target{x, y, flagWidth, flagHeight};
    if (SDL_RenderCopy(renderer, texture.get(), &source, &target) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
