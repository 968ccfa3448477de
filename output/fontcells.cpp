#include "output/fontcells.h"

#include "core/renderedfont.h"

#include <algorithm>

namespace {

// Extents against the pen position on the baseline, y growing upwards.
struct Box
{
    int left = 0;
    int right = 0; // exclusive
    int top = 0;
    int bottom = 0; // the lowest row's bottom edge
};

Box largest(const RenderedFont &font)
{
    Box box;
    if (font.bitmapFont) {
        box.top = font.ascent;
        box.bottom = font.descent;
    }
    for (const FontGlyph &glyph : font.glyphs) {
        box.right = std::max(box.right, glyph.advance);
        if (glyph.width == 0)
            continue;
        box.left = std::min(box.left, glyph.left);
        box.right = std::max(box.right, glyph.left + glyph.width);
        box.top = std::max(box.top, glyph.top);
        box.bottom = std::min(box.bottom, glyph.bottom());
    }
    // A font of spaces alone still needs a cell to be stored in.
    box.right = std::max(box.right, box.left + 1);
    box.top = std::max(box.top, box.bottom + 1);
    return box;
}

// False when part of the glyph falls outside the cell.
bool place(const FontGlyph &glyph, int originX, int baseline, BinaryImage &cell)
{
    bool whole = true;
    const DisplayLayout &layout = cell.layout();
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (!glyph.pixel(x, y))
                continue;
            const int cx = originX + glyph.left + x;
            const int cy = baseline - glyph.top + y;
            if (cx < 0 || cy < 0 || cx >= layout.width || cy >= layout.height)
                whole = false;
            else
                cell.setPixel(cx, cy, true);
        }
    }
    return whole;
}

} // namespace

BinaryImage FontCells::glyph(char32_t code) const
{
    if (code < first || code > last)
        return BinaryImage();
    const int n = glyphBytes();
    return BinaryImage(bytes.mid(qsizetype(code - first) * n, n), cell);
}

int FontCells::advance(char32_t code) const
{
    if (code < first || code > last)
        return 0;
    return widths.isEmpty() ? cell.width : uchar(widths.at(code - first));
}

QSize FontCells::largestBox(const RenderedFont &font)
{
    const Box box = largest(font);
    return QSize(box.right - box.left, box.top - box.bottom);
}

FontCells FontCells::build(const RenderedFont &font, const DisplayLayout &layout,
                           bool proportional, QList<char32_t> &cut)
{
    const Box box = largest(font);
    FontCells cells;
    cells.cell = layout;
    cells.cell.controllers = 1;
    cells.first = font.first;
    cells.last = font.last();
    cells.originX = -box.left;
    cells.baseline = box.top;
    cells.bytes.reserve(qsizetype(font.glyphs.size()) * cells.glyphBytes());
    for (const FontGlyph &glyph : font.glyphs) {
        BinaryImage image(cells.cell);
        if (!place(glyph, cells.originX, cells.baseline, image))
            cut << glyph.code;
        cells.bytes += image.bytes();
        if (proportional)
            cells.widths += char(std::clamp(glyph.advance, 0, 255));
    }
    return cells;
}
