#pragma once

#include <qcontainerfwd.h>

#include "output/fontsourceinfo.h"

class QByteArray;
class QCommandLineParser;
class QString;
namespace SourceImport {
struct Table;
}

namespace Cli {

// What the source text `text` of `path` holds as a font. A source written
// with a header declares its constants there: the header it includes from
// its own folder is read with it.
FontSourceInfo fontSource(const QString &path, const QByteArray &text);

// A font's fixed cells read back by import: the table the font's constants
// describe, one image per glyph, as many as it has. Checks the cells
// against the layout options where any is given; prints its own errors and
// returns the exit code.
int importFontCells(const QCommandLineParser &parser, const QString &in,
                    const QList<SourceImport::Table> &tables, const FontSourceInfo &font,
                    const QString &out);

} // namespace Cli
