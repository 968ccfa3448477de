#pragma once

#include "core/namedvalues.h"

#include <QSize>
#include <QString>
#include <QtGlobal>

// How the memory of a monochrome display holds its pixels: the size, whether
// a byte holds 8 pixels of a column ("pages" of 8 rows) or of a row, which
// end of the byte holds the first of them, and for column bytes how many
// controllers share the width. A set bit is an on (dark) pixel; bits that
// pad the last page or the end of a row are off.
struct DisplayLayout
{
    enum class Orientation {
        Vertical,  // column bytes of 8 rows; page p holds rows 8p..8p+7
        Horizontal // row bytes of 8 columns; each row padded to whole bytes
    };
    // Which end of a byte holds the top (vertical) or leftmost (horizontal) pixel.
    enum class BitOrder { Lsb, Msb };

    static constexpr int MaxSide = 1024;

    int width = 128;
    int height = 64;
    Orientation orientation = Orientation::Vertical;
    BitOrder bitOrder = BitOrder::Lsb;
    // Vertical only: the columns split into this many equal blocks, each
    // block's pages stored whole before the next block's.
    int controllers = 1;

    // The window's two organisations of a 128x64 display.
    static DisplayLayout row63();
    static DisplayLayout row127();

    // Empty when the layout can be used, otherwise why not, in a sentence
    // that names the offending value.
    QString problem() const;
    bool isValid() const { return problem().isEmpty(); }

    QSize size() const { return QSize(width, height); }
    int pages() const { return (height + 7) / 8; }
    int bytesPerRow() const { return (width + 7) / 8; }
    int blockWidth() const { return width / controllers; }
    int imageBytes() const;
    // Only meaningful for a valid layout and a pixel inside it.
    int byteOffset(int x, int y) const;
    uchar bitMask(int x, int y) const;

    // Bit 0 top for column bytes, bit 7 leftmost for row bytes: what the
    // drivers of each kind mostly read.
    static BitOrder defaultBitOrder(Orientation orientation);

    static const QList<Named<Orientation>> &orientationNames();
    static const QList<Named<BitOrder>> &bitOrderNames();
    static QString orientationName(Orientation orientation);
    static QString bitOrderName(BitOrder order);
    // "128x64": each side a whole number from 1 to 1024.
    static bool sizeFromText(const QString &text, QSize &size);

    // "vertical, bit 0 top, 2 controllers of 64 columns".
    QString arrangement() const;
    // "128x64 " and the arrangement.
    QString description() const;

    bool operator==(const DisplayLayout &other) const;
    bool operator!=(const DisplayLayout &other) const { return !(*this == other); }
};
