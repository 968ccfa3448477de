#include "core/picturetransform.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QTransform>

namespace PictureTransform {

bool rotationFromName(const QString &name, int &clockwiseQuarterTurns)
{
    static const char *const names[] = {"90", "180", "270"};
    for (int turns = 1; turns <= 3; ++turns) {
        if (name == QLatin1String(names[turns - 1])) {
            clockwiseQuarterTurns = turns;
            return true;
        }
    }
    return false;
}

bool flipFromName(const QString &name, Flip &flip)
{
    if (name == QLatin1String("h"))
        flip = Flip::Horizontal;
    else if (name == QLatin1String("v"))
        flip = Flip::Vertical;
    else
        return false;
    return true;
}

bool swapsAxes(const Orientation &orientation)
{
    return orientation.clockwiseQuarterTurns % 2 != 0;
}

QSize orientedSize(const QSize &size, const Orientation &orientation)
{
    return swapsAxes(orientation) ? size.transposed() : size;
}

QImage oriented(const QImage &picture, const Orientation &orientation)
{
    QImage result = picture;
    // With y growing downwards, a positive angle turns clockwise on screen.
    // Whole quarter turns move pixels exactly, without resampling.
    if (const int turns = orientation.clockwiseQuarterTurns % 4; turns != 0)
        result = result.transformed(QTransform().rotate(90.0 * turns));
    if (orientation.flip != Flip::None)
        result = result.mirrored(orientation.flip == Flip::Horizontal,
                                 orientation.flip == Flip::Vertical);
    return result;
}

} // namespace PictureTransform
