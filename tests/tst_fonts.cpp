#include "core/fontcharacters.h"
#include "core/fontrenderer.h"
#include "core/renderedfont.h"
#include "output/gfxfont.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

const QString Program = QStringLiteral(VEXLOR_BINARY_DIR "/cli/vexlor-cli");
const QString DejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

struct Result
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Result run(const QString &program, const QStringList &arguments, const QString &folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    Result result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Three glyphs whose pixels are known: 'A' (5x7 on the baseline), 'C' (4x5,
// one column in and two rows below the baseline) and a space; no 'B'.
const char TestFont[] = R"(STARTFONT 2.1
FONT -vexlor-test-medium-r-normal--9-90-75-75-c-60-iso10646-1
SIZE 9 75 75
FONTBOUNDINGBOX 6 9 0 -2
STARTPROPERTIES 5
PIXEL_SIZE 9
FONT_ASCENT 7
FONT_DESCENT 2
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
ENDPROPERTIES
CHARS 3
STARTCHAR space
ENCODING 32
SWIDTH 666 0
DWIDTH 6 0
BBX 1 1 0 0
BITMAP
00
ENDCHAR
STARTCHAR A
ENCODING 65
SWIDTH 666 0
DWIDTH 6 0
BBX 5 7 0 0
BITMAP
70
88
88
F8
88
88
88
ENDCHAR
STARTCHAR C
ENCODING 67
SWIDTH 666 0
DWIDTH 6 0
BBX 4 5 1 -2
BITMAP
70
80
80
80
70
ENDCHAR
ENDFONT
)";

// GFXglyph and GFXfont exactly as Adafruit GFX declares them.
const char GfxFontHeader[] = R"(#include <stdint.h>
typedef struct {
    uint16_t bitmapOffset;
    uint8_t width;
    uint8_t height;
    uint8_t xAdvance;
    int8_t xOffset;
    int8_t yOffset;
} GFXglyph;
typedef struct {
    uint8_t *bitmap;
    GFXglyph *glyph;
    uint16_t first;
    uint16_t last;
    uint8_t yAdvance;
} GFXfont;
)";

// Every glyph as drawChar reads it: one run of bits, most significant first.
const char GfxDecoder[] = R"(#include <stdio.h>
#include "font.h"
int main(void)
{
    const GFXfont *f = &font;
    for (unsigned c = f->first; c <= f->last; ++c) {
        const GFXglyph *g = &f->glyph[c - f->first];
        unsigned bo = g->bitmapOffset;
        unsigned char bits = 0, bit = 0;
        printf("U+%04X %d %d %d %d %d\n", c, g->width, g->height, g->xOffset, g->yOffset,
               g->xAdvance);
        for (int y = 0; y < g->height; ++y) {
            for (int x = 0; x < g->width; ++x) {
                if (!(bit++ & 7))
                    bits = f->bitmap[bo++];
                putchar(bits & 0x80 ? '#' : '.');
                bits <<= 1;
            }
            putchar('\n');
        }
    }
    printf("%d\n", f->yAdvance);
    return 0;
}
)";

const char CellsDecoder[] = R"(#include <stdio.h>
#include "font.h"
int main(void)
{
    printf("%d %d %d %d %d\n", font_FIRST, font_LAST, font_WIDTH, font_HEIGHT, font_GLYPH_BYTES);
    for (unsigned i = 0; i < sizeof font; ++i)
        printf("%02X", font[i]);
    printf("\n");
    for (unsigned i = 0; i < sizeof font_widths; ++i)
        printf("%d ", font_widths[i]);
    printf("\n");
    return 0;
}
)";

// FreeType's own one-bit glyphs, cut to their ink, in the decoder's words.
QByteArray freeTypeGlyphs(const QString &path, int pixels, char32_t first, char32_t last,
                          QByteArray *advances = nullptr)
{
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0)
        return "no FreeType";
    if (FT_New_Face(library, QFile::encodeName(path).constData(), 0, &face) != 0
        || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) != 0)
        return "no face";
    QByteArray text;
    for (char32_t code = first; code <= last; ++code) {
        FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap &b = slot->bitmap;
        auto on = [&](int x, int y) { return (b.buffer[y * b.pitch + x / 8] >> (7 - x % 8)) & 1; };
        int x0 = int(b.width), x1 = -1, y0 = int(b.rows), y1 = -1;
        for (int y = 0; y < int(b.rows); ++y)
            for (int x = 0; x < int(b.width); ++x)
                if (on(x, y)) {
                    x0 = qMin(x0, x), x1 = qMax(x1, x), y0 = qMin(y0, y), y1 = qMax(y1, y);
                }
        const int advance = int((slot->advance.x + 32) >> 6);
        if (advances)
            *advances += QByteArray::number(advance) + ' ';
        if (x1 < 0) {
            text += QStringLiteral("U+%1 0 0 0 0 %2\n").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper().arg(advance).toLatin1();
            continue;
        }
        text += QStringLiteral("U+%1 %2 %3 %4 %5 %6\n")
                    .arg(uint(code), 4, 16, QLatin1Char('0'))
                    .toUpper()
                    .arg(x1 - x0 + 1)
                    .arg(y1 - y0 + 1)
                    .arg(slot->bitmap_left + x0)
                    .arg(y0 - slot->bitmap_top)
                    .arg(advance)
                    .toLatin1();
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x)
                text += on(x, y) ? '#' : '.';
            text += '\n';
        }
    }
    text += QByteArray::number(int((face->size->metrics.height + 32) >> 6)) + '\n';
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return text;
}

} // namespace

class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void characterSets_data();
    void characterSets();
    void bitmapFontCells_data();
    void bitmapFontCells();
    void bitmapFontGfx();
    void previewDrawsTheTables_data();
    void previewDrawsTheTables();
    void compiledTables_data();
    void compiledTables();
    void avrKeepsFontsInFlash_data();
    void avrKeepsFontsInFlash();
    void infoReadsTheSource_data();
    void infoReadsTheSource();
    void importReadsCellsBack_data();
    void importReadsCellsBack();
    void refusals_data();
    void refusals();

private:
    QString file(const QString &name) const { return dir.filePath(name); }
    bool writeFile(const QString &name, const QByteArray &data) const;
    QByteArray readFile(const QString &name) const;

    QTemporaryDir dir;
};

bool TestFonts::writeFile(const QString &name, const QByteArray &data) const
{
    QFile f(file(name));
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray TestFonts::readFile(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestFonts::initTestCase()
{
    QVERIFY(QFile::exists(Program));
    QVERIFY(dir.isValid());
    QVERIFY(writeFile("test.bdf", TestFont));
    QVERIFY(writeFile("gfxfont.h", GfxFontHeader));
    QVERIFY(writeFile("chars.txt", "h\xC3\xA9h\xC3\xA9\r\n\tA\n"));
}

void TestFonts::characterSets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<uint>>("codes"); // empty: refused

    QTest::newRow("decimal range") << "32-35" << QList<uint>{32, 33, 34, 35};
    QTest::newRow("code point ranges, merged and sorted")
        << "U+00E9-U+00EA,0x41-0x41,U+20AC" << QList<uint>{0x41, 0xE9, 0xEA, 0x20AC};
    QTest::newRow("a literal text, repeats once") << "baba" << QList<uint>{'a', 'b'};
    QTest::newRow("digits are a text") << "65" << QList<uint>{'5', '6'};
    QTest::newRow("surrogates are no characters") << "U+D7FF-U+E000" << QList<uint>{0xD7FF, 0xE000};
    QTest::newRow("backwards") << "126-32" << QList<uint>{};
    QTest::newRow("past Unicode") << "U+10FFFF-U+110000" << QList<uint>{};
    QTest::newRow("too many") << "0-70000" << QList<uint>{};
}

void TestFonts::characterSets()
{
    QFETCH(QString, text);
    QFETCH(QList<uint>, codes);
    QList<char32_t> parsed;
    const QString problem = FontCharacters::parse(text, parsed);
    QCOMPARE(problem.isEmpty(), !codes.isEmpty());
    QCOMPARE(QList<uint>(parsed.begin(), parsed.end()), codes);

    QList<char32_t> used;
    QVERIFY(FontCharacters::fromText("h\xC3\xA9h\r\n\t\xEF\xBB\xBF", used));
    QCOMPARE(QList<uint>(used.begin(), used.end()), (QList<uint>{'h', 0xE9}));
    QVERIFY(!FontCharacters::fromText("\xC3(", used));
}

void TestFonts::bitmapFontCells_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("bytes");

    // The cell is the font's 6x9 with the baseline under row 6; 'B' is empty.
    QTest::newRow("ssd1306: column bytes, bit 0 top")
        << QStringList{"--display", "ssd1306"}
        << QByteArray::fromHex("7e0909097e00" "000000000000"
                               "000000000000" "000000000000"
                               "00e010101000" "000001010100");
    QTest::newRow("gfx: row bytes, bit 7 leftmost")
        << QStringList{"--display", "gfx"}
        << QByteArray::fromHex("708888f8888888" "0000" "000000000000000000"
                               "00000000" "3840404038");
    QTest::newRow("ks0108 in a larger cell: the controllers do not split a glyph")
        << QStringList{"--display", "ks0108", "--cell", "8x9"}
        << QByteArray::fromHex("7e0909097e000000" "0000000000000000"
                               "0000000000000000" "0000000000000000"
                               "00e0101010000000" "0000010101000000");
    QTest::newRow("horizontal, bit 0 leftmost")
        << QStringList{"--layout", "horizontal", "--bit-order", "lsb"}
        << QByteArray::fromHex("0e11111f111111" "0000" "000000000000000000"
                               "00000000" "1c0202021c");
}

void TestFonts::bitmapFontCells()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, bytes);
    const Result result = run(Program, QStringList{"font", file("test.bdf"), "--chars", "ABC",
                                                   "--format", "bin", "-o", "-"}
                                           + options);
    QCOMPARE(result.code, 0);
    QCOMPARE(result.out.toHex(), bytes.toHex());
    QVERIFY2(result.err.contains("lacks 1 of the 3 characters, left empty: U+0042"), result.err);
}

void TestFonts::bitmapFontGfx()
{
    QFile font(file("test.bdf"));
    QVERIFY(font.open(QIODevice::ReadOnly));
    FontRenderer renderer;
    QCOMPARE(renderer.load(font.readAll()), FontRenderer::Status::Ok);
    QCOMPARE(renderer.strikeSizes(), QList<int>{9});
    QCOMPARE(renderer.setPixelSize(9), FontRenderer::Status::Ok);
    QList<char32_t> missing;
    const RenderedFont rendered = RenderedFont::render(renderer, 9, {'A', 'B', 'C'}, missing);
    QCOMPARE(missing, QList<char32_t>{'B'});
    GfxFont gfx;
    QCOMPARE(GfxFont::build(rendered, gfx), QString());
    // 'A': 01110 10001 10001 11111 10001 10001 10001, then 'C': 0111 1000 1000 1000 0111.
    QCOMPARE(gfx.bitmap.toHex(), QByteArray("7463f8c620788870"));
    QCOMPARE(gfx.first, int('A'));
    QCOMPARE(gfx.last, int('C'));
    QCOMPARE(gfx.yAdvance, 9);
    const QList<QList<int>> glyphs = {{0, 5, 7, 6, 0, -7}, {5, 0, 0, 0, 0, 0}, {5, 4, 5, 6, 1, -3}};
    QCOMPARE(gfx.glyphs.size(), glyphs.size());
    for (int i = 0; i < glyphs.size(); ++i) {
        const GfxFont::Glyph &g = gfx.glyphs.at(i);
        QCOMPARE((QList<int>{g.bitmapOffset, g.width, g.height, g.xAdvance, g.xOffset, g.yOffset}),
                 glyphs.at(i));
    }
}

void TestFonts::previewDrawsTheTables_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("rows");

    // "CA": fixed cells side by side; GFX boxes from the tallest glyph's top.
    QTest::newRow("cells") << QStringList{} << QStringList{
        "......" ".###..", "......" "#...#.", "......" "#...#.", "......" "#####.",
        "..###." "#...#.", ".#...." "#...#.", ".#...." "#...#.", ".#...." "......",
        "..###." "......"};
    QTest::newRow("proportional cells of 4 columns cut 'A'")
        << QStringList{"--proportional", "--cell", "4x9"} << QStringList{
        "......" ".###", "......" "#...", "......" "#...", "......" "####",
        "..##.." "#...", ".#...." "#...", ".#...." "#...", ".#...." "....",
        "..##.." "...."};
    QTest::newRow("gfxfont") << QStringList{"--kind", "gfxfont"} << QStringList{
        "......" ".###.", "......" "#...#", "......" "#...#", "......" "#####",
        "..###." "#...#", ".#...." "#...#", ".#...." "#...#", ".#....", "..###."};
}

void TestFonts::previewDrawsTheTables()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, rows);
    const Result drawn = run(Program, QStringList{"font", file("test.bdf"), "--preview", "CA",
                                                  "--zoom", "1", "-o", file("preview.png")}
                                          + options);
    QCOMPARE(drawn.code, 0);
    QImage picture(file("preview.png"));
    QVERIFY(!picture.isNull());
    QStringList pixels;
    for (int y = 0; y < picture.height(); ++y) {
        QString row;
        for (int x = 0; x < picture.width(); ++x)
            row += qGray(picture.pixel(x, y)) < 128 ? QLatin1Char('#') : QLatin1Char('.');
        pixels << row;
    }
    // Past the last glyph's box a picture may have blank columns: compare the drawn ones.
    for (int y = 0; y < rows.size(); ++y)
        QCOMPARE(pixels.value(y).left(rows.at(y).size()), rows.at(y));
    QCOMPARE(pixels.size(), rows.size());
}

void TestFonts::compiledTables_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("compiler");
    QTest::addColumn<QStringList>("languageOptions");

    const QStringList c{"-x", "c", "-std=c99"};
    const QStringList cxx{"-x", "c++", "-std=c++11"};
    QTest::newRow("gfxfont as C") << "gfxfont" << "gcc" << c;
    QTest::newRow("gfxfont as C++") << "gfxfont" << "g++" << cxx;
    QTest::newRow("cells as C") << "cells" << "gcc" << c;
    QTest::newRow("cells as C++") << "cells" << "g++" << cxx;
}

// The text compiles and links unchanged, and what a program reads from it
// is FreeType's own glyphs (GFXfont) or the bytes of the binary (cells).
void TestFonts::compiledTables()
{
    QFETCH(QString, kind);
    QFETCH(QString, compiler);
    QFETCH(QStringList, languageOptions);
    if (!QFile::exists(DejaVu))
        QSKIP("fonts-dejavu-core is not installed");
    const QStringList font{"font", DejaVu, "--font-size", "16", "--kind", kind};
    const QStringList cells = kind == QLatin1String("cells")
        ? QStringList{"--proportional", "--display", "ssd1306"}
        : QStringList{};
    Result result = run(Program, font + cells + QStringList{"-o", file("font.c"), "--header", file("font.h")});
    QVERIFY2(result.code == 0, result.err);
    QVERIFY(writeFile("main.c", kind == QLatin1String("cells") ? CellsDecoder : GfxDecoder));
    const QStringList strict{"-Wall", "-Wextra", "-pedantic", "-Werror", "-I", dir.path()};
    for (const QString &unit : {QStringLiteral("font"), QStringLiteral("main")}) {
        result = run(compiler, strict + languageOptions
                                   + QStringList{"-c", file(unit + ".c"), "-o", file(unit + ".o")});
        QVERIFY2(result.code == 0, result.err);
    }
    result = run(compiler, {file("font.o"), file("main.o"), "-o", file("decoder")});
    QVERIFY2(result.code == 0, result.err);
    const Result decoded = run(file("decoder"), {});
    QCOMPARE(decoded.code, 0);

    QByteArray advances;
    const QByteArray glyphs = freeTypeGlyphs(DejaVu, 16, 32, 126, &advances);
    if (kind == QLatin1String("gfxfont")) {
        QCOMPARE(decoded.out.split('\n'), glyphs.split('\n'));
        return;
    }
    result = run(Program, font + QStringList{"--display", "ssd1306", "--format", "bin", "-o", "-"});
    const QList<QByteArray> lines = decoded.out.split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(1), result.out.toHex().toUpper());
    QCOMPARE(lines.at(2), advances);
}

void TestFonts::infoReadsTheSource_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QStringList>("told");

    const QString bdf = QStringLiteral("test.bdf");
    QTest::newRow("cells in C") << bdf << QStringList{"--chars", "32-67"} << "cells.c"
                                << QStringList{"fixed-cell font 'cells'", "36 glyphs",
                                               "U+0020 to U+0043", "6x9", "12 bytes"};
    QTest::newRow("cells in a header")
        << bdf << QStringList{"--chars", "ABC", "--layout", "horizontal", "--header", "cells.h"}
        << "cells.h" << QStringList{"3 glyphs", "6x9", "9 bytes"};
    QTest::newRow("proportional cells in Python")
        << bdf << QStringList{"--chars", "ABC", "--proportional", "--name", "small"} << "cells.py"
        << QStringList{"'small'", "3 glyphs", "a width per glyph"};
    QTest::newRow("gfxfont") << bdf << QStringList{"--chars", "ABC", "--kind", "gfxfont"}
                             << "gfx.c"
                             << QStringList{"Adafruit GFX font 'gfx'", "3 glyphs", "5x7",
                                            "9 pixels a line"};
    // Debian's own bitmap fonts: a gzipped PCF and a strike of an OpenType bitmap font.
    QTest::newRow("X11's 5x7") << "/usr/share/fonts/X11/misc/5x7.pcf.gz"
                               << QStringList{"--display", "ks0108"} << "x11.c"
                               << QStringList{"95 glyphs", "cells of 5x7 pixels, 5 bytes each"};
    QTest::newRow("Terminus 16") << "/usr/share/fonts/opentype/terminus/terminus-normal.otb"
                                 << QStringList{"--font-size", "16", "--display", "ssd1306"}
                                 << "terminus.c"
                                 << QStringList{"95 glyphs", "cells of 8x16 pixels, 16 bytes each"};
}

void TestFonts::infoReadsTheSource()
{
    QFETCH(QString, font);
    QFETCH(QStringList, options);
    QFETCH(QString, written);
    QFETCH(QStringList, told);
    for (QString &option : options)
        if (option.endsWith(QLatin1String(".h")))
            option = file(option);
    const QString out = file(written.endsWith(QLatin1String(".h"))
                                 ? written.left(written.size() - 1) + QLatin1Char('c')
                                 : written);
    if (font.startsWith(QLatin1Char('/')) && !QFile::exists(font))
        QSKIP("the font's Debian package is not installed");
    const QString path = font.startsWith(QLatin1Char('/')) ? font : file(font);
    QCOMPARE(run(Program, QStringList{"font", path, "-o", out} + options).code, 0);
    const Result result = run(Program, {"info", file(written)});
    QCOMPARE(result.code, 0);
    for (const QString &words : told)
        QVERIFY2(QString::fromUtf8(result.out).contains(words), result.out);
}

void TestFonts::importReadsCellsBack_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QStringList>("importOptions");
    QTest::addColumn<int>("code");

    // More glyphs than the 64 images of a binary file, and a widths table beside them.
    const QStringList ascii{"--chars", "32-126", "--proportional"};
    QTest::newRow("C") << ascii << "font.c" << QStringList{} << 0;
    QTest::newRow("Python, row bytes")
        << ascii + QStringList{"--display", "gfx"} << "font.py" << QStringList{} << 0;
    QTest::newRow("a header, by name, in its layout")
        << ascii + QStringList{"--header", "font.h", "--name", "small", "--target", "avr"}
        << "font.c" << QStringList{"--name", "small", "--display", "ks0108"} << 0;
    QTest::newRow("cells of another layout")
        << ascii << "font.c" << QStringList{"--layout", "horizontal"} << 1;
}

// What import reads back is what --format bin writes, byte for byte.
void TestFonts::importReadsCellsBack()
{
    QFETCH(QStringList, options);
    QFETCH(QString, written);
    QFETCH(QStringList, importOptions);
    QFETCH(int, code);
    for (QString &option : options)
        if (option.endsWith(QLatin1String(".h")))
            option = file(option);
    QStringList binary = options.mid(0, 2);
    if (const qsizetype display = options.indexOf(QStringLiteral("--display")); display >= 0)
        binary << options.mid(display, 2);
    const QStringList font{"font", file("test.bdf")};
    const Result expected = run(Program, font + binary + QStringList{"--format", "bin", "-o", "-"});
    QCOMPARE(expected.code, 0);
    QCOMPARE(run(Program, font + options + QStringList{"-o", file(written)}).code, 0);
    const Result imported = run(Program, QStringList{"import", file(written), "-o", "-"}
                                             + importOptions);
    QCOMPARE(imported.code, code);
    if (code == 0)
        QCOMPARE(imported.out.toHex(), expected.out.toHex());
}

void TestFonts::avrKeepsFontsInFlash_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reader");

    QTest::newRow("gfxfont") << "gfxfont"
                             << "return pgm_read_byte(&font_bitmaps[100]) + "
                                "pgm_read_byte(&font.yAdvance);";
    QTest::newRow("cells") << "cells" << "return pgm_read_byte(&font[5000]);";
}

// DejaVu Sans at 16 pixels would fill the ATmega328P's 2 KiB of RAM twice
// over in cells; in flash, the data section stays empty.
void TestFonts::avrKeepsFontsInFlash()
{
    QFETCH(QString, kind);
    QFETCH(QString, reader);
    const QString avrGcc = QStandardPaths::findExecutable(QStringLiteral("avr-gcc"));
    const QString avrSize = QStandardPaths::findExecutable(QStringLiteral("avr-size"));
    if (avrGcc.isEmpty() || avrSize.isEmpty() || !QFile::exists(DejaVu))
        QSKIP("gcc-avr, avr-libc and fonts-dejavu-core are needed");
    Result result = run(Program, {"font", DejaVu, "--font-size", "16", "--kind", kind, "--target",
                                  "avr", "-o", file("font.c"), "--header", file("font.h")});
    QVERIFY2(result.code == 0, result.err);
    QVERIFY(writeFile("main.c", ("#include \"font.h\"\nint main(void)\n{\n    " + reader
                                 + "\n}\n")
                                    .toLatin1()));
    result = run(avrGcc, {"-mmcu=atmega328p", "-Os", "-Wall", "-Wextra", "-pedantic", "-Werror",
                          "-I", dir.path(), file("font.c"), file("main.c"), "-o", file("font.elf")});
    QVERIFY2(result.code == 0, result.err);
    result = run(avrSize, {"-A", file("font.elf")});
    const auto section = [&](const char *name) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^\\%1\\s+(\\d+)").arg(QLatin1String(name)),
                               QRegularExpression::MultilineOption)
                .match(QString::fromLatin1(result.out));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    QVERIFY2(section(".text") > 1500, result.out);
    QVERIFY2(section(".data") >= 0 && section(".data") < 16, result.out);
}

void TestFonts::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("none of the characters") << QStringList{"test.bdf", "--chars", "xyz"} << 1
                                            << "none of the 3 characters asked for (U+0078, "
                                               "U+0079, U+007A)";
    QTest::newRow("not a font") << QStringList{"gfxfont.h"} << 1 << "not a font FreeType reads";
    QTest::newRow("no such strike") << QStringList{"test.bdf", "--font-size", "12"} << 1
                                    << "without a 12-pixel strike; choose one of 9 with --font-size";
    QTest::newRow("a binary is cells alone")
        << QStringList{"test.bdf", "--format", "bin", "--proportional"} << 2
        << "--format bin holds the cells alone";
    QTest::newRow("GFXfont is C") << QStringList{"test.bdf", "--kind", "gfxfont", "--format", "python"}
                                  << 2 << "a GFXfont is C source";
    QTest::newRow("a GFXfont's 16-bit offsets")
        << QStringList{DejaVu, "--font-size", "150", "--kind", "gfxfont"} << 1
        << "passes the 65536 bytes";
    QTest::newRow("cells past what a firmware holds")
        << QStringList{"test.bdf", "--chars", "0-65535", "--cell", "255x255"} << 1
        << "65536 cells of 255x255 would take 510 MiB";
    QTest::newRow("a table holds every code between")
        << QStringList{"test.bdf", "--chars", "A\xF0\x9F\x98\x80"} << 2 << "spans more than 65536";
}

void TestFonts::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    for (QString &argument : arguments)
        if (argument.endsWith(QLatin1String(".bdf")) || argument.endsWith(QLatin1String(".h")))
            argument = file(argument);
    const Result result = run(Program, QStringList{"font"} + arguments
                                           + QStringList{"-o", file("refused.c")});
    QCOMPARE(result.code, code);
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err);
    QVERIFY(!QFile::exists(file("refused.c")));
}

QTEST_GUILESS_MAIN(TestFonts)
#include "tst_fonts.moc"
