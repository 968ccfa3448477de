#include <QApplication>
#include <QWidget>

// An empty top-level widget at the main window's size and place.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(780, 500);
    window.move(10, 10);
    window.show();
    return app.exec();
}
