#pragma once

#include <QTreeWidget>

class QMouseEvent;
class QPoint;

// A multi-column list that reports every click in its viewport, also one
// below the last row, where the item is null. The position is global; the
// column is the one under the pointer, -1 right of the last one.
class ClickListView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ClickListView(QWidget *parent = nullptr);

signals:
    void mouseButtonClicked(int button, QTreeWidgetItem *item, const QPoint &pos, int column);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
