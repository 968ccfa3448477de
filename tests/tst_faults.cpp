// Files that fail under the window: writes cut short by a file-size limit,
// and files that vanish or change between the file dialog and the read.
#include "core/binimage.h"
#include "form/clicklistview.h"
#include "support/filesizelimit.h"
#include "support/formprobe.h"
#include "support/modalanswerer.h"

#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <memory>

namespace {

enum class Writer { Binary, Bitmap, Export };
enum class Change { Delete, Directory, BadLength, Text, Jpeg, WrongSize };

QImage testPicture(int w = 128, int h = 64)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(0, 0, w / 3, h / 2, Qt::black);
    painter.fillRect(w / 2, h / 4, 9, 17, QColor(25, 30, 20));
    return picture;
}

// Accepts the file dialog with `path`, then applies `change` while the slot
// is still waiting for the dialog to return: the file the user chose is no
// longer what the slot finds.
std::unique_ptr<ModalAnswerer> chooseThenChange(const QString &path, std::function<void()> change)
{
    return std::make_unique<ModalAnswerer>([path, change](QWidget *dialog) {
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        static_cast<QDialog *>(dialog)->accept();
        change();
    }, 5000, 1, [](QWidget *dialog) { return qobject_cast<QFileDialog *>(dialog) != nullptr; });
}

void applyChange(Change change, const QString &path)
{
    switch (change) {
    case Change::Delete:
        QFile::remove(path);
        break;
    case Change::Directory:
        QFile::remove(path);
        QDir().mkpath(path);
        break;
    case Change::BadLength:
        TestFiles::write(path, QByteArray(1000, '\x5A'));
        break;
    case Change::Text:
        TestFiles::write(path, QByteArray("no longer a picture\n"));
        break;
    case Change::Jpeg:
        testPicture().save(path, "JPG");
        break;
    case Change::WrongSize:
        testPicture(64, 128).save(path, "PNG");
        break;
    }
}

void save(FormProbe &form, Writer writer)
{
    switch (writer) {
    case Writer::Binary: form.saveBinClick(); break;
    case Writer::Bitmap: form.saveBmpClick(); break;
    case Writer::Export: form.exportClick(); break;
    }
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cutShortWriteLeavesNoTrace_data();
    void cutShortWriteLeavesNoTrace();
    void binaryFileGoneOrChanged_data();
    void binaryFileGoneOrChanged();
    void pictureGoneOrChanged_data();
    void pictureGoneOrChanged();
    void namedPipeIsNotWaitedFor_data();
    void namedPipeIsNotWaitedFor();
    void streamTargetIsNotReplaced_data();
    void streamTargetIsNotReplaced();

private:
    // A fresh directory for every row: a file one row leaves must not turn
    // the next row's new file into a replaced one.
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestFaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFaults::cutShortWriteLeavesNoTrace_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<bool>("existed");
    // Replacing a file under the binary and bitmap saves is covered with those saves.
    QTest::newRow("export replacing a file") << Writer::Export << true;
    QTest::newRow("export to a new file") << Writer::Export << false;
    QTest::newRow("binary save to a new file") << Writer::Binary << false;
    QTest::newRow("bitmap save to a new file") << Writer::Bitmap << false;
}

void TestFaults::cutShortWriteLeavesNoTrace()
{
    QFETCH(Writer, writer);
    QFETCH(bool, existed);
    const QString bin = path(QStringLiteral("three.bin"));
    QVERIFY(TestFiles::write(bin, TestFiles::patternImages(3)));
    const QString picture = path(QStringLiteral("picture.png"));
    QVERIFY(testPicture().save(picture));
    FormProbe form;
    QVERIFY(form.loadBmp(picture));
    QVERIFY(form.loadBin(bin));
    form.bar()->clearMessage();

    // Every output is well over the limit: the binary image 1024 bytes, the
    // bitmap and the export several kilobytes.
    const QString dir = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(dir));
    const QString out = dir + QStringLiteral("/target");
    const QByteArray old(100, 'p');
    if (existed)
        QVERIFY(TestFiles::write(out, old));
    const QStringList filesBefore = QDir(dir).entryList(QDir::Files | QDir::Hidden);

    std::unique_ptr<ModalAnswerer> boxes;
    {
        auto dialog = ModalAnswerer::fileDialog(out);
        // One box more than expected: an unexpected one is closed, not left blocking.
        boxes = ModalAnswerer::messageBox(QStringLiteral("Oui"), 8000, existed ? 3 : 2);
        FileSizeLimit limit(512);
        QVERIFY(limit.active());
        save(form, writer);
        QVERIFY(dialog->answered());
    }

    QCOMPARE(boxes->count(), existed ? 2 : 1);
    QCOMPARE(boxes->title(), QStringLiteral("Erreur"));
    QCOMPARE(boxes->texts().last(), QStringLiteral("Erreur fichier !"));
    QVERIFY(form.status().isEmpty());
    if (existed)
        QCOMPARE(TestFiles::read(out), old);
    else
        QVERIFY(!QFile::exists(out));
    // Nor is a half-written temporary file left beside it.
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), filesBefore);
}

void TestFaults::binaryFileGoneOrChanged_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("warning");
    const QString missing = QStringLiteral("Fichier Introuvable !");
    QTest::newRow("deleted") << Change::Delete << missing;
    QTest::newRow("replaced by a directory") << Change::Directory << missing;
    QTest::newRow("rewritten with a bad length") << Change::BadLength << QStringLiteral("Mauvais Format");
}

void TestFaults::binaryFileGoneOrChanged()
{
    QFETCH(Change, change);
    QFETCH(QString, warning);
    FormProbe form;
    const QString first = path(QStringLiteral("three.bin"));
    QVERIFY(TestFiles::write(first, TestFiles::patternImages(3)));
    QVERIFY(form.loadBin(first));
    form.BtnNext->click();
    form.TabBitmap->setCurrentIndex(2);
    form.bar()->clearMessage();
    const FormProbe::BinState before = form.binState();

    const QString chosen = path(QStringLiteral("chosen.bin"));
    QByteArray other(2048, '\x77');
    QVERIFY(TestFiles::write(chosen, other));
    auto messages = ModalAnswerer::messageBox(QStringLiteral("OK"), 8000, 2);
    auto dialog = chooseThenChange(chosen, [&] { applyChange(change, chosen); });
    form.loadBinClick();
    QVERIFY(dialog->answered());

    QCOMPARE(messages->count(), 1);
    QCOMPARE(messages->title(), QStringLiteral("Erreur"));
    QCOMPARE(messages->text(), warning);
    QVERIFY(form.binState() == before);
    QVERIFY(form.status().isEmpty());
    form.BtnNext->click();
    QCOMPARE(form.LCDindex->intValue(), 2);
}

void TestFaults::pictureGoneOrChanged_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("warning");
    const QString format = QStringLiteral("Format d'image inconnu\n(Bitmap ou PNG uniquement)");
    QTest::newRow("deleted") << Change::Delete << format;
    QTest::newRow("replaced by a directory") << Change::Directory << format;
    QTest::newRow("rewritten as text") << Change::Text << format;
    QTest::newRow("rewritten as JPEG") << Change::Jpeg << format;
    QTest::newRow("rewritten at 64x128")
        << Change::WrongSize << QStringLiteral("Taille de l'image différente\nde 128 * 64 pixels");
}

void TestFaults::pictureGoneOrChanged()
{
    QFETCH(Change, change);
    QFETCH(QString, warning);
    const QString first = path(QStringLiteral("first.png"));
    const QImage picture = testPicture();
    QVERIFY(picture.save(first));
    FormProbe form;
    QVERIFY(form.loadBmp(first));
    form.TabBitmap->setCurrentIndex(3);
    form.bar()->clearMessage();
    const QImage shown = form.PixmapBmp->pixmap().toImage();

    const QString chosen = path(QStringLiteral("chosen.bmp"));
    QImage other(128, 64, QImage::Format_RGB32);
    other.fill(Qt::black);
    QVERIFY(other.save(chosen, "BMP"));
    auto messages = ModalAnswerer::messageBox(QStringLiteral("OK"), 8000, 2);
    auto dialog = chooseThenChange(chosen, [&] { applyChange(change, chosen); });
    form.loadBmpClick();
    QVERIFY(dialog->answered());

    QCOMPARE(messages->count(), 1);
    QCOMPARE(messages->title(), QStringLiteral("Erreur"));
    QCOMPARE(messages->text(), warning);
    QCOMPARE(form.TxtBmp->text(), first);
    QCOMPARE(form.PixmapBmp->pixmap().toImage(), shown);
    QCOMPARE(form.TabBitmap->currentIndex(), 3);
    QVERIFY(form.status().isEmpty());

    // What a save converts is still the first picture, not a half-taken second one.
    const QString out = path(QStringLiteral("after.bin"));
    auto save = ModalAnswerer::fileDialog(out);
    form.saveBinClick();
    QCOMPARE(TestFiles::read(out), BinImage::fromPicture(picture, BinImage::RowOrganisation::Row63));
}

void TestFaults::namedPipeIsNotWaitedFor_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("warning");
    const QString missing = QStringLiteral("Fichier Introuvable !");
    const QString format = QStringLiteral("Format d'image inconnu\n(Bitmap ou PNG uniquement)");
    QTest::newRow("binary file") << true << "" << missing;
    QTest::newRow("picture") << false << "" << format;
    // A device never ends: read whole, it would exhaust memory.
    QTest::newRow("binary file, endless device") << true << "/dev/zero" << missing;
    QTest::newRow("picture, endless device") << false << "/dev/zero" << format;
}

void TestFaults::namedPipeIsNotWaitedFor()
{
    // Opening a pipe nobody writes to would freeze the window for good.
    QFETCH(bool, binary);
    QFETCH(QString, source);
    QFETCH(QString, warning);
    if (source.isEmpty()) {
        source = path(QStringLiteral("pipe"));
        QCOMPARE(mkfifo(QFile::encodeName(source).constData(), 0600), 0);
    }
    FormProbe form;
    const FormProbe::BinState before = form.binState();
    const QString picturePath = form.TxtBmp->text();
    auto box = ModalAnswerer::messageBox(QStringLiteral("OK"), 8000);
    if (binary)
        form.loadBinFile(source);
    else
        form.loadBmpFile(source);
    QCOMPARE(box->texts(), QStringList{warning});
    QVERIFY(form.binState() == before);
    QCOMPARE(form.TxtBmp->text(), picturePath);
}

void TestFaults::streamTargetIsNotReplaced_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<bool>("fifo");
    QTest::newRow("binary save to a FIFO") << Writer::Binary << true;
    QTest::newRow("bitmap save to a device") << Writer::Bitmap << false;
    QTest::newRow("export to a device") << Writer::Export << false;
}

void TestFaults::streamTargetIsNotReplaced()
{
    // The window may not wait on a FIFO, and a device is no file to replace:
    // both are refused and left as they are.
    QFETCH(Writer, writer);
    QFETCH(bool, fifo);
    const QString target = path(QStringLiteral("target"));
    if (fifo) {
        QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    } else {
        // A node of its own where it may be made (as root, who could replace
        // /dev/null); otherwise /dev/null, which nobody else can replace.
        if (mknod(QFile::encodeName(target).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), target));
    }
    struct stat before;
    QCOMPARE(stat(QFile::encodeName(target).constData(), &before), 0);
    FormProbe form;
    auto dialog = ModalAnswerer::fileDialog(target);
    auto boxes = ModalAnswerer::messageBox(QStringLiteral("Oui"), 8000, 3);
    save(form, writer);
    QVERIFY(dialog->answered());
    QCOMPARE(boxes->texts().last(), QStringLiteral("Erreur fichier !"));
    QVERIFY(form.status().isEmpty());
    struct stat after;
    QCOMPARE(stat(QFile::encodeName(target).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mode, before.st_mode);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
