#pragma once

#include <QList>

class QImage;
struct FontCells;
struct GfxFont;

// A line of text drawn from the converted tables as a display library reads
// them, so that what is previewed is what the display will show. Pictures
// as BinImage::toPicture makes them: colour 0 on, colour 1 the background.
// Characters outside the table are skipped, as the libraries skip them.
namespace FontPreview {

constexpr int DefaultZoom = 4;
constexpr int MaxZoom = 16;

// Each cell drawn at the cursor, which then moves by the cell's width or,
// for a proportional font, by the glyph's own.
QImage draw(const FontCells &cells, const QList<char32_t> &text);
// Each glyph's box at the cursor plus its offsets, the baseline as high as
// the tallest glyph of the font reaches; the cursor moves by xAdvance.
QImage draw(const GfxFont &font, const QList<char32_t> &text);

// Every pixel a square of `zoom` pixels.
QImage enlarged(const QImage &picture, int zoom);

} // namespace FontPreview
