#pragma once

#include "core/fileaccess.h"

class QByteArray;

// A drawing made ready for the toolkit's renderer, which would otherwise
// open whatever files the drawing names and inflate a compressed one
// without bound.
namespace SvgSource {

// Ok, TooLong when the drawing inflates to more than `limit` bytes (it is
// then no larger than any plain drawing that is accepted), or Damaged.
FileAccess::Status inflate(const QByteArray &compressed, qint64 limit, QByteArray &drawing);

// The drawing without its references to other files: images and uses that
// name a path or URL, and style sheets. References within the drawing and
// data: URIs stay. Unchanged when it has no such reference.
QByteArray selfContained(const QByteArray &drawing);

// Text needs the fonts of a GUI application.
bool hasText(const QByteArray &drawing);

} // namespace SvgSource
