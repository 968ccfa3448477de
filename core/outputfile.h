#pragma once

#include "core/fileaccess.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The one place that writes files. A regular file is replaced in one step,
// keeping its mode, so a failed save leaves it byte for byte as it was; a
// symbolic link is written through; a FIFO or device is written into as cp
// would (the window refuses them rather than wait); nothing else is replaced.
namespace OutputFile {

enum class Status {
    Ok,
    Failed,   // could not be created or written in full
    NotAFile, // a directory, socket or other thing that is never replaced
    Stream,   // a FIFO or device where only a regular file will do
    LinkLoop  // symbolic links that lead back to themselves
};

struct Output
{
    QString path;
    QByteArray data;
};

Status write(const QString &path, const QByteArray &data, FileAccess::Caller caller);

// All the files or none: each is written in full beside its target first,
// and only then do they replace their targets. A stream cannot be taken
// back, so it has no place among them. `failed` names the file that failed.
Status writeAll(const QList<Output> &outputs, QString *failed = nullptr);

QString message(Status status, FileAccess::Caller caller);

} // namespace OutputFile
