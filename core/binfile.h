#pragma once

#include "core/fileaccess.h"

#include <QtGlobal>

class QByteArray;
class QString;

// A binary file: 0 to 64 binary images back to back, taken whole or not at all.
namespace BinFile {

// Whole images of `imageBytes` each, at most 64 of them; the window's
// images are 1024 bytes.
bool isValidLength(qint64 length, int imageBytes = 1024);

// Ok, Unreadable or BadLength (a file too long to hold is one of bad length).
// On any status but Ok, `contents` is left untouched.
FileAccess::Status read(const QString &path, FileAccess::Caller caller, QByteArray &contents,
                        int imageBytes = 1024);

} // namespace BinFile
