#include "core/picturetransform.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QTransform>

namespace PictureTransform {

const QList<Named<int>> &rotationNames()
{
    static const QList<Named<int>> names = {{"90", 1}, {"180", 2}, {"270", 3}};
    return names;
}

const QList<Named<Flip>> &flipNames()
{
    static const QList<Named<Flip>> names = {{"h", Flip::Horizontal}, {"v", Flip::Vertical}};
    return names;
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
