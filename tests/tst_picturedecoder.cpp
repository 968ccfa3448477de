#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/pictureencoder.h"
#include "support/testpictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QtEndian>
#include <QtTest>

using FileAccess::Status;

Q_DECLARE_METATYPE(FileAccess::Status)

using TestPictures::encoded;

namespace {

const QSize DisplaySize(128, 64);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb White = qRgb(255, 255, 255);

QImage solid(QSize size, QRgb colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// Uncompressed true colour, the only kind the toolkit reads, with the footer
// that marks it as version 2.
QByteArray tga(QSize size, QRgb colour)
{
    QByteArray data(18, '\0');
    data[2] = 2;
    data[12] = char(size.width() & 0xFF);
    data[13] = char(size.width() >> 8);
    data[14] = char(size.height() & 0xFF);
    data[15] = char(size.height() >> 8);
    data[16] = 24;
    const char pixel[] = {char(qBlue(colour)), char(qGreen(colour)), char(qRed(colour))};
    for (int i = 0; i < size.width() * size.height(); ++i)
        data.append(pixel, 3);
    data += QByteArray(8, '\0');
    data += QByteArray("TRUEVISION-XFILE.", 18);
    return data;
}

// An Exif block whose orientation tag says the camera was turned a quarter clockwise.
QByteArray turnedByCamera(const QByteArray &jpeg)
{
    const QByteArray exif = QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01"
                                       "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                                       32);
    QByteArray segment("\xFF\xE1");
    segment += char(0);
    segment += char(exif.size() + 2);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

QByteArray svg(QSize size)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                          "width=\"%1\" height=\"%2\" viewBox=\"0 0 4 2\">"
                          "<rect width=\"2\" height=\"2\" fill=\"#0000ff\"/></svg>")
        .arg(size.width())
        .arg(size.height())
        .toLatin1();
}

// Each channel taken as off or full, which lossy formats keep.
QRgb pure(QRgb colour)
{
    return qRgb(qRed(colour) > 127 ? 255 : 0, qGreen(colour) > 127 ? 255 : 0,
                qBlue(colour) > 127 ? 255 : 0);
}

QList<QRgb> topLeftColours(const QList<QImage> &frames)
{
    QList<QRgb> colours;
    for (const QImage &frame : frames)
        colours << pure(frame.pixel(0, 0));
    return colours;
}

} // namespace

class TestPictureDecoder : public QObject
{
    Q_OBJECT

private slots:
    void formatFromContent_data();
    void formatFromContent();
    void decode_data();
    void decode();
    void encodedKeepsOnPixels_data();
    void encodedKeepsOnPixels();
};

void TestPictureDecoder::formatFromContent_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("format");
    const QImage picture = solid(DisplaySize, Red);
    for (const char *format : {"bmp", "png", "jpeg", "tiff", "webp", "ico", "xpm", "xbm",
                               "pbm", "pgm", "ppm"})
        QTest::newRow(format) << encoded(picture, format) << QByteArray(format);
    QTest::newRow("gif") << TestPictures::gif(DisplaySize, {0}) << QByteArray("gif");
    QTest::newRow("tga") << tga(DisplaySize, Red) << QByteArray("tga");
    QTest::newRow("svg") << svg(DisplaySize) << QByteArray("svg");
    QTest::newRow("text") << QByteArray("P7 is not a picture\n") << QByteArray();
}

void TestPictureDecoder::formatFromContent()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, format);
    QCOMPARE(PictureDecoder::formatOf(data), format);
    const PictureDecoder::Picture picture = PictureDecoder::decode(data, 1);
    QCOMPARE(picture.status, format.isEmpty() ? Status::UnknownFormat : Status::Ok);
    if (!format.isEmpty())
        QCOMPARE(picture.frames.value(0).size(), DisplaySize);
}

void TestPictureDecoder::decode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<int>("maxFrames");
    QTest::addColumn<Status>("status");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<QList<QRgb>>("colours");
    const QSize none;
    const QList<int> rgb{0, 1, 2};
    QTest::newRow("animation in order") << TestPictures::gif(DisplaySize, rgb) << none << 64 << Status::Ok << 3
                                        << DisplaySize << QList<QRgb>{Red, Green, Blue};
    QTest::newRow("animation up to the limit") << TestPictures::gif(DisplaySize, rgb) << none << 2 << Status::Ok << 3
                                               << DisplaySize << QList<QRgb>{Red, Green};
    QTest::newRow("one-page tiff read once")
        << encoded(solid(DisplaySize, Green), "tiff") << none << 64 << Status::Ok << 1 << DisplaySize
        << QList<QRgb>{Green};
    QByteArray topDown = encoded(solid(DisplaySize, Green), "bmp");
    qToLittleEndian<qint32>(-DisplaySize.height(), topDown.data() + 22);
    QTest::newRow("top-down bmp") << topDown << none << 1 << Status::Ok << 1 << DisplaySize
                                  << QList<QRgb>{Green};
    const QByteArray animation = TestPictures::gif(DisplaySize, rgb);
    QTest::newRow("animation cut in its last frame")
        << animation.first(animation.size() - 4) << none << 64 << Status::Damaged << 0 << QSize()
        << QList<QRgb>{};
    const QByteArray photo = encoded(solid(QSize(1024, 512), Red), "jpeg");
    QTest::newRow("jpeg cut short") << photo.first(photo.size() - 2) << none << 1
                                    << Status::Damaged << 0 << QSize() << QList<QRgb>{};
    QTest::newRow("jpeg scaled while decoding") << photo << DisplaySize << 1 << Status::Ok << 1
                                                << DisplaySize << QList<QRgb>{Red};
    QTest::newRow("jpeg turned upright while scaled")
        << turnedByCamera(photo) << DisplaySize.transposed() << 1 << Status::Ok << 1
        << DisplaySize.transposed() << QList<QRgb>{Red};
    QTest::newRow("svg at its own size") << svg(DisplaySize) << none << 1 << Status::Ok << 1 << DisplaySize
                                         << QList<QRgb>{Blue};
    // Drawn straight at the size wanted, on white: at its own size it could not be held.
    QTest::newRow("svg drawn at the size wanted")
        << svg(QSize(400000, 200000)) << DisplaySize << 1 << Status::Ok << 1 << DisplaySize
        << QList<QRgb>{Blue};
    QTest::newRow("svg too large at its own size") << svg(QSize(400000, 200000)) << none << 1
                                                   << Status::TooLarge << 0 << QSize()
                                                   << QList<QRgb>{};
    QTest::newRow("gif canvas too large") << TestPictures::gif(QSize(9000, 8000), {0}, QSize(1, 1)) << none << 1
                                          << Status::TooLarge << 0 << QSize() << QList<QRgb>{};
}

void TestPictureDecoder::decode()
{
    QFETCH(QByteArray, data);
    QFETCH(QSize, wanted);
    QFETCH(int, maxFrames);
    QFETCH(Status, status);
    QFETCH(int, frameCount);
    QFETCH(QSize, frameSize);
    QFETCH(QList<QRgb>, colours);
    PictureDecoder::SizeRequest request;
    if (wanted.isValid())
        request = [wanted](const QSize &) { return wanted; };
    const PictureDecoder::Picture picture = PictureDecoder::decode(data, maxFrames, request);
    QCOMPARE(picture.status, status);
    if (status != Status::Ok) {
        QVERIFY(picture.frames.isEmpty());
        return;
    }
    QCOMPARE(picture.frameCount, frameCount);
    QCOMPARE(topLeftColours(picture.frames), colours);
    for (const QImage &frame : picture.frames)
        QCOMPARE(frame.size(), frameSize);
    if (frameSize == DisplaySize && picture.format.startsWith("svg"))
        QCOMPARE(pure(picture.frames.constFirst().pixel(127, 63)), White);
}

void TestPictureDecoder::encodedKeepsOnPixels_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("expectedStart");
    // A light background would be dithered into stray dots by a plain conversion.
    QTest::newRow("xbm") << "3 logo-v2.XBM" << QByteArray("xbm")
                         << QByteArray("#define image_3_logo_v2_width 128\n"
                                       "#define image_3_logo_v2_height 64\n"
                                       "static unsigned char image_3_logo_v2_bits[] = {");
    QTest::newRow("pbm") << "out.pbm" << QByteArray("pbm") << QByteArray("P4");
    QTest::newRow("png") << "out.png" << QByteArray("png") << QByteArray("\x89PNG");
    QTest::newRow("webp, lossless") << "out.webp" << QByteArray("webp") << QByteArray("RIFF");
    QTest::newRow("unknown extension") << "out.txt" << QByteArray("bmp") << QByteArray("BM");
}

void TestPictureDecoder::encodedKeepsOnPixels()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, expectedStart);
    QByteArray image(BinImage::ImageBytes, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 37) ^ (i >> 3));
    const auto organisation = BinImage::RowOrganisation::Row127;
    const QImage rendered = BinImage::toPicture(reinterpret_cast<const uchar *>(image.constData()),
                                                qRgb(255, 255, 160), organisation);
    QCOMPARE(PictureEncoder::formatForName(path), format);
    const QByteArray data = PictureEncoder::encode(rendered, format, path);
    QVERIFY2(data.startsWith(expectedStart), data.left(120).constData());
    QImage back;
    QVERIFY(back.loadFromData(data, format));
    QImage black(back.size(), QImage::Format_RGB32);
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x)
            black.setPixel(x, y, qGray(back.pixel(x, y)) < 64 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QCOMPARE(BinImage::fromPicture(black, organisation), image);
}

QTEST_GUILESS_MAIN(TestPictureDecoder)
#include "tst_picturedecoder.moc"
