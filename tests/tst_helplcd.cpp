#include "app/helplcd.h"
#include "app/helppages.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

namespace {

const QStringList FirstHeadings = {
    QStringLiteral("Aide de Vexlor (version du 27/12/03) :"),
    QStringLiteral("Barre d'outils"),
    QStringLiteral("Options"),
    QStringLiteral("Onglet Bitmap"),
    QStringLiteral("Onglet Export ASCII"),
    QStringLiteral("A FAIRE :"),
};

struct Viewer
{
    std::unique_ptr<HelpLCD> help;
    QTextEdit *text = nullptr;
    QPushButton *prev = nullptr;
    QPushButton *next = nullptr;

    Viewer() : help(new HelpLCD(nullptr, "Aide"))
    {
        text = help->findChild<QTextEdit *>(QStringLiteral("textView"));
        prev = help->findChild<QPushButton *>(QStringLiteral("btnPrev"));
        next = help->findChild<QPushButton *>(QStringLiteral("btnNext"));
    }

    // -1 when the text shown starts with none of the known headings.
    int shownPage() const
    {
        const QString shown = text->toPlainText();
        for (int i = 0; i < FirstHeadings.size(); ++i)
            if (shown.startsWith(FirstHeadings.at(i)))
                return i;
        return -1;
    }

    void goTo(int page)
    {
        for (int i = 0; i < page; ++i)
            next->click();
    }
};

bool hasPaper(const QTextEdit *text)
{
    return !text->viewport()->palette().brush(QPalette::Base).textureImage().isNull();
}

} // namespace

class TestHelpLcd : public QObject
{
    Q_OBJECT

private slots:
    void buildsWithButtonsBelowText();
    void navigation_data();
    void navigation();
    void pagesEndWithEmptyEntry();
    void headings_data();
    void headings();
    void onlyKnownTags_data();
    void onlyKnownTags();
    void accentsDisplay();
    void paper_data();
    void paper();
    void textNeverSmallerThanMinimum();
};

void TestHelpLcd::buildsWithButtonsBelowText()
{
    Viewer v;
    QVERIFY(v.text && v.prev && v.next);
    QCOMPARE(v.help->objectName(), QStringLiteral("Aide"));
    QVERIFY(v.text->isReadOnly());
    QCOMPARE(v.prev->text(), QStringLiteral("<< &Precedant"));
    QCOMPARE(v.next->text(), QStringLiteral("&Suivant >>"));
    v.help->show();
    QVERIFY(QTest::qWaitForWindowExposed(v.help.get()));
    QVERIFY(v.prev->mapTo(v.help.get(), QPoint()).y() > v.text->geometry().bottom());
    QVERIFY(v.prev->mapTo(v.help.get(), QPoint()).x() < v.next->mapTo(v.help.get(), QPoint()).x());
}

void TestHelpLcd::navigation_data()
{
    QTest::addColumn<QString>("clicks");   // n = next, p = previous
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
    QTest::newRow("all the way back") << "nnnnnppppp" << 0 << false << true;
    QTest::newRow("no wrap before the start") << "nnnnnpppppp" << 0 << false << true;
}

void TestHelpLcd::navigation()
{
    QFETCH(QString, clicks);
    QFETCH(int, page);
    QFETCH(bool, prevEnabled);
    QFETCH(bool, nextEnabled);

    Viewer v;
    // Disabled buttons swallow clicks, so call the slots as a stray signal would.
    for (const QChar c : clicks)
        QMetaObject::invokeMethod(v.help.get(), c == QLatin1Char('n') ? "next" : "prev");

    QCOMPARE(v.shownPage(), page);
    QCOMPARE(v.prev->isEnabled(), prevEnabled);
    QCOMPARE(v.next->isEnabled(), nextEnabled);
}

void TestHelpLcd::pagesEndWithEmptyEntry()
{
    int count = 0;
    while (helpPages[count] && *helpPages[count])
        ++count;
    QCOMPARE(count, FirstHeadings.size());
}

void TestHelpLcd::headings_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("level");

    const QList<QStringList> pages = {
        {QStringLiteral("1 Aide de Vexlor (version du 27/12/03) :")},
        {QStringLiteral("2 Barre d'outils"), QStringLiteral("3 Charger Bmp"),
         QStringLiteral("3 Charger Bin"), QStringLiteral("3 CONCATENATION BINAIRES"),
         QStringLiteral("3 Sauvegarder Bmp"), QStringLiteral("3 Sauvegarder Bin"),
         QStringLiteral("3 Imprimer")},
        {QStringLiteral("2 Options"), QStringLiteral("3 Taille LCD"),
         QStringLiteral("3 Organisation des rangées")},
        {QStringLiteral("2 Onglet Bitmap"), QStringLiteral("2 Onglet Binaire"),
         QStringLiteral("3 Nombre d'images"), QStringLiteral("3 Suivant / Précédant"),
         QStringLiteral("3 Couleur"), QStringLiteral("2 Onglet Contenu Binaire")},
        {QStringLiteral("2 Onglet Export ASCII"), QStringLiteral("3 Assembleur pour PIC :"),
         QStringLiteral("3 'C' pour PIC :"), QStringLiteral("3 Personnalisé :"),
         QStringLiteral("3 Tabulations (exemple) :"),
         QStringLiteral("2 Onglets Clipboard qpixmap et text"), QStringLiteral("3 qpixmap"),
         QStringLiteral("3 text")},
        {QStringLiteral("1 A FAIRE :")},
    };
    for (int page = 0; page < pages.size(); ++page) {
        for (const QString &entry : pages.at(page)) {
            const QString heading = entry.mid(2);
            QTest::addRow("page %d: %s", page + 1, qPrintable(heading))
                << page << heading << entry.left(1).toInt();
        }
    }
}

void TestHelpLcd::headings()
{
    QFETCH(int, page);
    QFETCH(QString, heading);
    QFETCH(int, level);

    Viewer v;
    v.goTo(page);
    QCOMPARE(v.shownPage(), page);

    QTextBlock found;
    for (QTextBlock b = v.text->document()->begin(); b.isValid(); b = b.next()) {
        if (b.text() == heading) {
            found = b;
            break;
        }
    }
    QVERIFY2(found.isValid(), qPrintable(v.text->toPlainText()));
    QCOMPARE(found.blockFormat().headingLevel(), level);
    const QTextCharFormat format = found.begin().fragment().charFormat();
    if (level == 1)
        QVERIFY(format.fontWeight() >= QFont::Bold);
    if (level == 3)
        QVERIFY(format.fontUnderline());
}

void TestHelpLcd::onlyKnownTags_data()
{
    QTest::addColumn<int>("page");
    for (int page = 0; page < FirstHeadings.size(); ++page)
        QTest::addRow("page %d", page + 1) << page;
}

void TestHelpLcd::onlyKnownTags()
{
    QFETCH(int, page);
    static const QSet<QString> known = {
        QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("b"),
        QStringLiteral("i"), QStringLiteral("u"), QStringLiteral("br"), QStringLiteral("hr"),
        QStringLiteral("center")};
    const QString source = QString::fromUtf8(helpPages[page]);
    QVERIFY(source.contains(QStringLiteral("<hr>")));
    static const QRegularExpression tag(QStringLiteral("<\\s*/?\\s*([^\\s>/]*)"));
    for (auto it = tag.globalMatch(source); it.hasNext();) {
        const QString name = it.next().captured(1).toLower();
        QVERIFY2(known.contains(name), qPrintable(name));
    }
}

void TestHelpLcd::accentsDisplay()
{
    Viewer v;
    QString all;
    for (int page = 0; page < FirstHeadings.size(); ++page) {
        all += v.text->toPlainText();
        v.next->click();
    }
    for (const QChar accented : QStringLiteral("àçèéêîû"))
        QVERIFY2(all.contains(accented), qPrintable(QString(accented)));
    QVERIFY(!all.contains(QChar::ReplacementCharacter));
    QVERIFY(!all.contains(QStringLiteral("Ã")));
}

void TestHelpLcd::paper_data()
{
    QTest::addColumn<QByteArray>("format");  // empty: no file; "dir": a directory
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("paper");

    QTest::newRow("absent") << QByteArray() << QByteArray() << false;
    QTest::newRow("png") << QByteArray("PNG") << QByteArray() << true;
    QTest::newRow("bmp under a png name") << QByteArray("BMP") << QByteArray() << true;
    QTest::newRow("garbage") << QByteArray("raw") << QByteArray("not a picture at all") << false;
    QTest::newRow("empty file") << QByteArray("raw") << QByteArray() << false;
    QTest::newRow("truncated png") << QByteArray("cut") << QByteArray() << false;
    QTest::newRow("directory") << QByteArray("dir") << QByteArray() << false;
}

void TestHelpLcd::paper()
{
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, contents);
    QFETCH(bool, paper);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString oldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(oldDir); });

    QImage marble(16, 16, QImage::Format_RGB32);
    marble.fill(QColor(200, 180, 160));
    if (format == "dir") {
        QVERIFY(QDir().mkdir(QStringLiteral("marble.png")));
    } else if (format == "raw") {
        QFile file(QStringLiteral("marble.png"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    } else if (format == "cut") {
        QVERIFY(marble.save(QStringLiteral("whole.png"), "PNG"));
        QVERIFY(QFile::copy(QStringLiteral("whole.png"), QStringLiteral("marble.png")));
        QVERIFY(QFile::resize(QStringLiteral("marble.png"), 30));
    } else if (!format.isEmpty()) {
        QVERIFY(marble.save(QStringLiteral("marble.png"), format.constData()));
    }

    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    Viewer v;
    QCOMPARE(hasPaper(v.text), paper);
    if (paper) {
        const QBrush brush = v.text->viewport()->palette().brush(QPalette::Base);
        QCOMPARE(brush.style(), Qt::TexturePattern);
        QCOMPARE(brush.textureImage().pixelColor(3, 3), QColor(200, 180, 160));
    }
    QCOMPARE(v.shownPage(), 0);
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
}

QTEST_MAIN(TestHelpLcd)
#include "tst_helplcd.moc"
