#include "core/binimage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>

namespace BinImage {

namespace {

constexpr int HalfWidth = Width / 2;

// Row63 stores the left half-pages first, so the visiting order of the
// column bytes is the order of the bytes in both organisations.
template <typename Visit>
void forEachColumnByte(RowOrganisation organisation, Visit visit)
{
    int q = 0;
    if (organisation == RowOrganisation::Row127) {
        for (int p = 0; p < Pages; ++p)
            for (int x = 0; x < Width; ++x)
                visit(p, x, q++);
        return;
    }
    for (int half = 0; half < 2; ++half)
        for (int p = 0; p < Pages; ++p)
            for (int x = half * HalfWidth; x < (half + 1) * HalfWidth; ++x)
                visit(p, x, q++);
}

} // namespace

int byteOffset(int page, int x, RowOrganisation organisation)
{
    if (organisation == RowOrganisation::Row127)
        return Width * page + x;
    if (x < HalfWidth)
        return HalfWidth * page + x;
    return ImageBytes / 2 + HalfWidth * page + (x - HalfWidth);
}

int greyValue(QRgb colour)
{
    return (11 * qRed(colour) + 16 * qGreen(colour) + 5 * qBlue(colour)) / 32;
}

QByteArray fromPicture(const QImage &picture, RowOrganisation organisation, int threshold)
{
    // Column bytes gathered scan line by scan line, then laid out.
    uchar columns[Pages][Width] = {};
    // Non-premultiplied, so a transparent pixel keeps its own colour values.
    // RGB32 shares that layout for the colour channels and needs no copy.
    const bool direct = picture.format() == QImage::Format_RGB32
        || picture.format() == QImage::Format_ARGB32;
    const QImage rgb = direct ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    const int w = qMin(rgb.width(), Width);
    const int h = qMin(rgb.height(), Height);
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *column = columns[y / 8];
        const uchar bit = uchar(1u << (y % 8));
        for (int x = 0; x < w; ++x)
            column[x] |= greyValue(line[x]) < threshold ? bit : uchar(0);
    }

    QByteArray bytes(ImageBytes, '\0');
    char *out = bytes.data();
    forEachColumnByte(organisation, [&](int p, int x, int q) { out[q] = char(columns[p][x]); });
    return bytes;
}

QImage toPicture(const uchar *image, QRgb background, RowOrganisation organisation)
{
    QImage picture(Width, Height, QImage::Format_Indexed8);
    picture.setColorTable({qRgba(0, 0, 0, 255), background | 0xFF000000u});
    uchar *bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    forEachColumnByte(organisation, [&](int p, int x, int q) {
        const uchar value = image[q];
        uchar *pixel = bits + stride * (8 * p) + x;
        for (int b = 0; b < 8; ++b, pixel += stride)
            *pixel = (value >> b) & 1u ? 0 : 1;
    });
    return picture;
}

QString hexText(const uchar *image)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(ImageBytes * 3 + ImageBytes / 16);
    for (int i = 0; i < ImageBytes; ++i) {
        if (i != 0 && i % 16 == 0)
            text += QLatin1Char('\n');
        text += QLatin1Char(digits[image[i] >> 4]);
        text += QLatin1Char(digits[image[i] & 0xF]);
        text += QLatin1Char(',');
    }
    return text;
}

QString listRowNumber(int index)
{
    return QString::asprintf("%2d", index);
}

QString listRowDescription(int index)
{
    return QCoreApplication::translate("maindialogImpl", "Image %1").arg(index);
}

} // namespace BinImage
