#include "core/fileaccess.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileAccess {

const char StandardInput[] = "-";

namespace {

Status failed(Status status, Facts *facts, int error = 0, qint64 length = -1)
{
    if (facts) {
        facts->error = error;
        facts->length = length;
    }
    return status;
}

Status systemFailure(int error, Facts *facts)
{
    const Status status = error == ENOENT || error == ENOTDIR ? Status::Missing
        : error == EISDIR                                    ? Status::NotAFile
                                                             : Status::Unreadable;
    return failed(status, facts, error);
}

// `expected`: the size a regular file claims, so that the data is read
// straight into one allocation of its size; a stream grows it as it comes.
Status readDescriptor(int fd, qint64 limit, qint64 expected, QByteArray &contents, Facts *facts)
{
    const qint64 start = expected > 0 ? qMin(expected, limit) + 1 : qMin<qint64>(limit + 1, 65536);
    QByteArray data(qsizetype(start), Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        if (size == data.size()) {
            if (size > limit)
                return failed(Status::TooLong, facts, 0, size);
            data.resize(qsizetype(qMin(limit + 1, qMax<qint64>(2 * size, 65536))));
        }
        const ssize_t got = ::read(fd, data.data() + size, size_t(data.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return systemFailure(errno, facts);
        if (got == 0)
            break;
        size += got;
    }
    data.truncate(qsizetype(size));
    contents = data;
    return Status::Ok;
}

Status closed(int fd, Status status)
{
    ::close(fd);
    return status;
}

Status openOrRead(const QString &path, qint64 limit, Streams streams, QFile *file,
                  QByteArray &contents, Facts *facts)
{
    if (streams == Streams::Allowed && path == QLatin1String(StandardInput))
        return readDescriptor(STDIN_FILENO, limit, 0, contents, facts);
    // Without O_NONBLOCK, opening a FIFO waits for a writer; where streams are
    // refused, fstat then tells, and also sees a file swapped since it was chosen.
    const int flags = O_RDONLY | O_CLOEXEC | (streams == Streams::Refused ? O_NONBLOCK : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return systemFailure(errno, facts);
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return closed(fd, systemFailure(errno, facts));
    if (S_ISDIR(info.st_mode) || S_ISSOCK(info.st_mode))
        return closed(fd, failed(Status::NotAFile, facts));
    if (!S_ISREG(info.st_mode) && streams == Streams::Refused)
        return closed(fd, failed(Status::Stream, facts));
    // A huge file is refused by its size, before a byte of it is read.
    const qint64 expected = S_ISREG(info.st_mode) ? info.st_size : 0;
    if (expected > limit)
        return closed(fd, failed(Status::TooLong, facts, 0, expected));
    if (file && S_ISREG(info.st_mode))
        return file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
            ? Status::Ok
            : closed(fd, failed(Status::Unreadable, facts, EIO));
    return closed(fd, readDescriptor(fd, limit, expected, contents, facts));
}

} // namespace

Status read(const QString &path, qint64 limit, Streams streams, QByteArray &contents, Facts *facts)
{
    return openOrRead(path, limit, streams, nullptr, contents, facts);
}

Status open(const QString &path, qint64 limit, Streams streams, QFile &file, QByteArray &contents,
            Facts *facts)
{
    return openOrRead(path, limit, streams, &file, contents, facts);
}

Status readOpened(QFile &file, qint64 limit, QByteArray &contents, Facts *facts)
{
    // Read below the file's own buffer, which a reader may have filled.
    if (::lseek(file.handle(), 0, SEEK_SET) != 0)
        return systemFailure(errno, facts);
    return readDescriptor(file.handle(), limit, file.size(), contents, facts);
}

bool neverRead(Status status)
{
    return status == Status::Missing || status == Status::NotAFile || status == Status::Stream
        || status == Status::Unreadable;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && S_ISREG(first.st_mode)
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace FileAccess
