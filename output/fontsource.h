#pragma once

#include "output/sourcetext.h"

#include <QByteArray>
#include <QString>

struct FontCells;
struct GfxFont;

// Font tables as source text for firmware, named, declared and stored as the
// export's source is: C (with or without a header) and Python for fixed
// cells, C for GFXfont. Pure ASCII, no trailing blanks.
namespace FontSource {

struct Texts
{
    QByteArray source;
    QByteArray header; // empty without `headerPath`
};

// `description` says what the tables are, such as "DejaVu Sans, 16 pixels".
// With `headerPath`, the constants and declarations go into a header there,
// which the source includes as `options.headerName`.
Texts cellsC(const FontCells &cells, const SourceText::Options &options,
             const QString &description, const QString &headerPath = QString());
// Only meaningful when SourceText::problem() allows Python for the cell's layout.
QByteArray cellsPython(const FontCells &cells, const SourceText::Options &options,
                       const QString &description);
Texts gfxC(const GfxFont &font, const SourceText::Options &options, const QString &description,
           const QString &headerPath = QString());

} // namespace FontSource
