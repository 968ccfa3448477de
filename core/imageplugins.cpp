#include "core/imageplugins.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

namespace ImagePlugins {

namespace {

QStringList &deferredPaths()
{
    static QStringList paths;
    return paths;
}

std::function<bool()> &guiApplicationMaker()
{
    static std::function<bool()> make;
    return make;
}

bool hasGuiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
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

void setGuiApplicationMaker(const std::function<bool()> &make)
{
    guiApplicationMaker() = make;
}

bool ensureFonts()
{
    if (hasGuiApplication())
        return true;
    // The platform plugin is found where the image plugins are.
    ensureLoaded();
    const std::function<bool()> make = guiApplicationMaker();
    return make && make() && hasGuiApplication();
}

} // namespace ImagePlugins
