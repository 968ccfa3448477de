#include "core/outputfile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OutputFile {

namespace {

using FileAccess::Facts;
using FileAccess::Streams;

struct Target
{
    QByteArray path;      // the file itself, links followed
    bool exists = false;  // a regular file that is replaced
    bool stream = false;  // a FIFO or device, written into
    bool standardOutput = false;
    struct stat info = {};
};

struct Pending
{
    Target target;
    QByteArray temporary;
};

bool sameFile(const struct stat &a, int fd)
{
    struct stat b;
    return ::fstat(fd, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A link may name a file that is yet to be made: follow it to that name.
bool linkTarget(QByteArray path, QByteArray &target)
{
    for (int depth = 0; depth < 64; ++depth) {
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(path.constData(), buffer, sizeof buffer);
        if (length < 0) {
            target = path;
            return errno == EINVAL || errno == ENOENT;
        }
        QByteArray link(buffer, qsizetype(length));
        const qsizetype slash = path.lastIndexOf('/');
        if (!link.startsWith('/') && slash >= 0)
            link.prepend(path.left(slash + 1));
        path = link;
    }
    return false;
}

Status failure(Facts *facts, int error = errno)
{
    if (facts)
        facts->error = error;
    return Status::Failed;
}

Status classify(const QString &name, Streams streams, Target &target, Facts *facts)
{
    const QByteArray path = QFile::encodeName(name);
    if (path.isEmpty())
        return failure(facts, ENOENT);
    if (::stat(path.constData(), &target.info) != 0) {
        if (errno == ELOOP)
            return Status::LinkLoop;
        if (errno != ENOENT)
            return failure(facts);
        return linkTarget(path, target.path) ? Status::Ok : Status::LinkLoop;
    }
    const mode_t mode = target.info.st_mode;
    // "-o /dev/stdout" and its like: the descriptor the shell set up, with
    // its offset and append mode, rather than a file renamed under it.
    if (streams == Streams::Allowed && !S_ISDIR(mode) && sameFile(target.info, STDOUT_FILENO)) {
        target.standardOutput = true;
        return Status::Ok;
    }
    if (S_ISREG(mode)) {
        char *real = ::realpath(path.constData(), nullptr);
        if (!real)
            return failure(facts);
        target.path = real;
        std::free(real);
        target.exists = true;
        // A read-only file is not replaced just because its folder is writable.
        return ::access(target.path.constData(), W_OK) == 0 ? Status::Ok : failure(facts);
    }
    if (S_ISFIFO(mode) || S_ISCHR(mode) || S_ISBLK(mode)) {
        target.path = path;
        target.stream = true;
        return streams == Streams::Allowed ? Status::Ok : Status::Stream;
    }
    return Status::NotAFile;
}

bool writeFully(int fd, const QByteArray &data)
{
    const char *at = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, at, size_t(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done == 0)
            errno = ENOSPC;
        if (done <= 0)
            return false;
        at += done;
        left -= done;
    }
    return true;
}

// Removing a temporary must not hide why the write failed.
void discard(const QByteArray &temporary)
{
    const int error = errno;
    ::unlink(temporary.constData());
    errno = error;
}

bool writeStream(const Target &target, const QByteArray &data)
{
    if (target.standardOutput)
        return writeFully(STDOUT_FILENO, data);
    const int fd = ::open(target.path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool written = writeFully(fd, data);
    return ::close(fd) == 0 && written;
}

// Beside the target, so that the rename that publishes it stays on one file system.
bool writeTemporary(Pending &pending, const QByteArray &data)
{
    const Target &target = pending.target;
    const qsizetype slash = target.path.lastIndexOf('/');
    const QByteArray folder = target.path.left(slash + 1);
    const QByteArray base = target.path.mid(slash + 1);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        pending.temporary = folder + '.' + base + '.'
            + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(pending.temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return false;
    bool written = writeFully(fd, data);
    if (written && target.exists) {
        written = ::fchmod(fd, target.info.st_mode & 07777) == 0;
        // Only root can give the copy back to the file's owner; anyone
        // else could write the file only because it was theirs already.
        if (target.info.st_uid != ::geteuid()) {
            const bool owned = ::fchown(fd, target.info.st_uid, target.info.st_gid) == 0;
            Q_UNUSED(owned)
        }
    }
    written = written && ::fdatasync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written)
        discard(pending.temporary);
    return written;
}

bool publish(const Pending &pending)
{
    if (::rename(pending.temporary.constData(), pending.target.path.constData()) == 0)
        return true;
    discard(pending.temporary);
    return false;
}

} // namespace

Status write(const QString &path, const QByteArray &data, Streams streams, Facts *facts)
{
    if (facts)
        facts->path = path;
    Pending pending;
    const Status status = classify(path, streams, pending.target, facts);
    if (status != Status::Ok)
        return status;
    if (pending.target.stream || pending.target.standardOutput)
        return writeStream(pending.target, data) ? Status::Ok : failure(facts);
    return writeTemporary(pending, data) && publish(pending) ? Status::Ok : failure(facts);
}

Status writeAll(const QList<Output> &outputs, Facts *facts)
{
    QList<Pending> pending(outputs.size());
    auto fail = [&](qsizetype i, Status status) {
        if (facts)
            facts->path = outputs.at(i).path;
        return status;
    };
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        const Status status = classify(outputs.at(i).path, Streams::Allowed, pending[i].target, facts);
        if (status != Status::Ok)
            return fail(i, status);
        if (pending.at(i).target.stream || pending.at(i).target.standardOutput)
            return fail(i, Status::Stream);
    }
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        if (!writeTemporary(pending[i], outputs.at(i).data)) {
            failure(facts);
            for (qsizetype j = 0; j < i; ++j)
                ::unlink(pending.at(j).temporary.constData());
            return fail(i, Status::Failed);
        }
    }
    // Renames within a folder fail only if the folder itself changes meanwhile.
    for (qsizetype i = 0; i < pending.size(); ++i) {
        if (!publish(pending.at(i))) {
            failure(facts);
            for (qsizetype j = i + 1; j < pending.size(); ++j)
                ::unlink(pending.at(j).temporary.constData());
            return fail(i, Status::Failed);
        }
    }
    return Status::Ok;
}

} // namespace OutputFile
