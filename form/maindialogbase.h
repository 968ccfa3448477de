#pragma once

#include <QDialog>

class ButtonGroupBox;
class ClickListView;
struct ExportFields;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLCDNumber;
class QLineEdit;
class QPoint;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpacerItem;
class QTabWidget;
class QTextEdit;
class QTreeWidgetItem;
class QVBoxLayout;

// The working surface: every control of the program, wired to virtual slots
// whose bodies only report that nothing is behind them yet. The working class
// derives from it and supplies the behaviour.
class mainDialogBase : public QDialog
{
    Q_OBJECT

public:
    explicit mainDialogBase(QWidget *parent = nullptr, const char *name = nullptr,
                            bool modal = false, Qt::WindowFlags flags = {});
    ~mainDialogBase() override;

    // Indices of the pages of TabBitmap, in the order they are added.
    enum Page { BitmapTab = 0, BinaireTab = 1, ContenuTab = 2, ExportTab = 3 };

    // The six delimiter line edits of the "Export ASCII" page, as one value.
    void setExportFields(const ExportFields &fields);
    ExportFields exportFields() const;

    // Tool bar
    QGroupBox *GroupBox1;
    QPushButton *BtnLoadBmp;
    QPushButton *btnSaveBin;
    QPushButton *btnLoadBin;
    QPushButton *btnSaveBmp;
    QPushButton *btnPrint;

    // Options panel
    QGroupBox *GroupBox3;
    ButtonGroupBox *BtnGrpOptionLCD;
    QRadioButton *BtnLCD122_2;
    QRadioButton *BtnLCD128_2;
    QRadioButton *BtnLCD_other_2;
    QLabel *TextLabel1_5_3;
    QLineEdit *LineEdit7_2;
    QLabel *TextLabel1_5_2_2;
    QLineEdit *LineEdit8_2;
    ButtonGroupBox *BtnGrpOptionRow;
    QRadioButton *BtnRow63;
    QRadioButton *BtnRow127;

    QTabWidget *TabBitmap;

    // Page "Bitmap"
    QWidget *tab;
    QLabel *PixmapBmp;
    QLabel *TxtBmp;

    // Page "Binaire"
    QWidget *tab_2;
    QLabel *PixmapBin;
    QLabel *TextLabel1;
    QLCDNumber *LCDmax;
    QPushButton *BtnColor;
    QPushButton *BtnPrevious;
    QLCDNumber *LCDindex;
    QPushButton *BtnNext;
    QLabel *TxtBin;

    // Page "Contenu Binaire"
    QWidget *tab_3;
    ClickListView *ListView1;
    QLabel *TextLabel1_2;
    QTextEdit *TextView1;
    QLabel *TextLabel2;
    QLabel *PixmapBinMini;

    // Page "Export ASCII"
    QWidget *tab_4;
    ButtonGroupBox *ButtonGroup1;
    QRadioButton *BtnPICasm;
    QRadioButton *BtnPICc;
    QRadioButton *BtnPerso;
    QLabel *TextLabel1_4;
    QLabel *PixmapBinMini2;
    QGroupBox *GroupBox2;
    QLabel *TextLabel1_3;
    QLineEdit *LineComment;
    QLabel *TextLabel8;
    QLineEdit *LineDebutTab;
    QLabel *TextLabel9;
    QLineEdit *LineFinTab;
    QLabel *TextLabel5;
    QLineEdit *LineDebutLigne;
    QLabel *TextLabel2_2;
    QLineEdit *LineDebutHexa;
    QLabel *TextLabel3;
    QLineEdit *LineSeparateur;
    QLabel *TextLabel4;
    QSlider *Slider1;
    QLCDNumber *LCDNumber3;
    QLabel *TextLabel6;
    QPushButton *BtnExport;
    QPushButton *BtnExportCopie;

public slots:
    virtual void colorClick();
    virtual void exportChanged(int id);
    virtual void exportClick();
    virtual void exportCopieClick();
    virtual void itemClick(int button, QTreeWidgetItem *item, const QPoint &pos, int column);
    virtual void loadBinClick();
    virtual void loadBmpClick();
    virtual void menuAboutMe();
    virtual void menuAboutQt();
    virtual void menuCopyBin();
    virtual void menuCopyBmp();
    virtual void printClick();
    virtual void nextClick();
    virtual void optionLcdChanged(int id);
    virtual void optionMenuChanged();
    virtual void optionRowChanged(int id);
    virtual void previousClick();
    virtual void saveBinClick();
    virtual void saveBmpClick();
    virtual void styleCDE();
    virtual void styleMotif();
    virtual void styleMotifPlus();
    virtual void stylePlatinum();
    virtual void styleWindows();
    virtual void tabChanged();

protected:
    QVBoxLayout *mainDialogBaseLayout;
    QHBoxLayout *GroupBox1Layout;
    QHBoxLayout *bodyLayout;
    QVBoxLayout *GroupBox3Layout;
    QVBoxLayout *BtnGrpOptionLCDLayout;
    QHBoxLayout *sizeXLayout;
    QSpacerItem *sizeXSpacer;
    QHBoxLayout *sizeYLayout;
    QSpacerItem *sizeYSpacer;
    QVBoxLayout *BtnGrpOptionRowLayout;
    QVBoxLayout *tabLayout;
    QGridLayout *tabLayout_2;
    QVBoxLayout *binLayout;
    QHBoxLayout *navigationLayout;
    QSpacerItem *navigationSpacer1;
    QSpacerItem *navigationSpacer2;
    QGridLayout *tabLayout_3;
    QHBoxLayout *contentsLayout;
    QVBoxLayout *hexLayout;
    QVBoxLayout *previewLayout;
    QSpacerItem *previewSpacerTop;
    QSpacerItem *previewSpacerBottom;
    QGridLayout *tabLayout_4;
    QVBoxLayout *ButtonGroup1Layout;
    QSpacerItem *exportTypeSpacer;
    QGridLayout *GroupBox2Layout;
    QHBoxLayout *commentLayout;
    QSpacerItem *commentSpacer;
    QHBoxLayout *debutTabLayout;
    QHBoxLayout *finTabLayout;
    QSpacerItem *finTabSpacer;
    QHBoxLayout *debutLigneLayout;
    QSpacerItem *debutLigneSpacer;
    QHBoxLayout *debutHexaLayout;
    QSpacerItem *debutHexaSpacer;
    QHBoxLayout *separateurLayout;
    QSpacerItem *separateurSpacer;
    QHBoxLayout *bytesPerLineLayout;
    QVBoxLayout *sliderLayout;
    QVBoxLayout *tabHintLayout;
    QSpacerItem *tabHintSpacer;
    QHBoxLayout *exportButtonsLayout;
};
