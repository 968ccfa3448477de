#include "app/helplcd.h"

#include "app/helppages.h"

#include <QBrush>
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
    // The paper is optional decoration: a missing or broken file just leaves
    // the usual background.
    QImageReader reader(QStringLiteral("marble.png"));
    reader.setDecideFormatFromContent(true);
    const QImage paper = reader.read();
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
