#pragma once

#include "core/binimage.h"
#include "core/picturetransform.h"

#include <QSize>

class QByteArray;
class QImage;
class QString;

// Optional steps between an arbitrary picture and a binary image. With the
// default options the result is exactly BinImage::fromPicture's.
namespace PicturePreparation {

enum class Dither { None, FloydSteinberg, Atkinson, Bayer };

// How --fit brings a picture to the display's size: whole and centred on
// white, filling the display and cropped to its centre, or distorted.
enum class FitMode { Contain, Cover, Stretch };

// What becomes of transparent pixels: their colour values as they stand
// (the window's rule), or mixed with white, the off colour, so that what is
// invisible stays off; black suits an inverted display.
enum class Alpha { Ignore, White, Black };

// Decision level that suits dithering: the middle of the grey range.
constexpr int DitherThreshold = 128;

struct Options
{
    int threshold = BinImage::DefaultThreshold;
    bool invert = false;
    Dither dither = Dither::None;
    bool fit = false;
    FitMode fitMode = FitMode::Contain;
    PictureTransform::Orientation orientation;
    Alpha alpha = Alpha::Ignore;
};

const QList<Named<Dither>> &ditherNames();
const QList<Named<FitMode>> &fitModeNames();
const QList<Named<Alpha>> &alphaNames();

// True when some pixel is not fully opaque.
bool hasTransparency(const QImage &picture);
// Opaque afterwards, as `alpha` says; changed in place where the picture
// is not shared, so that a large one is not held twice.
void composite(QImage &picture, Alpha alpha);

// The size a picture of `size` is scaled to before it is placed on `target`,
// so that a decoder able to scale while decoding can deliver it directly.
QSize fittedSize(const QSize &size, const QSize &target, FitMode mode);

// `target`-sized RGB32: the picture scaled to fittedSize and centred on white,
// cropped where it overflows. Transparency is ignored, as in the conversion.
QImage fitted(const QImage &picture, const QSize &target, FitMode mode = FitMode::Contain);

// Same size, RGB32, every pixel pure black (on) or pure white (off).
// `threshold` is the grey value below which a pixel tends to be on.
QImage dithered(const QImage &picture, Dither method, int threshold);

// The size at which a picture of `size` is fitted, before it is oriented
// (its own size when it is not fitted): a decoder that scales while decoding
// delivers it at once, and the conversion does not scale it again.
QSize decodingSize(const QSize &size, const QSize &target, const Options &options);

// Orients the picture first, then composites it; fits only pictures that
// are not then of the layout's size.
BinaryImage convert(const QImage &picture, const DisplayLayout &layout, const Options &options);
// The window's 128x64 images.
QByteArray convert(const QImage &picture, BinImage::RowOrganisation organisation,
                   const Options &options);

} // namespace PicturePreparation
