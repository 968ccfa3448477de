#include "output/fontsource.h"

#include "core/fontcharacters.h"
#include "output/exporttext.h"
#include "output/fontcells.h"
#include "output/gfxfont.h"

#include <QStringList>

#include <algorithm>

namespace FontSource {

namespace {

using SourceText::Language;

constexpr int BytesPerLine = 16;

// "U+0041 'A'": the character itself only where it is plain ASCII, so that
// the text stays ASCII whatever the font holds.
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

// The export's delimiters for `language`, tabs expanded.
ExportFields delimiters(Language language)
{
    const ExportFields fields = SourceText::fields(language);
    return ExportFields{ExportText::expandTabs(fields.comment), fields.tableStart,
                        fields.tableEnd, ExportText::expandTabs(fields.lineStart),
                        fields.hexPrefix, fields.separator};
}

// Lines of at most 16 numbers, each followed by a comma, none by a blank.
QString dataLines(const QByteArray &bytes, qsizetype from, qsizetype count,
                  const ExportFields &fields)
{
    const QString separator = fields.separator.trimmed();
    QString text;
    for (qsizetype i = 0; i < count; ++i) {
        text += i % BytesPerLine == 0 ? fields.lineStart : QStringLiteral(" ");
        text += fields.hexPrefix + hexNumber(uchar(bytes.at(from + i)), 2).mid(2) + separator;
        if (i % BytesPerLine == BytesPerLine - 1 || i == count - 1)
            text += QLatin1Char('\n');
    }
    return text;
}

// The export's banner, then what the tables hold, as comment lines.
QString opening(const QStringList &lines, const SourceText::Options &options, Language language)
{
    const ExportFields fields = SourceText::fields(language);
    QString text = options.banner ? ExportText::banner(fields) : QString();
    for (const QString &line : lines)
        text += ExportText::expandTabs(fields.comment) + line + QLatin1Char('\n');
    return text + QLatin1Char('\n');
}

QStringList cellsLines(const FontCells &cells, const SourceText::Options &options,
                       const QString &description)
{
    return {QStringLiteral("%1: %2, %3 to %4 (%5 codes)")
                .arg(options.name, description, FontCharacters::name(cells.first),
                     FontCharacters::name(cells.last))
                .arg(cells.count()),
            QStringLiteral("fixed cells of %1x%2 pixels, %3 bytes each: %4")
                .arg(cells.cell.width)
                .arg(cells.cell.height)
                .arg(cells.glyphBytes())
                .arg(cells.cell.arrangement()),
            QStringLiteral("pen position at column %1 of row %2%3")
                .arg(cells.originX)
                .arg(cells.baseline)
                .arg(cells.widths.isEmpty() ? QString()
                                            : QStringLiteral("; a width per glyph: the step "
                                                             "after it"))};
}

QString declarator(const QString &type, const QString &name, qsizetype count)
{
    return QStringLiteral("const %1 %2[%3]").arg(type, name).arg(count);
}

QString flash(const SourceText::Options &options)
{
    return options.target == SourceText::Target::Avr ? QStringLiteral(" PROGMEM") : QString();
}

QString avrLines(const SourceText::Options &options, const QString &comment)
{
    if (options.target != SourceText::Target::Avr)
        return QString();
    return comment + QStringLiteral("In flash: read the bytes with pgm_read_byte().\n"
                                    "#include <avr/pgmspace.h>\n\n");
}

QString cellsDeclarations(const FontCells &cells, const SourceText::Options &options)
{
    const QString &n = options.name;
    const struct
    {
        const char *suffix;
        qint64 value;
    } constants[] = {
        {"FIRST", cells.first},
        {"LAST", cells.last},
        {"WIDTH", cells.cell.width},
        {"HEIGHT", cells.cell.height},
        {"GLYPH_BYTES", cells.glyphBytes()},
        {"BASELINE", cells.baseline},
    };
    QString text = avrLines(options, QStringLiteral("// "));
    for (const auto &constant : constants)
        text += QStringLiteral("#define %1_%2 %3\n")
                    .arg(n, QLatin1String(constant.suffix))
                    .arg(constant.value);
    QString externs = QStringLiteral("extern %1%2;\n")
                          .arg(declarator(QStringLiteral("unsigned char"), n, cells.bytes.size()),
                               flash(options));
    if (!cells.widths.isEmpty())
        externs += QStringLiteral("extern %1%2;\n")
                       .arg(declarator(QStringLiteral("unsigned char"), n + QStringLiteral("_widths"),
                                       cells.widths.size()),
                            flash(options));
    return text + QLatin1Char('\n') + SourceText::withCLinkage(externs);
}

// The declarations in a header behind its guard, or in the source itself.
Texts assemble(const QString &opening, const QString &declarations, const QString &definitions,
               const SourceText::Options &options, const QString &headerPath)
{
    Texts texts;
    if (headerPath.isEmpty()) {
        texts.source = (opening + declarations + QLatin1Char('\n') + definitions).toLatin1();
        return texts;
    }
    const QString guard = SourceText::includeGuard(headerPath);
    texts.header = (opening + QStringLiteral("#ifndef %1\n#define %1\n\n").arg(guard) + declarations
                    + QStringLiteral("\n#endif\n"))
                       .toLatin1();
    texts.source = (opening + QStringLiteral("#include \"%1\"\n\n").arg(options.headerName)
                    + definitions)
                       .toLatin1();
    return texts;
}

// One comment line naming each glyph, then its bytes.
QString glyphRows(const FontCells &cells, const ExportFields &fields, const QString &commentEnd)
{
    QString text;
    const int n = cells.glyphBytes();
    for (int i = 0; i < cells.count(); ++i) {
        text += fields.lineStart + fields.comment + characterLabel(cells.first + char32_t(i))
            + commentEnd + QLatin1Char('\n');
        text += dataLines(cells.bytes, qsizetype(i) * n, n, fields);
    }
    return text;
}

QString gfxGlyphLine(const GfxFont::Glyph &glyph, char32_t code, bool last)
{
    return QStringLiteral("\t{ %1, %2, %3, %4, %5, %6 }%7 /* %8 */\n")
        .arg(hexNumber(uint(glyph.bitmapOffset), 4))
        .arg(glyph.width)
        .arg(glyph.height)
        .arg(glyph.xAdvance)
        .arg(glyph.xOffset)
        .arg(glyph.yOffset)
        .arg(last ? QString() : QStringLiteral(","))
        .arg(characterLabel(code));
}

QStringList gfxLines(const GfxFont &font, const SourceText::Options &options,
                     const QString &description)
{
    int widest = 0;
    int tallest = 0;
    for (const GfxFont::Glyph &glyph : font.glyphs) {
        widest = std::max(widest, glyph.width);
        tallest = std::max(tallest, glyph.height);
    }
    return {QStringLiteral("%1: %2, %3 to %4 (%5 codes)")
                .arg(options.name, description, FontCharacters::name(char32_t(font.first)),
                     FontCharacters::name(char32_t(font.last)))
                .arg(font.glyphs.size()),
            QStringLiteral("Adafruit GFX font: boxes up to %1x%2 pixels, %3 bitmap bytes, %4 "
                           "pixels a line")
                .arg(widest)
                .arg(tallest)
                .arg(font.bitmap.size())
                .arg(font.yAdvance)};
}

} // namespace

Texts cellsC(const FontCells &cells, const SourceText::Options &options,
             const QString &description, const QString &headerPath)
{
    const ExportFields c = delimiters(Language::C);
    const QString storage = SourceText::storage(options);
    QString definitions = QStringLiteral("%1%2 = {\n")
                              .arg(declarator(QStringLiteral("unsigned char"), options.name,
                                              cells.bytes.size()),
                                   storage)
        + glyphRows(cells, {c.comment, {}, {}, c.lineStart, c.hexPrefix, c.separator},
                    QString())
        + QStringLiteral("};\n");
    if (!cells.widths.isEmpty())
        definitions += QStringLiteral("\n%1%2 = {\n")
                           .arg(declarator(QStringLiteral("unsigned char"),
                                           options.name + QStringLiteral("_widths"),
                                           cells.widths.size()),
                                storage)
            + dataLines(cells.widths, 0, cells.widths.size(), c) + QStringLiteral("};\n");
    return assemble(opening(cellsLines(cells, options, description), options, Language::C),
                    cellsDeclarations(cells, options), definitions, options, headerPath);
}

QByteArray cellsPython(const FontCells &cells, const SourceText::Options &options,
                       const QString &description)
{
    const ExportFields py = delimiters(Language::Python);
    const SourceText::Tags tags{options.name, cells.cell.width, cells.cell.height,
                                int(cells.bytes.size()), cells.count()};
    QString text = opening(cellsLines(cells, options, description), options, Language::Python);
    text += QStringLiteral("import framebuf\n\n%1_FIRST = %2\n%1_LAST = %3\n%1_WIDTH = %4\n"
                           "%1_HEIGHT = %5\n%1_GLYPH_BYTES = %6\n%1_BASELINE = %7\n"
                           "%1_FORMAT = framebuf.%8\n\n")
                .arg(options.name)
                .arg(cells.first)
                .arg(cells.last)
                .arg(cells.cell.width)
                .arg(cells.cell.height)
                .arg(cells.glyphBytes())
                .arg(cells.baseline)
                .arg(SourceText::framebufFormat(cells.cell));
    text += SourceText::expandTags(py.tableStart, tags) + QLatin1Char('\n')
        + glyphRows(cells, py, QString()) + py.tableEnd + QLatin1Char('\n');
    if (!cells.widths.isEmpty()) {
        SourceText::Tags widths = tags;
        widths.name += QStringLiteral("_widths");
        text += QLatin1Char('\n') + SourceText::expandTags(py.tableStart, widths)
            + QLatin1Char('\n') + dataLines(cells.widths, 0, cells.widths.size(), py)
            + py.tableEnd + QLatin1Char('\n');
    }
    return text.toLatin1();
}

Texts gfxC(const GfxFont &font, const SourceText::Options &options, const QString &description,
           const QString &headerPath)
{
    const ExportFields c = delimiters(Language::C);
    const QString &n = options.name;
    const QString bitmaps = n + QStringLiteral("_bitmaps");
    const QString glyphs = n + QStringLiteral("_glyphs");
    // C has no empty initialiser: a font of spaces alone still has a byte.
    const QByteArray bitmap = font.bitmap.isEmpty() ? QByteArray(1, '\0') : font.bitmap;
    const QString bitmapDeclarator = declarator(QStringLiteral("uint8_t"), bitmaps, bitmap.size());
    const QString glyphDeclarator =
        declarator(QStringLiteral("GFXglyph"), glyphs, font.glyphs.size());
    const QString fontDeclarator = QStringLiteral("const GFXfont %1").arg(n);

    // GFXglyph and GFXfont come from Adafruit GFX's own header.
    QString declarations = avrLines(options, QStringLiteral("// "))
        + QStringLiteral("#include <stdint.h>\n#include <gfxfont.h>\n\n");
    declarations += SourceText::withCLinkage(
        QStringLiteral("extern %1%4;\nextern %2%4;\nextern %3%4;\n")
            .arg(bitmapDeclarator, glyphDeclarator, fontDeclarator, flash(options)));

    const QString storage = SourceText::storage(options);
    QString definitions = bitmapDeclarator + storage + QStringLiteral(" = {\n")
        + dataLines(bitmap, 0, bitmap.size(), c) + QStringLiteral("};\n\n") + glyphDeclarator
        + storage + QStringLiteral(" = {\n");
    for (int i = 0; i < font.glyphs.size(); ++i)
        definitions += gfxGlyphLine(font.glyphs.at(i), char32_t(font.first + i),
                                    i == font.glyphs.size() - 1);
    definitions += QStringLiteral("};\n\n%1%2 = {\n\t(uint8_t *)%3,\n\t(GFXglyph *)%4,\n\t%5,\n"
                                  "\t%6,\n\t%7\n};\n")
                       .arg(fontDeclarator, storage, bitmaps, glyphs,
                            hexNumber(uint(font.first), 4), hexNumber(uint(font.last), 4))
                       .arg(font.yAdvance);
    return assemble(opening(gfxLines(font, options, description), options, Language::C),
                    declarations, definitions, options, headerPath);
}

} // namespace FontSource
