#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/pictureencoder.h"
#include "core/picturefile.h"
#include "core/picturepreparation.h"
#include "core/pngdecoder.h"
#include "support/testpictures.h"
#include "tests/support/areaaverage.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QList>
#include <QRandomGenerator>
#include <QTemporaryDir>
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

// An Exif block whose orientation tag says how the camera was held: by
// default, turned a quarter clockwise.
QByteArray turnedByCamera(const QByteArray &jpeg, char orientation = 6)
{
    QByteArray exif = QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01"
                                 "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                                 32);
    exif[25] = orientation;
    QByteArray segment("\xFF\xE1");
    segment += char(0);
    segment += char(exif.size() + 2);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

QByteArray progressiveJpeg(const QImage &picture)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(picture);
    return data;
}

// The frame header's size changed: libjpeg would hold every coefficient of
// a progressive photo that large before reading any.
QByteArray claimingSize(QByteArray jpeg, QSize size)
{
    const qsizetype frame = jpeg.indexOf("\xFF\xC2");
    qToBigEndian(quint16(size.height()), jpeg.data() + frame + 5);
    qToBigEndian(quint16(size.width()), jpeg.data() + frame + 7);
    return jpeg;
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

// Fields of up to six bytes: the bytes past the value's own four are zero.
QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray data;
    for (int i = 0; i < bytes; ++i)
        data += char(quint64(value) >> (8 * i));
    return data;
}

QByteArray riffChunk(const char *type, const QByteArray &body)
{
    return QByteArray(type, 4) + littleEndian(quint32(body.size()), 4) + body
         + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray webpFile(const QByteArray &chunks)
{
    return "RIFF" + littleEndian(quint32(chunks.size() + 4), 4) + "WEBP" + chunks;
}

// The toolkit writes no WebP animation: the toolkit's still pictures (one
// bitstream chunk after the 12-byte file header) put in animation frames.
QByteArray webpAnimation(QSize canvas, const QList<QRgb> &colours)
{
    const auto sizeField = [](QSize size) {
        return littleEndian(quint32(size.width() - 1), 3) + littleEndian(quint32(size.height() - 1), 3);
    };
    QByteArray chunks = riffChunk("VP8X", littleEndian(0x02, 4) + sizeField(canvas));
    chunks += riffChunk("ANIM", littleEndian(0xFFFFFFFF, 4) + littleEndian(0, 2));
    for (const QRgb colour : colours) {
        const QByteArray still = encoded(solid(canvas, colour), "webp");
        chunks += riffChunk("ANMF", littleEndian(0, 6) + sizeField(canvas) + littleEndian(100, 3)
                                        + QByteArray(1, '\0') + still.mid(12));
    }
    return webpFile(chunks);
}

// The container stays whole while its picture's bitstream is cut in half.
QByteArray webpWithHalfItsPicture(const QByteArray &still)
{
    const QByteArray chunk = still.mid(12);
    const QByteArray body = chunk.mid(8, qFromLittleEndian<quint32>(chunk.constData() + 4) / 2);
    return webpFile(riffChunk(chunk.first(4).constData(), body));
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char *type, const QByteArray &body)
{
    return TestPictures::pngChunk(type, body);
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = qAbs(p - a), pb = qAbs(p - b), pc = qAbs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

enum { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

struct PngKind
{
    int depth;
    int colourType;
    int levels; // samples are drawn below this
    QByteArray chunks = {}; // between the header and the image data
};

// Random samples, each row filtered by the next of the five filter types,
// so that every filter is undone at the pixel size of the kind.
QByteArray pngRows(const PngKind &kind, QSize size)
{
    static const int samplesPerPixel[] = {1, 0, 3, 1, 2, 0, 4};
    const int samples = samplesPerPixel[kind.colourType];
    const int rowBytes = (size.width() * samples * kind.depth + 7) / 8;
    const int bpp = qMax(1, samples * kind.depth / 8);
    QRandomGenerator random(quint32(kind.depth * 16 + kind.colourType));
    QByteArray previous(rowBytes, '\0');
    QByteArray data;
    for (int y = 0; y < size.height(); ++y) {
        QByteArray row(rowBytes, '\0');
        for (int i = 0; i < size.width() * samples; ++i) {
            const int value = random.bounded(kind.levels);
            if (kind.depth == 16)
                qToBigEndian(quint16(value * 257), row.data() + 2 * i);
            else if (kind.depth == 8)
                row[i] = char(value);
            else
                row[i * kind.depth / 8] = char(row[i * kind.depth / 8]
                                               | value << (8 - kind.depth - i * kind.depth % 8));
        }
        const int filter = y % 5;
        data += char(filter);
        for (int i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? uchar(row[i - bpp]) : 0;
            const int b = uchar(previous[i]);
            const int c = i >= bpp ? uchar(previous[i - bpp]) : 0;
            const int predictors[] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
            data += char(uchar(row[i]) - predictors[filter]);
        }
        previous = row;
    }
    return data;
}

QByteArray pngHeader(const PngKind &kind, QSize size)
{
    QByteArray header = bigEndian(quint32(size.width())) + bigEndian(quint32(size.height()));
    header += char(kind.depth);
    header += char(kind.colourType);
    header += QByteArray(3, '\0');
    return QByteArray("\x89PNG\r\n\x1A\n") + chunk("IHDR", header) + kind.chunks;
}

// Odd sides, so that packed rows end within a byte.
const QSize PngSize(37, 11);

QByteArray deflated(const PngKind &kind)
{
    return qCompress(pngRows(kind, PngSize)).mid(4); // without Qt's length prefix
}

QByteArray png(const PngKind &kind, const QByteArray &imageData)
{
    return pngHeader(kind, PngSize) + chunk("IDAT", imageData) + chunk("IEND", QByteArray());
}

QByteArray png(const PngKind &kind)
{
    return png(kind, deflated(kind));
}

QByteArray palette(int colours)
{
    QByteArray entries;
    for (int i = 0; i < colours * 3; ++i)
        entries += char(i * 97 + 13);
    return chunk("PLTE", entries);
}

QImage toolkitPng(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

// Colour indices where the picture has a table, so that a table in another
// order would not pass.
QList<uint> pixelValues(const QImage &picture)
{
    QList<uint> values;
    const bool indexed = picture.colorCount() > 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            values << (indexed ? uint(picture.pixelIndex(x, y)) : picture.pixel(x, y));
    return values;
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
    void pngAsTheToolkitReadsIt_data();
    void pngAsTheToolkitReadsIt();
    void pngReducedAsTheFileIsRead_data();
    void pngReducedAsTheFileIsRead();
    void jpegAsTheToolkitReadsIt_data();
    void jpegAsTheToolkitReadsIt();
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
    QTest::newRow("progressive jpeg claiming 600 megapixels")
        << claimingSize(progressiveJpeg(solid(DisplaySize, Red)), QSize(30000, 20000)) << DisplaySize
        << 1 << Status::TooLarge << 0 << QSize() << QList<QRgb>{};
    QTest::newRow("jpeg with more after its end marker")
        << photo + QByteArray(10000, '\x5A') << none << 1 << Status::Ok << 1 << QSize(1024, 512)
        << QList<QRgb>{Red};
    const QByteArray webp = encoded(solid(QSize(1024, 512), Red), "webp");
    QTest::newRow("webp scaled while decoding") << webp << DisplaySize << 1 << Status::Ok << 1
                                                << DisplaySize << QList<QRgb>{Red};
    QTest::newRow("webp left at its size when enlarged")
        << encoded(solid(QSize(64, 32), Red), "webp") << DisplaySize << 1 << Status::Ok << 1
        << QSize(64, 32) << QList<QRgb>{Red};
    QTest::newRow("webp cut short") << webp.first(webp.size() / 2) << none << 1 << Status::Damaged
                                    << 0 << QSize() << QList<QRgb>{};
    QTest::newRow("webp with half its picture") << webpWithHalfItsPicture(webp) << DisplaySize << 1
                                                << Status::Damaged << 0 << QSize() << QList<QRgb>{};
    QTest::newRow("webp animation in order")
        << webpAnimation(DisplaySize, {Red, Green, Blue}) << none << 64 << Status::Ok << 3
        << DisplaySize << QList<QRgb>{Red, Green, Blue};
    QTest::newRow("webp animation up to the limit")
        << webpAnimation(DisplaySize, {Red, Green, Blue}) << none << 2 << Status::Ok << 3
        << DisplaySize << QList<QRgb>{Red, Green};
    QTest::newRow("svg at its own size") << svg(DisplaySize) << none << 1 << Status::Ok << 1 << DisplaySize
                                         << QList<QRgb>{Blue};
    // Drawn straight at the size wanted, on white: at its own size it could not be held.
    QTest::newRow("svg drawn at the size wanted")
        << svg(QSize(400000, 200000)) << DisplaySize << 1 << Status::Ok << 1 << DisplaySize
        << QList<QRgb>{Blue};
    QTest::newRow("svg too large at its own size") << svg(QSize(400000, 200000)) << none << 1
                                                   << Status::TooLarge << 0 << QSize()
                                                   << QList<QRgb>{};
    const QByteArray scan = encoded(solid(DisplaySize, Red), "jpeg");
    const qsizetype start = scan.indexOf("\xFF\xDA") + 14;
    QTest::newRow("jpeg scan cut out") << scan.left(start + (scan.size() - 2 - start) / 4) + scan.right(2)
                                       << none << 1 << Status::Damaged << 0 << QSize() << QList<QRgb>{};
    QTest::newRow("xbm holding one byte of its 1024")
        << QByteArray("#define s_width 128\n#define s_height 64\nstatic char s_bits[] = {\n0xff };\n")
        << none << 1 << Status::Damaged << 0 << QSize() << QList<QRgb>{};
    QTest::newRow("png header unreadable")
        << TestPictures::png(DisplaySize, 8, 7, QByteArray(65 * 64, '\0')) << none << 1
        << Status::Damaged << 0 << QSize() << QList<QRgb>{};
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
    // Damage is seen whatever the program's messages are set to show.
    QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
    const PictureDecoder::Picture picture = PictureDecoder::decode(data, maxFrames, request);
    QLoggingCategory::setFilterRules(QString());
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
    QTest::newRow("no extension") << "out" << QByteArray("bmp") << QByteArray("BM");
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

void TestPictureDecoder::pngAsTheToolkitReadsIt_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<bool>("damaged"); // refused, whatever the toolkit's reader makes of it
    const PngKind rgb{8, Rgb, 256};
    QTest::newRow("rgb") << png(rgb) << true << false;
    QTest::newRow("rgba") << png({8, Rgba, 256}) << true << false;
    QTest::newRow("grey") << png({8, Grey, 256}) << true << false;
    QTest::newRow("grey and alpha") << png({8, GreyAlpha, 256}) << true << false;
    for (const int depth : {1, 2, 4})
        QTest::addRow("%d-bit grey", depth) << png({depth, Grey, 1 << depth}) << true << false;
    QTest::newRow("palette, 8 bits, partly transparent")
        << png({8, Palette, 200, palette(200) + chunk("tRNS", QByteArray("\0\x40\x80\xC0\xFF\x10", 6))})
        << true << false;
    QTest::newRow("palette, 4 bits") << png({4, Palette, 11, palette(11)}) << true << false;
    QTest::newRow("palette, 2 bits, short table") << png({2, Palette, 3, palette(3)}) << true << false;
    QTest::newRow("palette, 1 bit") << png({1, Palette, 2, palette(2)}) << true << false;
    const QByteArray stream = deflated(rgb);
    QTest::newRow("image data in three chunks")
        << pngHeader(rgb, PngSize) + chunk("IDAT", stream.first(5))
               + chunk("IDAT", stream.mid(5, 100)) + chunk("IDAT", stream.mid(105))
               + chunk("IEND", QByteArray())
        << true << false;
    QTest::newRow("gamma, text and private chunks")
        << png({8, Rgb, 256, chunk("gAMA", bigEndian(30000)) + chunk("tEXt", "Title\0x")
                                 + chunk("vpAg", bigEndian(7))})
        << true << false;
    // Left to the toolkit, which has the last word on them.
    QTest::newRow("16 bits a channel") << png({16, Rgb, 256}) << false << false;
    QTest::newRow("grey with a transparent value")
        << png({8, Grey, 256, chunk("tRNS", QByteArray("\0\x07", 2))}) << false << false;
    QTest::newRow("palette index past the table") << png({2, Palette, 4, palette(3)}) << false << false;
    QTest::newRow("one-colour 1-bit palette") << png({1, Palette, 1, palette(1)}) << false << false;
    QByteArray wrongSum = png({8, Rgb, 256, chunk("gAMA", bigEndian(30000))});
    wrongSum[33 + 12] = char(wrongSum[33 + 12] ^ 1);
    QTest::newRow("ancillary chunk with a wrong checksum") << wrongSum << false << false;
    QTest::newRow("image data cut short") << png(rgb, stream.first(stream.size() - 40)) << false << false;
    QTest::newRow("bytes after the image data") << png(rgb, stream + "more") << false << true;
    QTest::newRow("image data past the rows")
        << png(rgb, qCompress(pngRows(rgb, PngSize) + QByteArray(10, '\0')).mid(4)) << false << true;
    QTest::newRow("chunk longer than the file")
        << pngHeader(rgb, PngSize) + TestPictures::pngChunk("tEXt", "a", 0x7FFFFFFF) << false << true;
    QTest::newRow("image data past the rows, 16 bits")
        << png({16, Rgb, 256}, qCompress(pngRows({16, Rgb, 256}, PngSize) + "x").mid(4)) << false
        << true;
    const PngKind line{1, Grey, 2};
    const QSize longest(1000000, 1);
    QTest::newRow("side as long as libpng takes")
        << pngHeader(line, longest) + chunk("IDAT", qCompress(QByteArray(125001, '\0')).mid(4))
               + chunk("IEND", QByteArray())
        << true << false;
    QTest::newRow("side longer than libpng takes")
        << pngHeader(line, longest + QSize(8, 0))
               + chunk("IDAT", qCompress(QByteArray(125002, '\0')).mid(4)) + chunk("IEND", QByteArray())
        << false << false;
}

void TestPictureDecoder::pngAsTheToolkitReadsIt()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, quick);
    QFETCH(bool, damaged);
    QCOMPARE(!PngDecoder::decodeCommon(data).isNull(), quick);
    QImage picture;
    if (damaged) {
        QCOMPARE(PictureFile::decode(data, picture), Status::Damaged);
        QCOMPARE(PngDecoder::decode(data, picture, QSize(10, 4)), Status::Damaged);
        QVERIFY(picture.isNull());
        return;
    }
    const QImage expected = toolkitPng(data);
    QCOMPARE(PictureFile::decode(data, picture), expected.isNull() ? Status::Damaged : Status::Ok);
    QCOMPARE(picture.format(), expected.format());
    QCOMPARE(picture.size(), expected.size());
    QCOMPARE(picture.colorTable(), expected.colorTable());
    QCOMPARE(pixelValues(picture), pixelValues(expected));
    // Reduced while decoding, or left at its size for the toolkit's reader.
    const QSize reduced = QSize(10, 4).boundedTo(expected.size());
    QImage shrunk;
    QCOMPARE(PngDecoder::decode(data, shrunk, reduced), expected.isNull() ? Status::Damaged : Status::Ok);
    if (!quick) {
        QCOMPARE(shrunk.size(), expected.size());
        return;
    }
    QCOMPARE(shrunk.size(), reduced);
    QVERIFY(AreaAverage::largestDifference(shrunk, AreaAverage::areaAverage(expected, reduced)) <= 1);
}

// Larger than a block read from the file, with its image data in chunks
// that blocks cut across.
QByteArray largePng(const PngKind &kind, const QByteArray &after = QByteArray())
{
    const QSize size(301, 157);
    const QByteArray stream = qCompress(pngRows(kind, size)).mid(4);
    QByteArray data = pngHeader(kind, size);
    for (qsizetype at = 0; at < stream.size(); at += 7001)
        data += chunk("IDAT", stream.mid(at, 7001));
    return data + after + chunk("IEND", QByteArray());
}

void TestPictureDecoder::pngReducedAsTheFileIsRead_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Status>("status");
    QTest::newRow("rgba") << largePng({8, Rgba, 256}) << Status::Ok;
    QTest::newRow("palette with transparency")
        << largePng({8, Palette, 200, palette(200) + chunk("tRNS", QByteArray(150, '\x80'))})
        << Status::Ok;
    QTest::newRow("transparency after the image data, for the toolkit")
        << largePng({8, Rgb, 256}, chunk("tRNS", QByteArray(6, '\0'))) << Status::Ok;
    QTest::newRow("16 bits, for the toolkit") << largePng({16, Rgb, 256}) << Status::Ok;
    const QByteArray whole = largePng({8, Rgb, 256});
    QTest::newRow("cut short") << whole.first(whole.size() - 5000) << Status::Damaged;
    QByteArray wrongSum = whole;
    wrongSum[wrongSum.size() - 13] = char(wrongSum.at(wrongSum.size() - 13) ^ 1);
    QTest::newRow("last image data's sum wrong") << wrongSum << Status::Damaged;
}

// Read from the file a block at a time, as from memory.
void TestPictureDecoder::pngReducedAsTheFileIsRead()
{
    QFETCH(QByteArray, data);
    QFETCH(Status, status);
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.png");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    file.close();
    PicturePreparation::Options options;
    options.fit = true;
    options.alpha = PicturePreparation::Alpha::White;
    const PictureDecoder::Picture read =
        PictureDecoder::read(path, FileAccess::Streams::Refused, DisplaySize, options, 1);
    const PictureDecoder::Picture decoded =
        PictureDecoder::decode(data, 1, PictureDecoder::sizeRequest(DisplaySize, options));
    QCOMPARE(read.status, status);
    QCOMPARE(decoded.status, status);
    if (status != Status::Ok)
        return;
    // At its own size when the toolkit's reader reads it.
    const QImage frame = read.frames.first();
    QImage expected = toolkitPng(data);
    if (frame.size() != expected.size())
        expected = AreaAverage::areaAverage(expected, frame.size());
    PicturePreparation::composite(expected, options.alpha);
    QVERIFY(AreaAverage::largestDifference(frame, expected) <= 1);
}

void TestPictureDecoder::jpegAsTheToolkitReadsIt_data()
{
    QTest::addColumn<QByteArray>("data");
    // Four colours in the corners, so that every turn and mirror shows.
    QImage corners(48, 32, QImage::Format_RGB32);
    corners.fill(White);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            corners.setPixel(x, y, Red);
            corners.setPixel(47 - x, y, Green);
            corners.setPixel(x, 31 - y, Blue);
        }
    const QByteArray photo = encoded(corners, "jpeg");
    for (char orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << turnedByCamera(photo, orientation);
    QTest::newRow("grey") << encoded(corners.convertToFormat(QImage::Format_Grayscale8), "jpeg");
    QTest::newRow("progressive") << progressiveJpeg(corners);
}

// libjpeg's own pixels, at full size, upright as the toolkit turns them.
void TestPictureDecoder::jpegAsTheToolkitReadsIt()
{
    QFETCH(QByteArray, data);
    const PictureDecoder::Picture picture = PictureDecoder::decode(data, 1);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(true);
    const QImage expected = reader.read();
    QCOMPARE(picture.status, Status::Ok);
    QCOMPARE(picture.size, expected.size());
    QCOMPARE(picture.frames.first().format(), expected.format());
    QCOMPARE(pixelValues(picture.frames.first()), pixelValues(expected));
}

QTEST_GUILESS_MAIN(TestPictureDecoder)
#include "tst_picturedecoder.moc"
