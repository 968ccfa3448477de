#include "form/buttongroupbox.h"
#include "form/clicklistview.h"
#include "form/formpictures.h"
#include "form/maindialogbase.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLabel>
#include <QLCDNumber>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidgetItem>

#include <memory>

namespace {

// Counts the slot calls a bare form would only warn about.
class CountingForm : public mainDialogBase
{
public:
    int tabChanges = 0;
    int lastItemButton = -1;
    QTreeWidgetItem *lastItem = nullptr;
    int itemClicks = 0;

    void tabChanged() override { ++tabChanges; }
    void itemClick(int button, QTreeWidgetItem *item, const QPoint &, int) override
    {
        ++itemClicks;
        lastItemButton = button;
        lastItem = item;
    }
};

QWidget *child(QWidget *form, const char *name)
{
    auto *widget = form->findChild<QWidget *>(QLatin1String(name));
    if (!widget)
        qWarning("no widget named %s", name);
    return widget;
}

// The "Contenu Binaire" page on screen with three rows in its list.
void showListOfThree(mainDialogBase &form)
{
    form.TabBitmap->setCurrentIndex(2);
    for (int i = 0; i < 3; ++i)
        new QTreeWidgetItem(form.ListView1, {QString::number(i).rightJustified(2), QString()});
    form.show();
}

} // namespace

class TestMainDialogBase : public QObject
{
    Q_OBJECT

private slots:
    void objectName_data();
    void objectName();
    void initialState_data();
    void initialState();
    void membersMatchObjectNames();
    void fixedWidthsWhenWidened_data();
    void fixedWidthsWhenWidened();
    void groupIds_data();
    void groupIds();
    void defaultSlotWarns_data();
    void defaultSlotWarns();
    void slotOrder();
    void uncalledSlotsWarn_data();
    void uncalledSlotsWarn();
    void sliderDrivesLcd_data();
    void sliderDrivesLcd();
    void initialValues();
    void clickBelowLastRow();
    void clickOnRow();
    void listStaysSorted();
    void tabChangesCallSlotOnce();
    void pictures_data();
    void pictures();
};

void TestMainDialogBase::objectName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no name") << QByteArray() << QStringLiteral("VexlorDialogBase");
    QTest::newRow("named") << QByteArray("workForm") << QStringLiteral("workForm");
}

void TestMainDialogBase::objectName()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, expected);
    mainDialogBase form(nullptr, name.isNull() ? nullptr : name.constData());
    QCOMPARE(form.objectName(), expected);
    QVERIFY(!form.isModal());
    mainDialogBase modal(nullptr, name.isNull() ? nullptr : name.constData(), true);
    QVERIFY(modal.isModal());
}

void TestMainDialogBase::initialState_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("checked"); // -1: not a checkable button

    QTest::newRow("BtnLoadBmp") << QByteArray("BtnLoadBmp") << true << -1;
    QTest::newRow("btnSaveBin") << QByteArray("btnSaveBin") << false << -1;
    QTest::newRow("btnLoadBin") << QByteArray("btnLoadBin") << true << -1;
    QTest::newRow("btnSaveBmp") << QByteArray("btnSaveBmp") << false << -1;
    QTest::newRow("btnPrint") << QByteArray("btnPrint") << true << -1;
    QTest::newRow("BtnColor") << QByteArray("BtnColor") << true << -1;
    QTest::newRow("BtnPrevious") << QByteArray("BtnPrevious") << false << -1;
    QTest::newRow("BtnNext") << QByteArray("BtnNext") << false << -1;
    QTest::newRow("BtnExport") << QByteArray("BtnExport") << true << -1;
    QTest::newRow("BtnExportCopie") << QByteArray("BtnExportCopie") << true << -1;
    QTest::newRow("BtnLCD122_2") << QByteArray("BtnLCD122_2") << true << 0;
    QTest::newRow("BtnLCD128_2") << QByteArray("BtnLCD128_2") << true << 1;
    QTest::newRow("BtnLCD_other_2") << QByteArray("BtnLCD_other_2") << true << 0;
    QTest::newRow("BtnRow63") << QByteArray("BtnRow63") << true << 1;
    QTest::newRow("BtnRow127") << QByteArray("BtnRow127") << true << 0;
    QTest::newRow("BtnPICasm") << QByteArray("BtnPICasm") << true << 0;
    QTest::newRow("BtnPICc") << QByteArray("BtnPICc") << true << 1;
    QTest::newRow("BtnPerso") << QByteArray("BtnPerso") << true << 0;
}

void TestMainDialogBase::initialState()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, enabled);
    QFETCH(int, checked);
    mainDialogBase form;
    QWidget *widget = child(&form, name.constData());
    QVERIFY(widget);
    QCOMPARE(widget->isEnabled(), enabled);
    if (checked >= 0) {
        auto *button = qobject_cast<QAbstractButton *>(widget);
        QVERIFY(button);
        QCOMPARE(button->isChecked(), checked == 1);
    }
}

void TestMainDialogBase::membersMatchObjectNames()
{
    mainDialogBase form;
    const auto same = [](const QObject *member, const char *name) {
        return member && member->objectName() == QLatin1String(name);
    };
    QVERIFY(same(form.GroupBox1, "GroupBox1") && same(form.GroupBox3, "GroupBox3"));
    QVERIFY(same(form.BtnGrpOptionLCD, "BtnGrpOptionLCD"));
    QVERIFY(same(form.BtnGrpOptionRow, "BtnGrpOptionRow"));
    QVERIFY(same(form.ButtonGroup1, "ButtonGroup1") && same(form.GroupBox2, "GroupBox2"));
    QVERIFY(same(form.TabBitmap, "TabBitmap") && same(form.tab, "tab"));
    QVERIFY(same(form.tab_2, "tab_2") && same(form.tab_3, "tab_3") && same(form.tab_4, "tab_4"));
    QVERIFY(same(form.PixmapBmp, "PixmapBmp") && same(form.PixmapBin, "PixmapBin"));
    QVERIFY(same(form.PixmapBinMini, "PixmapBinMini"));
    QVERIFY(same(form.PixmapBinMini2, "PixmapBinMini2"));
    QVERIFY(same(form.TxtBmp, "TxtBmp") && same(form.TxtBin, "TxtBin"));
    QVERIFY(same(form.LCDmax, "LCDmax") && same(form.LCDindex, "LCDindex"));
    QVERIFY(same(form.LCDNumber3, "LCDNumber3") && same(form.Slider1, "Slider1"));
    QVERIFY(same(form.ListView1, "ListView1") && same(form.TextView1, "TextView1"));
    QVERIFY(same(form.LineDebutTab, "LineDebutTab") && same(form.LineEdit8_2, "LineEdit8_2"));
    QCOMPARE(form.TabBitmap->count(), 4);
    QCOMPARE(form.TabBitmap->currentIndex(), 0);
    QCOMPARE(form.TabBitmap->widget(2), form.tab_3);
    QCOMPARE(form.TabBitmap->tabText(3), QStringLiteral("Export ASCII"));
}

void TestMainDialogBase::fixedWidthsWhenWidened_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("maxWidth"); // 0: grows with the form

    QTest::newRow("options panel") << QByteArray("GroupBox3") << 0 << 150;
    QTest::newRow("image list") << QByteArray("ListView1") << 2 << 140;
    QTest::newRow("LineComment") << QByteArray("LineComment") << 3 << 100;
    QTest::newRow("LineFinTab") << QByteArray("LineFinTab") << 3 << 100;
    QTest::newRow("LineDebutLigne") << QByteArray("LineDebutLigne") << 3 << 100;
    QTest::newRow("LineDebutHexa") << QByteArray("LineDebutHexa") << 3 << 100;
    QTest::newRow("LineSeparateur") << QByteArray("LineSeparateur") << 3 << 100;
    QTest::newRow("LineDebutTab") << QByteArray("LineDebutTab") << 3 << 0;
}

void TestMainDialogBase::fixedWidthsWhenWidened()
{
    QFETCH(QByteArray, name);
    QFETCH(int, page);
    QFETCH(int, maxWidth);
    CountingForm form;
    form.TabBitmap->setCurrentIndex(page);
    form.resize(2400, 900);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *widget = child(&form, name.constData());
    QVERIFY(widget);
    QTRY_VERIFY(widget->width() > 0);
    if (maxWidth > 0) {
        QVERIFY2(widget->width() <= maxWidth, QByteArray::number(widget->width()));
    } else {
        QVERIFY2(widget->width() > 300, QByteArray::number(widget->width()));
    }
    if (name == "ListView1")
        QCOMPARE(widget->width(), 140);
}

void TestMainDialogBase::groupIds_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("id");

    QTest::newRow("Row127") << QByteArray("BtnGrpOptionRow") << QByteArray("BtnRow127") << 0 << 1;
    QTest::newRow("Row63") << QByteArray("BtnGrpOptionRow") << QByteArray("BtnRow63") << 0 << 0;
    QTest::newRow("Perso") << QByteArray("ButtonGroup1") << QByteArray("BtnPerso") << 3 << 2;
    QTest::newRow("PICasm") << QByteArray("ButtonGroup1") << QByteArray("BtnPICasm") << 3 << 0;
    QTest::newRow("LCD122") << QByteArray("BtnGrpOptionLCD") << QByteArray("BtnLCD122_2") << 0 << 0;
    QTest::newRow("LCDother") << QByteArray("BtnGrpOptionLCD") << QByteArray("BtnLCD_other_2") << 0 << 2;
}

void TestMainDialogBase::groupIds()
{
    QFETCH(QByteArray, group);
    QFETCH(QByteArray, button);
    QFETCH(int, page);
    QFETCH(int, id);
    CountingForm form;
    form.TabBitmap->setCurrentIndex(page);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *box = form.findChild<ButtonGroupBox *>(QLatin1String(group));
    auto *radio = form.findChild<QRadioButton *>(QLatin1String(button));
    QVERIFY(box && radio);
    QSignalSpy spy(box, &ButtonGroupBox::clicked);
    // The bare slot behind each group warns; the ids are what matters here.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Not implemented yet!$"));
    QTest::mouseClick(radio, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), id);
    QVERIFY(radio->isChecked());
    QCOMPARE(box->group()->checkedButton(), radio);
}

void TestMainDialogBase::defaultSlotWarns_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("page");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("BtnLoadBmp") << QByteArray("BtnLoadBmp") << 0
                                << QByteArray("mainDialogBase::loadBmpClick(): Not implemented yet!");
    QTest::newRow("btnSaveBin") << QByteArray("btnSaveBin") << 0
                                << QByteArray("mainDialogBase::saveBinClick(): Not implemented yet!");
    QTest::newRow("btnLoadBin") << QByteArray("btnLoadBin") << 0
                                << QByteArray("mainDialogBase::loadBinClick(): Not implemented yet!");
    QTest::newRow("btnSaveBmp") << QByteArray("btnSaveBmp") << 0
                                << QByteArray("mainDialogBase::saveBmpClick(): Not implemented yet!");
    QTest::newRow("btnPrint") << QByteArray("btnPrint") << 0
                              << QByteArray("mainDialogBase::printClick(): Not implemented yet!");
    QTest::newRow("BtnLCD_other_2") << QByteArray("BtnLCD_other_2") << 0
                                    << QByteArray("mainDialogBase::optionLcdChanged(int): Not implemented yet!");
    QTest::newRow("BtnRow127") << QByteArray("BtnRow127") << 0
                               << QByteArray("mainDialogBase::optionRowChanged(int): Not implemented yet!");
    QTest::newRow("BtnColor") << QByteArray("BtnColor") << 1
                              << QByteArray("mainDialogBase::colorClick(): Not implemented yet!");
    QTest::newRow("BtnPrevious") << QByteArray("BtnPrevious") << 1
                                 << QByteArray("mainDialogBase::previousClick(): Not implemented yet!");
    QTest::newRow("BtnNext") << QByteArray("BtnNext") << 1
                             << QByteArray("mainDialogBase::nextClick(): Not implemented yet!");
    QTest::newRow("ListView1") << QByteArray("ListView1") << 2
                               << QByteArray("mainDialogBase::itemClick(int,QListViewItem*,const QPoint&,int): Not implemented yet!");
    QTest::newRow("BtnPerso") << QByteArray("BtnPerso") << 3
                              << QByteArray("mainDialogBase::exportChanged(int): Not implemented yet!");
    QTest::newRow("BtnExport") << QByteArray("BtnExport") << 3
                               << QByteArray("mainDialogBase::exportClick(): Not implemented yet!");
    QTest::newRow("BtnExportCopie") << QByteArray("BtnExportCopie") << 3
                                    << QByteArray("mainDialogBase::exportCopieClick(): Not implemented yet!");
}

void TestMainDialogBase::defaultSlotWarns()
{
    QFETCH(QByteArray, button);
    QFETCH(int, page);
    QFETCH(QByteArray, line);
    mainDialogBase form;
    // The turn to the page warns too; only then is the widget visible.
    if (page != 0)
        QTest::ignoreMessage(QtWarningMsg, "mainDialogBase::tabChanged(): Not implemented yet!");
    form.TabBitmap->setCurrentIndex(page);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *widget = child(&form, button.constData());
    QVERIFY(widget);
    // Disabled buttons stay reachable from the menus; enable to click.
    widget->setEnabled(true);
    QWidget *target = widget;
    if (auto *list = qobject_cast<QTreeWidget *>(widget))
        target = list->viewport();
    // Exactly the one line: a second connection would repeat it.
    QTest::ignoreMessage(QtWarningMsg, line.constData());
    QTest::failOnWarning(QRegularExpression("Not implemented"));
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, target->height() / 2));
    QCoreApplication::processEvents();
}

void TestMainDialogBase::slotOrder()
{
    const QMetaObject &meta = mainDialogBase::staticMetaObject;
    QStringList declared;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Public)
            declared << QString::fromLatin1(method.methodSignature());
    }
    const QStringList expected = {
        "colorClick()", "exportChanged(int)", "exportClick()", "exportCopieClick()",
        "itemClick(int,QTreeWidgetItem*,QPoint,int)", "loadBinClick()", "loadBmpClick()",
        "menuAboutMe()", "menuAboutQt()", "menuCopyBin()", "menuCopyBmp()", "printClick()",
        "nextClick()", "optionLcdChanged(int)", "optionMenuChanged()", "optionRowChanged(int)",
        "previousClick()", "saveBinClick()", "saveBmpClick()", "styleCDE()", "styleMotif()",
        "styleMotifPlus()", "stylePlatinum()", "styleWindows()", "tabChanged()"};
    QCOMPARE(declared, expected);
}

void TestMainDialogBase::uncalledSlotsWarn_data()
{
    QTest::addColumn<QByteArray>("slot");
    for (const char *slot : {"menuAboutMe", "menuAboutQt", "menuCopyBin", "menuCopyBmp",
                             "optionMenuChanged", "styleCDE", "styleMotif", "styleMotifPlus",
                             "stylePlatinum", "styleWindows"})
        QTest::newRow(slot) << QByteArray(slot);
}

void TestMainDialogBase::uncalledSlotsWarn()
{
    QFETCH(QByteArray, slot);
    mainDialogBase form;
    const QByteArray line = "mainDialogBase::" + slot + "(): Not implemented yet!";
    QTest::ignoreMessage(QtWarningMsg, line.constData());
    QVERIFY(QMetaObject::invokeMethod(&form, slot.constData()));
}

void TestMainDialogBase::sliderDrivesLcd_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("expected");

    QTest::newRow("arrow right") << int(Qt::Key_Right) << 1 << 17;
    QTest::newRow("arrow left") << int(Qt::Key_Left) << 2 << 14;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << 1 << 24;
    QTest::newRow("page down twice") << int(Qt::Key_PageDown) << 2 << 1;
    QTest::newRow("end") << int(Qt::Key_End) << 1 << 96;
    QTest::newRow("home") << int(Qt::Key_Home) << 1 << 1;
}

void TestMainDialogBase::sliderDrivesLcd()
{
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(int, expected);
    mainDialogBase form;
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(form.Slider1, Qt::Key(key));
    QCOMPARE(form.Slider1->value(), expected);
    QCOMPARE(form.LCDNumber3->intValue(), expected);
}

void TestMainDialogBase::initialValues()
{
    mainDialogBase form;
    QCOMPARE(form.Slider1->value(), 16);
    QCOMPARE(form.LCDNumber3->intValue(), 16);
    QCOMPARE(form.LCDmax->intValue(), 0);
    QCOMPARE(form.LCDindex->intValue(), 0);
    QCOMPARE(form.LineDebutTab->text(), QStringLiteral("const unsigned char image[1024] = {"));
    QCOMPARE(form.TxtBmp->text(), QStringLiteral("TxtBmp"));
    QCOMPARE(form.TxtBin->text(), QStringLiteral("TxtBin"));
    QCOMPARE(form.ListView1->topLevelItemCount(), 0);
    QCOMPARE(form.ListView1->headerItem()->text(1), QStringLiteral("Description"));
    QVERIFY(form.TextView1->toPlainText().isEmpty());
    QVERIFY(form.TextView1->isReadOnly());
    QCOMPARE(form.BtnColor->palette().color(QPalette::Active, QPalette::Button), QColor(Qt::white));
    QCOMPARE(form.BtnColor->palette().color(QPalette::Disabled, QPalette::ButtonText),
             QColor(128, 128, 128));
    QCOMPARE(form.size(), QSize(770, 587));
    QVERIFY(form.isSizeGripEnabled());
}

void TestMainDialogBase::clickBelowLastRow()
{
    CountingForm form;
    showListOfThree(form);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy spy(form.ListView1, &ClickListView::mouseButtonClicked);
    QWidget *viewport = form.ListView1->viewport();
    const QPoint below(viewport->width() / 2, viewport->height() - 4);
    QVERIFY(!form.ListView1->itemAt(below));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, below);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(Qt::LeftButton));
    QCOMPARE(form.itemClicks, 1);
    QCOMPARE(form.lastItem, nullptr);
    QCOMPARE(form.lastItemButton, int(Qt::LeftButton));

    QTest::mouseClick(viewport, Qt::RightButton, {}, below);
    QCOMPARE(form.itemClicks, 2);
    QCOMPARE(form.lastItemButton, int(Qt::RightButton));
}

void TestMainDialogBase::clickOnRow()
{
    CountingForm form;
    showListOfThree(form);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTreeWidgetItem *second = form.ListView1->topLevelItem(1);
    const QRect rect = form.ListView1->visualItemRect(second);
    QTest::mouseClick(form.ListView1->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(form.itemClicks, 1);
    QCOMPARE(form.lastItem, second);
}

void TestMainDialogBase::listStaysSorted()
{
    mainDialogBase form;
    for (int i : {12, 3, 0, 63, 9, 10})
        new QTreeWidgetItem(form.ListView1, {QString::number(i).rightJustified(2), QString()});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // A click on the header must not reverse the order.
    QHeaderView *header = form.ListView1->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionPosition(0) + 5, header->height() / 2));
    QStringList order;
    for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i)
        order << form.ListView1->topLevelItem(i)->text(0);
    QCOMPARE(order, QStringList({" 0", " 3", " 9", "10", "12", "63"}));
}

void TestMainDialogBase::tabChangesCallSlotOnce()
{
    CountingForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.tabChanges, 0);
    form.TabBitmap->setCurrentIndex(2);
    QCOMPARE(form.tabChanges, 1);
    form.TabBitmap->setCurrentIndex(2);
    QCOMPARE(form.tabChanges, 1);

    QTabBar *bar = form.TabBitmap->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
    QCOMPARE(form.TabBitmap->currentIndex(), 3);
    QCOMPARE(form.tabChanges, 2);

    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(form.TabBitmap->currentIndex(), 2);
    QCOMPARE(form.tabChanges, 3);
    QTest::keyClick(form.TabBitmap, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(form.TabBitmap->currentIndex(), 3);
    QCOMPARE(form.tabChanges, 4);
}

void TestMainDialogBase::pictures_data()
{
    QTest::addColumn<int>("picture");
    QTest::addColumn<QByteArray>("header");

    QTest::newRow("window icon") << int(FormPictures::Picture::WindowIcon) << QByteArray("32 32 59 1");
    QTest::newRow("Row63") << int(FormPictures::Picture::Row63) << QByteArray("50 35 100 2");
    QTest::newRow("Row127") << int(FormPictures::Picture::Row127) << QByteArray("50 35 65 2");
    QTest::newRow("placeholder") << int(FormPictures::Picture::Placeholder)
                                 << QByteArray("100 100 271 2");
}

void TestMainDialogBase::pictures()
{
    QFETCH(int, picture);
    QFETCH(QByteArray, header);
    const auto which = FormPictures::Picture(picture);
    const char *const *data = FormPictures::xpm(which);
    QCOMPARE(QByteArray(data[0]), header);

    const QList<QByteArray> fields = header.split(' ');
    const int width = fields[0].toInt();
    const int height = fields[1].toInt();
    const int colours = fields[2].toInt();
    const int cpp = fields[3].toInt();

    // Every declared colour is distinct, opaque and used.
    QSet<QByteArray> codes;
    QSet<QByteArray> values;
    for (int i = 1; i <= colours; ++i) {
        const QByteArray line(data[i]);
        codes.insert(line.left(cpp));
        const QByteArray value = line.mid(cpp).trimmed();
        QVERIFY2(!value.contains("None"), line);
        values.insert(value);
    }
    QCOMPARE(codes.size(), colours);
    QCOMPARE(values.size(), colours);
    QSet<QByteArray> used;
    for (int y = 0; y < height; ++y) {
        const QByteArray row(data[1 + colours + y]);
        QCOMPARE(row.size(), width * cpp);
        for (int x = 0; x < width; ++x)
            used.insert(row.mid(x * cpp, cpp));
    }
    QCOMPARE(used, codes);

    const QPixmap pixmap = FormPictures::pixmap(which);
    QCOMPARE(pixmap.size(), QSize(width, height));
    QVERIFY(!pixmap.hasAlphaChannel());
}

QTEST_MAIN(TestMainDialogBase)
#include "tst_maindialogbase.moc"
