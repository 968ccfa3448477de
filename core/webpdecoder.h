#pragma once

#include <QImage>
#include <QList>
#include <QSize>

class QByteArray;

// WebP pictures through libwebp itself: the toolkit's reader cannot scale
// while decoding, so a photo would be held whole at full size only to be
// shrunk afterwards; libwebp shrinks it inside its decoding loop instead.
// Animations are composed frame by frame by libwebp's own demuxer.
namespace WebpDecoder {

struct Header
{
    QSize size;          // the canvas; invalid when the file is damaged or cut off
    int frameCount = 0; // 1 for a still picture
};

// Reads the container without decoding any pixel; the whole file must be there.
Header header(const QByteArray &data);

// The first `count` frames at most: a still picture decoded straight at
// `scaled` (its own size when `scaled` is invalid), an animation's frames
// composed on the canvas at its full size. Empty when the data is damaged.
QList<QImage> decode(const QByteArray &data, int count, const QSize &scaled);

} // namespace WebpDecoder
