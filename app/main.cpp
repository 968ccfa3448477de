#include "app/startup.h"
#include "app/vexlorwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::installStartStyle();
    Startup::installToolkitTranslation();
    Startup::holdImagePlugins();
    VexlorWindow window(nullptr, nullptr, Qt::Window);
    Startup::presentMainWindow(window);
    return app.exec();
}
