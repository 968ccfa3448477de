#include "core/maindialogimpl.h"

#include "core/binfile.h"
#include "core/binimage.h"
#include "core/outputfile.h"
#include "core/picturefile.h"
#include "form/clicklistview.h"
#include "form/fixedfont.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLCDNumber>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>

#include <cstring>
#include <iterator>

namespace {
constexpr int StatusMs = 3000;
constexpr FileAccess::Streams Window = FileAccess::Streams::Refused;
}

maindialogImpl::maindialogImpl(QWidget *parent, const char *name, bool modal, Qt::WindowFlags flags)
    : mainDialogBase(parent, name, modal, flags)
{
    bgColor = QColor(255, 255, 255);
    // The whole store, not only what a first file could reach: no image may
    // ever show indeterminate bytes.
    std::memset(binData, 0, sizeof binData);
    clipboard = QGuiApplication::clipboard();
    BtnLCD122_2->setEnabled(false);
    BtnLCD_other_2->setEnabled(false);
    connect(ListView1, &ClickListView::keyboardMoved, this,
            [this](QTreeWidgetItem *item) { showListRow(ListView1->indexOfTopLevelItem(item)); });
    // The buttons follow the page shown from the start, not only from the
    // first change of page.
    tabChanged();
}

maindialogImpl::~maindialogImpl()
{
    delete printer;
}

void maindialogImpl::keyPressEvent(QKeyEvent *event)
{
    // Left to the window around the page, which has no use for it either.
    if (!isWindow() && event->matches(QKeySequence::Cancel)) {
        event->ignore();
        return;
    }
    mainDialogBase::keyPressEvent(event);
}

void maindialogImpl::attachStatusBar(QStatusBar *bar)
{
    statusBar = bar;
}

void maindialogImpl::showStatus(const QString &text)
{
    if (statusBar)
        statusBar->showMessage(text, StatusMs);
}

void maindialogImpl::warn(const QString &text)
{
    QMessageBox::warning(this, tr("Erreur"), text);
}

bool maindialogImpl::writeFile(const QString &fileName, const QByteArray &data)
{
    const OutputFile::Status status = OutputFile::write(fileName, data, Window);
    if (status == OutputFile::Status::Ok)
        return true;
    warn(writeMessage(status));
    return false;
}

QString maindialogImpl::askSaveFileName(const QString &filter)
{
    // The program asks its own overwrite question, after the dialog.
    return QFileDialog::getSaveFileName(this, QString(), QStringLiteral("."), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

int maindialogImpl::currentIndex() const
{
    return LCDindex->intValue();
}

BinImage::RowOrganisation maindialogImpl::organisation() const
{
    return BtnRow63->isChecked() ? BinImage::RowOrganisation::Row63
                                 : BinImage::RowOrganisation::Row127;
}

void maindialogImpl::binToPixmap(int k, QPixmap &out)
{
    const BinaryImage image = BinaryImage::fromRawData(binData + BinImage::ImageBytes * k,
                                                       BinImage::layout(organisation()));
    out = QPixmap::fromImage(BinImage::toPicture(image, bgColor.rgb()));
}

void maindialogImpl::displayBin(int k)
{
    QPixmap pixmap;
    binToPixmap(k, pixmap);
    PixmapBin->setPixmap(pixmap);
    PixmapBinMini->setPixmap(pixmap);
    PixmapBinMini2->setPixmap(pixmap);
    LCDindex->display(k);
}

void maindialogImpl::displayHex(int k)
{
    TextView1->setFont(fixedWidthFont());
    TextView1->setPlainText(BinImage::hexText(binData + BinImage::ImageBytes * k));
}

void maindialogImpl::optionRowChanged(int id)
{
    displayBin(currentIndex());
    showStatus(tr("option Row %1").arg(id));
}

void maindialogImpl::optionLcdChanged(int id)
{
    showStatus(tr("option LCD %1").arg(id));
}

void maindialogImpl::optionMenuChanged()
{
    showStatus(tr("optionMenu %1").arg(1));
}

bool maindialogImpl::confirmOverwrite(const QString &fileName)
{
    if (!QFile::exists(fileName))
        return false;
    QMessageBox box(QMessageBox::NoIcon, tr("Enregister Binaire sous"),
                    tr("%1 existe déjà\nVoulez-vous le remplacer ?").arg(fileName));
    // One role for all three keeps them in this order on every platform.
    QPushButton *yes = box.addButton(tr("Oui"), QMessageBox::ActionRole);
    box.addButton(tr("Non"), QMessageBox::ActionRole);
    QPushButton *cancel = box.addButton(tr("Annuler"), QMessageBox::ActionRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() != yes;
}

void maindialogImpl::loadBmpClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QStringLiteral("."),
                                                          tr("Images (*.bmp *.png)"));
    if (!fileName.isEmpty())
        loadBmpFile(fileName);
}

void maindialogImpl::loadBmpFile(const QString &fileName)
{
    QImage picture;
    const FileAccess::Status status = PictureFile::read(fileName, Window, false, picture);
    if (status != FileAccess::Status::Ok) {
        warn(pictureMessage(status));
        return;
    }
    loadedPicture = picture;
    PixmapBmp->setPixmap(QPixmap::fromImage(picture));
    TxtBmp->setText(fileName);
    showTab(BitmapTab);
    showStatus(tr("Bitmap : %1 chargé").arg(fileName));
}

void maindialogImpl::saveBinClick()
{
    const QString fileName = askSaveFileName(tr("Binaire (*.bin)"));
    if (fileName.isEmpty() || confirmOverwrite(fileName))
        return;
    const QImage picture = loadedPicture.isNull() ? PixmapBmp->pixmap().toImage() : loadedPicture;
    if (!writeFile(fileName, BinImage::fromPicture(picture, organisation())))
        return;
    showTab(BitmapTab);
    showStatus(tr("Binaire : %1 sauvé").arg(fileName));
}

void maindialogImpl::loadBinClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QStringLiteral("."),
                                                          tr("Binaire (*.bin)"));
    if (!fileName.isEmpty())
        loadBinFile(fileName);
}

void maindialogImpl::loadBinFile(const QString &fileName)
{
    QByteArray contents;
    const FileAccess::Status status = BinFile::read(fileName, Window, contents);
    if (status != FileAccess::Status::Ok) {
        warn(binaryMessage(status));
        return;
    }
    nbImages = int(contents.size() / BinImage::ImageBytes);
    LCDmax->display(nbImages);
    std::memcpy(binData, contents.constData(), size_t(contents.size()));

    ListView1->clear();
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < nbImages; ++i)
        rows << new QTreeWidgetItem(
            QStringList{BinImage::listRowNumber(i), BinImage::listRowDescription(i)});
    ListView1->addTopLevelItems(rows);

    displayHex(0);
    TxtBin->setText(fileName);
    displayBin(0);
    showTab(BinaireTab);
    const bool several = nbImages != 1;
    BtnPrevious->setEnabled(several);
    BtnNext->setEnabled(several);
    showStatus(tr("Binaire : %1 chargé").arg(fileName));
}

void maindialogImpl::nextClick()
{
    const int index = currentIndex();
    if (index >= nbImages - 1)
        return;
    displayBin(index + 1);
    ListView1->clearSelection();
    displayHex(currentIndex());
    markListRow(currentIndex(), false);
}

void maindialogImpl::previousClick()
{
    const int index = currentIndex();
    if (index <= 0)
        return;
    displayBin(index - 1);
    ListView1->clearSelection();
    displayHex(currentIndex());
    markListRow(currentIndex(), false);
}

void maindialogImpl::itemClick(int button, QTreeWidgetItem *item, const QPoint &, int)
{
    if (button != Qt::LeftButton)
        return;
    // The row's place from the top, whatever the row height; no row is image 0.
    showListRow(item ? ListView1->indexOfTopLevelItem(item) : 0);
}

void maindialogImpl::showListRow(int index)
{
    if (index < 0 || index >= BinImage::MaxImages)
        return;
    displayHex(index);
    displayBin(index);
    markListRow(index, true);
}

void maindialogImpl::markListRow(int index, bool select)
{
    // Whatever moved the highlight (a press released elsewhere, a drag, a
    // key), it must end on the row of the image shown, or nowhere.
    QTreeWidgetItem *row = ListView1->topLevelItem(index);
    if (!row) {
        ListView1->clearSelection();
        return;
    }
    ListView1->setCurrentItem(row, 0,
                              select ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                     : QItemSelectionModel::NoUpdate);
}

void maindialogImpl::saveBmpClick()
{
    const QString fileName = askSaveFileName(tr("Images (*.bmp)"));
    if (fileName.isEmpty() || confirmOverwrite(fileName))
        return;
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!PixmapBin->pixmap().toImage().save(&buffer, "BMP")) {
        warn(tr("Erreur fichier !"));
        return;
    }
    if (!writeFile(fileName, data))
        return;
    showStatus(tr("Bitmap : %1 sauvé").arg(fileName));
}

void maindialogImpl::colorClick()
{
    const QColor colour =
        QColorDialog::getColor(BtnColor->palette().color(QPalette::Active, QPalette::Button), nullptr);
    if (!colour.isValid())
        return;
    bgColor = colour;
    QPalette palette = BtnColor->palette();
    palette.setColor(QPalette::Active, QPalette::Button, colour);
    palette.setColor(QPalette::Inactive, QPalette::Button, colour);
    BtnColor->setPalette(palette);
    displayBin(currentIndex());
    showStatus(tr("Couleur %1 %2 %3").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
}

void maindialogImpl::showTab(int index)
{
    // Showing the page that is already current emits no change, yet the
    // buttons must follow the page all the same.
    if (TabBitmap->currentIndex() == index)
        tabChanged();
    else
        TabBitmap->setCurrentIndex(index);
}

void maindialogImpl::tabChanged()
{
    static const struct {
        bool saveBin, saveBmp, print;
    } states[] = {
        {true, false, false}, // Bitmap
        {false, true, true},  // Binaire
        {false, true, false}, // Contenu Binaire
        {false, true, false}, // Export ASCII
    };
    const int tab = TabBitmap->currentIndex();
    if (tab < 0 || tab >= int(std::size(states)))
        return;
    btnSaveBin->setEnabled(states[tab].saveBin);
    btnSaveBmp->setEnabled(states[tab].saveBmp);
    btnPrint->setEnabled(states[tab].print);
}
