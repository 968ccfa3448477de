#include "core/pngdecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QSize>
#include <QtEndian>

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace PngDecoder {

namespace {

using FileAccess::Status;

enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

// The rows are inflated whole beside the picture; a larger picture is left
// to the toolkit's reader, which holds one row at a time.
constexpr qint64 MaxInflatedBytes = 64 * 1024 * 1024;

// libpng refuses a longer side as it stands on Debian.
constexpr qint64 MaxSide = 1000000;

struct Png
{
    qint64 width = 0;
    qint64 height = 0;
    int depth = 0;
    int colourType = Grey;
    bool interlaced = false;
    QList<QRgb> palette;
    QByteArrayView transparency;
    qint64 transparencyChunk = -1; // where the tRNS chunk starts in the file
    QList<QByteArrayView> imageData;
    // Every chunk is one the one-pass path reads exactly as the toolkit does.
    bool common = true;
};

quint32 bigEndian32(const uchar *bytes)
{
    return qFromBigEndian<quint32>(bytes);
}

int channels(int colourType)
{
    switch (colourType) {
    case Rgb:
        return 3;
    case GreyAlpha:
        return 2;
    case Rgba:
        return 4;
    default:
        return 1;
    }
}

// The depths the format allows for each colour type.
bool validKind(int depth, int colourType)
{
    switch (colourType) {
    case Grey:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case Palette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case Rgb:
    case GreyAlpha:
    case Rgba:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// Eight bits a channel, and grey or palette pictures packed in fewer.
bool commonKind(const Png &png)
{
    return !png.interlaced && png.depth <= 8;
}

bool readHeader(const uchar *body, quint32 length, Png &png)
{
    if (length != 13)
        return false;
    png.width = bigEndian32(body);
    png.height = bigEndian32(body + 4);
    png.depth = body[8];
    png.colourType = body[9];
    png.interlaced = body[12] == 1;
    return png.width > 0 && png.width <= MaxSide && png.height > 0 && png.height <= MaxSide
        && validKind(png.depth, png.colourType) && body[10] == 0 && body[11] == 0
        && body[12] <= 1;
}

bool readPalette(const uchar *body, quint32 length, Png &png)
{
    if (png.colourType != Palette || !png.palette.isEmpty() || length == 0 || length % 3 != 0
        || length / 3 > (1u << png.depth))
        return false;
    for (quint32 i = 0; i < length; i += 3)
        png.palette << qRgb(body[i], body[i + 1], body[i + 2]);
    return true;
}

// Only a palette's alpha values are taken: a transparent grey or colour
// value is left to the toolkit's reader.
bool readPaletteAlpha(Png &png)
{
    const QByteArrayView body = png.transparency;
    if (png.colourType != Palette || body.size() > png.palette.size())
        return false;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QRgb colour = png.palette.at(i);
        png.palette[i] = qRgba(qRed(colour), qGreen(colour), qBlue(colour), uchar(body[i]));
    }
    return true;
}

bool isChunkName(const uchar *name)
{
    for (int i = 0; i < 4; ++i) {
        const uchar c = name[i] & ~0x20;
        if (c < 'A' || c > 'Z')
            return false;
    }
    return true;
}

// Every chunk up to IEND must lie within the file: a reader allocates what
// a chunk declares before it reads it. What libpng refuses as an error
// (a critical chunk damaged, unknown or out of order) is damaged here too;
// what it only warns about is left to the toolkit's reader.
Status readChunks(const QByteArray &data, Png &png, bool checkSums)
{
    enum { Before, Within, After } imageData = Before;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    bool header = false;
    for (qint64 at = 8;;) {
        if (size - at < 12)
            return Status::Damaged;
        const quint32 length = bigEndian32(bytes + at);
        if (length > 0x7FFFFFFFu || length > size - at - 12)
            return Status::Damaged;
        const uchar *name = bytes + at + 4;
        const uchar *body = name + 4;
        if (!isChunkName(name))
            return Status::Damaged;
        const bool critical = !(name[0] & 0x20);
        const bool sound = !checkSums || crc32(0, name, length + 4) == bigEndian32(body + length);
        const qint64 chunkStart = at;
        at += 12 + qint64(length);
        if (critical && !sound)
            return Status::Damaged;
        const QByteArrayView type(name, 4);
        if (!header) {
            if (type != "IHDR" || !readHeader(body, length, png))
                return Status::Damaged;
            header = true;
            png.common = commonKind(png);
        } else if (type == "IDAT") {
            if (imageData == After)
                return Status::Damaged;
            png.imageData << QByteArrayView(body, length);
            imageData = Within;
        } else {
            if (imageData == Within)
                imageData = After;
            if (type == "IEND")
                return imageData == Before ? Status::Damaged : Status::Ok;
            if (type == "PLTE") {
                png.common = png.common && imageData == Before && readPalette(body, length, png);
            } else if (critical) {
                return Status::Damaged;
            } else if (!sound) {
                png.common = false; // the toolkit drops it, with a warning
            } else if (type == "tRNS" && png.transparency.isNull()) {
                png.transparency = QByteArrayView(body, length);
                png.transparencyChunk = chunkStart;
                png.common = png.common && imageData == Before && readPaletteAlpha(png);
            } else if (type == "tRNS") {
                png.common = false;
            }
            // Other ancillary chunks (gamma, colour space, text, ...) leave
            // the pixels as they are, in the toolkit's reader too.
        }
    }
}

// Checksums cost a pass over the file: the size alone is read without them,
// and they are checked when the picture is decoded.
Status readPng(const QByteArray &data, Png &png, bool checkSums = true)
{
    if (!data.startsWith("\x89PNG\r\n\x1A\n"))
        return Status::Damaged;
    const Status status = readChunks(data, png, checkSums);
    if (png.colourType == Palette && png.palette.isEmpty())
        png.common = false;
    // The toolkit's reader keeps a one-colour 1-bit palette in a table of its own making.
    if (png.colourType == Palette && png.depth == 1 && png.palette.size() != 2)
        png.common = false;
    return status;
}

qint64 rowBytes(const Png &png, qint64 width)
{
    return (width * channels(png.colourType) * png.depth + 7) / 8;
}

// The filter byte and pixels of every row, of each of the seven passes when
// interlaced.
qint64 inflatedSize(const Png &png)
{
    if (!png.interlaced)
        return png.height * (1 + rowBytes(png, png.width));
    static const int startX[] = {0, 4, 0, 2, 0, 1, 0};
    static const int startY[] = {0, 0, 4, 0, 2, 0, 1};
    static const int stepX[] = {8, 8, 4, 4, 2, 2, 1};
    static const int stepY[] = {8, 8, 8, 4, 4, 2, 2};
    qint64 total = 0;
    for (int pass = 0; pass < 7; ++pass) {
        const qint64 width = (png.width - startX[pass] + stepX[pass] - 1) / stepX[pass];
        const qint64 height = (png.height - startY[pass] + stepY[pass] - 1) / stepY[pass];
        if (width > 0 && height > 0)
            total += height * (1 + rowBytes(png, width));
    }
    return total;
}

struct InflateEnd
{
    void operator()(z_stream *stream) const { inflateEnd(stream); }
};

// Inflates the image data into `out`, or only counts it when `out` is null.
// True when the stream ends with the data's last byte, having given exactly
// `expected` bytes: one byte more is never inflated, so a stream that would
// give gigabytes stops there. zlib itself judges the stream, as it does for
// every other PNG reader.
bool inflateExactly(const QList<QByteArrayView> &input, qint64 expected, uchar *out)
{
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    const std::unique_ptr<z_stream, InflateEnd> end(&stream);
    uchar scratch[32768];
    qint64 produced = 0;
    int result = Z_OK;
    for (const QByteArrayView chunk : input) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk.data()));
        stream.avail_in = uInt(chunk.size());
        bool full = false;
        while (stream.avail_in > 0 || full) {
            if (result == Z_STREAM_END)
                return false; // bytes after the end of the stream
            const qint64 room = expected + 1 - produced;
            if (room == 0)
                return false;
            const qint64 most = out ? std::numeric_limits<uInt>::max() : qint64(sizeof scratch);
            const uInt given = uInt(qMin(room, most));
            stream.next_out = out ? out + produced : scratch;
            stream.avail_out = given;
            result = inflate(&stream, Z_NO_FLUSH);
            produced += given - stream.avail_out;
            full = stream.avail_out == 0;
            if (result == Z_BUF_ERROR && stream.avail_in == 0) {
                result = Z_OK; // no more to give until the next chunk
                break;
            }
            if (result != Z_OK && result != Z_STREAM_END)
                return false;
            if (result == Z_STREAM_END)
                full = false;
        }
    }
    return result == Z_STREAM_END && produced == expected;
}

QImage::Format imageFormat(const Png &png)
{
    switch (png.colourType) {
    case Rgb:
        return QImage::Format_RGB32;
    case GreyAlpha:
    case Rgba:
        return QImage::Format_ARGB32;
    case Grey:
        if (png.depth == 8)
            return QImage::Format_Grayscale8;
        Q_FALLTHROUGH();
    default:
        return png.depth == 1 ? QImage::Format_Mono : QImage::Format_Indexed8;
    }
}

QList<QRgb> colourTable(const Png &png)
{
    if (png.colourType == Palette)
        return png.palette;
    if (png.depth == 1) // set bits black, as the toolkit's reader keeps them
        return {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    const int levels = 1 << png.depth;
    QList<QRgb> ramp;
    for (int i = 0; i < levels; ++i)
        ramp << qRgb(i * 255 / (levels - 1), i * 255 / (levels - 1), i * 255 / (levels - 1));
    return ramp;
}

uchar paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    return uchar(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Per pixel, with the bytes of the pixel to the left kept at hand: each one
// depends on the one before, so the loop cannot run wider than a pixel.
template <int Bpp>
bool unfilterPixels(uchar filter, uchar *__restrict row, const uchar *__restrict above,
                    qsizetype n)
{
    uchar left[Bpp] = {};
    uchar corner[Bpp] = {};
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (qsizetype i = 0; i < n; i += Bpp)
            for (int c = 0; c < Bpp; ++c)
                left[c] = row[i + c] += left[c];
        return true;
    case 2:
        for (qsizetype i = 0; i < n; ++i)
            row[i] += above[i];
        return true;
    case 3:
        for (qsizetype i = 0; i < n; i += Bpp)
            for (int c = 0; c < Bpp; ++c)
                left[c] = row[i + c] += (left[c] + above[i + c]) >> 1;
        return true;
    case 4:
        for (qsizetype i = 0; i < n; i += Bpp)
            for (int c = 0; c < Bpp; ++c) {
                left[c] = row[i + c] += paeth(left[c], above[i + c], corner[c]);
                corner[c] = above[i + c];
            }
        return true;
    default:
        return false;
    }
}

// `n` is a whole number of pixels once they take a byte or more.
bool unfilter(uchar filter, uchar *row, const uchar *above, qsizetype n, int bpp)
{
    switch (bpp) {
    case 2:
        return unfilterPixels<2>(filter, row, above, n);
    case 3:
        return unfilterPixels<3>(filter, row, above, n);
    case 4:
        return unfilterPixels<4>(filter, row, above, n);
    default:
        return unfilterPixels<1>(filter, row, above, n);
    }
}

// Pixel values of `depth` bits packed from the high bits down, one a byte.
bool unpackIndices(const uchar *in, int depth, qint64 width, int colours, uchar *out)
{
    const int perByte = 8 / depth;
    const uint mask = (1u << depth) - 1;
    bool inTable = true;
    for (qint64 x = 0; x < width; ++x) {
        const int shift = 8 - depth * int(x % perByte + 1);
        out[x] = uchar((in[x / perByte] >> shift) & mask);
        inTable &= out[x] < colours;
    }
    return inTable;
}

// One unfiltered row into the picture's scan line; false when a palette
// index has no colour, which the toolkit's reader is left to judge.
bool storeRow(const Png &png, const uchar *in, qint64 rowBytes, uchar *out)
{
    const qint64 width = png.width;
    auto *pixels = reinterpret_cast<QRgb *>(out);
    switch (png.colourType) {
    case Rgb: // four bytes read a pixel: the rows are followed by a spare byte
        for (qint64 x = 0; x < width; ++x, in += 3)
            pixels[x] = 0xFF000000u | qFromBigEndian<quint32>(in) >> 8;
        return true;
    case Rgba:
        for (qint64 x = 0; x < width; ++x, in += 4) {
            const quint32 rgba = qFromBigEndian<quint32>(in);
            pixels[x] = rgba << 24 | rgba >> 8;
        }
        return true;
    case GreyAlpha:
        for (qint64 x = 0; x < width; ++x, in += 2)
            pixels[x] = uint(in[1]) << 24 | uint(in[0]) * 0x010101u;
        return true;
    case Grey:
        if (png.depth == 1) {
            for (qint64 i = 0; i < rowBytes; ++i)
                out[i] = uchar(~in[i]);
            return true;
        }
        if (png.depth != 8)
            return unpackIndices(in, png.depth, width, 1 << png.depth, out);
        std::memcpy(out, in, size_t(rowBytes));
        return true;
    default:
        if (png.depth == 8) {
            std::memcpy(out, in, size_t(rowBytes));
            uchar largest = 0;
            for (qint64 x = 0; x < width; ++x)
                largest = qMax(largest, in[x]);
            return largest < png.palette.size();
        }
        if (png.depth == 1) {
            std::memcpy(out, in, size_t(rowBytes));
            return true;
        }
        return unpackIndices(in, png.depth, width, int(png.palette.size()), out);
    }
}

// The rows, inflated whole, into the picture; null when a palette index has
// no colour, which the toolkit's reader is left to judge.
QImage fromRows(const Png &png, QByteArray &rows)
{
    const QImage::Format format = imageFormat(png);
    QImage image(int(png.width), int(png.height), format);
    if (image.isNull())
        return QImage();
    if (format == QImage::Format_Mono || format == QImage::Format_Indexed8)
        image.setColorTable(colourTable(png));
    const int bitsPerPixel = channels(png.colourType) * png.depth;
    const qint64 stride = rowBytes(png, png.width);
    const int bpp = qMax(1, bitsPerPixel / 8);
    const QByteArray zeros(stride, '\0');
    const auto *above = reinterpret_cast<const uchar *>(zeros.constData());
    auto *row = reinterpret_cast<uchar *>(rows.data());
    uchar *line = image.bits();
    const qsizetype lineBytes = image.bytesPerLine();
    const qint64 used = (png.width * image.depth() + 7) / 8;
    for (qint64 y = 0; y < png.height; ++y, row += stride + 1, line += lineBytes) {
        if (!unfilter(row[0], row + 1, above, stride, bpp) || !storeRow(png, row + 1, stride, line))
            return QImage();
        // The end of a scan line is no pixel, but it is compared and copied.
        std::memset(line + used, 0, size_t(lineBytes - used));
        above = row + 1;
    }
    return image;
}

// Held whole beside the picture: only pictures of moderate size.
bool fitsInOnePass(const Png &png, qint64 inflated)
{
    if (!png.common || inflated > MaxInflatedBytes)
        return false;
    const int imageBits = QImage::toPixelFormat(imageFormat(png)).bitsPerPixel();
    const qint64 imageBytes = (png.width * imageBits + 31) / 32 * 4 * png.height;
    const int limit = QImageReader::allocationLimit();
    return limit <= 0 || imageBytes <= qint64(limit) * 1024 * 1024;
}

// libpng expands a transparent colour in a 16-bit picture into an alpha
// channel that the toolkit's reader has not made room for: the rows come
// out scrambled and partly unwritten. Read without the chunk, the pixels are
// the file's; the colour it names is then made transparent here.
bool keyedDeep(const Png &png)
{
    return png.depth == 16 && (png.colourType == Rgb || png.colourType == Grey)
        && png.transparencyChunk >= 0;
}

QByteArray withoutTransparency(const QByteArray &data, const Png &png)
{
    const qint64 length = 12 + png.transparency.size();
    return data.left(png.transparencyChunk) + data.mid(png.transparencyChunk + length);
}

QImage keyed(const QImage &picture, const Png &png)
{
    const QByteArrayView key = png.transparency;
    const int size = png.colourType == Rgb ? 6 : 2;
    if (key.size() != size)
        return picture;
    const auto sample = [&](int i) { return qFromBigEndian<quint16>(key.data() + 2 * i); };
    const bool grey = png.colourType == Grey;
    QImage rgba = picture.convertToFormat(QImage::Format_RGBA64);
    for (int y = 0; y < rgba.height(); ++y) {
        auto *line = reinterpret_cast<QRgba64 *>(rgba.scanLine(y));
        for (int x = 0; x < rgba.width(); ++x) {
            const QRgba64 p = line[x];
            const bool match = grey ? p.red() == sample(0)
                                    : p.red() == sample(0) && p.green() == sample(1)
                                        && p.blue() == sample(2);
            if (match)
                line[x].setAlpha(0);
        }
    }
    return rgba;
}

QByteArray inflatedRows(const Png &png, qint64 inflated)
{
    QByteArray rows(inflated + 1, Qt::Uninitialized);
    if (!inflateExactly(png.imageData, inflated, reinterpret_cast<uchar *>(rows.data())))
        return QByteArray();
    rows[inflated] = 0; // the spare byte that a 3-byte pixel's 4-byte read takes in
    return rows;
}

QImage toolkitRead(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

} // namespace

Header inspect(const QByteArray &data)
{
    Png png;
    Header header;
    header.status = readPng(data, png, false);
    if (header.status == Status::Ok) {
        header.size = QSize(int(png.width), int(png.height));
        header.transparency = png.colourType == GreyAlpha || png.colourType == Rgba
            || !png.transparency.isNull();
    }
    return header;
}

Status decode(const QByteArray &data, QImage &picture)
{
    Png png;
    if (readPng(data, png) != Status::Ok)
        return Status::Damaged;
    const qint64 inflated = inflatedSize(png);
    if (fitsInOnePass(png, inflated)) {
        QByteArray rows = inflatedRows(png, inflated);
        if (rows.isEmpty())
            return Status::Damaged;
        const QImage image = fromRows(png, rows);
        if (!image.isNull()) {
            picture = image;
            return Status::Ok;
        }
    } else if (!inflateExactly(png.imageData, inflated, nullptr)) {
        return Status::Damaged;
    }
    const bool deep = keyedDeep(png);
    QImage image = toolkitRead(deep ? withoutTransparency(data, png) : data);
    if (image.isNull())
        return Status::Damaged;
    picture = deep ? keyed(image, png) : image;
    return Status::Ok;
}

QImage decodeCommon(const QByteArray &data)
{
    Png png;
    if (readPng(data, png) != Status::Ok)
        return QImage();
    const qint64 inflated = inflatedSize(png);
    if (!fitsInOnePass(png, inflated))
        return QImage();
    QByteArray rows = inflatedRows(png, inflated);
    return rows.isEmpty() ? QImage() : fromRows(png, rows);
}

} // namespace PngDecoder
