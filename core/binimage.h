#pragma once

#include <QtGlobal>
#include <QRgb>

class QByteArray;
class QImage;
class QString;

// The display's raw memory image: 8 pages of 128 column bytes, bit b of a
// column byte being the pixel 8 * page + b of that column, a set bit dark.
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

int byteOffset(int page, int x, RowOrganisation organisation);
int greyValue(QRgb colour);

// Pixels outside a smaller picture count as off; transparency is ignored.
QByteArray fromPicture(const QImage &picture, RowOrganisation organisation,
                       int threshold = DefaultThreshold);

// `image` points at 1024 bytes. The result has 8 bits per pixel and a colour
// table of exactly two entries: 0 black, 1 the opaque background.
QImage toPicture(const uchar *image, QRgb background, RowOrganisation organisation);

// 64 lines of 16 "%02X," entries, no line break after the last.
QString hexText(const uchar *image);

QString listRowNumber(int index);
QString listRowDescription(int index);

} // namespace BinImage
