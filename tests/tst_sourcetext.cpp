#include "core/displaylayout.h"
#include "core/displaypreset.h"
#include "output/sourceimport.h"
#include "output/sourcetext.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using SourceText::Language;

namespace {

// 20x12 in pages: two pages of 20 columns, as framebuf's MONO_VLSB.
const DisplayLayout Small{20, 12, DisplayLayout::Orientation::Vertical,
                          DisplayLayout::BitOrder::Lsb, 1};

QList<QByteArray> images(int count, int bytes = Small.imageBytes())
{
    QList<QByteArray> list;
    for (int k = 0; k < count; ++k) {
        QByteArray image(bytes, '\0');
        for (int i = 0; i < bytes; ++i)
            image[i] = char((i * 37 + k * 101 + 5) & 0xFF);
        list << image;
    }
    return list;
}

QByteArray cString(const QByteArray &bytes)
{
    QByteArray text = "\"";
    for (const char c : bytes)
        text += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    return text + "\"";
}

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Standard error and output together, empty when the tool said nothing.
QByteArray tool(const QString &program, const QStringList &arguments, const QString &dir,
                int *code = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (code)
        *code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll();
}

// Checks every table and the size constants against the bytes it was made from.
QByteArray checkingMain(const SourceText::Options &options, const QList<QByteArray> &list,
                        bool avr)
{
    QByteArray text = options.headerName.isEmpty()
        ? QByteArray()
        : "#include \"" + options.headerName.toLatin1() + "\"\n";
    text += "#include <string.h>\n";
    if (options.headerName.isEmpty())
        for (int k = 0; k < list.size(); ++k)
            text += "extern const unsigned char "
                + SourceText::tableName(options, k).toLatin1() + "["
                + QByteArray::number(list[k].size()) + "];\n";
    text += "int main(void)\n{\n    int bad = 0;\n";
    for (int k = 0; k < list.size(); ++k) {
        const QByteArray name = SourceText::tableName(options, k).toLatin1();
        const QByteArray table = options.frames && !options.headerName.isEmpty()
            ? options.name.toLatin1() + "_frames[" + QByteArray::number(k) + "]"
            : name;
        if (avr)
            text += "    {\n        const unsigned char *p = (const unsigned char *)"
                    "pgm_read_ptr(&" + options.name.toLatin1() + "_frames[" + QByteArray::number(k)
                + "]);\n        for (int i = 0; i < " + QByteArray::number(list[k].size())
                + "; ++i)\n            bad |= pgm_read_byte(p + i) != (unsigned char)"
                + cString(list[k]) + "[i];\n    }\n";
        else
            text += "    bad |= memcmp(" + table + ", " + cString(list[k]) + ", "
                + QByteArray::number(list[k].size()) + ") != 0;\n";
    }
    if (!options.headerName.isEmpty())
        text += "    bad |= " + options.name.toLatin1() + "_WIDTH != "
            + QByteArray::number(Small.width) + " || " + options.name.toLatin1()
            + "_HEIGHT != " + QByteArray::number(Small.height) + ";\n";
    return text + "    return bad;\n}\n";
}

} // namespace

class TestSourceText : public QObject
{
    Q_OBJECT

private slots:
    void compilesAndLinks_data();
    void compilesAndLinks();
    void avrKeepsImagesInFlash();
    void pythonDefinesFramebuf();
    void picAssemblesQuietly_data();
    void picAssemblesQuietly();
    void readsOtherTools_data();
    void readsOtherTools();
    void identifiers_data();
    void identifiers();
    void framebufFormats_data();
    void framebufFormats();

private:
    QTemporaryDir dir;
};

void TestSourceText::compilesAndLinks_data()
{
    QTest::addColumn<bool>("frames");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<bool>("cxxSource");
    QTest::addColumn<bool>("cxxMain");
    QTest::newRow("C") << false << false << QString() << false << false;
    QTest::newRow("C++") << false << false << QString() << true << true;
    QTest::newRow("C source, C++ main, header") << false << true << QString() << false << true;
    QTest::newRow("C++ source, C main, header") << false << true << QString() << true << false;
    QTest::newRow("frames, C++, header") << true << true << QString() << true << true;
    QTest::newRow("frames, C, no header") << true << false << QString() << false << false;
    QTest::newRow("attribute, C++")
        << true << true << QStringLiteral("__attribute__((aligned(4)))") << true << true;
}

void TestSourceText::compilesAndLinks()
{
    QFETCH(bool, frames);
    QFETCH(bool, header);
    QFETCH(QString, attribute);
    QFETCH(bool, cxxSource);
    QFETCH(bool, cxxMain);
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    const QString gxx = QStandardPaths::findExecutable(QStringLiteral("g++"));
    if (gcc.isEmpty() || gxx.isEmpty())
        QSKIP("gcc and g++ are needed");
    SourceText::Options options;
    options.name = QStringLiteral("logo");
    options.frames = frames;
    options.attribute = attribute;
    options.headerName = header ? QStringLiteral("logo.h") : QString();
    const QList<QByteArray> list = images(frames ? 3 : 1);
    const ExportFields fields = SourceText::fields(Language::C);
    const QString text = SourceText::source(Language::C, fields, options, Small, list);
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[ \\t]\\n"))));
    const QString work = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(work));
    QVERIFY(writeText(work + QStringLiteral("/logo.c"), text.toLatin1()));
    if (header)
        QVERIFY(writeText(work + QStringLiteral("/logo.h"),
                          SourceText::header(fields, options, QStringLiteral("logo.h"), Small,
                                             int(list.size()))
                              .toLatin1()));
    QVERIFY(writeText(work + QStringLiteral("/main.c"), checkingMain(options, list, false)));

    const QStringList strict{QStringLiteral("-Wall"), QStringLiteral("-Wextra"),
                             QStringLiteral("-pedantic"), QStringLiteral("-Werror"),
                             QStringLiteral("-c")};
    auto compile = [&](bool cxx, const QString &file) {
        const QStringList language = cxx ? QStringList{QStringLiteral("-x"), QStringLiteral("c++"),
                                                       QStringLiteral("-std=c++17")}
                                         : QStringList{QStringLiteral("-std=c11")};
        int code = -1;
        const QByteArray said = tool(cxx ? gxx : gcc, strict + language + QStringList{file},
                                     work, &code);
        return code == 0 && said.isEmpty() ? QByteArray() : said + " (failed)";
    };
    QCOMPARE(compile(cxxSource, QStringLiteral("logo.c")), QByteArray());
    QCOMPARE(compile(cxxMain, QStringLiteral("main.c")), QByteArray());
    int code = -1;
    const QByteArray linked = tool(cxxSource || cxxMain ? gxx : gcc,
                                   {QStringLiteral("logo.o"), QStringLiteral("main.o"),
                                    QStringLiteral("-o"), QStringLiteral("check")},
                                   work, &code);
    QVERIFY2(code == 0, linked.constData());
    tool(work + QStringLiteral("/check"), {}, work, &code);
    QCOMPARE(code, 0);
}

void TestSourceText::avrKeepsImagesInFlash()
{
    const QString avrGcc = QStandardPaths::findExecutable(QStringLiteral("avr-gcc"));
    const QString avrSize = QStandardPaths::findExecutable(QStringLiteral("avr-size"));
    if (avrGcc.isEmpty() || avrSize.isEmpty())
        QSKIP("gcc-avr and avr-libc are not installed");
    SourceText::Options options;
    options.name = QStringLiteral("walk");
    options.frames = true;
    options.target = SourceText::Target::Avr;
    options.headerName = QStringLiteral("walk.h");
    // Three images of 1024 bytes would overflow the ATmega328P's 2 KiB of RAM.
    const DisplayLayout layout = DisplayLayout::row127();
    const QList<QByteArray> list = images(3, layout.imageBytes());
    const ExportFields fields = SourceText::fields(Language::C);
    const QString work = dir.filePath(QStringLiteral("avr"));
    QVERIFY(QDir().mkpath(work));
    QVERIFY(writeText(work + QStringLiteral("/walk.c"),
                      SourceText::source(Language::C, fields, options, layout, list).toLatin1()));
    QVERIFY(writeText(work + QStringLiteral("/walk.h"),
                      SourceText::header(fields, options, QStringLiteral("walk.h"), layout, 3)
                          .toLatin1()));
    QVERIFY(writeText(work + QStringLiteral("/main.c"), checkingMain(options, list, true)));
    int code = -1;
    const QByteArray said = tool(avrGcc,
                                 {QStringLiteral("-mmcu=atmega328p"), QStringLiteral("-Os"),
                                  QStringLiteral("-Wall"), QStringLiteral("-Wextra"),
                                  QStringLiteral("-pedantic"), QStringLiteral("-Werror"),
                                  QStringLiteral("walk.c"), QStringLiteral("main.c"),
                                  QStringLiteral("-o"), QStringLiteral("walk.elf")},
                                 work, &code);
    QVERIFY2(code == 0, said.constData());
    const QString sizes = QString::fromLatin1(
        tool(avrSize, {QStringLiteral("-A"), QStringLiteral("walk.elf")}, work));
    const auto section = [&](const QString &name) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^\\%1\\s+(\\d+)").arg(name),
                               QRegularExpression::MultilineOption)
                .match(sizes);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    QVERIFY2(section(QStringLiteral(".text")) >= 3 * layout.imageBytes(), qPrintable(sizes));
    QVERIFY2(section(QStringLiteral(".data")) < 16, qPrintable(sizes));
}

void TestSourceText::pythonDefinesFramebuf()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is needed");
    const QString work = dir.filePath(QStringLiteral("python"));
    QVERIFY(QDir().mkpath(work));
    // MicroPython's values; the host has no framebuf of its own.
    QVERIFY(writeText(work + QStringLiteral("/framebuf.py"),
                      "MONO_VLSB = 0\nMONO_HLSB = 3\nMONO_HMSB = 4\n"));
    SourceText::Options options;
    options.name = QStringLiteral("walk");
    const QList<QByteArray> one = images(1);
    QVERIFY(writeText(work + QStringLiteral("/one.py"),
                      SourceText::source(Language::Python, SourceText::fields(Language::Python),
                                         options, Small, one)
                          .toLatin1()));
    options.frames = true;
    const QList<QByteArray> two = images(2);
    QVERIFY(writeText(work + QStringLiteral("/two.py"),
                      SourceText::source(Language::Python, SourceText::fields(Language::Python),
                                         options, Small, two)
                          .toLatin1()));
    const QByteArray script =
        "import one, two\n"
        "print(one.walk.hex(), one.walk_WIDTH, one.walk_HEIGHT, one.walk_FORMAT)\n"
        "print(' '.join(f.hex() for f in two.walk), two.walk_FRAMES)\n";
    int code = -1;
    const QByteArray said = tool(python, {QStringLiteral("-c"), QString::fromLatin1(script)},
                                 work, &code);
    QCOMPARE(said, one[0].toHex() + " 20 12 0\n" + two[0].toHex() + ' ' + two[1].toHex()
                 + " 2\n");
    QCOMPARE(code, 0);
}

void TestSourceText::picAssemblesQuietly_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("processor");
    QTest::newRow("pic") << int(Language::Pic) << QStringLiteral("p16f877a");
    QTest::newRow("pic18") << int(Language::Pic18) << QStringLiteral("p18f4550");
}

void TestSourceText::picAssemblesQuietly()
{
    QFETCH(int, language);
    QFETCH(QString, processor);
    const QString gpasm = QStandardPaths::findExecutable(QStringLiteral("gpasm"));
    if (gpasm.isEmpty())
        QSKIP("gputils is not installed");
    SourceText::Options options;
    options.frames = true;
    const Language lang = Language(language);
    const QString text = SourceText::source(lang, SourceText::fields(lang), options, Small,
                                            images(2));
    const QString work = dir.filePath(processor);
    QVERIFY(QDir().mkpath(work));
    QVERIFY(writeText(work + QStringLiteral("/table.asm"), text.toLatin1() + "\tend\n"));
    int code = -1;
    const QByteArray said = tool(gpasm, {QStringLiteral("-p"), processor,
                                         QStringLiteral("table.asm")},
                                 work, &code);
    QCOMPARE(said, QByteArray());
    QCOMPARE(code, 0);
}

void TestSourceText::readsOtherTools_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("PROGMEM, every C literal")
        << QByteArray("#include <avr/pgmspace.h>\n// 5 bytes\nstatic const uint8_t PROGMEM "
                      "logo[] = { 0x01, 2, 010, 0b11, 0XFFu }; /* done */\n")
        << QStringList{"logo"} << QByteArray("\x01\x02\x08\x03\xFF");
    QTest::newRow("rows in inner braces, two tables on a line")
        << QByteArray("const unsigned char a[2][2] = {{1, 2}, {3, 4}}; const char b[1] = {5};")
        << QStringList{"a", "b"} << QByteArray("\x01\x02\x03\x04\x05");
    QTest::newRow("retlw and radix forms")
        << QByteArray("table\n\tretlw 0x01\n\tretlw H'02'\n\tretlw B'00000011' ; three\n")
        << QStringList{"table"} << QByteArray("\x01\x02\x03");
    QTest::newRow("db, $ and h suffix")
        << QByteArray("WIDTH equ 2\nlogo: .db $01, $02\n      .db 0FFh\n")
        << QStringList{"logo"} << QByteArray("\x01\x02\xFF");
    QTest::newRow("Python bytes literal beside a constant")
        << QByteArray("W = 128  # wide\nlogo = bytearray(b'\\x01\\x02AB' b\"\\n\")\n")
        << QStringList{"logo"} << QByteArray("\x01\x02" "AB\n");
    QTest::newRow("XBM") << QByteArray("#define x_width 8\n#define x_height 2\nstatic unsigned "
                                       "char x_bits[] = {\n   0x81, 0x7e };\n")
                         << QStringList{"x_bits"} << QByteArray("\x81\x7E");
    QTest::newRow("not a byte") << QByteArray("const int a[] = {1, 300};") << QStringList()
                                << QByteArray();
    QTest::newRow("far from a byte")
        << QByteArray("const long a[] = {1, 0x123456789ABCDEF0};") << QStringList()
        << QByteArray();
}

void TestSourceText::readsOtherTools()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, bytes);
    const SourceImport::Result result = SourceImport::tables(text);
    QCOMPARE(!result.notAByte, !names.isEmpty());
    QStringList found;
    QByteArray all;
    for (const SourceImport::Table &table : result.tables) {
        found << table.name;
        all += table.bytes;
    }
    QCOMPARE(found, names);
    QCOMPARE(all, bytes);
}

void TestSourceText::identifiers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("guard");
    QTest::newRow("plain") << "gfx/logo.c" << "logo" << "LOGO_H";
    QTest::newRow("blanks and dashes") << "my logo-2.cpp" << "my_logo_2" << "MY_LOGO_2_H";
    QTest::newRow("keyword") << "int.c" << "int_image" << "INT_H";
    QTest::newRow("standard output") << "-" << "image" << "IMAGE_H";
}

void TestSourceText::identifiers()
{
    QFETCH(QString, path);
    QFETCH(QString, identifier);
    QFETCH(QString, guard);
    QCOMPARE(SourceText::identifierFor(path), identifier);
    QVERIFY(SourceText::isIdentifier(identifier));
    QCOMPARE(SourceText::includeGuard(path), guard);
}

void TestSourceText::framebufFormats_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("format");
    QTest::newRow("framebuf-vlsb") << "framebuf-vlsb" << "MONO_VLSB";
    QTest::newRow("framebuf-hlsb") << "framebuf-hlsb" << "MONO_HLSB";
    QTest::newRow("framebuf-hmsb") << "framebuf-hmsb" << "MONO_HMSB";
    QTest::newRow("gfx") << "gfx" << "MONO_HLSB";
    QTest::newRow("ks0108: two controllers") << "ks0108" << QString();
    QTest::newRow("adafruit-st7565: bit 7 top") << "adafruit-st7565" << QString();
}

void TestSourceText::framebufFormats()
{
    QFETCH(QString, display);
    QFETCH(QString, format);
    const DisplayPreset *preset = DisplayPreset::find(display);
    QVERIFY(preset);
    QCOMPARE(SourceText::framebufFormat(preset->layout), format);
    QCOMPARE(SourceText::canHold(Language::Python, preset->layout), !format.isEmpty());
}

QTEST_GUILESS_MAIN(TestSourceText)
#include "tst_sourcetext.moc"
