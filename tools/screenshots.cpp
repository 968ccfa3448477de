// Shows the program as a user first sees it with the sample files loaded,
// and saves a picture of every page: the pictures in the README.
#include "app/startup.h"
#include "app/vexlorwindow.h"
#include "core/maindialogimpl.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

bool save(QWidget *window, const QString &path)
{
    QTest::qWait(300);
    const bool ok = window->grab().save(path);
    if (!ok)
        qWarning("cannot write %s", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        qWarning("usage: vexlor-screenshots EXAMPLES_DIR OUTPUT_DIR");
        return 2;
    }
    const QDir examples(args[1]);
    const QDir out(args[2]);

    Startup::installStartStyle();
    VexlorWindow window;
    Startup::presentMainWindow(window);
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    auto *form = window.findChild<maindialogImpl *>();
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("tabs"));
    form->loadBmpFile(examples.filePath(QStringLiteral("logo.png")));
    form->loadBinFile(examples.filePath(QStringLiteral("demo.bin")));
    form->nextClick();
    form->nextClick();

    bool ok = true;
    const char *const formPages[] = {"form-bitmap", "form-binaire", "form-contenu", "form-export"};
    for (int i = 0; i < 4; ++i) {
        form->TabBitmap->setCurrentIndex(i);
        ok &= save(&window, out.filePath(QLatin1String(formPages[i]) + QStringLiteral(".png")));
    }
    form->menuCopyBin();
    pages->setCurrentIndex(1);
    ok &= save(&window, out.filePath(QStringLiteral("clipboard-picture.png")));
    form->exportCopieClick();
    pages->setCurrentIndex(2);
    ok &= save(&window, out.filePath(QStringLiteral("clipboard-text.png")));
    pages->setCurrentIndex(3);
    ok &= save(&window, out.filePath(QStringLiteral("help.png")));
    return ok ? 0 : 1;
}
