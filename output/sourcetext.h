#pragma once

#include "core/displaylayout.h"
#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Source text that a firmware build takes as it is: named tables with their
// size beside them, declarations that link from C and C++ alike, and the
// storage a toolchain wants for constant data. Any exporter of tables for a
// firmware (images now, fonts later) writes its names and declarations here.
namespace SourceText {

enum class Language {
    C,
    Assembler, // the window's PIC assembler: dt from column 1
    Pic,       // dt indented, as gpasm wants directives
    Pic18,     // db indented: two bytes to a program word
    Custom,
    Python     // MicroPython and CircuitPython: bytes and framebuf's constants
};

enum class Target { Generic, Avr };

struct Options
{
    QString name = QStringLiteral("image");
    Target target = Target::Generic;
    // Written after each C table's declarator, e.g. a section attribute.
    QString attribute;
    bool banner = true;
    // NAME_0, NAME_1, ... and a table of them, even for a single image.
    bool frames = false;
    // File name of a header the C source includes instead of declaring its
    // tables itself.
    QString headerName;
    int bytesPerLine = ExportText::DefaultBytesPerLine;
};

// "$name", "$width", "$height", "$bytes", "$count" in the delimiter texts.
struct Tags
{
    QString name;
    int width = 0;
    int height = 0;
    int bytes = 0;
    int count = 0;
};

// What follows a C table's declarator in its definition: PROGMEM for AVR,
// then the attribute.
QString storage(const Options &options);
// C declarations that a C file and a C++ file can share.
QString withCLinkage(const QString &declarations);

// "my logo-2.c" -> "my_logo_2"; never a keyword of C, C++ or Python.
QString identifierFor(const QString &path);
bool isIdentifier(const QString &text);
// "gfx/logo.h" -> "LOGO_H".
QString includeGuard(const QString &headerPath);

QString expandTags(const QString &text, const Tags &tags);
bool hasTags(const QString &text);
ExportFields expandTags(const ExportFields &fields, const Tags &tags);

// The delimiters each language starts from; "$name" stands for each table's
// name.
ExportFields fields(Language language);

// The name of image `index` of `count`.
QString tableName(const Options &options, int index);

// MicroPython's framebuf constant that draws `layout` ("MONO_VLSB", ...),
// or empty when framebuf has none.
QString framebufFormat(const DisplayLayout &layout);
// Python's framebuf draws only its own three layouts; the other
// languages hold any.
bool canHold(Language language, const DisplayLayout &layout);

// `images` all hold one image of `layout`; only meaningful when canHold(). No line ends in a blank.
QString source(Language language, const ExportFields &fields, const Options &options,
               const DisplayLayout &layout, const QList<QByteArray> &images);
// The C declarations of source()'s tables, behind an include guard.
// Its banner is the source's, from `fields.comment`.
QString header(const ExportFields &fields, const Options &options, const QString &headerPath,
               const DisplayLayout &layout, int count);

} // namespace SourceText
