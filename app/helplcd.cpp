#include "app/helplcd.h"

#include "app/helppages.h"
#include "core/imageplugins.h"

#include <QBrush>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

bool isEndEntry(const char *entry)
{
    return !entry || !*entry;
}

// The paper is optional decoration: a missing or broken file just leaves
// the usual background. Given a name it cannot open, the toolkit's reader
// tries it with each format's suffix added, which first reads every image
// plugin's list of formats: that is left to the rare start where such a
// file is there at all.
QImage paperPicture()
{
    const QString name = QStringLiteral("marble.png");
    if (!QFileInfo::exists(name) && QDir().entryList({name + QStringLiteral(".*")}).isEmpty())
        return QImage();
    // Its content, whatever its name, decides its format.
    ImagePlugins::ensureLoaded();
    QImageReader reader(name);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace

HelpLCD::HelpLCD(QWidget *parent, const char *name)
    : QWidget(parent)
{
    if (name)
        setObjectName(QString::fromLatin1(name));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);

    textView = new QTextEdit(this);
    textView->setObjectName(QStringLiteral("textView"));
    textView->setReadOnly(true);
    const QImage paper = paperPicture();
    if (!paper.isNull()) {
        QPalette palette = textView->palette();
        palette.setBrush(QPalette::Base, QBrush(paper));
        textView->setPalette(palette);
    }
    textView->setText(tr(helpPages[0]));
    textView->setMinimumSize(450, 250);
    layout->addWidget(textView);

    auto *buttons = new QWidget(this);
    auto *buttonLayout = new QHBoxLayout(buttons);
    buttonLayout->setContentsMargins(5, 5, 5, 5);
    btnPrev = new QPushButton(tr("<< &Precedant"), buttons);
    btnPrev->setObjectName(QStringLiteral("btnPrev"));
    buttonLayout->addWidget(btnPrev);
    btnNext = new QPushButton(tr("&Suivant >>"), buttons);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    buttonLayout->addWidget(btnNext);
    layout->addWidget(buttons);

    btnPrev->setEnabled(false);

    connect(btnPrev, &QPushButton::clicked, this, &HelpLCD::prev);
    connect(btnNext, &QPushButton::clicked, this, &HelpLCD::next);

    page = 0;
}

HelpLCD::~HelpLCD() = default;

void HelpLCD::prev()
{
    if (page == 0)
        return;
    --page;
    textView->setText(tr(helpPages[page]));
    if (page == 0)
        btnPrev->setEnabled(false);
    btnNext->setEnabled(true);
}

void HelpLCD::next()
{
    if (isEndEntry(helpPages[page + 1]))
        return;
    ++page;
    textView->setText(tr(helpPages[page]));
    if (isEndEntry(helpPages[page + 1]))
        btnNext->setEnabled(false);
    btnPrev->setEnabled(true);
}
