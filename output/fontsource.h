#pragma once

#include <QByteArray>
#include <QString>

struct FontCells;
struct GfxFont;

// Font tables as source text for firmware: C (with or without a header) and
// Python for fixed cells, C for GFXfont. Pure ASCII, no trailing blanks.
namespace FontSource {

struct Options
{
    // A valid C and Python identifier; every table and constant starts with it.
    QString name;
    // What the banner says the tables are, such as "DejaVu Sans, 16 pixels".
    QString description;
    bool banner = true;
    // Written after each table's declarator, such as PROGMEM.
    QString attribute;
    // Included before the tables, such as <avr/pgmspace.h>; empty for none.
    QString include;
    // The header's file name as the source includes it; empty: no header,
    // the source declares everything itself.
    QString header;
};

struct Texts
{
    QByteArray source;
    QByteArray header; // empty without Options::header
};

Texts cellsC(const FontCells &cells, const Options &options);
QByteArray cellsPython(const FontCells &cells, const Options &options);
Texts gfxC(const GfxFont &font, const Options &options);

// "font.h" -> "FONT_H": the include guard of a header.
QString includeGuard(const QString &headerName);

} // namespace FontSource
