#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct RenderedFont;

// Adafruit GFX's GFXfont as its drawChar reads it: each glyph's box row after
// row, most significant bit first, in one run of bits that starts on a byte;
// a glyph record per code from `first` to `last`, an absent one an empty box.
struct GfxFont
{
    struct Glyph
    {
        int bitmapOffset = 0; // uint16_t
        int width = 0;        // uint8_t
        int height = 0;       // uint8_t
        int xAdvance = 0;     // uint8_t
        int xOffset = 0;      // int8_t: pen position to the box's left column
        int yOffset = 0;      // int8_t: baseline to the box's top row, negative upwards
    };

    QByteArray bitmap;
    QList<Glyph> glyphs;
    int first = 0; // uint16_t
    int last = 0;  // uint16_t
    int yAdvance = 0; // uint8_t

    // Empty when every value fits its field, otherwise which does not and
    // what helps; `font` is then left as it was.
    static QString build(const RenderedFont &rendered, GfxFont &font);

    // Pixel (x, y) of the box of `glyph`, read from the bitmap as drawChar
    // reads it.
    bool pixel(const Glyph &glyph, int x, int y) const;
};
