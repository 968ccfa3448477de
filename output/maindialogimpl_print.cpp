#include "core/maindialogimpl.h"

#include "core/authorship.h"
#include "core/binimage.h"
#include "core/fileaccess.h"
#include "core/outputfile.h"
#include "output/printlayout.h"

#include <QByteArray>
#include <QDate>
#include <QFont>
#include <QLCDNumber>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QSizeF>
#include <QTabWidget>
#include <QTemporaryFile>

#include <memory>

namespace {

// A print to a file is drawn into a private file first and only handed to
// the file layer, which replaces the chosen file in one step, once it is
// complete: a failed run (a full disk) never leaves that file cut short.
class PrintToFile
{
public:
    explicit PrintToFile(QPrinter *printer)
        : m_printer(printer)
        , m_target(printer->outputFileName())
    {
    }
    ~PrintToFile()
    {
        if (m_partial)
            m_printer->setOutputFileName(m_target);
    }
    PrintToFile(const PrintToFile &) = delete;
    PrintToFile &operator=(const PrintToFile &) = delete;

    // False when there is a file to print to and no room to draw it.
    bool begin()
    {
        if (m_target.isEmpty())
            return true;
        m_partial = std::make_unique<QTemporaryFile>();
        if (!m_partial->open())
            return false;
        m_printer->setOutputFileName(m_partial->fileName());
        return true;
    }

    bool commit()
    {
        if (!m_partial)
            return true;
        m_printer->setOutputFileName(m_target);
        QByteArray sheets;
        return FileAccess::read(m_partial->fileName(), MaxSheetBytes, FileAccess::Streams::Refused,
                                sheets) == FileAccess::Status::Ok
            && isComplete(sheets)
            && OutputFile::write(m_target, sheets, FileAccess::Streams::Refused) == OutputFile::Status::Ok;
    }

private:
    // 64 images make four pages of a few hundred kilobytes.
    static constexpr qint64 MaxSheetBytes = 256 * 1024 * 1024;

    // The PDF writer does not report failed writes; a cut-short file lacks
    // the end-of-file marker that it writes last.
    bool isComplete(const QByteArray &sheets) const
    {
        return m_printer->outputFormat() != QPrinter::PdfFormat || sheets.right(16).contains("%%EOF");
    }

    QPrinter *m_printer;
    QString m_target;
    std::unique_ptr<QTemporaryFile> m_partial;
};

// A printer whose output once failed writes nothing ever after (its PDF
// writer keeps the error), so a failed run hands its settings to a new one.
QPrinter *renewed(const QPrinter &old)
{
    auto *printer = new QPrinter;
    printer->setOutputFormat(old.outputFormat());
    if (old.outputFormat() == QPrinter::NativeFormat)
        printer->setPrinterName(old.printerName());
    printer->setOutputFileName(old.outputFileName());
    printer->setPdfVersion(old.pdfVersion());
    printer->setResolution(old.resolution());
    printer->setPageLayout(old.pageLayout());
    printer->setFullPage(old.fullPage());
    printer->setCopyCount(old.copyCount());
    printer->setCollateCopies(old.collateCopies());
    printer->setColorMode(old.colorMode());
    printer->setDuplex(old.duplex());
    printer->setPageOrder(old.pageOrder());
    printer->setPaperSource(old.paperSource());
    printer->setPrintRange(old.printRange());
    printer->setFromTo(old.fromPage(), old.toPage());
    printer->setDocName(old.docName());
    printer->setCreator(old.creator());
    printer->setFontEmbeddingEnabled(old.fontEmbeddingEnabled());
    return printer;
}

} // namespace

QPrinter *maindialogImpl::printerInUse()
{
    if (!printer)
        printer = new QPrinter;
    return printer;
}

void maindialogImpl::printClick()
{
    if (TabBitmap->currentIndex() == BinaireTab)
        printImages();
}

void maindialogImpl::printImages()
{
    QPrintDialog dialog(printerInUse(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    if (!drawContactSheets()) {
        QPrinter *failed = printer;
        printer = renewed(*failed);
        delete failed;
        warn(tr("Impression impossible !"));
    }
}

bool maindialogImpl::drawContactSheets()
{
    QPrinter *const printer = printerInUse();
    PrintToFile output(printer);
    QPainter painter;
    if (!output.begin() || !painter.begin(printer))
        return false;

    // Otherwise coloured backgrounds reach the printer as JPEG, which smears
    // single pixels.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const int resolution = printer->resolution();
    const qreal fit = PrintLayout::fitFactor(QSizeF(printer->width(), printer->height()), resolution);
    painter.setWorldTransform(PrintLayout::pageTransform(resolution, fit));
    QFont font(QStringLiteral("times"));
    font.setPointSizeF(PrintLayout::fontPointSize(resolution));
    font.setBold(true);
    font.setItalic(false);
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));

    // Read once, so a run crossing midnight keeps one date on every page.
    const QString date = QDate::currentDate().toString(Qt::TextDate);
    const QString authorLine = tr("ZuruvaZiviz by ") + Authorship::notice();
    const QString fileLine = tr("Fichier \"%1\"").arg(TxtBin->text());
    const auto drawPageTexts = [&](int page) {
        painter.drawText(PrintLayout::AuthorLinePos, authorLine);
        painter.drawText(PrintLayout::PageLinePos,
                         tr("Page %1      %2").arg(QString::number(page), date));
        painter.drawText(PrintLayout::FileLinePos, fileLine);
    };

    bool ok = true;
    drawPageTexts(1);
    // LCDmax is the count shown to the user, but the store holds no more than this.
    const int count = qBound(0, LCDmax->intValue(), BinImage::MaxImages);
    QPixmap pixmap;
    for (int k = 0; k < count && ok; ++k) {
        const PrintLayout::Slot slot = PrintLayout::slotFor(k);
        if (PrintLayout::startsNewPage(k)) {
            ok = printer->newPage();
            drawPageTexts(slot.page);
        }
        binToPixmap(k, pixmap);
        painter.drawPixmap(slot.pos, pixmap);
        painter.drawRect(slot.frame);
    }
    ok = painter.end() && ok && printer->printerState() != QPrinter::Error;
    return ok && output.commit();
}
