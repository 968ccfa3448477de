#include "output/printlayout.h"

#include "core/binimage.h"

#include <QSizeF>
#include <QTransform>

namespace PrintLayout {

namespace {
constexpr qreal ScaleAtReference = 10.0;
constexpr qreal MarginX = 25.0;
constexpr qreal MarginY = 35.0;
constexpr qreal FontPointsAtReference = 1.0;
// Below the page line's baseline: the descenders of a 10-point line.
constexpr qreal PageLineDescent = 3.0;
} // namespace

int pageCount(int images)
{
    if (images <= 0)
        return 1;
    return (images + ImagesPerPage - 1) / ImagesPerPage;
}

Slot slotFor(int index)
{
    const int onPage = index % ImagesPerPage;
    const int column = onPage % Columns;
    const int row = onPage / Columns;
    const QPointF pos(ColumnPitch * column, RowPitch * row);
    const QRectF frame(pos - QPointF(1, 1),
                       QSizeF(BinImage::Width + 2, BinImage::Height + 2));
    return {index / ImagesPerPage + 1, column, row, pos, frame};
}

bool startsNewPage(int index)
{
    return index > 0 && index % ImagesPerPage == 0;
}

QSizeF sheetSize()
{
    const QRectF lastColumn = slotFor(Columns - 1).frame;
    return {MarginX + lastColumn.right(), MarginY + PageLinePos.y() + PageLineDescent};
}

qreal fitFactor(const QSizeF &printable, int resolution)
{
    if (resolution <= 0 || printable.isEmpty())
        return 1.0;
    const QSizeF needed = sheetSize() * (ScaleAtReference * resolution / ReferenceDpi);
    return qMin(1.0, qMin(printable.width() / needed.width(), printable.height() / needed.height()));
}

QTransform pageTransform(int resolution, qreal fit)
{
    const qreal scale = ScaleAtReference * resolution / ReferenceDpi * fit;
    return QTransform().scale(scale, scale).translate(MarginX, MarginY);
}

qreal fontPointSize(int resolution)
{
    return FontPointsAtReference * ReferenceDpi / resolution;
}

} // namespace PrintLayout
