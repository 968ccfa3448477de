#include "output/printlayout.h"

#include <QTransform>
#include <QtTest>

class TestPrintLayout : public QObject
{
    Q_OBJECT

private slots:
    void pageCount_data();
    void pageCount();
    void slotPlacement_data();
    void slotPlacement();
    void newPageOnlyBeforeAnotherImage();
    void transform_data();
    void transform();
    void sheetSizeIndependentOfResolution_data();
    void sheetSizeIndependentOfResolution();
};

void TestPrintLayout::pageCount_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("pages");
    QTest::newRow("none") << 0 << 1;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("20") << 20 << 1;
    QTest::newRow("21 full page") << 21 << 1;
    QTest::newRow("22") << 22 << 2;
    QTest::newRow("42") << 42 << 2;
    QTest::newRow("43") << 43 << 3;
    QTest::newRow("63") << 63 << 3;
    QTest::newRow("64 store maximum") << 64 << 4;
}

void TestPrintLayout::pageCount()
{
    QFETCH(int, images);
    QFETCH(int, pages);
    QCOMPARE(PrintLayout::pageCount(images), pages);
}

void TestPrintLayout::slotPlacement_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<QRectF>("frame");
    QTest::newRow("0") << 0 << 1 << 0 << 0 << QPointF(0, 0) << QRectF(-1, -1, 130, 66);
    QTest::newRow("1") << 1 << 1 << 1 << 0 << QPointF(140, 0) << QRectF(139, -1, 130, 66);
    QTest::newRow("2") << 2 << 1 << 2 << 0 << QPointF(280, 0) << QRectF(279, -1, 130, 66);
    QTest::newRow("3") << 3 << 1 << 0 << 1 << QPointF(0, 80) << QRectF(-1, 79, 130, 66);
    QTest::newRow("13") << 13 << 1 << 1 << 4 << QPointF(140, 320) << QRectF(139, 319, 130, 66);
    QTest::newRow("20 last of page") << 20 << 1 << 2 << 6 << QPointF(280, 480)
                                     << QRectF(279, 479, 130, 66);
    QTest::newRow("21") << 21 << 2 << 0 << 0 << QPointF(0, 0) << QRectF(-1, -1, 130, 66);
    QTest::newRow("22") << 22 << 2 << 1 << 0 << QPointF(140, 0) << QRectF(139, -1, 130, 66);
    QTest::newRow("62") << 62 << 3 << 2 << 6 << QPointF(280, 480) << QRectF(279, 479, 130, 66);
    QTest::newRow("63") << 63 << 4 << 0 << 0 << QPointF(0, 0) << QRectF(-1, -1, 130, 66);
}

void TestPrintLayout::slotPlacement()
{
    QFETCH(int, index);
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QPointF, pos);
    QFETCH(QRectF, frame);
    const PrintLayout::Slot slot = PrintLayout::slotFor(index);
    QCOMPARE(slot.page, page);
    QCOMPARE(slot.column, column);
    QCOMPARE(slot.row, row);
    QCOMPARE(slot.pos, pos);
    QCOMPARE(slot.frame, frame);
}

void TestPrintLayout::newPageOnlyBeforeAnotherImage()
{
    for (int images = 0; images <= 64; ++images) {
        int pages = 1;
        for (int k = 0; k < images; ++k) {
            if (PrintLayout::startsNewPage(k))
                ++pages;
            QCOMPARE(PrintLayout::slotFor(k).page, pages);
        }
        QCOMPARE(pages, PrintLayout::pageCount(images));
    }
}

void TestPrintLayout::transform_data()
{
    QTest::addColumn<int>("resolution");
    QTest::addColumn<QPointF>("unit");
    QTest::addColumn<QPointF>("device");
    QTest::newRow("600 origin") << 600 << QPointF(0, 0) << QPointF(250, 350);
    QTest::newRow("600 frame corner") << 600 << QPointF(-1, -1) << QPointF(240, 340);
    QTest::newRow("600 page line") << 600 << QPointF(0, 625) << QPointF(250, 6600);
    QTest::newRow("600 last image end") << 600 << QPointF(408, 544) << QPointF(4330, 5790);
    QTest::newRow("1200 origin") << 1200 << QPointF(0, 0) << QPointF(500, 700);
    QTest::newRow("300 image 1") << 300 << QPointF(140, 0) << QPointF(825, 175);
    QTest::newRow("96 origin") << 96 << QPointF(0, 0) << QPointF(40, 56);
    QTest::newRow("96 header") << 96 << QPointF(0, -15) << QPointF(40, 32);
}

void TestPrintLayout::transform()
{
    QFETCH(int, resolution);
    QFETCH(QPointF, unit);
    QFETCH(QPointF, device);
    const QPointF mapped = PrintLayout::pageTransform(resolution).map(unit);
    QCOMPARE(mapped.x(), device.x());
    QCOMPARE(mapped.y(), device.y());
}

void TestPrintLayout::sheetSizeIndependentOfResolution_data()
{
    QTest::addColumn<int>("resolution");
    for (int dpi : {72, 96, 150, 300, 600, 1200})
        QTest::newRow(qPrintable(QString::number(dpi))) << dpi;
}

void TestPrintLayout::sheetSizeIndependentOfResolution()
{
    QFETCH(int, resolution);
    const QTransform t = PrintLayout::pageTransform(resolution);

    QRectF block;
    for (int k = 0; k < PrintLayout::ImagesPerPage; ++k)
        block |= PrintLayout::slotFor(k).frame;
    const QRectF inches = t.mapRect(block);
    const qreal dpi = resolution;
    QCOMPARE(inches.left() / dpi, 240.0 / 600);
    QCOMPARE(inches.top() / dpi, 340.0 / 600);
    QCOMPARE(inches.width() / dpi, 4100.0 / 600);  // about 6.8 in
    QCOMPARE(inches.height() / dpi, 5460.0 / 600); // about 9.1 in
    // Fits Letter (8.5 x 11 in), the smaller of Letter and A4, with half-inch margins.
    QVERIFY(inches.right() / dpi + 0.5 <= 8.5);
    QVERIFY(inches.bottom() / dpi + 0.5 <= 11.0);

    // Text drawn at the nominal size comes out 10 points high on paper.
    const qreal devicePixels = PrintLayout::fontPointSize(resolution) * dpi / 72 * t.m11();
    QCOMPARE(devicePixels / dpi * 72, 10.0);
}

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
