#include "core/binfile.h"

#include "core/picturedecoder.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

namespace BinFile {

namespace {

// The I2C EEPROMs that hold display images, by their usual part numbers.
const struct Eeprom
{
    const char *name;
    qint64 bytes;
} eeproms[] = {
    {"24c01", 128},           {"24c02", 256},          {"24c04", 512},
    {"24c08", 1024},          {"24c16", 2048},         {"24c32", 4096},
    {"24c64", 8192},          {"24c128", 16384},       {"24c256", 32768},
    {"24c512", 65536},        {"24c1024", 131072},     {"24cm01", 131072},
    {"24cm02", 262144},
};

} // namespace

bool isValidLength(qint64 length, int imageBytes, qint64 maxBytes)
{
    return imageBytes > 0 && length >= 0 && length <= maxBytes && length % imageBytes == 0;
}

FileAccess::Status read(const QString &path, FileAccess::Streams streams, QByteArray &contents,
                        int imageBytes, qint64 maxBytes, FileAccess::Facts *facts)
{
    QByteArray data;
    FileAccess::Status status = FileAccess::read(path, maxBytes, streams, data, facts);
    if (status == FileAccess::Status::TooLong)
        return FileAccess::Status::BadLength;
    if (status != FileAccess::Status::Ok)
        return status;
    if (!isValidLength(data.size(), imageBytes, maxBytes)) {
        if (facts) {
            facts->length = data.size();
            facts->format = PictureDecoder::formatOf(data);
        }
        return FileAccess::Status::BadLength;
    }
    contents = data;
    return FileAccess::Status::Ok;
}

bool capacityFromText(const QString &text, qint64 &bytes)
{
    for (const Eeprom &eeprom : eeproms) {
        if (text.compare(QLatin1String(eeprom.name), Qt::CaseInsensitive) == 0) {
            bytes = eeprom.bytes;
            return true;
        }
    }
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,10})([kKmM]?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QString suffix = match.captured(2).toLower();
    const qint64 unit = suffix == QLatin1String("k") ? 1024 : suffix == QLatin1String("m") ? 1024 * 1024 : 1;
    const qint64 value = match.captured(1).toLongLong() * unit;
    if (value <= 0 || value > MaxBytes)
        return false;
    bytes = value;
    return true;
}

QStringList eepromNames()
{
    QStringList names;
    for (const Eeprom &eeprom : eeproms)
        names << QLatin1String(eeprom.name);
    return names;
}

} // namespace BinFile
