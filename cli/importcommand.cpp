#include "cli/cliio.h"
#include "cli/commands.h"
#include "cli/fontimport.h"

#include "core/binfile.h"
#include "core/binimage.h"
#include "output/exporttext.h"
#include "output/sourceimport.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>

namespace Commands {

namespace {

using SourceImport::Table;

QString listed(const QList<Table> &tables)
{
    QStringList names;
    for (const Table &table : tables)
        names << QStringLiteral("%1 (%2 bytes)")
                     .arg(table.name.isEmpty() ? QStringLiteral("unnamed") : table.name)
                     .arg(table.bytes.size());
    return names.join(QStringLiteral(", "));
}

// The custom delimiters of an export, as far as they matter for reading.
bool syntaxOptions(const QCommandLineParser &parser, const QString &command,
                   SourceImport::Syntax &syntax)
{
    for (const char *name : {"comment", "line-start", "hex-prefix", "separator"}) {
        const QString option = QString::fromLatin1(name);
        if (parser.isSet(option) && !ExportText::isLatin1(parser.value(option))) {
            Cli::usageError(command, QStringLiteral("--%1 holds characters that ISO 8859-1 "
                                                    "cannot represent")
                                         .arg(option));
            return false;
        }
    }
    syntax.comment = ExportText::expandTabs(parser.value(QStringLiteral("comment")));
    syntax.customHexPrefix = parser.isSet(QStringLiteral("hex-prefix"));
    syntax.hexPrefix = ExportText::expandTabs(parser.value(QStringLiteral("hex-prefix")));
    for (const char *name : {"separator", "line-start"})
        syntax.between << ExportText::expandTabs(parser.value(QString::fromLatin1(name)));
    return true;
}

// The table called `name`, or failing that its frames NAME_0, NAME_1, ...
QList<Table> named(const QList<Table> &tables, const QString &name)
{
    QList<Table> chosen;
    for (const Table &table : tables)
        if (table.name == name)
            chosen << table;
    if (!chosen.isEmpty())
        return chosen.mid(0, 1);
    const QRegularExpression frame(QStringLiteral("^%1_[0-9]+$")
                                       .arg(QRegularExpression::escape(name)));
    for (const Table &table : tables)
        if (frame.match(table.name).hasMatch())
            chosen << table;
    return chosen;
}

bool chooseTables(const QCommandLineParser &parser, const QString &in,
                  const QList<Table> &tables, const DisplayLayout &layout, QByteArray &contents)
{
    const int size = layout.imageBytes();
    const QString file = Cli::inputName(in);
    if (tables.isEmpty()) {
        Cli::printError(file, QStringLiteral("no table of numbers found; for custom delimiters "
                                             "give the export's --hex-prefix and --separator"));
        return false;
    }
    QList<Table> chosen;
    if (parser.isSet(QStringLiteral("name"))) {
        const QString name = parser.value(QStringLiteral("name"));
        chosen = named(tables, name);
        if (chosen.isEmpty()) {
            Cli::printError(file, QStringLiteral("no table named %1; it holds %2")
                                      .arg(name, listed(tables)));
            return false;
        }
    } else {
        for (const Table &table : tables)
            if (!table.bytes.isEmpty() && table.bytes.size() % size == 0)
                chosen << table;
        if (chosen.isEmpty()) {
            Cli::printError(file, QStringLiteral("no table of whole images of %1 bytes (%2); it "
                                                 "holds %3; the layout options give the size")
                                      .arg(size)
                                      .arg(layout.description(), listed(tables)));
            return false;
        }
    }
    QByteArray bytes;
    for (const Table &table : chosen)
        bytes += table.bytes;
    if (!BinFile::isValidLength(bytes.size(), size, BinFile::MaxBytes)) {
        Cli::printError(file, QStringLiteral("%1 hold %2 bytes: not whole images of %3 bytes "
                                             "(%4), in %5 MiB at most")
                                  .arg(listed(chosen))
                                  .arg(bytes.size())
                                  .arg(size)
                                  .arg(layout.description())
                                  .arg(BinFile::MaxBytes / (1024 * 1024)));
        return false;
    }
    contents = bytes;
    return true;
}

bool intelHexRead(const QString &in, const SourceImport::IntelHexData &hex)
{
    using Fault = SourceImport::IntelHexData::Fault;
    if (hex.fault == Fault::BadRecord)
        Cli::printError(Cli::inputName(in),
                        QStringLiteral("line %1 is no whole Intel HEX record (its length or "
                                       "checksum is wrong)")
                            .arg(hex.line));
    else if (hex.fault == Fault::Gap)
        Cli::printError(Cli::inputName(in),
                        QStringLiteral("the Intel HEX data has a gap before address 0x%1: "
                                       "only one run of bytes becomes images")
                            .arg(QString::number(hex.address, 16).toUpper()));
    return hex.fault == Fault::None;
}

} // namespace

int importSource(const QStringList &arguments)
{
    const QString command = QStringLiteral("import");
    Cli::Parser parser(command);
    parser.setApplicationDescription(QStringLiteral(
        "Reads tables of bytes back from source text into a binary file of the layout:\n"
        "C and C++ arrays (hexadecimal, decimal, octal and 0b numbers, PROGMEM,\n"
        "comments), assembler dt, db and retlw lines, Python bytes, XBM and Intel HEX.\n"
        "Without --name, every table of whole images is taken, in order. Text written\n"
        "with custom delimiters reads back with the same --hex-prefix and --separator\n"
        "(and --line-start and --comment where they hold more than blanks)."));
    parser.addPositionalArgument(QStringLiteral("source"),
                                 QStringLiteral("Source text; '-' for standard input."),
                                 QStringLiteral("SOURCE"));
    Cli::addOutputOption(parser, QStringLiteral("Binary file to write; '-' for standard output."));
    parser.addOption({QStringLiteral("name"),
                      QStringLiteral("Only the table NAME or, failing that, NAME_0, NAME_1, ..."),
                      QStringLiteral("NAME")});
    for (const char *name : {"comment", "line-start", "hex-prefix", "separator"})
        parser.addOption({QString::fromLatin1(name),
                          QStringLiteral("As given to export with custom delimiters."),
                          QStringLiteral("T")});
    Cli::addLayoutOptions(parser);
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;
    DisplayLayout layout;
    QString out;
    SourceImport::Syntax syntax;
    if (!Cli::displayLayout(parser, command, layout) || !Cli::outputPath(parser, command, out)
        || !syntaxOptions(parser, command, syntax))
        return Cli::UsageError;

    const QString in = parser.positionalArguments().constFirst();
    if (!Cli::outputSparesInputs(out, {in}))
        return Cli::Failure;
    QByteArray text;
    if (!Cli::readFile(in, text))
        return Cli::Failure;
    QByteArray contents;
    if (SourceImport::isIntelHex(text)) {
        const SourceImport::IntelHexData hex = SourceImport::readIntelHex(text);
        if (!intelHexRead(in, hex)
            || !chooseTables(parser, in, {{QString(), hex.data}}, layout, contents))
            return Cli::Failure;
    } else {
        const SourceImport::Result result = SourceImport::tables(text, syntax);
        if (result.notAByte) {
            const SourceImport::NotAByte &bad = *result.notAByte;
            Cli::printError(Cli::inputName(in),
                            QStringLiteral("%1 in table %2 is no byte: only tables of numbers "
                                           "from 0 to 255 become images")
                                .arg(bad.value == 0xFFFFFFFFu ? QStringLiteral("a huge number")
                                                              : QString::number(bad.value),
                                     bad.table.isEmpty() ? QStringLiteral("(unnamed)")
                                                         : bad.table));
            return Cli::Failure;
        }
        const FontSourceInfo font = Cli::fontSource(in, text);
        if (font.kind == FontSourceInfo::Kind::Cells
            && (!parser.isSet(QStringLiteral("name")) || parser.value(QStringLiteral("name")) == font.name))
            return Cli::importFontCells(parser, in, result.tables, font, out);
        if (!chooseTables(parser, in, result.tables, layout, contents))
            return Cli::Failure;
    }
    return Cli::writeOutput(out, contents) ? Cli::Success : Cli::Failure;
}

} // namespace Commands
