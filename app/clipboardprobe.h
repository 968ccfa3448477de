#pragma once

class QClipboard;

// Whether the program that owns the clipboard answers at all. The toolkit
// waits several seconds on each request it sends to the owner, and a
// single read of a picture sends several: a program that takes the
// clipboard and never answers would freeze the window for over a minute.
namespace ClipboardProbe {

// True when the owner answered within `timeoutMs`, when the clipboard has
// no owner or is our own, and wherever the platform bounds its reads itself.
bool ownerAnswers(const QClipboard *clipboard, int timeoutMs);

} // namespace ClipboardProbe
