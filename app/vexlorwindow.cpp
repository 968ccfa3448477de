#include "app/vexlorwindow.h"

#include "app/clipboardprobe.h"
#include "app/helplcd.h"
#include "app/standinstyle.h"
#include "app/windowpictures.h"
#include "core/authorship.h"
#include "core/maindialogimpl.h"
#include "form/fixedfont.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStringList>
#include <QTabWidget>
#include <QTextEdit>

namespace {

constexpr int AboutWidth = 45;
// How long the clipboard pages wait, in all, for another program's clipboard.
constexpr int ClipboardOwnerMs = 800;
constexpr int AboutNoticeLines = 4;
// Enough for a new font to pass through every nesting of layouts.
constexpr int MaxLayoutPasses = 8;

// Same placement as the two title lines: centred, the odd blank on the right.
QString aboutLine(const QString &text)
{
    const int spare = qMax(0, AboutWidth - int(text.size()));
    const int left = spare / 2;
    return QString(left, QLatin1Char(' ')) + text + QString(spare - left, QLatin1Char(' '));
}

// The notice takes the last four lines of the About text, one comma-separated
// part per line, centred vertically with a blank line above it when it can.
QStringList aboutNoticeLines(const QString &notice)
{
    QStringList parts;
    const QStringList pieces = notice.split(QStringLiteral(", "));
    for (int i = 0; i < pieces.size(); ++i) {
        const QString piece = pieces.at(i) + (i + 1 < pieces.size() ? QStringLiteral(",") : QString());
        if (parts.size() < AboutNoticeLines)
            parts << piece;
        else
            parts.last() += QLatin1Char(' ') + piece;
    }
    const int above = (AboutNoticeLines - int(parts.size()) + 1) / 2;
    QStringList lines;
    for (int i = 0; i < AboutNoticeLines; ++i) {
        const int part = i - above;
        lines << aboutLine(part >= 0 && part < parts.size() ? parts.at(part) : QString());
    }
    return lines;
}

// Menus send an empty status tip whenever the pointer crosses them, and the
// main window answers one by clearing its status bar: the authorship notice
// would go long before the form's first message replaces it. No item of
// the program has a tip of its own, so an empty one never has anything to
// show.
class EmptyStatusTipFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::StatusTip
            && static_cast<QStatusTipEvent *>(event)->tip().isEmpty())
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

VexlorWindow::VexlorWindow(QWidget *parent, const char *name, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
    if (name)
        setObjectName(QString::fromLatin1(name));

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));

    form = new maindialogImpl(tabs, nullptr, false, {});
    tabs->addTab(form, tr("Vexlor"));

    clipPixmapLabel = new QLabel(tabs);
    clipPixmapLabel->setObjectName(QStringLiteral("clipPixmapLabel"));
    // A screen-sized picture from another program must not stretch the window.
    clipPixmapLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    tabs->addTab(clipPixmapLabel, tr("Clipboard qpixmap"));

    clipTextView = new QTextEdit(tabs);
    clipTextView->setObjectName(QStringLiteral("clipTextView"));
    clipTextView->setReadOnly(true);
    clipTextView->setFont(fixedWidthFont());
    tabs->addTab(clipTextView, tr("Clipboard text"));

    helpViewer = new HelpLCD(tabs, "Aide");
    tabs->addTab(helpViewer, tr("Aide"));

    setCentralWidget(tabs);
    tabs->setCurrentWidget(form);

    const QIcon openIcon(QPixmap(WindowPictures::openPicture));
    const QIcon saveIcon(QPixmap(WindowPictures::savePicture));

    fileMenu = new QMenu(tr("&Fichier"), this);
    fileMenu->addAction(openIcon, tr("Charger BMP"), QKeySequence(Qt::CTRL | Qt::Key_O),
                        form, SLOT(loadBmpClick()));
    fileMenu->addAction(openIcon, tr("Charger BIN"), form, SLOT(loadBinClick()));
    fileMenu->addSeparator();
    fileMenu->addAction(saveIcon, tr("Sauvegarder BMP"), form, SLOT(saveBmpClick()));
    fileMenu->addAction(saveIcon, tr("Sauvegarder BIN"), QKeySequence(Qt::CTRL | Qt::Key_S),
                        form, SLOT(saveBinClick()));
    fileMenu->addSeparator();
    fileMenu->addAction(tr("Quitter"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                        qApp, SLOT(quit()));

    editMenu = new QMenu(tr("&Edition"), this);
    editMenu->addAction(tr("Copier Image Bin"), form, SLOT(menuCopyBin()));

    themeMenu = new QMenu(tr("&Thème"), this);
    idMotif = themeMenu->addAction(tr("&Motif"), this, SLOT(styleMotif()));
    idMotifPlus = themeMenu->addAction(tr("&Motif+"), this, SLOT(styleMotifPlus()));
    idCDE = themeMenu->addAction(tr("&CDE"), this, SLOT(styleCDE()));
    idPlatinum = themeMenu->addAction(tr("&Platinum"), this, SLOT(stylePlatinum()));
    idWindows = themeMenu->addAction(tr("&Windows"), this, SLOT(styleWindows()));
    auto *styleItems = new QActionGroup(themeMenu);
    styleItems->setExclusive(true);
    for (QAction *item : themeMenu->actions()) {
        item->setCheckable(true);
        styleItems->addAction(item);
    }
    appFont = QApplication::font();

    helpMenu = new QMenu(tr("&Aide"), this);
    helpMenu->addAction(tr("Aide"), QKeySequence(Qt::Key_F1), this, SLOT(menuHelp()));
    helpMenu->addSeparator();
    helpMenu->addAction(tr("&About"), this, SLOT(menuAboutMe()));
    helpMenu->addSeparator();
    helpMenu->addAction(tr("About &Qt"), this, SLOT(menuAboutQt()));

    mainMenuBar = new QMenuBar(this);
    mainMenuBar->setObjectName(QStringLiteral("mainMenuBar"));
    mainMenuBar->addMenu(fileMenu);
    mainMenuBar->addMenu(editMenu);
    mainMenuBar->addMenu(themeMenu);
    mainMenuBar->addMenu(helpMenu);
    setMenuBar(mainMenuBar);

    markStyleItem(idPlatinum);

    installEventFilter(new EmptyStatusTipFilter(this));
    statusBar()->showMessage(Authorship::notice());

    setWindowIcon(QIcon(QPixmap(WindowPictures::windowIcon)));

    form->attachStatusBar(statusBar());

    clipboard = QApplication::clipboard();
    connect(clipboard, &QClipboard::dataChanged, this, &VexlorWindow::clipboardChanged);
}

VexlorWindow::~VexlorWindow() = default;

void VexlorWindow::menuHelp()
{
    tabs->setCurrentWidget(helpViewer);
}

void VexlorWindow::menuAboutMe()
{
    QStringList lines;
    lines << tr("      Convertisseur Bitmap <-> Binaire       ")
          << tr("         pour afficheur LCD 128x64           ")
          << aboutNoticeLines(Authorship::notice());
    QMessageBox::about(this, tr("About"), lines.join(QLatin1Char('\n')));
}

void VexlorWindow::menuAboutQt()
{
    QMessageBox::aboutQt(this, tr("Vexlor") + QStringLiteral("     ") + Authorship::notice());
}

void VexlorWindow::clipboardChanged()
{
    // Another program's clipboard is read with a time limit of our own; a
    // kind of data it withholds leaves its page as it was, like a clipboard
    // that holds no such data.
    ClipboardProbe::Contents contents;
    if (!ClipboardProbe::readForeign(clipboard, ClipboardOwnerMs, contents)) {
        contents.image = clipboard->image();
        contents.text = clipboard->text();
    }
    if (!contents.image.isNull())
        clipPixmapLabel->setPixmap(QPixmap::fromImage(contents.image));
    if (!contents.text.isNull())
        clipTextView->setText(contents.text);
}

void VexlorWindow::stylePlatinum()
{
    auto *style = new StandInStyle(QStringLiteral("Platinum"));
    // Installing a style keeps an application palette set before, so the
    // CDE colours would otherwise stay.
    applyStyle(style, style->standardPalette(), appFont, idPlatinum);
}

void VexlorWindow::styleWindows()
{
    auto *style = new StandInStyle(QStringLiteral("Windows"));
    applyStyle(style, style->standardPalette(), appFont, idWindows);
}

void VexlorWindow::styleCDE()
{
    auto *style = new StandInStyle(QStringLiteral("CDE"));
    style->setUseHighlightColors(true);

    const QColor dark(55, 77, 78);
    QPalette palette(QColor(75, 123, 130));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor foreground = group == QPalette::Disabled ? QColor(Qt::lightGray) : QColor(Qt::white);
        palette.setColor(group, QPalette::Base, dark);
        palette.setColor(group, QPalette::Highlight, Qt::white);
        palette.setColor(group, QPalette::HighlightedText, dark);
        palette.setColor(group, QPalette::WindowText, foreground);
        palette.setColor(group, QPalette::Text, foreground);
        palette.setColor(group, QPalette::ButtonText, foreground);
    }

    QFont font(QStringLiteral("times"));
    if (appFont.pointSizeF() > 0)
        font.setPointSizeF(appFont.pointSizeF());
    else
        font.setPixelSize(appFont.pixelSize());
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    applyStyle(style, palette, font, idCDE);
}

void VexlorWindow::styleMotif()
{
    auto *style = new StandInStyle(QStringLiteral("Motif"));
    style->setUseHighlightColors(false);
    applyStyle(style, QPalette(QColor(192, 192, 192)), appFont, idMotif);
}

void VexlorWindow::styleMotifPlus()
{
    auto *style = new StandInStyle(QStringLiteral("Motif+"));
    style->setHoverHighlighting(false);
    applyStyle(style, QPalette(QColor(192, 192, 192)), appFont, idMotifPlus);
}

void VexlorWindow::applyStyle(StandInStyle *style, const QPalette &palette, const QFont &font,
                              QAction *item)
{
    // A font other than the application's own may need more room than the
    // window has, at once or when a page is first shown; the size to come
    // back to is the one the window had before it.
    const QSize wanted = sizeBeforeStyleFont.isValid() ? sizeBeforeStyleFont : size();
    QApplication::setStyle(style);
    QApplication::setPalette(palette);
    QApplication::setFont(font);
    markStyleItem(item);
    fitAfterStyleChange(wanted);
    sizeBeforeStyleFont = font == appFont ? QSize() : wanted;
}

void VexlorWindow::fitAfterStyleChange(QSize wanted)
{
    if (!isVisible() || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    // The new font reaches the widgets through posted events, and the
    // layouts take its room only when their own requests are handled, a
    // child's pass posting its parent's: both are settled now, so that the
    // window grows at once when it must and gives the room back when it
    // need not.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
    for (int pass = 0; pass < MaxLayoutPasses; ++pass)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    // Layouts of pages not shown are never renewed, and others measured
    // again while the font was still on its way: every size kept from
    // before goes.
    const QList<QLayout *> layouts = findChildren<QLayout *>();
    for (QLayout *each : layouts)
        each->invalidate();
    const QList<QWidget *> widgets = findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        widget->updateGeometry();
    layout()->activate();
    // Never below what the pages need: nothing may be cut off.
    resize(wanted.expandedTo(minimumSize()));
}

void VexlorWindow::markStyleItem(QAction *id)
{
    // The exclusive group takes the mark off the other four.
    id->setChecked(true);
}
