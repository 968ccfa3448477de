#include "core/atomicwrite.h"

#include <QByteArray>
#include <QSaveFile>

namespace AtomicWrite {

bool writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk, a size limit) shows in the
    // count written instead of vanishing in a flush that reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace AtomicWrite
