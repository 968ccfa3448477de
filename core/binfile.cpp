#include "core/binfile.h"

#include "core/binimage.h"

#include <QByteArray>
#include <QFile>

namespace BinFile {

bool isValidLength(qint64 length)
{
    return length >= 0 && length <= BinImage::StoreBytes && length % BinImage::ImageBytes == 0;
}

Status read(const QString &path, QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::Unreadable;
    const qint64 length = file.size();
    if (!isValidLength(length))
        return Status::BadLength;
    // Read one byte more than promised: a file that grew or shrank since its
    // length was taken is refused rather than half loaded.
    const QByteArray data = file.read(length + 1);
    if (data.size() != length || file.error() != QFileDevice::NoError)
        return Status::Unreadable;
    contents = data;
    return Status::Ok;
}

} // namespace BinFile
