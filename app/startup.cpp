#include "app/startup.h"

#include "app/standinstyle.h"
#include "app/vexlorwindow.h"
#include "core/authorship.h"

#include <QApplication>

namespace Startup {

void installStartStyle()
{
    QApplication::setStyle(new StandInStyle(QStringLiteral("Platinum")));
}

void presentMainWindow(VexlorWindow &window)
{
    window.setWindowTitle(QApplication::translate("main", "Qt - Vexlor")
                          + QStringLiteral("     ") + Authorship::notice());
    window.resize(780, 500);
    window.move(10, 10);
    window.show();
}

} // namespace Startup
