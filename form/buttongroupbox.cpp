#include "form/buttongroupbox.h"

#include <QAbstractButton>
#include <QButtonGroup>

ButtonGroupBox::ButtonGroupBox(QWidget *parent)
    : ButtonGroupBox(QString(), parent)
{
}

ButtonGroupBox::ButtonGroupBox(const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
    , m_group(new QButtonGroup(this))
{
    connect(m_group, &QButtonGroup::idClicked, this, &ButtonGroupBox::clicked);
}

void ButtonGroupBox::addButton(QAbstractButton *button, int id)
{
    m_group->addButton(button, id);
}

QButtonGroup *ButtonGroupBox::group() const
{
    return m_group;
}
