#include "output/fontsource.h"

#include "core/fontcharacters.h"
#include "output/fontcells.h"
#include "output/gfxfont.h"

#include <QFileInfo>
#include <QStringList>

namespace FontSource {

namespace {

constexpr int BytesPerLine = 16;

// "U+0041 'A'": the character itself only where it is plain ASCII, so
// that the text stays ASCII whatever the font holds.
QString characterLabel(char32_t code)
{
    QString label = FontCharacters::name(code);
    if (code > 0x20 && code < 0x7F)
        label += QStringLiteral(" '%1'").arg(QChar(char16_t(code)));
    return label;
}

QString hexNumber(uint value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString hexByte(uchar byte)
{
    return hexNumber(byte, 2);
}

// Lines of at most 16 numbers, each followed by a comma.
QString dataLines(const QByteArray &bytes, qsizetype from, qsizetype count, const QString &indent)
{
    QString text;
    for (qsizetype i = 0; i < count; ++i) {
        const bool lineStart = i % BytesPerLine == 0;
        text += lineStart ? indent : QStringLiteral(" ");
        text += hexByte(uchar(bytes.at(from + i))) + QLatin1Char(',');
        if (i % BytesPerLine == BytesPerLine - 1 || i == count - 1)
            text += QLatin1Char('\n');
    }
    return text;
}

QString bannerText(const QStringList &lines, const QString &open, const QString &prefix,
                   const QString &close)
{
    QString text = open.isEmpty() ? QString() : open + QLatin1Char('\n');
    for (const QString &line : lines)
        text += prefix + line + QLatin1Char('\n');
    if (!close.isEmpty())
        text += close + QLatin1Char('\n');
    return text + QLatin1Char('\n');
}

QString layoutWords(const DisplayLayout &layout)
{
    return layout.arrangement();
}

QStringList cellsBanner(const FontCells &cells, const Options &options)
{
    QStringList lines{
        QStringLiteral("%1: %2, %3 to %4 (%5 codes)")
            .arg(options.name, options.description, FontCharacters::name(cells.first),
                 FontCharacters::name(cells.last))
            .arg(cells.count()),
        QStringLiteral("fixed cells of %1x%2 pixels, %3 bytes each, %4")
            .arg(cells.cell.width)
            .arg(cells.cell.height)
            .arg(cells.glyphBytes())
            .arg(layoutWords(cells.cell)),
        QStringLiteral("pen position at column %1 of row %2%3")
            .arg(cells.originX)
            .arg(cells.baseline)
            .arg(cells.widths.isEmpty() ? QString()
                                        : QStringLiteral("; a width per glyph: the step after "
                                                         "it")),
        QStringLiteral("written by vexlor-cli %1").arg(QStringLiteral(VEXLOR_VERSION)),
    };
    return lines;
}

QString declarator(const QString &type, const QString &name, qsizetype count)
{
    return QStringLiteral("const %1 %2[%3]").arg(type, name).arg(count);
}

QString withAttribute(const QString &declaration, const Options &options)
{
    return options.attribute.isEmpty() ? declaration
                                       : declaration + QLatin1Char(' ') + options.attribute;
}

QString includeLines(const Options &options, const QStringList &system)
{
    QString text;
    for (const QString &file : system)
        text += QStringLiteral("#include <%1>\n").arg(file);
    if (!options.include.isEmpty())
        text += QStringLiteral("#include %1\n").arg(options.include);
    return text.isEmpty() ? text : text + QLatin1Char('\n');
}

// The constants and declarations, in the header or at the top of the source.
QString cellsDeclarations(const FontCells &cells, const Options &options)
{
    const QString &n = options.name;
    QString text;
    const struct
    {
        const char *suffix;
        qint64 value;
    } constants[] = {
        {"FIRST", cells.first},        {"LAST", cells.last},
        {"WIDTH", cells.cell.width},   {"HEIGHT", cells.cell.height},
        {"GLYPH_BYTES", cells.glyphBytes()}, {"BASELINE", cells.baseline},
    };
    for (const auto &constant : constants)
        text += QStringLiteral("#define %1_%2 %3\n")
                    .arg(n, QLatin1String(constant.suffix))
                    .arg(constant.value);
    text += QLatin1Char('\n');
    text += QStringLiteral("extern %1;\n")
                .arg(withAttribute(declarator(QStringLiteral("unsigned char"), n,
                                              cells.bytes.size()),
                                   options));
    if (!cells.widths.isEmpty())
        text += QStringLiteral("extern %1;\n")
                    .arg(withAttribute(declarator(QStringLiteral("unsigned char"),
                                                  n + QStringLiteral("_widths"),
                                                  cells.widths.size()),
                                       options));
    return text;
}

QString headerText(const QString &banner, const QString &includes, const QString &declarations,
                   const Options &options)
{
    const QString guard = includeGuard(options.header);
    return banner + QStringLiteral("#ifndef %1\n#define %1\n\n").arg(guard) + includes
        + declarations + QStringLiteral("\n#endif /* %1 */\n").arg(guard);
}

// The declarations in the header, or in the source itself.
Texts assemble(const QString &banner, const QString &includes, const QString &declarations,
               const QString &definitions, const Options &options)
{
    Texts texts;
    if (options.header.isEmpty()) {
        texts.source = (banner + includes + declarations + QLatin1Char('\n') + definitions).toLatin1();
        return texts;
    }
    texts.header = headerText(banner, includes, declarations, options).toLatin1();
    texts.source = (banner + QStringLiteral("#include \"%1\"\n\n").arg(options.header)
                    + definitions)
                       .toLatin1();
    return texts;
}

QString cellsTable(const FontCells &cells, const Options &options, const QString &indent,
                   const QString &comment, const QString &commentEnd)
{
    QString text;
    const int n = cells.glyphBytes();
    for (int i = 0; i < cells.count(); ++i) {
        text += indent + comment + characterLabel(cells.first + char32_t(i)) + commentEnd
            + QLatin1Char('\n');
        text += dataLines(cells.bytes, qsizetype(i) * n, n, indent);
    }
    Q_UNUSED(options);
    return text;
}

// MicroPython's framebuf constants for the layouts it draws.
QString framebufFormat(const DisplayLayout &layout)
{
    const bool lsb = layout.bitOrder == DisplayLayout::BitOrder::Lsb;
    if (layout.orientation == DisplayLayout::Orientation::Vertical)
        return lsb ? QStringLiteral("0  # framebuf.MONO_VLSB") : QString();
    return lsb ? QStringLiteral("4  # framebuf.MONO_HMSB") : QStringLiteral("3  # framebuf.MONO_HLSB");
}

QString gfxGlyphLine(const GfxFont::Glyph &glyph, char32_t code, bool last)
{
    return QStringLiteral("    { %1, %2, %3, %4, %5, %6 }%7 /* %8 */\n")
        .arg(hexNumber(uint(glyph.bitmapOffset), 4))
        .arg(glyph.width)
        .arg(glyph.height)
        .arg(glyph.xAdvance)
        .arg(glyph.xOffset)
        .arg(glyph.yOffset)
        .arg(last ? QString() : QStringLiteral(","))
        .arg(characterLabel(code));
}

} // namespace

Texts cellsC(const FontCells &cells, const Options &options)
{
    const QString banner = options.banner
        ? bannerText(cellsBanner(cells, options), QStringLiteral("/*"), QStringLiteral(" * "),
                     QStringLiteral(" */"))
        : QString();
    const QString includes = includeLines(options, {});
    QString definitions = QStringLiteral("%1 = {\n")
                              .arg(withAttribute(declarator(QStringLiteral("unsigned char"),
                                                            options.name, cells.bytes.size()),
                                                 options))
        + cellsTable(cells, options, QStringLiteral("    "), QStringLiteral("/* "),
                     QStringLiteral(" */"))
        + QStringLiteral("};\n");
    if (!cells.widths.isEmpty())
        definitions += QStringLiteral("\n%1 = {\n")
                           .arg(withAttribute(declarator(QStringLiteral("unsigned char"),
                                                         options.name + QStringLiteral("_widths"),
                                                         cells.widths.size()),
                                              options))
            + dataLines(cells.widths, 0, cells.widths.size(), QStringLiteral("    "))
            + QStringLiteral("};\n");
    return assemble(banner, includes, cellsDeclarations(cells, options), definitions, options);
}

QByteArray cellsPython(const FontCells &cells, const Options &options)
{
    const QString &n = options.name;
    QString text = options.banner
        ? bannerText(cellsBanner(cells, options), QString(), QStringLiteral("# "), QString())
        : QString();
    text += QStringLiteral("%1_FIRST = %2\n%1_LAST = %3\n%1_WIDTH = %4\n%1_HEIGHT = %5\n"
                           "%1_GLYPH_BYTES = %6\n%1_BASELINE = %7\n")
                .arg(n)
                .arg(cells.first)
                .arg(cells.last)
                .arg(cells.cell.width)
                .arg(cells.cell.height)
                .arg(cells.glyphBytes())
                .arg(cells.baseline);
    if (const QString format = framebufFormat(cells.cell); !format.isEmpty())
        text += QStringLiteral("%1_FORMAT = %2\n").arg(n, format);
    text += QStringLiteral("\n%1 = bytes((\n").arg(n)
        + cellsTable(cells, options, QStringLiteral("    "), QStringLiteral("# "), QString())
        + QStringLiteral("))\n");
    if (!cells.widths.isEmpty())
        text += QStringLiteral("\n%1_WIDTHS = bytes((\n").arg(n)
            + dataLines(cells.widths, 0, cells.widths.size(), QStringLiteral("    "))
            + QStringLiteral("))\n");
    return text.toLatin1();
}

Texts gfxC(const GfxFont &font, const Options &options)
{
    const QString &n = options.name;
    int widest = 0;
    int tallest = 0;
    for (const GfxFont::Glyph &glyph : font.glyphs) {
        widest = std::max(widest, glyph.width);
        tallest = std::max(tallest, glyph.height);
    }
    const QString banner = options.banner
        ? bannerText({QStringLiteral("%1: %2, %3 to %4 (%5 codes)")
                          .arg(n, options.description,
                               FontCharacters::name(char32_t(font.first)),
                               FontCharacters::name(char32_t(font.last)))
                          .arg(font.glyphs.size()),
                      QStringLiteral("Adafruit GFX font: boxes up to %1x%2 pixels, %3 bitmap "
                                     "bytes, %4 pixels a line")
                          .arg(widest)
                          .arg(tallest)
                          .arg(font.bitmap.size())
                          .arg(font.yAdvance),
                      QStringLiteral("written by vexlor-cli %1").arg(QStringLiteral(VEXLOR_VERSION))},
                     QStringLiteral("/*"), QStringLiteral(" * "), QStringLiteral(" */"))
        : QString();
    // GFXglyph and GFXfont come from Adafruit GFX's own header.
    const QString includes =
        includeLines(options, {QStringLiteral("stdint.h"), QStringLiteral("gfxfont.h")});
    const QString bitmaps = n + QStringLiteral("_bitmaps");
    const QString glyphs = n + QStringLiteral("_glyphs");
    const QString bitmapDeclaration =
        withAttribute(declarator(QStringLiteral("uint8_t"), bitmaps,
                                 std::max<qsizetype>(1, font.bitmap.size())),
                      options);
    const QString glyphDeclaration =
        withAttribute(declarator(QStringLiteral("GFXglyph"), glyphs, font.glyphs.size()), options);
    const QString fontDeclaration =
        withAttribute(QStringLiteral("const GFXfont %1").arg(n), options);
    const QString declarations = QStringLiteral("extern %1;\nextern %2;\nextern %3;\n")
                                     .arg(bitmapDeclaration, glyphDeclaration, fontDeclaration);

    QString definitions = bitmapDeclaration + QStringLiteral(" = {\n");
    // C has no empty initialiser: a font of spaces alone still has a byte.
    definitions += font.bitmap.isEmpty()
        ? QStringLiteral("    0x00\n")
        : dataLines(font.bitmap, 0, font.bitmap.size(), QStringLiteral("    "));
    definitions += QStringLiteral("};\n\n") + glyphDeclaration + QStringLiteral(" = {\n");
    for (int i = 0; i < font.glyphs.size(); ++i)
        definitions += gfxGlyphLine(font.glyphs.at(i), char32_t(font.first + i),
                                    i == font.glyphs.size() - 1);
    definitions += QStringLiteral("};\n\n%1 = {\n    (uint8_t *)%2,\n    (GFXglyph *)%3,\n"
                                  "    %4,\n    %5,\n    %6\n};\n")
                       .arg(fontDeclaration, bitmaps, glyphs, hexNumber(uint(font.first), 4),
                            hexNumber(uint(font.last), 4))
                       .arg(font.yAdvance);
    return assemble(banner, includes, declarations, definitions, options);
}

QString includeGuard(const QString &headerName)
{
    QString guard = QFileInfo(headerName).fileName().toUpper();
    for (QChar &c : guard)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80))
            c = QLatin1Char('_');
    if (guard.isEmpty() || guard.at(0).isDigit() || guard.at(0) == QLatin1Char('_'))
        guard.prepend(QStringLiteral("FONT_"));
    return guard;
}

} // namespace FontSource
