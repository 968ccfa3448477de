#pragma once

#include <QList>
#include <QString>

class QByteArray;

// Which characters a font conversion takes, as sorted, distinct code points.
namespace FontCharacters {

constexpr char32_t MaxCode = 0x10FFFF;
// Fixed cells and GFX glyphs are indexed by code, so the table holds every
// code from the first to the last: no more than this many.
constexpr int MaxSpan = 65536;

// "32-126", "U+00A0-U+00FF", "0x20-0x7E", "U+20AC" and lists of them joined
// by commas; any other text stands for its own characters. Empty when
// `codes` was filled, otherwise why not.
QString parse(const QString &text, QList<char32_t> &codes);

// Every character that UTF-8 text uses, line breaks, tabs and other control
// characters apart. False when the bytes are not UTF-8.
bool fromText(const QByteArray &utf8, QList<char32_t> &codes);

// C0 and C1 controls and the byte order mark: no font draws them.
bool isControl(char32_t code);

// Sorted and distinct: what the others give, merged.
QList<char32_t> merged(const QList<char32_t> &a, const QList<char32_t> &b);

// "U+00E9".
QString name(char32_t code);

} // namespace FontCharacters
