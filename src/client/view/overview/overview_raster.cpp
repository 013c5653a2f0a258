// Sampling the map into one-colour-per-field rasters, a whole pixel row of fields at a time.
#include "overview/overview_raster.hpp"
#include "overview/field_rows.hpp"

#include "core/row_split.hpp"

#include "terrain/terrain_display.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace korvan {

namespace {

// The terrain colours packed once; the four byte values past the enumeration show in ink.
const std::array<std::uint32_t, 16> terrainPixels = [] {
    std::array<std::uint32_t, 16> pixels{};
    for (std::size_t t = 0; t < pixels.size(); ++t) {
        const SDL_Color c = color(static_cast<Terrain>(t));
        pixels[t] = packArgb(c.r, c.g, c.b);
    }
    return pixels;
}();

constexpr int water = static_cast<int>(Terrain::Water);
constexpr int city = static_cast<int>(Terrain::City);
constexpr int plain = static_cast<int>(Terrain::Plain);

// A map's field bytes as the pixel loops read them: Map::canonical and storageIndex in one step,
// with the modulo only for hexes outside the stored columns.
class FieldGrid {
public:
    explicit FieldGrid(const Map& map)
        : tiles_(map.tileBytes().data()), width_(map.width()), height_(map.height()), wraps_(map.wraps()),
          offsetRows_(map.offsetRows()) {}

    // Storage index of the field stored for h, or -1 off the map.
    std::ptrdiff_t index(Hex h) const {
        if (h.r < 0 || h.r >= height_) {
            return -1;
        }
        std::int64_t column = offsetRows_ ? std::int64_t(h.q) + h.r / 2 : h.q;
        if (column < 0 || column >= width_) {
            if (!wraps_) {
                return -1;
            }
            // A far view shows a copy or two of the world: a subtraction spares the division.
            if (column >= width_ && column < 2 * std::int64_t(width_)) {
                column -= width_;
            } else if (column < 0 && column >= -std::int64_t(width_)) {
                column += width_;
            } else {
                column = wrappedColumn(h, width_);
            }
        }
        return std::ptrdiff_t(h.r) * width_ + std::ptrdiff_t(column);
    }

    int terrain(std::ptrdiff_t index) const { return tiles_[index] & tileTerrainMask; }

private:
    const std::uint8_t* tiles_;
    int width_;
    int height_;
    bool wraps_;
    bool offsetRows_;
};

// fieldLandTerrain of the play grid's fields: its own terrain on land, the table's on water.
class LandTerrain {
public:
    LandTerrain(const Map& game, LandTable& table) : grid_(game), table_(table) {}

    const FieldGrid& grid() const { return grid_; }

    int at(std::ptrdiff_t index) {
        const int t = grid_.terrain(index);
        if (t != water) {
            return t == city ? plain : t;
        }
        return table_.at(index);
    }

private:
    FieldGrid grid_;
    LandTable& table_;
};

// Fills the overview's pixel rows: the fields under each pixel centre of a whole row first, then
// their colours.
class OverviewSampler {
public:
    // Samples rows from firstRow on: the row above the first belongs to somebody else.
    OverviewSampler(const OverviewView& view, LandTable& land, int firstRow)
        : view_(view), world_(view.world), land_(view.game, land), worldLayout_(view.world), gameLayout_(view.game),
          runs_(view.camera.scale >= 1), gridOverLand_(view.world.isWorld()), firstRow_(firstRow) {}

    // Samples pixels from..to - 1 of row y; a row like the one above is copied from above, the row
    // above when it holds those pixels.
    void fill(int y, int from, int to, std::uint32_t* row, const std::uint32_t* above) {
        if (from >= to) {
            return;
        }
        const double rowY = view_.top + y + 0.5;
        const int count = to - from;
        if (above && repeatsRowAbove(y)) {
            std::copy(above + from, above + to, row + from);
            worldFields_.carryDown(y, from, count);
            gameFields_.carryDown(y, from, count);
            return;
        }
        if (outsideRows(rowY)) {
            std::fill(row + from, row + to, noFieldPixel);
            return;
        }
        worldFields_.sample(view_.camera, worldLayout_, rowY, y, from, count);
        if (gridOverLand_) {
            gameFields_.sample(view_.gameCamera, gameLayout_, rowY, y, from, count);
        } else {
            gameFields_.none(count);
        }
        // Where hexes span several pixels, a pixel with the fields of the one before takes its colour.
        std::int32_t lastField = -2;
        std::int32_t lastCell = -2;
        std::uint32_t lastColour = noFieldPixel;
        for (int i = 0; i < count; ++i) {
            const std::int32_t field = worldFields_.fields[std::size_t(i)];
            const std::int32_t cell = gameFields_.fields[std::size_t(i)];
            if (runs_ && field == lastField && cell == lastCell) {
                row[from + i] = lastColour;
                continue;
            }
            std::uint32_t colour = noFieldPixel;
            if (field >= 0) {
                int t = world_.terrain(field);
                if (gridOverLand_ && t != water && cell >= 0) {
                    t = land_.at(cell);
                }
                colour = terrainPixels[t == city ? plain : t];
            }
            row[from + i] = colour;
            lastField = field;
            lastCell = cell;
            lastColour = colour;
        }
    }

private:
    // The fields of one grid under the pixels of the last row sampled. Within a hex row's middle band
    // a pixel row meets the same fields as the one above, so they are kept for it.
    struct RowFields {
        std::vector<std::int32_t> fields;
        int y = 0;
        int from = 0;
        int count = -1; // none yet

        void sample(const Camera& cam, const FieldLayout& layout, double rowY, int row, int first, int length) {
            const bool kept = y == row - 1 && from == first && count == length && sameBandAsAbove(cam, rowY);
            if (!kept) {
                fields.resize(std::size_t(length));
                fieldIndices(RowFrame(cam, rowY), layout, first, length, fields.data());
            }
            y = row;
            from = first;
            count = length;
        }
        // The row was found equal to the one above, so the fields held stay right for it.
        void carryDown(int row, int first, int length) {
            if (y == row - 1 && from == first && count == length) {
                y = row;
            } else {
                count = -1;
            }
        }
        void none(int length) {
            fields.assign(std::size_t(length), -1);
            count = -1;
        }
    };

    // The hex row whose straight-sided middle band holds the pixel row's centres, or none when they
    // fall between the slanted sides of two hex rows. Within a band every pixel column meets the
    // same hex, so consecutive pixel rows in the same band of both grids are equal.
    static std::optional<int> band(const Camera& cam, double rowY) {
        const double y = (rowY - cam.y) / (cam.scale * cam.verticalScale);
        const double r = std::round(y / 1.5);
        if (!(std::abs(y - 1.5 * r) < 0.5 - 1e-9) || std::abs(r) > 1e9) {
            return std::nullopt;
        }
        return static_cast<int>(r);
    }

    static bool sameBandAsAbove(const Camera& cam, double rowY) {
        const auto here = band(cam, rowY);
        return here && band(cam, rowY - 1) == here;
    }

    bool repeatsRowAbove(int y) const {
        if (y == firstRow_) {
            return false;
        }
        const double rowY = view_.top + y + 0.5;
        return sameBandAsAbove(view_.camera, rowY) && (!gridOverLand_ || sameBandAsAbove(view_.gameCamera, rowY));
    }

    // Whether no field of the displayed map can contain a point of the row: every point lies within
    // one unit of its hex centre.
    bool outsideRows(double rowY) const {
        const double y = view_.camera.toWorld({0, rowY}).y;
        return y < -1.5 || y > 1.5 * (view_.world.height() - 1) + 1.5;
    }

    const OverviewView& view_;
    FieldGrid world_;
    LandTerrain land_;
    FieldLayout worldLayout_;
    FieldLayout gameLayout_;
    RowFields worldFields_;
    RowFields gameFields_;
    bool runs_;
    bool gridOverLand_;
    int firstRow_;
};

} // namespace

LandTable::~LandTable() { release(); }

void LandTable::release() {
    for (std::size_t b = 0; b < blockCount_; ++b) {
        delete[] blocks_[b].load(std::memory_order_relaxed);
    }
    blocks_.reset();
    blockCount_ = 0;
}

void LandTable::prepare(const Map& game, unsigned generation) {
    const std::size_t fields = std::size_t(game.width()) * std::size_t(game.height());
    if (game_ == &game && tiles_ == game.tileBytes().data() && generation_ == generation && fields_ == fields) {
        return;
    }
    release();
    game_ = &game;
    tiles_ = game.tileBytes().data();
    generation_ = generation;
    fields_ = fields;
    blockCount_ = (fields + blockFields - 1) / blockFields;
    blocks_ = std::make_unique<std::atomic<std::uint8_t*>[]>(blockCount_);
}

int LandTable::at(std::ptrdiff_t index) {
    std::atomic<std::uint8_t*>& block = blocks_[std::size_t(index) / blockFields];
    std::uint8_t* fields = block.load(std::memory_order_acquire);
    if (!fields) {
        // Both row threads may make the block: the first one stored is kept.
        auto* made = new std::uint8_t[blockFields]{};
        if (block.compare_exchange_strong(fields, made, std::memory_order_acq_rel)) {
            fields = made;
        } else {
            delete[] made;
        }
    }
    // Both threads would store the same value: relaxed atomics only keep that from being a race.
    // Kept one up, so that zero means not yet worked out.
    std::atomic_ref<std::uint8_t> slot(fields[std::size_t(index) % blockFields]);
    std::uint8_t t = slot.load(std::memory_order_relaxed);
    if (t == 0) {
        const Hex h = game_->hexAt(int(index % game_->width()), int(index / game_->width()));
        t = static_cast<std::uint8_t>(int(fieldLandTerrain(*game_, h)) + 1);
        slot.store(t, std::memory_order_relaxed);
    }
    return t - 1;
}

std::uint32_t terrainPixel(Terrain terrain) {
    const auto value = static_cast<std::size_t>(terrain);
    return value < terrainPixels.size() ? terrainPixels[value] : terrainPixels.back();
}

std::optional<PixelShift> overviewShift(const Camera& previous, const Camera& current, int width, int height) {
    if (current.scale != previous.scale || current.horizontalScale != previous.horizontalScale ||
        current.verticalScale != previous.verticalScale) {
        return std::nullopt;
    }
    const double dx = current.x - previous.x;
    const double dy = current.y - previous.y;
    // Panning adds whole pixels to an offset that zooming left fractional, and that sum is rounded:
    // a difference within a hair of a whole number is a whole-pixel move.
    const double sx = std::round(dx);
    const double sy = std::round(dy);
    constexpr double hair = 1e-6;
    if (std::abs(dx - sx) > hair || std::abs(dy - sy) > hair || std::abs(sx) >= width || std::abs(sy) >= height) {
        return std::nullopt;
    }
    return PixelShift{static_cast<int>(sx), static_cast<int>(sy)};
}

namespace {

// The view's table of the play grid's land, or own made ready for it.
LandTable& landOf(const OverviewView& view, LandTable& own) {
    if (view.land) {
        return *view.land;
    }
    own.prepare(view.game, 0);
    return own;
}

} // namespace

void rasterOverview(const OverviewView& view, std::vector<std::uint32_t>& out,
                    const std::function<void()>& alongside, std::vector<std::uint32_t>* copy) {
    const auto w = std::size_t(view.width);
    out.resize(w * std::size_t(view.height));
    if (copy) {
        copy->resize(out.size());
    }
    LandTable own;
    LandTable& land = landOf(view, own);
    constexpr int bandRows = 24;
    const auto aside = [&alongside] {
        if (alongside) {
            alongside();
        }
    };
    fillRowBandsBeside(view.height, out.size(), bandRows, aside, [&](int firstRow, int endRow) {
        OverviewSampler sampler(view, land, firstRow);
        for (int y = firstRow; y < endRow; ++y) {
            std::uint32_t* row = out.data() + std::size_t(y) * w;
            sampler.fill(y, 0, view.width, row, row - view.width);
        }
        if (copy) {
            const auto band = out.begin() + std::ptrdiff_t(std::size_t(firstRow) * w);
            std::copy(band, band + std::ptrdiff_t(std::size_t(endRow - firstRow) * w),
                      copy->begin() + std::ptrdiff_t(std::size_t(firstRow) * w));
        }
    });
}

void rasterUncovered(const OverviewView& view, PixelShift shift, const PixelRing& ring) {
    const int w = view.width;
    const int h = view.height;
    // Only strips: seldom worth a second thread.
    const std::size_t sampled =
        std::size_t(std::abs(shift.x)) * std::size_t(h) + std::size_t(std::abs(shift.y)) * std::size_t(w);
    // The columns every row still shows from before.
    const int from = std::max(shift.x, 0);
    const int to = std::min(w + shift.x, w);
    LandTable own;
    LandTable& land = landOf(view, own);
    fillRowsInParallel(h, sampled, [&](int firstRow, int endRow) {
        OverviewSampler sampler(view, land, firstRow);
        // Rows are sampled in picture order, then stored; the one before stays for rows that repeat it.
        std::vector<std::uint32_t> rows(std::size_t(w) * 2);
        bool wholeAbove = false;
        for (int y = firstRow; y < endRow; ++y) {
            std::uint32_t* row = rows.data() + std::size_t(y % 2) * std::size_t(w);
            const std::uint32_t* above = rows.data() + std::size_t((y + 1) % 2) * std::size_t(w);
            const int oldY = y - shift.y;
            if (oldY < 0 || oldY >= h) {
                sampler.fill(y, 0, w, row, wholeAbove ? above : nullptr);
                storeRow(ring, y, 0, w, row);
                wholeAbove = true;
                continue;
            }
            sampler.fill(y, 0, from, row, above);
            sampler.fill(y, to, w, row, above);
            storeRow(ring, y, 0, from, row);
            storeRow(ring, y, to, w, row);
            wholeAbove = false;
        }
    });
}

std::vector<std::uint32_t> rasterMinimap(const Map& world, const Map& game, const WorldOverview& geometry) {
    std::vector<std::uint32_t> pixels(std::size_t(miniWidth) * miniHeight, noFieldPixel);
    const FieldGrid worldGrid(world);
    LandTable table;
    table.prepare(game, 0);
    LandTerrain land(game, table);
    for (int y = 0; y < miniHeight; ++y) {
        for (int x = 0; x < miniWidth; ++x) {
            const Point p = geometry.toWorld({geometry.area.x + x + 0.5, geometry.area.y + y + 0.5});
            const std::ptrdiff_t fi = worldGrid.index(worldToHex(p));
            const std::ptrdiff_t ei = land.grid().index(worldToHex(game.gridPoint(p)));
            if (fi >= 0 && ei >= 0) {
                const int t = worldGrid.terrain(fi) == water ? water : land.at(ei);
                pixels[std::size_t(y) * miniWidth + std::size_t(x)] = terrainPixels[t];
            }
        }
    }
    const SDL_Rect target{static_cast<int>(geometry.area.x), static_cast<int>(geometry.area.y), miniWidth, miniHeight};
    const auto project = [&](Point p) {
        return Point{p.x / geometry.period * geometry.area.w + geometry.area.x,
                     (p.y + 1) / geometry.height * geometry.area.h + geometry.area.y};
    };
    rasterRivers(world, {0, -1}, {world.period(), world.worldExtent().y - 1}, project, target, pixels);
    return pixels;
}

} // namespace korvan
