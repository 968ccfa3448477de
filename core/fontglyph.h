#pragma once

#include <QByteArray>

// One character as a font draws it without anti-aliasing: a box of pixels
// placed against the pen position on the baseline, and how far the pen moves.
struct FontGlyph
{
    char32_t code = 0;
    // False for a character the font lacks or that was not asked for.
    bool present = false;
    int width = 0;
    int height = 0;
    // From the pen position right to the box's left column.
    int left = 0;
    // From the baseline up to the box's top row.
    int top = 0;
    int advance = 0;
    // width * height bytes, row after row, 1 for an on pixel.
    QByteArray pixels;

    bool pixel(int x, int y) const { return pixels.at(y * width + x) != 0; }
    int bottom() const { return top - height; }
};
