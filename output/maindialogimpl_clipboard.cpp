#include "core/maindialogimpl.h"

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>

namespace {

// The clipboard takes ownership of the data and frees it on the next copy.
void copyImage(QClipboard *clipboard, const QImage &image)
{
    auto *data = new QMimeData;
    data->setImageData(image);
    clipboard->setMimeData(data);
}

} // namespace

void maindialogImpl::menuCopyBin()
{
    copyImage(clipboard, PixmapBin->pixmap().toImage());
    showStatus(tr("Image binaire copiée dans le presse papier"));
}

void maindialogImpl::menuCopyBmp()
{
    const QImage image = PixmapBmp->pixmap().toImage();
    copyImage(clipboard, image);
    showStatus(tr("%1 Image bitmap copiée dans le presse papier").arg(image.depth()));
}

void maindialogImpl::exportCopieClick()
{
    QString text;
    exportText(text);
    clipboard->setText(text);
    showStatus(tr("Export ASCII copié dans le presse papier"));
}
