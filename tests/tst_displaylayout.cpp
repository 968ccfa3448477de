#include "core/binaryimage.h"
#include "core/binimage.h"
#include "core/displaylayout.h"
#include "core/displaypreset.h"

#include <QByteArray>
#include <QImage>
#include <QtTest>

using Orientation = DisplayLayout::Orientation;
using BitOrder = DisplayLayout::BitOrder;

Q_DECLARE_METATYPE(DisplayLayout)

namespace {

constexpr QRgb Black = 0xFF000000;

DisplayLayout layout(int w, int h, Orientation orientation, BitOrder order, int controllers = 1)
{
    return DisplayLayout{w, h, orientation, order, controllers};
}

// "x,y x,y ..." -> points.
QList<QPoint> points(const char *text)
{
    QList<QPoint> result;
    for (const QString &pair : QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(QLatin1Char(','));
        result << QPoint(xy[0].toInt(), xy[1].toInt());
    }
    return result;
}

// "offset:HH ..." over `size` zero bytes, or "HH HH ..." for every byte.
QByteArray bytes(int size, const char *text)
{
    QByteArray result(size, '\0');
    int next = 0;
    for (const QString &item : QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(':'));
        const int offset = parts.size() == 2 ? parts[0].toInt() : next;
        result[offset] = char(parts.last().toInt(nullptr, 16));
        next = offset + 1;
    }
    return result;
}

QImage picture(const DisplayLayout &layout, const QList<QPoint> &on)
{
    QImage result(layout.width, layout.height, QImage::Format_RGB32);
    result.fill(Qt::white);
    for (const QPoint &p : on)
        result.setPixel(p, Black);
    return result;
}

} // namespace

class TestDisplayLayout : public QObject
{
    Q_OBJECT

private slots:
    void workedBytes_data();
    void workedBytes();
    void problems_data();
    void problems();
    void presets_data();
    void presets();
    void sizeText_data();
    void sizeText();
};

// Bytes worked out by hand from the layout's definition, not from the code.
void TestDisplayLayout::workedBytes_data()
{
    QTest::addColumn<DisplayLayout>("layout");
    QTest::addColumn<QList<QPoint>>("on");
    QTest::addColumn<QByteArray>("expected");
    // Every pixel on; the bits padding a page or a row stay off.
    QTest::addColumn<QByteArray>("full");

    const auto V = Orientation::Vertical;
    const auto H = Orientation::Horizontal;
    QTest::newRow("vertical lsb 3x10")
        << layout(3, 10, V, BitOrder::Lsb) << points("0,0 1,8 2,9")
        << bytes(6, "01 00 00 00 01 02") << bytes(6, "FF FF FF 03 03 03");
    QTest::newRow("vertical msb 3x10")
        << layout(3, 10, V, BitOrder::Msb) << points("0,0 1,8 2,9")
        << bytes(6, "80 00 00 00 80 40") << bytes(6, "FF FF FF C0 C0 C0");
    QTest::newRow("horizontal msb 10x2")
        << layout(10, 2, H, BitOrder::Msb) << points("0,0 9,0 3,1 8,1")
        << bytes(4, "80 40 10 80") << bytes(4, "FF C0 FF C0");
    QTest::newRow("horizontal lsb 10x2")
        << layout(10, 2, H, BitOrder::Lsb) << points("0,0 9,0 3,1 8,1")
        << bytes(4, "01 02 08 01") << bytes(4, "FF 03 FF 03");
    // Block 0 (columns 0-1) pages 0 and 1, then block 1 (columns 2-3).
    QTest::newRow("two controllers 4x16")
        << layout(4, 16, V, BitOrder::Lsb, 2) << points("0,0 1,7 2,8 3,15")
        << bytes(8, "01 80 00 00 00 00 01 80") << bytes(8, "FF FF FF FF FF FF FF FF");
    QTest::newRow("sed1520 122x32")
        << layout(122, 32, V, BitOrder::Lsb, 2) << points("60,31 61,0 121,9")
        << bytes(488, "243:80 244:01 365:02") << QByteArray();
    QTest::newRow("pcd8544 84x48")
        << layout(84, 48, V, BitOrder::Lsb) << points("83,0 0,8 83,47")
        << bytes(504, "83:01 84:01 503:80") << QByteArray();
    QTest::newRow("gfx 12x3")
        << layout(12, 3, H, BitOrder::Msb) << points("11,2 7,0")
        << bytes(6, "0:01 5:10") << bytes(6, "FF F0 FF F0 FF F0");
    QTest::newRow("1x1") << layout(1, 1, V, BitOrder::Msb) << points("0,0") << bytes(1, "80")
                         << bytes(1, "80");
}

void TestDisplayLayout::workedBytes()
{
    QFETCH(DisplayLayout, layout);
    QFETCH(QList<QPoint>, on);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, full);
    QCOMPARE(layout.problem(), QString());
    QCOMPARE(layout.imageBytes(), expected.size());

    const BinaryImage converted = BinImage::fromPicture(picture(layout, on), layout);
    QCOMPARE(converted.bytes().toHex(' '), expected.toHex(' '));

    const QImage rendered = BinImage::toPicture(BinaryImage(expected, layout), 0xFFFFFFFF);
    QCOMPARE(rendered.convertToFormat(QImage::Format_RGB32), picture(layout, on));

    if (full.isEmpty())
        return;
    QImage black(layout.size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    QCOMPARE(BinImage::fromPicture(black, layout).bytes().toHex(' '), full.toHex(' '));
    BinaryImage inverted(layout);
    inverted.invert();
    QCOMPARE(inverted.bytes().toHex(' '), full.toHex(' '));
}

void TestDisplayLayout::problems_data()
{
    QTest::addColumn<DisplayLayout>("layout");
    QTest::addColumn<QString>("problem");
    const auto V = Orientation::Vertical;
    const auto H = Orientation::Horizontal;
    QTest::newRow("row63") << DisplayLayout::row63() << QString();
    QTest::newRow("1024x1024") << layout(1024, 1024, H, BitOrder::Msb) << QString();
    QTest::newRow("zero width") << layout(0, 64, V, BitOrder::Lsb)
                                << "a display is 1 to 1024 pixels wide and high, not 0x64";
    QTest::newRow("too high") << layout(8, 1025, H, BitOrder::Msb)
                              << "a display is 1 to 1024 pixels wide and high, not 8x1025";
    QTest::newRow("no controller") << layout(128, 64, V, BitOrder::Lsb, 0)
                                   << "a display has at least one controller, not 0";
    QTest::newRow("horizontal split") << layout(128, 64, H, BitOrder::Msb, 2)
                                      << "controllers split the columns of the vertical layout "
                                         "only; the horizontal layout stores whole rows";
    QTest::newRow("uneven split") << layout(128, 64, V, BitOrder::Lsb, 3)
                                  << "128 columns do not split into 3 equal blocks";
}

void TestDisplayLayout::problems()
{
    QFETCH(DisplayLayout, layout);
    QFETCH(QString, problem);
    QCOMPARE(layout.problem(), problem);
    // No conversion may run on a layout it cannot honour.
    QCOMPARE(BinImage::fromPicture(picture(DisplayLayout::row63(), {}), layout).isNull(),
             !problem.isEmpty());
}

void TestDisplayLayout::presets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("needsSize");
    QTest::newRow("ks0108") << "ks0108" << "128x64 vertical, bit 0 top, 2 controllers of 64 columns"
                            << false;
    QTest::newRow("ssd1306") << "ssd1306" << "128x64 vertical, bit 0 top" << false;
    QTest::newRow("ssd1306-128x32") << "ssd1306-128x32" << "128x32 vertical, bit 0 top" << false;
    QTest::newRow("sh1106") << "sh1106" << "128x64 vertical, bit 0 top" << false;
    QTest::newRow("st7565") << "st7565" << "128x64 vertical, bit 0 top" << false;
    QTest::newRow("pcd8544") << "pcd8544" << "84x48 vertical, bit 0 top" << false;
    QTest::newRow("sed1520") << "sed1520" << "122x32 vertical, bit 0 top, 2 controllers of 61 columns"
                             << false;
    QTest::newRow("gfx") << "gfx" << "128x64 horizontal, bit 7 leftmost" << true;
    QTest::newRow("xbm") << "xbm" << "128x64 horizontal, bit 0 leftmost" << true;
    QTest::newRow("u8g2-pcd8544") << "u8g2-pcd8544" << "88x48 vertical, bit 0 top" << false;
    QTest::newRow("u8g2-sed1520") << "u8g2-sed1520" << "128x32 vertical, bit 0 top" << false;
    QTest::newRow("adafruit-st7565") << "adafruit-st7565" << "128x64 vertical, bit 7 top" << false;
    QTest::newRow("framebuf-vlsb") << "framebuf-vlsb" << "128x64 vertical, bit 0 top" << true;
    QTest::newRow("framebuf-hlsb") << "framebuf-hlsb" << "128x64 horizontal, bit 7 leftmost"
                                   << true;
    QTest::newRow("framebuf-hmsb") << "framebuf-hmsb" << "128x64 horizontal, bit 0 leftmost"
                                   << true;
}

void TestDisplayLayout::presets()
{
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(bool, needsSize);
    const DisplayPreset *preset = DisplayPreset::find(name);
    QVERIFY(preset);
    QCOMPARE(preset->layout.description(), description);
    QCOMPARE(preset->needsSize, needsSize);
    QCOMPARE(preset->layout.problem(), QString());
    QVERIFY(!DisplayPreset::find(name.toUpper()));
    // The window's two organisations are the two 128x64 controller families.
    if (name == QLatin1String("ks0108"))
        QCOMPARE(preset->layout, BinImage::layout(BinImage::RowOrganisation::Row63));
    if (name == QLatin1String("ssd1306"))
        QCOMPARE(preset->layout, BinImage::layout(BinImage::RowOrganisation::Row127));
}

void TestDisplayLayout::sizeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("size");
    QTest::newRow("128x64") << "128x64" << QSize(128, 64);
    QTest::newRow("1x1024") << "1x1024" << QSize(1, 1024);
    QTest::newRow("leading zeros") << "084x048" << QSize(84, 48);
    QTest::newRow("zero") << "0x64" << QSize();
    QTest::newRow("1025") << "1025x8" << QSize();
    QTest::newRow("capital X") << "128X64" << QSize();
    QTest::newRow("sign") << "+128x64" << QSize();
    QTest::newRow("hex") << "0x80x64" << QSize();
    QTest::newRow("space") << "128x64 " << QSize();
    QTest::newRow("one side") << "128" << QSize();
}

void TestDisplayLayout::sizeText()
{
    QFETCH(QString, text);
    QFETCH(QSize, size);
    QSize parsed;
    QCOMPARE(DisplayLayout::sizeFromText(text, parsed), size.isValid());
    QCOMPARE(parsed, size);
}

QTEST_GUILESS_MAIN(TestDisplayLayout)
#include "tst_displaylayout.moc"
