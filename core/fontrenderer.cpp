#include "core/fontrenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

namespace {

// FreeType's 26.6 fixed point to whole pixels, rounded.
int pixelsOf(FT_Pos value)
{
    return int((value + 32) >> 6);
}

int strikeHeight(const FT_Bitmap_Size &size)
{
    return pixelsOf(size.y_ppem);
}

bool bitOn(const FT_Bitmap &bitmap, const unsigned char *row, int x, int threshold)
{
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    // Grey levels are ink coverage; drawn black on white the pixel's grey
    // value is the rest, and pictures are on below the threshold.
    const int levels = qMax(2, int(bitmap.num_grays));
    const int coverage = row[x] * 255 / (levels - 1);
    return 255 - coverage < threshold;
}

} // namespace

FontRenderer::FontRenderer()
{
    if (FT_Init_FreeType(&m_library) != 0)
        m_library = nullptr;
}

FontRenderer::~FontRenderer()
{
    if (m_face)
        FT_Done_Face(m_face);
    if (m_library)
        FT_Done_FreeType(m_library);
}

FontRenderer::Status FontRenderer::load(const QByteArray &data)
{
    if (!m_library)
        return Status::NoFreeType;
    if (m_face) {
        FT_Done_Face(m_face);
        m_face = nullptr;
    }
    m_data = data;
    const auto *bytes = reinterpret_cast<const FT_Byte *>(m_data.constData());
    if (FT_New_Memory_Face(m_library, bytes, FT_Long(m_data.size()), 0, &m_face) != 0) {
        m_face = nullptr;
        return Status::NotAFont;
    }
    if (!FT_IS_SCALABLE(m_face) && m_face->num_fixed_sizes < 1)
        return Status::NoGlyphs;
    return Status::Ok;
}

bool FontRenderer::isScalable() const
{
    return m_face && FT_IS_SCALABLE(m_face);
}

QList<int> FontRenderer::strikeSizes() const
{
    QList<int> sizes;
    for (int i = 0; m_face && i < m_face->num_fixed_sizes; ++i)
        sizes << strikeHeight(m_face->available_sizes[i]);
    return sizes;
}

FontRenderer::Status FontRenderer::setPixelSize(int pixels)
{
    if (isScalable())
        return FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(pixels)) == 0 ? Status::Ok : Status::NoSize;
    const qsizetype strike = strikeSizes().indexOf(pixels);
    return strike >= 0 && FT_Select_Size(m_face, FT_Int(strike)) == 0 ? Status::Ok
                                                                       : Status::NoSize;
}

FontGlyph FontRenderer::render(char32_t code) const
{
    FontGlyph glyph;
    glyph.code = code;
    const FT_UInt index = m_face ? FT_Get_Char_Index(m_face, FT_ULong(code)) : 0;
    if (index == 0)
        return glyph;
    const FT_Int32 target = m_threshold < 0 ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT | target) != 0)
        return glyph;
    const FT_Render_Mode mode = m_threshold < 0 ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    if (m_face->glyph->format != FT_GLYPH_FORMAT_BITMAP
        && FT_Render_Glyph(m_face->glyph, mode) != 0)
        return glyph;
    glyph.present = true;
    glyph.advance = pixelsOf(m_face->glyph->advance.x);
    glyph.left = m_face->glyph->bitmap_left;
    glyph.top = m_face->glyph->bitmap_top;
    copyBitmap(glyph);
    return glyph;
}

void FontRenderer::copyBitmap(FontGlyph &glyph) const
{
    const FT_Bitmap *source = &m_face->glyph->bitmap;
    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    // Two- and four-bit grey and colour bitmaps are rare; as 8-bit grey they
    // go through the same threshold.
    if (source->pixel_mode != FT_PIXEL_MODE_MONO && source->pixel_mode != FT_PIXEL_MODE_GRAY) {
        if (FT_Bitmap_Convert(m_library, source, &converted, 1) != 0)
            return;
        source = &converted;
    }
    glyph.width = int(source->width);
    glyph.height = int(source->rows);
    glyph.pixels = QByteArray(qsizetype(glyph.width) * glyph.height, '\0');
    const int threshold = m_threshold < 0 ? 128 : m_threshold;
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char *row = source->pitch >= 0
            ? source->buffer + qsizetype(y) * source->pitch
            : source->buffer + qsizetype(glyph.height - 1 - y) * -source->pitch;
        for (int x = 0; x < glyph.width; ++x)
            glyph.pixels[y * glyph.width + x] = char(bitOn(*source, row, x, threshold));
    }
    FT_Bitmap_Done(m_library, &converted);
}

int FontRenderer::ascent() const
{
    return m_face && m_face->size ? pixelsOf(m_face->size->metrics.ascender) : 0;
}

int FontRenderer::descent() const
{
    return m_face && m_face->size ? pixelsOf(m_face->size->metrics.descender) : 0;
}

int FontRenderer::lineHeight() const
{
    return m_face && m_face->size ? pixelsOf(m_face->size->metrics.height) : 0;
}

QString FontRenderer::familyName() const
{
    return m_face && m_face->family_name ? QString::fromUtf8(m_face->family_name) : QString();
}
