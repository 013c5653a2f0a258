// The 5 x 7 dot font.
#include "kit/font.hpp"

#include <algorithm>
#include <cctype>

namespace korvan {

namespace {

// A-Z, then 0-9; one byte per row, bit 4 is the leftmost column.
constexpr std::uint8_t glyphs[36][7] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x07, 0x02, 0x02, 0x02, 0x12, 0x12, 0x0C},
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11},
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},
    {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x10, 0x1E, 0x01, 0x01, 0x1E},
    {0x0E, 0x10, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x01, 0x0E},
};

// Marks in the letters' style: strokes one dot wide, centred in the five columns.
struct Mark {
    unsigned char c;
    std::uint8_t rows[7];
};
constexpr Mark marks[] = {
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {':', {0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04}},
    // Not a straight diagonal: rows 5 and 6 start over at the right.
    {'/', {0x01, 0x02, 0x04, 0x08, 0x10, 0x01, 0x02}},
    {'+', {0x00, 0x00, 0x04, 0x1F, 0x04, 0x00, 0x00}},
    {'>', {0x10, 0x08, 0x04, 0x02, 0x04, 0x08, 0x10}},
    {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x08}},
};

const std::uint8_t* punctuation(unsigned char c) {
    for (const Mark& mark : marks) {
        if (mark.c == c) {
            return mark.rows;
        }
    }
    return nullptr;
}

// Calls block(column, row, columns, rows) for rectangles of dots that together cover the glyph's
// dots once each: runs along a row, stacked while the rows below repeat them. The renderer's cost
// is mostly per rectangle.
template <typename Block>
void forGlyphBlocks(const std::array<std::uint8_t, 7>& rows, Block&& block) {
    struct Run {
        std::uint8_t bits; // the run's columns as in a glyph row
        int first;
        int length;
        int top;
    };
    std::array<Run, 3> open{};
    std::size_t openCount = 0;
    for (int row = 0; row <= 7; ++row) {
        int bits = row < 7 ? rows[std::size_t(row)] : 0;
        std::array<Run, 3> next{};
        std::size_t nextCount = 0;
        for (std::size_t k = 0; k < openCount; ++k) {
            const Run& run = open[k];
            // A run continues where this row has exactly it: its columns set and both neighbours clear.
            const int around = (run.bits << 1 | run.bits >> 1) & ~run.bits & 0x1F;
            if ((bits & run.bits) == run.bits && (bits & around) == 0) {
                next[nextCount++] = run;
                bits &= ~run.bits;
            } else {
                block(run.first, run.top, run.length, row - run.top);
            }
        }
        for (int column = 0; column < 5;) {
            if (!(bits & (0x10 >> column))) {
                ++column;
                continue;
            }
            int end = column;
            std::uint8_t runBits = 0;
            while (end < 5 && (bits & (0x10 >> end))) {
                runBits |= std::uint8_t(0x10 >> end);
                ++end;
            }
            next[nextCount++] = {runBits, column, end - column, row};
            column = end;
        }
        open = next;
        openCount = nextCount;
    }
}

} // namespace

std::array<std::uint8_t, 7> glyphRows(unsigned char c) {
    std::array<std::uint8_t, 7> rows{};
    const int upper = std::toupper(c);
    if (upper >= 'A' && upper <= 'Z') {
        std::copy(std::begin(glyphs[upper - 'A']), std::end(glyphs[upper - 'A']), rows.begin());
    } else if (upper >= '0' && upper <= '9') {
        std::copy(std::begin(glyphs[26 + upper - '0']), std::end(glyphs[26 + upper - '0']), rows.begin());
    } else if (const auto* mark = punctuation(static_cast<unsigned char>(upper))) {
        std::copy(mark, mark + 7, rows.begin());
    }
    return rows;
}

namespace {

// Each byte's blocks, worked out once: the panels draw some hundred characters in every frame.
struct GlyphBlocks {
    struct Block {
        std::uint8_t column;
        std::uint8_t row;
        std::uint8_t columns;
        std::uint8_t rows;
    };
    std::array<Block, 35> blocks; // at most one per dot
    std::size_t count = 0;
};

const std::array<GlyphBlocks, 256>& glyphBlocks() {
    static const std::array<GlyphBlocks, 256> table = [] {
        std::array<GlyphBlocks, 256> all{};
        for (std::size_t c = 0; c < all.size(); ++c) {
            GlyphBlocks& glyph = all[c];
            forGlyphBlocks(glyphRows(static_cast<unsigned char>(c)), [&](int column, int row, int columns, int rows) {
                glyph.blocks[glyph.count++] = {std::uint8_t(column), std::uint8_t(row), std::uint8_t(columns),
                                               std::uint8_t(rows)};
            });
        }
        return all;
    }();
    return table;
}

} // namespace

void text(SDL_Renderer* renderer, int x, int y, std::string_view s, SDL_Color color, int scale) {
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    // Dots go to the renderer in batches: one queued command per dot would cost more than the dot.
    std::array<SDL_Rect, 256> dots;
    std::size_t count = 0;
    const auto flush = [&] {
        SDL_RenderFillRects(renderer, dots.data(), static_cast<int>(count));
        count = 0;
    };
    const auto& blocks = glyphBlocks();
    int penX = x;
    int penY = y;
    for (const char c : s) {
        if (c == '\n') {
            penX = x;
            penY += 10 * scale;
            continue;
        }
        const GlyphBlocks& glyph = blocks[static_cast<unsigned char>(c)];
        for (std::size_t k = 0; k < glyph.count; ++k) {
            const GlyphBlocks::Block& b = glyph.blocks[k];
            dots[count++] = {penX + scale * b.column, penY + scale * b.row, scale * b.columns, scale * b.rows};
            if (count == dots.size()) {
                flush();
            }
        }
        penX += 6 * scale;
    }
    if (count > 0) {
        flush();
    }
}

} // namespace korvan
