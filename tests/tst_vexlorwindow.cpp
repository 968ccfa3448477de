#include "app/standinstyle.h"
#include "app/startup.h"
#include "app/vexlorwindow.h"
#include "app/windowpictures.h"
#include "core/authorship.h"
#include "core/maindialogimpl.h"
#include "support/modalanswerer.h"

#include <QApplication>
#include <QClipboard>
#include <QStyle>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QRadioButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>

class TestVexlorWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUp();
    void noticeOutlastsMenuTraffic_data();
    void noticeOutlastsMenuTraffic();
    void startUpPages_data();
    void startUpPages();
    void shortcutsFromEveryPage_data();
    void shortcutsFromEveryPage();
    void copyBinShowsOnPicturePage();
    void clipboardPages_data();
    void clipboardPages();
    void clipboardPagesEmptyAtStart();
    void bigClipboardPictureKeepsWindowSize();
    void styles_data();
    void styles();
    void cdePalette_data();
    void cdePalette();
    void aboutBoxes_data();
    void aboutBoxes();
    void pictures_data();
    void pictures();
    void toolkitDialogsInFrench();
    void helpKeepsItsPage_data();
    void helpKeepsItsPage();
    // Last: once the application's own loop has run and quit, nested dialog
    // loops return at once.
    void quitFromEveryPage_data();
    void quitFromEveryPage();

private:
    QAction *item(const QString &text) const;
    QStringList checkedThemeItems() const;
    QTabWidget *tabs() const { return window->findChild<QTabWidget *>("tabs"); }
    QLabel *pictureLabel() const { return window->findChild<QLabel *>("clipPixmapLabel"); }
    QTextEdit *textView() const { return window->findChild<QTextEdit *>("clipTextView"); }

    QFont startFont;
    VexlorWindow *window = nullptr;
};

void TestVexlorWindow::initTestCase()
{
    startFont = QApplication::font();
}

void TestVexlorWindow::init()
{
    Startup::installStartStyle();
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setFont(startFont);
    QApplication::clipboard()->clear();
    QCoreApplication::processEvents();

    window = new VexlorWindow(nullptr, nullptr, Qt::Window);
    Startup::presentMainWindow(*window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestVexlorWindow::cleanup()
{
    delete window;
    window = nullptr;
}

QAction *TestVexlorWindow::item(const QString &text) const
{
    for (QAction *entry : window->menuBar()->actions())
        for (QAction *a : entry->menu()->actions())
            if (a->text() == text)
                return a;
    return nullptr;
}

QStringList TestVexlorWindow::checkedThemeItems() const
{
    QStringList checked;
    for (QAction *entry : window->menuBar()->actions())
        for (QAction *a : entry->menu()->actions())
            if (a->isChecked())
                checked << a->text();
    return checked;
}

void TestVexlorWindow::startUp()
{
    QVERIFY(window->windowTitle().startsWith("Qt - Vexlor     "));
    QVERIFY(window->windowTitle().endsWith(Authorship::notice()));
    // Never smaller than the form's own minimum, which may be taller.
    QCOMPARE(window->size(), QSize(780, 500).expandedTo(window->minimumSizeHint()));
    QCOMPARE(window->pos(), QPoint(10, 10));
    QCOMPARE(QApplication::style()->objectName(), "Platinum");
    QCOMPARE(checkedThemeItems(), QStringList{"&Platinum"});
    QCOMPARE(tabs()->currentIndex(), 0);
    QCOMPARE(window->centralWidget(), tabs());
    QCOMPARE(window->statusBar()->currentMessage(), Authorship::notice());
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(pictureLabel()->pixmap().isNull());
    QVERIFY(textView()->toPlainText().isEmpty());
    QVERIFY(textView()->isReadOnly());
}

void TestVexlorWindow::noticeOutlastsMenuTraffic_data()
{
    QTest::addColumn<QString>("traffic");
    QTest::newRow("pointer over the menu bar") << "bar";
    QTest::newRow("menu opened, item hovered, closed") << "menu";
}

void TestVexlorWindow::noticeOutlastsMenuTraffic()
{
    QFETCH(QString, traffic);
    QMenuBar *bar = window->menuBar();
    if (traffic == QLatin1String("bar")) {
        QStatusTipEvent tip{QString()};
        QCoreApplication::sendEvent(bar, &tip);
        QTest::mouseMove(bar, bar->actionGeometry(bar->actions().at(2)).center());
    } else {
        QAction *entry = bar->actions().at(2);
        bar->setActiveAction(entry);
        QTRY_VERIFY(entry->menu()->isVisible());
        entry->menu()->setActiveAction(entry->menu()->actions().at(1));
        entry->menu()->hide();
    }
    QCoreApplication::processEvents();
    QCOMPARE(window->statusBar()->currentMessage(), Authorship::notice());

    // The form's first message still takes its place.
    window->findChild<maindialogImpl *>()->BtnRow127->click();
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("option Row 1"));
}

void TestVexlorWindow::startUpPages_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("className");

    QTest::newRow("form") << 0 << "Vexlor" << "maindialogImpl";
    QTest::newRow("picture") << 1 << "Clipboard qpixmap" << "QLabel";
    QTest::newRow("text") << 2 << "Clipboard text" << "QTextEdit";
    QTest::newRow("help") << 3 << "Aide" << "HelpLCD";
}

void TestVexlorWindow::startUpPages()
{
    QFETCH(int, index);
    QFETCH(QString, title);
    QFETCH(QString, className);

    QCOMPARE(tabs()->count(), 4);
    QCOMPARE(tabs()->tabText(index), title);
    QCOMPARE(tabs()->widget(index)->metaObject()->className(), className);
    QVERIFY(!tabs()->widget(index)->isWindow());
}

void TestVexlorWindow::shortcutsFromEveryPage_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("effect");

    const struct {
        const char *name;
        int key;
        int modifiers;
        const char *effect;
    } keys[] = {
        {"Ctrl+O", Qt::Key_O, Qt::ControlModifier, "file dialog"},
        {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, "file dialog"},
        {"F1", Qt::Key_F1, Qt::NoModifier, "help"},
    };
    for (const auto &k : keys)
        for (int page = 0; page < 4; ++page)
            QTest::addRow("%s on page %d", k.name, page) << k.key << k.modifiers << page << k.effect;
}

void TestVexlorWindow::shortcutsFromEveryPage()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, page);
    QFETCH(QString, effect);

    tabs()->setCurrentIndex(page);
    QWidget *target = tabs()->currentWidget();
    target->setFocus();
    const auto press = [&] {
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    };

    if (effect == "file dialog") {
        auto answerer = ModalAnswerer::rejectDialog();
        press();
        QVERIFY(answerer->answered());
        QCOMPARE(answerer->className(), "QFileDialog");
    } else {
        press();
        QCOMPARE(tabs()->currentIndex(), 3);
    }
}

void TestVexlorWindow::copyBinShowsOnPicturePage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("black.bin");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1024, char(0xFF)));
    file.close();

    auto answerer = ModalAnswerer::fileDialog(path);
    item("Charger BIN")->trigger();
    QVERIFY(answerer->answered());

    item("Copier Image Bin")->trigger();
    QCoreApplication::processEvents();
    const QImage shown = pictureLabel()->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(128, 64));
    QCOMPARE(shown.pixelColor(64, 32), QColor(Qt::black));
    QVERIFY(window->statusBar()->currentMessage() != Authorship::notice());

    // The export copy lands on the text page, the picture page keeps its picture.
    auto *form = window->findChild<maindialogImpl *>();
    form->BtnExportCopie->click();
    QCoreApplication::processEvents();
    QString exported;
    form->exportText(exported);
    QCOMPARE(textView()->toPlainText(), exported);
    QCOMPARE(pictureLabel()->pixmap().toImage().pixelColor(64, 32), QColor(Qt::black));
}

void TestVexlorWindow::clipboardPages_data()
{
    // image:W puts a W x 8 picture, text:T a text, both:T a 5 x 5 picture with
    // text T, other a private MIME type, clear empties the clipboard.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("pictureWidth");  // 0: no picture shown
    QTest::addColumn<QString>("text");

    QTest::newRow("picture") << QStringList{"image:12"} << 12 << "";
    QTest::newRow("text") << QStringList{"text:bonjour"} << 0 << "bonjour";
    QTest::newRow("picture then text") << QStringList{"image:12", "text:bonjour"} << 12 << "bonjour";
    QTest::newRow("text then picture") << QStringList{"text:bonjour", "image:7"} << 7 << "bonjour";
    QTest::newRow("latest wins") << QStringList{"image:12", "image:7", "text:a", "text:b"} << 7 << "b";
    QTest::newRow("emptied") << QStringList{"image:12", "text:bonjour", "clear"} << 12 << "bonjour";
    QTest::newRow("other data") << QStringList{"image:12", "text:bonjour", "other"} << 12 << "bonjour";
    QTest::newRow("both at once") << QStringList{"image:12", "text:a", "both:deux"} << 5 << "deux";
    QTest::newRow("rich text") << QStringList{"text:<b>gras</b> fin"} << 0 << "gras fin";
}

void TestVexlorWindow::clipboardPages()
{
    QFETCH(QStringList, steps);
    QFETCH(int, pictureWidth);
    QFETCH(QString, text);

    QClipboard *clipboard = QApplication::clipboard();
    for (const QString &step : steps) {
        const QString arg = step.section(':', 1);
        if (step.startsWith("image:")) {
            QImage image(arg.toInt(), 8, QImage::Format_RGB32);
            image.fill(Qt::red);
            clipboard->setImage(image);
        } else if (step.startsWith("text:")) {
            clipboard->setText(arg);
        } else if (step.startsWith("both:")) {
            auto *data = new QMimeData;
            QImage image(5, 5, QImage::Format_RGB32);
            image.fill(Qt::blue);
            data->setImageData(image);
            data->setText(arg);
            clipboard->setMimeData(data);
        } else if (step == "other") {
            auto *data = new QMimeData;
            data->setData("application/x-vexlor-private", "1234");
            clipboard->setMimeData(data);
        } else {
            clipboard->clear();
        }
        QCoreApplication::processEvents();
    }

    const QPixmap shown = pictureLabel()->pixmap();
    QCOMPARE(shown.isNull() ? 0 : shown.width(), pictureWidth);
    QCOMPARE(textView()->toPlainText(), text);
}

void TestVexlorWindow::clipboardPagesEmptyAtStart()
{
    delete window;
    QImage image(9, 9, QImage::Format_RGB32);
    image.fill(Qt::green);
    auto *data = new QMimeData;
    data->setImageData(image);
    data->setText("déjà là");
    QApplication::clipboard()->setMimeData(data);
    QCoreApplication::processEvents();

    window = new VexlorWindow(nullptr, nullptr, Qt::Window);
    Startup::presentMainWindow(*window);
    QCoreApplication::processEvents();
    QVERIFY(pictureLabel()->pixmap().isNull());
    QVERIFY(textView()->toPlainText().isEmpty());
}

void TestVexlorWindow::bigClipboardPictureKeepsWindowSize()
{
    const QSize before = window->size();
    QImage image(3000, 2000, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QApplication::clipboard()->setImage(image);
    tabs()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QCOMPARE(pictureLabel()->pixmap().size(), QSize(3000, 2000));
    QCOMPARE(window->size(), before);
}

void TestVexlorWindow::styles_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("palette");  // cde, grey or standard
    QTest::addColumn<bool>("times");

    QTest::newRow("Platinum again") << QStringList{"&Platinum"} << "Platinum" << "standard" << false;
    QTest::newRow("Windows") << QStringList{"&Windows"} << "Windows" << "standard" << false;
    QTest::newRow("CDE") << QStringList{"&CDE"} << "CDE" << "cde" << true;
    QTest::newRow("CDE twice") << QStringList{"&CDE", "&CDE"} << "CDE" << "cde" << true;
    QTest::newRow("Motif") << QStringList{"&Motif"} << "Motif" << "grey" << false;
    QTest::newRow("Motif+") << QStringList{"&Motif+"} << "Motif+" << "grey" << false;
    QTest::newRow("CDE then Motif") << QStringList{"&CDE", "&Motif"} << "Motif" << "grey" << false;
    QTest::newRow("CDE then Windows") << QStringList{"&CDE", "&Windows"} << "Windows" << "standard" << false;
    QTest::newRow("CDE then Platinum") << QStringList{"&CDE", "&Platinum"} << "Platinum" << "standard" << false;
    // "taller": where the system's times face is taller than the window holds.
    QTest::newRow("taller CDE on every page, then Windows")
        << QStringList{"&CDE", "taller", "page 1", "page 2", "page 3", "&Windows"} << "Windows" << "standard"
        << false;
    QTest::newRow("taller CDE, Motif+, CDE, Motif")
        << QStringList{"&CDE", "taller", "&Motif+", "&CDE", "taller", "&Motif"} << "Motif" << "grey" << false;
}

void TestVexlorWindow::styles()
{
    QFETCH(QStringList, choices);
    QFETCH(QString, style);
    QFETCH(QString, palette);
    QFETCH(bool, times);

    const QSize startSize = window->size();
    auto *form = window->findChild<maindialogImpl *>();
    for (const QString &choice : choices) {
        if (choice.startsWith("page ")) {
            form->TabBitmap->setCurrentIndex(choice.section(' ', 1).toInt());
            QCoreApplication::processEvents();
            continue;
        }
        if (choice == "taller") {
            QFont taller = QApplication::font();
            taller.setPointSizeF(taller.pointSizeF() * 2);
            QApplication::setFont(taller);
            QTRY_VERIFY(window->height() > startSize.height()); // grown, nothing cut off
            continue;
        }
        const QStyle *before = QApplication::style();
        item(choice)->trigger();
        QVERIFY(QApplication::style() != before);
        QCOMPARE(checkedThemeItems(), QStringList{choice});
    }
    QCoreApplication::processEvents();

    QCOMPARE(QApplication::style()->objectName(), style);
    // A style may grow the window as far as its font needs, and no further;
    // the next one gives the room back.
    QCOMPARE(window->size(), startSize.expandedTo(window->minimumSizeHint()));
    if (!times)
        QCOMPARE(window->size(), startSize);
    const QPalette seen = form->palette();
    const QPalette expected = palette == "grey" ? QPalette(QColor(192, 192, 192))
                              : palette == "cde" ? QPalette(QColor(75, 123, 130))
                                                 : QApplication::style()->standardPalette();
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::WindowText})
        QCOMPARE(seen.color(role), palette == "cde" && role == QPalette::WindowText
                                       ? QColor(Qt::white) : expected.color(role));
    QCOMPARE(seen.color(QPalette::HighlightedText) == QColor(55, 77, 78), palette == "cde");

    const QFont font = form->font();
    if (times) {
        QCOMPARE(font.family(), "times");
        QCOMPARE(font.pointSizeF(), startFont.pointSizeF());
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
    } else {
        QCOMPARE(font, startFont);
    }
    // The text page keeps its own face whatever the style.
    QCOMPARE(textView()->font().family(), "Courier New");
    QCOMPARE(textView()->font().pointSize(), 8);
}

void TestVexlorWindow::cdePalette_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QColor>("active");
    QTest::addColumn<QColor>("disabled");

    const QColor dark(55, 77, 78);
    const QColor white(Qt::white);
    const QColor grey(Qt::lightGray);
    QTest::newRow("Base") << int(QPalette::Base) << dark << dark;
    QTest::newRow("Highlight") << int(QPalette::Highlight) << white << white;
    QTest::newRow("HighlightedText") << int(QPalette::HighlightedText) << dark << dark;
    QTest::newRow("WindowText") << int(QPalette::WindowText) << white << grey;
    QTest::newRow("Text") << int(QPalette::Text) << white << grey;
    QTest::newRow("ButtonText") << int(QPalette::ButtonText) << white << grey;
    QTest::newRow("Button, derived") << int(QPalette::Button) << QColor(75, 123, 130)
                                     << QColor(75, 123, 130);
}

void TestVexlorWindow::cdePalette()
{
    QFETCH(int, role);
    QFETCH(QColor, active);
    QFETCH(QColor, disabled);

    item("&CDE")->trigger();
    QCoreApplication::processEvents();
    const QPalette seen = tabs()->widget(0)->palette();
    const auto r = QPalette::ColorRole(role);
    QCOMPARE(seen.color(QPalette::Active, r), active);
    QCOMPARE(seen.color(QPalette::Inactive, r), active);
    QCOMPARE(seen.color(QPalette::Disabled, r), disabled);
}

void TestVexlorWindow::aboutBoxes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("About") << "&About" << "About";
    QTest::newRow("About Qt") << "About &Qt" << QStringLiteral("Vexlor     ") + Authorship::notice();
}

void TestVexlorWindow::aboutBoxes()
{
    QFETCH(QString, text);
    QFETCH(QString, title);

    auto answerer = ModalAnswerer::messageBox("OK");
    item(text)->trigger();
    QVERIFY(answerer->answered());
    QCOMPARE(answerer->className(), "QMessageBox");
    QCOMPARE(answerer->title(), title);
    QCOMPARE(answerer->buttons().size(), 1);
    if (text != "&About")
        return;

    const QStringList lines = answerer->text().split('\n');
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(0), "      Convertisseur Bitmap <-> Binaire       ");
    QCOMPARE(lines.at(1), "         pour afficheur LCD 128x64           ");
    QStringList notice;
    for (int i = 2; i < 6; ++i) {
        QCOMPARE(lines.at(i).size(), lines.at(0).size());
        notice << lines.at(i).trimmed();
    }
    QCOMPARE(notice.join(' ').simplified(), Authorship::notice());
}

void TestVexlorWindow::pictures_data()
{
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("colours");  // empty: only the count matters

    QTest::newRow("open") << 0 << "16 13 5 1"
        << QStringList{"None", "#040404", "#808304", "#f3f704", "#f3f7f3"};
    QTest::newRow("save") << 1 << "14 14 4 1"
        << QStringList{"None", "#040404", "#808304", "#bfc2bf"};
    QTest::newRow("window icon") << 2 << "32 32 70 2" << QStringList();
}

void TestVexlorWindow::pictures()
{
    QFETCH(int, picture);
    QFETCH(QString, header);
    QFETCH(QStringList, colours);

    const char *const *const all[] = {WindowPictures::openPicture, WindowPictures::savePicture,
                                      WindowPictures::windowIcon};
    const char *const *xpm = all[picture];
    QCOMPARE(QString::fromLatin1(xpm[0]), header);
    const QStringList fields = header.split(' ');
    const int width = fields.at(0).toInt();
    const int height = fields.at(1).toInt();
    const int count = fields.at(2).toInt();
    const int cpp = fields.at(3).toInt();

    QSet<QString> values;
    for (int i = 1; i <= count; ++i)
        values << QString::fromLatin1(xpm[i] + cpp).section(" c ", 1).trimmed();
    QCOMPARE(values.size(), count);
    if (!colours.isEmpty())
        QCOMPARE(values, QSet<QString>(colours.begin(), colours.end()));

    // Every colour drawn: a picture that loads at its size and keeps its transparency.
    const QImage image = QPixmap(xpm).toImage();
    QCOMPARE(image.size(), QSize(width, height));
    QCOMPARE(image.hasAlphaChannel(), values.contains("None"));
    QSet<QRgb> drawn;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            drawn << image.pixel(x, y);
    QCOMPARE(int(drawn.size()), count);
}

void TestVexlorWindow::toolkitDialogsInFrench()
{
    QTranslator *translator = Startup::installToolkitTranslation();
    QVERIFY2(translator, "the toolkit's French catalogue (qt6-translations-l10n) is missing");
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    const QString error = QCoreApplication::translate("maindialogImpl", "Erreur");
    const QString main = QCoreApplication::translate("main", "Qt - Vexlor");
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QCOMPARE(cancel, "Annuler");
    // The program's own texts are French as written.
    QCOMPARE(error, "Erreur");
    QCOMPARE(main, "Qt - Vexlor");
}

void TestVexlorWindow::helpKeepsItsPage_data()
{
    QTest::addColumn<int>("nexts");
    QTest::addColumn<QString>("heading");
    QTest::newRow("first page") << 0 << "Aide de Vexlor (version du 27/12/03) :";
    QTest::newRow("third page") << 2 << "Options";
    QTest::newRow("last page") << 5 << "A FAIRE :";
}

void TestVexlorWindow::helpKeepsItsPage()
{
    QFETCH(int, nexts);
    QFETCH(QString, heading);

    QAction *help = item("Aide");
    help->trigger();
    QWidget *viewer = tabs()->currentWidget();
    QCOMPARE(viewer->objectName(), "Aide");
    auto *next = viewer->findChild<QPushButton *>("btnNext");
    for (int i = 0; i < nexts; ++i)
        next->click();

    for (int page : {0, 1, 2}) {
        tabs()->setCurrentIndex(page);
        QTest::keyClick(tabs()->currentWidget(), Qt::Key_F1);
        QCOMPARE(tabs()->currentWidget(), viewer);
        QVERIFY(viewer->findChild<QTextEdit *>("textView")->toPlainText().startsWith(heading));
    }
    help->trigger();
    QCOMPARE(tabs()->currentWidget(), viewer);
}

void TestVexlorWindow::quitFromEveryPage_data()
{
    QTest::addColumn<int>("page");
    for (int page = 0; page < 4; ++page)
        QTest::addRow("page %d", page) << page;
}

void TestVexlorWindow::quitFromEveryPage()
{
    QFETCH(int, page);

    tabs()->setCurrentIndex(page);
    QWidget *target = tabs()->currentWidget();
    QTimer::singleShot(0, window, [target] {
        QTest::keyClick(target, Qt::Key_Q, Qt::ControlModifier);
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    giveUp.start(3000);
    QCOMPARE(QCoreApplication::exec(), 0);
}

QTEST_MAIN(TestVexlorWindow)
#include "tst_vexlorwindow.moc"
