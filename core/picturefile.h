#pragma once

#include "core/fileaccess.h"

#include <QSize>

class QByteArray;
class QImage;
class QString;

// A picture file as both the window and the command line take it: BMP or
// PNG told by the content, and never a picture whose pixels the file does
// not all hold (the decoder would leave the rest as whatever memory held).
namespace PictureFile {

// Far beyond any 128x64 picture, and room for the photographs that the
// command line scales down.
constexpr qint64 MaxBytes = 64 * 1024 * 1024;

// "bmp", "png", or empty for anything else.
QByteArray format(const QByteArray &data);

// Ok, UnknownFormat or Damaged; `picture` is set only on Ok.
FileAccess::Status decode(const QByteArray &data, QImage &picture);

// Everything from opening the file to the size check, which `anySize`
// skips. `picture` is set only on Ok.
FileAccess::Status read(const QString &path, FileAccess::Streams streams, bool anySize,
                        QImage &picture, const QSize &size = QSize(128, 64));

} // namespace PictureFile
