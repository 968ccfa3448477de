#include "app/helplcd.h"
#include "app/helppages.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

namespace {

const QStringList FirstHeadings = {
    "Aide de Vexlor (version du 27/12/03) :", "Barre d'outils", "Options",
    "Onglet Bitmap", "Onglet Export ASCII", "A FAIRE :"};

struct Viewer
{
    std::unique_ptr<HelpLCD> help{new HelpLCD(nullptr, "Aide")};
    QTextEdit *text = help->findChild<QTextEdit *>("textView");
    QPushButton *prev = help->findChild<QPushButton *>("btnPrev");
    QPushButton *next = help->findChild<QPushButton *>("btnNext");

    int shownPage() const
    {
        for (int i = 0; i < FirstHeadings.size(); ++i)
            if (text->toPlainText().startsWith(FirstHeadings.at(i)))
                return i;
        return -1;
    }
};

} // namespace

class TestHelpLcd : public QObject
{
    Q_OBJECT

private slots:
    void navigation_data();
    void navigation();
    void headings_data();
    void headings();
    void pagesUseOnlyKnownTags();
    void accentsDisplay();
    void paper_data();
    void paper();
    void textNeverSmallerThanMinimum();
};

void TestHelpLcd::navigation_data()
{
    QTest::addColumn<QString>("clicks");  // n = next, p = previous
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("prevEnabled");
    QTest::addColumn<bool>("nextEnabled");

    QTest::newRow("at start") << "" << 0 << false << true;
    QTest::newRow("previous on first page") << "ppp" << 0 << false << true;
    QTest::newRow("one next") << "n" << 1 << true << true;
    QTest::newRow("back from page 2") << "np" << 0 << false << true;
    QTest::newRow("five nexts reach the end") << "nnnnn" << 5 << true << false;
    QTest::newRow("no wrap past the end") << "nnnnnnnn" << 5 << true << false;
    QTest::newRow("one back from the end") << "nnnnnp" << 4 << true << true;
    QTest::newRow("no wrap before the start") << "nnnnnpppppp" << 0 << false << true;
}

void TestHelpLcd::navigation()
{
    QFETCH(QString, clicks);
    QFETCH(int, page);
    QFETCH(bool, prevEnabled);
    QFETCH(bool, nextEnabled);

    Viewer v;
    QCOMPARE(v.prev->text(), QStringLiteral("<< &Precedant"));
    QCOMPARE(v.next->text(), QStringLiteral("&Suivant >>"));
    // Disabled buttons swallow clicks, so call the slots as a stray signal would.
    for (const QChar c : clicks)
        QMetaObject::invokeMethod(v.help.get(), c == 'n' ? "next" : "prev");

    QCOMPARE(v.shownPage(), page);
    QCOMPARE(v.prev->isEnabled(), prevEnabled);
    QCOMPARE(v.next->isEnabled(), nextEnabled);
}

void TestHelpLcd::headings_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("level");

    const QList<QStringList> pages = {
        {"1 Aide de Vexlor (version du 27/12/03) :"},
        {"2 Barre d'outils", "3 Charger Bmp", "3 Charger Bin", "3 CONCATENATION BINAIRES",
         "3 Sauvegarder Bmp", "3 Sauvegarder Bin", "3 Imprimer"},
        {"2 Options", "3 Taille LCD", "3 Organisation des rangées"},
        {"2 Onglet Bitmap", "2 Onglet Binaire", "3 Nombre d'images", "3 Suivant / Précédant",
         "3 Couleur", "2 Onglet Contenu Binaire"},
        {"2 Onglet Export ASCII", "3 Assembleur pour PIC :", "3 'C' pour PIC :",
         "3 Personnalisé :", "3 Tabulations (exemple) :", "2 Onglets Clipboard qpixmap et text",
         "3 qpixmap", "3 text"},
        {"1 A FAIRE :"},
    };
    for (int page = 0; page < pages.size(); ++page)
        for (const QString &entry : pages.at(page))
            QTest::addRow("page %d: %s", page + 1, qPrintable(entry.mid(2)))
                << page << entry.mid(2) << entry.left(1).toInt();
}

void TestHelpLcd::headings()
{
    QFETCH(int, page);
    QFETCH(QString, heading);
    QFETCH(int, level);

    Viewer v;
    for (int i = 0; i < page; ++i)
        v.next->click();
    QCOMPARE(v.shownPage(), page);

    QTextBlock block = v.text->document()->begin();
    while (block.isValid() && block.text() != heading)
        block = block.next();
    QVERIFY2(block.isValid(), qPrintable(v.text->toPlainText()));
    QCOMPARE(block.blockFormat().headingLevel(), level);
    const QTextCharFormat format = block.begin().fragment().charFormat();
    QCOMPARE(format.fontWeight() >= QFont::Bold, true);
    QCOMPARE(format.fontUnderline(), level == 3);
}

void TestHelpLcd::pagesUseOnlyKnownTags()
{
    static const QStringList known = {"h1", "h2", "h3", "b", "i", "u", "br", "hr", "center"};
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*([^\\s>/]*)"));
    int count = 0;
    for (; *helpPages[count]; ++count) {
        const QString source = QString::fromUtf8(helpPages[count]);
        QVERIFY(source.contains(QStringLiteral("<hr>")));
        for (auto it = tag.globalMatch(source); it.hasNext();) {
            const QString name = it.next().captured(1).toLower();
            QVERIFY2(known.contains(name), qPrintable(name));
        }
    }
    QCOMPARE(count, FirstHeadings.size());
}

void TestHelpLcd::accentsDisplay()
{
    Viewer v;
    QString all;
    for (int page = 0; page < FirstHeadings.size(); ++page, v.next->click())
        all += v.text->toPlainText();
    for (const QChar accented : QStringLiteral("àçèéêîû"))
        QVERIFY2(all.contains(accented), qPrintable(QString(accented)));
    QVERIFY(!all.contains(QChar::ReplacementCharacter));
    QVERIFY(!all.contains(QStringLiteral("Ã")));
    QVERIFY(all.contains(QStringLiteral("(--> -->)")));
    QVERIFY(all.contains(QStringLiteral("(----->)")));
}

void TestHelpLcd::paper_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("paper");

    QTest::newRow("absent") << "" << false;
    QTest::newRow("png") << "PNG" << true;
    QTest::newRow("bmp under a png name") << "BMP" << true;
    QTest::newRow("garbage") << "garbage" << false;
    QTest::newRow("empty file") << "empty" << false;
    QTest::newRow("truncated png") << "truncated" << false;
    QTest::newRow("directory") << "directory" << false;
    // The toolkit's reader tries a suffix after a name it cannot open.
    QTest::newRow("bmp under the name with a suffix") << "suffixed" << true;
}

void TestHelpLcd::paper()
{
    QFETCH(QString, kind);
    QFETCH(bool, paper);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString oldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(oldDir); });

    const QString name = QStringLiteral("marble.png");
    QImage marble(16, 16, QImage::Format_RGB32);
    marble.fill(QColor(200, 180, 160));
    QFile file(name);
    if (kind == "directory") {
        QVERIFY(QDir().mkdir(name));
    } else if (kind == "garbage" || kind == "empty") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == "garbage" ? "not a picture at all" : "");
        file.close();
    } else if (kind == "suffixed") {
        QVERIFY(marble.save(name + QStringLiteral(".bmp"), "BMP"));
    } else if (kind == "truncated") {
        QVERIFY(marble.save(name, "PNG"));
        QVERIFY(file.resize(30));
    } else if (!kind.isEmpty()) {
        QVERIFY(marble.save(name, qPrintable(kind)));
    }

    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    Viewer v;
    const QBrush brush = v.text->viewport()->palette().brush(QPalette::Base);
    QCOMPARE(brush.style() == Qt::TexturePattern, paper);
    if (paper)
        QCOMPARE(brush.textureImage().pixelColor(3, 3), QColor(200, 180, 160));
    v.next->click();
    QCOMPARE(v.shownPage(), 1);
}

void TestHelpLcd::textNeverSmallerThanMinimum()
{
    Viewer v;
    v.help->show();
    QVERIFY(QTest::qWaitForWindowExposed(v.help.get()));
    v.help->resize(100, 80);
    QCoreApplication::processEvents();
    QVERIFY(v.text->width() >= 450);
    QVERIFY(v.text->height() >= 250);
    QVERIFY(v.prev->mapTo(v.help.get(), QPoint()).y() > v.text->geometry().bottom());
    QVERIFY(v.prev->mapTo(v.help.get(), QPoint()).x() < v.next->mapTo(v.help.get(), QPoint()).x());
}

QTEST_MAIN(TestHelpLcd)
#include "tst_helplcd.moc"
