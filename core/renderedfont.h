#pragma once

#include "core/fontglyph.h"

#include <QList>
#include <QString>

class FontRenderer;

// The glyphs of one conversion, every code from the first to the last: the
// tables of display libraries are indexed by code, so a character that was
// not asked for, or that the font lacks, still holds its place, empty.
struct RenderedFont
{
    QString family;
    int pixelSize = 0;
    char32_t first = 0;
    QList<FontGlyph> glyphs; // glyphs[i].code == first + i
    int ascent = 0;
    int descent = 0; // negative below the baseline
    int lineHeight = 0;
    // A bitmap font's own ascent and descent make its cell.
    bool bitmapFont = false;

    char32_t last() const { return first + char32_t(glyphs.size()) - 1; }

    // `codes` sorted, distinct and not empty; those the font lacks are
    // added to `missing`.
    static RenderedFont render(const FontRenderer &renderer, int pixelSize,
                               const QList<char32_t> &codes, QList<char32_t> &missing);
};
