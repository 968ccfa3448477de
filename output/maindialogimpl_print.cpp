#include "core/maindialogimpl.h"

#include "core/authorship.h"
#include "core/binimage.h"
#include "output/printlayout.h"

#include <QDate>
#include <QFont>
#include <QLCDNumber>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

namespace {
constexpr int BinaryTab = 1;
}

void maindialogImpl::printClick()
{
    if (TabBitmap->currentIndex() == BinaryTab)
        printImages();
}

void maindialogImpl::printImages()
{
    QPrintDialog dialog(printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;

    QPainter painter;
    if (!painter.begin(printer))
        return;

    // Otherwise coloured backgrounds reach the printer as JPEG, which smears
    // single pixels.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const int resolution = printer->resolution();
    painter.setWorldTransform(PrintLayout::pageTransform(resolution));
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

    drawPageTexts(1);
    // LCDmax is the count shown to the user, but the store holds no more than this.
    const int count = qBound(0, LCDmax->intValue(), BinImage::MaxImages);
    QPixmap pixmap;
    for (int k = 0; k < count; ++k) {
        const PrintLayout::Slot slot = PrintLayout::slotFor(k);
        if (PrintLayout::startsNewPage(k)) {
            printer->newPage();
            drawPageTexts(slot.page);
        }
        binToPixmap(k, pixmap);
        painter.drawPixmap(slot.pos, pixmap);
        painter.drawRect(slot.frame);
    }
    painter.end();
}
