#include "support/testpictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QtEndian>

namespace TestPictures {

namespace {

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

void appendWord(QByteArray &data, int value)
{
    data += char(value & 0xFF);
    data += char((value >> 8) & 0xFF);
}

// LZW codes of 3 bits, restarted every two pixels so that they never widen.
QByteArray lzwSolid(int pixels, int colour)
{
    constexpr int Clear = 4;
    constexpr int End = 5;
    QList<int> codes;
    for (int i = 0; i < pixels; i += 2) {
        codes << Clear << colour;
        if (i + 1 < pixels)
            codes << colour;
    }
    codes << End;
    QByteArray bytes;
    quint32 bits = 0;
    int count = 0;
    for (const int code : codes) {
        bits |= quint32(code) << count;
        count += 3;
        for (; count >= 8; count -= 8, bits >>= 8)
            bytes += char(bits & 0xFF);
    }
    if (count > 0)
        bytes += char(bits & 0xFF);
    return bytes;
}

} // namespace

QByteArray encoded(const QImage &picture, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return data;
}

QByteArray gif(QSize canvas, const QList<int> &colours, QSize frame)
{
    if (!frame.isValid())
        frame = canvas;
    QByteArray data("GIF89a");
    appendWord(data, canvas.width());
    appendWord(data, canvas.height());
    data += QByteArray("\x81\0\0", 3);
    data += QByteArray("\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF", 12);
    for (const int colour : colours) {
        data += QByteArray("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8);
        data += char(0x2C);
        appendWord(data, 0);
        appendWord(data, 0);
        appendWord(data, frame.width());
        appendWord(data, frame.height());
        data += char(0);
        data += char(2);
        const QByteArray lzw = lzwSolid(frame.width() * frame.height(), colour);
        for (qsizetype at = 0; at < lzw.size(); at += 255) {
            const QByteArray block = lzw.mid(at, 255);
            data += char(block.size());
            data += block;
        }
        data += char(0);
    }
    data += char(0x3B);
    return data;
}

QByteArray pngChunk(const char *type, const QByteArray &body, qint64 declared)
{
    const QByteArray named = QByteArray(type, 4) + body;
    return bigEndian(quint32(declared >= 0 ? declared : body.size())) + named
        + bigEndian(crc32(named));
}

QByteArray png(QSize size, int depth, int colourType, const QByteArray &rows,
               const QByteArray &chunks)
{
    QByteArray header = bigEndian(quint32(size.width())) + bigEndian(quint32(size.height()));
    header += char(depth);
    header += char(colourType);
    header += QByteArray(3, '\0');
    return QByteArray("\x89PNG\r\n\x1A\n") + pngChunk("IHDR", header) + chunks
        + pngChunk("IDAT", qCompress(rows).mid(4)) + pngChunk("IEND", QByteArray());
}

} // namespace TestPictures
