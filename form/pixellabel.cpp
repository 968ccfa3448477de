#include "form/pixellabel.h"

#include <QPainter>
#include <QPixmap>

PixelLabel::PixelLabel(QWidget *parent)
    : QLabel(parent)
{
}

void PixelLabel::paintEvent(QPaintEvent *event)
{
    const QPixmap shown = pixmap();
    const QRect area = contentsRect();
    const bool wholeMultiple = !shown.isNull() && area.width() % shown.width() == 0
        && area.height() % shown.height() == 0;
    if (!hasScaledContents() || !wholeMultiple) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    painter.drawPixmap(area.topLeft(), shown.scaled(area.size(), Qt::IgnoreAspectRatio,
                                                    Qt::FastTransformation));
}
