#pragma once

#include "core/maindialogimpl.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class QStatusBar;

// The working form with its store opened up for inspection, a status bar of
// its own, and one-call helpers that drive the real file dialogs.
class FormProbe : public maindialogImpl
{
    Q_OBJECT

public:
    explicit FormProbe(QWidget *parent = nullptr);

    using maindialogImpl::binData;
    using maindialogImpl::bgColor;
    using maindialogImpl::nbImages;
    using maindialogImpl::printerInUse;

    QStatusBar *bar() const { return m_bar; }
    QString status() const;
    QByteArray image(int k) const;

    // Everything a binary file load may change, to prove a refused one changed nothing.
    struct BinState
    {
        int count;
        int index;
        int rows;
        QString path;
        QString hex;
        QByteArray store;
        QImage shown;
        bool previous;
        bool next;
        int tab;

        bool operator==(const BinState &o) const;
    };
    BinState binState() const;

    // Each returns whether the file dialog appeared and was answered.
    bool loadBin(const QString &path);
    bool loadBmp(const QString &path);

private:
    QStatusBar *m_bar;
};

namespace TestFiles {
bool write(const QString &path, const QByteArray &data);
QByteArray read(const QString &path);
// Bytes 0..1023 of image k hold k * 7 + i, so every image differs.
QByteArray patternImages(int count);
} // namespace TestFiles
