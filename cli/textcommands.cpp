#include "cli/cliio.h"
#include "cli/commands.h"

#include "core/binimage.h"
#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QImage>
#include <QStringList>

namespace Commands {

namespace {

// Reads IN.bin and picks the image of --image; Continue when all went well.
int chosenImage(const QCommandLineParser &parser, const QString &command, QString &in,
                QByteArray &image)
{
    int index = 0;
    if (!Cli::imageIndex(parser, command, index))
        return Cli::UsageError;
    in = parser.positionalArguments().constFirst();
    QByteArray contents;
    if (!Cli::readBinary(in, contents) || !Cli::selectImage(in, contents, index, image))
        return Cli::Failure;
    return Cli::Continue;
}

const uchar *bytes(const QByteArray &image)
{
    return reinterpret_cast<const uchar *>(image.constData());
}

} // namespace

int exportText(const QStringList &arguments)
{
    const QString command = QStringLiteral("export");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes one binary image as source text in ISO 8859-1: a table of dt lines for a\n"
        "PIC assembler, a C array or a custom layout. In every text, $tab stands for a TAB."));
    Cli::addBinaryArgument(parser);
    parser.addOption({QStringLiteral("format"), QStringLiteral("asm, c (default) or custom."),
                      QStringLiteral("FORMAT")});
    Cli::addImageOption(parser);
    parser.addOption({QStringLiteral("bytes-per-line"),
                      QStringLiteral("Numbers per data line, 1 to 96 (default 16)."),
                      QStringLiteral("N")});
    const struct
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
    for (const auto &option : fieldOptions)
        parser.addOption({QString::fromLatin1(option.name),
                          QString::fromLatin1(option.description)
                              + QStringLiteral(" Replaces the format's own."),
                          QStringLiteral("T")});
    Cli::addOutputOption(parser, QStringLiteral("Text file to write (default: standard output)."));
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
        return code;

    const QStringList formats{QStringLiteral("asm"), QStringLiteral("c"), QStringLiteral("custom")};
    const QString formatName = parser.isSet(QStringLiteral("format"))
        ? parser.value(QStringLiteral("format"))
        : QStringLiteral("c");
    const int preset = int(formats.indexOf(formatName));
    if (preset < 0)
        return Cli::usageError(command, QStringLiteral("unknown format '%1'").arg(formatName));
    ExportFields fields;
    ExportText::preset(preset, fields);
    for (const auto &option : fieldOptions) {
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
    const QString out = parser.isSet(QStringLiteral("output"))
        ? parser.value(QStringLiteral("output"))
        : QStringLiteral("-");
    if (out.isEmpty())
        return Cli::usageError(command, QStringLiteral("empty output name"));

    QString in;
    QByteArray image;
    if (const int code = chosenImage(parser, command, in, image); code != Cli::Continue)
        return code;
    const QString text = ExportText::generate(fields, bytesPerLine, preset == ExportText::Assembler,
                                              bytes(image));
    // The fields were checked above; this catches the banner's own text.
    if (!ExportText::isLatin1(text)) {
        Cli::printError(Cli::outputName(out),
                        QStringLiteral("the text holds characters that ISO 8859-1 cannot "
                                       "represent"));
        return Cli::Failure;
    }
    return Cli::writeOutput(out, ExportText::encode(text)) ? Cli::Success : Cli::Failure;
}

int hex(const QStringList &arguments)
{
    const QString command = QStringLiteral("hex");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the 1024 bytes of a binary image in stored order, 16 per line."));
    Cli::addBinaryArgument(parser);
    Cli::addImageOption(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
        return code;
    QString in;
    QByteArray image;
    if (const int code = chosenImage(parser, command, in, image); code != Cli::Continue)
        return code;
    return Cli::writeOutput(QStringLiteral("-"), (BinImage::hexText(bytes(image)) + QLatin1Char('\n')).toLatin1())
        ? Cli::Success
        : Cli::Failure;
}

int show(const QStringList &arguments)
{
    const QString command = QStringLiteral("show");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws a binary image in the terminal: 32 lines of 128 characters, each holding\n"
        "two pixels one above the other; on pixels are drawn, off pixels left blank."));
    Cli::addBinaryArgument(parser);
    Cli::addImageOption(parser);
    Cli::addRowOptions(parser);
    if (const int code = Cli::parse(parser, command, arguments, 1, 1); code != Cli::Continue)
        return code;
    BinImage::RowOrganisation organisation;
    if (!Cli::rowOrganisation(parser, command, organisation))
        return Cli::UsageError;
    QString in;
    QByteArray image;
    if (const int code = chosenImage(parser, command, in, image); code != Cli::Continue)
        return code;

    // Colour index 0 is black, an on pixel.
    const QImage picture = BinImage::toPicture(bytes(image), 0xFFFFFFFFu, organisation);
    static const char16_t cells[4] = {u' ', u'\u2580', u'\u2584', u'\u2588'};
    QString text;
    text.reserve((BinImage::Width + 1) * BinImage::Height / 2);
    for (int y = 0; y < BinImage::Height; y += 2) {
        const uchar *top = picture.constScanLine(y);
        const uchar *bottom = picture.constScanLine(y + 1);
        for (int x = 0; x < BinImage::Width; ++x)
            text += QChar(cells[(top[x] == 0 ? 1 : 0) | (bottom[x] == 0 ? 2 : 0)]);
        text += QLatin1Char('\n');
    }
    return Cli::writeOutput(QStringLiteral("-"), text.toUtf8()) ? Cli::Success : Cli::Failure;
}

} // namespace Commands
