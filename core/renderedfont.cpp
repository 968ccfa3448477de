#include "core/renderedfont.h"

#include "core/fontrenderer.h"

#include <algorithm>

namespace {

// Grey rendering thresholded, and some fonts' own bitmaps, leave empty
// rows and columns around the ink: tables store the ink's box only.
FontGlyph cropped(const FontGlyph &glyph)
{
    int x0 = glyph.width, x1 = -1, y0 = glyph.height, y1 = -1;
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (glyph.pixel(x, y)) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    FontGlyph result = glyph;
    if (x1 < 0) {
        result.width = result.height = result.left = result.top = 0;
        result.pixels.clear();
        return result;
    }
    result.width = x1 - x0 + 1;
    result.height = y1 - y0 + 1;
    result.left = glyph.left + x0;
    result.top = glyph.top - y0;
    result.pixels = QByteArray(qsizetype(result.width) * result.height, '\0');
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x)
            result.pixels[y * result.width + x] = char(glyph.pixel(x0 + x, y0 + y));
    return result;
}

} // namespace

RenderedFont RenderedFont::render(const FontRenderer &renderer, int pixelSize,
                                  const QList<char32_t> &codes, QList<char32_t> &missing)
{
    RenderedFont font;
    font.family = renderer.familyName();
    font.pixelSize = pixelSize;
    font.ascent = renderer.ascent();
    font.descent = renderer.descent();
    font.lineHeight = renderer.lineHeight();
    font.bitmapFont = !renderer.isScalable();
    if (codes.isEmpty())
        return font;
    font.first = codes.constFirst();
    const char32_t last = codes.constLast();
    font.glyphs.reserve(qsizetype(last - font.first) + 1);
    qsizetype next = 0;
    for (char32_t code = font.first; code <= last; ++code) {
        FontGlyph glyph;
        glyph.code = code;
        if (codes.at(next) == code) {
            ++next;
            glyph = cropped(renderer.render(code));
            if (!glyph.present)
                missing << code;
        }
        font.glyphs << glyph;
    }
    return font;
}
