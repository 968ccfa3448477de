// Runs under a real X server (Xvfb) with the xcb platform, next to a real
// clipboard peer (xclip), so what the offscreen platform only simulates is
// proven against X itself.
#include "app/vexlorwindow.h"
#include "core/maindialogimpl.h"
#include "output/exportfields.h"
#include "output/exporttext.h"
#include "form/clicklistview.h"
#include "support/modalanswerer.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLCDNumber>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <xcb/xcb.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <poll.h>
#include <sys/types.h>

namespace {

// Runs an X client without blocking our event loop: while the program owns
// the selection, xclip can only finish if we keep answering it.
QByteArray runClient(const QString &program, const QStringList &args, const QByteArray &input = {},
                     bool *ok = nullptr)
{
    QProcess process;
    process.start(program, args);
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    QDeadlineTimer deadline(10000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(20);
    const bool finished = process.state() == QProcess::NotRunning;
    if (!finished)
        process.kill();
    if (ok)
        *ok = finished && process.exitCode() == 0;
    process.waitForFinished(1000);
    return process.readAllStandardOutput();
}

// A clipboard owner of our own that answers only part of what it is asked,
// from a thread of its own while the window waits: "targets" answers the
// list of formats and never sends data, "text" sends its text but never its
// picture, "slow" answers the list only after three seconds.
class HalfAnsweringOwner
{
public:
    explicit HalfAnsweringOwner(const QByteArray &mode) : m_mode(mode)
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        m_clipboard = atom("CLIPBOARD");
        m_targets = atom("TARGETS");
        m_utf8 = atom("UTF8_STRING");
        m_png = atom("image/png");
        xcb_set_selection_owner(m_connection, m_window, m_clipboard, XCB_CURRENT_TIME);
        free(xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_clipboard),
                                           nullptr));
        m_thread = std::thread([this] { serve(); });
    }

    ~HalfAnsweringOwner()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        xcb_disconnect(m_connection);
    }

    bool owns() const { return m_thread.joinable(); }

private:
    xcb_atom_t atom(const char *name)
    {
        auto *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    }

    void serve()
    {
        pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (!m_stop) {
            poll(&descriptor, 1, 50);
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                if ((event->response_type & ~0x80) == XCB_SELECTION_REQUEST)
                    answer(*reinterpret_cast<xcb_selection_request_event_t *>(event));
                free(event);
            }
        }
    }

    void answer(const xcb_selection_request_event_t &request)
    {
        if (request.target == m_targets) {
            if (m_mode == "slow")
                QThread::msleep(3000);
            const xcb_atom_t offered[] = {m_targets, m_utf8, m_png};
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                XCB_ATOM_ATOM, 32, 3, offered);
        } else if (request.target == m_utf8 && m_mode == "text") {
            const QByteArray text("seul le texte");
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                m_utf8, 8, uint32_t(text.size()), text.constData());
        } else {
            return; // withheld: no answer at all
        }
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = request.property;
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&notify));
        xcb_flush(m_connection);
    }

    QByteArray m_mode;
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_atom_t m_clipboard = 0, m_targets = 0, m_utf8 = 0, m_png = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

class TestX11Window : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void realWindowCaptionAndGeometry();
    void otherClientsFillClipboardPages();
    void programCopiesReachOtherClients();
    void silentClipboardOwnerKeepsWindowAlive();
    void halfAnsweringOwnerBounded_data();
    void halfAnsweringOwnerBounded();
    void escapeKeepsForm_data();
    void escapeKeepsForm();

private:
    QTemporaryDir m_dir;
};

void TestX11Window::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(m_dir.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty(), "xclip is missing");
}

void TestX11Window::realWindowCaptionAndGeometry()
{
    QProcess program;
    program.start(QStringLiteral(VEXLOR_BINARY_DIR "/vexlor"), {});
    QVERIFY(program.waitForStarted(5000));
    const QRegularExpression line(QStringLiteral(
        "\"(Qt - Vexlor     [^\"]+)\": \\(\"vexlor\" \"vexlor\"\\)\\s+(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)"));
    QRegularExpressionMatch match;
    for (int tries = 0; tries < 100 && !match.hasMatch(); ++tries) {
        QTest::qWait(100);
        match = line.match(QString::fromUtf8(runClient(QStringLiteral("xwininfo"),
                                                       {QStringLiteral("-root"), QStringLiteral("-tree")})));
    }
    program.terminate();
    program.waitForFinished(5000);
    QVERIFY2(match.hasMatch(), "the main window never appeared");
    QVERIFY(match.captured(1).size() > QStringLiteral("Qt - Vexlor     ").size());
    // With Debian's default fonts the whole form fits the start size.
    QCOMPARE(match.captured(2).toInt(), 780);
    QCOMPARE(match.captured(3).toInt(), 500);
    QCOMPARE(match.captured(4).toInt(), 10);
    QCOMPARE(match.captured(5).toInt(), 10);
}

void TestX11Window::otherClientsFillClipboardPages()
{
    VexlorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *text = window.findChild<QTextEdit *>(QStringLiteral("clipTextView"));
    auto *picture = window.findChild<QLabel *>(QStringLiteral("clipPixmapLabel"));
    QVERIFY(text && picture);

    bool ok = false;
    runClient(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")},
              "collé par un autre client", &ok);
    QVERIFY(ok);
    QTRY_COMPARE_WITH_TIMEOUT(text->toPlainText(), QStringLiteral("collé par un autre client"), 10000);

    QImage sent(128, 64, QImage::Format_RGB32);
    sent.fill(Qt::white);
    sent.setPixel(3, 4, qRgb(0, 0, 0));
    const QString png = m_dir.filePath(QStringLiteral("sent.png"));
    QVERIFY(sent.save(png));
    runClient(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                        QStringLiteral("-t"), QStringLiteral("image/png"), png}, {}, &ok);
    QVERIFY(ok);
    QTRY_VERIFY_WITH_TIMEOUT(!picture->pixmap().isNull(), 10000);
    const QImage shown = picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, sent);
    QCOMPARE(text->toPlainText(), QStringLiteral("collé par un autre client")); // kept
}

void TestX11Window::programCopiesReachOtherClients()
{
    VexlorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *form = window.findChild<maindialogImpl *>();
    QVERIFY(form);

    QByteArray image(65536, '\0');
    image[0] = char(0x01);
    const QString bin = m_dir.filePath(QStringLiteral("one.bin"));
    QFile file(bin);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image.left(1024));
    file.close();
    form->loadBinFile(bin);

    form->menuCopyBin();
    bool ok = false;
    const QByteArray png = runClient(QStringLiteral("xclip"),
                                     {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                      QStringLiteral("-t"), QStringLiteral("image/png"), QStringLiteral("-o")},
                                     {}, &ok);
    QVERIFY(ok);
    const QImage received = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(received.size(), QSize(128, 64));
    QCOMPARE(received.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(received.pixel(1, 0), qRgb(255, 255, 255));

    form->BtnPICasm->click();
    form->exportCopieClick();
    const QByteArray text = runClient(QStringLiteral("xclip"),
                                      {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                       QStringLiteral("-o")}, {}, &ok);
    QVERIFY(ok);
    ExportFields fields;
    ExportText::preset(0, fields);
    const QString expected = ExportText::generate(fields, 16, true,
                                                  reinterpret_cast<const uchar *>(image.constData()));
    QCOMPARE(QString::fromUtf8(text), expected);
}

void TestX11Window::silentClipboardOwnerKeepsWindowAlive()
{
    VexlorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *text = window.findChild<QTextEdit *>(QStringLiteral("clipTextView"));
    QVERIFY(text);
    bool ok = false;
    runClient(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")},
              "avant", &ok);
    QVERIFY(ok);
    QTRY_COMPARE_WITH_TIMEOUT(text->toPlainText(), QStringLiteral("avant"), 10000);

    // An owner that takes the clipboard and then never answers: xclip,
    // stopped as soon as it owns the selection.
    QProcess owner;
    owner.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                          QStringLiteral("clipboard")});
    QVERIFY(owner.waitForStarted(5000));
    owner.write("jamais lu");
    QVERIFY(owner.waitForBytesWritten(5000));
    owner.closeWriteChannel();
    // Read by another client, which blocks without running our event loop:
    // the window reads nothing until the owner is stopped.
    QByteArray seen;
    for (int tries = 0; tries < 50 && seen != "jamais lu"; ++tries) {
        QProcess reader;
        reader.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                               QStringLiteral("-o")});
        if (reader.waitForFinished(5000))
            seen = reader.readAllStandardOutput();
        QThread::msleep(50);
    }
    QCOMPARE(seen, QByteArray("jamais lu"));
    QCOMPARE(::kill(pid_t(owner.processId()), SIGSTOP), 0);

    QElapsedTimer timer;
    timer.start();
    QCoreApplication::processEvents();
    window.clipboardChanged();
    const qint64 elapsed = timer.elapsed();
    ::kill(pid_t(owner.processId()), SIGCONT);
    owner.kill();
    owner.waitForFinished(5000);
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(text->toPlainText(), QStringLiteral("avant"));
}

void TestX11Window::halfAnsweringOwnerBounded_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("text");
    QTest::newRow("list of formats only") << QByteArray("targets") << "avant";
    QTest::newRow("text but no picture") << QByteArray("text") << "seul le texte";
    QTest::newRow("list after three seconds") << QByteArray("slow") << "avant";
}

void TestX11Window::halfAnsweringOwnerBounded()
{
    QFETCH(QByteArray, mode);
    QFETCH(QString, text);
    VexlorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *textView = window.findChild<QTextEdit *>(QStringLiteral("clipTextView"));
    auto *picture = window.findChild<QLabel *>(QStringLiteral("clipPixmapLabel"));
    QImage sent(128, 64, QImage::Format_RGB32);
    sent.fill(Qt::white);
    const QString png = m_dir.filePath(QStringLiteral("before.png"));
    QVERIFY(sent.save(png));
    bool ok = false;
    runClient(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                        QStringLiteral("-t"), QStringLiteral("image/png"), png}, {}, &ok);
    QVERIFY(ok);
    QTRY_VERIFY_WITH_TIMEOUT(!picture->pixmap().isNull(), 10000);
    runClient(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")},
              "avant", &ok);
    QVERIFY(ok);
    QTRY_COMPARE_WITH_TIMEOUT(textView->toPlainText(), QStringLiteral("avant"), 10000);

    HalfAnsweringOwner owner(mode);
    QVERIFY(owner.owns());
    QTest::qWait(100); // the read the toolkit's own notice of the change starts
    QElapsedTimer timer;
    timer.start();
    window.clipboardChanged();
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed < 1500, qPrintable(QString::number(elapsed)));
    QCOMPARE(textView->toPlainText(), text);
    QCOMPARE(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32), sent);
}

void TestX11Window::escapeKeepsForm_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("line edit") << "line edit";
    QTest::newRow("image list") << "image list";
    QTest::newRow("after a file dialog cancelled by Escape") << "file dialog";
}

void TestX11Window::escapeKeepsForm()
{
    QFETCH(QString, focus);
    VexlorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // No window manager hands out the focus under Xvfb.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *form = window.findChild<maindialogImpl *>();
    QVERIFY(form);

    if (focus == QLatin1String("line edit")) {
        form->TabBitmap->setCurrentIndex(3);
        form->LineComment->setFocus();
    } else if (focus == QLatin1String("image list")) {
        form->TabBitmap->setCurrentIndex(2);
        form->ListView1->setFocus();
    } else {
        // Escape still cancels the toolkit's own dialogs.
        ModalAnswerer escape([](QWidget *dialog) {
            QWidget *target = QApplication::focusWidget();
            QTest::keyClick(target && dialog->isAncestorOf(target) ? target : dialog, Qt::Key_Escape);
        });
        form->BtnLoadBmp->setFocus();
        form->BtnLoadBmp->click();
        QVERIFY(escape.answered());
        QCOMPARE(escape.className(), QStringLiteral("QFileDialog"));
        QCOMPARE(form->TxtBmp->text(), QStringLiteral("TxtBmp"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);
    QVERIFY(form->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QVERIFY(form->isVisible());
    QCOMPARE(window.findChild<QTabWidget *>(QStringLiteral("tabs"))->currentWidget(), form);
}

QTEST_MAIN(TestX11Window)
#include "e2e_window.moc"
