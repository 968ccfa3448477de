#pragma once

#include <QString>
#include <QtGlobal>

#include <qcontainerfwd.h>

class QByteArray;
struct ExportFields;

// Source text for firmware made from binary images.
namespace ExportText {

enum Preset { Assembler = 0, C = 1, Custom = 2 };

constexpr int MinBytesPerLine = 1;
constexpr int MaxBytesPerLine = 96;
constexpr int DefaultBytesPerLine = 16;

// Fills all six fields for ids 0 to 2; any other id leaves them untouched.
// The table is called `name`; the C preset declares its true byte count.
bool preset(int id, ExportFields &fields, int imageBytes = 1024,
            const QString &name = QStringLiteral("image"));

// Every literal, case-sensitive "$tab" becomes one TAB.
QString expandTabs(const QString &text);

// `assembler` alone decides whether data lines end with the separator. A
// count outside 1..96 is brought into that range.
QString generate(const ExportFields &fields, int bytesPerLine, bool assembler,
                 const QByteArray &image);
// The window's export: `image` points at 1024 bytes.
QString generate(const ExportFields &fields, int bytesPerLine, bool assembler,
                 const uchar *image);

// Every image of a file in one text: one banner, then one table per image,
// image0, image1, ..., each started by preset `id`'s own table start, so
// `fields.tableStart` is not used. The C preset ends with `images`, an
// array of pointers to the tables.
QString generateAll(int id, const ExportFields &fields, int bytesPerLine,
                    const QList<QByteArray> &images);

// The parts of a text, for writers that put more around the tables: the
// banner alone, and one table started by `fields.tableStart`, followed by a
// blank line.
QString banner(const ExportFields &fields);
QString table(const ExportFields &fields, int bytesPerLine, bool assembler,
              const QByteArray &image);

bool isLatin1(const QString &text);
bool isLatin1(const ExportFields &fields);

// One byte per character; only meaningful when isLatin1() holds.
QByteArray encode(const QString &text);

} // namespace ExportText
