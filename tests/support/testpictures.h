#pragma once

#include <QList>
#include <QSize>

class QByteArray;

// Pictures the toolkit cannot write, made byte by byte.
namespace TestPictures {

// An animation of solid frames of `frame` size (the canvas size when
// invalid), each in one of the colours red, green, blue, white (0-3).
QByteArray gif(QSize canvas, const QList<int> &colours, QSize frame = QSize());

} // namespace TestPictures
