#include "core/atomicwrite.h"

#include <QByteArray>
#include <QSaveFile>

namespace AtomicWrite {

bool writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace AtomicWrite
