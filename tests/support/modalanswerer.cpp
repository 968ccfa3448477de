#include "support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace {
constexpr int PollMs = 10;
}

ModalAnswerer::ModalAnswerer(Handler handler, int timeoutMs, int dialogs, Filter filter)
    : m_handler(std::move(handler)), m_filter(std::move(filter)), m_timer(new QTimer(this)), m_remainingMs(timeoutMs),
      m_dialogs(dialogs)
{
    m_timer->setInterval(PollMs);
    connect(m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer->start();
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::poll()
{
    m_remainingMs -= PollMs;
    if (m_count >= m_dialogs) {
        m_timer->stop();
        return;
    }
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last || (m_filter && !m_filter(modal))) {
        if (m_remainingMs <= 0)
            m_timer->stop();
        return;
    }
    if (m_remainingMs <= 0) {
        // Nobody answered in time: never leave a dialog blocking the test.
        m_timer->stop();
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    ++m_count;
    m_last = modal;
    m_title = modal->windowTitle();
    m_className = QString::fromLatin1(modal->metaObject()->className());
    m_buttons.clear();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        m_text = box->text();
        m_texts << m_text;
        for (QAbstractButton *button : box->buttons())
            m_buttons << button->text();
    }
    m_handler(modal);
    m_remainingMs = 5000;
}

std::unique_ptr<ModalAnswerer> ModalAnswerer::fileDialog(const QString &path, int timeoutMs)
{
    return std::make_unique<ModalAnswerer>([path](QWidget *dialog) {
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    }, timeoutMs, 1, [](QWidget *dialog) { return qobject_cast<QFileDialog *>(dialog) != nullptr; });
}

std::unique_ptr<ModalAnswerer> ModalAnswerer::rejectDialog(int timeoutMs)
{
    return std::make_unique<ModalAnswerer>([](QWidget *dialog) {
        if (auto *d = qobject_cast<QDialog *>(dialog))
            d->reject();
        else
            dialog->close();
    }, timeoutMs);
}

std::unique_ptr<ModalAnswerer> ModalAnswerer::messageBox(const QString &button, int timeoutMs,
                                                        int dialogs)
{
    return std::make_unique<ModalAnswerer>([button](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        if (!box) {
            dialog->close();
            return;
        }
        for (QAbstractButton *b : box->buttons()) {
            if (b->text().remove(QLatin1Char('&')) == button) {
                b->click();
                return;
            }
        }
        box->reject();
    }, timeoutMs, dialogs,
       [](QWidget *dialog) { return qobject_cast<QMessageBox *>(dialog) != nullptr; });
}
