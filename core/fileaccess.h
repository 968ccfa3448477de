#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QFile;

// The one place that opens files for reading: what may be opened, and never
// more than the largest acceptable input plus one byte, so that an endless
// or huge input is told apart from an acceptable one without being held.
namespace FileAccess {

// Whether a FIFO, device or other stream may be read or written. An
// interactive program refuses them: it would wait on one with its whole
// interface frozen. A shell command reads them, "-" for standard input too.
enum class Streams { Refused, Allowed };

// Every outcome of reading a picture or a binary file, one per cause.
enum class Status {
    Ok,
    Missing,       // no such file, or no such folder on its path
    NotAFile,      // a directory or socket
    Stream,        // a FIFO or device where streams are refused
    Unreadable,    // could not be opened or read: Facts::error says why
    TooLong,       // more bytes than any acceptable input has
    BadLength,     // a binary file not of whole images, or more than it may hold
    UnknownFormat, // not a format the caller reads, by its content
    Damaged,       // the file does not hold every pixel the picture claims
    WrongSize,     // decoded, but not the size asked for
    TooLarge       // more pixels than decoding may take
};

// Missing, NotAFile, Stream or Unreadable: the file's content was never seen.
bool neverRead(Status status);

// What a message about a refusal needs beyond its status.
struct Facts
{
    QString path;      // the file the refusal is about, where several are involved
    qint64 length = -1; // the file's length, where the length is the fault
    int error = 0;     // the system's error number, where the system refused
    QByteArray format; // a picture format found where a binary file was expected
};

// Standard input, where streams are allowed.
extern const char StandardInput[];

// Reads at most `limit` + 1 bytes. On any status but Ok, `contents` is untouched.
Status read(const QString &path, qint64 limit, Streams streams, QByteArray &contents,
            Facts *facts = nullptr);

// As read, except that a regular file of at most `limit` bytes is left open
// in `file`, unread, so that a large picture can be decoded as it is read.
Status open(const QString &path, qint64 limit, Streams streams, QFile &file,
            QByteArray &contents, Facts *facts = nullptr);

// Reads a file that open() left open, from its start, as read would have.
Status readOpened(QFile &file, qint64 limit, QByteArray &contents, Facts *facts = nullptr);

// True when both names lead to one existing regular file (links followed):
// a command that replaced one of its own inputs would destroy it. Streams
// and devices are written into, never replaced, so they never count.
bool sameFile(const QString &a, const QString &b);

} // namespace FileAccess
