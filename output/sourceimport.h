#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Tables of bytes read back from source text: C and C++ arrays, assembler
// dt, db and retlw lines, Python bytes, XBM, custom delimiters, and Intel
// HEX; the texts the export writes and what other tools write in those forms.
namespace SourceImport {

struct Table
{
    QString name; // empty when nothing names it
    QByteArray bytes;
};

// What the custom delimiters of an export make of a text, when the usual
// forms do not tell it.
struct Syntax
{
    // A line that starts with it, after blanks, is a comment.
    QString comment;
    // Numbers are this prefix and hexadecimal digits; empty: bare digits.
    bool customHexPrefix = false;
    QString hexPrefix;
    // Texts that may stand between the numbers of a table, such as the
    // separator and the start of a line.
    QStringList between;
};

// A number of a table that no byte holds; the text is then refused whole.
struct NotAByte
{
    quint32 value = 0; // 0xFFFFFFFF for anything larger
    QString table;
};

struct Result
{
    QList<Table> tables;
    std::optional<NotAByte> notAByte;
};

// Every table of the text, in order; a table split into rows by inner
// braces is one table. Array sizes, constants on one line and empty tables
// are not tables.
Result tables(const QByteArray &text, const Syntax &syntax = Syntax());

// Every line that is not blank is an Intel HEX record.
bool isIntelHex(const QByteArray &text);

struct IntelHexData
{
    enum class Fault {
        None,
        BadRecord, // at `line`, from 1: not a whole record or a wrong checksum
        Gap        // no data just before `address`
    };
    Fault fault = Fault::None;
    int line = 0;
    quint64 address = 0;
    // From the lowest address on.
    QByteArray data;
};

IntelHexData readIntelHex(const QByteArray &text);

} // namespace SourceImport
