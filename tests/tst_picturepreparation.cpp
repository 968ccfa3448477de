#include "core/binimage.h"
#include "core/picturepreparation.h"
#include "core/picturetransform.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QtTest>

using BinImage::RowOrganisation;
using PicturePreparation::Dither;
using PicturePreparation::FitMode;
using PictureTransform::Flip;

Q_DECLARE_METATYPE(PicturePreparation::Alpha)
Q_DECLARE_METATYPE(BinImage::RowOrganisation)
Q_DECLARE_METATYPE(PicturePreparation::Dither)
Q_DECLARE_METATYPE(PicturePreparation::FitMode)
Q_DECLARE_METATYPE(PictureTransform::Flip)

namespace {

QImage pattern(QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(BinImage::Width, BinImage::Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb((x * 2) & 0xFF, (y * 4) & 0xFF, (x * y) & 0xFF));
    return picture.convertToFormat(format);
}

QImage filled(QSize size, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(size, format);
    picture.fill(colour);
    return picture;
}

QImage grey(int value)
{
    return filled(QSize(BinImage::Width, BinImage::Height), qRgb(value, value, value));
}

int onPixels(const QByteArray &image)
{
    int count = 0;
    for (const char byte : image)
        count += qPopulationCount(quint8(byte));
    return count;
}

// Renders with a white background; black means on.
QImage render(const QByteArray &image)
{
    return BinImage::toPicture(reinterpret_cast<const uchar *>(image.constData()), 0xFFFFFFFFu,
                               RowOrganisation::Row127);
}

// One pixel per letter, each letter a grey of its own; rows split at '/'.
QImage letters(const QString &rows)
{
    const QStringList lines = rows.split(QLatin1Char('/'));
    QImage picture(int(lines.constFirst().size()), int(lines.size()), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int value = lines.at(y).at(x).unicode();
            picture.setPixel(x, y, qRgb(value, value, value));
        }
    return picture;
}

PicturePreparation::Options with(Dither dither, int threshold = PicturePreparation::DitherThreshold)
{
    PicturePreparation::Options options;
    options.dither = dither;
    options.threshold = threshold;
    return options;
}

} // namespace

class TestPicturePreparation : public QObject
{
    Q_OBJECT

private slots:
    void defaultsEqualPlainConversion_data();
    void defaultsEqualPlainConversion();
    void invertFlipsEveryBit();
    void uniformPicturesStayUniform_data();
    void uniformPicturesStayUniform();
    void ditherKeepsMeanGrey_data();
    void ditherKeepsMeanGrey();
    void fit_data();
    void fit();
    void fitIgnoresTransparency();
    void composite_data();
    void composite();
    void orientation_data();
    void orientation();
};

void TestPicturePreparation::defaultsEqualPlainConversion_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<RowOrganisation>("organisation");
    QTest::addColumn<bool>("fit");
    for (const RowOrganisation org : {RowOrganisation::Row63, RowOrganisation::Row127}) {
        const char *name = org == RowOrganisation::Row63 ? "row63" : "row127";
        QTest::addRow("rgb %s", name) << pattern() << org << false;
        QTest::addRow("palette %s", name) << pattern(QImage::Format_Indexed8) << org << false;
        QTest::addRow("fit on exact size %s", name) << pattern() << org << true;
        QImage transparent = pattern(QImage::Format_ARGB32);
        transparent.fill(qRgba(10, 10, 10, 0));
        QTest::addRow("transparent %s", name) << transparent << org << true;
    }
}

void TestPicturePreparation::defaultsEqualPlainConversion()
{
    QFETCH(QImage, picture);
    QFETCH(RowOrganisation, organisation);
    QFETCH(bool, fit);
    PicturePreparation::Options options;
    options.fit = fit;
    QCOMPARE(PicturePreparation::convert(picture, organisation, options),
             BinImage::fromPicture(picture, organisation));
}

void TestPicturePreparation::invertFlipsEveryBit()
{
    PicturePreparation::Options options;
    options.invert = true;
    QByteArray expected = BinImage::fromPicture(pattern(), RowOrganisation::Row63);
    for (char &byte : expected)
        byte = char(~byte);
    QCOMPARE(PicturePreparation::convert(pattern(), RowOrganisation::Row63, options), expected);
}

void TestPicturePreparation::uniformPicturesStayUniform_data()
{
    QTest::addColumn<Dither>("dither");
    QTest::addColumn<int>("grey");
    QTest::addColumn<char>("byte");
    const struct
    {
        const char *name;
        Dither dither;
    } methods[] = {{"floyd-steinberg", Dither::FloydSteinberg},
                   {"atkinson", Dither::Atkinson},
                   {"bayer", Dither::Bayer}};
    for (const auto &m : methods) {
        QTest::addRow("%s black", m.name) << m.dither << 0 << char(0xFF);
        QTest::addRow("%s white", m.name) << m.dither << 255 << char(0);
    }
}

void TestPicturePreparation::uniformPicturesStayUniform()
{
    QFETCH(Dither, dither);
    QFETCH(int, grey);
    QFETCH(char, byte);
    QCOMPARE(PicturePreparation::convert(::grey(grey), RowOrganisation::Row63, with(dither)),
             QByteArray(BinImage::ImageBytes, byte));
}

void TestPicturePreparation::ditherKeepsMeanGrey_data()
{
    QTest::addColumn<Dither>("dither");
    QTest::addColumn<int>("grey");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("expectedOn");
    QTest::addColumn<int>("tolerance");
    constexpr int All = BinImage::Width * BinImage::Height;
    QTest::newRow("bayer half") << Dither::Bayer << 128 << 128 << All / 2 << 0;
    QTest::newRow("bayer quarter") << Dither::Bayer << 192 << 128 << All / 4 << 0;
    QTest::newRow("bayer threshold moves levels") << Dither::Bayer << 128 << 192 << All * 3 / 4 << 0;
    QTest::newRow("floyd-steinberg half") << Dither::FloydSteinberg << 128 << 128 << All / 2 << All / 50;
    QTest::newRow("floyd-steinberg quarter") << Dither::FloydSteinberg << 192 << 128 << All / 4 << All / 50;
    QTest::newRow("floyd-steinberg low threshold") << Dither::FloydSteinberg << 128 << 40 << All / 2 << All / 20;
    // Atkinson drops a quarter of the error, so mid greys lose some contrast.
    QTest::newRow("atkinson half") << Dither::Atkinson << 128 << 128 << All / 2 << All / 10;
}

void TestPicturePreparation::ditherKeepsMeanGrey()
{
    QFETCH(Dither, dither);
    QFETCH(int, grey);
    QFETCH(int, threshold);
    QFETCH(int, expectedOn);
    QFETCH(int, tolerance);
    const QByteArray image = PicturePreparation::convert(::grey(grey), RowOrganisation::Row63,
                                                         with(dither, threshold));
    const int on = onPixels(image);
    QVERIFY2(qAbs(on - expectedOn) <= tolerance,
             qPrintable(QStringLiteral("%1 pixels on, expected %2").arg(on).arg(expectedOn)));
}

void TestPicturePreparation::fit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("black");
    QTest::addColumn<FitMode>("mode");
    QTest::addColumn<QRect>("onArea");
    const QRect all(0, 0, 10000, 10000);
    QTest::newRow("twice as large") << QSize(256, 128) << all << FitMode::Contain << QRect(0, 0, 128, 64);
    QTest::newRow("half as large") << QSize(64, 32) << all << FitMode::Contain << QRect(0, 0, 128, 64);
    QTest::newRow("square") << QSize(100, 100) << all << FitMode::Contain << QRect(32, 0, 64, 64);
    QTest::newRow("wide strip") << QSize(512, 64) << all << FitMode::Contain << QRect(0, 24, 128, 16);
    QTest::newRow("one pixel column") << QSize(1, 640) << all << FitMode::Contain << QRect(63, 0, 1, 64);
    // A square with its top quarter black: cover keeps the middle half of its height.
    const QRect topQuarter(0, 0, 100, 25);
    QTest::newRow("contain keeps the top") << QSize(100, 100) << topQuarter << FitMode::Contain
                                           << QRect(32, 0, 64, 16);
    QTest::newRow("cover crops to the centre") << QSize(100, 100) << topQuarter << FitMode::Cover
                                               << QRect();
    QTest::newRow("cover fills") << QSize(100, 100) << all << FitMode::Cover << QRect(0, 0, 128, 64);
    QTest::newRow("stretch distorts") << QSize(100, 100) << topQuarter << FitMode::Stretch
                                      << QRect(0, 0, 128, 16);
}

void TestPicturePreparation::fit()
{
    QFETCH(QSize, size);
    QFETCH(QRect, black);
    QFETCH(FitMode, mode);
    QFETCH(QRect, onArea);
    PicturePreparation::Options options;
    options.fit = true;
    options.fitMode = mode;
    QImage source = filled(size, qRgb(255, 255, 255));
    QPainter(&source).fillRect(black, Qt::black);
    const QImage picture = render(
        PicturePreparation::convert(source, RowOrganisation::Row127, options));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(picture.pixelIndex(x, y) == 0, onArea.contains(x, y));
}

void TestPicturePreparation::fitIgnoresTransparency()
{
    const QImage fitted = PicturePreparation::fitted(
        filled(QSize(256, 128), qRgba(0, 0, 0, 0), QImage::Format_ARGB32),
        QSize(BinImage::Width, BinImage::Height), FitMode::Contain);
    QCOMPARE(fitted.size(), QSize(BinImage::Width, BinImage::Height));
    QCOMPARE(fitted.pixel(64, 32), qRgb(0, 0, 0));
}

void TestPicturePreparation::composite_data()
{
    QTest::addColumn<PicturePreparation::Alpha>("alpha");
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<QRgb>("expected");
    using PicturePreparation::Alpha;
    QTest::newRow("transparent black onto white") << Alpha::White << qRgba(0, 0, 0, 0) << qRgb(255, 255, 255);
    QTest::newRow("half black onto white") << Alpha::White << qRgba(0, 0, 0, 128) << qRgb(127, 127, 127);
    QTest::newRow("transparent white onto black") << Alpha::Black << qRgba(255, 255, 255, 0) << qRgb(0, 0, 0);
    QTest::newRow("opaque red onto black") << Alpha::Black << qRgb(255, 0, 0) << qRgb(255, 0, 0);
    QTest::newRow("transparent black ignored") << Alpha::Ignore << qRgba(0, 0, 0, 0) << qRgb(0, 0, 0);
}

void TestPicturePreparation::composite()
{
    QFETCH(PicturePreparation::Alpha, alpha);
    QFETCH(QRgb, pixel);
    QFETCH(QRgb, expected);
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(pixel);
    const QImage original = picture;
    PicturePreparation::composite(picture, alpha);
    QCOMPARE(picture.format(), QImage::Format_RGB32);
    QCOMPARE(picture.pixel(2, 1), expected);
    QCOMPARE(PicturePreparation::hasTransparency(original), qAlpha(pixel) != 255);
    QCOMPARE(original.pixel(2, 1), pixel); // a shared picture is not changed under its owner
}

void TestPicturePreparation::orientation_data()
{
    QTest::addColumn<int>("quarterTurns");
    QTest::addColumn<Flip>("flip");
    QTest::addColumn<QString>("expected");
    QTest::newRow("90 clockwise") << 1 << Flip::None << "da/eb/fc";
    QTest::newRow("180") << 2 << Flip::None << "fed/cba";
    QTest::newRow("270 clockwise") << 3 << Flip::None << "cf/be/ad";
    QTest::newRow("mirrored left to right") << 0 << Flip::Horizontal << "cba/fed";
    QTest::newRow("mirrored top to bottom") << 0 << Flip::Vertical << "def/abc";
    QTest::newRow("turned, then mirrored") << 1 << Flip::Horizontal << "ad/be/cf";
}

void TestPicturePreparation::orientation()
{
    QFETCH(int, quarterTurns);
    QFETCH(Flip, flip);
    QFETCH(QString, expected);
    const PictureTransform::Orientation orientation{quarterTurns, flip};
    const QImage turned = PictureTransform::oriented(letters(QStringLiteral("abc/def")), orientation);
    QCOMPARE(turned.convertToFormat(QImage::Format_RGB32), letters(expected));
    QCOMPARE(PictureTransform::orientedSize(QSize(3, 2), orientation), turned.size());
}

QTEST_APPLESS_MAIN(TestPicturePreparation)
#include "tst_picturepreparation.moc"
