#pragma once

#include <QSize>
#include <QString>

class QByteArray;

// What a font's source text holds, read back from the text: the fixed cells
// and GFXfonts that `vexlor-cli font` writes, and GFXfonts of other tools.
struct FontSourceInfo
{
    enum class Kind { None, Cells, Gfx };

    Kind kind = Kind::None;
    QString name;
    int first = 0;
    int last = 0;
    int glyphs = 0;
    // Cells: the cell and its bytes. GFXfont: the largest glyph box.
    QSize size;
    int glyphBytes = 0;
    bool proportional = false;
    int yAdvance = 0;

    // Kind::None when the text holds no font tables.
    static FontSourceInfo read(const QByteArray &text);

    // "fixed-cell font 'dv', 95 glyphs from U+0020 to U+007E, ...".
    QString description() const;
};
