#include "core/authorship.h"
#include "core/binimage.h"
#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QByteArray>
#include <QtTest>

namespace {

const QString Stars(34, QLatin1Char('*'));
const QString Title = QStringLiteral("*     Exporte par Vexlor         *");

QByteArray workedImage()
{
    QByteArray image(BinImage::ImageBytes, '\0');
    image[0] = char(0x3C);
    image[1023] = char(0xFF);
    return image;
}

ExportFields presetFields(int id)
{
    ExportFields fields;
    ExportText::preset(id, fields);
    return fields;
}

QString generate(const ExportFields &fields, int n, bool assembler,
                 const QByteArray &image = workedImage())
{
    return ExportText::generate(fields, n, assembler,
                                reinterpret_cast<const uchar *>(image.constData()));
}

QStringList banner(const QString &comment)
{
    return {comment + Stars, comment + Title, comment + Authorship::bannerLine(),
            comment + Stars, QString()};
}

// The data lines of a text made with the banner and table start of `fields`.
QStringList dataLines(const QString &text, int bannerAndStart = 6, int closing = 3)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    return lines.mid(bannerAndStart, lines.size() - bannerAndStart - closing);
}

using ExportText::preset;

} // namespace

class TestExportText : public QObject
{
    Q_OBJECT

private slots:
    void presets_data();
    void presets();
    void unknownPresetChangesNothing_data();
    void unknownPresetChangesNothing();
    void workedExample();
    void closingOfOtherPresets_data();
    void closingOfOtherPresets();
    void lineCounts_data();
    void lineCounts();
    void bytesPerLineOutOfRange_data();
    void bytesPerLineOutOfRange();
    void tabEscape_data();
    void tabEscape();
    void tabInEveryField();
    void allFieldsEmpty();
    void assemblerFlagDecidesSeparators_data();
    void assemblerFlagDecidesSeparators();
    void latin1_data();
    void latin1();
    void imagesOfAnySize_data();
    void imagesOfAnySize();
};

void TestExportText::presets_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("asm") << 0
        << QStringList{"; ", "image:", "", "dt $tab", "0x", ", "};
    QTest::newRow("c") << 1
        << QStringList{"// ", "const unsigned char image[1024] = {", "};", "$tab", "0x", ", "};
    QTest::newRow("custom") << 2
        << QStringList{"' ", "Dim image()=", "", "$tab$tab", "&H", ", "};
}

void TestExportText::presets()
{
    QFETCH(int, id);
    QFETCH(QStringList, expected);
    ExportFields f{"x", "x", "x", "x", "x", "x"};
    QVERIFY(preset(id, f));
    QCOMPARE((QStringList{f.comment, f.tableStart, f.tableEnd, f.lineStart, f.hexPrefix,
                          f.separator}),
             expected);
}

void TestExportText::unknownPresetChangesNothing_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("-1") << -1;
    QTest::newRow("3") << 3;
}

void TestExportText::unknownPresetChangesNothing()
{
    QFETCH(int, id);
    ExportFields f{"a", "b", "c", "d", "e", "f"};
    QVERIFY(!preset(id, f));
    QCOMPARE((QStringList{f.comment, f.tableStart, f.tableEnd, f.lineStart, f.hexPrefix,
                          f.separator}),
             (QStringList{"a", "b", "c", "d", "e", "f"}));
}

void TestExportText::workedExample()
{
    const QString text = generate(presetFields(ExportText::C), 16, false);
    QVERIFY(text.endsWith(QLatin1String("0xFF\n};\n\n")));

    QStringList expected = banner(QStringLiteral("// "));
    expected << QStringLiteral("const unsigned char image[1024] = {");
    const QString zeros = QStringLiteral("0x00, ").repeated(16);
    expected << QStringLiteral("\t0x3C, ") + QStringLiteral("0x00, ").repeated(15);
    for (int line = 8; line <= 69; ++line)
        expected << QLatin1Char('\t') + zeros;
    expected << QStringLiteral("\t") + QStringLiteral("0x00, ").repeated(15) + QStringLiteral("0xFF");
    expected << QStringLiteral("};") << QString();
    // The text ends with a line break, so splitting yields one empty piece more.
    expected << QString();

    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 73);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(lines.at(i), expected.at(i));
    QCOMPARE(text, expected.join(QLatin1Char('\n')));
}

void TestExportText::closingOfOtherPresets_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("assembler");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("tableStart");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("middleLine");
    QTest::addColumn<QString>("lastLine");

    const QString asmZeros = QStringLiteral("0x00, ").repeated(15) + QStringLiteral("0x00");
    QTest::newRow("asm") << 0 << true << "; " << "image:"
        << "dt \t0x3C" + QStringLiteral(", 0x00").repeated(15)
        << "dt \t" + asmZeros
        << "dt \t" + QStringLiteral("0x00, ").repeated(15) + "0xFF";
    QTest::newRow("custom") << 2 << false << "' " << "Dim image()="
        << "\t\t&H3C, " + QStringLiteral("&H00, ").repeated(15)
        << "\t\t" + QStringLiteral("&H00, ").repeated(16)
        << "\t\t" + QStringLiteral("&H00, ").repeated(15) + "&HFF";
}

void TestExportText::closingOfOtherPresets()
{
    QFETCH(int, id);
    QFETCH(bool, assembler);
    QFETCH(QString, comment);
    QFETCH(QString, tableStart);
    QFETCH(QString, firstLine);
    QFETCH(QString, middleLine);
    QFETCH(QString, lastLine);

    QStringList expected = banner(comment);
    expected << tableStart << firstLine;
    for (int line = 8; line <= 69; ++line)
        expected << middleLine;
    expected << lastLine;
    const QString text = generate(presetFields(id), 16, assembler);
    QCOMPARE(text, expected.join(QLatin1Char('\n')) + QStringLiteral("\n\n\n"));
}

void TestExportText::lineCounts_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("assembler");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("lastCount");

    for (const bool assembler : {true, false}) {
        const char *kind = assembler ? "asm" : "c";
        QTest::addRow("%s 1", kind) << 1 << assembler << 1024 << 1;
        QTest::addRow("%s 10", kind) << 10 << assembler << 103 << 4;
        QTest::addRow("%s 16", kind) << 16 << assembler << 64 << 16;
        QTest::addRow("%s 96", kind) << 96 << assembler << 11 << 64;
    }
}

void TestExportText::lineCounts()
{
    QFETCH(int, n);
    QFETCH(bool, assembler);
    QFETCH(int, lines);
    QFETCH(int, lastCount);

    ExportFields fields = presetFields(ExportText::C);
    fields.lineStart = QStringLiteral("L");
    fields.hexPrefix = QStringLiteral("#");
    fields.separator = QStringLiteral(";");
    const QStringList data = dataLines(generate(fields, n, assembler), 6, 3);
    QCOMPARE(data.size(), lines);

    for (int i = 0; i < data.size(); ++i) {
        const QString &line = data.at(i);
        const bool last = i == data.size() - 1;
        QVERIFY2(line.startsWith(QLatin1Char('L')), qPrintable(line));
        QCOMPARE(int(line.count(QLatin1Char('#'))), last ? lastCount : n);
        const bool trailing = line.endsWith(QLatin1Char(';'));
        QCOMPARE(trailing, !assembler && !last);
        QCOMPARE(int(line.count(QLatin1Char(';'))),
                 (last ? lastCount : n) - 1 + (trailing ? 1 : 0));
    }
}

void TestExportText::bytesPerLineOutOfRange_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("lines");
    QTest::newRow("0") << 0 << 1024;
    QTest::newRow("-5") << -5 << 1024;
    QTest::newRow("97") << 97 << 11;
    QTest::newRow("2000") << 2000 << 11;
}

void TestExportText::bytesPerLineOutOfRange()
{
    QFETCH(int, n);
    QFETCH(int, lines);
    QCOMPARE(dataLines(generate(presetFields(ExportText::C), n, false)).size(), lines);
}

void TestExportText::tabEscape_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("twice") << "$tab$tab" << "\t\t";
    QTest::newRow("followed by letters") << "$tabX" << "\tX";
    QTest::newRow("capitals") << "$TAB" << "$TAB";
    QTest::newRow("mixed case") << "$Tab" << "$Tab";
    QTest::newRow("inside") << "a$tab b" << "a\t b";
    QTest::newRow("incomplete") << "$ta" << "$ta";
    QTest::newRow("dollar before") << "$$tab" << "$\t";
    QTest::newRow("empty") << "" << "";
}

void TestExportText::tabEscape()
{
    QFETCH(QString, typed);
    QFETCH(QString, expanded);
    QCOMPARE(ExportText::expandTabs(typed), expanded);
}

void TestExportText::tabInEveryField()
{
    const ExportFields fields{"$tab", "S$tab", "E$tab", "$tab", "h$tab", "$tab"};
    const QString text = generate(fields, 2, false);
    QVERIFY(!text.contains(QLatin1String("$tab")));
    QStringList expected;
    for (const QString &line : banner(QStringLiteral("\t")))
        expected << line;
    expected << QStringLiteral("S\t") << QStringLiteral("\th\t3C\th\t00\t");
    for (int line = 1; line < 511; ++line)
        expected << QStringLiteral("\th\t00\th\t00\t");
    expected << QStringLiteral("\th\t00\th\tFF") << QStringLiteral("E\t") << QString() << QString();
    QCOMPARE(text, expected.join(QLatin1Char('\n')));
}

void TestExportText::allFieldsEmpty()
{
    const QString text = generate(ExportFields(), 16, false);
    QStringList expected = banner(QString());
    expected << QString();
    expected << QStringLiteral("3C") + QStringLiteral("00").repeated(15);
    for (int line = 8; line <= 69; ++line)
        expected << QStringLiteral("00").repeated(16);
    expected << QStringLiteral("00").repeated(15) + QStringLiteral("FF");
    QCOMPARE(text, expected.join(QLatin1Char('\n')) + QStringLiteral("\n\n\n"));
    QVERIFY(text.startsWith(Stars + QLatin1Char('\n') + Title));
}

void TestExportText::assemblerFlagDecidesSeparators_data()
{
    QTest::addColumn<int>("fieldsOf");
    QTest::addColumn<bool>("assembler");
    QTest::addColumn<bool>("trailing");
    QTest::newRow("asm flag, C delimiters") << int(ExportText::C) << true << false;
    QTest::newRow("asm flag, asm delimiters") << int(ExportText::Assembler) << true << false;
    QTest::newRow("custom, asm delimiters") << int(ExportText::Assembler) << false << true;
    QTest::newRow("custom, custom delimiters") << int(ExportText::Custom) << false << true;
}

void TestExportText::assemblerFlagDecidesSeparators()
{
    QFETCH(int, fieldsOf);
    QFETCH(bool, assembler);
    QFETCH(bool, trailing);
    const QStringList data = dataLines(generate(presetFields(fieldsOf), 16, assembler));
    QCOMPARE(data.size(), 64);
    for (int i = 0; i < data.size() - 1; ++i)
        QCOMPARE(data.at(i).endsWith(QLatin1String(", ")), trailing);
    QVERIFY(data.last().endsWith(QLatin1String("FF")));
}

void TestExportText::latin1_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("representable");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "// " << true << QByteArray("// ");
    QTest::newRow("accents") << QStringLiteral("\u00E9\u00A0\u00FF") << true << QByteArray("\xE9\xA0\xFF");
    QTest::newRow("euro") << QStringLiteral("\u20AC") << false << QByteArray();
    QTest::newRow("surrogate pair") << QString::fromUtf8("\xF0\x9F\x98\x80") << false
                                    << QByteArray();
}

void TestExportText::latin1()
{
    QFETCH(QString, text);
    QFETCH(bool, representable);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ExportText::isLatin1(text), representable);
    ExportFields fields = presetFields(ExportText::C);
    fields.separator = text;
    QCOMPARE(ExportText::isLatin1(fields), representable);
    if (representable)
        QCOMPARE(ExportText::encode(text), bytes);
}

void TestExportText::imagesOfAnySize_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("afterBanner");
    const QString pointers = QStringLiteral("const unsigned char *const images[2] = {\n"
                                            "\timage0,\n\timage1\n};\n");
    QTest::newRow("c, one image of 3 bytes")
        << 1 << 16 << false << "const unsigned char image[3] = {\n\t0x01, 0x02, 0x03\n};\n\n";
    QTest::newRow("c, all")
        << 1 << 16 << true
        << "const unsigned char image0[3] = {\n\t0x01, 0x02, 0x03\n};\n\n"
           "const unsigned char image1[3] = {\n\t0xAA, 0xBB, 0xCC\n};\n\n" + pointers;
    QTest::newRow("asm, all, 2 per line")
        << 0 << 2 << true
        << "image0:\ndt \t0x01, 0x02\ndt \t0x03\n\n\n"
           "image1:\ndt \t0xAA, 0xBB\ndt \t0xCC\n\n\n";
    QTest::newRow("custom, all")
        << 2 << 16 << true
        << "Dim image0()=\n\t\t&H01, &H02, &H03\n\n\nDim image1()=\n\t\t&HAA, &HBB, &HCC\n\n\n";
}

void TestExportText::imagesOfAnySize()
{
    QFETCH(int, id);
    QFETCH(int, n);
    QFETCH(bool, all);
    QFETCH(QString, afterBanner);
    const QList<QByteArray> images{QByteArray("\x01\x02\x03"), QByteArray("\xAA\xBB\xCC")};
    ExportFields fields;
    QVERIFY(preset(id, fields, 3));
    const QString text = all ? ExportText::generateAll(id, fields, n, images)
                             : ExportText::generate(fields, n, id == ExportText::Assembler,
                                                    images.first());
    QCOMPARE(text, banner(fields.comment).join(QLatin1Char('\n')) + QLatin1Char('\n')
                       + afterBanner);
}

QTEST_APPLESS_MAIN(TestExportText)
#include "tst_exporttext.moc"
