#pragma once

class QByteArray;

// Scanning the image plugins costs start-up time that the formats built into
// the toolkit do not need: a program may put the scan off until a picture
// needs a plugin.
namespace ImagePlugins {

// Drops the plugin paths until ensureLoaded() brings them back.
void defer();
void ensureLoaded();

// BMP, PNG, XBM, XPM and the portable anymaps are read and written without them.
bool isBuiltIn(const QByteArray &format);

} // namespace ImagePlugins
