#include "cli/cliio.h"
#include "cli/commands.h"

#include "core/binimage.h"

#include <QByteArray>
#include <QStringList>

namespace Commands {

int join(const QStringList &arguments)
{
    const QString command = QStringLiteral("join");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Concatenates binary files into one; each must hold whole images of the layout,\n"
        "and all of them must fit in --capacity."));
    parser.addPositionalArgument(QStringLiteral("binaries"),
                                 QStringLiteral("Binary files, in order; '-' reads one from "
                                                "standard input."),
                                 QStringLiteral("IN.bin..."));
    Cli::addOutputOption(parser, QStringLiteral("Binary file to write; '-' for standard output."));
    Cli::addLayoutOptions(parser);
    Cli::addCapacityOption(parser);
    if (const int code = parser.parse(arguments, 1, -1); code != Cli::Continue)
        return code;
    DisplayLayout layout;
    QString out;
    qint64 capacity = 0;
    if (!Cli::displayLayout(parser, command, layout) || !Cli::capacity(parser, command, capacity)
        || !Cli::outputPath(parser, command, out))
        return Cli::UsageError;
    const QStringList inputs = parser.positionalArguments();
    if (inputs.count(QStringLiteral("-")) > 1)
        return Cli::usageError(command, QStringLiteral("standard input can be read only once"));
    if (!Cli::outputSparesInputs(out, inputs))
        return Cli::Failure;

    QByteArray joined;
    for (const QString &in : inputs) {
        QByteArray contents;
        if (!Cli::readBinary(in, layout, contents))
            return Cli::Failure;
        joined += contents;
        if (!Cli::fitsCapacity(parser, out, joined.size(), capacity))
            return Cli::Failure;
    }
    return Cli::writeOutput(out, joined) ? Cli::Success : Cli::Failure;
}

int split(const QStringList &arguments)
{
    const QString command = QStringLiteral("split");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Writes each image of a binary file to a file of its own: PREFIX-00.bin,\n"
        "PREFIX-01.bin, and so on; a PREFIX ending in '/' is a folder that receives\n"
        "image-00.bin, image-01.bin, ... Either every file is written or none."));
    Cli::addBinaryArgument(parser);
    Cli::addOutputOption(parser, QStringLiteral("Start of the names of the files written."));
    Cli::addLayoutOptions(parser);
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;
    DisplayLayout layout;
    QString prefix;
    if (!Cli::displayLayout(parser, command, layout) || !Cli::outputPath(parser, command, prefix))
        return Cli::UsageError;
    if (Cli::isStandardStream(prefix))
        return Cli::usageError(command, QStringLiteral("-o needs a name prefix, not '-'"));

    const QString in = parser.positionalArguments().constFirst();
    QByteArray contents;
    if (!Cli::readBinary(in, layout, contents))
        return Cli::Failure;
    const QString name = Cli::inFolder(prefix, QStringLiteral("image")) + QStringLiteral(".bin");
    QList<OutputFile::Output> outputs;
    const QList<BinaryImage> images = Cli::allImages(contents, layout);
    for (int k = 0; k < images.size(); ++k) {
        outputs.append({Cli::numberedName(name, k), images[k].bytes()});
        if (!Cli::outputSparesInputs(outputs.constLast().path, {in}))
            return Cli::Failure;
    }
    return Cli::writeOutputs(outputs) ? Cli::Success : Cli::Failure;
}

} // namespace Commands
