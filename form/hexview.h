#pragma once

#include <QTextEdit>

// The read-only view of a hex dump. A dump row is one row of 16 bytes, so it
// is never wrapped; where the view is too narrow for a row in its font, the
// font is condensed just enough for the row to fit, rather than hiding the
// last bytes of every row behind a scroll bar.
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
