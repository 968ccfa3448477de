#pragma once

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

// "90", "180", "270" (degrees clockwise).
bool rotationFromName(const QString &name, int &clockwiseQuarterTurns);
// "h" (left and right swapped), "v" (top and bottom swapped).
bool flipFromName(const QString &name, Flip &flip);

bool swapsAxes(const Orientation &orientation);
QSize orientedSize(const QSize &size, const Orientation &orientation);
QImage oriented(const QImage &picture, const Orientation &orientation);

} // namespace PictureTransform
