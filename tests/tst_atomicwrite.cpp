#include "core/binfile.h"
#include "core/outputfile.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>


namespace {

using FileAccess::Streams;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace

class TestAtomicWrite : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void replacesWholeFile();
    void shortWriteKeepsOldFile_data();
    void shortWriteKeepsOldFile();
    void unwritablePlace();
    void binFileLengths_data();
    void binFileLengths();
    void binFileMissing();

private:
    QTemporaryDir m_dir;
};

void TestAtomicWrite::replacesWholeFile()
{
    const QString path = m_dir.filePath(QStringLiteral("a.bin"));
    put(path, QByteArray(5000, 'o'));
    QVERIFY(OutputFile::write(path, QByteArray(1024, 'n'), Streams::Refused) == OutputFile::Status::Ok);
    QCOMPARE(contents(path), QByteArray(1024, 'n'));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.bin")});
}

void TestAtomicWrite::shortWriteKeepsOldFile_data()
{
    QTest::addColumn<bool>("existed");
    QTest::newRow("replacing a file") << true;
    QTest::newRow("new file") << false;
}

void TestAtomicWrite::shortWriteKeepsOldFile()
{
    // Under a file-size limit the first write is cut short; a buffered
    // QSaveFile reported that as success and left a truncated file.
    QFETCH(bool, existed);
    const QString path = m_dir.filePath(QStringLiteral("limited.bin"));
    QFile::remove(path);
    if (existed)
        put(path, "previous");
    bool written = true;
    {
        FileSizeLimit limit(512);
        QVERIFY(limit.active());
        written = OutputFile::write(path, QByteArray(1024, 'x'), Streams::Refused) == OutputFile::Status::Ok;
    }

    QVERIFY(!written);
    QCOMPARE(contents(path), existed ? QByteArray("previous") : QByteArray("<missing>"));
    // No temporary file is left behind either.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("limited*")}, QDir::Files).size(),
             existed ? 1 : 0);
}

void TestAtomicWrite::unwritablePlace()
{
    QCOMPARE(OutputFile::write(m_dir.filePath(QStringLiteral("no/such/dir/x.bin")), "x", Streams::Refused),
             OutputFile::Status::Failed);
    QCOMPARE(OutputFile::write(m_dir.path(), "x", Streams::Allowed), OutputFile::Status::NotAFile);
}

void TestAtomicWrite::binFileLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<FileAccess::Status>("status");
    QTest::newRow("0") << 0 << FileAccess::Status::Ok;
    QTest::newRow("1024") << 1024 << FileAccess::Status::Ok;
    QTest::newRow("65536") << 65536 << FileAccess::Status::Ok;
    QTest::newRow("1000") << 1000 << FileAccess::Status::BadLength;
    QTest::newRow("65537") << 65537 << FileAccess::Status::BadLength;
    QTest::newRow("66560") << 66560 << FileAccess::Status::BadLength;
}

void TestAtomicWrite::binFileLengths()
{
    QFETCH(int, length);
    QFETCH(FileAccess::Status, status);
    const QString path = m_dir.filePath(QStringLiteral("len.bin"));
    put(path, QByteArray(length, 'z'));
    QByteArray out("untouched");
    QCOMPARE(BinFile::read(path, Streams::Refused, out), status);
    QCOMPARE(out, status == FileAccess::Status::Ok ? QByteArray(length, 'z') : QByteArray("untouched"));
}

void TestAtomicWrite::binFileMissing()
{
    QByteArray out("untouched");
    QCOMPARE(BinFile::read(m_dir.filePath(QStringLiteral("gone.bin")), Streams::Refused, out), FileAccess::Status::Missing);
    QCOMPARE(BinFile::read(m_dir.path(), Streams::Allowed, out), FileAccess::Status::NotAFile);
    QCOMPARE(out, QByteArray("untouched"));
}

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
