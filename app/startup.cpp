#include "app/startup.h"

#include "app/standinstyle.h"
#include "app/vexlorwindow.h"
#include "core/authorship.h"
#include "core/imageplugins.h"

#include <QApplication>
#include <QTimer>

namespace Startup {

void installStartStyle()
{
    QApplication::setStyle(new StandInStyle(QStringLiteral("Platinum")));
}

void holdImagePlugins()
{
    ImagePlugins::defer();
}

void presentMainWindow(VexlorWindow &window)
{
    window.setWindowTitle(QApplication::translate("main", "Qt - Vexlor")
                          + QStringLiteral("     ") + Authorship::notice());
    window.resize(780, 500);
    window.move(10, 10);
    window.show();
    // Icon engines, print support and the rest share the plugin paths.
    QTimer::singleShot(0, &ImagePlugins::ensureLoaded);
}

} // namespace Startup
