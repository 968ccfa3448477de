#pragma once

#include <QSize>
#include <QtGlobal>

class QByteArray;
class QFile;
class QString;

// The one place that opens files for reading: what may be opened, and never
// more than the largest acceptable input plus one byte, so that an endless
// or huge input is told apart from an acceptable one without being held.
namespace FileAccess {

// Who asks decides two things: the window never opens a FIFO, device or
// other stream (it would wait on it with the whole interface frozen) and
// shows its messages on two lines; the command line reads streams, '-'
// included, and prints every message on one line.
enum class Caller { Window, CommandLine };

// Every outcome of reading a picture or a binary file.
enum class Status {
    Ok,
    Unreadable,    // missing, a directory, refused stream, or a read error
    TooLong,       // more bytes than any acceptable input has
    BadLength,     // a binary file longer than 64 images or not whole images
    UnknownFormat, // not a format the caller reads, by its content
    Damaged,       // the file does not hold every pixel the picture claims
    WrongSize,     // decoded, but not 128x64
    TooLarge       // more pixels than decoding may take (command line only)
};

// Standard input, for the command line only.
extern const char StandardInput[];

// Reads at most `limit` + 1 bytes. On any status but Ok, `contents` is untouched.
Status read(const QString &path, qint64 limit, Caller caller, QByteArray &contents);

// As read, except that a regular file of at most `limit` bytes is left open
// in `file`, unread, so that a large picture can be decoded as it is read.
Status open(const QString &path, qint64 limit, Caller caller, QFile &file,
            QByteArray &contents);

// Reads a file that open() left open, from its start, as read would have.
Status readOpened(QFile &file, qint64 limit, QByteArray &contents);

// The text shown for `status`: the window's own texts, or for the command
// line the same on one line, with what it adds to make a refusal clear.
// `size` is the picture size a WrongSize or Damaged picture should have had;
// the window's is always 128x64.
QString message(Status status, Caller caller, const QSize &size = QSize(128, 64));

} // namespace FileAccess
