// The river layer: the visible river sides of the game map as ribbons, cached as a texture.
#include "water/river_layer.hpp"

#include "sdl/draw_pass.hpp"
#include "sdl/window_pixels.hpp"
#include "sdl/output_format.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvan {

namespace {

// Ribbon width per world unit of physical scale, by width class 1 to 3.
constexpr std::array<double, 4> widthFactor{0.1, 0.1, 0.16, 0.28};
// Below this a river would vanish between pixels; wider classes keep more, so the great rivers
// stand out from their tributaries at every zoom.
constexpr std::array<double, 4> minimumRiverWidth{1.2, 1.2, 2.0, 3.0};
// Sides just outside the map area still shape the smoothed lines that enter it.
constexpr double viewMargin = 6;

} // namespace

std::size_t riverSourceOf(const World& world, std::size_t gridEdge) {
    if (!world.playGrid) {
        return gridEdge;
    }
    const auto& sources = world.playGrid->riverSources(gridEdge);
    const auto& rivers = world.map.rivers();
    const auto bridged = std::find_if(sources.begin(), sources.end(),
                                      [&](std::size_t s) { return s < rivers.size() && rivers[s].bridge; });
    if (bridged != sources.end()) {
        return *bridged;
    }
    return sources.empty() ? 0 : sources.front();
}

namespace {

// Puts into out the river sides that can shape what is drawn between the screen points lo and hi,
// with their sources deferred.
void collectSides(RiverGraphics& out, RiverIndex& sides, const Map& game, unsigned generation, const Camera& view,
                  double scale, Point lo, Point hi) {
    out.clear();
    const Point worldLo = view.toWorld(lo) - Point{viewMargin, viewMargin};
    const Point worldHi = view.toWorld(hi) + Point{viewMargin, viewMargin};
    sides.forSegments(
        game, generation, worldLo, worldHi, [&](Point a, Point b, const RiverEdge& edge, std::size_t index) {
            const int kind = std::clamp<int>(edge.widthClass, 1, 3);
            const double w = std::max(scale * widthFactor[kind], minimumRiverWidth[kind]);
            out.add(a, b, view.toScreen(a), view.toScreen(b), w, edge.bridge, index, index);
        });
    out.deferSources();
}

} // namespace

void RiverLayer::gatherView(const Scene& scene) {
    const World& world = scene.world;
    const ViewState& view = scene.view;
    const ViewKey key = view.viewKey();
    if (sidesKey_ != key) {
        // Drawing needs no sources; graphics() looks them up when a hit test asks.
        collectSides(sides_, index_, world.gameMap(), world.generation, view.gameCamera(), view.physicalScale(),
                     {0, double(topbarHeight)},
                     {double(view.width - sidebarWidth), double(view.height - footerHeight)});
        sidesKey_ = key;
    }
}

const RiverGraphics& RiverLayer::graphics(const Scene& scene) {
    const World& world = scene.world;
    gatherView(scene);
    sides_.resolveSources([&world](std::size_t index) { return riverSourceOf(world, index); });
    return sides_;
}

const RiverGraphics& RiverLayer::graphicsNear(const Scene& scene, Point screen) {
    const World& world = scene.world;
    const ViewState& view = scene.view;
    const ViewKey key = view.viewKey();
    if (sidesKey_ == key) {
        return graphics(scene);
    }
    // A hit reaches half a bridge or a generous target around the pointer; smoothing and the spline
    // move a point by what lies a few sides along its river. Both stay well within this reach.
    const Camera game = view.gameCamera();
    const double side = game.scale * std::max(game.horizontalScale, game.verticalScale);
    const double reach = view.physicalScale() + 32 + 12 * side;
    const Point lo{std::max(0.0, screen.x - reach), std::max(double(topbarHeight), screen.y - reach)};
    const Point hi{std::min(double(view.width - sidebarWidth), screen.x + reach),
                   std::min(double(view.height - footerHeight), screen.y + reach)};
    if (lo.x > hi.x || lo.y > hi.y) {
        return graphics(scene);
    }
    const NearKey near{key, lo, hi};
    if (nearKey_ != near) {
        collectSides(near_, index_, world.gameMap(), world.generation, game, view.physicalScale(), lo, hi);
        nearKey_ = near;
    }
    near_.resolveSources([&world](std::size_t index) { return riverSourceOf(world, index); });
    return near_;
}

std::optional<RiverGraphics::Choice> RiverLayer::bridgeCandidate(const Scene& scene) {
    const ViewState& view = scene.view;
    if (view.camera.scale < bridgeZoom || !view.onMap(view.mouse)) {
        return std::nullopt;
    }
    return graphicsNear(scene, view.mouse).hit(view.mouse, false);
}

void RiverLayer::drawBands(const Frame& frame) { graphics(frame).draw(frame.renderer, frame.view.physicalScale()); }

void RiverLayer::paintCanvas(const Frame& frame, const MapCanvas& canvas) {
    if (!canvas.picture) {
        return;
    }
    const World& world = frame.world;
    const ViewState& view = frame.view;
    MapPicture& picture = *canvas.picture;
    for (const SDL_Rect& part : canvas.fresh) {
        if (SDL_RectEmpty(&part)) {
            continue;
        }
        if (SDL_RectEquals(&part, &picture.area)) {
            gatherView(frame);
        } else {
            // A strip of a pan: only the sides near it, as in draw.
            collectSides(sides_, index_, world.gameMap(), world.generation, view.gameCamera(), view.physicalScale(),
                         {double(part.x), double(part.y)}, {double(part.x + part.w), double(part.y + part.h)});
            sidesKey_.reset();
        }
        sides_.paint(picture.at(part), picture.area.w, part, view.physicalScale());
    }
}

bool RiverLayer::groundTextureFits(const Frame& frame) {
    const SDL_Point size{frame.view.width, frame.view.height};
    if (groundTexture_ && groundTextureSize_.x == size.x && groundTextureSize_.y == size.y) {
        return true;
    }
    // Opaque ARGB reads the same as xRGB: in the output's format the copy is plain rows.
    groundTexture_.reset(cpuPictureTexture(frame.renderer, softwareOutputFormat(frame.renderer), size.x, size.y));
    cache_.key.reset(); // the new texture shows nothing yet
    if (!groundTexture_) {
        return false;
    }
    groundTextureSize_ = size;
    if (SDL_SetTextureBlendMode(groundTexture_.get(), SDL_BLENDMODE_NONE) != 0) {
        throwSdlError();
    }
    return true;
}

bool RiverLayer::beginOverlay(const Frame& frame, MapCanvas& canvas, Ground ground) {
    const ViewState& view = frame.view;
    const SDL_Rect clip = frame.mapClip;
    if ((frame.world.map.isWorld() && view.camera.scale < 2) || clip.w <= 0 || clip.h <= 0) {
        return false;
    }
    if (ground == Ground::Overview ? !groundTextureFits(frame)
                                   : !blendedPictureTexture(frame.renderer, cache_, view.width, view.height)) {
        return false;
    }
    const ViewKey key = view.viewKey();
    const Content content{true, view.activeCountry(), ground};
    std::array<SDL_Rect, 2> fresh{};
    std::optional<PixelPan> pan;
    if (cache_.key != key || content_ != content) {
        pan = cache_.key && content_ == content && SDL_RectEquals(&picture_.area, &clip)
                  ? wholePixelPan(*cache_.key, key, clip.w, clip.h)
                  : std::nullopt;
        if (pan) {
            fresh = picture_.scroll(*pan);
        } else {
            picture_.resize(clip);
            fresh = {clip, SDL_Rect{}};
        }
        for (const SDL_Rect& part : fresh) {
            for (int y = part.y; ground == Ground::Clear && y < part.y + part.h; ++y) {
                std::fill_n(picture_.at({part.x, y, part.w, 1}), part.w, 0u);
            }
        }
        cache_.key = key;
        content_ = content;
    }
    canvas = {&picture_, fresh, pan, {}};
    if (!pan && !SDL_RectEmpty(&fresh[0])) {
        // A whole new view: its sides and their shapes are gathered beside the terrain's raster.
        canvas.alongside = [this, &frame] {
            gatherView(frame);
            sides_.geometry();
        };
    }
    return true;
}

void RiverLayer::draw(const Frame& frame) {
    SDL_Renderer* renderer = frame.renderer;
    const World& world = frame.world;
    const ViewState& view = frame.view;
    // Far out on the world the sides are shorter than a pixel; the overview carries the rivers there.
    if (world.map.isWorld() && view.camera.scale < 2) {
        return;
    }
    const SDL_Rect clip = frame.mapClip;
    if (clip.w <= 0 || clip.h <= 0) {
        return;
    }
    if (frame.canvas) {
        paintCanvas(frame, *frame.canvas);
        if (frame.canvas->picture != &picture_) {
            return; // the terrain's canvas, shown with it
        }
        const auto painted = [](const SDL_Rect& part) { return !SDL_RectEmpty(&part); };
        const bool fresh = std::any_of(frame.canvas->fresh.begin(), frame.canvas->fresh.end(), painted);
        // Over the overview the picture is opaque and may go straight into the window.
        if (content_.ground == Ground::Overview &&
            copyIntoWindow(renderer, PixelRing{picture_.pixels, clip.w, clip.h, {}}, clip)) {
            groundTextureBehind_ = true;
            return;
        }
        SDL_Texture* texture = content_.ground == Ground::Overview ? groundTexture_.get() : cache_.texture.get();
        const bool behind = content_.ground == Ground::Overview && groundTextureBehind_;
        if ((fresh || behind) &&
            SDL_UpdateTexture(texture, &clip, picture_.pixels.data(), clip.w * int(sizeof(std::uint32_t))) != 0) {
            throwSdlError();
        }
        if (content_.ground == Ground::Overview) {
            groundTextureBehind_ = false;
        }
        SDL_RenderSetClipRect(renderer, &clip);
        if (SDL_RenderCopy(renderer, texture, &clip, &clip) != 0) {
            throwSdlError();
        }
        return;
    }
    // The ribbons are painted on the CPU and brought into a texture: the software renderer's cost per
    // triangle would make a zoomed-out view of thousands of sides take several frames' budget.
    LayerCache& cache = cache_;
    if (!blendedPictureTexture(renderer, cache, view.width, view.height)) {
        const DrawPass pass(renderer);
        SDL_RenderSetClipRect(renderer, &clip);
        drawBands(frame);
        return;
    }
    const ViewKey key = view.viewKey();
    const bool riversAlone = content_ == Content{};
    if (cache.key != key || !riversAlone) {
        MapPicture& picture = picture_;
        const auto pan = cache.key && riversAlone && SDL_RectEquals(&picture.area, &clip)
                             ? wholePixelPan(*cache.key, key, clip.w, clip.h)
                             : std::nullopt;
        content_ = Content{};
        if (pan) {
            // Only the sides near the strips that came into view are gathered; the view's full
            // geometry waits until a hit test or a full redraw asks for it.
            for (const SDL_Rect strip : picture.scroll(*pan)) {
                if (strip.w <= 0 || strip.h <= 0) {
                    continue;
                }
                collectSides(sides_, index_, world.gameMap(), world.generation, view.gameCamera(), view.physicalScale(),
                             {double(strip.x), double(strip.y)},
                             {double(strip.x + strip.w), double(strip.y + strip.h)});
                sidesKey_.reset();
                sides_.fill(picture.at(strip), clip.w, strip, view.physicalScale());
            }
        } else {
            picture.resize(clip);
            gatherView(frame);
            sides_.fill(picture.pixels.data(), clip.w, clip, view.physicalScale());
        }
        if (SDL_UpdateTexture(cache.texture.get(), &clip, picture.pixels.data(), clip.w * int(sizeof(std::uint32_t))) !=
            0) {
            throwSdlError();
        }
        cache.key = key;
    }
    SDL_RenderSetClipRect(renderer, &clip);
    if (SDL_RenderCopy(renderer, cache.texture.get(), &clip, &clip) != 0) {
        throwSdlError();
    }
}

} // namespace korvan
