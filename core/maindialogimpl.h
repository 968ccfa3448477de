#pragma once

#include "core/binimage.h"
#include "form/maindialogbase.h"

#include <QColor>
#include <QImage>

namespace FileAccess {
enum class Status;
}
namespace OutputFile {
enum class Status;
}

class QClipboard;
class QKeyEvent;
class QPixmap;
class QPrinter;
class QStatusBar;
class QString;

// The working form: the image store and every behaviour behind the form's
// controls. Its members are spread over core/ (images, files, navigation)
// and output/ (export, clipboard, printing).
class maindialogImpl : public mainDialogBase
{
    Q_OBJECT

public:
    explicit maindialogImpl(QWidget *parent = nullptr, const char *name = nullptr,
                            bool modal = false, Qt::WindowFlags flags = {});
    ~maindialogImpl() override;

    void attachStatusBar(QStatusBar *bar);

    void binToPixmap(int k, QPixmap &out);
    void displayBin(int k);
    void displayHex(int k);
    bool confirmOverwrite(const QString &fileName);
    void exportText(QString &text);
    void printImages();
    // Everything loadBmpClick and loadBinClick do once the file is chosen.
    void loadBmpFile(const QString &fileName);
    void loadBinFile(const QString &fileName);

public slots:
    void loadBinClick() override;
    void loadBmpClick() override;
    void saveBinClick() override;
    void saveBmpClick() override;

public:
    // The base declares these as slots; re-listing them here would add them
    // to this class's own meta-object, which lists only the four above.
    void colorClick() override;
    void exportChanged(int id) override;
    void exportClick() override;
    void exportCopieClick() override;
    void itemClick(int button, QTreeWidgetItem *item, const QPoint &pos, int column) override;
    void menuCopyBin() override;
    void menuCopyBmp() override;
    void printClick() override;
    void nextClick() override;
    void optionLcdChanged(int id) override;
    void optionMenuChanged() override;
    void optionRowChanged(int id) override;
    void previousClick() override;
    void tabChanged() override;

protected:
    int nbImages = 0;
    uchar binData[65536];
    QColor bgColor;
    QStatusBar *statusBar = nullptr;
    QClipboard *clipboard = nullptr;
    // Null until printerInUse() first needs it.
    QPrinter *printer = nullptr;

    // A page of the main window is no dialog to be closed: as a dialog it
    // would answer Escape by rejecting, which hides the whole page.
    void keyPressEvent(QKeyEvent *event) override;

    // Made at its first use, not with the form: a printer's set-up (print
    // support, the system's printer list) would otherwise delay every start.
    QPrinter *printerInUse();

private:
    // The label holds a premultiplied pixmap, which loses the colour of
    // transparent pixels; the conversion needs the picture as it was read.
    QImage loadedPicture;

    // The window's own words for each refusal the library reports.
    static QString pictureMessage(FileAccess::Status status);
    static QString binaryMessage(FileAccess::Status status);
    static QString writeMessage(OutputFile::Status status);

    void showStatus(const QString &text);
    void warn(const QString &text);
    bool writeFile(const QString &fileName, const QByteArray &data);
    QString askSaveFileName(const QString &filter);
    int currentIndex() const;
    void showTab(int index);
    // False when the printer or the file printed to failed.
    bool drawContactSheets();
    // What a click on row `index` of the list does: hex, rendering, highlight.
    void showListRow(int index);
    void markListRow(int index, bool select);
    // Read afresh at every use: the radio button is the only copy.
    BinImage::RowOrganisation organisation() const;
};
