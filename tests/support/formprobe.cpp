#include "support/formprobe.h"

#include "support/modalanswerer.h"

#include "core/binimage.h"
#include "form/clicklistview.h"

#include <QFile>
#include <QLCDNumber>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>

FormProbe::FormProbe(QWidget *parent)
    : maindialogImpl(parent), m_bar(new QStatusBar(this))
{
    attachStatusBar(m_bar);
}

QString FormProbe::status() const
{
    return m_bar->currentMessage();
}

QByteArray FormProbe::image(int k) const
{
    return QByteArray(reinterpret_cast<const char *>(binData) + 1024 * k, 1024);
}

bool FormProbe::BinState::operator==(const BinState &o) const
{
    return count == o.count && index == o.index && rows == o.rows && path == o.path
        && hex == o.hex && store == o.store && shown == o.shown && previous == o.previous
        && next == o.next && tab == o.tab;
}

FormProbe::BinState FormProbe::binState() const
{
    return {LCDmax->intValue(),
            LCDindex->intValue(),
            ListView1->topLevelItemCount(),
            TxtBin->text(),
            TextView1->toPlainText(),
            QByteArray(reinterpret_cast<const char *>(binData), BinImage::StoreBytes),
            PixmapBin->pixmap().toImage(),
            BtnPrevious->isEnabled(),
            BtnNext->isEnabled(),
            TabBitmap->currentIndex()};
}

bool FormProbe::loadBin(const QString &path)
{
    auto answer = ModalAnswerer::fileDialog(path);
    loadBinClick();
    return answer->answered();
}

bool FormProbe::loadBmp(const QString &path)
{
    auto answer = ModalAnswerer::fileDialog(path);
    loadBmpClick();
    return answer->answered();
}

namespace TestFiles {

bool write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray patternImages(int count)
{
    QByteArray data(1024 * count, '\0');
    for (int k = 0; k < count; ++k)
        for (int i = 0; i < 1024; ++i)
            data[1024 * k + i] = char(k * 7 + i);
    return data;
}

} // namespace TestFiles
