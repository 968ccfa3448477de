#include "app/standinstyle.h"
#include "app/vexlorwindow.h"
#include "core/authorship.h"

#include <QApplication>

namespace {

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installStartStyle();
    VexlorWindow window(nullptr, nullptr, Qt::Window);
    presentMainWindow(window);
    return app.exec();
}
