#pragma once

#include <QGroupBox>

class QAbstractButton;
class QButtonGroup;

// A titled frame whose radio buttons report the id of the one clicked.
class ButtonGroupBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit ButtonGroupBox(QWidget *parent = nullptr);
    explicit ButtonGroupBox(const QString &title, QWidget *parent = nullptr);

    void addButton(QAbstractButton *button, int id);
    QButtonGroup *group() const;

signals:
    void clicked(int id);

private:
    QButtonGroup *m_group;
};
