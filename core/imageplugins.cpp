#include "core/imageplugins.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

namespace ImagePlugins {

namespace {

QStringList &deferredPaths()
{
    static QStringList paths;
    return paths;
}

} // namespace

void defer()
{
    if (!deferredPaths().isEmpty())
        return;
    deferredPaths() = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
}

void ensureLoaded()
{
    QStringList &paths = deferredPaths();
    if (paths.isEmpty())
        return;
    QCoreApplication::setLibraryPaths(paths);
    paths.clear();
}

bool isBuiltIn(const QByteArray &format)
{
    static const char *const builtIn[] = {"bmp", "png", "pbm", "pgm", "ppm", "xbm", "xpm"};
    for (const char *name : builtIn)
        if (format == name)
            return true;
    return false;
}

} // namespace ImagePlugins
