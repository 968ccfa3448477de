#pragma once

#include "core/binaryimage.h"
#include "core/displaylayout.h"

#include <QByteArray>
#include <QList>
#include <QSize>

struct RenderedFont;

// A font as the classic fixed-cell fonts of display drivers store it: every
// glyph an image of the same size in a display layout, one after the other
// from the first code to the last, and with proportional fonts a width per
// glyph by which the driver moves on.
struct FontCells
{
    // The size and byte layout of one cell; a cell is stored whole, never
    // split among controllers.
    DisplayLayout cell;
    char32_t first = 0;
    char32_t last = 0;
    // Where the pen position of every glyph lies in its cell: column
    // `originX` of row `baseline`.
    int originX = 0;
    int baseline = 0;
    QByteArray bytes;
    // Empty unless proportional: the advance of each glyph, 0 for an empty one.
    QByteArray widths;

    int count() const { return int(last - first) + 1; }
    int glyphBytes() const { return cell.imageBytes(); }
    // What a driver reads for `code`; null outside first..last.
    BinaryImage glyph(char32_t code) const;
    // The driver's step after drawing `code`.
    int advance(char32_t code) const;

    // The box every glyph fits in: from the leftmost pixel (or the pen
    // position) to the farthest pixel or advance, from the highest pixel to
    // the lowest; a bitmap font's own ascent and descent count too.
    static QSize largestBox(const RenderedFont &font);

    // Glyphs in cells of `layout`'s size, orientation and bit order; the
    // glyphs that do not fit are cut and their codes added to `cut`.
    static FontCells build(const RenderedFont &font, const DisplayLayout &layout,
                           bool proportional, QList<char32_t> &cut);
};
