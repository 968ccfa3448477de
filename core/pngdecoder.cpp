#include "core/pngdecoder.h"

#include "core/areareducer.h"
#include "core/picturedecoder.h"

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
#include <functional>
#include <memory>
#include <vector>

namespace PngDecoder {

namespace {

using FileAccess::Status;

enum ColourType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

// Image data is inflated this much at a time, in whole rows where a row is
// shorter: the picture's rows are never all held at once.
constexpr qint64 BlockBytes = 64 * 1024;

// The chunks read here (header, palette, transparency) are kept up to this
// length; no valid one is longer.
constexpr quint32 KeptBytes = 1024;

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
    QByteArray transparency;       // kept up to KeptBytes
    qint64 transparencyLength = 0;
    qint64 transparencyChunk = -1; // where the tRNS chunk starts in the file
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
    if (png.colourType != Palette || png.transparencyLength > png.palette.size())
        return false;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QRgb colour = png.palette.at(i);
        png.palette[i] = qRgba(qRed(colour), qGreen(colour), qBlue(colour), uchar(body[i]));
    }
    return true;
}

constexpr quint32 chunkType(const char (&name)[5])
{
    return quint32(uchar(name[0])) << 24 | quint32(uchar(name[1])) << 16
        | quint32(uchar(name[2])) << 8 | uchar(name[3]);
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

// A PNG file held in memory.
class MemorySource
{
public:
    explicit MemorySource(QByteArrayView data) : m_data(data) {}
    qint64 size() const { return m_data.size(); }
    qint64 position() const { return m_at; }
    // Hands the next `length` bytes to `take`, in pieces; false when they are
    // not all there or `take` refuses one.
    template <typename Take>
    bool read(qint64 length, Take &&take)
    {
        if (length > m_data.size() - m_at)
            return false;
        const QByteArrayView piece = m_data.sliced(m_at, length);
        m_at += length;
        return take(piece);
    }

private:
    QByteArrayView m_data;
    qint64 m_at = 0;
};

// A PNG file read a block at a time, so that a large one is never held whole.
class DeviceSource
{
public:
    explicit DeviceSource(QIODevice &device)
        : m_device(device), m_size(device.size()), m_buffer(BlockBytes, Qt::Uninitialized)
    {
    }
    qint64 size() const { return m_size; }
    qint64 position() const { return m_at; }
    // The system refused a read: what the file holds is not known.
    bool failed() const { return m_failed; }
    template <typename Take>
    bool read(qint64 length, Take &&take)
    {
        while (length > 0) {
            const qint64 wanted = qMin<qint64>(length, m_buffer.size());
            const qint64 got = m_device.read(m_buffer.data(), wanted);
            m_failed = got < 0;
            if (got != wanted)
                return false;
            m_at += got;
            length -= got;
            if (!take(QByteArrayView(m_buffer.constData(), got)))
                return false;
        }
        return true;
    }

private:
    QIODevice &m_device;
    qint64 m_size;
    qint64 m_at = 0;
    bool m_failed = false;
    QByteArray m_buffer;
};

template <typename Source>
bool readBytes(Source &source, uchar *out, qint64 length)
{
    return source.read(length, [out](QByteArrayView piece) {
        std::memcpy(out, piece.data(), size_t(piece.size()));
        return true;
    });
}

// What the toolkit's reader keeps apart for palettes it does not take as
// they stand; known once the image data starts.
void settlePalette(Png &png)
{
    if (png.colourType == Palette && png.palette.isEmpty())
        png.common = false;
    // The toolkit's reader keeps a one-colour 1-bit palette in a table of its own making.
    if (png.colourType == Palette && png.depth == 1 && png.palette.size() != 2)
        png.common = false;
}

class Rows;

// Every chunk up to IEND must lie within the file: a reader allocates what
// a chunk declares before it reads it. What libpng refuses as an error
// (a critical chunk damaged, unknown or out of order) is damaged here too;
// what it only warns about is left to the toolkit's reader. The image data
// goes to `rows` as it is read, before its chunk's sum is known: nothing
// comes of it unless the whole file is sound.
template <typename Source>
Status readChunks(Source &source, Png &png, bool checkSums, Rows *rows);

// Checksums cost a pass over the file: the size alone is read without them,
// and they are checked when the picture is decoded.
template <typename Source>
Status readPng(Source &source, Png &png, bool checkSums = true, Rows *rows = nullptr)
{
    uchar signature[8];
    if (!readBytes(source, signature, 8) || std::memcmp(signature, "\x89PNG\r\n\x1A\n", 8) != 0)
        return Status::Damaged;
    const Status status = readChunks(source, png, checkSums, rows);
    settlePalette(png);
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

// One scan line of the picture's own format as colours.
void toColours(const uchar *line, QImage::Format format, const QList<QRgb> &table, qint64 width,
               QRgb *out)
{
    switch (format) {
    case QImage::Format_Grayscale8:
        for (qint64 x = 0; x < width; ++x)
            out[x] = 0xFF000000u | uint(line[x]) * 0x010101u;
        break;
    case QImage::Format_Indexed8:
        for (qint64 x = 0; x < width; ++x)
            out[x] = table.at(line[x]);
        break;
    case QImage::Format_Mono:
        for (qint64 x = 0; x < width; ++x)
            out[x] = table.at((line[x / 8] >> (7 - x % 8)) & 1);
        break;
    default:
        std::memcpy(out, line, size_t(width) * sizeof(QRgb));
        break;
    }
}

bool hasPaletteAlpha(const Png &png)
{
    for (const QRgb colour : png.palette)
        if (qAlpha(colour) != 255)
            return true;
    return false;
}

// The image data inflated as it comes, exactly to the picture's rows, each
// row unfiltered as soon as it is whole and stored into the picture, or
// into its reduction. Only counted when the picture is not one the one-pass
// path reads, or once a row turns out not to be.
class Rows
{
    static constexpr int Spare = 8;

public:
    explicit Rows(const QSize &reduced) : m_reduced(reduced) {}
    ~Rows()
    {
        if (m_started)
            inflateEnd(&m_stream);
    }
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    // At the first image data: what precedes it is all known by then.
    void start(const Png &png);
    // False when zlib refuses the data, or it would give more than the rows:
    // one byte more is never inflated, so a stream that would give gigabytes
    // stops there.
    bool take(QByteArrayView piece);
    // The stream ended with the data's last byte, having given every row.
    bool finished() const { return m_started && m_ended && m_produced == m_expected; }
    // Every row was stored: the picture is the toolkit reader's own.
    bool stored() const { return m_storing && m_row == m_png.height; }
    QImage picture() const { return m_reducer ? m_reducer->result() : m_image; }

private:
    bool makePicture();
    bool store(const uchar *row);
    void storeRows();
    void stopStoring();

    QSize m_reduced;
    Png m_png;
    z_stream m_stream = {};
    bool m_started = false;
    bool m_ended = false;
    bool m_storing = false;
    qint64 m_expected = 0;
    qint64 m_produced = 0;
    qint64 m_stride = 0; // a row's pixel bytes, after its filter byte
    int m_bpp = 1;
    qint64 m_row = 0;
    QByteArray m_buffer;
    qint64 m_filled = 0;
    QByteArray m_above; // the last row unfiltered
    QImage m_image;     // the picture, or one scan line of it when reduced
    uchar *m_bits = nullptr;
    qint64 m_lineBytes = 0;
    qint64 m_usedBytes = 0;
    QList<QRgb> m_table;
    std::unique_ptr<AreaReducer> m_reducer;
    std::vector<QRgb> m_colours;
};

void Rows::start(const Png &png)
{
    m_png = png;
    m_expected = inflatedSize(png);
    m_started = inflateInit(&m_stream) == Z_OK;
    m_storing = png.common && makePicture();
    m_stride = rowBytes(png, png.width);
    m_bpp = qMax(1, channels(png.colourType) * png.depth / 8);
    const qint64 row = m_stride + 1;
    // Whole rows, and no more than the picture has.
    const qint64 block = m_storing ? row * qBound<qint64>(1, BlockBytes / row, m_png.height)
                                   : qMin(BlockBytes, m_expected + 1);
    // The spare bytes let a 3-byte pixel be read as four at a row's end.
    m_buffer = QByteArray(block + Spare, Qt::Uninitialized);
    std::memset(m_buffer.data() + block, 0, Spare);
    if (m_storing)
        m_above = QByteArray(m_stride, '\0');
}

// Held at full size only within the toolkit's own allocation limit, as its
// reader would; reduced, one scan line at a time.
bool Rows::makePicture()
{
    const QImage::Format format = imageFormat(m_png);
    const QSize size(int(m_png.width), int(m_png.height));
    const bool reduced = !m_reduced.isEmpty() && m_reduced.width() <= size.width()
        && m_reduced.height() <= size.height() && m_reduced != size;
    const int lines = reduced ? 1 : int(m_png.height);
    if (!PictureDecoder::withinAllocationLimit(QSize(int(m_png.width), lines),
                                               QImage::toPixelFormat(format).bitsPerPixel()))
        return false;
    m_image = QImage(int(m_png.width), lines, format);
    if (m_image.isNull())
        return false;
    if (format == QImage::Format_Mono || format == QImage::Format_Indexed8)
        m_image.setColorTable(colourTable(m_png));
    m_bits = m_image.bits();
    m_lineBytes = m_image.bytesPerLine();
    m_usedBytes = (m_png.width * m_image.depth() + 7) / 8;
    if (!reduced)
        return true;
    m_table = m_image.colorTable();
    const bool alpha =
        m_png.colourType == GreyAlpha || m_png.colourType == Rgba || hasPaletteAlpha(m_png);
    m_reducer = std::make_unique<AreaReducer>(size, m_reduced, alpha);
    m_colours.resize(size_t(m_png.width));
    return true;
}

bool Rows::take(QByteArrayView piece)
{
    if (!m_started)
        return false;
    m_stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.data()));
    m_stream.avail_in = uInt(piece.size());
    bool full = false;
    while (m_stream.avail_in > 0 || full) {
        if (m_ended)
            return false; // bytes after the end of the stream
        const qint64 room = qMin(m_buffer.size() - Spare - m_filled, m_expected + 1 - m_produced);
        if (room == 0)
            return false;
        m_stream.next_out = reinterpret_cast<Bytef *>(m_buffer.data() + m_filled);
        m_stream.avail_out = uInt(room);
        const int result = inflate(&m_stream, Z_NO_FLUSH);
        const qint64 given = room - m_stream.avail_out;
        m_produced += given;
        m_filled += given;
        full = m_stream.avail_out == 0;
        storeRows();
        if (result == Z_BUF_ERROR && m_stream.avail_in == 0)
            break; // no more to give until the next chunk
        if (result != Z_OK && result != Z_STREAM_END)
            return false;
        if (result == Z_STREAM_END) {
            m_ended = true;
            full = false;
        }
    }
    return true;
}

// Stores the whole rows in the buffer, and keeps the start of the next.
void Rows::storeRows()
{
    if (!m_storing) {
        m_filled = 0;
        return;
    }
    const qint64 row = m_stride + 1;
    auto *bytes = reinterpret_cast<uchar *>(m_buffer.data());
    qint64 done = 0;
    for (; m_filled - done >= row && m_row < m_png.height; done += row) {
        uchar *filtered = bytes + done;
        const uchar *above = done == 0 ? reinterpret_cast<const uchar *>(m_above.constData())
                                       : filtered + 1 - row;
        if (!unfilter(filtered[0], filtered + 1, above, m_stride, m_bpp) || !store(filtered + 1)) {
            stopStoring();
            return;
        }
        ++m_row;
    }
    if (done == 0)
        return;
    std::memcpy(m_above.data(), bytes + done - m_stride, size_t(m_stride));
    std::memmove(bytes, bytes + done, size_t(m_filled - done));
    m_filled -= done;
}

// One unfiltered row; false when a palette index has no colour, which the
// toolkit's reader is left to judge.
bool Rows::store(const uchar *row)
{
    uchar *line = m_bits + (m_reducer ? 0 : m_row * m_lineBytes);
    if (!storeRow(m_png, row, m_stride, line))
        return false;
    if (m_reducer) {
        toColours(line, m_image.format(), m_table, m_png.width, m_colours.data());
        m_reducer->add(m_colours.data());
        return true;
    }
    // The end of a scan line is no pixel, but it is compared and copied.
    std::memset(line + m_usedBytes, 0, size_t(m_lineBytes - m_usedBytes));
    return true;
}

void Rows::stopStoring()
{
    m_storing = false;
    m_filled = 0;
    m_image = QImage();
    m_reducer.reset();
}

template <typename Source>
Status readChunks(Source &source, Png &png, bool checkSums, Rows *rows)
{
    enum { Before, Within, After } imageData = Before;
    bool header = false;
    for (;;) {
        const qint64 at = source.position();
        uchar head[8];
        if (source.size() - at < 12 || !readBytes(source, head, 8))
            return Status::Damaged;
        const quint32 length = bigEndian32(head);
        if (length > 0x7FFFFFFFu || length > source.size() - at - 12)
            return Status::Damaged;
        const uchar *name = head + 4;
        if (!isChunkName(name))
            return Status::Damaged;
        const bool critical = !(name[0] & 0x20);
        const quint32 type = bigEndian32(name);
        const bool pixels = header && type == chunkType("IDAT");
        if (pixels && imageData == After)
            return Status::Damaged;
        if (pixels && imageData == Before && rows) {
            settlePalette(png);
            rows->start(png);
        }
        const bool keep =
            length <= KeptBytes && (type == chunkType("IHDR") || type == chunkType("PLTE") || type == chunkType("tRNS"));
        uchar kept[KeptBytes];
        qint64 keptBytes = 0;
        uLong sum = checkSums ? crc32(0, name, 4) : 0;
        const bool read = source.read(length, [&](QByteArrayView piece) {
            if (checkSums)
                sum = crc32(sum, reinterpret_cast<const Bytef *>(piece.data()), uInt(piece.size()));
            if (keep) {
                std::memcpy(kept + keptBytes, piece.data(), size_t(piece.size()));
                keptBytes += piece.size();
            }
            return !pixels || !rows || rows->take(piece);
        });
        uchar stored[4];
        if (!read || !readBytes(source, stored, 4))
            return Status::Damaged;
        const bool sound = !checkSums || sum == bigEndian32(stored);
        if (critical && !sound)
            return Status::Damaged;
        const uchar *body = kept;
        if (!header) {
            if (type != chunkType("IHDR") || !readHeader(body, length, png))
                return Status::Damaged;
            header = true;
            png.common = commonKind(png);
        } else if (pixels) {
            imageData = Within;
        } else {
            if (imageData == Within)
                imageData = After;
            if (type == chunkType("IEND"))
                return imageData == Before ? Status::Damaged : Status::Ok;
            if (type == chunkType("PLTE")) {
                png.common = png.common && imageData == Before && readPalette(body, length, png);
            } else if (critical) {
                return Status::Damaged;
            } else if (!sound) {
                png.common = false; // the toolkit drops it, with a warning
            } else if (type == chunkType("tRNS") && png.transparencyChunk < 0) {
                png.transparency = QByteArray(reinterpret_cast<const char *>(kept), keptBytes);
                png.transparencyLength = length;
                png.transparencyChunk = at;
                png.common = png.common && imageData == Before && readPaletteAlpha(png);
            } else if (type == chunkType("tRNS")) {
                png.common = false;
            }
            // Other ancillary chunks (gamma, colour space, text, ...) leave
            // the pixels as they are, in the toolkit's reader too.
        }
    }
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
    const qint64 length = 12 + png.transparencyLength;
    return data.left(png.transparencyChunk) + data.mid(png.transparencyChunk + length);
}

QImage keyed(const QImage &picture, const Png &png)
{
    const QByteArrayView key = png.transparency;
    const int size = png.colourType == Rgb ? 6 : 2;
    if (png.transparencyLength != size)
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

QImage toolkitRead(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

enum class Outcome { Decoded, Damaged, Toolkit };

// The one pass over the file: every chunk checked, the image data inflated
// and its rows stored as they come, at `reduced` when it is valid.
template <typename Source>
Outcome decodeRows(Source &source, const QSize &reduced, Png &png, QImage &picture)
{
    Rows rows(reduced);
    if (readPng(source, png, true, &rows) != Status::Ok || !rows.finished())
        return Outcome::Damaged;
    if (!png.common || !rows.stored())
        return Outcome::Toolkit;
    picture = rows.picture();
    return Outcome::Decoded;
}

} // namespace

Header inspect(const QByteArray &data)
{
    Png png;
    MemorySource source(data);
    Header header;
    header.status = readPng(source, png, false);
    if (header.status == Status::Ok) {
        header.size = QSize(int(png.width), int(png.height));
        header.transparency = png.colourType == GreyAlpha || png.colourType == Rgba
            || png.transparencyChunk >= 0;
    }
    return header;
}

Status decode(const QByteArray &data, QImage &picture, const QSize &reduced)
{
    Png png;
    MemorySource source(data);
    QImage image;
    switch (decodeRows(source, reduced, png, image)) {
    case Outcome::Damaged:
        return Status::Damaged;
    case Outcome::Decoded:
        picture = image;
        return Status::Ok;
    case Outcome::Toolkit:
        break;
    }
    const bool deep = keyedDeep(png);
    image = toolkitRead(deep ? withoutTransparency(data, png) : data);
    if (image.isNull())
        return Status::Damaged;
    picture = deep ? keyed(image, png) : image;
    return Status::Ok;
}

bool decodeReduced(QIODevice &file, const std::function<QSize(const QSize &)> &reducedSize,
                   Status &status, QImage &picture)
{
    // Signature, then the header chunk: its length, name, 13 bytes and sum.
    const QByteArray start = file.read(33);
    Png png;
    if (start.size() < 33 || !start.startsWith("\x89PNG\r\n\x1A\n")
        || QByteArrayView(start).sliced(8, 8) != QByteArrayView("\0\0\0\x0DIHDR", 8)
        || !readHeader(reinterpret_cast<const uchar *>(start.constData()) + 16, 13, png)
        || !commonKind(png))
        return false;
    const QSize reduced = reducedSize(QSize(int(png.width), int(png.height)));
    if (!reduced.isValid() || !file.seek(0))
        return false;
    png = Png();
    DeviceSource source(file);
    QImage image;
    const Outcome outcome = decodeRows(source, reduced, png, image);
    if (outcome == Outcome::Toolkit || source.failed())
        return false;
    status = outcome == Outcome::Decoded ? Status::Ok : Status::Damaged;
    if (status == Status::Ok)
        picture = image;
    return true;
}

QImage decodeCommon(const QByteArray &data)
{
    Png png;
    MemorySource source(data);
    QImage picture;
    return decodeRows(source, QSize(), png, picture) == Outcome::Decoded ? picture : QImage();
}

} // namespace PngDecoder
