#include "core/binimage.h"
#include "support/filesizelimit.h"
#include "support/formprobe.h"
#include "support/modalanswerer.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QPainter>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>


namespace {

QImage testPicture(int w = 128, int h = 64)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(0, 0, w / 2, h, Qt::black);
    painter.fillRect(70, 10, 20, 30, QColor(20, 20, 20));
    return picture;
}

// Saves the picture the form holds, answering the overwrite question (if
// any) with `answer`. Returns whether the question was asked.
bool saveBin(FormProbe &form, const QString &path, const QString &answer = QStringLiteral("Oui"),
             QString *question = nullptr)
{
    auto dialog = ModalAnswerer::fileDialog(path);
    auto box = ModalAnswerer::messageBox(answer, 8000);
    form.saveBinClick();
    if (question)
        *question = box->title() + QLatin1Char('|') + box->text() + QLatin1Char('|')
            + box->buttons().join(QLatin1Char(','));
    return box->answered();
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cancelledLoadChangesNothing();
    void formatComesFromContent_data();
    void formatComesFromContent();
    void wrongSizeRefused_data();
    void wrongSizeRefused();
    void transparentPixelsConvertByColour();
    void savesBothOrganisations();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void placeholderConvertsWithoutPicture();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestPictures::init()
{
    QVERIFY(m_dir.isValid());
}

void TestPictures::cancelledLoadChangesNothing()
{
    FormProbe form;
    const QString before = form.TxtBmp->text();
    auto cancel = ModalAnswerer::rejectDialog();
    form.loadBmpClick();
    QVERIFY(cancel->answered());
    QCOMPARE(form.TxtBmp->text(), before);
    QVERIFY(form.status().isEmpty());
}

void TestPictures::formatComesFromContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("png named .bmp") << "picture.bmp" << QByteArray("PNG") << true;
    QTest::newRow("bmp named .png") << "picture.png" << QByteArray("BMP") << true;
    QTest::newRow("jpeg named .png") << "photo.png" << QByteArray("JPG") << false;
    QTest::newRow("garbage named .bmp") << "noise.bmp" << QByteArray() << false;
    QTest::newRow("empty file") << "empty.png" << QByteArray("none") << false;
}

void TestPictures::formatComesFromContent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(bool, accepted);
    const QString file = path(name);
    if (format.isEmpty())
        QVERIFY(TestFiles::write(file, QByteArray("not really a picture at all")));
    else if (format == "none")
        QVERIFY(TestFiles::write(file, QByteArray()));
    else
        QVERIFY(testPicture().save(file, format.constData()));

    FormProbe form;
    const QString before = form.TxtBmp->text();
    form.TabBitmap->setCurrentIndex(2);
    auto warning = ModalAnswerer::messageBox(QStringLiteral("OK"), 8000);
    QVERIFY(form.loadBmp(file));
    if (accepted) {
        QVERIFY(!warning->answered());
        QCOMPARE(form.TxtBmp->text(), file);
        QCOMPARE(form.TabBitmap->currentIndex(), 0);
        QCOMPARE(form.status(), QStringLiteral("Bitmap : %1 chargé").arg(file));
        QCOMPARE(form.PixmapBmp->pixmap().size(), QSize(128, 64));
    } else {
        QVERIFY(warning->answered());
        QCOMPARE(warning->title(), QStringLiteral("Erreur"));
        QCOMPARE(warning->text(), QStringLiteral("Format d'image inconnu\n(Bitmap ou PNG uniquement)"));
        QCOMPARE(form.TxtBmp->text(), before);
        QCOMPARE(form.TabBitmap->currentIndex(), 2);
    }
}

void TestPictures::wrongSizeRefused_data()
{
    // Either a picture of that size, or a file with these bytes.
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("64x128") << QSize(64, 128) << QByteArray();
    QTest::newRow("128x65") << QSize(128, 65) << QByteArray();
    QTest::newRow("127x64") << QSize(127, 64) << QByteArray();
    QTest::newRow("BMP header, no picture") << QSize() << QByteArray("BM\x01\x02 broken");
    // The decoder would fill what the file lacks with leftover memory.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(testPicture().save(&buffer, "BMP"));
    QTest::newRow("truncated BMP") << QSize() << bmp.left(bmp.size() - 100);
    QTest::newRow("BMP pixel offset past the end")
        << QSize() << TestFiles::read(VEXLOR_SOURCE_DIR "/fuzz/regressions/picture/offset-past-end.bmp");
    QTest::newRow("BMP runs past the data")
        << QSize() << TestFiles::read(VEXLOR_SOURCE_DIR "/fuzz/regressions/picture/rle8-data-ends.bmp");
}

void TestPictures::wrongSizeRefused()
{
    QFETCH(QSize, size);
    QFETCH(QByteArray, contents);
    const QString good = path(QStringLiteral("good.png"));
    const QString bad = path(QStringLiteral("bad.png"));
    QVERIFY(testPicture().save(good));
    if (size.isValid())
        QVERIFY(testPicture(size.width(), size.height()).save(bad));
    else
        QVERIFY(TestFiles::write(bad, contents));

    FormProbe form;
    QVERIFY(form.loadBmp(good));
    const QImage shown = form.PixmapBmp->pixmap().toImage();
    auto warning = ModalAnswerer::messageBox(QStringLiteral("OK"), 8000);
    QVERIFY(form.loadBmp(bad));
    QVERIFY(warning->answered());
    QCOMPARE(warning->text(), QStringLiteral("Taille de l'image différente\nde 128 * 64 pixels"));
    QCOMPARE(form.TxtBmp->text(), good);
    QCOMPARE(form.PixmapBmp->pixmap().toImage(), shown);
}

void TestPictures::transparentPixelsConvertByColour()
{
    QImage picture(128, 64, QImage::Format_ARGB32);
    picture.fill(qRgba(255, 255, 255, 0)); // transparent white: off
    for (int x = 0; x < 128; ++x)
        picture.setPixel(x, 0, qRgba(0, 0, 0, 0)); // transparent black: on
    const QString file = path(QStringLiteral("alpha.png"));
    QVERIFY(picture.save(file));

    FormProbe form;
    QVERIFY(form.loadBmp(file));
    const QString out = path(QStringLiteral("alpha.bin"));
    saveBin(form, out);
    QByteArray expected(1024, '\0');
    for (int p = 0; p < 8; ++p)
        for (int x = 0; x < 128; ++x)
            if (p == 0)
                expected[BinImage::byteOffset(0, x, BinImage::RowOrganisation::Row63)] = 1;
    QCOMPARE(TestFiles::read(out), expected);
}

void TestPictures::savesBothOrganisations()
{
    const QString file = path(QStringLiteral("pic.bmp"));
    QVERIFY(testPicture().save(file, "BMP"));
    FormProbe form;
    QVERIFY(form.loadBmp(file));

    const QString row63 = path(QStringLiteral("row63"));
    form.TabBitmap->setCurrentIndex(3);
    QVERIFY(!saveBin(form, row63));
    QCOMPARE(form.status(), QStringLiteral("Binaire : %1 sauvé").arg(row63));
    QCOMPARE(form.TabBitmap->currentIndex(), 0);
    QVERIFY(!QFile::exists(row63 + QStringLiteral(".bin")));

    form.BtnRow127->setChecked(true);
    const QString row127 = path(QStringLiteral("row127.bin"));
    saveBin(form, row127);

    const QByteArray a = TestFiles::read(row63), b = TestFiles::read(row127);
    const QImage picture = testPicture();
    QCOMPARE(a, BinImage::fromPicture(picture, BinImage::RowOrganisation::Row63));
    QCOMPARE(b, BinImage::fromPicture(picture, BinImage::RowOrganisation::Row127));
    QCOMPARE(a.left(64), b.left(64));
    QVERIFY(a != b);
}

void TestPictures::overwriteQuestion_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("Oui") << "Oui" << true;
    QTest::newRow("Non") << "Non" << false;
    QTest::newRow("Annuler") << "Annuler" << false;
    QTest::newRow("Escape") << "" << false;
}

void TestPictures::overwriteQuestion()
{
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    const QString file = path(QStringLiteral("pic.png"));
    QVERIFY(testPicture().save(file));
    FormProbe form;
    QVERIFY(form.loadBmp(file));

    const QString out = path(QStringLiteral("twice.bin"));
    const QByteArray old("old contents");
    QVERIFY(TestFiles::write(out, old));
    form.bar()->clearMessage();

    QString question;
    if (answer.isEmpty()) {
        auto dialog = ModalAnswerer::fileDialog(out);
        ModalAnswerer escape([](QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); }, 8000, 1,
                             [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; });
        form.saveBinClick();
        QVERIFY(escape.answered());
        question = escape.title() + QLatin1Char('|') + escape.text() + QLatin1Char('|')
            + escape.buttons().join(QLatin1Char(','));
    } else {
        QVERIFY(saveBin(form, out, answer, &question));
    }
    QCOMPARE(question, QStringLiteral("Enregister Binaire sous|%1 existe déjà\nVoulez-vous le "
                                      "remplacer ?|Oui,Non,Annuler").arg(out));
    QCOMPARE(TestFiles::read(out) == old, !replaced);
    QCOMPARE(form.status().isEmpty(), !replaced);
}

void TestPictures::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<bool>("sizeLimit");
    QTest::newRow("no such directory") << false;
    QTest::newRow("file size limit") << true;
}

void TestPictures::failedWriteKeepsOldFile()
{
    QFETCH(bool, sizeLimit);
    const QString file = path(QStringLiteral("pic.png"));
    QVERIFY(testPicture().save(file));
    FormProbe form;
    QVERIFY(form.loadBmp(file));
    form.bar()->clearMessage();

    QString out = path(QStringLiteral("missing/dir/out.bin"));
    const QByteArray old(300, 'x');
    if (sizeLimit) {
        out = path(QStringLiteral("kept.bin"));
        QVERIFY(TestFiles::write(out, old));
    }
    // With an old file in place the overwrite question comes first.
    auto dialog = ModalAnswerer::fileDialog(out);
    auto boxes = ModalAnswerer::messageBox(QStringLiteral("Oui"), 8000, sizeLimit ? 2 : 1);
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (sizeLimit)
            limit = std::make_unique<FileSizeLimit>(512);
        form.saveBinClick();
    }
    QCOMPARE(boxes->count(), sizeLimit ? 2 : 1);
    QCOMPARE(boxes->texts().last(), QStringLiteral("Erreur fichier !"));
    QCOMPARE(boxes->title(), QStringLiteral("Erreur"));
    QVERIFY(form.status().isEmpty());
    if (sizeLimit)
        QCOMPARE(TestFiles::read(out), old);
    else
        QVERIFY(!QFile::exists(out));
}

void TestPictures::placeholderConvertsWithoutPicture()
{
    FormProbe form;
    const QString out = path(QStringLiteral("placeholder.bin"));
    saveBin(form, out);
    const QImage placeholder = form.PixmapBmp->pixmap().toImage();
    QCOMPARE(placeholder.size(), QSize(100, 100));
    QCOMPARE(TestFiles::read(out),
             BinImage::fromPicture(placeholder, BinImage::RowOrganisation::Row63));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
