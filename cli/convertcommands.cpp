#include "cli/cliio.h"
#include "cli/imageinput.h"
#include "cli/commands.h"
#include "cli/fontimport.h"
#include "cli/messages.h"

#include "core/binfile.h"
#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/pictureencoder.h"
#include "core/pictureformats.h"
#include "core/picturepreparation.h"

#include <QByteArray>
#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QStringList>

#include <algorithm>

namespace Commands {

namespace {

// What most likely lost the picture when every pixel came out the same.
QString uniformWarning(bool on, const PictureDecoder::Picture &picture,
                       const PicturePreparation::Options &options)
{
    using PicturePreparation::Alpha;
    QStringList causes;
    causes << (on ? QStringLiteral("the picture is darker than the threshold (%1, see --threshold)")
                  : QStringLiteral("the picture is lighter than the threshold (%1, see "
                                   "--threshold)"))
                  .arg(options.threshold);
    if (picture.hasAlpha && options.alpha != Alpha::Ignore)
        causes << QStringLiteral("its transparent parts are composited onto %1 (see --alpha)")
                      .arg(options.alpha == Alpha::White ? QStringLiteral("white")
                                                         : QStringLiteral("black"));
    if (options.invert)
        causes << QStringLiteral("--invert swaps on and off");
    return QStringLiteral("warning: every pixel is %1: %2")
        .arg(on ? QStringLiteral("on") : QStringLiteral("off"),
             causes.join(QStringLiteral(", or ")));
}

// Every frame the picture gave is entirely off, or entirely on.
void warnIfUniform(const QString &path, const QList<BinaryImage> &images,
                   const PictureDecoder::Picture &picture,
                   const PicturePreparation::Options &options)
{
    const auto every = [&](bool (BinaryImage::*test)() const) {
        return std::all_of(images.begin(), images.end(),
                           [&](const BinaryImage &image) { return (image.*test)(); });
    };
    if (images.isEmpty())
        return;
    if (every(&BinaryImage::isAllOff))
        Cli::printError(Cli::inputName(path), uniformWarning(false, picture, options));
    else if (every(&BinaryImage::isAllOn))
        Cli::printError(Cli::inputName(path), uniformWarning(true, picture, options));
}

} // namespace

int toBin(const QStringList &arguments)
{
    const QString command = QStringLiteral("to-bin");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Converts pictures of the display's size, 128x64 unless the layout options say\n"
        "otherwise, into binary images written one after the other to OUT. %1\n"
        "are read, told by their content; an animation gives an image per frame. A\n"
        "picture is turned, then mirrored, then fitted, then converted.")
                                         .arg(PictureFormats::readableLabels()));
    parser.addPositionalArgument(QStringLiteral("pictures"),
                                 QStringLiteral("Pictures, in order; '-' reads one from standard "
                                                "input."),
                                 QStringLiteral("PICTURE..."));
    Cli::addOutputOption(parser, QStringLiteral("Binary file to write; '-' for standard output."));
    Cli::addLayoutOptions(parser);
    Cli::addCapacityOption(parser);
    Cli::addPictureOptions(parser);
    if (const int code = parser.parse(arguments, 1, -1); code != Cli::Continue)
        return code;

    const QStringList pictures = parser.positionalArguments();
    if (pictures.count(QStringLiteral("-")) > 1)
        return Cli::usageError(command, QStringLiteral("standard input can be read only once"));

    PicturePreparation::Options options;
    DisplayLayout layout;
    QString out;
    qint64 capacity = 0;
    if (!Cli::pictureOptions(parser, command, options)
        || !Cli::displayLayout(parser, command, layout)
        || !Cli::capacity(parser, command, capacity)
        || !Cli::outputPath(parser, command, out))
        return Cli::UsageError;
    if (!Cli::outputSparesInputs(out, pictures))
        return Cli::Failure;

    const int maxImages = int(capacity / layout.imageBytes());
    QByteArray images;
    images.reserve(qsizetype(qMin<qint64>(pictures.size(), maxImages)) * layout.imageBytes());
    for (const QString &path : pictures) {
        const int room = maxImages - int(images.size() / layout.imageBytes());
        if (room == 0) {
            Cli::fitsCapacity(parser, out, images.size() + layout.imageBytes(), capacity);
            return Cli::Failure;
        }
        PictureDecoder::Picture picture;
        if (!Cli::readPicture(path, layout.size(), options, room, picture))
            return Cli::Failure;
        QList<BinaryImage> converted;
        for (const QImage &frame : picture.frames) {
            converted << PicturePreparation::convert(frame, layout, options);
            images += converted.constLast().bytes();
        }
        warnIfUniform(path, converted, picture, options);
        Cli::warnFramesLeftOut(path, picture);
    }
    return Cli::writeOutput(out, images) ? Cli::Success : Cli::Failure;
}

int toBmp(const QStringList &arguments)
{
    const QString command = QStringLiteral("to-bmp");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Renders binary images as pictures of the display's size: on pixels black, off\n"
        "pixels in the background colour. OUT's extension chooses the format: %1;\n"
        "a name without one gets BMP. .xbm and .pbm keep on pixels as set bits; .webp\n"
        "is lossless; .jpg blurs the dots and needs --lossy.")
                                         .arg(PictureFormats::writableExtensions()));
    Cli::addBinaryArgument(parser);
    Cli::addOutputOption(parser, QStringLiteral("Picture to write; '-' for standard output. With "
                                                "--all, image K goes to OUT with -KK added "
                                                "before the extension, and an OUT ending in '/' is a folder "
                                                "that receives image-00.bmp, image-01.bmp, ... "
                                                "Either every file is written or none."));
    Cli::addImageOption(parser);
    parser.addOption({QStringLiteral("all"), QStringLiteral("Render every image of the file.")});
    parser.addExclusive({QStringLiteral("image"), QStringLiteral("all")});
    parser.addOption({QStringLiteral("lossy"),
                      QStringLiteral("Allow a lossy format (.jpg), which blurs the dots.")});
    parser.addOption({QStringLiteral("bg"),
                      QStringLiteral("Background colour, #RRGGBB or a name such as 'yellow' "
                                     "(default white)."),
                      QStringLiteral("COLOR")});
    Cli::addLayoutOptions(parser);
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;

    const bool all = parser.isSet(QStringLiteral("all"));
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
    const QString name = all ? Cli::inFolder(out, QStringLiteral("image.bmp")) : out;
    const QByteArray format = PictureEncoder::formatForName(name);
    if (format.isEmpty())
        return Cli::usageError(command, QStringLiteral("no picture format is written as '.%1'; "
                                                       "use one of %2")
                                            .arg(QFileInfo(name).suffix(),
                                                 PictureFormats::writableExtensions()));
    if (PictureFormats::named(format)->lossy && !parser.isSet(QStringLiteral("lossy")))
        return Cli::usageError(command, QStringLiteral("%1 is lossy and would blur the dots; add "
                                                       "--lossy to write it all the same, or use .png")
                                            .arg(QLatin1String(PictureFormats::named(format)->label)));
    if (!Cli::outputSparesInputs(out, {in}))
        return Cli::Failure;
    QByteArray contents;
    if (!Cli::readBinary(in, layout, contents))
        return Cli::Failure;

    auto render = [&](const BinaryImage &image, const QString &path) {
        const QByteArray picture =
            PictureEncoder::encode(BinImage::toPicture(image, background.rgb()), format, path);
        if (picture.isEmpty())
            Cli::printError(path, QStringLiteral("the picture could not be encoded as %1; try .png")
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
        if (!Cli::outputSparesInputs(path, {in}))
            return Cli::Failure;
        outputs.append({path, render(images[k], path)});
        if (outputs.constLast().data.isEmpty())
            return Cli::Failure;
    }
    return Cli::writeOutputs(outputs) ? Cli::Success : Cli::Failure;
}

int info(const QStringList &arguments)
{
    const QString command = QStringLiteral("info");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Tells what each file is: a binary file and its image count, a picture with its\n"
        "format, size, frame count (for an animation), whether it has transparency and\n"
        "whether to-bin converts it, or a font's source text with its kind, glyph count\n"
        "and sizes."));
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Binary files or pictures; '-' for standard "
                                                "input."),
                                 QStringLiteral("FILE..."));
    Cli::addLayoutOptions(parser);
    if (const int code = parser.parse(arguments, 1, -1); code != Cli::Continue)
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
        PictureDecoder::Picture picture = Cli::examinePicture(data, layout.size());
        const PictureFormats::Format *format = PictureFormats::named(picture.format);
        const QString kind = (format ? QLatin1String(format->label) : QString())
            + QStringLiteral(" picture");
        if (picture.status == FileAccess::Status::Ok) {
            report += QStringLiteral("%1: %2, %3x%4, ")
                          .arg(name, kind)
                          .arg(picture.size.width())
                          .arg(picture.size.height());
            if (picture.frameCount > 1)
                report += QStringLiteral("%1 frames, ").arg(picture.frameCount);
            if (picture.hasAlpha)
                report += QStringLiteral("with transparency, ");
            picture.status = FileAccess::Status::WrongSize;
            report += picture.size == layout.size()
                ? QStringLiteral("convertible\n")
                : QStringLiteral("not convertible: %1\n")
                      .arg(Cli::pictureMessage(picture, layout.size()));
        } else if (const FontSourceInfo font = Cli::fontSource(path, data);
                   font.kind != FontSourceInfo::Kind::None) {
            report += QStringLiteral("%1: %2\n").arg(name, font.description());
        } else if (BinFile::isValidLength(data.size(), layout.imageBytes(), BinFile::MaxBytes)) {
            report += QStringLiteral("%1: binary file, %2 image(s)%3\n")
                          .arg(name)
                          .arg(data.size() / layout.imageBytes())
                          .arg(of);
        } else if (!picture.format.isEmpty()) {
            report += QStringLiteral("%1: %2, not convertible: %3\n")
                          .arg(name, kind, Cli::pictureMessage(picture, layout.size()));
        } else {
            FileAccess::Facts facts;
            facts.length = data.size();
            Cli::printError(name, Cli::readMessage(FileAccess::Status::BadLength, facts,
                                                   {layout, BinFile::MaxBytes}));
            result = Cli::Failure;
        }
    }
    return Cli::printOutput(report.toUtf8()) ? result : Cli::Failure;
}

} // namespace Commands
