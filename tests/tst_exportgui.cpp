#include "core/binimage.h"
#include "output/exportfields.h"
#include "output/exporttext.h"
#include "support/formprobe.h"
#include "support/modalanswerer.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<QLineEdit *> fields(const FormProbe &form)
{
    return {form.LineComment, form.LineDebutTab, form.LineFinTab,
            form.LineDebutLigne, form.LineDebutHexa, form.LineSeparateur};
}

QStringList texts(const FormProbe &form)
{
    QStringList result;
    for (QLineEdit *edit : fields(form))
        result << edit->text();
    return result;
}

QString expectedText(const FormProbe &form, const uchar *image)
{
    const QStringList t = texts(form);
    const ExportFields f{t[0], t[1], t[2], t[3], t[4], t[5]};
    return ExportText::generate(f, form.LCDNumber3->intValue(), form.BtnPICasm->isChecked(), image);
}

// Runs exportClick, answering the file dialog with `path`; returns the
// filter the dialog offered.
QString exportTo(FormProbe &form, const QString &path, ModalAnswerer **boxes = nullptr,
                 int expectedBoxes = 0)
{
    QString filter;
    ModalAnswerer dialog([&](QWidget *w) {
        auto *files = qobject_cast<QFileDialog *>(w);
        filter = files->selectedNameFilter();
        if (auto *edit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        static_cast<QDialog *>(files)->accept();
    }, 8000, 1, [](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; });
    std::unique_ptr<ModalAnswerer> answers;
    if (expectedBoxes)
        answers = ModalAnswerer::messageBox(QStringLiteral("Oui"), 8000, expectedBoxes);
    form.exportClick();
    if (boxes)
        *boxes = answers.release();
    return filter;
}

} // namespace

class TestExportGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void presets_data();
    void presets();
    void unknownPresetChangesNothing();
    void exportsImageZeroToFile_data();
    void exportsImageZeroToFile();
    void exportBeforeAnyLoadIsZero();
    void refusedOrCancelledWritesNothing_data();
    void refusedOrCancelledWritesNothing();
    void nonLatin1FieldRefused();
    void clipboardImageCopies();
    void clipboardTextMatchesFile();

private:
    QTemporaryDir m_dir;
};

void TestExportGui::init()
{
    QVERIFY(m_dir.isValid());
}

void TestExportGui::presets_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("assembler") << 0
        << QStringList{"; ", "image:", "", "dt $tab", "0x", ", "};
    QTest::newRow("C") << 1
        << QStringList{"// ", "const unsigned char image[1024] = {", "};", "$tab", "0x", ", "};
    QTest::newRow("custom") << 2
        << QStringList{"' ", "Dim image()=", "", "$tab$tab", "&H", ", "};
}

void TestExportGui::presets()
{
    QFETCH(int, id);
    QFETCH(QStringList, expected);
    FormProbe form;
    if (id == 1)
        QCOMPARE(texts(form), expected); // the form starts with the C preset
    for (QLineEdit *edit : fields(form))
        edit->setText(QStringLiteral("typed"));
    form.Slider1->setValue(40);
    QRadioButton *buttons[] = {form.BtnPICasm, form.BtnPICc, form.BtnPerso};
    buttons[id]->click();
    QCOMPARE(texts(form), expected);
    QCOMPARE(form.LCDNumber3->intValue(), 40);
}

void TestExportGui::unknownPresetChangesNothing()
{
    FormProbe form;
    form.LineComment->setText(QStringLiteral("mine"));
    const QStringList before = texts(form);
    form.exportChanged(3);
    form.exportChanged(-1);
    QCOMPARE(texts(form), before);
}

void TestExportGui::exportsImageZeroToFile_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("bytesPerLine");
    QTest::addColumn<QString>("filter");
    QTest::newRow("assembler") << 0 << 16 << "Source assembler (*.asm)";
    QTest::newRow("C") << 1 << 10 << "Source c (*.c)";
    QTest::newRow("custom") << 2 << 96 << "Source c (*.c)";
}

void TestExportGui::exportsImageZeroToFile()
{
    QFETCH(int, button);
    QFETCH(int, bytesPerLine);
    QFETCH(QString, filter);
    const QString bin = m_dir.filePath(QStringLiteral("three.bin"));
    QVERIFY(TestFiles::write(bin, TestFiles::patternImages(3)));
    FormProbe form;
    QVERIFY(form.loadBin(bin));
    form.BtnNext->click();
    form.BtnNext->click();
    QCOMPARE(form.LCDindex->intValue(), 2);

    QRadioButton *buttons[] = {form.BtnPICasm, form.BtnPICc, form.BtnPerso};
    buttons[button]->click();
    form.Slider1->setValue(bytesPerLine);
    // No extension is added to the name as typed.
    const QString out = m_dir.filePath(QLatin1String(QTest::currentDataTag()));
    QCOMPARE(exportTo(form, out), filter);
    QCOMPARE(form.status(), QStringLiteral("%1 exporté").arg(out));
    const QByteArray written = TestFiles::read(out);
    QCOMPARE(written, ExportText::encode(expectedText(form, form.binData)));
    QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!written.contains('\r'));
    QVERIFY(written.contains(QByteArray("0x00").replace("0x", button == 2 ? "&H" : "0x")
                             + (button == 0 ? "" : ", ")));
}

void TestExportGui::exportBeforeAnyLoadIsZero()
{
    FormProbe form;
    const QString out = m_dir.filePath(QStringLiteral("zero.c"));
    exportTo(form, out);
    const QByteArray written = TestFiles::read(out);
    QCOMPARE(written.count("0x00"), 1024);
    QCOMPARE(written.count("0x"), 1024);
}

void TestExportGui::refusedOrCancelledWritesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("dialog cancelled") << "";
    QTest::newRow("Non") << "Non";
    QTest::newRow("Annuler") << "Annuler";
}

void TestExportGui::refusedOrCancelledWritesNothing()
{
    QFETCH(QString, answer);
    FormProbe form;
    const QString out = m_dir.filePath(QStringLiteral("kept.asm"));
    QVERIFY(TestFiles::write(out, "old"));
    if (answer.isEmpty()) {
        auto cancel = ModalAnswerer::rejectDialog();
        form.exportClick();
        QVERIFY(cancel->answered());
    } else {
        auto dialog = ModalAnswerer::fileDialog(out);
        auto box = ModalAnswerer::messageBox(answer, 8000);
        form.exportClick();
        QCOMPARE(box->title(), QStringLiteral("Enregister Binaire sous"));
    }
    QCOMPARE(TestFiles::read(out), QByteArray("old"));
    QVERIFY(form.status().isEmpty());
}

void TestExportGui::nonLatin1FieldRefused()
{
    FormProbe form;
    form.LineComment->setText(QStringLiteral("// \u20AC "));
    const QString out = m_dir.filePath(QStringLiteral("euro.c"));
    QVERIFY(TestFiles::write(out, "old"));
    ModalAnswerer *raw = nullptr;
    exportTo(form, out, &raw, 2);
    std::unique_ptr<ModalAnswerer> boxes(raw);
    QCOMPARE(boxes->count(), 2);
    QCOMPARE(boxes->title(), QStringLiteral("Erreur"));
    QVERIFY(boxes->texts().last().contains(QStringLiteral("ISO 8859-1")));
    QCOMPARE(TestFiles::read(out), QByteArray("old"));
    QVERIFY(form.status().isEmpty());
}

void TestExportGui::clipboardImageCopies()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    FormProbe form;
    form.menuCopyBin();
    QCOMPARE(form.status(), QStringLiteral("Image binaire copiée dans le presse papier"));
    QCOMPARE(clipboard->image().size(), QSize(100, 100)); // the placeholder, not an empty image

    const QString bin = m_dir.filePath(QStringLiteral("three.bin"));
    QVERIFY(TestFiles::write(bin, TestFiles::patternImages(3)));
    QVERIFY(form.loadBin(bin));
    form.BtnNext->click();
    form.menuCopyBin();
    const QImage expected = BinImage::toPicture(form.binData + 1024, 0xFFFFFFFF,
                                                BinImage::RowOrganisation::Row63);
    QCOMPARE(clipboard->image().convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));

    form.menuCopyBmp();
    const QImage bitmap = clipboard->image();
    QCOMPARE(bitmap.size(), QSize(100, 100));
    QCOMPARE(form.status(), QStringLiteral("%1 Image bitmap copiée dans le presse papier")
                                .arg(form.PixmapBmp->pixmap().toImage().depth()));
}

void TestExportGui::clipboardTextMatchesFile()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QString bin = m_dir.filePath(QStringLiteral("three.bin"));
    QVERIFY(TestFiles::write(bin, TestFiles::patternImages(3)));
    FormProbe form;
    QVERIFY(form.loadBin(bin));
    form.BtnNext->click();
    form.BtnPICasm->click();
    form.Slider1->setValue(7);

    form.menuCopyBin();
    form.exportCopieClick();
    QCOMPARE(form.status(), QStringLiteral("Export ASCII copié dans le presse papier"));
    QVERIFY(!clipboard->mimeData()->hasImage()); // only the second copy remains

    const QString out = m_dir.filePath(QStringLiteral("same.asm"));
    exportTo(form, out);
    QCOMPARE(clipboard->text().toLatin1(), TestFiles::read(out));
    QCOMPARE(clipboard->text(), expectedText(form, form.binData));
}

QTEST_MAIN(TestExportGui)
#include "tst_exportgui.moc"
