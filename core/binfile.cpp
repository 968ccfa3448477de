#include "core/binfile.h"

#include "core/binimage.h"

#include <QByteArray>

namespace BinFile {

bool isValidLength(qint64 length)
{
    return length >= 0 && length <= BinImage::StoreBytes && length % BinImage::ImageBytes == 0;
}

FileAccess::Status read(const QString &path, FileAccess::Caller caller, QByteArray &contents)
{
    QByteArray data;
    const FileAccess::Status status = FileAccess::read(path, BinImage::StoreBytes, caller, data);
    if (status == FileAccess::Status::TooLong)
        return FileAccess::Status::BadLength;
    if (status != FileAccess::Status::Ok)
        return status;
    if (!isValidLength(data.size()))
        return FileAccess::Status::BadLength;
    contents = data;
    return FileAccess::Status::Ok;
}

} // namespace BinFile
