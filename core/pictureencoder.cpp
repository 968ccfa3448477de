#include "core/pictureencoder.h"

#include "core/imageplugins.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QString>

namespace PictureEncoder {

namespace {

// A fixed resolution keeps the files the same whatever the environment.
constexpr int DotsPerMeter = 3780; // 96 dpi

bool isOneBit(const QByteArray &format)
{
    return format == "xbm" || format == "pbm" || format == "wbmp";
}

// Colour 1 black, so that every writer stores an on pixel as a set bit.
QImage onAsSetBits(const QImage &rendered)
{
    QImage mono(rendered.size(), QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < rendered.height(); ++y)
        for (int x = 0; x < rendered.width(); ++x)
            mono.setPixel(x, y, rendered.pixelIndex(x, y) == 0 ? 1 : 0);
    return mono;
}

// The toolkit's XBM writer leaves the variable names empty ("_width"). The
// layout is X11's own XWriteBitmapFile's, brace ending its line, since
// some readers (ImageMagick's) take nothing else.
QByteArray xbm(const QImage &mono, const QByteArray &name)
{
    QByteArray text = "#define " + name + "_width " + QByteArray::number(mono.width()) + "\n"
        + "#define " + name + "_height " + QByteArray::number(mono.height()) + "\n"
        + "static unsigned char " + name + "_bits[] = {";
    const int rowBytes = (mono.width() + 7) / 8;
    int count = 0;
    for (int y = 0; y < mono.height(); ++y) {
        for (int column = 0; column < rowBytes; ++column) {
            uint byte = 0;
            for (int bit = 0; bit < 8 && column * 8 + bit < mono.width(); ++bit)
                byte |= uint(mono.pixelIndex(column * 8 + bit, y)) << bit;
            text += count == 0 ? "\n   " : (count % 12 == 0 ? ",\n   " : ", ");
            text += "0x" + QByteArray::number(byte, 16).rightJustified(2, '0');
            ++count;
        }
    }
    text += "};\n";
    return text;
}

} // namespace

QByteArray formatForName(const QString &path)
{
    QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix == "jpg")
        suffix = "jpeg";
    if (suffix.isEmpty())
        return QByteArrayLiteral("bmp");
    if (!ImagePlugins::isBuiltIn(suffix))
        ImagePlugins::ensureLoaded();
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix
                                                                  : QByteArrayLiteral("bmp");
}

QByteArray identifierForName(const QString &path)
{
    QByteArray name = QFileInfo(path).completeBaseName().toLatin1();
    for (char &c : name)
        if (!QChar::isLetterOrNumber(uchar(c)) || uchar(c) >= 0x80)
            c = '_';
    if (name.count('_') == name.size())
        return QByteArrayLiteral("image");
    if (name.at(0) >= '0' && name.at(0) <= '9')
        name.prepend("image_");
    return name;
}

QByteArray encode(const QImage &rendered, const QByteArray &format, const QString &path)
{
    QImage picture = isOneBit(format) ? onAsSetBits(rendered) : rendered;
    if (format == "xbm")
        return xbm(picture, identifierForName(path));
    picture.setDotsPerMeterX(DotsPerMeter);
    picture.setDotsPerMeterY(DotsPerMeter);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    // Lossy formats would blur the dots: WebP at 100 is lossless.
    if (format == "jpeg" || format == "webp")
        writer.setQuality(100);
    if (!writer.write(picture))
        return QByteArray();
    return data;
}

} // namespace PictureEncoder
