#include "cli/cliio.h"

#include "core/binfile.h"
#include "core/binimage.h"
#include "core/displaypreset.h"
#include "core/picturedecoder.h"
#include "core/picturefile.h"
#include "core/picturepreparation.h"
#include "core/picturetransform.h"

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

using FileAccess::Caller;
using FileAccess::Status;

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
    if (parser.isSet(QStringLiteral("layout"))) {
        const QString text = parser.value(QStringLiteral("layout"));
        if (!DisplayLayout::orientationFromName(text, layout.orientation))
            return refuse(QStringLiteral("--layout takes vertical or horizontal, not '%1'")
                              .arg(text));
        layout.bitOrder = DisplayLayout::defaultBitOrder(layout.orientation);
    }
    if (parser.isSet(QStringLiteral("bit-order"))) {
        const QString text = parser.value(QStringLiteral("bit-order"));
        if (!DisplayLayout::bitOrderFromName(text, layout.bitOrder))
            return refuse(QStringLiteral("--bit-order takes lsb or msb, not '%1'").arg(text));
    }
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

QString message(FileAccess::Status status, const QSize &size)
{
    return FileAccess::message(status, Caller::CommandLine, size);
}

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

int usageError(const QString &command, const QString &message)
{
    const QString prefix = command.isEmpty() ? program() : program() + QLatin1Char(' ') + command;
    (void)printText(stderr, prefix + QStringLiteral(": ") + message + QStringLiteral("\nTry '")
                                + prefix + QStringLiteral(" --help'.\n"));
    return UsageError;
}

bool printOutput(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0)
        return true;
    printError(outputName(StandardStream), OutputFile::message(OutputFile::Status::Failed,
                                                               Caller::CommandLine));
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

int parse(QCommandLineParser &parser, const QString &command, const QStringList &arguments,
          int minPositional, int maxPositional)
{
    // Not addHelpOption(): its --help-all would offer Qt options that no command has.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QStringLiteral("Displays help on commandline options.")});
    if (!parser.parse(arguments))
        return usageError(command, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QString text = parser.helpText();
        // The parser names the program as invoked and knows nothing of commands.
        const QString invoked = QStringLiteral("Usage: ") + arguments.constFirst();
        if (text.startsWith(invoked))
            text.replace(0, invoked.size(), QStringLiteral("Usage: ") + program() + QLatin1Char(' ') + command);
        return printOutput(text.toUtf8()) ? Success : Failure;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minPositional)
        return usageError(command, QStringLiteral("missing argument"));
    if (maxPositional >= 0 && count > maxPositional)
        return usageError(command, QStringLiteral("unexpected argument '%1'")
                                       .arg(parser.positionalArguments().at(maxPositional)));
    return Continue;
}

void addOutputOption(QCommandLineParser &parser, const QString &description)
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

void addBinaryArgument(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("binary"),
                                 QStringLiteral("Binary file; '-' for standard input."),
                                 QStringLiteral("IN.bin"));
}

void addLayoutOptions(QCommandLineParser &parser)
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
    if (row63 && row127)
        return refuse(QStringLiteral("--row63 and --row127 exclude each other"));
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
            return refuse(QStringLiteral("unknown display '%1' ('vexlor-cli displays' lists "
                                         "them)")
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

void addPictureOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("rotate"),
                      QStringLiteral("Turn the picture 90, 180 or 270 degrees clockwise first."),
                      QStringLiteral("DEGREES")});
    parser.addOption({QStringLiteral("flip"),
                      QStringLiteral("Then mirror it: h swaps left and right, v top and bottom."),
                      QStringLiteral("h|v")});
    parser.addOption({QStringLiteral("fit"),
                      QStringLiteral("Scale a picture of another size into 128x64 (see "
                                     "--fit-mode).")});
    parser.addOption({QStringLiteral("fit-mode"),
                      QStringLiteral("contain (default): whole, centred on white; cover: filling "
                                     "the display, cropped to its centre; stretch: filling it, "
                                     "out of proportion. Implies --fit."),
                      QStringLiteral("MODE")});
}

bool pictureOptions(const QCommandLineParser &parser, const QString &command,
                    PicturePreparation::Options &options)
{
    const QString rotate = parser.value(QStringLiteral("rotate"));
    const QString flip = parser.value(QStringLiteral("flip"));
    const QString mode = parser.value(QStringLiteral("fit-mode"));
    if (parser.isSet(QStringLiteral("rotate"))
        && !PictureTransform::rotationFromName(rotate, options.orientation.clockwiseQuarterTurns)) {
        usageError(command, QStringLiteral("--rotate takes 90, 180 or 270, not '%1'").arg(rotate));
        return false;
    }
    if (parser.isSet(QStringLiteral("flip"))
        && !PictureTransform::flipFromName(flip, options.orientation.flip)) {
        usageError(command, QStringLiteral("--flip takes h or v, not '%1'").arg(flip));
        return false;
    }
    if (parser.isSet(QStringLiteral("fit-mode"))
        && !PicturePreparation::fitModeFromName(mode, options.fitMode)) {
        usageError(command,
                   QStringLiteral("--fit-mode takes contain, cover or stretch, not '%1'").arg(mode));
        return false;
    }
    options.fit = parser.isSet(QStringLiteral("fit")) || parser.isSet(QStringLiteral("fit-mode"));
    return true;
}

void addImageOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("image"),
                      QStringLiteral("Image K of the binary file, from 0 (default 0)."),
                      QStringLiteral("K")});
}

bool imageIndex(const QCommandLineParser &parser, const QString &command, int &index)
{
    index = 0;
    return intOption(parser, command, QStringLiteral("image"), 0, BinImage::MaxImages - 1, index);
}

bool readBinary(const QString &path, const DisplayLayout &layout, QByteArray &contents)
{
    const Status status = BinFile::read(path, Caller::CommandLine, contents, layout.imageBytes());
    if (status == Status::Ok)
        return true;
    printError(inputName(path),
               status == Status::BadLength ? binaryLengthMessage(layout) : message(status));
    return false;
}

QString binaryLengthMessage(const DisplayLayout &layout)
{
    QString text = message(Status::BadLength);
    // The plain message stays as it always was for the window's own format.
    if (layout != DisplayLayout::row63())
        text += QStringLiteral(" (a file holds whole images of %1 bytes, at most %2, for %3)")
                    .arg(layout.imageBytes())
                    .arg(BinImage::MaxImages)
                    .arg(layout.description());
    return text;
}

bool selectImage(const QString &path, const QByteArray &contents, const DisplayLayout &layout,
                 int index, BinaryImage &image)
{
    const int size = layout.imageBytes();
    const int count = int(contents.size() / size);
    if (index >= count) {
        printError(inputName(path), QStringLiteral("no image %1: the file holds %2 image(s)")
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
    const Status status = FileAccess::read(path, PictureFile::MaxBytes, Caller::CommandLine, contents);
    if (status != Status::Ok)
        printError(inputName(path), message(status));
    return status == Status::Ok;
}

bool readPicture(const QString &path, const QSize &target,
                 const PicturePreparation::Options &options, int maxFrames,
                 PictureDecoder::Picture &picture)
{
    {
        const QuietStandardError quiet;
        picture = PictureDecoder::read(path, target, options, maxFrames);
    }
    if (picture.status != Status::Ok)
        printError(inputName(path), message(picture.status, target));
    return picture.status == Status::Ok;
}

PictureDecoder::Picture examinePicture(const QByteArray &data, const QSize &target)
{
    const QuietStandardError quiet;
    PictureDecoder::Picture picture = PictureDecoder::inspect(data);
    if (picture.status == Status::Ok && picture.size == target)
        picture.status = PictureDecoder::decode(data, 1).status;
    return picture;
}

bool writeOutput(const QString &path, const QByteArray &data)
{
    if (isStandardStream(path))
        return printOutput(data);
    const OutputFile::Status status = OutputFile::write(path, data, Caller::CommandLine);
    if (status != OutputFile::Status::Ok)
        printError(path, OutputFile::message(status, Caller::CommandLine));
    return status == OutputFile::Status::Ok;
}

bool writeOutputs(const QList<OutputFile::Output> &outputs)
{
    QString failed;
    const OutputFile::Status status = OutputFile::writeAll(outputs, &failed);
    if (status != OutputFile::Status::Ok)
        printError(failed, OutputFile::message(status, Caller::CommandLine));
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

} // namespace Cli
