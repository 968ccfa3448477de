// Runs under a real X server (Xvfb) with the xcb platform, next to a real
// clipboard peer (xclip), so what the offscreen platform only simulates is
// proven against X itself.
#include "app/vexlorwindow.h"
#include "core/maindialogimpl.h"
#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLCDNumber>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <csignal>
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

QTEST_MAIN(TestX11Window)
#include "e2e_window.moc"
