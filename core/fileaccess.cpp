#include "core/fileaccess.h"

#include "core/picturedecoder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileAccess {

const char StandardInput[] = "-";

namespace {

// `expected`: the size a regular file claims, so that the data is read
// straight into one allocation of its size; a stream grows it as it comes.
Status readDescriptor(int fd, qint64 limit, qint64 expected, QByteArray &contents)
{
    const qint64 start = expected > 0 ? qMin(expected, limit) + 1 : qMin<qint64>(limit + 1, 65536);
    QByteArray data(qsizetype(start), Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        if (size == data.size()) {
            if (size > limit)
                return Status::TooLong;
            data.resize(qsizetype(qMin(limit + 1, qMax<qint64>(2 * size, 65536))));
        }
        const ssize_t got = ::read(fd, data.data() + size, size_t(data.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Status::Unreadable;
        if (got == 0)
            break;
        size += got;
    }
    data.truncate(qsizetype(size));
    contents = data;
    return Status::Ok;
}

QString windowText(const char *text)
{
    return QCoreApplication::translate("maindialogImpl", text);
}

Status closed(int fd, Status status)
{
    ::close(fd);
    return status;
}

Status openOrRead(const QString &path, qint64 limit, Caller caller, QFile *file,
                  QByteArray &contents)
{
    if (caller == Caller::CommandLine && path == QLatin1String(StandardInput))
        return readDescriptor(STDIN_FILENO, limit, 0, contents);
    // Without O_NONBLOCK, opening a FIFO waits for a writer; the window then
    // refuses it after fstat, which also sees a file swapped since it was chosen.
    const int flags = O_RDONLY | O_CLOEXEC | (caller == Caller::Window ? O_NONBLOCK : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return Status::Unreadable;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)
        || (!S_ISREG(info.st_mode) && caller == Caller::Window))
        return closed(fd, Status::Unreadable);
    // A huge file is refused by its size, before a byte of it is read.
    const qint64 expected = S_ISREG(info.st_mode) ? info.st_size : 0;
    if (expected > limit)
        return closed(fd, Status::TooLong);
    if (file && S_ISREG(info.st_mode))
        return file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
            ? Status::Ok
            : closed(fd, Status::Unreadable);
    return closed(fd, readDescriptor(fd, limit, expected, contents));
}

} // namespace

Status read(const QString &path, qint64 limit, Caller caller, QByteArray &contents)
{
    return openOrRead(path, limit, caller, nullptr, contents);
}

Status open(const QString &path, qint64 limit, Caller caller, QFile &file, QByteArray &contents)
{
    return openOrRead(path, limit, caller, &file, contents);
}

Status readOpened(QFile &file, qint64 limit, QByteArray &contents)
{
    // Read below the file's own buffer, which a reader may have filled.
    if (::lseek(file.handle(), 0, SEEK_SET) != 0)
        return Status::Unreadable;
    return readDescriptor(file.handle(), limit, file.size(), contents);
}

QString message(Status status, Caller caller, const QSize &size)
{
    QString sizeText = windowText("Taille de l'image différente\nde 128 * 64 pixels");
    sizeText.replace(QStringLiteral("128 * 64"),
                     QStringLiteral("%1 * %2").arg(size.width()).arg(size.height()));
    QString text;
    QString detail;
    switch (status) {
    case Status::Ok:
        return QString();
    case Status::Unreadable:
        text = windowText("Fichier Introuvable !");
        break;
    case Status::BadLength:
        text = windowText("Mauvais Format");
        break;
    case Status::UnknownFormat:
        if (caller == Caller::CommandLine)
            return QStringLiteral("Format d'image inconnu (BMP, PNG, JPEG, GIF, WebP, TIFF, SVG, "
                                  "ICO, XPM, XBM, PBM, PGM, PPM or TGA)");
        text = windowText("Format d'image inconnu\n(Bitmap ou PNG uniquement)");
        break;
    case Status::TooLong:
        if (caller == Caller::CommandLine)
            return QStringLiteral("too large for a picture or a binary file");
        text = sizeText;
        break;
    case Status::Damaged:
        text = sizeText;
        detail = QStringLiteral("damaged: the file does not hold all of its pixels");
        break;
    case Status::WrongSize:
        text = sizeText;
        break;
    case Status::TooLarge:
        return QStringLiteral("too large to decode: more pixels than %1x%1")
            .arg(PictureDecoder::MaxDecodedSide);
    }
    if (caller == Caller::Window)
        return text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + QLatin1Char(')');
}

} // namespace FileAccess
