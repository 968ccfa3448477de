#pragma once

#include <QList>
#include <QSize>

class QByteArray;
class QImage;

// Picture files for the tests.
namespace TestPictures {

// `picture` in a format the toolkit writes.
QByteArray encoded(const QImage &picture, const char *format);

// The toolkit writes no GIF: an animation, made byte by byte, of solid frames of `frame` size (the canvas size when
// invalid), each in one of the colours red, green, blue, white (0-3).
QByteArray gif(QSize canvas, const QList<int> &colours, QSize frame = QSize());

} // namespace TestPictures
