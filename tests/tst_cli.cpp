#include "core/binimage.h"
#include "core/picturepreparation.h"
#include "support/testpictures.h"
#include "output/exportfields.h"
#include "output/exporttext.h"
#include "output/intelhex.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using BinImage::RowOrganisation;

Q_DECLARE_METATYPE(BinImage::RowOrganisation)
Q_DECLARE_METATYPE(DisplayLayout)

using TestPictures::encoded;

namespace {

const QString Program = QStringLiteral(VEXLOR_BINARY_DIR "/cli/vexlor-cli");

struct Result
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// `fileSizeLimit` makes every write beyond that many bytes fail in the child.
Result run(const QStringList &arguments, const QByteArray &input = QByteArray(),
           qint64 fileSizeLimit = -1)
{
    QProcess process;
    if (fileSizeLimit >= 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(Program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    Result result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QImage pattern(int seed)
{
    QImage picture(BinImage::Width, BinImage::Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, ((x * 7 + y * 3 + seed) % 11) < 5 ? qRgb(20, 30, 40)
                                                                     : qRgb(200, 50, 60));
    return picture;
}

// Same file format, same two-entry palette and same pixels.
void compareRendering(const QByteArray &file, const char *format, const QImage &expected)
{
    QCOMPARE(file.left(2), QByteArray(qstrcmp(format, "PNG") == 0 ? "\x89P" : "BM"));
    QImage written;
    QVERIFY(written.loadFromData(file, format));
    QCOMPARE(written.size(), expected.size());
    QCOMPARE(written.colorCount(), 2);
    QCOMPARE(written.convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
}

QByteArray sampleBinary(int images)
{
    QByteArray data(images * BinImage::ImageBytes, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 131 + i / 1024) & 0xFF);
    return data;
}

const uchar *bytes(const QByteArray &data, int image = 0)
{
    return reinterpret_cast<const uchar *>(data.constData()) + image * BinImage::ImageBytes;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toBinEqualsCore_data();
    void toBinEqualsCore();
    void toBinOptions_data();
    void toBinOptions();
    void toBmpEqualsCore_data();
    void toBmpEqualsCore();
    void toBmpAll();
    void xbmOpensInImageMagick();
    void hexEqualsCore();
    void exportEqualsCore_data();
    void exportEqualsCore();
    void show();
    void info_data();
    void info();
    void joinAndSplit();
    void layoutsEqualCore_data();
    void layoutsEqualCore();
    void exportWholeFile_data();
    void exportWholeFile();
    void picturesAsInput_data();
    void picturesAsInput();
    void sourceRoundTrip_data();
    void sourceRoundTrip();
    void failures_data();
    void failures();
    void unwritableOutputKeepsExistingFile();
    void filesAndStreams_data();
    void filesAndStreams();
    void help_data();
    void help();

private:
    QString file(const QString &name) const { return dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &data) const;
    QByteArray readFile(const QString &name) const;

    QTemporaryDir dir;
};

void TestCli::writeFile(const QString &name, const QByteArray &data) const
{
    QFile f(file(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

QByteArray TestCli::readFile(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestCli::initTestCase()
{
    QVERIFY(QFile::exists(Program));
    QVERIFY(dir.isValid());
    for (int i = 0; i < 3; ++i) {
        writeFile(QStringLiteral("p%1.png").arg(i), encoded(pattern(i), "PNG"));
        writeFile(QStringLiteral("p%1.bmp").arg(i), encoded(pattern(i), "BMP"));
    }
    // Format from the content: a PNG with a BMP name is still a PNG.
    writeFile("png-named.bmp", encoded(pattern(0), "PNG"));
    writeFile("palette.bmp", encoded(pattern(1).convertToFormat(QImage::Format_Indexed8), "BMP"));
    QImage transparent = pattern(2).convertToFormat(QImage::Format_ARGB32);
    for (int x = 0; x < 64; ++x)
        transparent.setPixel(x, 5, qRgba(0, 0, 0, 0));
    writeFile("transparent.png", encoded(transparent, "PNG"));
    QImage large(200, 100, QImage::Format_RGB32);
    large.fill(Qt::black);
    writeFile("large.png", encoded(large, "PNG"));
    writeFile("tall.png", encoded(QImage(64, 128, QImage::Format_RGB32), "PNG"));
    writeFile("high.bmp", encoded(QImage(128, 65, QImage::Format_RGB32), "BMP"));
    writeFile("picture.ppm", encoded(pattern(0), "PPM"));
    // Turned a quarter anticlockwise and mirrored, so that --rotate 90 and
    // --flip h bring back p0.
    QImage turned(BinImage::Height, BinImage::Width, QImage::Format_RGB32);
    QImage mirrored(BinImage::Width, BinImage::Height, QImage::Format_RGB32);
    for (int y = 0; y < BinImage::Height; ++y)
        for (int x = 0; x < BinImage::Width; ++x) {
            turned.setPixel(y, BinImage::Width - 1 - x, pattern(0).pixel(x, y));
            mirrored.setPixel(BinImage::Width - 1 - x, y, pattern(0).pixel(x, y));
        }
    writeFile("turned.png", encoded(turned, "PNG"));
    writeFile("mirrored.jpg-named.png", encoded(mirrored, "PNG"));
    // Red, green, blue, white: on, off, on, off at threshold 100.
    writeFile("walk.gif", TestPictures::gif(QSize(BinImage::Width, BinImage::Height), {0, 1, 2, 3}));
    const QByteArray walk = readFile("walk.gif");
    writeFile("walk-cut.gif", walk.left(walk.size() - 4));
    writeFile("huge.gif", TestPictures::gif(QSize(9000, 8000), {0}, QSize(1, 1)));
    for (const int scale : {1, 10})
        writeFile(QStringLiteral("half%1.svg").arg(scale),
                  QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" viewBox=\"0 0 2 1\"><rect width=\"1\" "
                                 "height=\"1\"/></svg>")
                      .arg(BinImage::Width * scale)
                      .arg(BinImage::Height * scale)
                      .toLatin1());
    writeFile("truncated.png", encoded(pattern(0), "PNG").left(60));
    writeFile("truncated.bmp", encoded(pattern(0), "BMP").left(12315));
    writeFile("text.png", "not a picture");
    for (const int images : {0, 1, 3, 64})
        writeFile(QStringLiteral("b%1.bin").arg(images), sampleBinary(images));
    writeFile("b1000.bin", QByteArray(1000, 'x'));
    writeFile("b65537.bin", QByteArray(65537, 'x'));
    writeFile("unknown.wbmp", encoded(pattern(0), "WBMP"));
    writeFile("table.c", "const unsigned char t[] = {1, 2, 3};\n");
    writeFile("bad.hex", ":0100000001FE\n:0100010002FE\n:00000001FF\n");
}

void TestCli::toBinEqualsCore_data()
{
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<RowOrganisation>("organisation");
    QTest::addColumn<QString>("option");
    const QStringList several{"p0.png", "p1.bmp", "png-named.bmp", "palette.bmp",
                              "transparent.png", "p2.png"};
    QTest::newRow("one png, default") << QStringList{"p0.png"} << RowOrganisation::Row63 << "";
    QTest::newRow("several, row63") << several << RowOrganisation::Row63 << "--row63";
    QTest::newRow("several, row127") << several << RowOrganisation::Row127 << "--row127";
}

void TestCli::toBinEqualsCore()
{
    QFETCH(QStringList, pictures);
    QFETCH(RowOrganisation, organisation);
    QFETCH(QString, option);
    QByteArray expected;
    QStringList arguments{"to-bin"};
    for (const QString &name : pictures) {
        QImage picture;
        QVERIFY(picture.load(file(name)));
        expected += BinImage::fromPicture(picture, organisation);
        arguments << file(name);
    }
    arguments << "-o" << file("out.bin");
    if (!option.isEmpty())
        arguments << option;
    const Result result = run(arguments);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.code, 0);
    QCOMPARE(readFile("out.bin"), expected);

    const Result piped = run({"to-bin", "-", "-o", "-", option.isEmpty() ? "--row63" : option},
                             readFile(pictures.constFirst()));
    QCOMPARE(piped.code, 0);
    QCOMPARE(piped.out, expected.left(BinImage::ImageBytes));
}

void TestCli::toBinOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QByteArray>("expected");
    QImage p0;
    p0.load(file("p0.png"));
    const QByteArray plain = BinImage::fromPicture(p0, RowOrganisation::Row63);
    QByteArray inverted = plain;
    for (char &byte : inverted)
        byte = char(~byte);
    QTest::newRow("threshold 128") << QStringList{"--threshold", "128"} << "p0.png"
                                   << BinImage::fromPicture(p0, RowOrganisation::Row63, 128);
    QTest::newRow("threshold 0") << QStringList{"--threshold", "0"} << "p0.png"
                                 << QByteArray(BinImage::ImageBytes, '\0');
    QTest::newRow("invert") << QStringList{"--invert"} << "p0.png" << inverted;
    QTest::newRow("dither none") << QStringList{"--dither", "none"} << "p0.png" << plain;
    QTest::newRow("fit exact size") << QStringList{"--fit"} << "p0.png" << plain;
    QTest::newRow("fit larger") << QStringList{"--fit"} << "large.png"
                                << QByteArray(BinImage::ImageBytes, char(0xFF));
    QTest::newRow("rotate 90 clockwise") << QStringList{"--rotate", "90"} << "turned.png" << plain;
    QTest::newRow("flip left to right") << QStringList{"--flip", "h"} << "mirrored.jpg-named.png"
                                        << plain;
    QTest::newRow("animation, frames in order")
        << QStringList{"--threshold", "100"} << "walk.gif"
        << QByteArray(BinImage::ImageBytes, char(0xFF)) + QByteArray(BinImage::ImageBytes, '\0')
            + QByteArray(BinImage::ImageBytes, char(0xFF)) + QByteArray(BinImage::ImageBytes, '\0');
    QImage leftHalf(BinImage::Width, BinImage::Height, QImage::Format_RGB32);
    leftHalf.fill(Qt::white);
    QPainter(&leftHalf).fillRect(0, 0, BinImage::Width / 2, BinImage::Height, Qt::black);
    const QByteArray half = BinImage::fromPicture(leftHalf, RowOrganisation::Row63);
    QTest::newRow("svg at its own size") << QStringList() << "half1.svg" << half;
    QTest::newRow("svg drawn at the display's size") << QStringList{"--fit"} << "half10.svg" << half;
}

void TestCli::toBinOptions()
{
    QFETCH(QStringList, options);
    QFETCH(QString, picture);
    QFETCH(QByteArray, expected);
    const Result result = run(QStringList{"to-bin", file(picture), "-o", "-"} + options);
    QCOMPARE(result.code, 0);
    QCOMPARE(result.out, expected);
}

void TestCli::toBmpEqualsCore_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("image");
    QTest::addColumn<RowOrganisation>("organisation");
    QTest::addColumn<QRgb>("background");
    QTest::addColumn<QString>("out");
    QTest::newRow("defaults") << QStringList() << 0 << RowOrganisation::Row63 << 0xFFFFFFFFu
                              << "out.bmp";
    QTest::newRow("row127, image 2") << QStringList{"--row127", "--image", "2"} << 2
                                     << RowOrganisation::Row127 << 0xFFFFFFFFu << "out.bmp";
    QTest::newRow("background name") << QStringList{"--bg", "yellow"} << 0
                                     << RowOrganisation::Row63 << 0xFFFFFF00u << "out.bmp";
    QTest::newRow("background hex, png") << QStringList{"--bg", "#102030", "--image", "1"} << 1
                                         << RowOrganisation::Row63 << 0xFF102030u << "out.PNG";
}

void TestCli::toBmpEqualsCore()
{
    QFETCH(QStringList, options);
    QFETCH(int, image);
    QFETCH(RowOrganisation, organisation);
    QFETCH(QRgb, background);
    QFETCH(QString, out);
    const QByteArray binary = readFile("b3.bin");
    const Result result = run(QStringList{"to-bmp", file("b3.bin"), "-o", file(out)} + options);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.code, 0);
    const char *format = out.endsWith(QLatin1String(".PNG")) ? "PNG" : "BMP";
    compareRendering(readFile(out), format,
                     BinImage::toPicture(bytes(binary, image), background, organisation));
}

void TestCli::toBmpAll()
{
    const QByteArray binary = readFile("b3.bin");
    const Result result = run({"to-bmp", "--all", file("b3.bin"), "-o", file("all.v1.bmp")});
    QCOMPARE(result.code, 0);
    for (int k = 0; k < 3; ++k)
        compareRendering(readFile(QStringLiteral("all.v1-%1.bmp").arg(k, 2, 10, QLatin1Char('0'))),
                         "BMP",
                         BinImage::toPicture(bytes(binary, k), 0xFFFFFFFFu, RowOrganisation::Row63));
    QVERIFY(!QFile::exists(file("all.v1-03.bmp")));
}

void TestCli::xbmOpensInImageMagick()
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        QSKIP("ImageMagick is not installed");
    const QByteArray binary = readFile("b3.bin");
    QCOMPARE(run({"to-bmp", file("b3.bin"), "--image", "1", "-o", file("magick.xbm")}).code, 0);
    QProcess magick;
    magick.start(convert, {file("magick.xbm"), file("magick.pbm")});
    QVERIFY(magick.waitForFinished(30000));
    QVERIFY2(magick.exitCode() == 0, magick.readAllStandardError().constData());
    const QImage read(file("magick.pbm"));
    QCOMPARE(read.size(), QSize(BinImage::Width, BinImage::Height));
    const QImage expected = BinImage::toPicture(bytes(binary, 1), 0xFFFFFFFFu,
                                                RowOrganisation::Row63);
    QCOMPARE(read.convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));
}

void TestCli::hexEqualsCore()
{
    const QByteArray binary = readFile("b3.bin");
    for (int k = 0; k < 3; ++k) {
        const Result result = run({"hex", file("b3.bin"), "--image", QString::number(k)});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out, BinImage::hexText(bytes(binary, k)).toLatin1() + '\n');
    }
    // Display memory that starts like an icon file is still display memory.
    QByteArray iconLike = sampleBinary(1);
    iconLike.replace(0, 6, QByteArray("\0\0\1\0\2\0", 6));
    writeFile("icon-like.bin", iconLike);
    const Result icon = run({"hex", file("icon-like.bin")});
    QCOMPARE(icon.err, QByteArray());
    QCOMPARE(icon.out, BinImage::hexText(bytes(iconLike)).toLatin1() + '\n');
}

void TestCli::exportEqualsCore_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("bytesPerLine");
    QTest::addColumn<QString>("separator");
    QTest::newRow("default is c") << QStringList() << 1 << 0 << 16 << QString();
    QTest::newRow("asm") << QStringList{"--format", "asm"} << 0 << 0 << 16 << QString();
    QTest::newRow("c") << QStringList{"--format", "c"} << 1 << 0 << 16 << QString();
    QTest::newRow("custom, image 2, 10 per line")
        << QStringList{"--format", "custom", "--image", "2", "--bytes-per-line", "10"} << 2 << 2
        << 10 << QString();
    QTest::newRow("asm, latin-1 separator")
        << QStringList{"--format", "asm", "--separator", "$tab\u00E9", "--image", "1"} << 0 << 1
        << 16
        << QStringLiteral("$tab\u00E9");
}

void TestCli::exportEqualsCore()
{
    QFETCH(QStringList, options);
    QFETCH(int, preset);
    QFETCH(int, image);
    QFETCH(int, bytesPerLine);
    QFETCH(QString, separator);
    ExportFields fields;
    QVERIFY(ExportText::preset(preset, fields));
    if (!separator.isEmpty())
        fields.separator = separator;
    const QByteArray binary = readFile("b3.bin");
    const QByteArray expected = ExportText::encode(
        ExportText::generate(fields, bytesPerLine, preset == 0, bytes(binary, image)));

    const Result toStdout = run(QStringList{"export", file("b3.bin")} + options);
    QCOMPARE(toStdout.code, 0);
    QCOMPARE(toStdout.out, expected);
    const Result toFile = run(QStringList{"export", "-", "-o", file("out.txt")} + options, binary);
    QCOMPARE(toFile.code, 0);
    QCOMPARE(readFile("out.txt"), expected);
}

void TestCli::show()
{
    QByteArray binary(BinImage::ImageBytes, '\0');
    binary[0] = 0x01;   // pixel (0, 0)
    binary[1] = 0x02;   // pixel (1, 1)
    binary[2] = 0x03;   // pixels (2, 0) and (2, 1)
    binary[512] = 0x01; // (64, 0) in row63, (0, 32) in row127
    writeFile("show.bin", binary);
    const QString blank = QString(BinImage::Width, QLatin1Char(' '));
    const QString top = QStringLiteral("\u2580\u2584\u2588");

    const Result row63 = run({"show", file("show.bin")});
    QCOMPARE(row63.code, 0);
    QStringList lines = QString::fromUtf8(row63.out).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 33);
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.at(0), top + blank.mid(3, 61) + QStringLiteral("\u2580") + blank.mid(65));
    for (int i = 1; i < 32; ++i)
        QCOMPARE(lines.at(i), blank);

    const Result row127 = run({"show", file("show.bin"), "--row127"});
    lines = QString::fromUtf8(row127.out).split(QLatin1Char('\n'));
    QCOMPARE(lines.at(0), top + blank.mid(3));
    QCOMPARE(lines.at(16), QStringLiteral("\u2580") + blank.mid(1));
}

void TestCli::info_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("png") << "p0.png" << 0 << "PNG picture, 128x64, convertible" << "";
    QTest::newRow("png named bmp") << "png-named.bmp" << 0 << "PNG picture, 128x64, convertible"
                                   << "";
    QTest::newRow("wrong size")
        << "tall.png" << 0
        << "PNG picture, 64x128, not convertible: Taille de l'image différente de 128 * 64 pixels "
           "(--fit scales it)"
        << "";
    QTest::newRow("other format") << "picture.ppm" << 0 << "PPM picture, 128x64, convertible" << "";
    QTest::newRow("animation") << "walk.gif" << 0 << "GIF picture, 128x64, 4 frames, convertible"
                               << "";
    QTest::newRow("binary") << "b3.bin" << 0 << "binary file, 3 image(s)" << "";
    QTest::newRow("empty binary") << "b0.bin" << 0 << "binary file, 0 image(s)" << "";
    QTest::newRow("neither") << "b1000.bin" << 1 << "" << "Mauvais Format";
    QTest::newRow("missing") << "nothing.bin" << 1 << "" << "Fichier Introuvable !";
}

void TestCli::info()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Result result = run({"info", file(name)});
    QCOMPARE(result.code, code);
    QCOMPARE(QString::fromUtf8(result.out),
             out.isEmpty() ? QString() : file(name) + QStringLiteral(": ") + out + '\n');
    QCOMPARE(QString::fromUtf8(result.err),
             err.isEmpty() ? QString()
                           : QStringLiteral("vexlor-cli: ") + file(name) + QStringLiteral(": ")
                               + err + '\n');
}

void TestCli::joinAndSplit()
{
    const Result joined = run({"join", file("b3.bin"), file("b0.bin"), "-", file("b1.bin"), "-o",
                               file("joined.bin")},
                              readFile("b3.bin"));
    QCOMPARE(joined.code, 0);
    const QByteArray expected = readFile("b3.bin") + readFile("b3.bin") + readFile("b1.bin");
    QCOMPARE(readFile("joined.bin"), expected);

    const Result split = run({"split", file("joined.bin"), "-o", file("part")});
    QCOMPARE(split.code, 0);
    for (int k = 0; k < 7; ++k)
        QCOMPARE(readFile(QStringLiteral("part-%1.bin").arg(k, 2, 10, QLatin1Char('0'))),
                 expected.mid(k * BinImage::ImageBytes, BinImage::ImageBytes));
    QVERIFY(!QFile::exists(file("part-07.bin")));
}

void TestCli::layoutsEqualCore_data()
{
    using O = DisplayLayout::Orientation;
    using B = DisplayLayout::BitOrder;
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<DisplayLayout>("layout");
    QTest::newRow("ks0108 is row63") << QStringList{"--display", "ks0108"} << DisplayLayout::row63();
    QTest::newRow("ssd1306 is row127") << QStringList{"--display", "ssd1306"}
                                       << DisplayLayout::row127();
    QTest::newRow("pcd8544") << QStringList{"--display", "pcd8544"}
                             << DisplayLayout{84, 48, O::Vertical, B::Lsb, 1};
    QTest::newRow("sed1520") << QStringList{"--display", "sed1520"}
                             << DisplayLayout{122, 32, O::Vertical, B::Lsb, 2};
    QTest::newRow("ssd1306 resized") << QStringList{"--display", "ssd1306", "--size", "64x48"}
                                     << DisplayLayout{64, 48, O::Vertical, B::Lsb, 1};
    QTest::newRow("gfx") << QStringList{"--display", "gfx", "--size", "20x11"}
                         << DisplayLayout{20, 11, O::Horizontal, B::Msb, 1};
    QTest::newRow("xbm") << QStringList{"--display", "xbm", "--size", "20x11"}
                         << DisplayLayout{20, 11, O::Horizontal, B::Lsb, 1};
    QTest::newRow("size alone: one controller") << QStringList{"--size", "128x32"}
                                                << DisplayLayout{128, 32, O::Vertical, B::Lsb, 1};
    QTest::newRow("every part") << QStringList{"--size", "84x45", "--layout", "vertical",
                                               "--bit-order", "msb", "--controllers", "2"}
                                << DisplayLayout{84, 45, O::Vertical, B::Msb, 2};
    QTest::newRow("horizontal defaults to msb") << QStringList{"--layout", "horizontal"}
                                                << DisplayLayout{128, 64, O::Horizontal, B::Msb, 1};
}

// The library's bytes are checked against worked examples elsewhere; here,
// that each command takes the layout its options describe.
void TestCli::layoutsEqualCore()
{
    QFETCH(QStringList, options);
    QFETCH(DisplayLayout, layout);
    const QImage picture = pattern(3).scaled(layout.size());
    writeFile("layout.png", encoded(picture, "PNG"));
    const QByteArray expected = BinImage::fromPicture(picture, layout).bytes();
    const Result converted = run(QStringList{"to-bin", file("layout.png"), file("layout.png"),
                                             "-o", file("layout.bin")} + options);
    QCOMPARE(converted.err, QByteArray());
    QCOMPARE(readFile("layout.bin"), expected + expected);

    PicturePreparation::Options fit;
    fit.fit = true;
    const Result fitted = run(QStringList{"to-bin", file("large.png"), "--fit", "-o", "-"} + options);
    QCOMPARE(fitted.out, PicturePreparation::convert(QImage(file("large.png")), layout, fit).bytes());

    const Result rendered = run(QStringList{"to-bmp", file("layout.bin"), "--image", "1", "-o",
                                            file("layout.bmp")} + options);
    QCOMPARE(rendered.code, 0);
    compareRendering(readFile("layout.bmp"), "BMP",
                     BinImage::toPicture(BinaryImage(expected, layout), 0xFFFFFFFFu));
    QCOMPARE(run(QStringList{"hex", file("layout.bin")} + options).out,
             BinImage::hexText(expected).toLatin1() + '\n');
    QCOMPARE(run(QStringList{"show", file("layout.bin")} + options).out.count('\n'),
             (layout.height + 1) / 2);
    const QString of = layout == DisplayLayout::row63() ? QString()
                                                        : " of " + layout.description();
    QCOMPARE(QString::fromUtf8(run(QStringList{"info", file("layout.bin")} + options).out),
             file("layout.bin") + ": binary file, 2 image(s)" + of + '\n');
}

void TestCli::exportWholeFile_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray b3 = readFile("b3.bin");
    const QList<QByteArray> images{b3.left(1024), b3.mid(1024, 1024), b3.mid(2048)};
    ExportFields c;
    ExportText::preset(ExportText::C, c);
    QTest::newRow("c, all") << QStringList{"--all"}
                            << ExportText::encode(ExportText::generateAll(1, c, 16, images));
    ExportFields pcd8544;
    ExportText::preset(ExportText::C, pcd8544, 504);
    QTest::newRow("c, pcd8544 image 5")
        << QStringList{"--display", "pcd8544", "--image", "5"}
        << ExportText::encode(ExportText::generate(pcd8544, 16, false, b3.mid(5 * 504, 504)));
    QTest::newRow("ihex") << QStringList{"--format", "ihex"} << IntelHex::encode(b3, 0);
    QTest::newRow("ihex at 0xFFF0") << QStringList{"--format", "ihex", "--address", "0xfff0"}
                                    << IntelHex::encode(b3, 0xFFF0);
    QTest::newRow("ihex at 4096") << QStringList{"--format", "ihex", "--address", "4096"}
                                  << IntelHex::encode(b3, 4096);
}

void TestCli::exportWholeFile()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);
    writeFile("b3of504.bin", readFile("b3.bin").left(6 * 504));
    const QString in = options.contains("pcd8544") ? file("b3of504.bin") : file("b3.bin");
    const Result result = run(QStringList{"export", in} + options);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.code, 0);
    QCOMPARE(result.out, expected);
}

void TestCli::picturesAsInput_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("conversion");
    QTest::addColumn<QStringList>("arguments");
    const QStringList rows{"--size", "128x64", "--layout", "horizontal"};
    QTest::newRow("export") << "p1.png" << rows << QStringList()
                            << QStringList{"export", "--name", "logo"};
    QTest::newRow("export, converted as asked")
        << "p1.png" << rows
        << QStringList{"--threshold", "100", "--invert", "--rotate", "180", "--flip", "h"}
        << QStringList{"export"};
    QTest::newRow("hex, dithered") << "p1.png" << rows << QStringList{"--dither", "bayer"}
                                   << QStringList{"hex"};
    QTest::newRow("show, fitted") << "p1.png" << QStringList{"--display", "ssd1306-128x32"}
                                  << QStringList{"--fit"} << QStringList{"show"};
    QTest::newRow("ihex, every frame of an animation")
        << "walk.gif" << QStringList{"--display", "ssd1306"} << QStringList{"--threshold", "100"}
        << QStringList{"export", "--format", "ihex"};
}

// A picture gives what its to-bin conversion gives, the layout given once.
void TestCli::picturesAsInput()
{
    QFETCH(QString, picture);
    QFETCH(QStringList, layout);
    QFETCH(QStringList, conversion);
    QFETCH(QStringList, arguments);
    const QString command = arguments.takeFirst();
    const Result binary = run(QStringList{"to-bin", file(picture), "-o", "-"} + layout
                              + conversion);
    QCOMPARE(binary.code, 0);
    const Result fromBinary = run(QStringList{command, "-"} + layout + arguments, binary.out);
    const Result fromPicture = run(QStringList{command, file(picture)} + layout + conversion
                                  + arguments);
    QCOMPARE(fromPicture.err, QByteArray());
    QCOMPARE(fromPicture.code, 0);
    QCOMPARE(fromPicture.out, fromBinary.out);
}

void TestCli::sourceRoundTrip_data()
{
    QTest::addColumn<QStringList>("exported");
    QTest::addColumn<QStringList>("imported");
    QTest::addColumn<bool>("whole");
    const QStringList ssd1306{"--display", "ssd1306"};
    QTest::newRow("window's c") << QStringList() << QStringList() << false;
    QTest::newRow("window's asm, image 2") << QStringList{"--format", "asm", "--image", "2"}
                                           << QStringList() << false;
    QTest::newRow("window's custom") << QStringList{"--format", "custom"} << QStringList()
                                     << false;
    QTest::newRow("window's c, all, 1 per line")
        << QStringList{"--all", "--bytes-per-line", "1"} << QStringList() << true;
    QTest::newRow("c, all, avr, header")
        << QStringList{"--all", "--target", "avr", "--header", "HEADER", "--bytes-per-line", "96"}
        << QStringList() << true;
    QTest::newRow("c, attribute, no banner, name picked")
        << QStringList{"--all", "--attribute", "__attribute__((aligned(4)))", "--no-banner",
                       "--name", "walk"}
        << QStringList{"--name", "walk"} << true;
    QTest::newRow("python, all") << QStringList{"--format", "python", "--all"} + ssd1306
                                 << ssd1306 << true;
    QTest::newRow("pic, all, 7 per line")
        << QStringList{"--format", "pic", "--all", "--bytes-per-line", "7"} << QStringList()
        << true;
    QTest::newRow("pic18") << QStringList{"--format", "pic18"} << QStringList() << false;
    QTest::newRow("custom delimiters, tags, all")
        << QStringList{"--format", "custom", "--all", "--table-start", "$name($bytes):",
                       "--line-start", "DATA ", "--hex-prefix", "", "--separator", " ",
                       "--comment", "REM "}
        << QStringList{"--line-start", "DATA ", "--hex-prefix", "", "--separator", " ",
                       "--comment", "REM "}
        << true;
    QTest::newRow("ihex at 0x100") << QStringList{"--format", "ihex", "--address", "0x100"}
                                   << QStringList() << true;
    QTest::newRow("xbm of to-bmp")
        << QStringList{"to-bmp", "--display", "xbm", "--size", "128x64", "--image", "1"}
        << QStringList{"--display", "xbm", "--size", "128x64"} << false;
}

// Whatever export writes, import reads back byte for byte.
void TestCli::sourceRoundTrip()
{
    QFETCH(QStringList, exported);
    QFETCH(QStringList, imported);
    QFETCH(bool, whole);
    const QByteArray b3 = readFile("b3.bin");
    const bool picture = !exported.isEmpty() && exported.constFirst() == "to-bmp";
    const QString text = file(picture ? "round.xbm" : "round.txt");
    const QString command = picture ? exported.takeFirst() : QStringLiteral("export");
    exported.replaceInStrings(QRegularExpression("^HEADER$"), file("round.h"));
    const Result written = run(QStringList{command, file("b3.bin"), "-o", text} + exported);
    QCOMPARE(written.err, QByteArray());
    QCOMPARE(written.code, 0);
    if (exported.contains("--header"))
        QVERIFY(readFile("round.h").contains("#ifndef ROUND_H\n"));
    const Result read = run(QStringList{"import", text, "-o", "-"} + imported);
    QCOMPARE(read.err, QByteArray());
    QCOMPARE(read.code, 0);
    const int image = exported.contains("--image") ? exported.at(exported.indexOf("--image") + 1).toInt() : 0;
    QCOMPARE(read.out, whole ? b3 : b3.mid(image * 1024, 1024));
}

void TestCli::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QStringList tooMany{"to-bin"};
    for (int i = 0; i < 65; ++i)
        tooMany << "p0.png";
    QTest::newRow("65 pictures") << (tooMany << "-o" << "OUT") << 2 << "at most 64 pictures";
    QTest::newRow("wrong size") << QStringList{"to-bin", "p0.png", "tall.png", "-o", "OUT"} << 1
                                << "tall.png: Taille de l'image différente de 128 * 64 pixels";
    QTest::newRow("one row too high") << QStringList{"to-bin", "high.bmp", "-o", "OUT"} << 1
                                      << "high.bmp: Taille de l'image différente de 128 * 64 pixels";
    QTest::newRow("undecodable png") << QStringList{"to-bin", "truncated.png", "-o", "OUT"} << 1
                                     << "truncated.png: Taille de l'image différente de 128 * 64 "
                                        "pixels";
    const QString damagedText = QStringLiteral("pixels (damaged: the file does not hold all of its pixels)");
    const QString unknown = QStringLiteral("Format d'image inconnu (BMP, PNG, JPEG, GIF, WebP, "
                                           "TIFF, SVG, ICO, XPM, XBM, PBM, PGM, PPM or TGA)");
    // WBMP has no signature to tell it by.
    QTest::newRow("wbmp") << QStringList{"to-bin", "unknown.wbmp", "-o", "OUT"} << 1
                          << "unknown.wbmp: " + unknown;
    QTest::newRow("text named png") << QStringList{"to-bin", "text.png", "-o", "OUT"} << 1
                                    << "text.png: " + unknown;
    QTest::newRow("too large to decode") << QStringList{"to-bin", "huge.gif", "--fit", "-o", "OUT"}
                                         << 1
                                         << "huge.gif: too large to decode: more pixels than "
                                            "8192x8192";
    QTest::newRow("cut-off animation") << QStringList{"to-bin", "walk-cut.gif", "-o", "OUT"} << 1
                                       << "walk-cut.gif: Taille de l'image différente de 128 * 64 "
                                          + damagedText;
    QTest::newRow("missing picture") << QStringList{"to-bin", "nothing.png", "-o", "OUT"} << 1
                                     << "nothing.png: Fichier Introuvable !";
    QTest::newRow("1000 bytes") << QStringList{"to-bmp", "b1000.bin", "-o", "OUT"} << 1
                                << "b1000.bin: Mauvais Format";
    QTest::newRow("65537 bytes") << QStringList{"export", "b65537.bin", "-o", "OUT"} << 1
                                 << "b65537.bin: Mauvais Format";
    QTest::newRow("missing binary") << QStringList{"hex", "nothing.bin"} << 1
                                    << "nothing.bin: Fichier Introuvable !";
    QTest::newRow("image beyond file") << QStringList{"to-bmp", "b3.bin", "--image", "3", "-o", "OUT"}
                                       << 1 << "b3.bin: no image 3";
    QTest::newRow("empty file") << QStringList{"export", "b0.bin", "-o", "OUT"} << 1
                                << "b0.bin: no image 0";
    QTest::newRow("join beyond 64") << QStringList{"join", "b64.bin", "b1.bin", "-o", "OUT"} << 1
                                    << "b1.bin: Mauvais Format";
    QTest::newRow("join bad length") << QStringList{"join", "b1.bin", "b1000.bin", "-o", "OUT"}
                                     << 1 << "b1000.bin: Mauvais Format";
    QTest::newRow("no command") << QStringList() << 2 << "missing command";
    QTest::newRow("unknown command") << QStringList{"convert"} << 2 << "unknown command";
    QTest::newRow("unknown option") << QStringList{"to-bin", "p0.png", "--fast", "-o", "OUT"} << 2
                                    << "Unknown option 'fast'";
    QTest::newRow("missing -o") << QStringList{"to-bin", "p0.png"} << 2 << "missing -o OUT";
    QTest::newRow("no picture") << QStringList{"to-bin", "-o", "OUT"} << 2 << "missing argument";
    QTest::newRow("two organisations")
        << QStringList{"to-bin", "p0.png", "--row63", "--row127", "-o", "OUT"} << 2 << "exclude";
    QTest::newRow("threshold text") << QStringList{"to-bin", "p0.png", "--threshold", "dark", "-o", "OUT"}
                                    << 2 << "--threshold takes a whole number from 0 to 256";
    QTest::newRow("threshold 257") << QStringList{"to-bin", "p0.png", "--threshold", "257", "-o", "OUT"}
                                   << 2 << "--threshold";
    QTest::newRow("unknown dither") << QStringList{"to-bin", "p0.png", "--dither", "ordered", "-o", "OUT"}
                                    << 2 << "unknown dithering 'ordered'";
    QTest::newRow("image 64") << QStringList{"to-bmp", "b64.bin", "--image", "64", "-o", "OUT"} << 2
                              << "--image takes a whole number from 0 to 63";
    QTest::newRow("image and all") << QStringList{"to-bmp", "b3.bin", "--all", "--image", "1", "-o", "OUT"}
                                   << 2 << "exclude";
    QTest::newRow("unknown colour") << QStringList{"to-bmp", "b3.bin", "--bg", "blurple", "-o", "OUT"}
                                    << 2 << "unknown colour 'blurple'";
    QTest::newRow("unknown format") << QStringList{"export", "b3.bin", "--format", "pascal", "-o", "OUT"}
                                    << 2 << "unknown format 'pascal'";
    QTest::newRow("0 bytes per line") << QStringList{"export", "b3.bin", "--bytes-per-line", "0", "-o", "OUT"}
                                      << 2 << "--bytes-per-line takes a whole number from 1 to 96";
    QTest::newRow("97 bytes per line") << QStringList{"export", "b3.bin", "--bytes-per-line", "97", "-o", "OUT"}
                                       << 2 << "--bytes-per-line";
    QTest::newRow("not latin-1") << QStringList{"export", "b3.bin", "--hex-prefix", "\u20AC", "-o", "OUT"}
                                 << 2 << "--hex-prefix holds characters that ISO 8859-1 cannot";
    QTest::newRow("two arguments") << QStringList{"hex", "b3.bin", "b1.bin"} << 2
                                   << "unexpected argument";
    QTest::newRow("stdin twice") << QStringList{"join", "-", "-", "-o", "OUT"} << 2
                                 << "standard input can be read only once";
    const QString damaged = QStringLiteral(VEXLOR_SOURCE_DIR "/fuzz/regressions/picture/");
    QTest::newRow("truncated bmp") << QStringList{"to-bin", "truncated.bmp", "-o", "OUT"} << 1
                                   << "truncated.bmp: Taille de l'image différente de 128 * 64 " + damagedText;
    QTest::newRow("pixel offset past the end")
        << QStringList{"to-bin", damaged + "offset-past-end.bmp", "--fit", "-o", "OUT"} << 1 << damagedText;
    QTest::newRow("rle run past the row")
        << QStringList{"to-bin", damaged + "rle8-run-past-row.bmp", "-o", "OUT"} << 1 << damagedText;
    QTest::newRow("endless picture") << QStringList{"to-bin", "/dev/zero", "--fit", "-o", "OUT"} << 1
                                     << "/dev/zero: too large for a picture or a binary file";
    QTest::newRow("endless binary") << QStringList{"join", "b1.bin", "/dev/zero", "-o", "OUT"} << 1
                                    << "/dev/zero: Mauvais Format";
    QTest::newRow("endless info") << QStringList{"info", "/dev/zero"} << 1 << "/dev/zero: too large";
    QTest::newRow("help-all is not offered") << QStringList{"to-bin", "--help-all"} << 2
                                             << "Unknown option 'help-all'";
    QTest::newRow("row127 and a size")
        << QStringList{"hex", "b1.bin", "--row127", "--size", "128x64"} << 2
        << "--row127 is a whole 128x64 layout and takes no --size";
    QTest::newRow("unknown display") << QStringList{"hex", "b1.bin", "--display", "nokia"} << 2
                                     << "unknown display 'nokia' ('vexlor-cli displays' lists them)";
    QTest::newRow("gfx without a size") << QStringList{"hex", "b1.bin", "--display", "gfx"} << 2
                                        << "--display gfx is for pictures of any size: it needs --size";
    QTest::newRow("display and its parts")
        << QStringList{"split", "b1.bin", "--display", "ks0108", "--controllers", "1", "--layout",
                       "vertical", "-o", "OUT"}
        << 2 << "--display ks0108 sets the layout itself; --layout, --controllers cannot change it";
    QTest::newRow("size 0x64") << QStringList{"hex", "b1.bin", "--size", "0x64"} << 2
                               << "--size takes WxH, each side a whole number from 1 to 1024, not '0x64'";
    QTest::newRow("unknown orientation") << QStringList{"hex", "b1.bin", "--layout", "diagonal"} << 2
                                         << "--layout takes vertical or horizontal, not 'diagonal'";
    QTest::newRow("unknown bit order") << QStringList{"show", "b1.bin", "--bit-order", "lsb0"} << 2
                                       << "--bit-order takes lsb or msb, not 'lsb0'";
    QTest::newRow("controllers of rows")
        << QStringList{"join", "b1.bin", "--layout", "horizontal", "--controllers", "2", "-o", "OUT"}
        << 2 << "controllers split the columns of the vertical layout only";
    QTest::newRow("uneven controllers")
        << QStringList{"to-bin", "p0.png", "--display", "sed1520", "--size", "121x32", "-o", "OUT"}
        << 2 << "121 columns do not split into 2 equal blocks";
    QTest::newRow("ihex and text options")
        << QStringList{"export", "b3.bin", "--format", "ihex", "--all", "--comment", "#"} << 2
        << "--format ihex writes the whole file as it is, so --all, --comment cannot apply";
    QTest::newRow("address of a text") << QStringList{"export", "b3.bin", "--address", "0"} << 2
                                       << "--address is for --format ihex only";
    QTest::newRow("octal-looking address")
        << QStringList{"export", "b3.bin", "--format", "ihex", "--address", "+010"} << 2
        << "--address takes a number from 0 to 0xFFFFFFFF, decimal or 0x hexadecimal, not '+010'";
    QTest::newRow("past 32-bit addresses")
        << QStringList{"export", "b3.bin", "--format", "ihex", "--address", "0xFFFFF401"} << 2
        << "the 3072 bytes of";
    QTest::newRow("all tables one name")
        << QStringList{"export", "b3.bin", "--all", "--table-start", "x"} << 2
        << "--all names each table itself";
    QTest::newRow("not whole images of the layout")
        << QStringList{"to-bmp", "b1.bin", "--display", "pcd8544", "-o", "OUT"} << 1
        << "b1.bin: Mauvais Format (a file holds whole images of 504 bytes, at most 64, for 84x48 "
           "vertical, bit 0 top)";
    QTest::newRow("picture not of the layout's size")
        << QStringList{"to-bin", "p0.png", "--display", "ssd1306-128x32", "-o", "OUT"} << 1
        << "p0.png: Taille de l'image différente de 128 * 32 pixels";
    QTest::newRow("python of a layout framebuf cannot draw")
        << QStringList{"export", "b1.bin", "--format", "python"} << 2
        << "framebuf cannot draw 128x64 vertical, bit 0 top, 2 controllers";
    QTest::newRow("header beside standard output")
        << QStringList{"export", "b1.bin", "--header", "OUT"} << 2
        << "--header writes two files together";
    QTest::newRow("header for asm") << QStringList{"export", "b1.bin", "--format", "asm",
                                                   "--header", "x.h", "-o", "OUT"}
                                    << 2 << "--header is for --format c only";
    QTest::newRow("name not an identifier") << QStringList{"export", "b1.bin", "--name", "2x"}
                                            << 2 << "--name takes an identifier";
    QTest::newRow("header into a missing folder: source kept")
        << QStringList{"export", "b1.bin", "--header", "no/such/dir/x.h", "-o", "OUT"} << 1
        << "no/such/dir/x.h: ";
    QTest::newRow("import of no table") << QStringList{"import", "text.png", "-o", "OUT"} << 1
                                        << "text.png: no table of numbers found";
    QTest::newRow("import of a damaged Intel HEX record")
        << QStringList{"import", "bad.hex", "-o", "OUT"} << 1
        << "bad.hex: line 2 is no whole Intel HEX record";
    QTest::newRow("import of a table of another size")
        << QStringList{"import", "table.c", "--display", "pcd8544", "-o", "OUT"} << 1
        << "no table of whole images of 504 bytes (84x48 vertical, bit 0 top); it holds t (3 "
           "bytes)";
    QTest::newRow("output directory missing")
        << QStringList{"to-bin", "p0.png", "-o", "no/such/dir/out.bin"} << 1
        << "no/such/dir/out.bin: Erreur fichier !";
}

void TestCli::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QByteArray old("old contents");
    writeFile("OUT", old);
    for (QString &argument : arguments)
        if (!QDir::isAbsolutePath(argument)
            && (QFile::exists(file(argument)) || argument.endsWith(QLatin1String(".bin"))
                || argument.endsWith(QLatin1String(".png"))
                || argument.endsWith(QLatin1String(".bmp"))
                || argument.endsWith(QLatin1String(".ppm"))))
            argument = file(argument);

    const Result result = run(arguments);
    QCOMPARE(result.code, code);
    QCOMPARE(result.out, QByteArray());
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.startsWith(QLatin1String("vexlor-cli")) && err.contains(message)
                 && err.endsWith(QLatin1Char('\n')),
             qPrintable(err));
    if (code == 2)
        QVERIFY(err.contains(QLatin1String("--help")));
    QCOMPARE(readFile("OUT"), old);
}

void TestCli::unwritableOutputKeepsExistingFile()
{
    const QByteArray old(600, 'o');
    writeFile("kept.bin", old);
    const Result result = run({"to-bin", file("p0.png"), file("p1.png"), "-o", file("kept.bin")},
                              QByteArray(), 1000);
    QCOMPARE(result.code, 1);
    QCOMPARE(QString::fromUtf8(result.err),
             QStringLiteral("vexlor-cli: %1: Erreur fichier !\n").arg(file("kept.bin")));
    QCOMPARE(readFile("kept.bin"), old);
    QCOMPARE(QDir(dir.path()).entryList({"kept.bin*"}, QDir::Files), QStringList{"kept.bin"});
}

void TestCli::filesAndStreams_data()
{
    // Each script runs in a folder of its own holding b1.bin and b3.bin; its
    // standard output, checks included, must read `expected`.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pipe input")
        << "cat b3.bin | $CLI info - && $CLI info <(cat b3.bin) | sed 's/.*: //'"
        << "standard input: binary file, 3 image(s)\nbinary file, 3 image(s)\n";
    QTest::newRow("fifo written into")
        << "mkfifo f; timeout 10 cat f > got & $CLI join b3.bin -o f; echo $?; wait; stat -c %F f; cmp got b3.bin"
        << "0\nfifo\n";
    // A node of its own where it may be made (as root, who could replace
    // /dev/null); otherwise /dev/null, which nobody else can replace.
    QTest::newRow("device written into")
        << "mknod null c 1 3 2>/dev/null || ln -s /dev/null null; $CLI join b3.bin -o null; echo $?; "
           "stat -L -c %F null"
        << "0\ncharacter special file\n";
    QTest::newRow("standard output by name")
        << "$CLI join b3.bin -o /dev/stdout | cmp - b3.bin; echo $?; $CLI join b1.bin -o /dev/stdout >> b3.bin; "
           "stat -c %s b3.bin"
        << "0\n4096\n";
    QTest::newRow("symlink written through, mode kept")
        << "chmod 640 b1.bin; ln -s b1.bin l; $CLI join b3.bin -o l; echo $?; stat -c '%F %a' b1.bin; "
           "test -L l && cmp l b3.bin"
        << "0\nregular file 640\n";
    QTest::newRow("symlink loop refused")
        << "ln -s l1 l2; ln -s l2 l1; $CLI join b3.bin -o l1; echo $?; stat -c %F l1"
        << "1\nsymbolic link\n";
    QTest::newRow("directory refused") << "mkdir d; $CLI join b3.bin -o d; echo $?; ls -A d" << "1\n";
    QTest::newRow("failed multi-file output")
        << "mkdir p; echo old > p/part-00.bin; ln -s nowhere/x p/part-02.bin; "
           "$CLI split b3.bin -o p/part; echo $?; ls -A p; cat p/part-00.bin"
        << "1\npart-00.bin\npart-02.bin\nold\n";
    QTest::newRow("prefix naming a folder")
        << "mkdir s; $CLI split b3.bin -o s/ && $CLI to-bmp --all b1.bin -o s/ && ls s"
        << "image-00.bin\nimage-00.bmp\nimage-01.bin\nimage-02.bin\n";
    QTest::newRow("name that is not UTF-8")
        << "$CLI join b3.bin -o $'o\\xe9.bin' 2>&1; echo $?; ls | grep -c '^o'"
        << "vexlor-cli: o\\xe9.bin: not UTF-8: a name that cannot be used exactly\n1\n0\n";
    QTest::newRow("lost standard output")
        << "for c in 'info b3.bin' 'hex b3.bin' 'show b3.bin' 'export b3.bin' displays --help --version; do "
           "$CLI $c > /dev/full; echo -n $?; $CLI $c >&-; echo -n $?; done"
        << "11111111111111";
}

void TestCli::filesAndStreams()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QTemporaryDir place;
    QVERIFY(place.isValid());
    for (const char *name : {"b1.bin", "b3.bin"})
        QVERIFY(QFile::copy(file(name), place.filePath(name)));
    QProcess shell;
    shell.setWorkingDirectory(place.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CLI", Program);
    environment.insert("LC_ALL", "C");
    shell.setProcessEnvironment(environment);
    shell.start("bash", {"-c", script});
    QVERIFY(shell.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()), expected);
}

void TestCli::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("usage");
    QTest::newRow("program") << QStringList{"--help"} << "Usage: vexlor-cli COMMAND";
    for (const char *command :
         {"to-bin", "to-bmp", "export", "import", "hex", "show", "info", "join", "split",
          "displays"})
        QTest::newRow(command) << QStringList{command, "--help"}
                               << QStringLiteral("Usage: vexlor-cli %1 [options]").arg(command);
    QTest::newRow("help command") << QStringList{"help", "join"} << "Usage: vexlor-cli join";
    QTest::newRow("version") << QStringList{"--version"} << "vexlor-cli " VEXLOR_VERSION "\n";
    QTest::newRow("displays") << QStringList{"displays"}
                              << "ks0108          128x64 vertical, bit 0 top, 2 controllers of 64 "
                                 "columns\n";
}

void TestCli::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, usage);
    const Result result = run(arguments);
    QCOMPARE(result.code, 0);
    QCOMPARE(result.err, QByteArray());
    QVERIFY2(QString::fromUtf8(result.out).startsWith(usage), result.out.constData());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
