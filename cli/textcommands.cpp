#include "cli/cliio.h"
#include "cli/commands.h"
#include "cli/terminalpicture.h"

#include "core/binimage.h"
#include "core/displaypreset.h"
#include "output/exportfields.h"
#include "output/exporttext.h"
#include "output/intelhex.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>

namespace Commands {

namespace {

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

// Reads IN.bin, into `contents` too when given, and picks the image of
// --image; Continue when all went well.
int chosenImage(const QCommandLineParser &parser, const QString &command,
                const DisplayLayout &layout, QString &in, BinaryImage &image,
                QByteArray *contents = nullptr)
{
    int index = 0;
    if (!Cli::imageIndex(parser, command, index))
        return Cli::UsageError;
    in = parser.positionalArguments().constFirst();
    QByteArray file;
    if (!Cli::readBinary(in, layout, file) || !Cli::selectImage(in, file, layout, index, image))
        return Cli::Failure;
    if (contents)
        *contents = file;
    return Cli::Continue;
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
                   const DisplayLayout &layout, const QString &out)
{
    QStringList textOnly;
    for (const char *name : {"image", "all", "bytes-per-line"})
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
    if (!addressOption(parser, command, address))
        return Cli::UsageError;
    const QString in = parser.positionalArguments().constFirst();
    QByteArray contents;
    if (!Cli::readBinary(in, layout, contents))
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

// The text options of one image, or of every image with --all.
int exportSource(const QCommandLineParser &parser, const QString &command,
                 const DisplayLayout &layout, int preset, const QString &out)
{
    const bool all = parser.isSet(QStringLiteral("all"));
    if (parser.isSet(QStringLiteral("address")))
        return Cli::usageError(command, QStringLiteral("--address is for --format ihex only"));
    if (all && parser.isSet(QStringLiteral("image")))
        return Cli::usageError(command, QStringLiteral("--image and --all exclude each other"));
    if (all && parser.isSet(QStringLiteral("table-start")))
        return Cli::usageError(command, QStringLiteral("--all names each table itself; one "
                                                       "--table-start would give them all one "
                                                       "name"));
    ExportFields fields;
    ExportText::preset(preset, fields, layout.imageBytes());
    for (const FieldOption &option : fieldOptions) {
        const QString name = QString::fromLatin1(option.name);
        if (!parser.isSet(name))
            continue;
        const QString value = parser.value(name);
        if (!ExportText::isLatin1(value))
            return Cli::usageError(command, QStringLiteral("--%1 holds characters that ISO 8859-1 "
                                                           "cannot represent")
                                                .arg(name));
        fields.*option.field = value;
    }
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
    QString text;
    if (all) {
        QList<QByteArray> images;
        for (const BinaryImage &each : Cli::allImages(contents, layout))
            images << each.bytes();
        text = ExportText::generateAll(preset, fields, bytesPerLine, images);
    } else {
        text = ExportText::generate(fields, bytesPerLine, preset == ExportText::Assembler,
                                    image.bytes());
    }
    // The fields were checked above; this catches the banner's own text.
    if (!ExportText::isLatin1(text)) {
        Cli::printError(Cli::outputName(out),
                        QStringLiteral("the text holds characters that ISO 8859-1 cannot "
                                       "represent"));
        return Cli::Failure;
    }
    return Cli::writeOutput(out, ExportText::encode(text)) ? Cli::Success : Cli::Failure;
}

} // namespace

int exportText(const QStringList &arguments)
{
    const QString command = QStringLiteral("export");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a binary image as source text in ISO 8859-1: a table of dt lines for a\n"
        "PIC assembler, a C array or a custom layout; with --all, every image of the\n"
        "file. In every text, $tab stands for a TAB. --format ihex writes the whole\n"
        "file as Intel HEX instead, for an EEPROM programmer."));
    Cli::addBinaryArgument(parser);
    parser.addOption({QStringLiteral("format"),
                      QStringLiteral("asm, c (default), custom, or ihex: Intel HEX records of 16 "
                                     "bytes."),
                      QStringLiteral("FORMAT")});
    Cli::addImageOption(parser);
    parser.addOption({QStringLiteral("all"),
                      QStringLiteral("Every image, in tables named image0, image1, ...; in C "
                                     "followed by an array 'images' of pointers to them.")});
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
    Cli::addLayoutOptions(parser);
    Cli::addOutputOption(parser, QStringLiteral("Text file to write (default: standard output)."));
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
        return code;

    const QStringList formats{QStringLiteral("asm"), QStringLiteral("c"), QStringLiteral("custom"),
                              QStringLiteral("ihex")};
    const QString formatName = parser.isSet(QStringLiteral("format"))
        ? parser.value(QStringLiteral("format"))
        : QStringLiteral("c");
    const int preset = int(formats.indexOf(formatName));
    if (preset < 0)
        return Cli::usageError(command, QStringLiteral("unknown format '%1'").arg(formatName));
    DisplayLayout layout;
    if (!Cli::displayLayout(parser, command, layout))
        return Cli::UsageError;
    const QString out = parser.isSet(QStringLiteral("output"))
        ? parser.value(QStringLiteral("output"))
        : QStringLiteral("-");
    if (out.isEmpty())
        return Cli::usageError(command, QStringLiteral("empty output name"));
    return formats.at(preset) == QLatin1String("ihex")
        ? exportIntelHex(parser, command, layout, out)
        : exportSource(parser, command, layout, preset, out);
}

int hex(const QStringList &arguments)
{
    const QString command = QStringLiteral("hex");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the bytes of a binary image (1024 for 128x64) in stored order, 16 per\n"
        "line."));
    Cli::addBinaryArgument(parser);
    Cli::addImageOption(parser);
    Cli::addLayoutOptions(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
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
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws a binary image in the terminal, each character holding two pixels one\n"
        "above the other (32 lines of 128 characters for 128x64); on pixels are drawn,\n"
        "off pixels left blank."));
    Cli::addBinaryArgument(parser);
    Cli::addImageOption(parser);
    Cli::addLayoutOptions(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
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
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the displays that --display names, each with its layout and what it is."));
    if (const int code = Cli::parse(parser, command, arguments, 0, 0); code != Cli::Continue)
        return code;
    QString text;
    for (const DisplayPreset &preset : DisplayPreset::all()) {
        const QString size = preset.needsSize
            ? QStringLiteral("WxH from --size,")
            : QStringLiteral("%1x%2").arg(preset.layout.width).arg(preset.layout.height);
        text += QStringLiteral("%1 %2 %3\n%4%5\n")
                    .arg(QLatin1String(preset.name), -15)
                    .arg(size, preset.layout.arrangement())
                    .arg(QString(16, QLatin1Char(' ')), QLatin1String(preset.summary));
    }
    return Cli::printOutput(text.toUtf8()) ? Cli::Success : Cli::Failure;
}

} // namespace Commands
