// Shows the program as a user first sees it with the sample files loaded,
// and saves a picture of every page and of the form in each GUI style: the
// pictures in the README. The samples are copied to a folder of neutral
// name first, since the pages show the full path of the files loaded.
#include "app/startup.h"
#include "app/vexlorwindow.h"
#include "core/maindialogimpl.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
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

// Copies the samples into a folder that says nothing of the machine.
QString neutralCopy(const QDir &examples)
{
    const QString folder = QDir::temp().filePath(QStringLiteral("exemples"));
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return {};
    for (const QString &name : {QStringLiteral("logo.png"), QStringLiteral("demo.bin")})
        if (!QFile::copy(examples.filePath(name), QDir(folder).filePath(name)))
            return {};
    return folder;
}

QAction *themeItem(VexlorWindow &window, const QString &text)
{
    for (QAction *entry : window.menuBar()->actions())
        for (QAction *item : entry->menu()->actions())
            if (item->text() == text)
                return item;
    return nullptr;
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
    const QString samples = neutralCopy(QDir(args[1]));
    if (samples.isEmpty()) {
        qWarning("cannot copy the samples");
        return 1;
    }
    const QDir examples(samples);
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

    pages->setCurrentIndex(0);
    form->TabBitmap->setCurrentIndex(mainDialogBase::BinaireTab);
    const struct {
        const char *item;
        const char *file;
    } styles[] = {{"&Platinum", "style-platinum"}, {"&Windows", "style-windows"},
                  {"&CDE", "style-cde"},           {"&Motif", "style-motif"},
                  {"&Motif+", "style-motifplus"}};
    for (const auto &style : styles) {
        QAction *item = themeItem(window, QString::fromUtf8(style.item));
        if (!item)
            return 1;
        item->trigger();
        ok &= save(&window, out.filePath(QLatin1String(style.file) + QStringLiteral(".png")));
    }
    QDir(samples).removeRecursively();
    return ok ? 0 : 1;
}
