#pragma once

#include "core/fileaccess.h"

#include <QtGlobal>
#include <qcontainerfwd.h>

class QByteArray;
class QString;

// A binary file: binary images back to back, taken whole or not at all.
namespace BinFile {

// The window's files: 64 images of 1024 bytes, a 27C512's worth.
constexpr qint64 WindowBytes = 65536;
// What a shell command takes and writes at most: the largest common SPI flash.
constexpr qint64 MaxBytes = 16 * 1024 * 1024;

// Whole images of `imageBytes` each, `maxBytes` in all at most.
bool isValidLength(qint64 length, int imageBytes = 1024, qint64 maxBytes = WindowBytes);

// Ok, BadLength (a file too long to hold is one of bad length; `facts` gets
// its length, and the picture format it holds, if any) or a reason it could
// not be read. On any status but Ok, `contents` is left untouched.
FileAccess::Status read(const QString &path, FileAccess::Streams streams, QByteArray &contents,
                        int imageBytes = 1024, qint64 maxBytes = WindowBytes,
                        FileAccess::Facts *facts = nullptr);

// A memory's size in bytes: a number with an optional K or M suffix (of
// 1024), or the name of a serial EEPROM ("24c256"). False for anything else.
bool capacityFromText(const QString &text, qint64 &bytes);
// The EEPROM names capacityFromText knows, smallest first.
QStringList eepromNames();

} // namespace BinFile
