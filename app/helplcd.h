#pragma once

#include <QWidget>

class QPushButton;
class QTextEdit;

// The built-in help: one rich-text page at a time, stepped through with a
// previous and a next button. Never wraps around.
class HelpLCD : public QWidget
{
    Q_OBJECT

public:
    explicit HelpLCD(QWidget *parent = nullptr, const char *name = nullptr);
    ~HelpLCD() override;

protected slots:
    void prev();
    void next();

private:
    QTextEdit *textView;
    QPushButton *btnNext;
    QPushButton *btnPrev;
    int page;
};
