#include "output/gfxfont.h"

#include "core/fontcharacters.h"
#include "core/renderedfont.h"

#include <limits>

namespace {

bool inRange(int value, int minimum, int maximum)
{
    return value >= minimum && value <= maximum;
}

// Why a glyph cannot be a GFXglyph, or nothing.
QString glyphProblem(const FontGlyph &glyph)
{
    const QString name = FontCharacters::name(glyph.code);
    if (glyph.width > 255 || glyph.height > 255 || !inRange(glyph.advance, 0, 255))
        return QStringLiteral("%1 is %2x%3 pixels with an advance of %4, past the 255 a GFXglyph "
                              "holds; choose a smaller --font-size")
            .arg(name)
            .arg(glyph.width)
            .arg(glyph.height)
            .arg(glyph.advance);
    if (!inRange(glyph.left, -128, 127) || !inRange(-glyph.top, -128, 127))
        return QStringLiteral("%1 lies farther than 128 pixels from its pen position, past what "
                              "a GFXglyph holds; choose a smaller --font-size")
            .arg(name);
    return QString();
}

void appendBits(const FontGlyph &glyph, QByteArray &bitmap)
{
    uint bits = 0;
    int count = 0;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            bits = (bits << 1) | uint(glyph.pixel(x, y));
            if (++count == 8) {
                bitmap += char(bits);
                bits = 0;
                count = 0;
            }
        }
    }
    if (count > 0)
        bitmap += char(bits << (8 - count));
}

} // namespace

QString GfxFont::build(const RenderedFont &rendered, GfxFont &font)
{
    if (rendered.last() > 0xFFFF)
        return QStringLiteral("GFXfont codes end at U+FFFF, not %1; use --kind cells for the "
                              "characters past it")
            .arg(FontCharacters::name(rendered.last()));
    if (!inRange(rendered.lineHeight, 0, 255))
        return QStringLiteral("a line of %1 pixels is past the 255 of GFXfont's yAdvance; choose "
                              "a smaller --font-size")
            .arg(rendered.lineHeight);
    GfxFont result;
    result.first = int(rendered.first);
    result.last = int(rendered.last());
    result.yAdvance = rendered.lineHeight;
    for (const FontGlyph &glyph : rendered.glyphs) {
        if (const QString problem = glyphProblem(glyph); !problem.isEmpty())
            return problem;
        result.glyphs << Glyph{int(result.bitmap.size()), glyph.width, glyph.height,
                               glyph.advance, glyph.left, -glyph.top};
        appendBits(glyph, result.bitmap);
        // drawChar counts through a glyph's bytes in the 16-bit offset itself.
        if (result.bitmap.size() > std::numeric_limits<quint16>::max() + 1)
            return QStringLiteral("the bitmap passes the 65536 bytes that a GFXglyph's 16-bit "
                                  "offset reaches, at %1; ask for fewer characters or a smaller "
                                  "--font-size")
                .arg(FontCharacters::name(glyph.code));
    }
    font = result;
    return QString();
}

bool GfxFont::pixel(const Glyph &glyph, int x, int y) const
{
    const int bit = y * glyph.width + x;
    const uchar byte = uchar(bitmap.at(glyph.bitmapOffset + bit / 8));
    return (byte << (bit % 8)) & 0x80;
}
