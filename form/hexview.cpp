#include "form/hexview.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QTextDocument>

#include <cmath>

namespace {

// "00," for each of the 16 bytes of a dump row.
const int RowBytes = 16;
// Narrower than this, digits would run into each other.
const int MinStretch = 70;

} // namespace

HexView::HexView(QWidget *parent)
    : QTextEdit(parent)
{
}

void HexView::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    fitRows();
}

void HexView::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRows();
}

void HexView::fitRows()
{
    const QString row = QStringLiteral("00,").repeated(RowBytes);
    // One pixel spare for the cursor, which is drawn even in a read-only view.
    const qreal room = viewport()->width() - 2 * document()->documentMargin() - 1;
    QFont fitted = font();
    fitted.setStretch(QFont::Unstretched);
    const qreal natural = QFontMetricsF(fitted).horizontalAdvance(row);
    if (natural > room && natural > 0) {
        // Glyph advances are rounded per size, so check the estimate and
        // step down until the row really fits.
        int stretch = qMax(MinStretch, int(std::floor(100 * room / natural)));
        fitted.setStretch(stretch);
        while (stretch > MinStretch && QFontMetricsF(fitted).horizontalAdvance(row) > room)
            fitted.setStretch(--stretch);
    }
    if (font().stretch() != fitted.stretch())
        setFont(fitted); // comes back here through FontChange, then stops
}
