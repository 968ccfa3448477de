#include "form/clicklistview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ClickListView::ClickListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setColumnCount(2);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    // Callers map a row's position from the top to its image; a click on the
    // header must not be able to turn the order round.
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);
}

void ClickListView::mousePressEvent(QMouseEvent *event)
{
    // Other buttons show nothing, so they must not move the highlight either.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void ClickListView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & ~Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void ClickListView::keyPressEvent(QKeyEvent *event)
{
    QTreeWidgetItem *before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem *after = currentItem();
    if (after && after != before)
        emit keyboardMoved(after);
}

void ClickListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    // Looked up after the base handler: a slot reached from it may have
    // changed the rows.
    const QPoint local = event->position().toPoint();
    emit mouseButtonClicked(int(event->button()), itemAt(local),
                            event->globalPosition().toPoint(), columnAt(local.x()));
}
