#pragma once

#include <QTextEdit>

// The view of a hex dump, whose lines of 16 bytes are never wrapped. Where
// the view is too narrow for a line in its font, the font is condensed just
// enough for the line to fit, rather than hiding the last bytes of every
// line behind a scroll bar.
class HexView : public QTextEdit
{
    Q_OBJECT

public:
    explicit HexView(QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fitRows();
};
