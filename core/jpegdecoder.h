#pragma once

#include "core/fileaccess.h"

#include <QSize>

class QImage;
class QIODevice;

// JPEG photos through libjpeg itself, in one pass over the file: scaled by
// M/8 while decoding, each row reduced into the size wanted as soon as it is
// decoded, and any of libjpeg's warnings about corrupt or missing data taken
// as damage the moment it is given, however the program's messages are set.
namespace JpegDecoder {

struct Header
{
    FileAccess::Status status = FileAccess::Status::Damaged; // Ok or Damaged
    QSize size; // upright, as the camera's orientation tag says
    bool swapsAxes = false;
};

// The markers up to the first scan, read from `device` at its start.
Header header(QIODevice &device);

// What libjpeg decodes a picture of `size` at to shrink it to `wanted`, both
// in the file's orientation: the smallest M/8 of it that is at least as large.
QSize decodedSize(const QSize &size, const QSize &wanted);

// The picture in `device`, from its start, upright: at its own size, or
// shrunk to `wanted` (upright) by an exact area average when that is valid
// and larger neither way. Ok with `picture` set, or Damaged.
FileAccess::Status decode(QIODevice &device, const QSize &wanted, QImage &picture);

} // namespace JpegDecoder
