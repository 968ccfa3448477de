#pragma once

#include <QFont>
#include <QMainWindow>

class HelpLCD;
class QAction;
class QPalette;
class StandInStyle;
class QClipboard;
class QLabel;
class QMenu;
class QMenuBar;
class QTabWidget;
class QTextEdit;
class maindialogImpl;

// The one top-level window: the working form and three viewer pages in a tab
// widget, the menus, GUI style switching and the status bar.
class VexlorWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit VexlorWindow(QWidget *parent = nullptr, const char *name = nullptr,
                          Qt::WindowFlags flags = Qt::Window);
    ~VexlorWindow() override;

public slots:
    void menuHelp();
    void menuAboutMe();
    void menuAboutQt();
    void clipboardChanged();

private slots:
    void stylePlatinum();
    void styleWindows();
    void styleCDE();
    void styleMotif();
    void styleMotifPlus();

private:
    void markStyleItem(QAction *id);
    void applyStyle(StandInStyle *style, const QPalette &palette, const QFont &font, QAction *item);
    void fitAfterStyleChange(QSize wanted);

    maindialogImpl *form = nullptr;
    QTabWidget *tabs = nullptr;
    HelpLCD *helpViewer = nullptr;
    QMenu *fileMenu = nullptr;
    QMenu *helpMenu = nullptr;
    QMenu *themeMenu = nullptr;
    QMenu *editMenu = nullptr;
    QMenuBar *mainMenuBar = nullptr;
    QAction *idMotif = nullptr;
    QAction *idMotifPlus = nullptr;
    QAction *idCDE = nullptr;
    QAction *idPlatinum = nullptr;
    QAction *idWindows = nullptr;
    QFont appFont;
    QClipboard *clipboard = nullptr;
    QLabel *clipPixmapLabel = nullptr;
    QTextEdit *clipTextView = nullptr;
    // While a style's own font stands in for appFont, the size the window
    // had before it; invalid otherwise.
    QSize sizeBeforeStyleFont;
};
