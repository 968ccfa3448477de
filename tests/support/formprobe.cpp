#include "support/formprobe.h"

#include "support/modalanswerer.h"

#include <QFile>
#include <QStatusBar>

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
