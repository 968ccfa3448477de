#include "core/pngdecoder.h"

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QSize>
#include <QtEndian>

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace PngDecoder {

namespace {

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
    QList<QRgb> palette;
    QByteArrayView compressed;
    QByteArray joined; // holds `compressed` when it comes in several chunks
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

// Eight bits a channel, and grey or palette pictures packed in fewer.
bool supportedKind(int depth, int colourType)
{
    switch (colourType) {
    case Grey:
    case Palette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case Rgb:
    case GreyAlpha:
    case Rgba:
        return depth == 8;
    default:
        return false;
    }
}

bool readHeader(const uchar *body, quint32 length, Png &png)
{
    if (length != 13)
        return false;
    png.width = bigEndian32(body);
    png.height = bigEndian32(body + 4);
    png.depth = body[8];
    png.colourType = body[9];
    // Compression and filter method 0; interlaced pictures are left alone.
    return png.width > 0 && png.width <= MaxSide && png.height > 0 && png.height <= MaxSide
        && supportedKind(png.depth, png.colourType)
        && body[10] == 0 && body[11] == 0 && body[12] == 0;
}

bool readPalette(const uchar *body, quint32 length, Png &png)
{
    if (png.colourType != Palette || length == 0 || length % 3 != 0
        || length / 3 > (1u << png.depth))
        return false;
    for (quint32 i = 0; i < length; i += 3)
        png.palette << qRgb(body[i], body[i + 1], body[i + 2]);
    return true;
}

// Only a palette's alpha values are taken: a transparent grey or colour
// value is left to the toolkit's reader.
bool readTransparency(const uchar *body, quint32 length, Png &png)
{
    if (png.colourType != Palette || length > quint32(png.palette.size()))
        return false;
    for (quint32 i = 0; i < length; ++i) {
        const QRgb colour = png.palette.at(i);
        png.palette[i] = qRgba(qRed(colour), qGreen(colour), qBlue(colour), body[i]);
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

void appendImageData(const uchar *body, quint32 length, Png &png)
{
    const QByteArrayView data(body, length);
    if (png.compressed.isEmpty() && png.joined.isEmpty()) {
        png.compressed = data;
        return;
    }
    if (png.joined.isEmpty())
        png.joined = png.compressed.toByteArray();
    png.joined += data;
    png.compressed = png.joined;
}

// The chunks in the order libpng insists on, each with its checksum.
bool readChunks(const QByteArray &data, Png &png)
{
    enum { Before, Within, After } imageData = Before;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qint64 size = data.size();
    bool header = false;
    bool palette = false;
    bool transparency = false;
    for (qint64 at = 8;;) {
        if (size - at < 12)
            return false;
        const quint32 length = bigEndian32(bytes + at);
        if (length > 0x7FFFFFFFu || length > size - at - 12)
            return false;
        const uchar *name = bytes + at + 4;
        const uchar *body = name + 4;
        if (!isChunkName(name) || libdeflate_crc32(0, name, length + 4) != bigEndian32(body + length))
            return false;
        at += 12 + qint64(length);
        const QByteArrayView type(name, 4);
        if (!header) {
            if (type != "IHDR" || !readHeader(body, length, png))
                return false;
            header = true;
        } else if (type == "IDAT") {
            if (imageData == After)
                return false;
            appendImageData(body, length, png);
            imageData = Within;
        } else {
            if (imageData == Within)
                imageData = After;
            if (type == "IEND")
                return length == 0 && imageData == After && (png.colourType != Palette || palette);
            if (type == "PLTE") {
                if (palette || imageData != Before || !readPalette(body, length, png))
                    return false;
                palette = true;
            } else if (type == "tRNS") {
                if (transparency || !palette || imageData != Before
                    || !readTransparency(body, length, png))
                    return false;
                transparency = true;
            } else if (!(name[0] & 0x20)) {
                return false; // a critical chunk of another kind
            }
            // Other ancillary chunks (gamma, colour space, text, ...) leave
            // the pixels as they are, in the toolkit's reader too.
        }
    }
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

bool readPng(const QByteArray &data, Png &png)
{
    // The toolkit's reader keeps a one-colour 1-bit palette in a table of its own making.
    return data.startsWith("\x89PNG\r\n\x1A\n") && readChunks(data, png)
        && !(png.colourType == Palette && png.depth == 1 && png.palette.size() != 2);
}

struct InflaterDeleter
{
    void operator()(libdeflate_decompressor *inflater) const
    {
        libdeflate_free_decompressor(inflater);
    }
};

} // namespace

QImage decode(const QByteArray &data)
{
    Png png;
    if (!readPng(data, png))
        return QImage();
    const int bitsPerPixel = channels(png.colourType) * png.depth;
    const qint64 rowBytes = (png.width * bitsPerPixel + 7) / 8;
    if (rowBytes + 1 > MaxInflatedBytes || png.height > MaxInflatedBytes / (rowBytes + 1))
        return QImage();
    const QImage::Format format = imageFormat(png);
    const int imageBits = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 imageBytes = (png.width * imageBits + 31) / 32 * 4 * png.height;
    const int limit = QImageReader::allocationLimit();
    if (limit > 0 && imageBytes > qint64(limit) * 1024 * 1024)
        return QImage();

    // One for the thread's whole life: each one takes tables of some 10 KB.
    thread_local const std::unique_ptr<libdeflate_decompressor, InflaterDeleter> inflater(
        libdeflate_alloc_decompressor());
    const qint64 inflatedBytes = png.height * (rowBytes + 1);
    QByteArray rows(inflatedBytes + 1, Qt::Uninitialized);
    size_t read = 0;
    size_t written = 0;
    if (!inflater
        || libdeflate_zlib_decompress_ex(inflater.get(), png.compressed.data(),
                                         size_t(png.compressed.size()), rows.data(),
                                         size_t(inflatedBytes), &read, &written)
            != LIBDEFLATE_SUCCESS
        || read != size_t(png.compressed.size()) || written != size_t(inflatedBytes))
        return QImage();
    rows[inflatedBytes] = 0;

    QImage image(int(png.width), int(png.height), format);
    if (image.isNull())
        return QImage();
    if (format == QImage::Format_Mono || format == QImage::Format_Indexed8)
        image.setColorTable(colourTable(png));
    const int bpp = qMax(1, bitsPerPixel / 8);
    const QByteArray zeros(rowBytes, '\0');
    const auto *above = reinterpret_cast<const uchar *>(zeros.constData());
    auto *row = reinterpret_cast<uchar *>(rows.data());
    uchar *line = image.bits();
    const qsizetype lineBytes = image.bytesPerLine();
    const qint64 used = (png.width * imageBits + 7) / 8;
    for (qint64 y = 0; y < png.height; ++y, row += rowBytes + 1, line += lineBytes) {
        if (!unfilter(row[0], row + 1, above, rowBytes, bpp)
            || !storeRow(png, row + 1, rowBytes, line))
            return QImage();
        // The end of a scan line is no pixel, but it is compared and copied.
        std::memset(line + used, 0, size_t(lineBytes - used));
        above = row + 1;
    }
    return image;
}

QSize size(const QByteArray &data)
{
    Png png;
    return readPng(data, png) ? QSize(int(png.width), int(png.height)) : QSize();
}

} // namespace PngDecoder
