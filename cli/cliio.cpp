#include "cli/cliio.h"

#include "core/atomicwrite.h"
#include "core/binfile.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace Cli {

namespace {

const QString StandardStream = QStringLiteral("-");

void printText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString program()
{
    return QCoreApplication::applicationName();
}

// Reads at most `limit` + 1 bytes, so that an overlong input shows as such.
bool readStandardInput(QByteArray &contents, qint64 limit)
{
    QByteArray data;
    char buffer[65536];
    while (limit < 0 || data.size() <= limit) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
        data.append(buffer, qsizetype(got));
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(stdin))
        return false;
    contents = data;
    return true;
}

} // namespace

QString notFound()
{
    return QStringLiteral("Fichier Introuvable !");
}

QString badFormat()
{
    return QStringLiteral("Mauvais Format");
}

QString unknownPictureFormat()
{
    return QStringLiteral("Format d'image inconnu (Bitmap ou PNG uniquement)");
}

QString wrongSize()
{
    return QStringLiteral("Taille de l'image différente de 128 * 64 pixels");
}

QString fileError()
{
    return QStringLiteral("Erreur fichier !");
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
    printText(stderr, program() + QStringLiteral(": ") + file + QStringLiteral(": ") + message
                          + QLatin1Char('\n'));
}

int usageError(const QString &command, const QString &message)
{
    const QString prefix = command.isEmpty() ? program() : program() + QLatin1Char(' ') + command;
    printText(stderr, prefix + QStringLiteral(": ") + message + QStringLiteral("\nTry '") + prefix
                          + QStringLiteral(" --help'.\n"));
    return UsageError;
}

int parse(QCommandLineParser &parser, const QString &command, const QStringList &arguments,
          int minPositional, int maxPositional)
{
    parser.addHelpOption();
    if (!parser.parse(arguments))
        return usageError(command, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QString text = parser.helpText();
        // The parser names the program as invoked and knows nothing of commands.
        const QString invoked = QStringLiteral("Usage: ") + arguments.constFirst();
        if (text.startsWith(invoked))
            text.replace(0, invoked.size(), QStringLiteral("Usage: ") + program() + QLatin1Char(' ') + command);
        printText(stdout, text);
        return Success;
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

void addRowOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("row63"),
                      QStringLiteral("Left halves of all pages first, then the right halves "
                                     "(default).")});
    parser.addOption({QStringLiteral("row127"),
                      QStringLiteral("Each page's 128 column bytes in a row.")});
}

bool rowOrganisation(const QCommandLineParser &parser, const QString &command,
                     BinImage::RowOrganisation &organisation)
{
    const bool row127 = parser.isSet(QStringLiteral("row127"));
    if (row127 && parser.isSet(QStringLiteral("row63"))) {
        usageError(command, QStringLiteral("--row63 and --row127 exclude each other"));
        return false;
    }
    organisation = row127 ? BinImage::RowOrganisation::Row127 : BinImage::RowOrganisation::Row63;
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

bool readBinary(const QString &path, QByteArray &contents)
{
    if (isStandardStream(path)) {
        QByteArray data;
        if (!readStandardInput(data, BinImage::StoreBytes)) {
            printError(inputName(path), notFound());
            return false;
        }
        if (!BinFile::isValidLength(data.size())) {
            printError(inputName(path), badFormat());
            return false;
        }
        contents = data;
        return true;
    }
    switch (BinFile::read(path, contents)) {
    case BinFile::Status::Ok:
        return true;
    case BinFile::Status::Unreadable:
        printError(path, notFound());
        return false;
    case BinFile::Status::BadLength:
        printError(path, badFormat());
        return false;
    }
    return false;
}

bool selectImage(const QString &path, const QByteArray &contents, int index, QByteArray &image)
{
    const int count = int(contents.size() / BinImage::ImageBytes);
    if (index >= count) {
        printError(inputName(path), QStringLiteral("no image %1: the file holds %2 image(s)")
                                          .arg(index)
                                          .arg(count));
        return false;
    }
    image = contents.mid(qsizetype(index) * BinImage::ImageBytes, BinImage::ImageBytes);
    return true;
}

bool readFile(const QString &path, QByteArray &contents)
{
    if (isStandardStream(path)) {
        if (readStandardInput(contents, -1))
            return true;
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            contents = file.readAll();
            if (file.error() == QFileDevice::NoError)
                return true;
        }
    }
    printError(inputName(path), notFound());
    return false;
}

bool writeOutput(const QString &path, const QByteArray &data)
{
    bool written;
    if (isStandardStream(path)) {
        written = std::fwrite(data.constData(), 1, size_t(data.size()), stdout)
                == size_t(data.size())
            && std::fflush(stdout) == 0;
    } else {
        written = AtomicWrite::writeFile(path, data);
    }
    if (!written)
        printError(outputName(path), fileError());
    return written;
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
