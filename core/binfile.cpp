#include "core/binfile.h"

#include "core/binimage.h"

#include <QByteArray>

namespace BinFile {

bool isValidLength(qint64 length, int imageBytes)
{
    return imageBytes > 0 && length >= 0 && length <= qint64(BinImage::MaxImages) * imageBytes
        && length % imageBytes == 0;
}

FileAccess::Status read(const QString &path, FileAccess::Caller caller, QByteArray &contents,
                        int imageBytes)
{
    QByteArray data;
    const FileAccess::Status status =
        FileAccess::read(path, qint64(BinImage::MaxImages) * imageBytes, caller, data);
    if (status == FileAccess::Status::TooLong)
        return FileAccess::Status::BadLength;
    if (status != FileAccess::Status::Ok)
        return status;
    if (!isValidLength(data.size(), imageBytes))
        return FileAccess::Status::BadLength;
    contents = data;
    return FileAccess::Status::Ok;
}

} // namespace BinFile
