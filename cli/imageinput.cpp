#include "cli/imageinput.h"

#include "cli/cliio.h"
#include "core/binfile.h"
#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/picturepreparation.h"
#include "core/picturetransform.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QImage>
#include <QString>

namespace Cli {

namespace {

// Two or three bytes, or none at all, tell these formats: the memory of a
// display can start that way by chance.
bool hasWeakSignature(const QByteArray &format)
{
    for (const char *weak : {"bmp", "svgz", "ico", "cur", "tga", "pbm", "pgm", "ppm"})
        if (format == weak)
            return true;
    return false;
}

// False when `data` is no picture after all; `failed` then tells whether it
// was refused as one, which has been said.
bool convertPicture(const QString &path, const QByteArray &data, const DisplayLayout &layout,
                    const PicturePreparation::Options &options, QByteArray &contents,
                    bool &failed)
{
    const QSize target = layout.size();
    // As to-bin reads it: refused before decoding when it is the wrong size
    // and not to be fitted.
    const PictureDecoder::SizeRequest wanted = [&](const QSize &size) {
        if (!options.fit && PictureTransform::orientedSize(size, options.orientation) != target)
            return QSize();
        return PicturePreparation::decodingSize(size, target, options);
    };
    const PictureDecoder::Picture picture =
        PictureDecoder::decode(data, BinImage::MaxImages, wanted);
    if (picture.status != FileAccess::Status::Ok) {
        // Display memory can start like a BMP or an icon, or end like a TGA:
        // a file of whole images that does not decode as such is what it
        // seems to be.
        failed = !hasWeakSignature(PictureDecoder::formatOf(data))
            || !BinFile::isValidLength(data.size(), layout.imageBytes());
        if (failed)
            printError(inputName(path), message(picture.status, target));
        return false;
    }
    QByteArray images;
    for (const QImage &frame : picture.frames)
        images += PicturePreparation::convert(frame, layout, options).bytes();
    warnFramesLeftOut(path, picture);
    contents = images;
    return true;
}

} // namespace

void addConversionOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("threshold"),
                      QStringLiteral("Grey value (0-256) below which a pixel is on; default 40, "
                                     "or 128 when dithering."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("invert"), QStringLiteral("Swap on and off pixels.")});
    parser.addOption({QStringLiteral("dither"),
                      QStringLiteral("none (default), floyd-steinberg, atkinson or bayer."),
                      QStringLiteral("METHOD")});
    addPictureOptions(parser);
}

bool conversionOptions(const QCommandLineParser &parser, const QString &command,
                       PicturePreparation::Options &options)
{
    if (parser.isSet(QStringLiteral("dither"))
        && !PicturePreparation::ditherFromName(parser.value(QStringLiteral("dither")),
                                               options.dither)) {
        usageError(command, QStringLiteral("unknown dithering '%1'")
                                .arg(parser.value(QStringLiteral("dither"))));
        return false;
    }
    if (options.dither != PicturePreparation::Dither::None)
        options.threshold = PicturePreparation::DitherThreshold;
    options.invert = parser.isSet(QStringLiteral("invert"));
    return intOption(parser, command, QStringLiteral("threshold"), 0, 256, options.threshold)
        && pictureOptions(parser, command, options);
}

void warnFramesLeftOut(const QString &path, const PictureDecoder::Picture &picture)
{
    if (picture.frames.size() < picture.frameCount)
        printError(inputName(path), QStringLiteral("only the first %1 of its %2 frames fit in "
                                                   "the binary file")
                                        .arg(picture.frames.size())
                                        .arg(picture.frameCount));
}

bool readImages(const QString &path, const DisplayLayout &layout,
                const PicturePreparation::Options &options, QByteArray &contents)
{
    // Read once: standard input cannot be read again.
    QByteArray data;
    if (!readFile(path, data))
        return false;
    bool failed = false;
    if (!PictureDecoder::formatOf(data).isEmpty()
        && (convertPicture(path, data, layout, options, contents, failed) || failed))
        return !failed;
    if (!BinFile::isValidLength(data.size(), layout.imageBytes())) {
        printError(inputName(path), binaryLengthMessage(layout));
        return false;
    }
    contents = data;
    return true;
}

} // namespace Cli
