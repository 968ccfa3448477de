#pragma once

class QPixmap;

// The pictures compiled into the form, kept as XPM data.
namespace FormPictures {

enum class Picture { WindowIcon, Row63, Row127, Placeholder };

// The XPM lines: header "width height colours chars-per-pixel", the colour
// lines, then the pixel rows.
const char *const *xpm(Picture picture);

QPixmap pixmap(Picture picture);
QPixmap windowIcon();
QPixmap row63();
QPixmap row127();
QPixmap placeholder();

} // namespace FormPictures
