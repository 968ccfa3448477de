#pragma once

#include "core/namedvalues.h"

class QImage;
class QSize;
class QString;

// Quarter turns and mirrors applied to a picture before it is converted.
namespace PictureTransform {

enum class Flip { None, Horizontal, Vertical };

// The rotation comes first, then the mirror, whatever the order of the options.
struct Orientation
{
    int clockwiseQuarterTurns = 0; // 0 to 3
    Flip flip = Flip::None;
};

// "90", "180", "270" (degrees clockwise), as quarter turns.
const QList<Named<int>> &rotationNames();
// "h" (left and right swapped), "v" (top and bottom swapped).
const QList<Named<Flip>> &flipNames();

bool swapsAxes(const Orientation &orientation);
QSize orientedSize(const QSize &size, const Orientation &orientation);
QImage oriented(const QImage &picture, const Orientation &orientation);

} // namespace PictureTransform
