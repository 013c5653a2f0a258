// Name labels on their plates, drawn once into a texture and copied: a view of a hundred city
// names would otherwise fill some twenty thousand font dots every frame.
#pragma once

#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvan {

class LabelPictures {
public:
    // Draws `text` at (x, y) in `color` and `scale` on an opaque plate of `plate` colour covering
    // {x - 2, y - 2, w + 4, h + 4}, exactly as the plate and text drawn directly would look.
    void draw(SDL_Renderer* renderer, SDL_Rect label, std::string_view text, SDL_Color color, SDL_Color plate,
              int scale);

private:
    // The atlas starts at 1024 x 1024 (4 MB, some eight hundred city names) and doubles once to
    // 2048 x 2048 when it fills before its pictures were used: a view with more names than it holds.
    static constexpr int smallAtlas = 1024;
    static constexpr int largeAtlas = 2048;

    struct Key {
        std::string text;
        std::uint32_t color = 0;
        std::uint32_t plate = 0;
        int scale = 0;
        int width = 0;
        int height = 0;
    };
    struct KeyView {
        std::string_view text;
        std::uint32_t color;
        std::uint32_t plate;
        int scale;
        int width;
        int height;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(const KeyView& k) const {
            return std::hash<std::string_view>{}(k.text) ^ (std::size_t(k.color) * 0x9E3779B97F4A7C15ull) ^
                   (std::size_t(k.plate) << 7) ^ std::size_t(k.scale * 31 + k.width * 131 + k.height);
        }
        std::size_t operator()(const Key& k) const {
            return (*this)(KeyView{k.text, k.color, k.plate, k.scale, k.width, k.height});
        }
    };
    struct Equal {
        using is_transparent = void;
        static KeyView view(const Key& k) { return {k.text, k.color, k.plate, k.scale, k.width, k.height}; }
        static KeyView view(const KeyView& k) { return k; }
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            const KeyView x = view(a);
            const KeyView y = view(b);
            return x.text == y.text && x.color == y.color && x.plate == y.plate && x.scale == y.scale &&
                   x.width == y.width && x.height == y.height;
        }
    };

    bool reset(SDL_Renderer* renderer, int side = smallAtlas);
    // Room for a w x h picture on the current shelf or a new one; none when the atlas is full.
    bool allocate(int w, int h, SDL_Rect& cell);

    TextureHandle texture_;
    SDL_Renderer* renderer_ = nullptr;
    bool usable_ = false;
    int side_ = smallAtlas;
    std::size_t copiesFound_ = 0; // copies of pictures already in the atlas since it was last started
    int shelfTop_ = 0;
    int shelfHeight_ = 0;
    int shelfX_ = 0;
    std::unordered_map<Key, SDL_Rect, Hash, Equal> cells_;
};

} // namespace korvan
