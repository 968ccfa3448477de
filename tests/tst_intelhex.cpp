#include "output/intelhex.h"

#include <QByteArray>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestIntelHex : public QObject
{
    Q_OBJECT

private slots:
    void workedRecords_data();
    void workedRecords();
    void fits_data();
    void fits();
    void readBackBySrecCat_data();
    void readBackBySrecCat();
};

// Checksums worked out by hand: the two's complement of the record's byte sum.
void TestIntelHex::workedRecords_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << QByteArray() << 0u << QByteArray(":00000001FF\n");
    QTest::newRow("two bytes at 0x10")
        << QByteArray("\x01\x02", 2) << 0x10u << QByteArray(":020010000102EB\n:00000001FF\n");
    QTest::newRow("17 bytes: a full record and one more")
        << QByteArray(17, '\0') << 0u
        << QByteArray(":1000000000000000000000000000000000000000F0\n:0100100000EF\n:00000001FF\n");
    QTest::newRow("above 64 KiB")
        << QByteArray("\xFF", 1) << 0x1FFFFu
        << QByteArray(":020000040001F9\n:01FFFF00FF02\n:00000001FF\n");
    QTest::newRow("across a 64 KiB boundary")
        << QByteArray("\xA0\xA1\xA2", 3) << 0xFFFFu
        << QByteArray(":01FFFF00A061\n:020000040001F9\n:02000000A1A2BB\n:00000001FF\n");
}

void TestIntelHex::workedRecords()
{
    QFETCH(QByteArray, data);
    QFETCH(quint32, address);
    QFETCH(QByteArray, expected);
    QCOMPARE(IntelHex::encode(data, address), expected);
}

void TestIntelHex::fits_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<quint64>("address");
    QTest::addColumn<bool>("fits");
    QTest::newRow("last 256 bytes") << qint64(256) << quint64(0xFFFFFF00u) << true;
    QTest::newRow("one byte past the end") << qint64(257) << quint64(0xFFFFFF00u) << false;
    QTest::newRow("address beyond 32 bits") << qint64(0) << quint64(0x100000000ull) << false;
}

void TestIntelHex::fits()
{
    QFETCH(qint64, size);
    QFETCH(quint64, address);
    QFETCH(bool, fits);
    QCOMPARE(IntelHex::fits(size, address), fits);
}

void TestIntelHex::readBackBySrecCat_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<quint32>("address");
    QTest::newRow("one image at 0") << 1024 << 0u;
    QTest::newRow("64 images: several segments") << 65536 + 3072 << 0u;
    QTest::newRow("unaligned across a segment") << 5000 << 0x2FFF5u;
    QTest::newRow("end of the address space") << 256 << 0xFFFFFF00u;
}

// Read back by an independent reader, which also checks every checksum.
void TestIntelHex::readBackBySrecCat()
{
    QFETCH(int, size);
    QFETCH(quint32, address);
    const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
    QVERIFY2(!srecCat.isEmpty(), "srec_cat missing: tools/setup.sh installs the package srecord");
    QByteArray data(size, '\0');
    QRandomGenerator generator(quint32(size) ^ address);
    for (char &byte : data)
        byte = char(generator.bounded(256));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile hex(dir.filePath(QStringLiteral("image.hex")));
    QVERIFY(hex.open(QIODevice::WriteOnly));
    QVERIFY(hex.write(IntelHex::encode(data, address)) > 0);
    hex.close();

    QProcess process;
    process.start(srecCat, {hex.fileName(), QStringLiteral("-intel"), QStringLiteral("-offset"),
                            QStringLiteral("-%1").arg(address), QStringLiteral("-o"),
                            dir.filePath(QStringLiteral("image.bin")), QStringLiteral("-binary")});
    QVERIFY(process.waitForFinished(30000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    QFile bin(dir.filePath(QStringLiteral("image.bin")));
    QVERIFY(bin.open(QIODevice::ReadOnly));
    QCOMPARE(bin.readAll(), data);
}

QTEST_GUILESS_MAIN(TestIntelHex)
#include "tst_intelhex.moc"
