#pragma once

#include <QtGlobal>

class QByteArray;
class QString;
struct ExportFields;

// Source text for firmware made from one binary image.
namespace ExportText {

enum Preset { Assembler = 0, C = 1, Custom = 2 };

constexpr int MinBytesPerLine = 1;
constexpr int MaxBytesPerLine = 96;
constexpr int DefaultBytesPerLine = 16;

// Fills all six fields for ids 0 to 2; any other id leaves them untouched.
bool preset(int id, ExportFields &fields);

// Every literal, case-sensitive "$tab" becomes one TAB.
QString expandTabs(const QString &text);

// `image` points at 1024 bytes. `assembler` alone decides whether data lines
// end with the separator. A count outside 1..96 is brought into that range.
QString generate(const ExportFields &fields, int bytesPerLine, bool assembler,
                 const uchar *image);

bool isLatin1(const QString &text);
bool isLatin1(const ExportFields &fields);

// One byte per character; only meaningful when isLatin1() holds.
QByteArray encode(const QString &text);

} // namespace ExportText
