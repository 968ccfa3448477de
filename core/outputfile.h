#pragma once

#include "core/fileaccess.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The one place that writes files. A regular file is replaced in one step,
// keeping its mode, so a failed save leaves it byte for byte as it was; a
// symbolic link is written through; a FIFO or device is written into as cp
// would, where streams are allowed; nothing else is replaced.
namespace OutputFile {

enum class Status {
    Ok,
    Failed,   // could not be created or written in full: Facts::error says why
    NotAFile, // a directory, socket or other thing that is never replaced
    Stream,   // a FIFO or device where only a regular file will do
    LinkLoop  // symbolic links that lead back to themselves
};

struct Output
{
    QString path;
    QByteArray data;
};

// Where streams are allowed, a name for standard output ("/dev/stdout")
// writes to the descriptor the shell set up.
Status write(const QString &path, const QByteArray &data, FileAccess::Streams streams,
             FileAccess::Facts *facts = nullptr);

// All the files or none: each is written in full beside its target first,
// and only then do they replace their targets. A stream cannot be taken
// back, so it has no place among them. `facts` names the file that failed.
Status writeAll(const QList<Output> &outputs, FileAccess::Facts *facts = nullptr);

} // namespace OutputFile
