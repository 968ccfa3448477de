#include "cli/fontimport.h"

#include "cli/cliio.h"
#include "output/fontsourceinfo.h"
#include "output/sourceimport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace Cli {

namespace {

// A header of declarations and constants is short.
constexpr qint64 MaxHeaderBytes = 1024 * 1024;

bool anyLayoutOption(const QCommandLineParser &parser)
{
    for (const char *name : {"row63", "row127", "display", "size", "layout", "bit-order",
                             "controllers"})
        if (parser.isSet(QString::fromLatin1(name)))
            return true;
    return false;
}

// Empty when the layout options agree with the cells, otherwise why not.
QString layoutProblem(const QCommandLineParser &parser, const FontSourceInfo &font)
{
    DisplayLayout layout;
    if (!anyLayoutOption(parser) || !displayLayout(parser, QStringLiteral("import"), layout))
        return QString();
    if (parser.isSet(QStringLiteral("size")) && layout.size() != font.size)
        return QStringLiteral("its cells are %1x%2 pixels, not %3x%4")
            .arg(font.size.width())
            .arg(font.size.height())
            .arg(layout.width)
            .arg(layout.height);
    // A cell is stored whole, never split among controllers.
    layout.width = font.size.width();
    layout.height = font.size.height();
    layout.controllers = 1;
    if (layout.imageBytes() != font.glyphBytes)
        return QStringLiteral("its cells are %1 bytes each, not the %2 of a %3x%4 cell %5")
            .arg(font.glyphBytes)
            .arg(layout.imageBytes())
            .arg(layout.width)
            .arg(layout.height)
            .arg(layout.arrangement());
    return QString();
}

} // namespace

FontSourceInfo fontSource(const QString &path, const QByteArray &text)
{
    FontSourceInfo info = FontSourceInfo::read(text);
    // Only source text that includes a header can have its constants there.
    if (info.kind != FontSourceInfo::Kind::None || isStandardStream(path)
        || !text.contains("#include \"") || text.contains('\0'))
        return info;
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = include.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return info;
    const QString header = QFileInfo(path).dir().filePath(match.captured(1));
    QByteArray declarations;
    if (FileAccess::read(header, MaxHeaderBytes, FileAccess::Streams::Allowed, declarations)
        != FileAccess::Status::Ok)
        return info;
    return FontSourceInfo::read(declarations + '\n' + text);
}

int importFontCells(const QCommandLineParser &parser, const QString &in,
                    const QList<SourceImport::Table> &tables, const FontSourceInfo &font,
                    const QString &out)
{
    const QString file = inputName(in);
    const SourceImport::Table *cells = nullptr;
    for (const SourceImport::Table &table : tables)
        if (table.name == font.name && !cells)
            cells = &table;
    const qint64 expected = qint64(font.glyphs) * font.glyphBytes;
    QString problem;
    if (!cells)
        problem = QStringLiteral("a font's constants without its table %1").arg(font.name);
    else if (cells->bytes.size() != expected)
        problem = QStringLiteral("the table %1 holds %2 bytes, not the %3 of %4 cells of %5 "
                                 "bytes its constants give")
                      .arg(font.name)
                      .arg(cells->bytes.size())
                      .arg(expected)
                      .arg(font.glyphs)
                      .arg(font.glyphBytes);
    else
        problem = layoutProblem(parser, font);
    if (!problem.isEmpty()) {
        printError(file, QStringLiteral("fixed-cell font %1: %2").arg(font.name, problem));
        return Failure;
    }
    return writeOutput(out, cells->bytes) ? Success : Failure;
}

} // namespace Cli
