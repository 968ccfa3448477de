#pragma once

class QByteArray;
class QString;

namespace AtomicWrite {

// Replaces `path` with `data` in one step: on any failure the file that was
// there before is left byte for byte as it was, and false is returned.
bool writeFile(const QString &path, const QByteArray &data);

} // namespace AtomicWrite
