#include "cli/cliio.h"
#include "cli/imageinput.h"
#include "cli/commands.h"
#include "cli/fontimport.h"

#include "core/binfile.h"
#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/pictureencoder.h"
#include "core/picturepreparation.h"

#include <QByteArray>
#include <QColor>
#include <QCommandLineParser>
#include <QImage>
#include <QStringList>

namespace Commands {

int toBin(const QStringList &arguments)
{
    const QString command = QStringLiteral("to-bin");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts pictures of the display's size, 128x64 unless the layout options say\n"
        "otherwise, into binary images written one after the other to OUT. BMP, PNG,\n"
        "JPEG, GIF, WebP, TIFF, SVG, ICO, XPM, XBM, PBM, PGM, PPM and TGA are read, told\n"
        "by their content; an animation gives an image per frame. A picture is turned,\n"
        "then mirrored, then fitted, then converted."));
    parser.addPositionalArgument(QStringLiteral("pictures"),
                                 QStringLiteral("Up to 64 pictures; '-' reads one from standard "
                                                "input."),
                                 QStringLiteral("PICTURE..."));
    Cli::addOutputOption(parser, QStringLiteral("Binary file to write; '-' for standard output."));
    Cli::addLayoutOptions(parser);
    Cli::addConversionOptions(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, -1); code != Cli::Continue)
        return code;

    const QStringList pictures = parser.positionalArguments();
    if (pictures.size() > BinImage::MaxImages)
        return Cli::usageError(command, QStringLiteral("at most %1 pictures, not %2")
                                            .arg(BinImage::MaxImages)
                                            .arg(pictures.size()));
    if (pictures.count(QStringLiteral("-")) > 1)
        return Cli::usageError(command, QStringLiteral("standard input can be read only once"));

    PicturePreparation::Options options;
    DisplayLayout layout;
    QString out;
    if (!Cli::conversionOptions(parser, command, options)
        || !Cli::displayLayout(parser, command, layout)
        || !Cli::outputPath(parser, command, out))
        return Cli::UsageError;

    QByteArray images;
    images.reserve(qsizetype(pictures.size()) * layout.imageBytes());
    for (const QString &path : pictures) {
        const int room = BinImage::MaxImages - int(images.size() / layout.imageBytes());
        if (room == 0) {
            Cli::printError(Cli::inputName(path),
                            QStringLiteral("no room left: a binary file holds %1 images at most")
                                .arg(BinImage::MaxImages));
            return Cli::Failure;
        }
        PictureDecoder::Picture picture;
        if (!Cli::readPicture(path, layout.size(), options, room, picture))
            return Cli::Failure;
        for (const QImage &frame : picture.frames)
            images += PicturePreparation::convert(frame, layout, options).bytes();
        Cli::warnFramesLeftOut(path, picture);
    }
    return Cli::writeOutput(out, images) ? Cli::Success : Cli::Failure;
}

int toBmp(const QStringList &arguments)
{
    const QString command = QStringLiteral("to-bmp");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Renders binary images as pictures of the display's size: on pixels black, off\n"
        "pixels in the background colour. OUT's extension chooses the format among those\n"
        "Qt writes: .png, .xbm (C source, on pixels as set bits), .pbm, .webp (lossless),\n"
        ".tif, .ico, .ppm, .xpm, ...; any other name gets BMP."));
    Cli::addBinaryArgument(parser);
    Cli::addOutputOption(parser, QStringLiteral("Picture to write; '-' for standard output. With "
                                                "--all, image K goes to OUT with -KK added "
                                                "before the extension, and an OUT ending in '/' is a folder "
                                                "that receives image-00.bmp, image-01.bmp, ... "
                                                "Either every file is written or none."));
    Cli::addImageOption(parser);
    parser.addOption({QStringLiteral("all"), QStringLiteral("Render every image of the file.")});
    parser.addOption({QStringLiteral("bg"),
                      QStringLiteral("Background colour, #RRGGBB or a name such as 'yellow' "
                                     "(default white)."),
                      QStringLiteral("COLOR")});
    Cli::addLayoutOptions(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
        return code;

    const bool all = parser.isSet(QStringLiteral("all"));
    if (all && parser.isSet(QStringLiteral("image")))
        return Cli::usageError(command, QStringLiteral("--image and --all exclude each other"));
    QColor background(Qt::white);
    if (parser.isSet(QStringLiteral("bg"))) {
        background = QColor::fromString(parser.value(QStringLiteral("bg")));
        if (!background.isValid())
            return Cli::usageError(command, QStringLiteral("unknown colour '%1'")
                                                .arg(parser.value(QStringLiteral("bg"))));
    }
    int index = 0;
    DisplayLayout layout;
    QString out;
    if (!Cli::imageIndex(parser, command, index) || !Cli::displayLayout(parser, command, layout)
        || !Cli::outputPath(parser, command, out))
        return Cli::UsageError;
    if (all && Cli::isStandardStream(out))
        return Cli::usageError(command, QStringLiteral("--all needs a file name, not '-'"));

    const QString in = parser.positionalArguments().constFirst();
    QByteArray contents;
    if (!Cli::readBinary(in, layout, contents))
        return Cli::Failure;

    const QString name = all ? Cli::inFolder(out, QStringLiteral("image.bmp")) : out;
    const QByteArray format = PictureEncoder::formatForName(name);
    auto render = [&](const BinaryImage &image, const QString &path) {
        const QByteArray picture =
            PictureEncoder::encode(BinImage::toPicture(image, background.rgb()), format, path);
        if (picture.isEmpty())
            Cli::printError(path, QStringLiteral("Qt could not encode the picture as %1")
                                      .arg(QString::fromLatin1(format.toUpper())));
        return picture;
    };
    if (!all) {
        BinaryImage image;
        if (!Cli::selectImage(in, contents, layout, index, image))
            return Cli::Failure;
        const QByteArray picture = render(image, out);
        return !picture.isEmpty() && Cli::writeOutput(out, picture) ? Cli::Success : Cli::Failure;
    }
    QList<OutputFile::Output> outputs;
    const QList<BinaryImage> images = Cli::allImages(contents, layout);
    for (int k = 0; k < images.size(); ++k) {
        const QString path = Cli::numberedName(name, k);
        outputs.append({path, render(images[k], path)});
        if (outputs.constLast().data.isEmpty())
            return Cli::Failure;
    }
    return Cli::writeOutputs(outputs) ? Cli::Success : Cli::Failure;
}

int info(const QStringList &arguments)
{
    const QString command = QStringLiteral("info");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tells what each file is: a binary file and its image count, a picture with its\n"
        "format, size, frame count (for an animation) and whether to-bin converts it, or\n"
        "a font's source text with its kind, glyph count and sizes."));
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Binary files or pictures; '-' for standard "
                                                "input."),
                                 QStringLiteral("FILE..."));
    Cli::addLayoutOptions(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, -1); code != Cli::Continue)
        return code;
    DisplayLayout layout;
    if (!Cli::displayLayout(parser, command, layout))
        return Cli::UsageError;
    // Named only where it is not the default, so that the plain report stays as it was.
    const QString of = layout == DisplayLayout::row63()
        ? QString()
        : QStringLiteral(" of ") + layout.description();

    int result = Cli::Success;
    QString report;
    for (const QString &path : parser.positionalArguments()) {
        QByteArray data;
        if (!Cli::readFile(path, data)) {
            result = Cli::Failure;
            continue;
        }
        const QString name = Cli::inputName(path);
        const PictureDecoder::Picture picture = Cli::examinePicture(data, layout.size());
        const QString kind = QString::fromLatin1(picture.format.toUpper())
            + QStringLiteral(" picture");
        if (picture.status == FileAccess::Status::Ok) {
            report += QStringLiteral("%1: %2, %3x%4, ")
                          .arg(name, kind)
                          .arg(picture.size.width())
                          .arg(picture.size.height());
            if (picture.frameCount > 1)
                report += QStringLiteral("%1 frames, ").arg(picture.frameCount);
            report += picture.size == layout.size()
                ? QStringLiteral("convertible\n")
                : QStringLiteral("not convertible: %1 (--fit scales it)\n")
                      .arg(Cli::message(FileAccess::Status::WrongSize, layout.size()));
        } else if (const FontSourceInfo font = Cli::fontSource(path, data);
                   font.kind != FontSourceInfo::Kind::None) {
            report += QStringLiteral("%1: %2\n").arg(name, font.description());
        } else if (BinFile::isValidLength(data.size(), layout.imageBytes())) {
            report += QStringLiteral("%1: binary file, %2 image(s)%3\n")
                          .arg(name)
                          .arg(data.size() / layout.imageBytes())
                          .arg(of);
        } else if (!picture.format.isEmpty()) {
            report += QStringLiteral("%1: %2, not convertible: %3\n")
                          .arg(name, kind, Cli::message(picture.status, layout.size()));
        } else {
            Cli::printError(name, Cli::message(FileAccess::Status::BadLength));
            result = Cli::Failure;
        }
    }
    return Cli::printOutput(report.toUtf8()) ? result : Cli::Failure;
}

} // namespace Commands
