#pragma once

#include <QTreeWidget>

class QKeyEvent;
class QMouseEvent;
class QPoint;

// A multi-column list that reports every click in its viewport, also one
// below the last row, where the item is null. The position is global; the
// column is the one under the pointer, -1 right of the last one. Only the
// left button moves the highlight, and a move by keyboard is reported too,
// so whoever shows the row's contents can keep up with the highlight.
class ClickListView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ClickListView(QWidget *parent = nullptr);

signals:
    void mouseButtonClicked(int button, QTreeWidgetItem *item, const QPoint &pos, int column);
    void keyboardMoved(QTreeWidgetItem *item);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
