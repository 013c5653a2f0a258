// Loading and drawing the flag atlas.
#include "hud/country_flags.hpp"

#include "kit/palette.hpp"

#include "core/json_values.hpp"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace korvan {

void CountryFlags::load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory) {
    std::ifstream list(dataDirectory / listFile, std::ios::binary);
    const JsonDocument document(list);
    std::vector<std::string> loadedIds;
    for (const JsonValue id : asArray(document.root(), listFile)) {
        loadedIds.emplace_back(asString(id, listFile));
    }

    SDL_RWops* file = SDL_RWFromFile((dataDirectory / imageFile).string().c_str(), "rb");
    if (!file) {
        throwSdlError();
    }
    const SurfaceHandle image(SDL_LoadBMP_RW(file, 1));
    if (!image) {
        throwSdlError();
    }
    const auto rows = static_cast<int>((loadedIds.size() + perRow - 1) / perRow);
    if (image->w != atlasWidth || image->h != flagHeight * rows) {
        throw std::runtime_error("Ungueltiger Flaggenatlas");
    }
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
