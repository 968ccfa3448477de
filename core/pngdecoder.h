#pragma once

#include "core/fileaccess.h"

#include <QSize>

class QByteArray;
class QImage;

// Every PNG picture, checked before any reader sees it: each chunk lies
// within the file, and the image data inflates to exactly the picture's rows,
// no fewer and no more, before the file's end. The pictures people mostly
// have (8 bits or fewer per channel, not interlaced) are then inflated in one
// pass over the whole image: the toolkit's reader inflates one row at a time,
// which costs most of a small picture's decoding. Their result is the toolkit
// reader's own, in format and in every pixel. The others go to that reader.
namespace PngDecoder {

struct Header
{
    FileAccess::Status status = FileAccess::Status::Damaged; // Ok or Damaged
    QSize size;
    bool transparency = false; // an alpha channel, or a colour taken as transparent
};

// What the chunks tell, without inflating the image data or checking the
// chunks' sums, which decode() does.
Header inspect(const QByteArray &data);

// Ok with `picture` set, or Damaged; `data` is a PNG file by its signature.
FileAccess::Status decode(const QByteArray &data, QImage &picture);

// The one-pass path alone: a null image when the picture is not one of the
// common kinds, or is damaged.
QImage decodeCommon(const QByteArray &data);

} // namespace PngDecoder
