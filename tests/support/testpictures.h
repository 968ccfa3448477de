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

// PNG files made chunk by chunk, for what no encoder writes. A chunk whose
// `declared` length is set claims that many bytes, whatever its body holds.
QByteArray pngChunk(const char *type, const QByteArray &body, qint64 declared = -1);
// `rows` are the image data before compression, each row with its filter
// byte; `chunks` go between the header and the image data.
QByteArray png(QSize size, int depth, int colourType, const QByteArray &rows,
               const QByteArray &chunks = QByteArray());

} // namespace TestPictures
