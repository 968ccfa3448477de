#pragma once

#include <QtGlobal>

class QByteArray;
class QString;

// A binary file: 0 to 64 binary images back to back, taken whole or not at all.
namespace BinFile {

enum class Status {
    Ok,
    Unreadable, // cannot be opened, or its content could not be read in full
    BadLength   // longer than 65536 bytes or not a multiple of 1024
};

bool isValidLength(qint64 length);

// On any status but Ok, `contents` is left untouched.
Status read(const QString &path, QByteArray &contents);

} // namespace BinFile
