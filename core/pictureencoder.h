#pragma once

#include <QtGlobal>

class QByteArray;
class QImage;
class QString;

// Rendered binary images written in any picture format the toolkit writes.
namespace PictureEncoder {

// Lower-case format named by the extension of `path` ("logo.xbm" -> "xbm"),
// BMP for a name without one; empty when the extension names no format
// that is written here.
QByteArray formatForName(const QString &path);

// `rendered` as BinImage::toPicture makes it: index 0 on, index 1 the
// background. One-bit formats (XBM, PBM, WBMP) keep on pixels as set bits
// whatever the background; XBM names its variables after `path`.
QByteArray encode(const QImage &rendered, const QByteArray &format, const QString &path);

// "my logo-2.xbm" -> "my_logo_2": a C identifier for the picture's variables.
QByteArray identifierForName(const QString &path);

} // namespace PictureEncoder
