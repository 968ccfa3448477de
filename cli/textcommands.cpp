#include "cli/cliio.h"
#include "cli/imageinput.h"
#include "cli/commands.h"
#include "cli/terminalpicture.h"

#include "core/binimage.h"
#include "core/displaypreset.h"
#include "core/picturepreparation.h"
#include "output/exportfields.h"
#include "output/exporttext.h"
#include "output/intelhex.h"
#include "output/sourcetext.h"

#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>

#include <iterator>

namespace Commands {

namespace {

constexpr int IntelHexFormat = -1;

const struct FieldOption
{
    const char *name;
    const char *description;
    QString ExportFields::*field;
} fieldOptions[] = {
    {"comment", "Prefix of the banner lines.", &ExportFields::comment},
    {"table-start", "Text written after the banner.", &ExportFields::tableStart},
    {"table-end", "Text written after the last data line.", &ExportFields::tableEnd},
    {"line-start", "Start of every data line.", &ExportFields::lineStart},
    {"hex-prefix", "Prefix of every number.", &ExportFields::hexPrefix},
    {"separator", "Text between numbers.", &ExportFields::separator},
};

// Reads IN, a binary file or a picture, into `contents` too when given,
// and picks the image of --image; Continue when all went well.
int chosenImage(const QCommandLineParser &parser, const QString &command,
                const DisplayLayout &layout, QString &in, BinaryImage &image,
                QByteArray *contents = nullptr)
{
    int index = 0;
    PicturePreparation::Options options;
    if (!Cli::imageIndex(parser, command, index)
        || !Cli::pictureOptions(parser, command, options))
        return Cli::UsageError;
    in = parser.positionalArguments().constFirst();
    QByteArray file;
    if (!Cli::readImages(in, layout, options, file)
        || !Cli::selectImage(in, file, layout, index, image))
        return Cli::Failure;
    if (contents)
        *contents = file;
    return Cli::Continue;
}

void addInputArgument(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("input"),
                                 QStringLiteral("Binary file, or a picture converted as to-bin "
                                                "does; '-' for standard input."),
                                 QStringLiteral("IN"));
}

// Decimal, or hexadecimal after "0x": a leading zero must not turn a
// number into octal, nor may a sign or a space slip through.
bool addressOption(const QCommandLineParser &parser, const QString &command, quint32 &address)
{
    if (!parser.isSet(QStringLiteral("address")))
        return true;
    static const QRegularExpression pattern(
        QStringLiteral("^(?:0[xX]([0-9A-Fa-f]{1,8})|([0-9]{1,10}))$"));
    const QString text = parser.value(QStringLiteral("address"));
    const QRegularExpressionMatch match = pattern.match(text);
    const bool hex = match.hasMatch() && !match.captured(1).isEmpty();
    const qulonglong value = match.hasMatch()
        ? (hex ? match.captured(1).toULongLong(nullptr, 16) : match.captured(2).toULongLong())
        : 0;
    if (!match.hasMatch() || value > 0xFFFFFFFFull) {
        Cli::usageError(command, QStringLiteral("--address takes a number from 0 to 0xFFFFFFFF, "
                                                "decimal or 0x hexadecimal, not '%1'")
                                     .arg(text));
        return false;
    }
    address = quint32(value);
    return true;
}

int exportIntelHex(const QCommandLineParser &parser, const QString &command,
                   const DisplayLayout &layout, const QString &out, qint64 capacity)
{
    QStringList textOnly;
    for (const char *name : {"image", "all", "bytes-per-line", "name", "header", "target",
                             "attribute", "no-banner"})
        if (parser.isSet(QString::fromLatin1(name)))
            textOnly << QStringLiteral("--") + QLatin1String(name);
    for (const FieldOption &option : fieldOptions)
        if (parser.isSet(QString::fromLatin1(option.name)))
            textOnly << QStringLiteral("--") + QLatin1String(option.name);
    if (!textOnly.isEmpty())
        return Cli::usageError(command, QStringLiteral("--format ihex writes the whole file as it "
                                                       "is, so %1 cannot apply")
                                            .arg(textOnly.join(QStringLiteral(", "))));
    quint32 address = 0;
    PicturePreparation::Options options;
    if (!addressOption(parser, command, address)
        || !Cli::pictureOptions(parser, command, options))
        return Cli::UsageError;
    const QString in = parser.positionalArguments().constFirst();
    QByteArray contents;
    if (!Cli::readImages(in, layout, options, contents))
        return Cli::Failure;
    // The whole 32-bit address space is the default: flash is often mapped high.
    if (parser.isSet(QStringLiteral("capacity"))
        && !Cli::fitsCapacity(parser, out, contents.size(), capacity, address))
        return Cli::Failure;
    if (!IntelHex::fits(contents.size(), address))
        return Cli::usageError(command, QStringLiteral("from --address %1 the %2 bytes of %3 run "
                                                       "past the last 32-bit address")
                                            .arg(parser.value(QStringLiteral("address")))
                                            .arg(contents.size())
                                            .arg(Cli::inputName(in)));
    return Cli::writeOutput(out, IntelHex::encode(contents, address)) ? Cli::Success
                                                                       : Cli::Failure;
}

using SourceText::Language;

const struct Format
{
    const char *name;
    Language language;
    // The window's preset, or -1 for a format the window does not write.
    int preset;
} formats[] = {
    {"asm", Language::Assembler, ExportText::Assembler},
    {"c", Language::C, ExportText::C},
    {"custom", Language::Custom, ExportText::Custom},
    {"python", Language::Python, -1},
    {"pic", Language::Pic, -1},
    {"pic18", Language::Pic18, -1},
};

// Each source format by its place in `formats`, then Intel HEX.
const QList<Named<int>> &formatNames()
{
    static const QList<Named<int>> names = [] {
        QList<Named<int>> list;
        for (int i = 0; i < int(std::size(formats)); ++i)
            list.append({formats[i].name, i});
        list.append({"ihex", IntelHexFormat});
        return list;
    }();
    return names;
}

// Any of them, or a tag such as $name in a delimiter, asks for source ready
// for a firmware build; without them the text stays the window's.
const char *const firmwareOptions[] = {"name", "header", "target", "attribute", "no-banner"};

bool firmwareWanted(const QCommandLineParser &parser, const Format &format)
{
    if (format.preset < 0)
        return true;
    for (const char *name : firmwareOptions)
        if (parser.isSet(QString::fromLatin1(name)))
            return true;
    for (const FieldOption &option : fieldOptions)
        if (SourceText::hasTags(parser.value(QString::fromLatin1(option.name))))
            return true;
    return false;
}

// The format's own fields with the ones given on the command line instead.
bool givenFields(const QCommandLineParser &parser, const QString &command, ExportFields &fields)
{
    for (const FieldOption &option : fieldOptions) {
        const QString name = QString::fromLatin1(option.name);
        if (!parser.isSet(name))
            continue;
        const QString value = parser.value(name);
        if (!ExportText::isLatin1(value)) {
            Cli::usageError(command, QStringLiteral("--%1 holds characters that ISO 8859-1 "
                                                    "cannot represent")
                                         .arg(name));
            return false;
        }
        fields.*option.field = value;
    }
    return true;
}

int writeText(const QString &out, const QString &text, const QString &header = QString(),
              const QString &headerText = QString())
{
    // The fields were checked; this catches the banner's own text.
    if (!ExportText::isLatin1(text) || !ExportText::isLatin1(headerText)) {
        Cli::printError(Cli::outputName(out),
                        QStringLiteral("the text holds characters that ISO 8859-1 cannot "
                                       "represent"));
        return Cli::Failure;
    }
    if (header.isEmpty())
        return Cli::writeOutput(out, ExportText::encode(text)) ? Cli::Success : Cli::Failure;
    return Cli::writeOutputs({{out, ExportText::encode(text)},
                              {header, ExportText::encode(headerText)}})
        ? Cli::Success
        : Cli::Failure;
}

// The options of firmware source, checked against each other and the format.
bool sourceOptions(const QCommandLineParser &parser, const QString &command,
                   const Format &format, const QString &out, SourceText::Options &options)
{
    auto refuse = [&](const QString &text) {
        Cli::usageError(command, text);
        return false;
    };
    const bool c = format.language == Language::C;
    for (const char *name : {"header", "target", "attribute"})
        if (!c && parser.isSet(QString::fromLatin1(name)))
            return refuse(QStringLiteral("--%1 is for --format c only").arg(QLatin1String(name)));
    if (c && (parser.isSet(QStringLiteral("table-start"))
              || parser.isSet(QStringLiteral("table-end"))))
        return refuse(QStringLiteral("the C source declares each table itself, so --table-start "
                                     "and --table-end cannot apply; --attribute adds to the "
                                     "declaration"));
    options.frames = parser.isSet(QStringLiteral("all"));
    if (options.frames && parser.isSet(QStringLiteral("table-start"))
        && !parser.value(QStringLiteral("table-start")).contains(QLatin1String("$name")))
        return refuse(QStringLiteral("--all names each table itself; a --table-start without "
                                     "$name would give them all one name"));
    if (!Cli::sourceNaming(parser, command, SourceText::identifierFor(out), options))
        return false;
    if (parser.isSet(QStringLiteral("header"))) {
        const QString header = parser.value(QStringLiteral("header"));
        if (header.isEmpty() || Cli::isStandardStream(header) || Cli::isStandardStream(out))
            return refuse(QStringLiteral("--header writes two files together: it needs a file "
                                         "name and -o FILE, not standard output"));
        if (header == out)
            return refuse(QStringLiteral("--header and -o name the same file"));
        options.headerName = QFileInfo(header).fileName();
    }
    return Cli::intOption(parser, command, QStringLiteral("bytes-per-line"),
                          ExportText::MinBytesPerLine, ExportText::MaxBytesPerLine,
                          options.bytesPerLine);
}

QList<QByteArray> allImageBytes(const QByteArray &contents, const DisplayLayout &layout)
{
    QList<QByteArray> images;
    for (const BinaryImage &each : Cli::allImages(contents, layout))
        images << each.bytes();
    return images;
}

int exportFirmwareSource(const QCommandLineParser &parser, const QString &command,
                         const DisplayLayout &layout, const Format &format, const QString &out)
{
    SourceText::Options options;
    ExportFields fields = SourceText::fields(format.language);
    if (!sourceOptions(parser, command, format, out, options)
        || !givenFields(parser, command, fields))
        return Cli::UsageError;
    if (!SourceText::canHold(format.language, layout))
        return Cli::usageError(command,
                               QStringLiteral("framebuf cannot draw %1: give the layout of "
                                              "--display framebuf-vlsb, framebuf-hlsb or "
                                              "framebuf-hmsb")
                                   .arg(layout.description()));
    QString in;
    BinaryImage image;
    QByteArray contents;
    if (const int code = chosenImage(parser, command, layout, in, image, &contents);
        code != Cli::Continue)
        return code;
    const QList<QByteArray> images =
        options.frames ? allImageBytes(contents, layout) : QList<QByteArray>{image.bytes()};
    const QString text = SourceText::source(format.language, fields, options, layout, images);
    if (options.headerName.isEmpty())
        return writeText(out, text);
    const QString header = parser.value(QStringLiteral("header"));
    return writeText(out, text, header,
                     SourceText::header(fields, options, header, layout, int(images.size())));
}

// The window's text of one image, or of every image with --all.
int exportWindowText(const QCommandLineParser &parser, const QString &command,
                     const DisplayLayout &layout, int preset, const QString &out)
{
    const bool all = parser.isSet(QStringLiteral("all"));
    if (all && parser.isSet(QStringLiteral("table-start")))
        return Cli::usageError(command, QStringLiteral("--all names each table itself; one "
                                                       "--table-start would give them all one "
                                                       "name"));
    ExportFields fields;
    ExportText::preset(preset, fields, layout.imageBytes());
    if (!givenFields(parser, command, fields))
        return Cli::UsageError;
    int bytesPerLine = ExportText::DefaultBytesPerLine;
    if (!Cli::intOption(parser, command, QStringLiteral("bytes-per-line"),
                        ExportText::MinBytesPerLine, ExportText::MaxBytesPerLine, bytesPerLine))
        return Cli::UsageError;

    // Image 0 must exist with --all too: C has no array of no pointers.
    QString in;
    BinaryImage image;
    QByteArray contents;
    if (const int code = chosenImage(parser, command, layout, in, image, &contents);
        code != Cli::Continue)
        return code;
    if (!all)
        return writeText(out, ExportText::generate(fields, bytesPerLine,
                                                   preset == ExportText::Assembler,
                                                   image.bytes()));
    return writeText(out, ExportText::generateAll(preset, fields, bytesPerLine,
                                                  allImageBytes(contents, layout)));
}

int exportSource(const QCommandLineParser &parser, const QString &command,
                 const DisplayLayout &layout, const Format &format, const QString &out)
{
    for (const char *name : {"address", "capacity"})
        if (parser.isSet(QString::fromLatin1(name)))
            return Cli::usageError(command, QStringLiteral("--%1 is for --format ihex only")
                                                .arg(QLatin1String(name)));
    return firmwareWanted(parser, format)
        ? exportFirmwareSource(parser, command, layout, format, out)
        : exportWindowText(parser, command, layout, format.preset, out);
}

void addFirmwareOptions(QCommandLineParser &parser)
{
    static const struct
    {
        const char *name;
        const char *description;
        const char *value;
    } options[] = {
        {"name", "Name of the table, NAME_0, NAME_1, ... with --all (default: OUT's name made "
                 "an identifier, or 'image'). Also names NAME_WIDTH and NAME_HEIGHT.",
         "NAME"},
        {"header", "With --format c: also write FILE.h with an include guard and the "
                   "declarations, which the source then includes; both files or neither.",
         "FILE.h"},
        {"target", "With --format c: 'avr' puts the tables, and with --all their pointers, "
                   "in flash with PROGMEM.",
         "TARGET"},
        {"attribute", "With --format c: TEXT after each table's declarator, such as a section "
                      "attribute.",
         "TEXT"},
        {"no-banner", "Leave out the banner.", nullptr},
    };
    for (const auto &option : options)
        parser.addOption({QString::fromLatin1(option.name), QString::fromLatin1(option.description),
                          option.value ? QString::fromLatin1(option.value) : QString()});
}

} // namespace

int exportText(const QStringList &arguments)
{
    const QString command = QStringLiteral("export");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Writes a binary image, or a picture converted as to-bin does, as source text in\n"
        "ISO 8859-1: a table of dt lines for a PIC assembler, a C array or a custom\n"
        "layout; with --all, every image of the file. In every text, $tab stands for a\n"
        "TAB, and $name, $width, $height, $bytes and $count for the table's name, the\n"
        "size, the bytes of an image and the number of images. --name, --header,\n"
        "--target, --attribute, --no-banner and the formats python, pic and pic18 write\n"
        "source that a firmware build takes as it is: named tables with their size,\n"
        "declarations and no blanks at line ends. --format ihex writes the whole file as\n"
        "Intel HEX instead, for an EEPROM programmer."));
    addInputArgument(parser);
    parser.addOption({QStringLiteral("format"),
                      QStringLiteral("asm, c (default), custom, python (MicroPython bytes and "
                                     "framebuf constants), pic (dt, directives indented for "
                                     "gpasm), pic18 (db, indented), or ihex: Intel HEX records "
                                     "of 16 bytes."),
                      QStringLiteral("FORMAT")});
    Cli::addImageOption(parser);
    parser.addOption({QStringLiteral("all"),
                      QStringLiteral("Every image, in tables named image0, image1, ...; in C "
                                     "followed by an array 'images' of pointers to them. For "
                                     "firmware source: NAME_0, NAME_1, ..., NAME_frames and "
                                     "NAME_FRAMES.")});
    parser.addExclusive({QStringLiteral("image"), QStringLiteral("all")});
    parser.addOption({QStringLiteral("address"),
                      QStringLiteral("With --format ihex: the address of the first byte, decimal "
                                     "or 0x hexadecimal (default 0)."),
                      QStringLiteral("A")});
    parser.addOption({QStringLiteral("bytes-per-line"),
                      QStringLiteral("Numbers per data line, 1 to 96 (default 16)."),
                      QStringLiteral("N")});
    for (const FieldOption &option : fieldOptions)
        parser.addOption({QString::fromLatin1(option.name),
                          QString::fromLatin1(option.description)
                              + QStringLiteral(" Replaces the format's own."),
                          QStringLiteral("T")});
    addFirmwareOptions(parser);
    Cli::addLayoutOptions(parser);
    Cli::addCapacityOption(parser);
    Cli::addPictureOptions(parser);
    Cli::addOutputOption(parser, QStringLiteral("Text file to write (default: standard output)."));
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;

    int chosen = 1; // c
    DisplayLayout layout;
    qint64 capacity = 0;
    if (!Cli::namedOption(parser, command, QStringLiteral("format"), formatNames(), chosen)
        || !Cli::displayLayout(parser, command, layout) || !Cli::capacity(parser, command, capacity))
        return Cli::UsageError;
    const QString out = parser.isSet(QStringLiteral("output"))
        ? parser.value(QStringLiteral("output"))
        : QStringLiteral("-");
    if (out.isEmpty())
        return Cli::usageError(command, QStringLiteral("empty output name"));
    if (!Cli::outputSparesInputs(out, parser.positionalArguments())
        || (parser.isSet(QStringLiteral("header"))
            && !Cli::outputSparesInputs(parser.value(QStringLiteral("header")),
                                        parser.positionalArguments())))
        return Cli::Failure;
    return chosen == IntelHexFormat
        ? exportIntelHex(parser, command, layout, out, capacity)
        : exportSource(parser, command, layout, formats[chosen], out);
}

int hex(const QStringList &arguments)
{
    const QString command = QStringLiteral("hex");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Prints the bytes of a binary image (1024 for 128x64), or of a picture\n"
        "converted as to-bin does, in stored order, 16 per line."));
    addInputArgument(parser);
    Cli::addImageOption(parser);
    Cli::addLayoutOptions(parser);
    Cli::addPictureOptions(parser);
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;
    DisplayLayout layout;
    if (!Cli::displayLayout(parser, command, layout))
        return Cli::UsageError;
    QString in;
    BinaryImage image;
    if (const int code = chosenImage(parser, command, layout, in, image); code != Cli::Continue)
        return code;
    return Cli::writeOutput(QStringLiteral("-"),
                            (BinImage::hexText(image.bytes()) + QLatin1Char('\n')).toLatin1())
        ? Cli::Success
        : Cli::Failure;
}

int show(const QStringList &arguments)
{
    const QString command = QStringLiteral("show");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Draws a binary image, or a picture converted as to-bin does, in the terminal,\n"
        "each character holding two pixels one above the other (32 lines of 128\n"
        "characters for 128x64); on pixels are drawn, off pixels left blank."));
    addInputArgument(parser);
    Cli::addImageOption(parser);
    Cli::addLayoutOptions(parser);
    Cli::addPictureOptions(parser);
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;
    DisplayLayout layout;
    if (!Cli::displayLayout(parser, command, layout))
        return Cli::UsageError;
    QString in;
    BinaryImage image;
    if (const int code = chosenImage(parser, command, layout, in, image); code != Cli::Continue)
        return code;

    const QString text = Cli::halfBlocks(BinImage::toPicture(image, 0xFFFFFFFFu));
    return Cli::writeOutput(QStringLiteral("-"), text.toUtf8()) ? Cli::Success : Cli::Failure;
}

int displays(const QStringList &arguments)
{
    const QString command = QStringLiteral("displays");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Lists the displays that --display names, each with its layout and what it is."));
    if (const int code = parser.parse(arguments, 0, 0); code != Cli::Continue)
        return code;
    QString text;
    for (const DisplayPreset &preset : DisplayPreset::all()) {
        const QString size = preset.needsSize
            ? QStringLiteral("WxH from --size,")
            : QStringLiteral("%1x%2").arg(preset.layout.width).arg(preset.layout.height);
        const QString indent(16, QLatin1Char(' '));
        text += QStringLiteral("%1 %2 %3\n%4%5\n%4fits: %6\n")
                    .arg(QLatin1String(preset.name), -15)
                    .arg(size, preset.layout.arrangement())
                    .arg(indent, QLatin1String(preset.summary), QLatin1String(preset.fits));
    }
    return Cli::printOutput(text.toUtf8()) ? Cli::Success : Cli::Failure;
}

} // namespace Commands
