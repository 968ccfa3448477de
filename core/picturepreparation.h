#pragma once

#include "core/binimage.h"

#include <QSize>

class QByteArray;
class QImage;
class QString;

// Optional steps between an arbitrary picture and a binary image. With the
// default options the result is exactly BinImage::fromPicture's.
namespace PicturePreparation {

enum class Dither { None, FloydSteinberg, Atkinson, Bayer };

// Decision level that suits dithering: the middle of the grey range.
constexpr int DitherThreshold = 128;

struct Options
{
    int threshold = BinImage::DefaultThreshold;
    bool invert = false;
    Dither dither = Dither::None;
    bool fit = false;
};

// "none", "floyd-steinberg", "atkinson", "bayer".
bool ditherFromName(const QString &name, Dither &method);

// `size` in RGB32: the picture scaled as large as it fits with its aspect
// ratio kept, centred on white. Transparency is ignored, as in the conversion.
QImage fitted(const QImage &picture, QSize size = QSize(BinImage::Width, BinImage::Height));

// Same size, RGB32, every pixel pure black (on) or pure white (off).
// `threshold` is the grey value below which a pixel tends to be on.
QImage dithered(const QImage &picture, Dither method, int threshold);

// Fits only pictures that are not already of the layout's size.
BinaryImage convert(const QImage &picture, const DisplayLayout &layout, const Options &options);
// The window's 128x64 images.
QByteArray convert(const QImage &picture, BinImage::RowOrganisation organisation,
                   const Options &options);

} // namespace PicturePreparation
