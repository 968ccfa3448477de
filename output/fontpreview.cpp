#include "output/fontpreview.h"

#include "output/fontcells.h"
#include "output/gfxfont.h"

#include <QImage>

#include <algorithm>

namespace FontPreview {

namespace {

QImage blank(int width, int height)
{
    QImage picture(std::max(width, 1), std::max(height, 1), QImage::Format_Indexed8);
    picture.setColorTable({qRgba(0, 0, 0, 255), qRgba(255, 255, 255, 255)});
    picture.fill(1);
    return picture;
}

void setOn(QImage &picture, int x, int y)
{
    if (x >= 0 && y >= 0 && x < picture.width() && y < picture.height())
        picture.scanLine(y)[x] = 0;
}

const GfxFont::Glyph *gfxGlyph(const GfxFont &font, char32_t code)
{
    if (code < char32_t(font.first) || code > char32_t(font.last))
        return nullptr;
    return &font.glyphs.at(int(code) - font.first);
}

} // namespace

QImage draw(const FontCells &cells, const QList<char32_t> &text)
{
    int width = 0;
    int cursor = 0;
    for (const char32_t code : text) {
        if (cells.glyph(code).isNull())
            continue;
        width = std::max(width, cursor + cells.cell.width);
        cursor += cells.advance(code);
    }
    QImage picture = blank(std::max(width, cursor), cells.cell.height);
    cursor = 0;
    for (const char32_t code : text) {
        const BinaryImage glyph = cells.glyph(code);
        if (glyph.isNull())
            continue;
        for (int y = 0; y < cells.cell.height; ++y)
            for (int x = 0; x < cells.cell.width; ++x)
                if (glyph.pixel(x, y))
                    setOn(picture, cursor + x, y);
        cursor += cells.advance(code);
    }
    return picture;
}

QImage draw(const GfxFont &font, const QList<char32_t> &text)
{
    int above = 0;
    int below = 0;
    for (const GfxFont::Glyph &glyph : font.glyphs) {
        if (glyph.width == 0 || glyph.height == 0)
            continue;
        above = std::max(above, -glyph.yOffset);
        below = std::max(below, glyph.yOffset + glyph.height);
    }
    int left = 0;
    int right = 0;
    int cursor = 0;
    for (const char32_t code : text) {
        if (const GfxFont::Glyph *glyph = gfxGlyph(font, code)) {
            if (glyph->width > 0) {
                left = std::min(left, cursor + glyph->xOffset);
                right = std::max(right, cursor + glyph->xOffset + glyph->width);
            }
            cursor += glyph->xAdvance;
        }
    }
    QImage picture = blank(std::max(right, cursor) - left, above + below);
    cursor = -left;
    for (const char32_t code : text) {
        const GfxFont::Glyph *glyph = gfxGlyph(font, code);
        if (!glyph)
            continue;
        for (int y = 0; y < glyph->height; ++y)
            for (int x = 0; x < glyph->width; ++x)
                if (font.pixel(*glyph, x, y))
                    setOn(picture, cursor + glyph->xOffset + x, above + glyph->yOffset + y);
        cursor += glyph->xAdvance;
    }
    return picture;
}

QImage enlarged(const QImage &picture, int zoom)
{
    return picture.scaled(picture.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace FontPreview
