#pragma once

#include <QImage>
#include <QString>

class QClipboard;

// Reads another program's clipboard without letting it hold up the window.
// The toolkit waits five seconds on every request it sends to the owner,
// and reading a picture and a text sends several: an owner that answers
// late, or only in part, would freeze the window for many seconds.
namespace ClipboardProbe {

// What the owner delivered in time; a kind it withheld or lacks stays null.
struct Contents
{
    QImage image;
    QString text;
};

// Asks the owner for its picture and its text at once, and gives it
// `timeoutMs` in all. False where the program cannot ask it itself (another
// platform, the clipboard is the program's own): the toolkit's clipboard
// then reads it.
bool readForeign(const QClipboard *clipboard, int timeoutMs, Contents &contents);

} // namespace ClipboardProbe
