#include "core/binimage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>

namespace BinImage {

namespace {

// Inline here, per pixel: an out-of-line call costs more than the arithmetic.
inline int grey(QRgb colour)
{
    return (11 * qRed(colour) + 16 * qGreen(colour) + 5 * qBlue(colour)) / 32;
}

// Non-premultiplied, so a transparent pixel keeps its own colour values.
// RGB32 shares that layout for the colour channels and needs no copy.
QImage colourValues(const QImage &picture)
{
    const bool direct = picture.format() == QImage::Format_RGB32
        || picture.format() == QImage::Format_ARGB32;
    return direct ? picture : picture.convertToFormat(QImage::Format_ARGB32);
}

// The pixels of one scan line that fall in one controller's block. The bytes
// written never alias the pixels read, which the compiler cannot know alone.
void markRun(const QRgb *__restrict in, int n, int threshold, uchar bit, uchar *__restrict out)
{
    for (int i = 0; i < n; ++i)
        out[i] |= grey(in[i]) < threshold ? bit : uchar(0);
}

// Scan line by scan line: one pass over the picture's memory, and each page
// of a block is a contiguous run of column bytes.
void gatherColumnBytes(const QImage &rgb, const DisplayLayout &layout, int threshold, uchar *out)
{
    const int block = layout.blockWidth();
    const int blockBytes = layout.pages() * block;
    const int w = qMin(rgb.width(), layout.width);
    const int h = qMin(rgb.height(), layout.height);
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        const uchar bit = layout.bitMask(0, y);
        uchar *page = out + (y / 8) * block;
        for (int left = 0; left < w; left += block, page += blockBytes)
            markRun(line + left, qMin(block, w - left), threshold, bit, page);
    }
}

void gatherRowBytes(const QImage &rgb, const DisplayLayout &layout, int threshold, uchar *out)
{
    const int perRow = layout.bytesPerRow();
    const bool lsb = layout.bitOrder == DisplayLayout::BitOrder::Lsb;
    const int w = qMin(rgb.width(), layout.width);
    const int h = qMin(rgb.height(), layout.height);
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *row = out + y * perRow;
        for (int left = 0; left < w; left += 8) {
            const int n = qMin(8, w - left);
            uint byte = 0;
            for (int i = 0; i < n; ++i)
                byte |= uint(grey(line[left + i]) < threshold) << (lsb ? i : 7 - i);
            row[left / 8] = uchar(byte);
        }
    }
}

void drawColumnBytes(const uchar *in, const DisplayLayout &layout, QImage &picture)
{
    const int block = layout.blockWidth();
    const int blockBytes = layout.pages() * block;
    const bool lsb = layout.bitOrder == DisplayLayout::BitOrder::Lsb;
    for (int y = 0; y < layout.height; ++y) {
        const int shift = lsb ? y % 8 : 7 - y % 8;
        const uchar *page = in + (y / 8) * block;
        uchar *pixel = picture.scanLine(y);
        for (int left = 0; left < layout.width; left += block, page += blockBytes)
            for (int i = 0; i < block; ++i)
                *pixel++ = uchar(((page[i] >> shift) & 1u) ^ 1u);
    }
}

void drawRowBytes(const uchar *in, const DisplayLayout &layout, QImage &picture)
{
    const int perRow = layout.bytesPerRow();
    const bool lsb = layout.bitOrder == DisplayLayout::BitOrder::Lsb;
    for (int y = 0; y < layout.height; ++y) {
        const uchar *row = in + y * perRow;
        uchar *pixel = picture.scanLine(y);
        for (int left = 0; left < layout.width; left += 8) {
            const uint byte = row[left / 8];
            const int n = qMin(8, layout.width - left);
            for (int i = 0; i < n; ++i)
                *pixel++ = uchar(((byte >> (lsb ? i : 7 - i)) & 1u) ^ 1u);
        }
    }
}

} // namespace

DisplayLayout layout(RowOrganisation organisation)
{
    return organisation == RowOrganisation::Row63 ? DisplayLayout::row63()
                                                  : DisplayLayout::row127();
}

int greyValue(QRgb colour)
{
    return grey(colour);
}

BinaryImage fromPicture(const QImage &picture, const DisplayLayout &layout, int threshold)
{
    if (!layout.isValid())
        return BinaryImage();
    QByteArray bytes(layout.imageBytes(), '\0');
    auto *out = reinterpret_cast<uchar *>(bytes.data());
    const QImage rgb = colourValues(picture);
    if (layout.orientation == DisplayLayout::Orientation::Vertical)
        gatherColumnBytes(rgb, layout, threshold, out);
    else
        gatherRowBytes(rgb, layout, threshold, out);
    return BinaryImage(bytes, layout);
}

QImage toPicture(const BinaryImage &image, QRgb background)
{
    if (image.isNull())
        return QImage();
    const DisplayLayout &layout = image.layout();
    QImage picture(layout.width, layout.height, QImage::Format_Indexed8);
    picture.setColorTable({qRgba(0, 0, 0, 255), background | 0xFF000000u});
    if (layout.orientation == DisplayLayout::Orientation::Vertical)
        drawColumnBytes(image.constData(), layout, picture);
    else
        drawRowBytes(image.constData(), layout, picture);
    return picture;
}

QString hexText(const QByteArray &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(bytes.size() * 3 + bytes.size() / 16);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar byte = uchar(bytes[i]);
        if (i != 0 && i % 16 == 0)
            text += QLatin1Char('\n');
        text += QLatin1Char(digits[byte >> 4]);
        text += QLatin1Char(digits[byte & 0xF]);
        text += QLatin1Char(',');
    }
    return text;
}

int byteOffset(int page, int x, RowOrganisation organisation)
{
    return layout(organisation).byteOffset(x, 8 * page);
}

QByteArray fromPicture(const QImage &picture, RowOrganisation organisation, int threshold)
{
    return fromPicture(picture, layout(organisation), threshold).bytes();
}

QImage toPicture(const uchar *image, QRgb background, RowOrganisation organisation)
{
    return toPicture(BinaryImage::fromRawData(image, layout(organisation)), background);
}

QString hexText(const uchar *image)
{
    return hexText(QByteArray::fromRawData(reinterpret_cast<const char *>(image), ImageBytes));
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
