#include "output/intelhex.h"

#include <QByteArray>

#include <algorithm>

namespace IntelHex {

namespace {

enum RecordType : uchar { Data = 0x00, EndOfFile = 0x01, ExtendedLinearAddress = 0x04 };

void appendRecord(QByteArray &out, quint16 offset, RecordType type, const uchar *bytes,
                  int count)
{
    static const char digits[] = "0123456789ABCDEF";
    uchar sum = 0;
    auto hex = [&](uchar byte) {
        out += digits[byte >> 4];
        out += digits[byte & 0xF];
        sum = uchar(sum + byte);
    };
    out += ':';
    hex(uchar(count));
    hex(uchar(offset >> 8));
    hex(uchar(offset & 0xFF));
    hex(type);
    for (int i = 0; i < count; ++i)
        hex(bytes[i]);
    hex(uchar(-sum));
    out += '\n';
}

} // namespace

bool fits(qint64 size, quint64 address)
{
    return size >= 0 && address <= 0xFFFFFFFFull && address + quint64(size) <= 0x100000000ull;
}

QByteArray encode(const QByteArray &data, quint32 address)
{
    QByteArray out;
    // 44 characters for a full data record, one address record per 64 KiB.
    out.reserve((data.size() / RecordBytes + 1) * 44 + (data.size() / 65536 + 2) * 16);
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    quint32 upper = 0;
    for (qsizetype done = 0; done < data.size();) {
        const quint64 at = quint64(address) + quint64(done);
        const quint32 high = quint32(at >> 16);
        if (high != upper) {
            const uchar value[2] = {uchar(high >> 8), uchar(high & 0xFF)};
            appendRecord(out, 0, ExtendedLinearAddress, value, 2);
            upper = high;
        }
        // A record never runs past the end of its 64 KiB segment: readers
        // differ on whether its offset wraps or carries into the next one.
        const quint16 offset = quint16(at & 0xFFFF);
        const int count = int(std::min({qint64(RecordBytes), qint64(data.size() - done),
                                        qint64(0x10000 - offset)}));
        appendRecord(out, offset, Data, bytes + done, count);
        done += count;
    }
    appendRecord(out, 0, EndOfFile, nullptr, 0);
    return out;
}

} // namespace IntelHex
