#pragma once

#include "core/fontglyph.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct FT_LibraryRec_;
struct FT_FaceRec_;

// A font file read by FreeType (TrueType, OpenType, BDF, PCF and whatever
// else it reads) and rendered one bit per pixel at one pixel size.
class FontRenderer
{
public:
    // A font is held whole in memory: the largest CJK collections stay below this.
    static constexpr qint64 MaxBytes = 64 * 1024 * 1024;
    static constexpr int MaxPixelSize = 255;

    FontRenderer();
    ~FontRenderer();
    FontRenderer(const FontRenderer &) = delete;
    FontRenderer &operator=(const FontRenderer &) = delete;

    enum class Status {
        Ok,
        NoFreeType, // the library could not be started
        NotAFont,   // no format FreeType reads
        NoGlyphs,   // neither outlines nor bitmaps
        NoSize,     // not drawable at the size asked: no such strike, or refused
    };

    // FreeType reads the bytes in place for as long as the font is used, so
    // they are kept here.
    Status load(const QByteArray &data);

    bool isScalable() const;
    // The pixel heights of a bitmap font's strikes.
    QList<int> strikeSizes() const;
    // NoSize when the font cannot be drawn at `pixels`; strikeSizes() then
    // tells a bitmap font's own sizes.
    Status setPixelSize(int pixels);
    // Below 0: FreeType's own one-bit rendering. Otherwise its grey rendering,
    // a pixel being on where the glyph drawn black on white is darker than
    // `threshold`, as for pictures.
    void setThreshold(int threshold) { m_threshold = threshold; }

    // A glyph that is not `present` when the font lacks the character.
    FontGlyph render(char32_t code) const;

    // In pixels at the chosen size: baseline to the top and (negative) bottom
    // of the font's line, and from one baseline to the next.
    int ascent() const;
    int descent() const;
    int lineHeight() const;
    QString familyName() const;

private:
    void copyBitmap(FontGlyph &glyph) const;

    FT_LibraryRec_ *m_library = nullptr;
    FT_FaceRec_ *m_face = nullptr;
    QByteArray m_data;
    int m_threshold = -1;
};
