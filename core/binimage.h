#pragma once

#include "core/binaryimage.h"

#include <QtGlobal>
#include <QRgb>

class QByteArray;
class QImage;
class QString;

// Pictures to binary images and back, for any display layout. The window's
// format is 128x64 in column bytes: 8 pages of 128 column bytes, bit b of a
// column byte being the pixel 8 * page + b of that column, a set bit dark,
// in one of two row organisations.
namespace BinImage {

enum class RowOrganisation {
    Row63,  // left halves of all eight pages first, then the right halves
    Row127  // each page's 128 column bytes in a row
};

constexpr int Width = 128;
constexpr int Height = 64;
constexpr int Pages = 8;
constexpr int ImageBytes = 1024;
constexpr int MaxImages = 64;
constexpr int StoreBytes = ImageBytes * MaxImages;
constexpr int DefaultThreshold = 40;

DisplayLayout layout(RowOrganisation organisation);

int greyValue(QRgb colour);

// A pixel is on when its grey value is below `threshold`. Pixels outside a
// smaller picture count as off; transparency is ignored.
BinaryImage fromPicture(const QImage &picture, const DisplayLayout &layout,
                        int threshold = DefaultThreshold);

// The layout's size, 8 bits per pixel and a colour table of exactly two
// entries: 0 black (on), 1 the opaque background (off).
QImage toPicture(const BinaryImage &image, QRgb background);

// Lines of 16 "%02X," entries, no line break after the last.
QString hexText(const QByteArray &bytes);

// The window's 128x64 images, by row organisation; `image` points at 1024
// bytes.
int byteOffset(int page, int x, RowOrganisation organisation);
QByteArray fromPicture(const QImage &picture, RowOrganisation organisation,
                       int threshold = DefaultThreshold);
QImage toPicture(const uchar *image, QRgb background, RowOrganisation organisation);
QString hexText(const uchar *image);

QString listRowNumber(int index);
QString listRowDescription(int index);

} // namespace BinImage
