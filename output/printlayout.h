#pragma once

#include <QPointF>
#include <QRectF>

class QSizeF;
class QTransform;

// Where a contact sheet puts its framed images and texts, in page units.
// One page unit is a tenth of a dot of a 600 dpi printer, whatever the real
// printer's resolution, so every sheet comes out the same size.
namespace PrintLayout {

constexpr int Columns = 3;
constexpr int Rows = 7;
constexpr int ImagesPerPage = Columns * Rows;
constexpr qreal ColumnPitch = 140;
constexpr qreal RowPitch = 80;
constexpr int ReferenceDpi = 600;

// Left ends of the text baselines.
inline constexpr QPointF AuthorLinePos{0, -15};
inline constexpr QPointF FileLinePos{0, -5};
inline constexpr QPointF PageLinePos{0, 625};

struct Slot {
    int page;      // from 1, as printed in the page line
    int column;    // 0 .. Columns - 1
    int row;       // 0 .. Rows - 1
    QPointF pos;   // top-left corner of the 128 x 64 image
    QRectF frame;  // outline one unit clear of the image on every side
};

// Pages a run of `images` images needs; with none, the page texts still
// fill one page.
int pageCount(int images);

Slot slotFor(int index);

// True when image `index` must begin a new page (never for the first one,
// so a full last page is not followed by an empty one).
bool startsNewPage(int index);

// What a page covers, in page units from the printable area's top-left
// corner: the margins, the three columns of frames, and the page line down
// to its descenders.
QSizeF sheetSize();

// 1 where a sheet fits a printable area of `printable` device units at
// `resolution` dots per inch, else the factor that shrinks it to fit. A
// sheet is never enlarged: the same file prints the same size on any paper
// that holds it.
qreal fitFactor(const QSizeF &printable, int resolution);

// Page units to device units on a printer of `resolution` dots per inch,
// shrunk by `fit`; text shrinks with the rest.
QTransform pageTransform(int resolution, qreal fit = 1.0);

// The font's nominal point size scales with the device resolution, the
// transform with its inverse: this keeps text a constant size on paper.
qreal fontPointSize(int resolution);

} // namespace PrintLayout
