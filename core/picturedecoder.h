#pragma once

#include "core/fileaccess.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

#include <functional>

class QString;
namespace PicturePreparation {
struct Options;
}

// Pictures of every format the toolkit reads, recognised from their content
// and decoded from memory, scaled while decoding where the format allows it.
namespace PictureDecoder {

// The largest picture decoded at full size: 64 megapixels, 256 MiB at 32 bits
// per pixel, which takes in the photos of current phone cameras. A JPEG that
// is scaled down while decoding only counts by its reduced size.
constexpr int MaxDecodedSide = 8192;
constexpr qint64 MaxDecodedPixels = qint64(MaxDecodedSide) * MaxDecodedSide;
// libjpeg scales by an eighth at most, and its rows are reduced as they
// come: a JPEG shrunk while decoding counts by the size libjpeg decodes it
// at, held to a quarter of the cap, which bounds the time that a file lying
// about its size can take.
constexpr qint64 MaxReducedJpegPixels = MaxDecodedPixels / 4;

// Raises the toolkit's own limit (128 MB by default), which would refuse
// many such photos as if damaged, to let every picture under the cap through.
void raiseAllocationLimit();

// Whether a picture of `size`, `depth` bits a pixel, is within the toolkit's
// allocation limit, which every reader is held to.
bool withinAllocationLimit(const QSize &size, int depth);

// Lower-case names as the toolkit knows them ("bmp", "png", "jpeg", "gif",
// "webp", "tiff", "svg", "svgz", "ico", "cur", "icns", "mng", "xpm", "xbm",
// "pbm", "pgm", "ppm", "tga"); empty when the content is none of them.
QByteArray formatOf(const QByteArray &data);

// Two or three bytes, or none at all, tell these formats apart: the memory
// of a display can start (or, for TGA, end) that way by chance.
bool hasWeakSignature(const QByteArray &format);

struct Picture
{
    FileAccess::Status status = FileAccess::Status::UnknownFormat;
    QByteArray format;
    QSize size;         // as shown, upright
    int frameCount = 0; // frames of an animation, otherwise 1
    // Some pixels may be see-through: by the header, and once decoded, by the frames.
    bool hasAlpha = false;
    QList<QImage> frames;
    int error = 0;      // the system's error number when the file could not be read
};

// Given a picture's upright size, the size it is wanted at; an empty size
// refuses the picture as the wrong size before it is decoded.
using SizeRequest = std::function<QSize(const QSize &)>;

// What a picture to be prepared with `options` into images of `target`'s
// size is decoded at: without fitting, nothing unless it is `target`'s size
// once oriented.
SizeRequest sizeRequest(const QSize &target, const PicturePreparation::Options &options);

// The picture's format, size and frame count, without decoding its pixels.
Picture inspect(const QByteArray &data);

// Decodes the first `maxFrames` frames at most, in order. When `wanted` is
// given, the frames are at the size it asks for if the format can scale while
// decoding, and otherwise at their own size.
Picture decode(const QByteArray &data, int maxFrames, const SizeRequest &wanted = {});

// A picture file to be prepared with `options` into images of `target`'s
// size: read within bounds, frames decoded at the size they are fitted at
// where the format allows it, and without fitting, refused unless it is
// `target`'s size once oriented.
Picture read(const QString &path, FileAccess::Streams streams, const QSize &target,
             const PicturePreparation::Options &options, int maxFrames);

} // namespace PictureDecoder
