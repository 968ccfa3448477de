#include "core/binimage.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QtTest>

using BinImage::RowOrganisation;

Q_DECLARE_METATYPE(BinImage::RowOrganisation)

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

QImage render(const QByteArray &bytes, RowOrganisation org, QRgb background = White)
{
    return BinImage::toPicture(reinterpret_cast<const uchar *>(bytes.constData()), background, org);
}

QImage filled(QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(BinImage::Width, BinImage::Height, format);
    picture.fill(colour);
    return picture;
}

QList<QPoint> blackPixels(const QImage &picture)
{
    QList<QPoint> result;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == Black)
                result << QPoint(x, y);
    return result;
}

} // namespace

class TestBinImage : public QObject
{
    Q_OBJECT

private slots:
    void workedOffsets_data();
    void workedOffsets();
    void offsetsCoverEveryByteOnce_data();
    void offsetsCoverEveryByteOnce();
    void uniformImages_data();
    void uniformImages();
    void singleByte_data();
    void singleByte();
    void halfBlackPicture_data();
    void halfBlackPicture();
    void threshold_data();
    void threshold();
    void palettePicture();
    void transparencyIgnored();
    void smallerPictureIsPaddedOff();
    void roundTrip_data();
    void roundTrip();
    void otherOrganisationMovesHalfPages();
    void renderedFormat();
    void hexText();
    void listRows_data();
    void listRows();
};

void TestBinImage::workedOffsets_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("row127");
    QTest::addColumn<int>("row63");
    QTest::newRow("(0,0)") << 0 << 0 << 0 << 0;
    QTest::newRow("(0,7)") << 0 << 7 << 0 << 0;
    QTest::newRow("(63,8)") << 63 << 8 << 191 << 127;
    QTest::newRow("(64,0)") << 64 << 0 << 64 << 512;
    QTest::newRow("(127,63)") << 127 << 63 << 1023 << 1023;
    QTest::newRow("(127,0)") << 127 << 0 << 127 << 575;
    QTest::newRow("(0,56)") << 0 << 56 << 896 << 448;
}

void TestBinImage::workedOffsets()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, row127);
    QFETCH(int, row63);
    QCOMPARE(BinImage::byteOffset(y / 8, x, RowOrganisation::Row127), row127);
    QCOMPARE(BinImage::byteOffset(y / 8, x, RowOrganisation::Row63), row63);

    // The conversion must put the pixel's bit exactly there, in the right bit.
    QImage picture = filled(White);
    picture.setPixel(x, y, Black);
    for (auto [org, offset] : {std::pair{RowOrganisation::Row127, row127},
                               std::pair{RowOrganisation::Row63, row63}}) {
        const QByteArray bytes = BinImage::fromPicture(picture, org);
        QCOMPARE(bytes.size(), 1024);
        QCOMPARE(uchar(bytes[offset]), uchar(1u << (y % 8)));
        QCOMPARE(bytes.count('\0'), 1023);
    }
}

void TestBinImage::offsetsCoverEveryByteOnce_data()
{
    QTest::addColumn<RowOrganisation>("org");
    QTest::newRow("Row63") << RowOrganisation::Row63;
    QTest::newRow("Row127") << RowOrganisation::Row127;
}

void TestBinImage::offsetsCoverEveryByteOnce()
{
    QFETCH(RowOrganisation, org);
    QList<int> seen(1024, 0);
    for (int p = 0; p < 8; ++p)
        for (int x = 0; x < 128; ++x)
            ++seen[BinImage::byteOffset(p, x, org)];
    QCOMPARE(seen.count(1), 1024);
}

void TestBinImage::uniformImages_data()
{
    QTest::addColumn<RowOrganisation>("org");
    QTest::addColumn<char>("byte");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("zero Row63") << RowOrganisation::Row63 << char(0) << White;
    QTest::newRow("zero Row127") << RowOrganisation::Row127 << char(0) << White;
    QTest::newRow("0xFF Row63") << RowOrganisation::Row63 << char(0xFF) << Black;
    QTest::newRow("0xFF Row127") << RowOrganisation::Row127 << char(0xFF) << Black;
}

void TestBinImage::uniformImages()
{
    QFETCH(RowOrganisation, org);
    QFETCH(char, byte);
    QFETCH(QRgb, expected);
    const QImage picture = render(QByteArray(1024, byte), org);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            QCOMPARE(picture.pixel(x, y), expected);
}

void TestBinImage::singleByte_data()
{
    QTest::addColumn<RowOrganisation>("org");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("0x01@0 Row63") << RowOrganisation::Row63 << 0 << 0x01 << QPoint(0, 0);
    QTest::newRow("0x01@0 Row127") << RowOrganisation::Row127 << 0 << 0x01 << QPoint(0, 0);
    QTest::newRow("0x80@0 Row63") << RowOrganisation::Row63 << 0 << 0x80 << QPoint(0, 7);
    QTest::newRow("0x80@0 Row127") << RowOrganisation::Row127 << 0 << 0x80 << QPoint(0, 7);
    QTest::newRow("0x01@512 Row63") << RowOrganisation::Row63 << 512 << 0x01 << QPoint(64, 0);
    QTest::newRow("0x01@512 Row127") << RowOrganisation::Row127 << 512 << 0x01 << QPoint(0, 32);
    QTest::newRow("0x10@575 Row63") << RowOrganisation::Row63 << 575 << 0x10 << QPoint(127, 4);
}

void TestBinImage::singleByte()
{
    QFETCH(RowOrganisation, org);
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(QPoint, pixel);
    QByteArray bytes(1024, '\0');
    bytes[offset] = char(value);
    QCOMPARE(blackPixels(render(bytes, org)), QList<QPoint>{pixel});
}

void TestBinImage::halfBlackPicture_data()
{
    offsetsCoverEveryByteOnce_data();
}

void TestBinImage::halfBlackPicture()
{
    QFETCH(RowOrganisation, org);
    QImage picture = filled(White);
    QPainter(&picture).fillRect(0, 0, 64, 64, Qt::black);
    const QByteArray bytes = BinImage::fromPicture(picture, org);
    for (int i = 0; i < 1024; ++i) {
        const bool left = org == RowOrganisation::Row63 ? i < 512 : i % 128 < 64;
        QCOMPARE(uchar(bytes[i]), uchar(left ? 0xFF : 0x00));
    }
}

void TestBinImage::threshold_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("grey");
    QTest::addColumn<bool>("on");
    QTest::newRow("black") << qRgb(0, 0, 0) << 0 << true;
    QTest::newRow("grey 39") << qRgb(39, 39, 39) << 39 << true;
    QTest::newRow("grey 40") << qRgb(40, 40, 40) << 40 << false;
    QTest::newRow("white") << qRgb(255, 255, 255) << 255 << false;
    QTest::newRow("red") << qRgb(255, 0, 0) << 87 << false;
    QTest::newRow("green") << qRgb(0, 255, 0) << 127 << false;
    QTest::newRow("blue") << qRgb(0, 0, 255) << 39 << true;
}

void TestBinImage::threshold()
{
    QFETCH(QRgb, colour);
    QFETCH(int, grey);
    QFETCH(bool, on);
    QCOMPARE(BinImage::greyValue(colour), grey);
    const QByteArray bytes = BinImage::fromPicture(filled(colour), RowOrganisation::Row63);
    QCOMPARE(bytes, QByteArray(1024, on ? char(0xFF) : char(0)));
}

void TestBinImage::palettePicture()
{
    QImage picture(128, 64, QImage::Format_Indexed8);
    // Index 0 is light on purpose: the index must never be taken for the colour.
    picture.setColorTable({qRgb(250, 250, 250), qRgb(0, 0, 255)});
    picture.fill(0);
    picture.setPixel(127, 63, 1);
    const QByteArray bytes = BinImage::fromPicture(picture, RowOrganisation::Row127);
    QCOMPARE(uchar(bytes[1023]), uchar(0x80));
    QCOMPARE(bytes.count('\0'), 1023);
}

void TestBinImage::transparencyIgnored()
{
    QImage picture = filled(qRgba(0, 0, 0, 0), QImage::Format_ARGB32);
    picture.setPixel(5, 5, qRgba(255, 255, 255, 0));
    const QByteArray bytes = BinImage::fromPicture(picture, RowOrganisation::Row63);
    QCOMPARE(uchar(bytes[5]), uchar(0xFF & ~(1u << 5)));
    QCOMPARE(bytes.count(char(0xFF)), 1023);
}

void TestBinImage::smallerPictureIsPaddedOff()
{
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(Qt::black);
    const QByteArray bytes = BinImage::fromPicture(picture, RowOrganisation::Row127);
    for (int p = 0; p < 8; ++p)
        for (int x = 0; x < 128; ++x)
            QCOMPARE(uchar(bytes[128 * p + x]), uchar(x < 100 ? 0xFF : 0x00));
}

void TestBinImage::roundTrip_data()
{
    QTest::addColumn<RowOrganisation>("org");
    QTest::addColumn<QRgb>("background");
    QTest::newRow("Row63 white") << RowOrganisation::Row63 << White;
    QTest::newRow("Row127 yellow") << RowOrganisation::Row127 << qRgb(255, 255, 0);
    QTest::newRow("Row63 translucent bg") << RowOrganisation::Row63 << qRgba(10, 200, 30, 0);
}

void TestBinImage::roundTrip()
{
    QFETCH(RowOrganisation, org);
    QFETCH(QRgb, background);
    QImage picture(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            picture.setPixel(x, y, qRgb((x * 7 + y * 3) % 256, (x * y) % 256, (x + y * 11) % 256));
    const QByteArray bytes = BinImage::fromPicture(picture, org);
    const QImage rendered = render(bytes, org, background);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            const bool dark = BinImage::greyValue(picture.pixel(x, y)) < 40;
            QCOMPARE(rendered.pixel(x, y), dark ? Black : (background | 0xFF000000u));
        }
}

void TestBinImage::otherOrganisationMovesHalfPages()
{
    // Each half-page gets its own pattern so a moved run can be recognised.
    QImage picture = filled(White);
    for (int p = 0; p < 8; ++p)
        for (int half = 0; half < 2; ++half)
            for (int b = 0; b <= p; ++b)
                for (int x = 0; x < 64; ++x)
                    picture.setPixel(half * 64 + x, 8 * p + (half ? 7 - b : b), Black);
    const QByteArray bytes = BinImage::fromPicture(picture, RowOrganisation::Row63);
    const QImage shown = render(bytes, RowOrganisation::Row127);
    // Row127 reads bytes 128p..128p+127 as page p: Row63 half-pages 2p and 2p+1.
    for (int p = 0; p < 8; ++p)
        for (int x = 0; x < 128; ++x)
            for (int b = 0; b < 8; ++b) {
                const int run = 2 * p + x / 64; // Row63 run index: half * 8 + page
                const int half = run / 8, page = run % 8;
                const bool dark = half ? (7 - b) <= page : b <= page;
                QCOMPARE(shown.pixel(x, 8 * p + b) == Black, dark);
            }
}

void TestBinImage::renderedFormat()
{
    const QImage picture = render(QByteArray(1024, '\0'), RowOrganisation::Row63, qRgba(1, 2, 3, 4));
    QCOMPARE(picture.size(), QSize(128, 64));
    QCOMPARE(picture.format(), QImage::Format_Indexed8);
    QCOMPARE(picture.colorTable(), (QList<QRgb>{0xFF000000u, qRgba(1, 2, 3, 255)}));
}

void TestBinImage::hexText()
{
    QByteArray bytes(1024, '\0');
    bytes[0] = char(0x3C);
    bytes[17] = char(0xA5);
    bytes[1023] = char(0xFF);
    const QString text = BinImage::hexText(reinterpret_cast<const uchar *>(bytes.constData()));
    QCOMPARE(text.size(), 3135);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 64);
    for (const QString &line : lines)
        QCOMPARE(line.size(), 48);
    QVERIFY(lines[0].startsWith(QLatin1String("3C,00,")));
    QVERIFY(lines[1].startsWith(QLatin1String("00,A5,00,")));
    QVERIFY(lines[63].endsWith(QLatin1String("00,FF,")));
}

void TestBinImage::listRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("0") << 0 << " 0" << "Image 0";
    QTest::newRow("9") << 9 << " 9" << "Image 9";
    QTest::newRow("10") << 10 << "10" << "Image 10";
    QTest::newRow("63") << 63 << "63" << "Image 63";
}

void TestBinImage::listRows()
{
    QFETCH(int, index);
    QFETCH(QString, number);
    QFETCH(QString, description);
    QCOMPARE(BinImage::listRowNumber(index), number);
    QCOMPARE(BinImage::listRowDescription(index), description);
}

QTEST_GUILESS_MAIN(TestBinImage)
#include "tst_binimage.moc"
