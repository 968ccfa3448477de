#include "cli/cliio.h"

#include "cli/messages.h"

#include "core/binfile.h"
#include "core/binimage.h"
#include "core/displaypreset.h"
#include "core/picturedecoder.h"
#include "core/picturefile.h"
#include "core/picturepreparation.h"
#include "core/picturetransform.h"
#include "output/exporttext.h"
#include "output/sourcetext.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace Cli {

namespace {

using FileAccess::Status;
using FileAccess::Streams;

const QString StandardStream = QString::fromLatin1(FileAccess::StandardInput);

bool printText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size())
        && std::fflush(stream) == 0;
}

QString program()
{
    return QCoreApplication::applicationName();
}

// libpng writes its own complaints straight to stderr; the command reports
// a damaged picture in its own words instead. The descriptors are opened once:
// a command may read 64 pictures.
class QuietStandardError
{
public:
    QuietStandardError()
    {
        static const int saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        static const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        std::fflush(stderr);
        if (saved >= 0 && null >= 0 && ::dup2(null, STDERR_FILENO) >= 0)
            restore = saved;
    }
    ~QuietStandardError()
    {
        if (restore >= 0)
            ::dup2(restore, STDERR_FILENO);
    }
    QuietStandardError(const QuietStandardError &) = delete;
    QuietStandardError &operator=(const QuietStandardError &) = delete;

private:
    int restore = -1;
};

// The options that describe a layout part by part.
const char *const LayoutParts[] = {"size", "layout", "bit-order", "controllers"};

QString dashed(const QStringList &names)
{
    QStringList options;
    for (const QString &name : names)
        options << QStringLiteral("--") + name;
    return options.join(QStringLiteral(", "));
}

// What --display and --size leave as they are: the parts given one by one.
bool applyLayoutParts(const QCommandLineParser &parser, const QString &command,
                      DisplayLayout &layout)
{
    auto refuse = [&](const QString &text) {
        usageError(command, text);
        return false;
    };
    if (parser.isSet(QStringLiteral("size"))) {
        const QString text = parser.value(QStringLiteral("size"));
        QSize size;
        if (!DisplayLayout::sizeFromText(text, size))
            return refuse(QStringLiteral("--size takes WxH, each side a whole number from 1 to "
                                         "%1, not '%2'")
                              .arg(DisplayLayout::MaxSide)
                              .arg(text));
        layout.width = size.width();
        layout.height = size.height();
    }
    if (!namedOption(parser, command, QStringLiteral("layout"), DisplayLayout::orientationNames(),
                     layout.orientation))
        return false;
    if (parser.isSet(QStringLiteral("layout")))
        layout.bitOrder = DisplayLayout::defaultBitOrder(layout.orientation);
    if (!namedOption(parser, command, QStringLiteral("bit-order"), DisplayLayout::bitOrderNames(),
                     layout.bitOrder))
        return false;
    return intOption(parser, command, QStringLiteral("controllers"), 1, DisplayLayout::MaxSide,
                     layout.controllers);
}

QString escaped(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        const uchar byte = uchar(c);
        text += byte < 0x20 || byte >= 0x7F ? QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'))
                                            : QString(QLatin1Char(c));
    }
    return text;
}

} // namespace

bool isStandardStream(const QString &path)
{
    return path == StandardStream;
}

QString inputName(const QString &path)
{
    return isStandardStream(path) ? QStringLiteral("standard input") : path;
}

QString outputName(const QString &path)
{
    return isStandardStream(path) ? QStringLiteral("standard output") : path;
}

void printError(const QString &file, const QString &message)
{
    (void)printText(stderr, program() + QStringLiteral(": ") + file + QStringLiteral(": ")
                                + message + QLatin1Char('\n'));
}

bool printOutput(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0)
        return true;
    FileAccess::Facts facts;
    facts.error = errno;
    printError(outputName(StandardStream), writeMessage(OutputFile::Status::Failed, facts));
    return false;
}

bool exactArguments(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QFile::encodeName(QFile::decodeName(bytes)) != bytes) {
            printError(escaped(bytes), QStringLiteral("not UTF-8: a name that cannot be used exactly"));
            return false;
        }
    }
    return true;
}

void addOutputOption(Parser &parser, const QString &description)
{
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")}, description,
                      QStringLiteral("OUT")});
}

bool outputPath(const QCommandLineParser &parser, const QString &command, QString &path)
{
    if (!parser.isSet(QStringLiteral("output"))) {
        usageError(command, QStringLiteral("missing -o OUT"));
        return false;
    }
    path = parser.value(QStringLiteral("output"));
    if (path.isEmpty()) {
        usageError(command, QStringLiteral("empty output name"));
        return false;
    }
    return true;
}

bool outputSparesInputs(const QString &output, const QStringList &inputs)
{
    for (const QString &input : inputs) {
        if (!isStandardStream(input) && !isStandardStream(output)
            && FileAccess::sameFile(output, input)) {
            printError(output, QStringLiteral("is also an input of this command, which writing "
                                              "would destroy; name another output"));
            return false;
        }
    }
    return true;
}

void addBinaryArgument(Parser &parser)
{
    parser.addPositionalArgument(QStringLiteral("binary"),
                                 QStringLiteral("Binary file; '-' for standard input."),
                                 QStringLiteral("IN.bin"));
}

void addLayoutOptions(Parser &parser)
{
    static const struct
    {
        const char *name;
        const char *description;
        const char *value; // nullptr for a flag
    } options[] = {
        {"row63", "128x64: left halves of all pages first, then the right halves (default).",
         nullptr},
        {"row127", "128x64: each page's 128 column bytes in a row.", nullptr},
        {"display", "The layout of a display by name, such as ssd1306 or gfx; 'vexlor-cli "
                    "displays' lists them.",
         "NAME"},
        {"size", "Display size in pixels, each side 1 to 1024 (default 128x64).", "WxH"},
        {"layout", "vertical: a byte is a column of 8 pixels, in pages (default); horizontal: a "
                   "byte is 8 pixels of a row.",
         "ORIENTATION"},
        {"bit-order", "lsb: bit 0 holds the top (vertical) or leftmost (horizontal) pixel of a "
                      "byte; msb: bit 7 does. Default lsb when vertical, msb when horizontal.",
         "ORDER"},
        {"controllers", "Vertical only: the columns split into N equal blocks, each block's pages "
                        "stored before the next block's (default 1).",
         "N"},
    };
    for (const auto &option : options)
        parser.addOption({QString::fromLatin1(option.name), QString::fromLatin1(option.description),
                          option.value ? QString::fromLatin1(option.value) : QString()});
    parser.addExclusive({QStringLiteral("row63"), QStringLiteral("row127")});
}

bool displayLayout(const QCommandLineParser &parser, const QString &command,
                   DisplayLayout &layout)
{
    auto refuse = [&](const QString &text) {
        usageError(command, text);
        return false;
    };
    const bool row63 = parser.isSet(QStringLiteral("row63"));
    const bool row127 = parser.isSet(QStringLiteral("row127"));
    const bool named = parser.isSet(QStringLiteral("display"));
    QStringList parts;
    for (const char *name : LayoutParts)
        if (parser.isSet(QString::fromLatin1(name)))
            parts << QString::fromLatin1(name);
    if ((row63 || row127) && (named || !parts.isEmpty()))
        return refuse(QStringLiteral("--%1 is a whole 128x64 layout and takes no %2")
                          .arg(row127 ? QStringLiteral("row127") : QStringLiteral("row63"),
                               dashed((named ? QStringList{QStringLiteral("display")}
                                             : QStringList())
                                      + parts)));
    if (!named && parts.isEmpty()) {
        layout = row127 ? DisplayLayout::row127() : DisplayLayout::row63();
        return true;
    }

    DisplayLayout result;
    if (named) {
        const QString name = parser.value(QStringLiteral("display"));
        const DisplayPreset *preset = DisplayPreset::find(name);
        if (!preset)
            return refuse(QStringLiteral("unknown display '%1'; 'vexlor-cli displays' lists them")
                              .arg(name));
        QStringList fixed = parts;
        fixed.removeAll(QStringLiteral("size"));
        if (!fixed.isEmpty())
            return refuse(QStringLiteral("--display %1 sets the layout itself; %2 cannot change "
                                         "it")
                              .arg(name, dashed(fixed)));
        if (preset->needsSize && !parser.isSet(QStringLiteral("size")))
            return refuse(QStringLiteral("--display %1 is for pictures of any size: it needs "
                                         "--size WxH")
                              .arg(name));
        result = preset->layout;
    }
    if (!applyLayoutParts(parser, command, result))
        return false;
    if (const QString problem = result.problem(); !problem.isEmpty())
        return refuse(problem);
    layout = result;
    return true;
}

void addCapacityOption(Parser &parser)
{
    parser.addOption({QStringLiteral("capacity"),
                      QStringLiteral("Refuse output larger than the memory that receives it: bytes, "
                                     "with K or M for 1024 or 1024*1024, or an EEPROM such as "
                                     "24c256 (default 16M)."),
                      QStringLiteral("SIZE")});
}

bool capacity(const QCommandLineParser &parser, const QString &command, qint64 &bytes)
{
    bytes = BinFile::MaxBytes;
    const QString text = parser.value(QStringLiteral("capacity"));
    if (!parser.isSet(QStringLiteral("capacity")) || BinFile::capacityFromText(text, bytes))
        return true;
    usageError(command, QStringLiteral("--capacity takes a number of bytes up to 16M, with K or "
                                       "M, or an EEPROM from %1 to %2, not '%3'")
                            .arg(BinFile::eepromNames().constFirst(),
                                 BinFile::eepromNames().constLast(), text));
    return false;
}

bool fitsCapacity(const QCommandLineParser &parser, const QString &output, qint64 bytes,
                  qint64 capacity, qint64 address)
{
    if (address + bytes <= capacity)
        return true;
    const QString given = parser.isSet(QStringLiteral("capacity"))
        ? QStringLiteral("--capacity ") + parser.value(QStringLiteral("capacity"))
        : QStringLiteral("a binary file");
    printError(outputName(output),
               QStringLiteral("%1 bytes%2 do not fit in the %3 bytes of %4; write fewer images or "
                              "give a larger --capacity")
                   .arg(bytes)
                   .arg(address > 0 ? QStringLiteral(" from address %1").arg(address) : QString())
                   .arg(capacity)
                   .arg(given));
    return false;
}

bool intOption(const QCommandLineParser &parser, const QString &command, const QString &name,
               int minimum, int maximum, int &value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int parsed = parser.value(name).toInt(&ok);
    if (!ok || parsed < minimum || parsed > maximum) {
        usageError(command, QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'")
                                .arg(name)
                                .arg(minimum)
                                .arg(maximum)
                                .arg(parser.value(name)));
        return false;
    }
    value = parsed;
    return true;
}

void refuseValue(const QString &command, const QString &name, const QStringList &names,
                 const QString &given)
{
    QString list = names.join(QStringLiteral(", "));
    if (names.size() > 1)
        list = names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ")
            + names.constLast();
    usageError(command, QStringLiteral("--%1 takes %2, not '%3'").arg(name, list, given));
}

void addPictureOptions(Parser &parser)
{
    parser.addOption({QStringLiteral("threshold"),
                      QStringLiteral("Grey value (0-256) below which a pixel is on; default 40, "
                                     "or 128 when dithering."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("invert"), QStringLiteral("Swap on and off pixels.")});
    parser.addOption({QStringLiteral("dither"),
                      QStringLiteral("none (default), floyd-steinberg, atkinson or bayer."),
                      QStringLiteral("METHOD")});
    parser.addOption({QStringLiteral("rotate"),
                      QStringLiteral("Turn the picture 90, 180 or 270 degrees clockwise first."),
                      QStringLiteral("DEGREES")});
    parser.addOption({QStringLiteral("flip"),
                      QStringLiteral("Then mirror it: h swaps left and right, v top and bottom."),
                      QStringLiteral("h|v")});
    parser.addOption({QStringLiteral("fit"),
                      QStringLiteral("Scale a picture of another size to the display's size (see "
                                     "--fit-mode).")});
    parser.addOption({QStringLiteral("fit-mode"),
                      QStringLiteral("contain (default): whole, centred on white; cover: filling "
                                     "the display, cropped to its centre; stretch: filling it, "
                                     "out of proportion. Implies --fit."),
                      QStringLiteral("MODE")});
    parser.addOption({QStringLiteral("alpha"),
                      QStringLiteral("Transparent parts: white (default) composites the picture "
                                     "onto white, so that they are off; black onto black; "
                                     "ignore uses their colour values as they are, as the "
                                     "window does."),
                      QStringLiteral("white|ignore|black")});
}

bool pictureOptions(const QCommandLineParser &parser, const QString &command,
                    PicturePreparation::Options &options)
{
    if (!namedOption(parser, command, QStringLiteral("dither"), PicturePreparation::ditherNames(),
                     options.dither)
        || !namedOption(parser, command, QStringLiteral("rotate"), PictureTransform::rotationNames(),
                        options.orientation.clockwiseQuarterTurns)
        || !namedOption(parser, command, QStringLiteral("flip"), PictureTransform::flipNames(),
                        options.orientation.flip)
        || !namedOption(parser, command, QStringLiteral("fit-mode"), PicturePreparation::fitModeNames(),
                        options.fitMode))
        return false;
    if (options.dither != PicturePreparation::Dither::None)
        options.threshold = PicturePreparation::DitherThreshold;
    if (!intOption(parser, command, QStringLiteral("threshold"), 0, 256, options.threshold))
        return false;
    options.invert = parser.isSet(QStringLiteral("invert"));
    // A picture file's invisible pixels are off unless asked otherwise.
    options.alpha = PicturePreparation::Alpha::White;
    if (!namedOption(parser, command, QStringLiteral("alpha"), PicturePreparation::alphaNames(),
                     options.alpha))
        return false;
    options.fit = parser.isSet(QStringLiteral("fit")) || parser.isSet(QStringLiteral("fit-mode"));
    return true;
}

void addImageOption(Parser &parser)
{
    parser.addOption({QStringLiteral("image"),
                      QStringLiteral("Image K of the binary file, from 0 (default 0)."),
                      QStringLiteral("K")});
}

bool imageIndex(const QCommandLineParser &parser, const QString &command, int &index)
{
    index = 0;
    return intOption(parser, command, QStringLiteral("image"), 0, int(BinFile::MaxBytes) - 1, index);
}

bool readBinary(const QString &path, const DisplayLayout &layout, QByteArray &contents)
{
    FileAccess::Facts facts;
    const Status status = BinFile::read(path, Streams::Allowed, contents, layout.imageBytes(),
                                        BinFile::MaxBytes, &facts);
    if (status == Status::Ok)
        return true;
    printError(inputName(path), readMessage(status, facts, {layout, BinFile::MaxBytes}));
    return false;
}

bool selectImage(const QString &path, const QByteArray &contents, const DisplayLayout &layout,
                 int index, BinaryImage &image)
{
    const int size = layout.imageBytes();
    const int count = int(contents.size() / size);
    if (index >= count) {
        printError(inputName(path), QStringLiteral("no image %1: the file holds %2 image(s), "
                                                   "from 0; choose another --image")
                                          .arg(index)
                                          .arg(count));
        return false;
    }
    image = BinaryImage(contents.mid(qsizetype(index) * size, size), layout);
    return true;
}

QList<BinaryImage> allImages(const QByteArray &contents, const DisplayLayout &layout)
{
    const int size = layout.imageBytes();
    QList<BinaryImage> images;
    for (qsizetype at = 0; at + size <= contents.size(); at += size)
        images << BinaryImage(contents.mid(at, size), layout);
    return images;
}

bool readFile(const QString &path, QByteArray &contents)
{
    FileAccess::Facts facts;
    const Status status = FileAccess::read(path, PictureFile::MaxBytes, Streams::Allowed, contents,
                                           &facts);
    if (status != Status::Ok)
        printError(inputName(path), readMessage(status, facts));
    return status == Status::Ok;
}

bool readPicture(const QString &path, const QSize &target,
                 const PicturePreparation::Options &options, int maxFrames,
                 PictureDecoder::Picture &picture)
{
    {
        const QuietStandardError quiet;
        picture = PictureDecoder::read(path, Streams::Allowed, target, options, maxFrames);
    }
    if (picture.status != Status::Ok)
        printError(inputName(path), pictureMessage(picture, target));
    return picture.status == Status::Ok;
}

PictureDecoder::Picture examinePicture(const QByteArray &data, const QSize &target)
{
    const QuietStandardError quiet;
    PictureDecoder::Picture picture = PictureDecoder::inspect(data);
    if (picture.status == Status::Ok && picture.size == target) {
        const PictureDecoder::Picture decoded = PictureDecoder::decode(data, 1);
        picture.status = decoded.status;
        picture.hasAlpha = picture.hasAlpha || decoded.hasAlpha;
    }
    return picture;
}

bool writeOutput(const QString &path, const QByteArray &data)
{
    if (isStandardStream(path))
        return printOutput(data);
    FileAccess::Facts facts;
    const OutputFile::Status status = OutputFile::write(path, data, Streams::Allowed, &facts);
    if (status != OutputFile::Status::Ok)
        printError(path, writeMessage(status, facts));
    return status == OutputFile::Status::Ok;
}

bool writeOutputs(const QList<OutputFile::Output> &outputs)
{
    FileAccess::Facts facts;
    const OutputFile::Status status = OutputFile::writeAll(outputs, &facts);
    if (status != OutputFile::Status::Ok)
        printError(facts.path, writeMessage(status, facts));
    return status == OutputFile::Status::Ok;
}

QString inFolder(const QString &path, const QString &name)
{
    return path.endsWith(QLatin1Char('/')) ? path + name : path;
}

QString numberedName(const QString &path, int index)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1)
        dot = path.size();
    return path.left(dot) + QStringLiteral("-%1").arg(index, 2, 10, QLatin1Char('0'))
        + path.mid(dot);
}

bool sourceNaming(const QCommandLineParser &parser, const QString &command, const QString &name,
                  SourceText::Options &options)
{
    const auto refuse = [&](const QString &text) {
        usageError(command, text);
        return false;
    };
    options.name =
        parser.isSet(QStringLiteral("name")) ? parser.value(QStringLiteral("name")) : name;
    if (!SourceText::isIdentifier(options.name))
        return refuse(QStringLiteral("--name takes an identifier: letters, digits and '_', not "
                                     "starting with a digit nor a keyword, not '%1'")
                          .arg(options.name));
    if (parser.isSet(QStringLiteral("target"))) {
        if (parser.value(QStringLiteral("target")) != QLatin1String("avr"))
            return refuse(QStringLiteral("--target takes avr, not '%1'")
                              .arg(parser.value(QStringLiteral("target"))));
        options.target = SourceText::Target::Avr;
    }
    options.attribute = parser.value(QStringLiteral("attribute"));
    if (!ExportText::isLatin1(options.attribute))
        return refuse(QStringLiteral("--attribute holds characters that ISO 8859-1 cannot "
                                     "represent"));
    options.banner = !parser.isSet(QStringLiteral("no-banner"));
    return true;
}

} // namespace Cli
