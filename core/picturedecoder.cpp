#include "core/picturedecoder.h"

#include "core/imageplugins.h"
#include "core/jpegdecoder.h"
#include "core/picturefile.h"
#include "core/picturepreparation.h"
#include "core/pngdecoder.h"
#include "core/svgsource.h"
#include "core/webpdecoder.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QtEndian>

#include <cmath>
#include <memory>
#include <unistd.h>

namespace PictureDecoder {

namespace {

using FileAccess::Status;

struct Signature
{
    const char *bytes;
    int length;
    const char *format;
};

// Formats without a fixed signature at the start are recognised apart.
const Signature signatures[] = {
    {"\xFF\xD8\xFF", 3, "jpeg"},
    {"GIF87a", 6, "gif"},
    {"GIF89a", 6, "gif"},
    {"RIFF", 4, "riff"},
    {"II*\0", 4, "tiff"},
    {"MM\0*", 4, "tiff"},
    {"icns", 4, "icns"},
    {"\x8AMNG\r\n\x1A\n", 8, "mng"},
    {"\x1F\x8B", 2, "svgz"},
    {"/* XPM */", 9, "xpm"},
    {"#define ", 8, "xbm"},
};

bool hasAt(const QByteArray &data, int offset, const char *bytes, int length)
{
    return data.size() >= offset + length
        && QByteArrayView(data).sliced(offset, length) == QByteArrayView(bytes, length);
}

int bigEndian16(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<quint16>(data.constData() + at);
}

int littleEndian16(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

QByteArray portableAnymapFormat(const QByteArray &data)
{
    static const char *const formats[] = {"pbm", "pgm", "ppm"};
    if (data.size() < 3 || data.at(0) != 'P' || data.at(1) < '1' || data.at(1) > '6'
        || !QChar::isSpace(uchar(data.at(2))))
        return QByteArray();
    return formats[(data.at(1) - '1') % 3];
}

// Four bytes alone would take many TGA headers for icons as well.
QByteArray iconFormat(const QByteArray &data)
{
    if (data.size() < 6 || !data.startsWith(QByteArrayView("\0\0", 2)) || data.at(3) != 0
        || (data.at(2) != 1 && data.at(2) != 2))
        return QByteArray();
    const int count = littleEndian16(data, 4);
    if (count == 0 || data.size() < 6 + 16 * count)
        return QByteArray();
    return data.at(2) == 1 ? QByteArrayLiteral("ico") : QByteArrayLiteral("cur");
}

bool isSvg(const QByteArray &data)
{
    QByteArrayView text(data);
    text = text.first(qMin<qsizetype>(text.size(), 4096));
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    text = text.trimmed();
    return text.startsWith('<') && text.contains("<svg");
}

// Version 2 files end with this footer; the toolkit reads no others.
bool isTga(const QByteArray &data)
{
    static const char footer[] = "TRUEVISION-XFILE.";
    return data.endsWith(QByteArrayView(footer, sizeof footer));
}

// The toolkit tells the first frame's size, but draws every frame on a
// canvas of the file's screen size: that is what decoding costs.
QSize gifCanvasSize(const QByteArray &data, const QSize &firstFrame)
{
    if (data.size() < 10)
        return firstFrame;
    return firstFrame.expandedTo(QSize(littleEndian16(data, 6), littleEndian16(data, 8)));
}

// Where the first scan's data starts, or -1 when the markers before it do
// not hold together.
qint64 jpegScanStart(QIODevice &device)
{
    qint64 pos = 2;
    for (;;) {
        if (!device.seek(pos))
            return -1;
        const QByteArray head = device.read(4);
        if (head.size() < 4 || uchar(head.at(0)) != 0xFF)
            return -1;
        const uchar marker = uchar(head.at(1));
        if (marker == 0xDA)
            return pos;
        pos += marker == 0xFF ? 1 : 2 + bigEndian16(head, 2);
    }
}

// Some cameras and editors pad a photo after its end marker; this much
// padding is looked at in the tail.
constexpr qint64 JpegTailBytes = 4096;

// What is told of a photo without decoding it: decoding finds any damage,
// but a whole file has its end marker somewhere after the first scan starts
// (entropy-coded data never holds FF D9). A photo normally ends with it,
// which one read of the tail shows; only files that carry more after it (a
// motion photo's film) are searched through.
bool jpegIsWhole(QIODevice &device)
{
    const qint64 scan = jpegScanStart(device);
    if (scan < 0)
        return false;
    const qint64 tail = qMax(scan, device.size() - JpegTailBytes);
    if (!device.seek(tail))
        return false;
    if (device.read(JpegTailBytes).contains("\xFF\xD9"))
        return true;
    if (!device.seek(scan))
        return false;
    char previous = 0;
    for (;;) {
        const QByteArray chunk = device.read(65536);
        if (chunk.isEmpty())
            return false;
        if ((previous == '\xFF' && chunk.at(0) == '\xD9') || chunk.contains("\xFF\xD9"))
            return true;
        previous = chunk.back();
    }
}

// Returns false when the data ends before the blocks do.
bool skipSubBlocks(const QByteArray &data, qsizetype &pos)
{
    while (pos < data.size()) {
        const int length = uchar(data.at(pos++));
        if (length == 0)
            return true;
        pos += length;
    }
    return false;
}

qsizetype colourTableBytes(uchar flags)
{
    return (flags & 0x80) ? qsizetype(3) << ((flags & 7) + 1) : 0;
}

// The toolkit shows a cut-off GIF as far as it goes, and drops the frames
// that are missing: a whole file ends with its trailer after the last block.
bool gifIsWhole(const QByteArray &data)
{
    if (data.size() < 13)
        return false;
    qsizetype pos = 13 + colourTableBytes(uchar(data.at(10)));
    while (pos < data.size()) {
        const uchar block = uchar(data.at(pos));
        if (block == 0x3B)
            return true;
        if (block == 0x21) {
            pos += 2;
        } else if (block == 0x2C) {
            if (pos + 10 > data.size())
                return false;
            pos += 10 + colourTableBytes(uchar(data.at(pos + 9))) + 1;
        } else {
            return false;
        }
        if (!skipSubBlocks(data, pos))
            return false;
    }
    return false;
}

int xbmDefine(const QByteArray &data, const char *name)
{
    const QRegularExpression define(QStringLiteral("#define\\s+\\S*%1\\s+(\\d+)")
                                        .arg(QLatin1String(name)));
    const QRegularExpressionMatch match = define.match(QString::fromLatin1(data.left(4096)));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The toolkit's reader leaves the bytes that a short file lacks as they were.
bool xbmIsWhole(const QByteArray &data)
{
    const qint64 needed = (qint64(xbmDefine(data, "width")) + 7) / 8 * xbmDefine(data, "height");
    const qsizetype start = data.indexOf('{');
    qint64 found = 0;
    for (qsizetype i = start + 1; start >= 0 && i + 1 < data.size() && found < needed; ++i)
        found += data.at(i) == '0' && (data.at(i + 1) | 0x20) == 'x';
    return found >= needed;
}

// A JPEG is found damaged while it is decoded.
bool isWhole(const QByteArray &data, const QByteArray &format)
{
    if (format == "xbm")
        return xbmIsWhole(data);
    if (format == "gif")
        return gifIsWhole(data);
    return true;
}

bool scalesWhileDecoding(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}

qint64 pixels(const QSize &size)
{
    return qint64(size.width()) * size.height();
}

// The pixels held at once while decoding into `scaled` (in the file's own
// orientation; invalid when decoded at full size).
qint64 decodedPixels(const QByteArray &format, const QSize &size, const QSize &scaled)
{
    if (!scaled.isValid())
        return pixels(size);
    if (format == "jpeg")
        return qMax(pixels(JpegDecoder::decodedSize(size, scaled)), pixels(scaled));
    return pixels(scaled);
}

// Only these formats can hold transparency. A drawing is drawn on white,
// whatever it leaves transparent; the JPEG reader tells a format it never set
// for some headers.
bool mayBeTransparent(const QByteArray &format)
{
    static const char *const formats[] = {"bmp", "gif", "webp", "tiff", "ico", "cur",
                                          "icns", "tga", "xpm", "mng"};
    for (const char *name : formats)
        if (format == name)
            return true;
    return false;
}

bool hasAlphaFormat(QImageReader &reader)
{
    const QImage::Format format = reader.imageFormat();
    return format > QImage::Format_Invalid && format < QImage::NImageFormats
        && QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
}

struct Reader
{
    QBuffer buffer;
    std::unique_ptr<QImageReader> reader;
    bool swapsAxes = false;
};

// Fills in everything the header tells; `reader` is left ready to read the frames.
Picture openDevice(QIODevice &device, const QByteArray &format, Reader &reader)
{
    Picture picture;
    picture.format = format;
    if (!ImagePlugins::isBuiltIn(format))
        ImagePlugins::ensureLoaded();
    reader.reader = std::make_unique<QImageReader>(&device, format);
    QImageReader &image = *reader.reader;
    // Photos are stored as the camera was held; they are meant to be seen upright.
    image.setAutoTransform(true);
    reader.swapsAxes = image.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    // Qt's BMP reader gives a top-down picture's height as stored: negative.
    // Any reader that cannot read the header says -1x-1.
    const QSize stored = image.size();
    const bool readable = stored.width() > 0 && stored.height() != 0
        && (stored.height() > 0 || format == "bmp");
    const QSize size(stored.width(), qAbs(stored.height()));
    picture.status = readable ? Status::Ok : Status::Damaged;
    picture.size = reader.swapsAxes ? size.transposed() : size;
    picture.frameCount = image.supportsAnimation() ? qMax(image.imageCount(), 1) : 1;
    picture.hasAlpha = readable && mayBeTransparent(format) && hasAlphaFormat(image);
    return picture;
}

// What the toolkit's renderer is given for a drawing: inflated, within the
// bounds a plain drawing has, and naming no other file.
Status drawingSource(const QByteArray &data, const QByteArray &format, QByteArray &source)
{
    QByteArray drawing = data;
    if (format == "svgz") {
        const Status inflated = SvgSource::inflate(data, PictureFile::MaxBytes, drawing);
        if (inflated != Status::Ok)
            return inflated;
    }
    // Without fonts, the toolkit would abort on the first text.
    if (SvgSource::hasText(drawing) && !ImagePlugins::ensureFonts())
        return Status::UnknownFormat;
    source = SvgSource::selfContained(drawing);
    return Status::Ok;
}

Picture openWebp(const QByteArray &data)
{
    Picture picture;
    picture.format = QByteArrayLiteral("webp");
    const WebpDecoder::Header header = WebpDecoder::header(data);
    picture.status = header.size.isValid() ? Status::Ok : Status::Damaged;
    picture.size = header.size;
    picture.frameCount = header.frameCount;
    return picture;
}

// The header alone: libjpeg judges the rest while decoding.
Picture openJpeg(QIODevice &device)
{
    Picture picture;
    picture.format = QByteArrayLiteral("jpeg");
    const JpegDecoder::Header header = JpegDecoder::header(device);
    picture.status = header.status;
    picture.size = header.size;
    picture.frameCount = 1;
    return picture;
}

Picture open(const QByteArray &data, Reader &reader)
{
    Picture picture;
    picture.format = formatOf(data);
    if (picture.format.isEmpty())
        return picture;
    // The toolkit's reader would take a chunk's declared length on trust.
    if (picture.format == "png") {
        const PngDecoder::Header header = PngDecoder::inspect(data);
        picture.status = header.status;
        picture.size = header.size;
        picture.hasAlpha = header.transparency;
        picture.frameCount = 1;
        return picture;
    }
    if (picture.format == "webp")
        return openWebp(data);
    if (picture.format == "jpeg") {
        reader.buffer.setData(data);
        reader.buffer.open(QIODevice::ReadOnly);
        return openJpeg(reader.buffer);
    }
    QByteArray source = data;
    if (picture.format.startsWith("svg")) {
        picture.status = drawingSource(data, picture.format, source);
        if (picture.status != Status::Ok)
            return picture;
    }
    reader.buffer.setData(source);
    reader.buffer.open(QIODevice::ReadOnly);
    const QByteArray format = picture.format;
    // A compressed drawing is inflated here, within bounds.
    picture = openDevice(reader.buffer, format == "svgz" ? "svg" : format, reader);
    picture.format = format;
    if (picture.status == Status::Ok && !isWhole(data, picture.format))
        picture.status = Status::Damaged;
    if (picture.status == Status::Ok && picture.format == "gif")
        picture.size = gifCanvasSize(data, picture.size);
    return picture;
}

// BMP goes through the checks the window's pictures go through.
QImage readFrame(const QByteArray &data, const QByteArray &format, QImageReader *reader)
{
    if (PictureFile::format(data) != format)
        return reader->read();
    QImage picture;
    return PictureFile::decode(data, picture) == Status::Ok ? picture : QImage();
}

// The upright size `wanted` asks for, or empty when the picture is refused
// as the wrong size (its status then says so).
QSize wantedSize(Picture &picture, const SizeRequest &wanted)
{
    const QSize upright = wanted ? wanted(picture.size) : picture.size;
    if (upright.isEmpty())
        picture.status = Status::WrongSize;
    return upright;
}

int framesToRead(const Picture &picture, int maxFrames)
{
    return qMin(picture.frameCount, qMax(maxFrames, 1));
}

// Smaller one way at least, and larger neither way.
bool shrinks(const QSize &upright, const QSize &size)
{
    return upright != size && upright.width() <= size.width() && upright.height() <= size.height();
}

// WebP and PNG are decoded here by their own libraries, which shrink a
// picture while decoding it; enlarging is left to the conversion's own
// scaling, as before. Neither has an orientation the toolkit would apply.
// The full-size bound stays: libwebp still reads every pixel and holds its
// alpha plane at full size, and a PNG left to the toolkit's reader is decoded
// whole. The size to shrink to, invalid for its own; the status tells when
// the picture is refused.
QSize shrinkingSize(Picture &picture, const SizeRequest &wanted)
{
    const QSize upright = wantedSize(picture, wanted);
    if (upright.isEmpty())
        return QSize();
    if (pixels(picture.size) > MaxDecodedPixels) {
        picture.status = Status::TooLarge;
        return QSize();
    }
    return shrinks(upright, picture.size) ? upright : QSize();
}

// Whether any pixel is see-through, now that they are known.
void setFrames(Picture &picture, const QList<QImage> &frames)
{
    picture.frames = frames;
    if (frames.isEmpty())
        picture.status = Status::Damaged;
    picture.hasAlpha = false;
    for (const QImage &frame : frames)
        picture.hasAlpha = picture.hasAlpha || PicturePreparation::hasTransparency(frame);
}

// `decodeAt` gives no frame when the data is damaged.
Picture decodeShrinking(Picture picture, const SizeRequest &wanted,
                        const std::function<QList<QImage>(const QSize &)> &decodeAt)
{
    const QSize shrunk = shrinkingSize(picture, wanted);
    if (picture.status == Status::Ok)
        setFrames(picture, decodeAt(shrunk));
    return picture;
}

// An animation is composed at its canvas size.
Picture decodeWebp(const Picture &picture, const QByteArray &data, int maxFrames,
                   const SizeRequest &wanted)
{
    return decodeShrinking(picture, wanted, [&](const QSize &shrunk) {
        return WebpDecoder::decode(data, framesToRead(picture, maxFrames), shrunk);
    });
}

Picture decodePng(const Picture &picture, const QByteArray &data, const SizeRequest &wanted)
{
    return decodeShrinking(picture, wanted, [&](const QSize &shrunk) {
        QImage frame;
        return PngDecoder::decode(data, frame, shrunk) == Status::Ok ? QList<QImage>{frame}
                                                                     : QList<QImage>();
    });
}

// Shrunk by libjpeg while decoding, then row by row to the size; enlarging is
// left to the conversion's own scaling. Only the pixels libjpeg decodes at
// count against the bound, which is the same whichever way up.
Picture decodeJpeg(Picture picture, QIODevice &device, const SizeRequest &wanted)
{
    const QSize upright = wantedSize(picture, wanted);
    if (upright.isEmpty())
        return picture;
    const QSize shrunk = shrinks(upright, picture.size) ? upright : QSize();
    const qint64 most = shrunk.isValid() ? MaxReducedJpegPixels : MaxDecodedPixels;
    if (decodedPixels(picture.format, picture.size, shrunk) > most) {
        picture.status = Status::TooLarge;
        return picture;
    }
    QImage frame;
    picture.status = device.seek(0) ? JpegDecoder::decode(device, shrunk, frame) : Status::Damaged;
    if (picture.status == Status::Ok)
        picture.frames << frame;
    return picture;
}

// A PNG that is shrunk is reduced as it is read: held whole, with its rows
// and its full-size picture, it would take several times its file. False
// when the file is to be read whole, which tells what this does not: the
// wrong size, too many pixels, or a picture of another kind.
bool readShrunkPng(QFile &file, const SizeRequest &wanted, Picture &picture)
{
    Picture png;
    png.format = QByteArrayLiteral("png");
    png.frameCount = 1;
    const auto reducedSize = [&](const QSize &stored) {
        png.status = Status::Ok;
        png.size = stored;
        const QSize shrunk = shrinkingSize(png, wanted);
        return png.status == Status::Ok ? shrunk : QSize();
    };
    QImage frame;
    Status status = Status::Damaged;
    if (!PngDecoder::decodeReduced(file, reducedSize, status, frame))
        return false;
    png.status = status;
    setFrames(png, status == Status::Ok ? QList<QImage>{frame} : QList<QImage>());
    picture = png;
    return true;
}

// Reads the frames `picture` announces, at the size `wanted` where the format
// can scale while decoding.
Picture decodeFrames(Picture picture, Reader &reader, int maxFrames, const SizeRequest &wanted,
                     const std::function<QImage()> &readFrame)
{
    const QSize stored = reader.swapsAxes ? picture.size.transposed() : picture.size;
    const QSize upright = wantedSize(picture, wanted);
    if (upright.isEmpty())
        return picture;
    QSize scaled;
    if (upright != picture.size && scalesWhileDecoding(picture.format))
        scaled = reader.swapsAxes ? upright.transposed() : upright;
    if (decodedPixels(picture.format, stored, scaled) > MaxDecodedPixels) {
        picture.status = Status::TooLarge;
        return picture;
    }
    // Only the formats that scale while decoding, and drawings, have a reader here.
    if (scaled.isValid())
        reader.reader->setScaledSize(scaled);
    // A drawing leaves its background transparent, without a colour of its own.
    if (picture.format.startsWith("svg")
        && reader.reader->supportsOption(QImageIOHandler::BackgroundColor))
        reader.reader->setBackgroundColor(Qt::white);
    // Only an animation's frame count is trusted: some readers return the same
    // page for ever, answering that there is more to read.
    const int count = framesToRead(picture, maxFrames);
    bool seeThrough = false;
    for (int frame = 0; frame < count; ++frame) {
        const QImage decoded = readFrame();
        if (decoded.isNull()) {
            picture.status = Status::Damaged;
            picture.frames.clear();
            return picture;
        }
        seeThrough = seeThrough || PicturePreparation::hasTransparency(decoded);
        picture.frames << decoded;
    }
    picture.hasAlpha = seeThrough && !picture.format.startsWith("svg");
    return picture;
}

} // namespace

QByteArray formatOf(const QByteArray &data)
{
    if (const QByteArray common = PictureFile::format(data); !common.isEmpty())
        return common;
    if (isTga(data))
        return QByteArrayLiteral("tga");
    for (const Signature &signature : signatures) {
        if (!data.startsWith(QByteArrayView(signature.bytes, signature.length)))
            continue;
        // RIFF holds sounds and films as well.
        if (qstrcmp(signature.format, "riff") == 0)
            return hasAt(data, 8, "WEBP", 4) ? QByteArrayLiteral("webp") : QByteArray();
        return signature.format;
    }
    if (const QByteArray anymap = portableAnymapFormat(data); !anymap.isEmpty())
        return anymap;
    if (const QByteArray icon = iconFormat(data); !icon.isEmpty())
        return icon;
    if (isSvg(data))
        return QByteArrayLiteral("svg");
    return QByteArray();
}

bool hasWeakSignature(const QByteArray &format)
{
    for (const char *weak : {"bmp", "svgz", "ico", "cur", "tga", "pbm", "pgm", "ppm"})
        if (format == weak)
            return true;
    return false;
}

void raiseAllocationLimit()
{
    // Deep pictures (16 bits per channel) take 8 bytes a pixel.
    QImageReader::setAllocationLimit(int(MaxDecodedPixels * 8 / (1024 * 1024)));
}

bool withinAllocationLimit(const QSize &size, int depth)
{
    const qint64 bytes = (qint64(size.width()) * depth + 31) / 32 * 4 * size.height();
    const int limit = QImageReader::allocationLimit();
    return limit <= 0 || bytes <= qint64(limit) * 1024 * 1024;
}

SizeRequest sizeRequest(const QSize &target, const PicturePreparation::Options &options)
{
    return [target, options](const QSize &size) {
        if (!options.fit && PictureTransform::orientedSize(size, options.orientation) != target)
            return QSize();
        return PicturePreparation::decodingSize(size, target, options);
    };
}

Picture inspect(const QByteArray &data)
{
    Reader reader;
    Picture picture = open(data, reader);
    // Without decoding it, a photo cut short shows by its missing end marker.
    if (picture.status == Status::Ok && picture.format == "jpeg"
        && !(reader.buffer.seek(0) && jpegIsWhole(reader.buffer)))
        picture.status = Status::Damaged;
    return picture;
}

Picture decode(const QByteArray &data, int maxFrames, const SizeRequest &wanted)
{
    Reader reader;
    const Picture picture = open(data, reader);
    if (picture.status != Status::Ok)
        return picture;
    if (picture.format == "webp")
        return decodeWebp(picture, data, maxFrames, wanted);
    if (picture.format == "png")
        return decodePng(picture, data, wanted);
    if (picture.format == "jpeg")
        return decodeJpeg(picture, reader.buffer, wanted);
    return decodeFrames(picture, reader, maxFrames, wanted,
                        [&] { return readFrame(data, picture.format, reader.reader.get()); });
}

namespace {

// Done here, on the only copy: a full-size picture is held once.
Picture composited(Picture picture, PicturePreparation::Alpha alpha)
{
    for (QImage &frame : picture.frames)
        PicturePreparation::composite(frame, alpha);
    return picture;
}

Picture readFile(const QString &path, FileAccess::Streams streams, int maxFrames,
                 const SizeRequest &wanted);

} // namespace

Picture read(const QString &path, FileAccess::Streams streams, const QSize &target,
             const PicturePreparation::Options &options, int maxFrames)
{
    return composited(readFile(path, streams, maxFrames, sizeRequest(target, options)),
                      options.alpha);
}

namespace {

Picture readFile(const QString &path, FileAccess::Streams streams, int maxFrames,
                 const SizeRequest &wanted)
{
    Picture picture;
    QFile file;
    QByteArray data;
    FileAccess::Facts facts;
    picture.status = FileAccess::open(path, PictureFile::MaxBytes, streams, file, data, &facts);
    picture.error = facts.error;
    if (picture.status != Status::Ok || !file.isOpen())
        return picture.status == Status::Ok ? decode(data, maxFrames, wanted) : picture;
    // A photo is decoded as it is read: held whole, its pages would cost
    // more than its decoding saves.
    char start[16];
    const ssize_t got = ::pread(file.handle(), start, sizeof start, 0);
    const QByteArray format =
        got > 0 ? formatOf(QByteArray::fromRawData(start, qsizetype(got))) : QByteArray();
    if (format == "png" && readShrunkPng(file, wanted, picture))
        return picture;
    if (format == "jpeg") {
        picture = openJpeg(file);
        return picture.status == Status::Ok ? decodeJpeg(picture, file, wanted) : picture;
    }
    picture.status = FileAccess::readOpened(file, PictureFile::MaxBytes, data, &facts);
    picture.error = facts.error;
    return picture.status == Status::Ok ? decode(data, maxFrames, wanted) : picture;
}

} // namespace

} // namespace PictureDecoder
