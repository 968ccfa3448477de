#pragma once

#include "core/fileaccess.h"

#include <QSize>

#include <functional>

class QByteArray;
class QImage;
class QIODevice;

// Every PNG picture, checked before any reader sees it: each chunk lies
// within the file, and the image data inflates to exactly the picture's rows,
// no fewer and no more, before the file's end. The pictures people mostly
// have (8 bits or fewer per channel, not interlaced) are then inflated in one
// pass as the file is read, each row stored as soon as it is inflated: the
// toolkit's reader inflates one row at a time, which costs most of a small
// picture's decoding. Their result is the toolkit reader's own, in format
// and in every pixel, or its exact area average when they are reduced. The
// others go to that reader.
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
// A valid `reduced` size, no larger either way, is what a common picture is
// reduced to while its rows are decoded; the others come at their own size.
FileAccess::Status decode(const QByteArray &data, QImage &picture,
                          const QSize &reduced = QSize());

// A common picture read from `file`, from its start, a block at a time, and
// reduced to what `reducedSize` answers for its size, so that neither the
// file nor the picture is ever held whole. False, with `status` unset, when
// the answer is an invalid size, or the picture turns out to be of a kind
// left to decode() with the file read whole; then also when the system
// refuses a read, which that read will tell.
bool decodeReduced(QIODevice &file, const std::function<QSize(const QSize &)> &reducedSize,
                   FileAccess::Status &status, QImage &picture);

// The one-pass path alone: a null image when the picture is not one of the
// common kinds, or is damaged.
QImage decodeCommon(const QByteArray &data);

} // namespace PngDecoder
