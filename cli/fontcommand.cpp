#include "cli/cliio.h"
#include "cli/messages.h"
#include "cli/commands.h"
#include "cli/terminalpicture.h"

#include "core/displaypreset.h"
#include "core/fontcharacters.h"
#include "core/fontrenderer.h"
#include "core/pictureencoder.h"
#include "core/renderedfont.h"
#include "output/exporttext.h"
#include "output/fontcells.h"
#include "output/fontpreview.h"
#include "output/fontsource.h"
#include "output/gfxfont.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStringList>

namespace Commands {

namespace {

const QString Command = QStringLiteral("font");

// A text file that lists characters: far more than any alphabet needs.
constexpr qint64 MaxCharacterFileBytes = 16 * 1024 * 1024;
// Cells of every code between the first and the last can grow large; no
// firmware holds this much, and its text would take ten times as much memory.
constexpr qint64 MaxCellTableBytes = 16 * 1024 * 1024;
// Past this many, the missing characters are counted rather than named.
constexpr int MaxNamedMissing = 16;

enum class Kind { Cells, Gfx };
enum class Format { C, Python, Binary };

struct Request
{
    Kind kind = Kind::Cells;
    Format format = Format::C;
    int pixelSize = 0; // 0: a bitmap font's only strike
    int threshold = -1;
    QList<char32_t> codes;
    DisplayLayout layout;
    QSize cell; // invalid: the largest glyph box
    bool proportional = false;
    QString out;
    // What the tables are, for the comment above them.
    QString description;
    bool preview = false;
    QList<char32_t> previewText;
    int zoom = 0; // 0: enlarged in a picture, as it is in the terminal
    SourceText::Options source;
    // The header's path as given; the source includes it as source.headerName.
    QString header;
};

bool refuse(const QString &message)
{
    Cli::usageError(Command, message);
    return false;
}

void addOptions(Cli::Parser &parser)
{
    parser.addPositionalArgument(QStringLiteral("font"),
                                 QStringLiteral("TrueType, OpenType, BDF, PCF or another font "
                                                "that FreeType reads."),
                                 QStringLiteral("FONT"));
    Cli::addOutputOption(parser, QStringLiteral("File to write: the tables, or with --preview "
                                                "the picture ('-' draws it in the terminal)."));
    const struct
    {
        const char *name;
        const char *description;
        const char *value;
    } options[] = {
        {"font-size", "Pixels of the em (1 to 255); a bitmap font's strike by its height "
                      "(default: its only strike).", "PX"},
        {"threshold", "Render in grey and take a pixel as on when the glyph, drawn black on "
                      "white, is darker than N (0-256); default: FreeType's one-bit rendering.",
         "N"},
        {"chars", "Characters: ranges such as 32-126 or U+00A0-U+00FF joined by commas, or a "
                  "literal text (default 32-126).", "SET"},
        {"chars-from", "Every character that a UTF-8 text file uses, control characters apart.",
         "FILE"},
        {"kind", "cells (default): a fixed cell per glyph in a display layout; gfxfont: Adafruit "
                 "GFX's GFXfont.", "KIND"},
        {"format", "c (default, with --header), python or bin (cells only); .py and .bin "
                   "outputs choose it too.", "FORMAT"},
        {"cell", "Cell size (default: the largest glyph box).", "WxH"},
        {"proportional", "Cells: add a width per glyph, the step after it.", nullptr},
        {"name", "Name of the tables (default: from the output file's name).", "NAME"},
        {"header", "C: also write a header with the declarations, included by the source.",
         "FILE.h"},
        {"target", "avr: the tables in flash with PROGMEM from <avr/pgmspace.h>.", "TARGET"},
        {"attribute", "Text written after every table's declarator, such as a section.", "TEXT"},
        {"no-banner", "No comment lines at the top.", nullptr},
        {"preview", "Draw TEXT from the converted tables into the picture -o names.", "TEXT"},
        {"zoom", "Preview pixels per font pixel, 1 to 16 (default 4 in a picture, 1 in the "
                 "terminal).", "N"},
    };
    for (const auto &option : options)
        parser.addOption({QString::fromLatin1(option.name), QString::fromLatin1(option.description),
                          option.value ? QString::fromLatin1(option.value) : QString()});
    Cli::addLayoutOptions(parser);
}

bool chooseKind(const QCommandLineParser &parser, Request &request)
{
    const QString kind = parser.value(QStringLiteral("kind"));
    if (parser.isSet(QStringLiteral("kind")) && kind != QLatin1String("cells")) {
        if (kind != QLatin1String("gfxfont"))
            return refuse(QStringLiteral("--kind takes cells or gfxfont, not '%1'").arg(kind));
        request.kind = Kind::Gfx;
    }
    QString format = parser.value(QStringLiteral("format"));
    if (!parser.isSet(QStringLiteral("format"))) {
        const QString suffix = QFileInfo(request.out).suffix().toLower();
        format = suffix == QLatin1String("py") ? QStringLiteral("python")
            : suffix == QLatin1String("bin")   ? QStringLiteral("bin")
                                               : QStringLiteral("c");
    }
    if (format == QLatin1String("python"))
        request.format = Format::Python;
    else if (format == QLatin1String("bin"))
        request.format = Format::Binary;
    else if (format != QLatin1String("c"))
        return refuse(QStringLiteral("--format takes c, python or bin, not '%1'").arg(format));
    if (request.kind == Kind::Gfx && request.format != Format::C && !request.preview)
        return refuse(QStringLiteral("a GFXfont is C source: --format %1 is for --kind cells")
                          .arg(format));
    if (request.kind == Kind::Gfx) {
        for (const char *name : {"cell", "proportional", "display", "layout", "bit-order",
                                 "row63", "row127"})
            if (parser.isSet(QString::fromLatin1(name)))
                return refuse(QStringLiteral("--%1 is for --kind cells: a GFXfont stores each "
                                             "glyph's own box, in bits of its own order")
                                  .arg(QLatin1String(name)));
    }
    return true;
}

// Only the byte layout counts: a cell's size is its own and it is never
// split among controllers.
bool cellLayout(const QCommandLineParser &parser, Request &request)
{
    if (parser.isSet(QStringLiteral("size")))
        return refuse(QStringLiteral("--size is a display's size; a glyph cell's is --cell WxH"));
    if (parser.isSet(QStringLiteral("controllers")))
        return refuse(QStringLiteral("--controllers splits a display; a glyph cell is stored "
                                     "whole"));
    const DisplayPreset *preset = parser.isSet(QStringLiteral("display"))
        ? DisplayPreset::find(parser.value(QStringLiteral("display")))
        : nullptr;
    // gfx and xbm need a size for a picture; for a cell they only give the bytes.
    if (preset && preset->needsSize) {
        for (const char *name : {"row63", "row127", "layout", "bit-order"})
            if (parser.isSet(QString::fromLatin1(name)))
                return refuse(QStringLiteral("--display %1 sets the layout itself; --%2 cannot "
                                             "change it")
                                  .arg(QLatin1String(preset->name), QLatin1String(name)));
        request.layout = preset->layout;
        return true;
    }
    if (!Cli::displayLayout(parser, Command, request.layout))
        return false;
    request.layout.controllers = 1;
    return true;
}

bool characters(const QCommandLineParser &parser, Request &request)
{
    QList<char32_t> codes;
    if (parser.isSet(QStringLiteral("chars"))) {
        if (const QString problem = FontCharacters::parse(parser.value(QStringLiteral("chars")), codes);
            !problem.isEmpty())
            return refuse(QStringLiteral("--chars: %1").arg(problem));
    }
    if (parser.isSet(QStringLiteral("chars-from"))) {
        const QString path = parser.value(QStringLiteral("chars-from"));
        QByteArray text;
        FileAccess::Facts facts;
        const FileAccess::Status status = FileAccess::read(path, MaxCharacterFileBytes,
                                                           FileAccess::Streams::Allowed, text, &facts);
        if (status == FileAccess::Status::TooLong) {
            Cli::printError(Cli::inputName(path), QStringLiteral("larger than %1 MiB: too large "
                                                                 "for a list of characters")
                                                      .arg(MaxCharacterFileBytes >> 20));
            return false;
        }
        if (status != FileAccess::Status::Ok) {
            Cli::printError(Cli::inputName(path), Cli::readMessage(status, facts));
            return false;
        }
        QList<char32_t> used;
        if (!FontCharacters::fromText(text, used)) {
            Cli::printError(Cli::inputName(path), QStringLiteral("not UTF-8 text: save it as UTF-8 "
                                                                 "to take its characters"));
            return false;
        }
        codes = FontCharacters::merged(codes, used);
    }
    if (!parser.isSet(QStringLiteral("chars")) && !parser.isSet(QStringLiteral("chars-from")))
        FontCharacters::parse(QStringLiteral("32-126"), codes);
    if (codes.isEmpty())
        return refuse(QStringLiteral("no characters to convert"));
    if (codes.constLast() - codes.constFirst() >= char32_t(FontCharacters::MaxSpan))
        return refuse(QStringLiteral("%1 to %2 spans more than %3 codes, and a table holds every "
                                     "code between its first and last: convert them as several "
                                     "fonts")
                          .arg(FontCharacters::name(codes.constFirst()),
                               FontCharacters::name(codes.constLast()))
                          .arg(FontCharacters::MaxSpan));
    request.codes = codes;
    return true;
}

bool headerOption(const QCommandLineParser &parser, Request &request)
{
    if (!parser.isSet(QStringLiteral("header")))
        return true;
    request.header = parser.value(QStringLiteral("header"));
    if (request.header.isEmpty() || Cli::isStandardStream(request.header)
        || Cli::isStandardStream(request.out))
        return refuse(QStringLiteral("--header writes two files together: it needs a file name "
                                     "and -o FILE, not standard output"));
    const QFileInfo header(request.header);
    if (header.absoluteFilePath() == QFileInfo(request.out).absoluteFilePath())
        return refuse(QStringLiteral("--header and -o name the same file"));
    // The source includes its header by the path from its own folder.
    request.source.headerName =
        QDir(QFileInfo(request.out).absolutePath()).relativeFilePath(header.absoluteFilePath());
    return true;
}

// Names, targets and the header as the export takes them.
bool sourceOptions(const QCommandLineParser &parser, Request &request)
{
    SourceText::Options &source = request.source;
    const QString name = Cli::isStandardStream(request.out) ? QStringLiteral("font")
                                                            : SourceText::identifierFor(request.out);
    if (!Cli::sourceNaming(parser, Command, name, source))
        return false;
    if (request.format == Format::Binary) {
        for (const char *name : {"proportional", "name", "header", "target", "attribute", "no-banner"})
            if (parser.isSet(QString::fromLatin1(name)))
                return refuse(QStringLiteral("--format bin holds the cells alone: --%1 needs "
                                             "--format c or python")
                                  .arg(QLatin1String(name)));
    }
    if (request.format == Format::Python) {
        for (const char *name : {"header", "target", "attribute"})
            if (parser.isSet(QString::fromLatin1(name)))
                return refuse(QStringLiteral("--%1 is for --format c only").arg(QLatin1String(name)));
        if (SourceText::framebufFormat(request.layout).isEmpty())
            return refuse(QStringLiteral("MicroPython's framebuf draws no %1 bytes: choose "
                                         "--bit-order lsb, or --format c")
                              .arg(request.layout.arrangement()));
    }
    return headerOption(parser, request);
}

bool previewOptions(const QCommandLineParser &parser, Request &request)
{
    request.preview = parser.isSet(QStringLiteral("preview"));
    if (!request.preview)
        return !parser.isSet(QStringLiteral("zoom"))
            || refuse(QStringLiteral("--zoom is for --preview"));
    for (const char *name : {"format", "name", "header", "target", "attribute", "no-banner"})
        if (parser.isSet(QString::fromLatin1(name)))
            return refuse(QStringLiteral("--preview writes a picture, not tables: --%1 cannot "
                                         "apply")
                              .arg(QLatin1String(name)));
    for (const uint code : parser.value(QStringLiteral("preview")).toUcs4())
        request.previewText << char32_t(code);
    return Cli::intOption(parser, Command, QStringLiteral("zoom"), 1, FontPreview::MaxZoom,
                          request.zoom);
}

bool readRequest(const QCommandLineParser &parser, Request &request)
{
    if (!Cli::outputPath(parser, Command, request.out) || !previewOptions(parser, request)
        || !chooseKind(parser, request) || !cellLayout(parser, request)
        || !Cli::intOption(parser, Command, QStringLiteral("font-size"), 1,
                           FontRenderer::MaxPixelSize, request.pixelSize)
        || !Cli::intOption(parser, Command, QStringLiteral("threshold"), 0, 256,
                           request.threshold)
        || !characters(parser, request))
        return false;
    if (parser.isSet(QStringLiteral("cell"))) {
        const QString text = parser.value(QStringLiteral("cell"));
        if (!DisplayLayout::sizeFromText(text, request.cell) || request.cell.width() > 255
            || request.cell.height() > 255)
            return refuse(QStringLiteral("--cell takes WxH, each side a whole number from 1 to "
                                         "255, not '%1'")
                              .arg(text));
    }
    request.proportional = parser.isSet(QStringLiteral("proportional"));
    return request.preview || sourceOptions(parser, request);
}

QString sizeList(const QList<int> &sizes)
{
    QStringList names;
    for (const int size : sizes)
        names << QString::number(size);
    return names.join(QStringLiteral(", "));
}

QString fontMessage(FontRenderer::Status status, const FontRenderer &renderer, int pixels)
{
    switch (status) {
    case FontRenderer::Status::Ok:
        return QString();
    case FontRenderer::Status::NoFreeType:
        return QStringLiteral("FreeType could not be started");
    case FontRenderer::Status::NotAFont:
        return QStringLiteral("not a font FreeType reads (TrueType, OpenType, BDF, PCF, Type 1, "
                              "WOFF...)");
    case FontRenderer::Status::NoGlyphs:
        return QStringLiteral("the font has neither outlines nor bitmaps");
    case FontRenderer::Status::NoSize:
        break;
    }
    if (renderer.isScalable())
        return QStringLiteral("FreeType cannot draw the font at %1 pixels").arg(pixels);
    return QStringLiteral("a bitmap font without a %1-pixel strike; choose one of %2 with "
                          "--font-size")
        .arg(pixels)
        .arg(sizeList(renderer.strikeSizes()));
}

// Loads the font at its size; prints what went wrong otherwise.
bool openFont(const QString &path, Request &request, FontRenderer &renderer)
{
    QByteArray data;
    FileAccess::Facts facts;
    const FileAccess::Status status =
        FileAccess::read(path, FontRenderer::MaxBytes, FileAccess::Streams::Allowed, data, &facts);
    QString problem;
    if (status == FileAccess::Status::TooLong)
        problem = QStringLiteral("larger than %1 MiB: too large for a font")
                      .arg(FontRenderer::MaxBytes >> 20);
    else if (status != FileAccess::Status::Ok)
        problem = Cli::readMessage(status, facts);
    else
        problem = fontMessage(renderer.load(data), renderer, request.pixelSize);
    if (problem.isEmpty() && request.pixelSize == 0) {
        const QList<int> strikes = renderer.strikeSizes();
        if (renderer.isScalable())
            problem = QStringLiteral("a scalable font needs --font-size PX");
        else if (strikes.size() > 1)
            problem = QStringLiteral("a bitmap font of several strikes: choose one of %1 with "
                                     "--font-size")
                          .arg(sizeList(strikes));
        else
            request.pixelSize = strikes.constFirst();
    }
    if (problem.isEmpty())
        problem = fontMessage(renderer.setPixelSize(request.pixelSize), renderer, request.pixelSize);
    if (!problem.isEmpty())
        Cli::printError(Cli::inputName(path), problem);
    renderer.setThreshold(request.threshold);
    return problem.isEmpty();
}

QString codeList(const QList<char32_t> &codes)
{
    QStringList names;
    for (qsizetype i = 0; i < codes.size() && i < MaxNamedMissing; ++i)
        names << FontCharacters::name(codes.at(i));
    if (codes.size() > MaxNamedMissing)
        names << QStringLiteral("and %1 more").arg(codes.size() - MaxNamedMissing);
    return names.join(QStringLiteral(", "));
}

// Missing characters leave empty glyphs: the tables are still right for
// the others, so this is said but not refused, unless none is left.
bool reportMissing(const QString &path, const Request &request, const QList<char32_t> &missing)
{
    if (missing.isEmpty())
        return true;
    const QString name = Cli::inputName(path);
    if (missing.size() == request.codes.size()) {
        Cli::printError(name, QStringLiteral("the font has none of the %1 characters asked for "
                                             "(%2)")
                                  .arg(request.codes.size())
                                  .arg(codeList(missing)));
        return false;
    }
    // A range such as 32-255 takes in controls, which no font draws.
    QList<char32_t> lacking;
    for (const char32_t code : missing)
        if (!FontCharacters::isControl(code))
            lacking << code;
    if (!lacking.isEmpty())
        Cli::printError(name, QStringLiteral("the font lacks %1 of the %2 characters, left empty: "
                                             "%3")
                                  .arg(lacking.size())
                                  .arg(request.codes.size())
                                  .arg(codeList(lacking)));
    return true;
}

int writePreview(const Request &request, const QImage &line)
{
    const bool terminal = Cli::isStandardStream(request.out);
    const int zoom = request.zoom > 0 ? request.zoom : terminal ? 1 : FontPreview::DefaultZoom;
    const QImage picture = FontPreview::enlarged(line, zoom);
    if (terminal)
        return Cli::printOutput(Cli::halfBlocks(picture).toUtf8()) ? Cli::Success : Cli::Failure;
    const QByteArray data = PictureEncoder::encode(
        picture, PictureEncoder::formatForName(request.out), request.out);
    return Cli::writeOutput(request.out, data) ? Cli::Success : Cli::Failure;
}

int writeTexts(const Request &request, const FontSource::Texts &texts)
{
    if (request.header.isEmpty())
        return Cli::writeOutput(request.out, texts.source) ? Cli::Success : Cli::Failure;
    return Cli::writeOutputs({{request.out, texts.source}, {request.header, texts.header}})
        ? Cli::Success
        : Cli::Failure;
}

int writeCells(const QString &path, const Request &request, const RenderedFont &font)
{
    DisplayLayout layout = request.layout;
    const QSize size = request.cell.isValid() ? request.cell : FontCells::largestBox(font);
    layout.width = size.width();
    layout.height = size.height();
    const qint64 bytes = qint64(font.glyphs.size()) * layout.imageBytes();
    if (bytes > MaxCellTableBytes) {
        Cli::printError(Cli::inputName(path),
                        QStringLiteral("%1 cells of %2x%3 would take %4 MiB, more than any "
                                       "firmware holds; ask for fewer characters or a smaller "
                                       "cell")
                            .arg(font.glyphs.size())
                            .arg(size.width())
                            .arg(size.height())
                            .arg(bytes >> 20));
        return Cli::Failure;
    }
    QList<char32_t> cut;
    const FontCells cells = FontCells::build(font, layout, request.proportional, cut);
    if (!cut.isEmpty())
        Cli::printError(Cli::inputName(path),
                        QStringLiteral("%1 glyph(s) do not fit the %2x%3 cell and are cut: %4")
                            .arg(cut.size())
                            .arg(size.width())
                            .arg(size.height())
                            .arg(codeList(cut)));
    if (request.preview)
        return writePreview(request, FontPreview::draw(cells, request.previewText));
    switch (request.format) {
    case Format::Binary:
        return Cli::writeOutput(request.out, cells.bytes) ? Cli::Success : Cli::Failure;
    case Format::Python:
        return Cli::writeOutput(request.out, FontSource::cellsPython(cells, request.source,
                                                                     request.description))
            ? Cli::Success
            : Cli::Failure;
    case Format::C:
        break;
    }
    return writeTexts(request, FontSource::cellsC(cells, request.source, request.description,
                                                  request.header));
}

int writeGfx(const QString &path, const Request &request, const RenderedFont &font)
{
    GfxFont gfx;
    if (const QString problem = GfxFont::build(font, gfx); !problem.isEmpty()) {
        Cli::printError(Cli::inputName(path), problem);
        return Cli::Failure;
    }
    if (request.preview)
        return writePreview(request, FontPreview::draw(gfx, request.previewText));
    return writeTexts(request, FontSource::gfxC(gfx, request.source, request.description,
                                                request.header));
}

} // namespace

int font(const QStringList &arguments)
{
    Cli::Parser parser(Command);
    parser.setApplicationDescription(QStringLiteral(
        "Converts a font into glyph tables for a display, one bit per pixel: fixed cells\n"
        "in any display layout (C, Python or binary) or Adafruit GFX's GFXfont (C).\n"
        "Characters the font lacks are named and left empty. With --preview, draws a\n"
        "line of text from the tables instead, as the display will show it."));
    addOptions(parser);
    if (const int code = parser.parse(arguments, 1, 1); code != Cli::Continue)
        return code;
    Request request;
    if (!readRequest(parser, request))
        return Cli::UsageError;
    const QString path = parser.positionalArguments().constFirst();
    FontRenderer renderer;
    if (!openFont(path, request, renderer))
        return Cli::Failure;
    QList<char32_t> missing;
    const RenderedFont font = RenderedFont::render(renderer, request.pixelSize, request.codes, missing);
    if (!reportMissing(path, request, missing))
        return Cli::Failure;
    request.description = QStringLiteral("%1, %2 pixels")
                                     .arg(font.family.isEmpty() ? QFileInfo(path).fileName()
                                                                : font.family)
                                     .arg(font.pixelSize);
    return request.kind == Kind::Cells ? writeCells(path, request, font)
                                       : writeGfx(path, request, font);
}

} // namespace Commands
