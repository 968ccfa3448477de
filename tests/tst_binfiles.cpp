#include "core/binimage.h"
#include "form/clicklistview.h"
#include "support/filesizelimit.h"
#include "support/formprobe.h"
#include "support/modalanswerer.h"

#include <QColorDialog>
#include <QImage>
#include <QLCDNumber>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>


namespace {

QImage shown(const QLabel *label)
{
    return label->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestBinFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadsValidLengths_data();
    void loadsValidLengths();
    void refusesBadLengths_data();
    void refusesBadLengths();
    void cancelledLoadChangesNothing();
    void shorterFileKeepsRestOfStore();
    void navigationStopsAtEnds();
    void listClickShowsRow_data();
    void listClickShowsRow();
    void hexIgnoresOrganisation();
    void enlargedImageKeepsSharpDots();
    void backgroundColour();
    void cancelledColourChangesNothing();
    void tabButtons_data();
    void tabButtons();
    void saveBmpFailureKeepsOldFile();

private:
    QTemporaryDir m_dir;
    QString write(const QString &name, const QByteArray &data)
    {
        const QString path = m_dir.filePath(name);
        if (!TestFiles::write(path, data))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
};

void TestBinFiles::init()
{
    QVERIFY(m_dir.isValid());
}

void TestBinFiles::loadsValidLengths_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<bool>("navigation");
    QTest::newRow("empty") << 0 << true;
    QTest::newRow("one image") << 1 << false;
    QTest::newRow("two images") << 2 << true;
    QTest::newRow("32 KiB EEPROM") << 32 << true;
    QTest::newRow("64 images") << 64 << true;
}

void TestBinFiles::loadsValidLengths()
{
    QFETCH(int, images);
    QFETCH(bool, navigation);
    const QByteArray data = TestFiles::patternImages(images);
    const QString path = write(QStringLiteral("file.bin"), data);
    FormProbe form;
    QVERIFY(form.loadBin(path));

    QCOMPARE(form.LCDmax->intValue(), images);
    QCOMPARE(form.nbImages, images);
    QCOMPARE(form.ListView1->topLevelItemCount(), images);
    for (int i = 0; i < images; ++i) {
        QCOMPARE(form.ListView1->topLevelItem(i)->text(0), BinImage::listRowNumber(i));
        QCOMPARE(form.ListView1->topLevelItem(i)->text(1), QStringLiteral("Image %1").arg(i));
    }
    if (images == 64)
        QCOMPARE(form.ListView1->topLevelItem(63)->text(0), QStringLiteral("63"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(form.binData), data.size()), data);
    QCOMPARE(form.BtnPrevious->isEnabled(), navigation);
    QCOMPARE(form.BtnNext->isEnabled(), navigation);
    QCOMPARE(form.TabBitmap->currentIndex(), 1);
    QCOMPARE(form.TxtBin->text(), path);
    QCOMPARE(form.LCDindex->intValue(), 0);
    QCOMPARE(form.TextView1->toPlainText(),
             BinImage::hexText(reinterpret_cast<const uchar *>(form.binData)));
    QCOMPARE(form.TextView1->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(form.status(), QStringLiteral("Binaire : %1 chargé").arg(path));

    // An empty file leaves the buttons enabled, but they lead nowhere.
    form.BtnNext->click();
    form.BtnPrevious->click();
    QCOMPARE(form.LCDindex->intValue(), 0);
}

void TestBinFiles::refusesBadLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("1000 bytes") << 1000;
    QTest::newRow("65537 bytes") << 65537;
    QTest::newRow("65 images") << 66560;
    QTest::newRow("1025 bytes") << 1025;
}

void TestBinFiles::refusesBadLengths()
{
    QFETCH(int, length);
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("good.bin"), TestFiles::patternImages(3))));
    form.BtnNext->click();
    const FormProbe::BinState before = form.binState();

    auto warning = ModalAnswerer::messageBox(QStringLiteral("OK"), 8000);
    QVERIFY(form.loadBin(write(QStringLiteral("bad.bin"), QByteArray(length, 'x'))));
    QVERIFY(warning->answered());
    QCOMPARE(warning->title(), QStringLiteral("Erreur"));
    QCOMPARE(warning->text(), QStringLiteral("Mauvais Format"));
    QVERIFY(form.binState() == before);

    // The previous file stays fully usable.
    form.BtnNext->click();
    QCOMPARE(form.LCDindex->intValue(), 2);
}

void TestBinFiles::cancelledLoadChangesNothing()
{
    FormProbe form;
    const FormProbe::BinState before = form.binState();
    auto cancel = ModalAnswerer::rejectDialog();
    form.loadBinClick();
    QVERIFY(cancel->answered());
    QVERIFY(form.binState() == before);
    QVERIFY(form.status().isEmpty());
}

void TestBinFiles::shorterFileKeepsRestOfStore()
{
    const QByteArray five = TestFiles::patternImages(5);
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("five.bin"), five)));
    QByteArray two(2048, char(0x55));
    QVERIFY(form.loadBin(write(QStringLiteral("two.bin"), two)));
    QCOMPARE(form.image(0), two.left(1024));
    for (int k = 2; k < 5; ++k)
        QCOMPARE(form.image(k), five.mid(1024 * k, 1024));
    QCOMPARE(form.ListView1->topLevelItemCount(), 2);
    form.BtnNext->click();
    form.BtnNext->click();
    QCOMPARE(form.LCDindex->intValue(), 1);
}

void TestBinFiles::navigationStopsAtEnds()
{
    const QByteArray data = TestFiles::patternImages(3);
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("three.bin"), data)));
    form.bar()->clearMessage();

    form.BtnPrevious->click();
    QCOMPARE(form.LCDindex->intValue(), 0);

    form.ListView1->topLevelItem(0)->setSelected(true);
    for (int expected : {1, 2, 2}) {
        form.BtnNext->click();
        QCOMPARE(form.LCDindex->intValue(), expected);
        QCOMPARE(form.TextView1->toPlainText(),
                 BinImage::hexText(reinterpret_cast<const uchar *>(data.constData()) + 1024 * expected));
        QVERIFY(form.ListView1->selectedItems().isEmpty());
    }
    form.BtnPrevious->click();
    QCOMPARE(form.LCDindex->intValue(), 1);
    QVERIFY(form.status().isEmpty());

    const QImage expected = BinImage::toPicture(reinterpret_cast<const uchar *>(data.constData()) + 1024,
                                                0xFFFFFFFF, BinImage::RowOrganisation::Row63)
                                .convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown(form.PixmapBin), expected);
    QCOMPARE(shown(form.PixmapBinMini), expected);
    QCOMPARE(shown(form.PixmapBinMini2), expected);
}

void TestBinFiles::listClickShowsRow_data()
{
    // Whatever moves the list's highlight shows that image, as a click on
    // its row would, and the highlight ends on the row of the image shown.
    // Image 2 is shown, by "Suivant", when the gesture starts.
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("expected");
    QTest::newRow("first row") << "click" << 0 << 0;
    QTest::newRow("row 3") << "click" << 3 << 3;
    QTest::newRow("last row") << "click" << 4 << 4;
    QTest::newRow("below the last row") << "click" << -1 << 0;
    QTest::newRow("pressed on row 3, released outside") << "release outside" << 3 << 0;
    QTest::newRow("Down") << "key" << int(Qt::Key_Down) << 3;
    QTest::newRow("Up") << "key" << int(Qt::Key_Up) << 1;
    QTest::newRow("End") << "key" << int(Qt::Key_End) << 4;
    QTest::newRow("Home") << "key" << int(Qt::Key_Home) << 0;
    QTest::newRow("Page Down") << "key" << int(Qt::Key_PageDown) << 4;
}

void TestBinFiles::listClickShowsRow()
{
    QFETCH(QString, gesture);
    QFETCH(int, row);
    QFETCH(int, expected);
    FormProbe form;
    form.resize(900, 700);
    form.show();
    QVERIFY(form.loadBin(write(QStringLiteral("five.bin"), TestFiles::patternImages(5))));
    form.BtnNext->click();
    form.BtnNext->click();
    form.TabBitmap->setCurrentIndex(2);
    QCoreApplication::processEvents();

    QTreeWidget *list = form.ListView1;
    QVERIFY(list->selectedItems().isEmpty());
    const auto rowCentre = [list](int r) { return list->visualItemRect(list->topLevelItem(r)).center(); };
    if (gesture == QLatin1String("key")) {
        QTest::keyClick(list, Qt::Key(row));
    } else if (gesture == QLatin1String("release outside")) {
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rowCentre(row));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, QPoint(-30, rowCentre(row).y()));
    } else if (row >= 0) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(row));
    } else {
        const QRect last = list->visualItemRect(list->topLevelItem(4));
        const QPoint point(last.center().x(), last.bottom() + 20);
        QVERIFY(point.y() < list->viewport()->height());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
    }
    QCOMPARE(form.LCDindex->intValue(), expected);
    QCOMPARE(form.TextView1->toPlainText(),
             BinImage::hexText(form.binData + 1024 * expected));
    QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem *>{list->topLevelItem(expected)});

    // Another button neither shows an image nor moves the highlight.
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rowCentre(expected == 1 ? 2 : 1));
    QCOMPARE(form.LCDindex->intValue(), expected);
    QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem *>{list->topLevelItem(expected)});
}

void TestBinFiles::hexIgnoresOrganisation()
{
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("one.bin"), TestFiles::patternImages(1))));
    const QString hex = form.TextView1->toPlainText();
    const QImage row63 = shown(form.PixmapBin);
    form.BtnRow127->click();
    QCOMPARE(form.status(), QStringLiteral("option Row 1"));
    QCOMPARE(form.TextView1->toPlainText(), hex);
    QVERIFY(shown(form.PixmapBin) != row63);
    QCOMPARE(shown(form.PixmapBin),
             BinImage::toPicture(form.binData, 0xFFFFFFFF, BinImage::RowOrganisation::Row127)
                 .convertToFormat(QImage::Format_RGB32));
}

void TestBinFiles::enlargedImageKeepsSharpDots()
{
    QByteArray image(1024, '\0');
    image[0] = char(0x01);
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("dot.bin"), image)));
    const QImage shown = form.PixmapBin->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(256, 128));
    // Pixel (0, 0) becomes a 2 x 2 black square; nothing bleeds around it.
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
        QCOMPARE(shown.pixel(p), qRgb(0, 0, 0));
    for (const QPoint p : {QPoint(2, 0), QPoint(0, 2), QPoint(2, 2)})
        QCOMPARE(shown.pixel(p), qRgb(255, 255, 255));
    QCOMPARE(form.PixmapBin->pixmap().size(), QSize(128, 64)); // copies take it at its own size
}

void TestBinFiles::backgroundColour()
{
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("two.bin"), QByteArray(2048, '\0'))));
    form.BtnNext->click();
    auto pick = std::make_unique<ModalAnswerer>([](QWidget *dialog) {
        auto *colours = qobject_cast<QColorDialog *>(dialog);
        colours->setCurrentColor(QColor(10, 200, 30));
        colours->accept();
    }, 8000);
    form.colorClick();
    QVERIFY(pick->answered());
    QCOMPARE(form.status(), QStringLiteral("Couleur 10 200 30"));
    QCOMPARE(form.bgColor, QColor(10, 200, 30));
    QCOMPARE(form.LCDindex->intValue(), 1);
    QCOMPARE(shown(form.PixmapBinMini).pixel(5, 5), qRgb(10, 200, 30));
    QCOMPARE(form.BtnColor->palette().color(QPalette::Active, QPalette::Button), QColor(10, 200, 30));

    // The next choice starts from the colour just chosen.
    QColor offered;
    auto look = std::make_unique<ModalAnswerer>([&offered](QWidget *dialog) {
        offered = qobject_cast<QColorDialog *>(dialog)->currentColor();
        qobject_cast<QDialog *>(dialog)->reject();
    }, 8000);
    form.colorClick();
    QCOMPARE(offered, QColor(10, 200, 30));

    const QString bmp = m_dir.filePath(QStringLiteral("coloured.bmp"));
    auto dialog = ModalAnswerer::fileDialog(bmp);
    form.saveBmpClick();
    QCOMPARE(form.status(), QStringLiteral("Bitmap : %1 sauvé").arg(bmp));
    const QImage saved(bmp, "BMP");
    QCOMPARE(saved.size(), QSize(128, 64));
    QCOMPARE(QColor(saved.pixel(100, 60)), QColor(10, 200, 30));
}

void TestBinFiles::cancelledColourChangesNothing()
{
    FormProbe form;
    const QPalette palette = form.BtnColor->palette();
    auto cancel = ModalAnswerer::rejectDialog();
    form.colorClick();
    QVERIFY(cancel->answered());
    QCOMPARE(form.bgColor, QColor(Qt::white));
    QCOMPARE(form.BtnColor->palette(), palette);
    QVERIFY(form.status().isEmpty());
    QCOMPARE(form.PixmapBin->pixmap().size(), QSize(100, 100)); // not rendered
}

void TestBinFiles::tabButtons_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("saveBin");
    QTest::addColumn<bool>("saveBmp");
    QTest::addColumn<bool>("print");
    QTest::addColumn<QString>("shownBy"); // start, switch (from another page) or load
    QTest::newRow("start page as built") << 0 << true << false << false << "start";
    QTest::newRow("Bitmap") << 0 << true << false << false << "switch";
    QTest::newRow("picture loaded on the start page") << 0 << true << false << false << "load";
    QTest::newRow("binary file loaded") << 1 << false << true << true << "load";
    QTest::newRow("Binaire") << 1 << false << true << true << "switch";
    QTest::newRow("Contenu Binaire") << 2 << false << true << false << "switch";
    QTest::newRow("Export ASCII") << 3 << false << true << false << "switch";
}

void TestBinFiles::tabButtons()
{
    QFETCH(int, tab);
    QFETCH(bool, saveBin);
    QFETCH(bool, saveBmp);
    QFETCH(bool, print);
    QFETCH(QString, shownBy);
    FormProbe form;
    if (shownBy == QLatin1String("switch")) {
        form.TabBitmap->setCurrentIndex(tab == 1 ? 2 : 1);
        form.TabBitmap->setCurrentIndex(tab);
    } else if (shownBy == QLatin1String("load") && tab == 0) {
        QVERIFY(form.loadBmp(QStringLiteral(VEXLOR_SOURCE_DIR "/examples/logo.png")));
    } else if (shownBy == QLatin1String("load")) {
        QVERIFY(form.loadBin(write(QStringLiteral("tabs.bin"), TestFiles::patternImages(2))));
    }
    QCOMPARE(form.TabBitmap->currentIndex(), tab);
    QCOMPARE(form.btnSaveBin->isEnabled(), saveBin);
    QCOMPARE(form.btnSaveBmp->isEnabled(), saveBmp);
    QCOMPARE(form.btnPrint->isEnabled(), print);
}

void TestBinFiles::saveBmpFailureKeepsOldFile()
{
    FormProbe form;
    QVERIFY(form.loadBin(write(QStringLiteral("one.bin"), TestFiles::patternImages(1))));
    const QByteArray old(200, 'o');
    const QString out = write(QStringLiteral("old.bmp"), old);
    form.bar()->clearMessage();

    auto dialog = ModalAnswerer::fileDialog(out);
    auto boxes = ModalAnswerer::messageBox(QStringLiteral("Oui"), 8000, 2);
    {
        FileSizeLimit limit(1000);
        QVERIFY(limit.active());
        form.saveBmpClick();
    }

    QCOMPARE(boxes->count(), 2);
    QCOMPARE(boxes->texts().last(), QStringLiteral("Erreur fichier !"));
    QCOMPARE(TestFiles::read(out), old);
    QVERIFY(form.status().isEmpty());
}

QTEST_MAIN(TestBinFiles)
#include "tst_binfiles.moc"
