// Arbitrary bytes as a picture file, taken the way the window takes one:
// format from the content, BMP or PNG only, every pixel held by the file,
// exactly 128x64, then converted in both row organisations and rendered back.
// A PNG that the quick reader takes must come out as the toolkit reads it; the
// same bytes are also wrapped into a well-formed PNG of every kind, chunk
// layout and deflate block type, so that its rows are reached past the
// checksums and the compression, and the image data is judged as zlib does.
// What the quick reader takes is also reduced while decoding, from memory
// and from a device, and held to the area average of the toolkit's picture.
#include "core/binimage.h"
#include "core/picturefile.h"
#include "core/pngdecoder.h"
#include "fuzzsupport.h"
#include "tests/support/areaaverage.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QList>
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

// Reduced while decoding, a picture is the area average of the toolkit's,
// whether its file is in memory or read a block at a time.
void checkReducedPng(const QByteArray &bytes, const QImage &whole)
{
    const QSize reduced((whole.width() + 1) / 2, (whole.height() + 2) / 3);
    QImage shrunk;
    check(PngDecoder::decode(bytes, shrunk, reduced) == FileAccess::Status::Ok
              && AreaAverage::largestDifference(shrunk, AreaAverage::areaAverage(whole, reduced)) <= 1,
          "a PNG reduced while decoding is the area average of the toolkit's picture");
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    FileAccess::Status status = FileAccess::Status::Damaged;
    QImage streamed;
    check(PngDecoder::decodeReduced(device, [&](const QSize &) { return reduced; }, status, streamed)
              && status == FileAccess::Status::Ok && streamed == shrunk,
          "a PNG read a block at a time is reduced as from memory");
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
    const QImage toolkit = reader.read();
    check(samePixels(quick, toolkit), "the quick PNG reader gives the toolkit's picture");
    checkReducedPng(bytes, toolkit);
}

QByteArray chunk(const char *type, const QByteArray &body)
{
    const QByteArray named = QByteArray(type, 4) + body;
    QByteArray out(4, '\0');
    qToBigEndian(quint32(body.size()), out.data());
    QByteArray sum(4, '\0');
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(named.constData()),
                               uInt(named.size()))),
                 sum.data());
    return out + named + sum;
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// Deflate's bits, first bit lowest; Huffman codes go highest bit first.
class BitWriter
{
public:
    void put(quint32 value, int count)
    {
        for (int i = 0; i < count; ++i, value >>= 1) {
            m_byte |= (value & 1) << m_used;
            if (++m_used == 8)
                flush();
        }
    }
    void putCode(quint32 code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            put((code >> i) & 1, 1);
    }
    QByteArray finish()
    {
        if (m_used > 0)
            flush();
        return m_bytes;
    }

private:
    void flush()
    {
        m_bytes += char(m_byte);
        m_byte = 0;
        m_used = 0;
    }
    QByteArray m_bytes;
    quint32 m_byte = 0;
    int m_used = 0;
};

QList<quint32> canonicalCodes(const QList<int> &lengths)
{
    int count[16] = {};
    for (const int length : lengths)
        ++count[length];
    count[0] = 0;
    quint32 next[16] = {};
    for (int bits = 1, code = 0; bits < 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = quint32(code);
    }
    QList<quint32> codes;
    for (const int length : lengths)
        codes << (length > 0 ? next[length]++ : 0);
    return codes;
}

// One dynamic block of literals whose header declares `literals` (257-288)
// literal/length codes and `distances` (1-32) distance codes, all complete
// codes of two lengths. Deflate allows no more than 286 and 30; zlib
// refuses the rest, where a more lenient inflater would not.
QByteArray edgeDynamicStream(const QByteArray &raw, int literals, int distances)
{
    QList<int> lengths;
    const int nines = 2 * literals - 512; // (n - k) / 256 + k / 512 = 1
    for (int symbol = 0; symbol < literals; ++symbol)
        lengths << (symbol < literals - nines ? 8 : 9);
    const int fives = qBound(0, 2 * distances - 32, distances);
    for (int symbol = 0; symbol < distances; ++symbol)
        lengths << (symbol < distances - fives ? 4 : 5);
    static const int order[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    QList<int> lengthCode(19, 0);
    for (const int used : {4, 5, 8, 9})
        lengthCode[used] = 2;
    BitWriter bits;
    bits.put(1, 1); // the last block
    bits.put(2, 2); // dynamic
    bits.put(quint32(literals - 257), 5);
    bits.put(quint32(distances - 1), 5);
    bits.put(12 - 4, 4);
    for (int i = 0; i < 12; ++i)
        bits.put(quint32(lengthCode[order[i]]), 3);
    const QList<quint32> lengthCodes = canonicalCodes(lengthCode);
    for (const int length : lengths)
        bits.putCode(lengthCodes[length], 2);
    const QList<int> literalLengths = lengths.first(literals);
    const QList<quint32> literalCodes = canonicalCodes(literalLengths);
    for (const char byte : raw)
        bits.putCode(literalCodes[uchar(byte)], literalLengths[uchar(byte)]);
    bits.putCode(literalCodes[256], literalLengths[256]);
    const uLong sum = adler32(1, reinterpret_cast<const Bytef *>(raw.constData()), uInt(raw.size()));
    return QByteArray("\x78\x01") + bits.finish() + bigEndian32(quint32(sum));
}

// Stored, fixed or dynamic blocks as zlib writes them.
QByteArray zlibStream(const QByteArray &raw, int kind)
{
    z_stream stream = {};
    const int level = kind == 0 ? 0 : 9;
    const int strategy = kind == 1 ? Z_FIXED : kind == 2 ? Z_DEFAULT_STRATEGY : Z_RLE;
    if (deflateInit2(&stream, level, Z_DEFLATED, 15, 8, strategy) != Z_OK)
        return QByteArray();
    QByteArray out(qsizetype(deflateBound(&stream, uLong(raw.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
    stream.avail_in = uInt(raw.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

struct Kind
{
    int depth;
    int colourType;
    int samples;
};

// What zlib makes of the image data: true when it inflates to exactly the
// rows and ends with the data.
bool inflatesExactly(const QByteArray &stream, qint64 rows)
{
    QByteArray out(rows + 1, '\0');
    uLongf written = uLongf(out.size());
    uLong read = uLong(stream.size());
    const int result = uncompress2(reinterpret_cast<Bytef *>(out.data()), &written,
                                   reinterpret_cast<const Bytef *>(stream.constData()), &read);
    return result == Z_OK && written == uLongf(rows) && read == uLong(stream.size());
}

// Bytes 0-6 pick the kind, size, palette length, transparency, chunk layout
// and compression; then come the palette, the transparency values and the
// rows as they are before compression, filter bytes included. Every chunk
// is well formed; the order, the ancillary chunks, the split of the image
// data and the deflate blocks vary.
struct Wrapped
{
    QByteArray png;
    QByteArray stream;
    qint64 rows = 0;
};

Wrapped wrappedInPng(const QByteArray &bytes)
{
    static const Kind kinds[] = {{8, 0, 1}, {8, 2, 3}, {8, 3, 1}, {8, 4, 2}, {8, 6, 4},
                                 {1, 0, 1}, {2, 0, 1}, {4, 0, 1}, {1, 3, 1}, {2, 3, 1},
                                 {4, 3, 1}, {16, 0, 1}, {16, 2, 3}, {16, 4, 2}, {16, 6, 4}};
    Wrapped wrapped;
    if (bytes.size() < 7)
        return wrapped;
    const Kind &kind = kinds[uchar(bytes[0]) % std::size(kinds)];
    const int width = 1 + uchar(bytes[1]) % 48;
    const int height = 1 + uchar(bytes[2]) % 16;
    const int colours = 1 + uchar(bytes[3]) % qMin(256, 1 << kind.depth);
    const uchar layout = uchar(bytes[5]);
    const uchar coding = uchar(bytes[6]);
    const bool transparency = layout & 4;
    const int alphaBytes = kind.colourType == 3 ? uchar(bytes[4]) % (colours + 1)
                         : kind.colourType == 0 ? 2
                         : kind.colourType == 2 ? 6
                                                : uchar(bytes[4]) % 8; // not allowed there
    const int rowBytes = (width * kind.samples * kind.depth + 7) / 8;
    wrapped.rows = qint64(height) * (rowBytes + 1);
    QByteArray rest = bytes.mid(7);
    rest.resize(3 * colours + alphaBytes + wrapped.rows, '\0');
    const QByteArray rows = rest.sliced(3 * colours + alphaBytes);
    const int blocks = coding % 4;
    wrapped.stream = blocks < 3
        ? zlibStream(rows, blocks)
        : edgeDynamicStream(rows, 286 + (coding >> 2) % 3, 30 + (coding >> 4) % 3);
    QByteArray header = bigEndian32(quint32(width)) + bigEndian32(quint32(height));
    header += char(kind.depth);
    header += char(kind.colourType);
    header += QByteArray(3, '\0');
    const QByteArray ancillary = chunk("tEXt", "Title\0x") + chunk("vpAg", bigEndian32(7));
    const int place = (layout >> 3) & 3; // 0 none, 1 before the palette, 2 after, 3 after the data
    QByteArray png = QByteArray("\x89PNG\r\n\x1A\n") + chunk("IHDR", header);
    if (place == 1)
        png += ancillary;
    if (kind.colourType == 3)
        png += chunk("PLTE", rest.first(3 * colours));
    if (transparency)
        png += chunk("tRNS", rest.mid(3 * colours, alphaBytes));
    if (place == 2)
        png += ancillary;
    // Split where the layout byte says, at most in three.
    const qsizetype first = (layout >> 5) * wrapped.stream.size() / 8;
    const qsizetype second = first + (wrapped.stream.size() - first) / 2;
    png += chunk("IDAT", wrapped.stream.first(first));
    png += chunk("IDAT", wrapped.stream.sliced(first, second - first));
    png += chunk("IDAT", wrapped.stream.sliced(second));
    if (place == 3)
        png += ancillary;
    wrapped.png = png + chunk("IEND", QByteArray());
    return wrapped;
}

void checkWrapped(const QByteArray &bytes)
{
    const Wrapped wrapped = wrappedInPng(bytes);
    if (wrapped.png.isEmpty())
        return;
    checkQuickPng(wrapped.png);
    const bool exact = inflatesExactly(wrapped.stream, wrapped.rows);
    check(exact || PngDecoder::decodeCommon(wrapped.png).isNull(),
          "the quick PNG reader takes no image data that zlib refuses");
    QImage picture;
    check(exact || PictureFile::decode(wrapped.png, picture) == FileAccess::Status::Damaged,
          "a PNG whose data zlib refuses is damaged");
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
    checkWrapped(bytes);
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
