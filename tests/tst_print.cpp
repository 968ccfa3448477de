#include "core/authorship.h"
#include "core/maindialogimpl.h"
#include "output/printlayout.h"
#include "support/filesizelimit.h"
#include "support/modalanswerer.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QMessageBox>
#include <QPageSize>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class PrintForm : public maindialogImpl
{
public:
    using maindialogImpl::bgColor;
    using maindialogImpl::printerInUse;
};

constexpr int ProcessMs = 30000;
constexpr qreal PointsPerUnit = 1.2; // 10 dots at 600 dpi
constexpr int SampleDpi = 300;       // 5 pixels per image pixel

QByteArray runTool(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(ProcessMs) || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        qWarning() << tool << args << process.readAllStandardError();
        return {};
    }
    return process.readAllStandardOutput();
}

int pdfPages(const QString &pdf)
{
    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf}));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfText(const QString &pdf, int page)
{
    const QString p = QString::number(page);
    // The printer's font draws "ff" or "fi" as one ligature glyph, which
    // pdftotext hands back as a single character (a temporary folder named
    // ".../xLqKff" came back as "xLqK\uFB00"); compatibility folding undoes it.
    return QString::fromUtf8(runTool(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-raw"), QStringLiteral("-f"), p,
                                      QStringLiteral("-l"), p, pdf, QStringLiteral("-")}))
        .normalized(QString::NormalizationForm_KC);
}

struct Word {
    QString text;
    QRectF box; // in points
};

QList<Word> pdfWords(const QString &pdf, int page)
{
    const QString p = QString::number(page);
    const QString xml = QString::fromUtf8(runTool(QStringLiteral("pdftotext"),
        {QStringLiteral("-bbox"), QStringLiteral("-f"), p, QStringLiteral("-l"), p, pdf,
         QStringLiteral("-")}));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(xml)) {
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return words;
}

const Word *findWord(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

QImage pdfPage(const QString &pdf, int page, const QString &workDir)
{
    const QString p = QString::number(page);
    const QString prefix = workDir + QStringLiteral("/page");
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(SampleDpi), QStringLiteral("-aa"), QStringLiteral("no"),
             QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-f"), p,
             QStringLiteral("-l"), p, QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf,
             prefix});
    QImage image(prefix + QStringLiteral(".png"));
    QFile::remove(prefix + QStringLiteral(".png"));
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray blankImages(int count)
{
    return QByteArray(count * 1024, '\0');
}

QByteArray TestFilesRead(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool sameColour(QRgb a, QRgb b)
{
    constexpr int Tolerance = 2;
    return qAbs(qRed(a) - qRed(b)) <= Tolerance && qAbs(qGreen(a) - qGreen(b)) <= Tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= Tolerance;
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pageCount_data();
    void pageCount();
    void imagesLandInTheirSlots_data();
    void imagesLandInTheirSlots();
    void renderingFollowsOptions_data();
    void renderingFollowsOptions();
    void sameSheetAtAnyResolution_data();
    void sameSheetAtAnyResolution();
    void pageTexts();
    void pageLineOnEveryPaper_data();
    void pageLineOnEveryPaper();
    void failedPrintKeepsOldFile_data();
    void failedPrintKeepsOldFile();
    void onlyFromBinaryTab_data();
    void onlyFromBinaryTab();
    void cancelledDialogPrintsNothing();

private:
    QString writeBin(const QString &name, const QByteArray &bytes);
    bool load(const QString &path);
    bool print(const QString &pdf);
    // Where a point in page units lands on a page rendered at SampleDpi.
    QPoint sampleAt(QPointF unit) const;
    QRgb pixelAt(const QImage &page, QPointF unit) const;
    // Darkest pixel within a unit's distance: a hairline may fall either side of a point.
    int darkestNear(const QImage &page, QPointF unit) const;

    QTemporaryDir m_dir;
    std::unique_ptr<PrintForm> m_form;
    QPointF m_origin; // top-left of the printable area in points
    QString m_sheet64; // 64 images, some black, printed once for several rows
};

void TestPrint::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char *tool : {"pdfinfo", "pdftotext", "pdftoppm"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                 "poppler-utils is needed (tools/setup.sh installs it)");
}

void TestPrint::init()
{
    m_form = std::make_unique<PrintForm>();
    m_form->printerInUse()->setOutputFormat(QPrinter::PdfFormat);
}

void TestPrint::cleanup()
{
    m_form.reset();
}

QString TestPrint::writeBin(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

bool TestPrint::load(const QString &path)
{
    auto answer = ModalAnswerer::fileDialog(path);
    m_form->loadBinClick();
    return answer->answered() && m_form->TabBitmap->currentIndex() == 1;
}

bool TestPrint::print(const QString &pdf)
{
    QFile::remove(pdf);
    m_form->printerInUse()->setOutputFileName(pdf);
    ModalAnswerer answer([](QWidget *dialog) { static_cast<QDialog *>(dialog)->accept(); });
    m_form->printClick();
    m_origin = m_form->printerInUse()->pageRect(QPrinter::Point).topLeft();
    return answer.answered() && answer.className() == QLatin1String("QPrintDialog")
        && QFile::exists(pdf);
}

QPoint TestPrint::sampleAt(QPointF unit) const
{
    const QPointF points = m_origin + (unit + QPointF(25, 35)) * PointsPerUnit;
    return (points * SampleDpi / 72).toPoint();
}

QRgb TestPrint::pixelAt(const QImage &page, QPointF unit) const
{
    return page.pixel(sampleAt(unit));
}

int TestPrint::darkestNear(const QImage &page, QPointF unit) const
{
    const QPoint centre = sampleAt(unit);
    const int reach = SampleDpi * PointsPerUnit / 72 / 2;
    int darkest = 255;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            darkest = qMin(darkest, qGray(page.pixel(centre + QPoint(dx, dy))));
    return darkest;
}

void TestPrint::pageCount_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("pages");
    QTest::newRow("none loaded") << -1 << 1;
    QTest::newRow("empty file") << 0 << 1;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("21 no empty last page") << 21 << 1;
    QTest::newRow("22") << 22 << 2;
    QTest::newRow("64") << 64 << 4;
}

void TestPrint::pageCount()
{
    QFETCH(int, images);
    QFETCH(int, pages);
    if (images >= 0)
        QVERIFY(load(writeBin(QStringLiteral("count.bin"), blankImages(images))));
    else
        m_form->TabBitmap->setCurrentIndex(1);
    const QString pdf = m_dir.filePath(QStringLiteral("count.pdf"));
    QVERIFY(print(pdf));
    QCOMPARE(pdfPages(pdf), pages);
    for (int p = 1; p <= pages; ++p)
        QVERIFY(pdfText(pdf, p).contains(QStringLiteral("Page %1 ").arg(p)));
    if (images < 0) // the label's placeholder text stands for the path
        QVERIFY(pdfText(pdf, 1).contains(QStringLiteral("Fichier \"TxtBin\"")));
}

void TestPrint::imagesLandInTheirSlots_data()
{
    QTest::addColumn<int>("page");
    for (int page = 1; page <= 4; ++page)
        QTest::newRow(qPrintable(QStringLiteral("page %1").arg(page))) << page;
}

void TestPrint::imagesLandInTheirSlots()
{
    QFETCH(int, page);
    const QList<int> black = {4, 20, 22, 63};
    if (m_sheet64.isEmpty()) {
        QByteArray bytes = blankImages(64);
        for (int k : black)
            bytes.replace(k * 1024, 1024, QByteArray(1024, '\xFF'));
        QVERIFY(load(writeBin(QStringLiteral("sheet.bin"), bytes)));
        const QString pdf = m_dir.filePath(QStringLiteral("sheet.pdf"));
        QVERIFY(print(pdf));
        m_sheet64 = pdf;
    }

    const QImage image = pdfPage(m_sheet64, page, m_dir.path());
    QVERIFY(!image.isNull());
    for (int onPage = 0; onPage < PrintLayout::ImagesPerPage; ++onPage) {
        const int k = (page - 1) * PrintLayout::ImagesPerPage + onPage;
        const PrintLayout::Slot slot = PrintLayout::slotFor(k);
        const QRectF frame = slot.frame;
        const QString where = QStringLiteral("image %1").arg(k);
        const QRgb centre = pixelAt(image, slot.pos + QPointF(64.5, 32.5));
        if (k >= 64) {
            QVERIFY2(sameColour(centre, qRgb(255, 255, 255)), qPrintable(where));
            QVERIFY2(darkestNear(image, {frame.left(), frame.center().y()}) > 128, qPrintable(where));
            continue;
        }
        const QRgb expected = black.contains(k) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        QVERIFY2(sameColour(centre, expected), qPrintable(where));
        QVERIFY2(sameColour(pixelAt(image, slot.pos + QPointF(0.5, 0.5)), expected), qPrintable(where));
        QVERIFY2(sameColour(pixelAt(image, slot.pos + QPointF(127.5, 63.5)), expected), qPrintable(where));
        // The gap between image and frame stays blank.
        QVERIFY2(sameColour(pixelAt(image, slot.pos + QPointF(-0.5, 32)), qRgb(255, 255, 255)),
                 qPrintable(where));
        QVERIFY2(sameColour(pixelAt(image, slot.pos + QPointF(128.5, 32)), qRgb(255, 255, 255)),
                 qPrintable(where));
        for (const QPointF &edge : {QPointF(frame.left(), frame.center().y()),
                                    QPointF(frame.right(), frame.center().y()),
                                    QPointF(frame.center().x(), frame.top()),
                                    QPointF(frame.center().x(), frame.bottom())})
            QVERIFY2(darkestNear(image, edge) < 64, qPrintable(where));
    }
}

void TestPrint::renderingFollowsOptions_data()
{
    QTest::addColumn<bool>("row127");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QPoint>("lit");
    QTest::addColumn<QPoint>("unlit");
    // One byte 0x01 at offset 512: pixel (64,0) in Row63 mode, (0,32) in Row127 mode.
    QTest::newRow("Row63 white") << false << QColor(Qt::white) << QPoint(64, 0) << QPoint(0, 32);
    QTest::newRow("Row127 white") << true << QColor(Qt::white) << QPoint(0, 32) << QPoint(64, 0);
    QTest::newRow("Row63 yellow") << false << QColor(255, 255, 0) << QPoint(64, 0) << QPoint(0, 32);
    QTest::newRow("Row127 cyan") << true << QColor(0, 200, 255) << QPoint(0, 32) << QPoint(64, 0);
}

void TestPrint::renderingFollowsOptions()
{
    QFETCH(bool, row127);
    QFETCH(QColor, background);
    QFETCH(QPoint, lit);
    QFETCH(QPoint, unlit);
    QByteArray bytes = blankImages(2);
    bytes[512] = 1;
    bytes[1024 + 512] = 1;
    QVERIFY(load(writeBin(QStringLiteral("options.bin"), bytes)));
    (row127 ? m_form->BtnRow127 : m_form->BtnRow63)->click();
    m_form->bgColor = background;

    const QString pdf = m_dir.filePath(QStringLiteral("options.pdf"));
    QVERIFY(print(pdf));
    const QImage image = pdfPage(pdf, 1, m_dir.path());
    for (int k : {0, 1}) {
        const QPointF pos = PrintLayout::slotFor(k).pos;
        QVERIFY(sameColour(pixelAt(image, pos + lit + QPointF(0.5, 0.5)), qRgb(0, 0, 0)));
        // Exact neighbours: no lossy compression may smear the single lit pixel.
        QVERIFY(sameColour(pixelAt(image, pos + lit + QPointF(1.5, 0.5)), background.rgb()));
        QVERIFY(sameColour(pixelAt(image, pos + unlit + QPointF(0.5, 0.5)), background.rgb()));
        QVERIFY(sameColour(pixelAt(image, pos + QPointF(100.5, 50.5)), background.rgb()));
    }
}

void TestPrint::sameSheetAtAnyResolution_data()
{
    QTest::addColumn<int>("resolution");
    QTest::newRow("default") << 0;
    QTest::newRow("300") << 300;
    QTest::newRow("600") << 600;
    QTest::newRow("1200") << 1200;
}

void TestPrint::sameSheetAtAnyResolution()
{
    QFETCH(int, resolution);
    if (resolution)
        m_form->printerInUse()->setResolution(resolution);
    QVERIFY(load(writeBin(QStringLiteral("resolution.bin"), QByteArray(1024, '\xFF'))));
    const QString pdf = m_dir.filePath(QStringLiteral("resolution%1.pdf").arg(resolution));
    QVERIFY(print(pdf));

    const QImage image = pdfPage(pdf, 1, m_dir.path());
    const QRectF frame = PrintLayout::slotFor(0).frame;
    QVERIFY(darkestNear(image, {frame.left(), frame.center().y()}) < 64);
    QVERIFY(darkestNear(image, {frame.right(), frame.center().y()}) < 64);
    QVERIFY(darkestNear(image, {frame.center().x(), frame.bottom()}) < 64);
    QVERIFY(sameColour(pixelAt(image, {0.5, 0.5}), qRgb(0, 0, 0)));
    QVERIFY(sameColour(pixelAt(image, {127.5, 63.5}), qRgb(0, 0, 0)));
    QVERIFY(sameColour(pixelAt(image, {128.5, 32}), qRgb(255, 255, 255)));
    QVERIFY(sameColour(pixelAt(image, {140.5, 32}), qRgb(255, 255, 255)));

    // Text keeps its place and size too.
    const QList<Word> words = pdfWords(pdf, 1);
    const Word *author = findWord(words, QStringLiteral("ZuruvaZiviz"));
    QVERIFY(author);
    const qreal left = m_origin.x() + 25 * PointsPerUnit;
    QVERIFY2(qAbs(author->box.left() - left) < 1, qPrintable(QString::number(author->box.left())));
    QVERIFY2(author->box.height() > 10 && author->box.height() < 16,
             qPrintable(QString::number(author->box.height())));
    const qreal baseline = m_origin.y() + (PrintLayout::AuthorLinePos.y() + 35) * PointsPerUnit;
    QVERIFY(author->box.top() < baseline - 6 && author->box.bottom() > baseline);
}

void TestPrint::pageTexts()
{
    // Not representable in ISO 8859-1: must still print as it stands.
    const QString path = writeBin(QStringLiteral("crème €Ω.bin"), blankImages(22));
    QVERIFY(load(path));
    QCOMPARE(m_form->TxtBin->text(), path);
    const QString pdf = m_dir.filePath(QStringLiteral("texts.pdf"));
    const QDate before = QDate::currentDate();
    QVERIFY(print(pdf));
    const QDate after = QDate::currentDate();

    for (int page : {1, 2}) {
        const QString text = pdfText(pdf, page);
        QVERIFY2(text.contains(QStringLiteral("ZuruvaZiviz by ") + Authorship::notice()), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Fichier \"%1\"").arg(path)), qPrintable(text));
        // pdftotext shows any run of spaces as one; the gap is measured below.
        const QString line = QStringLiteral("Page %1 %2").arg(page);
        const QString date = text.contains(line.arg(before.toString(Qt::TextDate)))
            ? before.toString(Qt::TextDate) : after.toString(Qt::TextDate);
        QVERIFY2(text.contains(line.arg(date)), qPrintable(text));

        const QList<Word> words = pdfWords(pdf, page);
        const Word *author = findWord(words, QStringLiteral("ZuruvaZiviz"));
        const Word *file = findWord(words, QStringLiteral("Fichier"));
        const Word *pageWord = findWord(words, QStringLiteral("Page"));
        const Word *number = findWord(words, QString::number(page));
        const QStringList dateWords = date.split(QLatin1Char(' '));
        const Word *weekday = findWord(words, dateWords.at(0));
        const Word *month = findWord(words, dateWords.at(1));
        QVERIFY(author && file && pageWord && number && weekday && month);
        QCOMPARE(file->box.left(), author->box.left());
        QCOMPARE(pageWord->box.left(), author->box.left());
        const qreal lineStep = (PrintLayout::FileLinePos.y() - PrintLayout::AuthorLinePos.y()) * PointsPerUnit;
        QVERIFY(qAbs(file->box.top() - author->box.top() - lineStep) < 0.5);
        const qreal pageStep = (PrintLayout::PageLinePos.y() - PrintLayout::AuthorLinePos.y()) * PointsPerUnit;
        QVERIFY(qAbs(pageWord->box.top() - author->box.top() - pageStep) < 0.5);
        const qreal oneSpace = month->box.left() - weekday->box.right();
        const qreal gap = weekday->box.left() - number->box.right();
        QVERIFY2(qAbs(gap / oneSpace - 6) < 0.5, qPrintable(QString::number(gap / oneSpace)));
    }
}

void TestPrint::pageLineOnEveryPaper_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<bool>("fits"); // the 600 dpi sheet fits the printable area as it is
    QTest::newRow("A4") << int(QPageSize::A4) << true;
    QTest::newRow("Letter") << int(QPageSize::Letter) << false;
    QTest::newRow("Legal") << int(QPageSize::Legal) << true;
    QTest::newRow("A5") << int(QPageSize::A5) << false;
}

void TestPrint::pageLineOnEveryPaper()
{
    QFETCH(int, paper);
    QFETCH(bool, fits);
    QVERIFY(m_form->printerInUse()->setPageSize(QPageSize(QPageSize::PageSizeId(paper))));
    QVERIFY(load(writeBin(QStringLiteral("paper.bin"), QByteArray(22 * 1024, '\xFF'))));
    const QString pdf = m_dir.filePath(QStringLiteral("paper%1.pdf").arg(paper));
    QVERIFY(print(pdf));
    QCOMPARE(pdfPages(pdf), 2);
    const QRectF printable = m_form->printerInUse()->pageRect(QPrinter::Point);

    for (int page : {1, 2}) {
        const QList<Word> words = pdfWords(pdf, page);
        const Word *author = findWord(words, QStringLiteral("ZuruvaZiviz"));
        const Word *pageWord = findWord(words, QStringLiteral("Page"));
        QVERIFY2(author && pageWord, qPrintable(pdfText(pdf, page)));
        QVERIFY(printable.contains(author->box));
        QVERIFY2(printable.contains(pageWord->box),
                 qPrintable(QStringLiteral("%1 outside %2").arg(pageWord->box.bottom()).arg(printable.bottom())));
        const qreal pageStep = pageWord->box.top() - author->box.top();
        const qreal unscaledStep = (PrintLayout::PageLinePos.y() - PrintLayout::AuthorLinePos.y()) * PointsPerUnit;
        // Never enlarged: where the sheet fits, it keeps its size.
        if (fits)
            QVERIFY(qAbs(pageStep - unscaledStep) < 0.5);
        else
            QVERIFY(pageStep < unscaledStep - 1);
    }
    // The last column's frame stays on the paper too.
    const QImage image = pdfPage(pdf, 1, m_dir.path());
    const qreal fit = PrintLayout::fitFactor(m_form->printerInUse()->pageRect(QPrinter::DevicePixel).size(),
                                             m_form->printerInUse()->resolution());
    QCOMPARE(fit == 1.0, fits);
    const auto onPaper = [&](QPointF unit) {
        return (unit + QPointF(25, 35)) * PointsPerUnit * fit + printable.topLeft();
    };
    const PrintLayout::Slot last = PrintLayout::slotFor(2);
    QVERIFY(printable.contains(onPaper(last.frame.topRight())));
    const QPointF blackEdge = onPaper(last.pos + QPointF(127.5, 32));
    QVERIFY(qGray(image.pixel((blackEdge * SampleDpi / 72).toPoint())) < 64);
}

void TestPrint::failedPrintKeepsOldFile_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("missingFolder");
    QTest::newRow("disk full, old file") << true << false;
    QTest::newRow("disk full, new file") << false << false;
    QTest::newRow("no such folder") << false << true;
}

void TestPrint::failedPrintKeepsOldFile()
{
    QFETCH(bool, existing);
    QFETCH(bool, missingFolder);
    QVERIFY(load(writeBin(QStringLiteral("failing.bin"), blankImages(22))));
    QTemporaryDir folder(m_dir.filePath(QStringLiteral("out-XXXXXX")));
    const QString pdf = missingFolder ? folder.filePath(QStringLiteral("missing/sheet.pdf"))
                                      : folder.filePath(QStringLiteral("sheet.pdf"));
    const QByteArray old("an older sheet, not to be lost");
    if (existing) {
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    m_form->printerInUse()->setOutputFileName(pdf);

    QString title;
    QStringList buttons;
    ModalAnswerer answer([&](QWidget *dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            title = box->windowTitle();
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            box->buttons().constFirst()->click();
            return;
        }
        static_cast<QDialog *>(dialog)->accept();
    }, 5000, 2);
    {
        FileSizeLimit limit(4096);
        QVERIFY(limit.active());
        m_form->printClick();
    }
    QCOMPARE(answer.count(), 2);
    QCOMPARE(title, QStringLiteral("Erreur"));
    QCOMPARE(buttons.size(), 1);
    if (existing)
        QCOMPARE(TestFilesRead(pdf), old);
    else
        QVERIFY(!QFile::exists(pdf));
    // Nothing left beside it, and the printer still aims at the chosen name.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), existing ? QStringList{QStringLiteral("sheet.pdf")}
                                                                   : QStringList{});
    QCOMPARE(m_form->printerInUse()->outputFileName(), pdf);

    if (!missingFolder) {
        QVERIFY(print(pdf));
        QCOMPARE(pdfPages(pdf), 2);
    }
}

void TestPrint::onlyFromBinaryTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("Bitmap") << 0;
    QTest::newRow("Contenu Binaire") << 2;
    QTest::newRow("Export ASCII") << 3;
}

void TestPrint::onlyFromBinaryTab()
{
    QFETCH(int, tab);
    QVERIFY(load(writeBin(QStringLiteral("tabs.bin"), blankImages(3))));
    m_form->TabBitmap->setCurrentIndex(tab);
    const QString pdf = m_dir.filePath(QStringLiteral("tab%1.pdf").arg(tab));
    m_form->printerInUse()->setOutputFileName(pdf);
    ModalAnswerer answer([](QWidget *dialog) { static_cast<QDialog *>(dialog)->accept(); });
    m_form->printClick();
    QVERIFY(!answer.answered());
    QVERIFY(!QFile::exists(pdf));
}

void TestPrint::cancelledDialogPrintsNothing()
{
    QVERIFY(load(writeBin(QStringLiteral("cancel.bin"), blankImages(3))));
    const QString pdf = m_dir.filePath(QStringLiteral("cancel.pdf"));
    m_form->printerInUse()->setOutputFileName(pdf);
    auto answer = ModalAnswerer::rejectDialog();
    m_form->printClick();
    QVERIFY(answer->answered());
    QCOMPARE(answer->className(), QStringLiteral("QPrintDialog"));
    QVERIFY(!QFile::exists(pdf));

    // The printer stays usable for the next run.
    QVERIFY(print(pdf));
    QCOMPARE(pdfPages(pdf), 1);
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestPrint test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_print.moc"
