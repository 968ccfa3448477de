// Arbitrary bytes as a picture file, taken the way the window takes one:
// format from the content, BMP or PNG only, every pixel held by the file,
// exactly 128x64, then converted in both row organisations and rendered back.
// A PNG that the quick reader takes must come out as the toolkit reads it; the
// same bytes are also wrapped into a well-formed PNG of every kind, so that
// its rows are reached past the checksums and the compression.
#include "core/binimage.h"
#include "core/picturefile.h"
#include "core/pngdecoder.h"
#include "fuzzsupport.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <zlib.h>

#include <iterator>

#include <cstddef>
#include <cstdint>

using BinImage::RowOrganisation;
using FuzzSupport::check;

namespace {

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.format() != b.format() || a.size() != b.size() || a.colorTable() != b.colorTable())
        return false;
    const bool indexed = a.colorCount() > 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (indexed ? a.pixelIndex(x, y) != b.pixelIndex(x, y) : a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

void checkQuickPng(const QByteArray &bytes)
{
    const QImage quick = PngDecoder::decodeCommon(bytes);
    if (quick.isNull())
        return;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    check(samePixels(quick, reader.read()), "the quick PNG reader gives the toolkit's picture");
}

QByteArray chunk(const char *type, const QByteArray &body)
{
    const QByteArray named = QByteArray(type, 4) + body;
    QByteArray out(4, '\0');
    qToBigEndian(quint32(body.size()), out.data());
    QByteArray sum(4, '\0');
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(named.constData()), uInt(named.size())))),
                 sum.data());
    return out + named + sum;
}

// Byte 0 picks the kind, bytes 1-4 the size, the palette's length and how
// many of its entries have an alpha value; then come the palette, the alpha
// values and the rows as they are before compression, filter bytes included.
QByteArray wrappedInPng(const QByteArray &bytes)
{
    static const struct
    {
        int depth;
        int colourType;
        int samples;
    } kinds[] = {{8, 0, 1}, {8, 2, 3}, {8, 3, 1}, {8, 4, 2}, {8, 6, 4}, {1, 0, 1}, {2, 0, 1},
                 {4, 0, 1}, {1, 3, 1}, {2, 3, 1}, {4, 3, 1}, {16, 0, 1}, {16, 2, 3}};
    if (bytes.size() < 5)
        return QByteArray();
    const auto &kind = kinds[uchar(bytes[0]) % std::size(kinds)];
    const int width = 1 + uchar(bytes[1]) % 48;
    const int height = 1 + uchar(bytes[2]) % 16;
    const int colours = 1 + uchar(bytes[3]) % qMin(256, 1 << kind.depth);
    const int alphas = uchar(bytes[4]) % (colours + 1);
    const int rowBytes = (width * kind.samples * kind.depth + 7) / 8;
    QByteArray rest = bytes.mid(5);
    rest.resize(3 * colours + alphas + height * (rowBytes + 1), '\0');
    QByteArray header(13, '\0');
    qToBigEndian(quint32(width), header.data());
    qToBigEndian(quint32(height), header.data() + 4);
    header[8] = char(kind.depth);
    header[9] = char(kind.colourType);
    QByteArray png = QByteArray("\x89PNG\r\n\x1A\n") + chunk("IHDR", header);
    if (kind.colourType == 3) {
        png += chunk("PLTE", rest.first(3 * colours));
        if (alphas > 0)
            png += chunk("tRNS", rest.mid(3 * colours, alphas));
    }
    png += chunk("IDAT", qCompress(rest.sliced(3 * colours + alphas)).sliced(4));
    return png + chunk("IEND", QByteArray());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    checkQuickPng(bytes);
    checkQuickPng(wrappedInPng(bytes));
    QImage picture;
    const FileAccess::Status status = PictureFile::decode(bytes, picture);
    check(status == FileAccess::Status::Ok || picture.isNull(), "a refused picture is not set");
    if (picture.width() != BinImage::Width || picture.height() != BinImage::Height)
        return 0;

    for (const RowOrganisation organisation : {RowOrganisation::Row63, RowOrganisation::Row127}) {
        const QByteArray image = BinImage::fromPicture(picture, organisation);
        check(image.size() == BinImage::ImageBytes, "a binary image is 1024 bytes");
        const auto *raw = reinterpret_cast<const uchar *>(image.constData());
        const QImage rendered = BinImage::toPicture(raw, qRgb(255, 255, 255), organisation);
        check(rendered.size() == QSize(BinImage::Width, BinImage::Height), "rendering is 128x64");
        // Black on white reads back as exactly the bytes it was drawn from.
        check(BinImage::fromPicture(rendered, organisation) == image, "render/convert round trip");
    }
    // The organisations only move column bytes: page 0 of the left half stays put.
    check(BinImage::fromPicture(picture, RowOrganisation::Row63).left(64)
              == BinImage::fromPicture(picture, RowOrganisation::Row127).left(64),
          "first 64 bytes agree in both organisations");
    return 0;
}
