#include "core/picturefile.h"

#include "core/pngdecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>

namespace PictureFile {

namespace {

using FileAccess::Status;

class Bytes
{
public:
    explicit Bytes(const QByteArray &data) : m_data(data) {}
    qint64 size() const { return m_data.size(); }
    bool has(qint64 offset, qint64 count) const
    {
        return offset >= 0 && count >= 0 && offset <= size() && count <= size() - offset;
    }
    quint8 u8(qint64 offset) const { return quint8(m_data.at(offset)); }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(m_data.constData() + offset); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(m_data.constData() + offset); }

private:
    const QByteArray &m_data;
};

enum Compression { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

struct BmpLayout
{
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = Rgb;
    qint64 pixels = 0; // where the pixel data starts
};

// The header and colour table lie in the file and the pixel data comes after them.
bool readLayout(const Bytes &bytes, BmpLayout &layout)
{
    if (!bytes.has(0, 18))
        return false;
    const qint64 headerSize = bytes.u32(14);
    qint64 headerEnd = 14 + headerSize;
    qint64 colours = 0;
    int entry = 4;
    if (headerSize == 12 && bytes.has(0, headerEnd)) {
        layout.width = bytes.u16(18);
        layout.height = bytes.u16(20);
        layout.bits = bytes.u16(24);
        entry = 3;
    } else if (headerSize >= 40 && bytes.has(0, headerEnd)) {
        layout.width = qint32(bytes.u32(18));
        layout.height = std::llabs(qint64(qint32(bytes.u32(22))));
        layout.bits = bytes.u16(28);
        layout.compression = bytes.u32(30);
        colours = bytes.u32(46);
        if (headerSize == 40 && layout.compression == BitFields)
            headerEnd += 12;
        if (headerSize == 40 && layout.compression == AlphaBitFields)
            headerEnd += 16;
    } else {
        return false;
    }
    if (layout.bits <= 8 && colours == 0)
        colours = qint64(1) << layout.bits;
    const qint64 tableEnd = headerEnd + colours * entry;
    layout.pixels = bytes.u32(10);
    return layout.width > 0 && layout.height > 0 && bytes.has(0, tableEnd)
        && layout.pixels >= tableEnd;
}

// Follows the runs as the decoder will and accepts only a stream that
// covers every pixel, row by row, inside the picture and inside the data:
// the decoder leaves pixels that a run skips unwritten.
bool rleCoversPicture(const Bytes &bytes, const BmpLayout &layout)
{
    const bool four = layout.compression == Rle4;
    qint64 at = layout.pixels;
    qint64 x = 0;
    qint64 y = 0;
    while (bytes.has(at, 2)) {
        const int count = bytes.u8(at);
        const int code = bytes.u8(at + 1);
        at += 2;
        if (count > 0 || code > 2) {
            if (y >= layout.height || x + (count > 0 ? count : code) > layout.width)
                return false;
            if (count == 0) {
                const qint64 literal = four ? (code + 1) / 2 : code;
                at += literal + (literal & 1);
                if (at > bytes.size())
                    return false;
            }
            x += count > 0 ? count : code;
        } else if (code == 0) { // end of line
            if (x != layout.width)
                return false;
            x = 0;
            ++y;
        } else if (code == 1) { // end of picture
            return y == layout.height || (y == layout.height - 1 && x == layout.width);
        } else {
            return false; // a jump skips pixels
        }
    }
    return false;
}

bool bmpHoldsAllPixels(const QByteArray &data)
{
    const Bytes bytes(data);
    BmpLayout layout;
    if (!readLayout(bytes, layout))
        return false;
    switch (layout.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    switch (layout.compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields: {
        const qint64 stride = (layout.width * layout.bits + 31) / 32 * 4;
        // Divided, not multiplied: the header's numbers may be anything.
        return layout.pixels <= bytes.size()
            && layout.height <= (bytes.size() - layout.pixels) / stride;
    }
    case Rle8:
        return layout.bits == 8 && rleCoversPicture(bytes, layout);
    case Rle4:
        return layout.bits == 4 && rleCoversPicture(bytes, layout);
    default:
        return false;
    }
}

} // namespace

QByteArray format(const QByteArray &data)
{
    // The signatures the image readers look for, without loading every plugin.
    if (data.startsWith("\x89PNG\r\n\x1A\n"))
        return QByteArrayLiteral("png");
    if (data.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return QByteArray();
}

Status decode(const QByteArray &data, QImage &picture)
{
    const QByteArray type = format(data);
    if (type.isEmpty())
        return Status::UnknownFormat;
    if (type == "bmp" && !bmpHoldsAllPixels(data))
        return Status::Damaged;
    if (type == "png")
        return PngDecoder::decode(data, picture);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, type);
    const QImage decoded = reader.read();
    if (decoded.isNull())
        return Status::Damaged;
    picture = decoded;
    return Status::Ok;
}

Status read(const QString &path, FileAccess::Streams streams, bool anySize, QImage &picture,
            const QSize &size)
{
    QByteArray data;
    Status status = FileAccess::read(path, MaxBytes, streams, data);
    if (status == Status::Ok) {
        QImage decoded;
        status = decode(data, decoded);
        if (status == Status::Ok && !anySize && decoded.size() != size)
            status = Status::WrongSize;
        if (status == Status::Ok)
            picture = decoded;
    }
    return status;
}

} // namespace PictureFile
