#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTimer;
class QWidget;

// Answers the next modal dialog (file, message, colour, print dialogs) that a
// slot under test opens, so the slot's own event loop returns. A dialog that
// never shows up, or a handler that leaves it open, is rejected after the
// timeout instead of hanging the test; check answered() afterwards.
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget *dialog)>;
    // Which dialogs this answerer takes; the others are left to other answerers.
    using Filter = std::function<bool(QWidget *dialog)>;

    // `handler` answers each of the next `dialogs` modal dialogs in turn.
    explicit ModalAnswerer(Handler handler, int timeoutMs = 5000, int dialogs = 1,
                           Filter filter = {});
    ~ModalAnswerer() override;

    bool answered() const { return m_count > 0; }
    int count() const { return m_count; }
    // The texts of every message box answered, in order.
    QStringList texts() const { return m_texts; }
    QString title() const { return m_title; }
    QString text() const { return m_text; }
    QStringList buttons() const { return m_buttons; }
    QString className() const { return m_className; }

    // Ready-made answers.
    static std::unique_ptr<ModalAnswerer> fileDialog(const QString &path, int timeoutMs = 5000);
    static std::unique_ptr<ModalAnswerer> rejectDialog(int timeoutMs = 5000);
    // Clicks the message box button whose text (without '&') equals `button`.
    static std::unique_ptr<ModalAnswerer> messageBox(const QString &button, int timeoutMs = 5000,
                                                     int dialogs = 1);

private:
    void poll();

    Handler m_handler;
    Filter m_filter;
    QTimer *m_timer;
    int m_remainingMs;
    int m_dialogs;
    int m_count = 0;
    QPointer<QWidget> m_last;
    QStringList m_texts;
    QString m_title;
    QString m_text;
    QStringList m_buttons;
    QString m_className;
};
