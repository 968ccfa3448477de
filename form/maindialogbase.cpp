#include "form/maindialogbase.h"

#include "form/buttongroupbox.h"
#include "form/clicklistview.h"
#include "form/formpictures.h"
#include "form/hexview.h"
#include "form/pixellabel.h"
#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpacerItem>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// A frame layout without spacing or margin around one content layout that
// keeps the group's controls at the top.
template <typename Content>
Content *frameContent(QGroupBox *box)
{
    auto *frame = new QVBoxLayout(box);
    frame->setSpacing(0);
    frame->setContentsMargins(0, 0, 0, 0);
    auto *content = new Content;
    content->setAlignment(Qt::AlignTop);
    content->setSpacing(6);
    content->setContentsMargins(11, 11, 11, 11);
    frame->addLayout(content);
    return content;
}

template <typename Box>
Box *plainBox(int spacing)
{
    auto *box = new Box;
    box->setSpacing(spacing);
    box->setContentsMargins(0, 0, 0, 0);
    return box;
}

QSpacerItem *horizontalSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QSpacerItem *verticalSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

QSpacerItem *fixedSpacer()
{
    return new QSpacerItem(20, 20, QSizePolicy::Minimum, QSizePolicy::Minimum);
}

QLabel *previewLabel(QWidget *parent, const char *name, int width, int height,
                     const QPixmap &picture)
{
    auto *label = new PixelLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setMinimumSize(width, height);
    label->setMaximumSize(width, height);
    label->setScaledContents(true);
    label->setPixmap(picture);
    return label;
}

QLCDNumber *twoDigitDisplay(QWidget *parent, const char *name)
{
    auto *lcd = new QLCDNumber(parent);
    lcd->setObjectName(QLatin1String(name));
    lcd->setDigitCount(2);
    lcd->setSegmentStyle(QLCDNumber::Filled);
    // Filled segments are drawn in the text colour and edged in the light
    // and dark colours; at this size the edges are all that shows, and pale
    // edges leave outline digits that no style makes legible.
    QPalette palette = lcd->palette();
    for (const auto role : {QPalette::WindowText, QPalette::Light, QPalette::Dark})
        palette.setColor(role, Qt::black);
    lcd->setPalette(palette);
    return lcd;
}

QPalette whiteButtonPalette(const QPalette &base)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor grey(128, 128, 128);
    QPalette pal(base);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        pal.setColor(group, QPalette::WindowText, disabled ? grey : black);
        pal.setColor(group, QPalette::Button, white);
        pal.setColor(group, QPalette::Light, white);
        pal.setColor(group, QPalette::Midlight, white);
        pal.setColor(group, QPalette::Dark, QColor(127, 127, 127));
        pal.setColor(group, QPalette::Mid, QColor(170, 170, 170));
        pal.setColor(group, QPalette::Text, black);
        pal.setColor(group, QPalette::BrightText, white);
        pal.setColor(group, QPalette::ButtonText, disabled ? grey : black);
        pal.setColor(group, QPalette::Base, white);
        pal.setColor(group, QPalette::Window, QColor(212, 208, 200));
        pal.setColor(group, QPalette::Shadow, black);
        pal.setColor(group, QPalette::Highlight, QColor(10, 36, 106));
        pal.setColor(group, QPalette::HighlightedText, white);
    }
    return pal;
}

} // namespace

mainDialogBase::mainDialogBase(QWidget *parent, const char *name, bool modal,
                               Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    const QPixmap iconPicture = FormPictures::windowIcon();
    const QPixmap row63Picture = FormPictures::row63();
    const QPixmap row127Picture = FormPictures::row127();
    const QPixmap placeholder = FormPictures::placeholder();

    setObjectName(name ? QString::fromUtf8(name) : QStringLiteral("VexlorDialogBase"));
    setModal(modal);
    resize(770, 587);
    setWindowTitle(tr("Vexlor"));
    setWindowIcon(QIcon(iconPicture));
    setSizeGripEnabled(true);

    mainDialogBaseLayout = new QVBoxLayout(this);
    mainDialogBaseLayout->setSpacing(6);
    mainDialogBaseLayout->setContentsMargins(11, 11, 11, 11);

    // Tool bar
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setTitle(tr("Barre d'outils"));
    GroupBox1Layout = frameContent<QHBoxLayout>(GroupBox1);

    BtnLoadBmp = new QPushButton(GroupBox1);
    BtnLoadBmp->setObjectName(QStringLiteral("BtnLoadBmp"));
    BtnLoadBmp->setText(tr("&Charger BMP"));
    BtnLoadBmp->setToolTip(tr("Charge une image bitmap 128x64 pixels"));
    BtnLoadBmp->setWhatsThis(tr("Bitmap 128x64 pixels couleur ou Noir&Blanc"));
    GroupBox1Layout->addWidget(BtnLoadBmp);

    btnSaveBin = new QPushButton(GroupBox1);
    btnSaveBin->setObjectName(QStringLiteral("btnSaveBin"));
    btnSaveBin->setEnabled(false);
    btnSaveBin->setText(tr("Sauvegarder BIN"));
    btnSaveBin->setToolTip(tr("Sauvegarde le bitmap en binaire"));
    btnSaveBin->setWhatsThis(tr("Convertion du bitmap vers un fichier binaire de 1024 octets"));
    GroupBox1Layout->addWidget(btnSaveBin);

    btnLoadBin = new QPushButton(GroupBox1);
    btnLoadBin->setObjectName(QStringLiteral("btnLoadBin"));
    btnLoadBin->setText(tr("Charger &BIN"));
    btnLoadBin->setToolTip(tr("Charge un fichier binaire (1 ou plusieurs images)"));
    btnLoadBin->setWhatsThis(tr("Fichier binaire 1024 octets ou n*1024 octets (pour n images)"));
    GroupBox1Layout->addWidget(btnLoadBin);

    btnSaveBmp = new QPushButton(GroupBox1);
    btnSaveBmp->setObjectName(QStringLiteral("btnSaveBmp"));
    btnSaveBmp->setEnabled(false);
    btnSaveBmp->setText(tr("&Sauvegarder BMP"));
    btnSaveBmp->setToolTip(tr("Sauvegarde le binaire actuel en bitmap"));
    GroupBox1Layout->addWidget(btnSaveBmp);

    btnPrint = new QPushButton(GroupBox1);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnPrint->setText(tr("Imprimer"));
    GroupBox1Layout->addWidget(btnPrint);

    mainDialogBaseLayout->addWidget(GroupBox1);

    bodyLayout = plainBox<QHBoxLayout>(6);

    // Options panel
    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setMaximumSize(150, 32767);
    GroupBox3->setTitle(tr("Options"));
    GroupBox3Layout = frameContent<QVBoxLayout>(GroupBox3);
    // The panel may not grow past 150 pixels; narrower side margins leave
    // room for the inner group titles in today's larger desktop fonts.
    GroupBox3Layout->setContentsMargins(4, 11, 4, 11);

    BtnGrpOptionLCD = new ButtonGroupBox(GroupBox3);
    BtnGrpOptionLCD->setObjectName(QStringLiteral("BtnGrpOptionLCD"));
    BtnGrpOptionLCD->setTitle(tr("Taille LCD"));
    BtnGrpOptionLCDLayout = frameContent<QVBoxLayout>(BtnGrpOptionLCD);

    BtnLCD122_2 = new QRadioButton(BtnGrpOptionLCD);
    BtnLCD122_2->setObjectName(QStringLiteral("BtnLCD122_2"));
    BtnLCD122_2->setText(tr("LCD 122x32"));
    BtnGrpOptionLCD->addButton(BtnLCD122_2, 0);
    BtnGrpOptionLCDLayout->addWidget(BtnLCD122_2);

    BtnLCD128_2 = new QRadioButton(BtnGrpOptionLCD);
    BtnLCD128_2->setObjectName(QStringLiteral("BtnLCD128_2"));
    BtnLCD128_2->setText(tr("LCD 128x64"));
    BtnLCD128_2->setChecked(true);
    BtnGrpOptionLCD->addButton(BtnLCD128_2, 1);
    BtnGrpOptionLCDLayout->addWidget(BtnLCD128_2);

    BtnLCD_other_2 = new QRadioButton(BtnGrpOptionLCD);
    BtnLCD_other_2->setObjectName(QStringLiteral("BtnLCD_other_2"));
    BtnLCD_other_2->setText(tr("LCD X x Y"));
    BtnGrpOptionLCD->addButton(BtnLCD_other_2, 2);
    BtnGrpOptionLCDLayout->addWidget(BtnLCD_other_2);

    sizeXLayout = plainBox<QHBoxLayout>(6);
    sizeXSpacer = fixedSpacer();
    sizeXLayout->addItem(sizeXSpacer);
    TextLabel1_5_3 = new QLabel(BtnGrpOptionLCD);
    TextLabel1_5_3->setObjectName(QStringLiteral("TextLabel1_5_3"));
    TextLabel1_5_3->setText(tr("X="));
    sizeXLayout->addWidget(TextLabel1_5_3);
    LineEdit7_2 = new QLineEdit(BtnGrpOptionLCD);
    LineEdit7_2->setObjectName(QStringLiteral("LineEdit7_2"));
    sizeXLayout->addWidget(LineEdit7_2);
    BtnGrpOptionLCDLayout->addLayout(sizeXLayout);

    sizeYLayout = plainBox<QHBoxLayout>(6);
    sizeYSpacer = fixedSpacer();
    sizeYLayout->addItem(sizeYSpacer);
    TextLabel1_5_2_2 = new QLabel(BtnGrpOptionLCD);
    TextLabel1_5_2_2->setObjectName(QStringLiteral("TextLabel1_5_2_2"));
    TextLabel1_5_2_2->setText(tr("Y="));
    sizeYLayout->addWidget(TextLabel1_5_2_2);
    LineEdit8_2 = new QLineEdit(BtnGrpOptionLCD);
    LineEdit8_2->setObjectName(QStringLiteral("LineEdit8_2"));
    sizeYLayout->addWidget(LineEdit8_2);
    BtnGrpOptionLCDLayout->addLayout(sizeYLayout);

    GroupBox3Layout->addWidget(BtnGrpOptionLCD);

    BtnGrpOptionRow = new ButtonGroupBox(GroupBox3);
    BtnGrpOptionRow->setObjectName(QStringLiteral("BtnGrpOptionRow"));
    BtnGrpOptionRow->setTitle(tr("Organisation Rangées"));
    BtnGrpOptionRowLayout = frameContent<QVBoxLayout>(BtnGrpOptionRow);

    BtnRow63 = new QRadioButton(BtnGrpOptionRow);
    BtnRow63->setObjectName(QStringLiteral("BtnRow63"));
    BtnRow63->setIcon(QIcon(row63Picture));
    BtnRow63->setIconSize(row63Picture.size());
    BtnRow63->setChecked(true);
    BtnRow63->setToolTip(tr("Page de Gauche Rangées 0 à 63, puis page de droite Rangées 64 à 127"));
    BtnGrpOptionRow->addButton(BtnRow63, 0);
    BtnGrpOptionRowLayout->addWidget(BtnRow63);

    BtnRow127 = new QRadioButton(BtnGrpOptionRow);
    BtnRow127->setObjectName(QStringLiteral("BtnRow127"));
    BtnRow127->setIcon(QIcon(row127Picture));
    BtnRow127->setIconSize(row127Picture.size());
    BtnRow127->setToolTip(tr("Page de Gauche + Droite Rangées 0 à 127"));
    BtnGrpOptionRow->addButton(BtnRow127, 1);
    BtnGrpOptionRowLayout->addWidget(BtnRow127);

    GroupBox3Layout->addWidget(BtnGrpOptionRow);
    bodyLayout->addWidget(GroupBox3);

    TabBitmap = new QTabWidget(this);
    TabBitmap->setObjectName(QStringLiteral("TabBitmap"));
    TabBitmap->setToolTip(QString());

    // Page "Bitmap"
    tab = new QWidget(TabBitmap);
    tab->setObjectName(QStringLiteral("tab"));
    tabLayout = new QVBoxLayout(tab);
    tabLayout->setSpacing(6);
    tabLayout->setContentsMargins(11, 11, 11, 11);

    PixmapBmp = previewLabel(tab, "PixmapBmp", 256, 128, placeholder);
    tabLayout->addWidget(PixmapBmp);

    TxtBmp = new QLabel(tab);
    TxtBmp->setObjectName(QStringLiteral("TxtBmp"));
    TxtBmp->setTextFormat(Qt::AutoText);
    TxtBmp->setScaledContents(true);
    TxtBmp->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TxtBmp->setWordWrap(true);
    TxtBmp->setText(tr("TxtBmp"));
    TxtBmp->setToolTip(tr("Chemin du fichier bitmap"));
    tabLayout->addWidget(TxtBmp);

    TabBitmap->addTab(tab, tr("Bitmap"));

    // Page "Binaire"
    tab_2 = new QWidget(TabBitmap);
    tab_2->setObjectName(QStringLiteral("tab_2"));
    tabLayout_2 = new QGridLayout(tab_2);
    tabLayout_2->setSpacing(6);
    tabLayout_2->setContentsMargins(11, 11, 11, 11);
    binLayout = plainBox<QVBoxLayout>(30);

    PixmapBin = previewLabel(tab_2, "PixmapBin", 256, 128, placeholder);
    binLayout->addWidget(PixmapBin);

    navigationLayout = plainBox<QHBoxLayout>(6);

    TextLabel1 = new QLabel(tab_2);
    TextLabel1->setObjectName(QStringLiteral("TextLabel1"));
    TextLabel1->setText(tr("Nombre d'images :"));
    TextLabel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    navigationLayout->addWidget(TextLabel1);

    LCDmax = twoDigitDisplay(tab_2, "LCDmax");
    LCDmax->setToolTip(tr("Nombre total d'images"));
    navigationLayout->addWidget(LCDmax);

    navigationSpacer1 = horizontalSpacer();
    navigationLayout->addItem(navigationSpacer1);

    BtnColor = new QPushButton(tab_2);
    BtnColor->setObjectName(QStringLiteral("BtnColor"));
    BtnColor->setPalette(whiteButtonPalette(BtnColor->palette()));
    BtnColor->setText(tr("Couleur"));
    BtnColor->setToolTip(tr("Change la couleur de fond"));
    navigationLayout->addWidget(BtnColor);

    navigationSpacer2 = horizontalSpacer();
    navigationLayout->addItem(navigationSpacer2);

    BtnPrevious = new QPushButton(tab_2);
    BtnPrevious->setObjectName(QStringLiteral("BtnPrevious"));
    BtnPrevious->setEnabled(false);
    BtnPrevious->setText(tr("Précédant"));
    BtnPrevious->setToolTip(tr("Image précédante"));
    navigationLayout->addWidget(BtnPrevious);

    LCDindex = twoDigitDisplay(tab_2, "LCDindex");
    LCDindex->setToolTip(tr("Image courante"));
    navigationLayout->addWidget(LCDindex);

    BtnNext = new QPushButton(tab_2);
    BtnNext->setObjectName(QStringLiteral("BtnNext"));
    BtnNext->setEnabled(false);
    BtnNext->setText(tr("Suivant"));
    BtnNext->setToolTip(tr("Image suivante"));
    navigationLayout->addWidget(BtnNext);

    binLayout->addLayout(navigationLayout);

    TxtBin = new QLabel(tab_2);
    TxtBin->setObjectName(QStringLiteral("TxtBin"));
    TxtBin->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TxtBin->setWordWrap(true);
    TxtBin->setText(tr("TxtBin"));
    TxtBin->setToolTip(tr("Chemin du fichier binaire"));
    binLayout->addWidget(TxtBin);

    tabLayout_2->addLayout(binLayout, 0, 0);
    TabBitmap->addTab(tab_2, tr("Binaire"));

    // Page "Contenu Binaire"
    tab_3 = new QWidget(TabBitmap);
    tab_3->setObjectName(QStringLiteral("tab_3"));
    tabLayout_3 = new QGridLayout(tab_3);
    tabLayout_3->setSpacing(6);
    tabLayout_3->setContentsMargins(11, 11, 11, 11);
    contentsLayout = plainBox<QHBoxLayout>(6);

    ListView1 = new ClickListView(tab_3);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({tr("Image"), tr("Description")});
    // "Image" takes what its title and numbers need, "Description" the rest:
    // measured to its contents as well, it would be cut by the scroll bar
    // that 64 images bring up in a list only 140 pixels wide.
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ListView1->setMinimumSize(140, 0);
    ListView1->setMaximumSize(140, 32767);
    ListView1->setToolTip(tr("Cliquer sur une image pour l'afficher"));
    contentsLayout->addWidget(ListView1);

    hexLayout = plainBox<QVBoxLayout>(6);
    TextLabel1_2 = new QLabel(tab_3);
    TextLabel1_2->setObjectName(QStringLiteral("TextLabel1_2"));
    TextLabel1_2->setText(tr("Contenu hexadécimal"));
    TextLabel1_2->setAlignment(Qt::AlignCenter);
    hexLayout->addWidget(TextLabel1_2);
    TextView1 = new HexView(tab_3);
    TextView1->setObjectName(QStringLiteral("TextView1"));
    TextView1->setReadOnly(true);
    // A dump line is one row of 16 bytes: wrapping it would hide that.
    TextView1->setLineWrapMode(QTextEdit::NoWrap);
    hexLayout->addWidget(TextView1);
    contentsLayout->addLayout(hexLayout);

    previewLayout = plainBox<QVBoxLayout>(6);
    previewSpacerTop = verticalSpacer();
    previewLayout->addItem(previewSpacerTop);
    TextLabel2 = new QLabel(tab_3);
    TextLabel2->setObjectName(QStringLiteral("TextLabel2"));
    TextLabel2->setText(tr("Aperçu"));
    TextLabel2->setAlignment(Qt::AlignCenter);
    previewLayout->addWidget(TextLabel2);
    PixmapBinMini = previewLabel(tab_3, "PixmapBinMini", 128, 64, placeholder);
    previewLayout->addWidget(PixmapBinMini);
    previewSpacerBottom = verticalSpacer();
    previewLayout->addItem(previewSpacerBottom);
    contentsLayout->addLayout(previewLayout);

    tabLayout_3->addLayout(contentsLayout, 0, 0);
    TabBitmap->addTab(tab_3, tr("Contenu Binaire"));

    // Page "Export ASCII"
    tab_4 = new QWidget(TabBitmap);
    tab_4->setObjectName(QStringLiteral("tab_4"));
    tabLayout_4 = new QGridLayout(tab_4);
    tabLayout_4->setSpacing(6);
    tabLayout_4->setContentsMargins(11, 11, 11, 11);

    ButtonGroup1 = new ButtonGroupBox(tab_4);
    ButtonGroup1->setObjectName(QStringLiteral("ButtonGroup1"));
    ButtonGroup1->setTitle(tr("Type d'exportation"));
    ButtonGroup1Layout = frameContent<QVBoxLayout>(ButtonGroup1);

    BtnPICasm = new QRadioButton(ButtonGroup1);
    BtnPICasm->setObjectName(QStringLiteral("BtnPICasm"));
    BtnPICasm->setText(tr("Assembleur pour PIC"));
    ButtonGroup1->addButton(BtnPICasm, 0);
    ButtonGroup1Layout->addWidget(BtnPICasm);

    BtnPICc = new QRadioButton(ButtonGroup1);
    BtnPICc->setObjectName(QStringLiteral("BtnPICc"));
    BtnPICc->setText(tr("'C' pour PIC"));
    BtnPICc->setChecked(true);
    ButtonGroup1->addButton(BtnPICc, 1);
    ButtonGroup1Layout->addWidget(BtnPICc);

    BtnPerso = new QRadioButton(ButtonGroup1);
    BtnPerso->setObjectName(QStringLiteral("BtnPerso"));
    BtnPerso->setText(tr("Personnalisé"));
    ButtonGroup1->addButton(BtnPerso, 2);
    ButtonGroup1Layout->addWidget(BtnPerso);

    exportTypeSpacer = verticalSpacer();
    ButtonGroup1Layout->addItem(exportTypeSpacer);

    TextLabel1_4 = new QLabel(ButtonGroup1);
    TextLabel1_4->setObjectName(QStringLiteral("TextLabel1_4"));
    TextLabel1_4->setText(tr("Aperçu"));
    TextLabel1_4->setAlignment(Qt::AlignCenter);
    ButtonGroup1Layout->addWidget(TextLabel1_4);

    PixmapBinMini2 = previewLabel(ButtonGroup1, "PixmapBinMini2", 128, 64, placeholder);
    ButtonGroup1Layout->addWidget(PixmapBinMini2);

    tabLayout_4->addWidget(ButtonGroup1, 0, 0);

    GroupBox2 = new QGroupBox(tab_4);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setTitle(tr("Délimiteurs"));
    GroupBox2Layout = frameContent<QGridLayout>(GroupBox2);

    auto delimiterRow = [this](QHBoxLayout *&row, QSpacerItem **spacer, QLabel *&label,
                               const char *labelName, const QString &labelText,
                               QLineEdit *&edit, const char *editName, int gridRow) {
        row = plainBox<QHBoxLayout>(6);
        label = new QLabel(GroupBox2);
        label->setObjectName(QLatin1String(labelName));
        label->setText(labelText);
        row->addWidget(label);
        if (spacer) {
            *spacer = horizontalSpacer();
            row->addItem(*spacer);
        }
        edit = new QLineEdit(GroupBox2);
        edit->setObjectName(QLatin1String(editName));
        row->addWidget(edit);
        GroupBox2Layout->addLayout(row, gridRow, 0);
    };

    delimiterRow(commentLayout, &commentSpacer, TextLabel1_3, "TextLabel1_3",
                 tr("Commentaire :"), LineComment, "LineComment", 0);
    LineComment->setMaximumSize(100, 32767);
    LineComment->setToolTip(tr("Commentaire de début de ligne"));

    delimiterRow(debutTabLayout, nullptr, TextLabel8, "TextLabel8", tr("Début tableau :"),
                 LineDebutTab, "LineDebutTab", 1);
    LineDebutTab->setToolTip(QString());

    delimiterRow(finTabLayout, &finTabSpacer, TextLabel9, "TextLabel9", tr("Fin de tableau :"),
                 LineFinTab, "LineFinTab", 2);
    LineFinTab->setMaximumSize(100, 32767);
    LineFinTab->setToolTip(QString());

    delimiterRow(debutLigneLayout, &debutLigneSpacer, TextLabel5, "TextLabel5",
                 tr("Début de ligne :"), LineDebutLigne, "LineDebutLigne", 3);
    LineDebutLigne->setMaximumSize(100, 32767);
    LineDebutLigne->setToolTip(QString());

    delimiterRow(debutHexaLayout, &debutHexaSpacer, TextLabel2_2, "TextLabel2_2",
                 tr("Début nombres Hexadécimaux :"), LineDebutHexa, "LineDebutHexa", 4);
    TextLabel2_2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LineDebutHexa->setMaximumSize(100, 32767);

    delimiterRow(separateurLayout, &separateurSpacer, TextLabel3, "TextLabel3",
                 tr("Sépateurs nombres :"), LineSeparateur, "LineSeparateur", 5);
    LineSeparateur->setMaximumSize(100, 32767);
    LineSeparateur->setToolTip(QString());

    ExportFields preset;
    ExportText::preset(ExportText::C, preset);
    setExportFields(preset);

    bytesPerLineLayout = plainBox<QHBoxLayout>(6);
    sliderLayout = plainBox<QVBoxLayout>(6);
    TextLabel4 = new QLabel(GroupBox2);
    TextLabel4->setObjectName(QStringLiteral("TextLabel4"));
    TextLabel4->setText(tr("Nombre d'octets par ligne :"));
    sliderLayout->addWidget(TextLabel4);
    Slider1 = new QSlider(GroupBox2);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setMinimum(1);
    Slider1->setMaximum(96);
    Slider1->setPageStep(8);
    Slider1->setValue(16);
    Slider1->setOrientation(Qt::Horizontal);
    Slider1->setToolTip(QString());
    sliderLayout->addWidget(Slider1);
    bytesPerLineLayout->addLayout(sliderLayout);
    LCDNumber3 = twoDigitDisplay(GroupBox2, "LCDNumber3");
    LCDNumber3->display(16);
    bytesPerLineLayout->addWidget(LCDNumber3);
    GroupBox2Layout->addLayout(bytesPerLineLayout, 6, 0);

    tabHintLayout = plainBox<QVBoxLayout>(6);
    tabHintSpacer = verticalSpacer();
    tabHintLayout->addItem(tabHintSpacer);
    TextLabel6 = new QLabel(GroupBox2);
    TextLabel6->setObjectName(QStringLiteral("TextLabel6"));
    TextLabel6->setText(tr("Tabulations : $tab"));
    tabHintLayout->addWidget(TextLabel6);
    GroupBox2Layout->addLayout(tabHintLayout, 7, 0);

    tabLayout_4->addWidget(GroupBox2, 0, 1);

    exportButtonsLayout = plainBox<QHBoxLayout>(6);
    BtnExport = new QPushButton(tab_4);
    BtnExport->setObjectName(QStringLiteral("BtnExport"));
    BtnExport->setText(tr("Exporter ..."));
    BtnExport->setToolTip(tr("Exporte le binaire actuel en fichier ASCII"));
    exportButtonsLayout->addWidget(BtnExport);
    BtnExportCopie = new QPushButton(tab_4);
    BtnExportCopie->setObjectName(QStringLiteral("BtnExportCopie"));
    BtnExportCopie->setText(tr("Exporter (Presse Papier)"));
    BtnExportCopie->setToolTip(tr("Exporte vers Presse-papier"));
    exportButtonsLayout->addWidget(BtnExportCopie);
    tabLayout_4->addLayout(exportButtonsLayout, 1, 0, 1, 2);

    TabBitmap->addTab(tab_4, tr("Export ASCII"));

    bodyLayout->addWidget(TabBitmap);
    mainDialogBaseLayout->addLayout(bodyLayout);

    connect(BtnLoadBmp, &QPushButton::clicked, this, &mainDialogBase::loadBmpClick);
    connect(btnSaveBmp, &QPushButton::clicked, this, &mainDialogBase::saveBmpClick);
    connect(btnLoadBin, &QPushButton::clicked, this, &mainDialogBase::loadBinClick);
    connect(btnSaveBin, &QPushButton::clicked, this, &mainDialogBase::saveBinClick);
    connect(BtnPrevious, &QPushButton::clicked, this, &mainDialogBase::previousClick);
    connect(BtnNext, &QPushButton::clicked, this, &mainDialogBase::nextClick);
    connect(TabBitmap, &QTabWidget::currentChanged, this, &mainDialogBase::tabChanged);
    connect(ListView1, &ClickListView::mouseButtonClicked, this, &mainDialogBase::itemClick);
    connect(BtnColor, &QPushButton::clicked, this, &mainDialogBase::colorClick);
    connect(Slider1, &QSlider::valueChanged, LCDNumber3, qOverload<int>(&QLCDNumber::display));
    connect(BtnExport, &QPushButton::clicked, this, &mainDialogBase::exportClick);
    connect(ButtonGroup1, &ButtonGroupBox::clicked, this, &mainDialogBase::exportChanged);
    connect(BtnExportCopie, &QPushButton::clicked, this, &mainDialogBase::exportCopieClick);
    connect(BtnGrpOptionLCD, &ButtonGroupBox::clicked, this, &mainDialogBase::optionLcdChanged);
    connect(BtnGrpOptionRow, &ButtonGroupBox::clicked, this, &mainDialogBase::optionRowChanged);
    connect(btnPrint, &QPushButton::clicked, this, &mainDialogBase::printClick);
}

mainDialogBase::~mainDialogBase() = default;

void mainDialogBase::setExportFields(const ExportFields &fields)
{
    LineComment->setText(fields.comment);
    LineDebutTab->setText(fields.tableStart);
    LineFinTab->setText(fields.tableEnd);
    LineDebutLigne->setText(fields.lineStart);
    LineDebutHexa->setText(fields.hexPrefix);
    LineSeparateur->setText(fields.separator);
}

ExportFields mainDialogBase::exportFields() const
{
    return {LineComment->text(),    LineDebutTab->text(),   LineFinTab->text(),
            LineDebutLigne->text(), LineDebutHexa->text(),  LineSeparateur->text()};
}

void mainDialogBase::colorClick()
{
    qWarning("%s", "mainDialogBase::colorClick(): Not implemented yet!");
}

void mainDialogBase::exportChanged(int)
{
    qWarning("%s", "mainDialogBase::exportChanged(int): Not implemented yet!");
}

void mainDialogBase::exportClick()
{
    qWarning("%s", "mainDialogBase::exportClick(): Not implemented yet!");
}

void mainDialogBase::exportCopieClick()
{
    qWarning("%s", "mainDialogBase::exportCopieClick(): Not implemented yet!");
}

void mainDialogBase::itemClick(int, QTreeWidgetItem *, const QPoint &, int)
{
    qWarning("%s", "mainDialogBase::itemClick(int,QListViewItem*,const QPoint&,int): Not implemented yet!");
}

void mainDialogBase::loadBinClick()
{
    qWarning("%s", "mainDialogBase::loadBinClick(): Not implemented yet!");
}

void mainDialogBase::loadBmpClick()
{
    qWarning("%s", "mainDialogBase::loadBmpClick(): Not implemented yet!");
}

void mainDialogBase::menuAboutMe()
{
    qWarning("%s", "mainDialogBase::menuAboutMe(): Not implemented yet!");
}

void mainDialogBase::menuAboutQt()
{
    qWarning("%s", "mainDialogBase::menuAboutQt(): Not implemented yet!");
}

void mainDialogBase::menuCopyBin()
{
    qWarning("%s", "mainDialogBase::menuCopyBin(): Not implemented yet!");
}

void mainDialogBase::menuCopyBmp()
{
    qWarning("%s", "mainDialogBase::menuCopyBmp(): Not implemented yet!");
}

void mainDialogBase::printClick()
{
    qWarning("%s", "mainDialogBase::printClick(): Not implemented yet!");
}

void mainDialogBase::nextClick()
{
    qWarning("%s", "mainDialogBase::nextClick(): Not implemented yet!");
}

void mainDialogBase::optionLcdChanged(int)
{
    qWarning("%s", "mainDialogBase::optionLcdChanged(int): Not implemented yet!");
}

void mainDialogBase::optionMenuChanged()
{
    qWarning("%s", "mainDialogBase::optionMenuChanged(): Not implemented yet!");
}

void mainDialogBase::optionRowChanged(int)
{
    qWarning("%s", "mainDialogBase::optionRowChanged(int): Not implemented yet!");
}

void mainDialogBase::previousClick()
{
    qWarning("%s", "mainDialogBase::previousClick(): Not implemented yet!");
}

void mainDialogBase::saveBinClick()
{
    qWarning("%s", "mainDialogBase::saveBinClick(): Not implemented yet!");
}

void mainDialogBase::saveBmpClick()
{
    qWarning("%s", "mainDialogBase::saveBmpClick(): Not implemented yet!");
}

void mainDialogBase::styleCDE()
{
    qWarning("%s", "mainDialogBase::styleCDE(): Not implemented yet!");
}

void mainDialogBase::styleMotif()
{
    qWarning("%s", "mainDialogBase::styleMotif(): Not implemented yet!");
}

void mainDialogBase::styleMotifPlus()
{
    qWarning("%s", "mainDialogBase::styleMotifPlus(): Not implemented yet!");
}

void mainDialogBase::stylePlatinum()
{
    qWarning("%s", "mainDialogBase::stylePlatinum(): Not implemented yet!");
}

void mainDialogBase::styleWindows()
{
    qWarning("%s", "mainDialogBase::styleWindows(): Not implemented yet!");
}

void mainDialogBase::tabChanged()
{
    qWarning("%s", "mainDialogBase::tabChanged(): Not implemented yet!");
}
